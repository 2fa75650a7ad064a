// The real window offscreen, walked along the operator's paths: start-up with and without a
// sensor, the help on every control, the keys, the tab rule, files, closing; the graphs
// explored, paused and exported while recording; the link monitor; the menu bar, the keys and
// the window's look on a desktop.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <memory>

#include "app/control_table.hpp"
#include "app/live_record.hpp"
#include "app/parameter_editor.hpp"
#include "displays.hpp"
#include "files/live_csv.hpp"
#include "gui_app.hpp"
#include "gui_driver.hpp"
#include "link_monitor_panel.hpp"
#include "protocol/configuration_diff.hpp"
#include "sensor/evidence.hpp"
#include "sim_server.hpp"
#include "support/wait_until.hpp"
#include "table_popup.hpp"
#include "window_menu.hpp"

// Qt's entry for a close request from the window system. Private, and declared here because
// it is the one way to deliver a close offscreen as a window manager does: Qt drops it when a
// modal dialog blocks the window, where QWidget::close() would still get through.
class QWindowSystemInterface {
  public:
    struct SynchronousDelivery;
    template <typename Delivery>
    static bool handleCloseEvent(QWindow* window);
};

namespace qelto::gui {
namespace {

using qelto::testing::WaitUntil;
using testing::ChooseFile;
using testing::ClickButton;
using testing::PopupAnswerer;
using testing::Spin;

// A loopback port with nobody listening: a connection attempt is refused at once.
int RefusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void WindowManagerCloses(QWidget& window) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        window.windowHandle());
}

QPushButton* Button(QtUi& ui, Ctrl c) {
    return qobject_cast<QPushButton*>(ui.widget(c));
}

// Runs `fn` after `ms`, from the event loop: a running acquisition goes on meanwhile.
void Later(int ms, std::function<void()> fn) {
    QTimer::singleShot(ms, std::move(fn));
}

QByteArray FileStart(const QString& path, int n) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

// The letters of the mnemonics the operator can reach now in a window: visible controls, and
// the menu bar of the main window.
std::vector<QChar> VisibleMnemonics(QWidget& w) {
    std::vector<QChar> letters;
    auto take = [&](QString text) {
        text.replace(QStringLiteral("&&"), QString());
        const auto at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size()) letters.push_back(text.at(at + 1).toUpper());
    };
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        if (b->isVisible()) take(b->text());
    }
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (l->isVisible() && l->buddy() != nullptr) take(l->text());
    }
    for (QTabBar* bar : w.findChildren<QTabBar*>()) {
        if (!bar->isVisible()) continue;
        for (int i = 0; i < bar->count(); ++i)
            take(bar->tabText(i));
    }
    if (auto* main = qobject_cast<MainWindow*>(&w)) {
        for (QAction* a : main->menuBar()->actions())
            take(a->text());
    }
    return letters;
}

class Window : public ::testing::Test {
  protected:
    // In English unless a test asks for another language (the program's own texts follow it).
    void Start(int port, std::optional<std::int32_t> desktopLanguage = kEnglish) {
        StartupOptions o;
        o.programDirectory = dir.path().toStdString();
        o.userConfigDirectory = dir.path().toStdString();
        o.documentsDirectory = dir.path().toStdString();
        o.desktopLanguage = desktopLanguage;
        o.connectionOverride = LinkDescription::Tcp("127.0.0.1", port);
        gui = std::make_unique<GuiApp>();
        gui->Start(o);
    }
    void StartWithSensor() {
        ASSERT_TRUE(server.ListenTcp());
        popups.ThenClick("No");  // no default parameters
        Start(server.tcpPort());
        ASSERT_TRUE(gui->ctx().supervisor.usable());
        EXPECT_EQ(ui().GetActiveTabPage(), kParameterPage);
        Activate();
    }
    // Connected to a simulator the test may stop and start again on the same port.
    quint16 StartWithSimulatorOfItsOwn(sim::SimServer& sim) {
        EXPECT_TRUE(sim.ListenTcp());
        popups.ThenClick("No");
        Start(sim.tcpPort());
        EXPECT_TRUE(gui->ctx().supervisor.usable());
        return sim.tcpPort();
    }
    // The window has the keyboard again (after a popup, as for the operator).
    void Activate() {
        MainWindow& w = gui->ui().window();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    bool SettingsWritten() const { return QFile::exists(dir.filePath("PanelSettings.cfg")); }
    QtUi& ui() { return gui->ui(); }
    Context& ctx() { return gui->ctx(); }
    // Clicks GO; `during` runs while the acquisition loop runs, and must end it.
    // GO, and `during` 0.3 s into it. GO still running 5 s later is a failure, and is told to
    // stop, so that the test goes on.
    void Acquire(const std::function<void()>& during) {
        QTimer::singleShot(300, during);
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [this] {
            ADD_FAILURE() << "GO did not end within 5 s";
            ctx().state.acquisition = Acquisition::Stopped;
        });
        bound.start(5000);
        QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    }

    QTemporaryDir dir;
    sim::SensorModel model{sim::SensorConfig{.noise = false}};
    sim::SimServer server{model};
    PopupAnswerer popups;
    std::unique_ptr<GuiApp> gui;
};

TEST_F(Window, NoSensorOfflineKeepsRunningAtStandardGeometry) {
    popups.ThenClick("OFFLINE");
    const int port = RefusedPort();
    Start(port);
    ASSERT_EQ(popups.seen.size(), 1u);
    EXPECT_EQ(popups.seen[0].title, "ATTENTION!");
    // The table's text, and beside it what was refused and what the system said.
    EXPECT_EQ(ui().GetCtrlText(Ctrl::LinkState), "Offline \xE2\x80\x94 could not connect");
    EXPECT_EQ(ui().widget(Ctrl::LinkState)->toolTip().toStdString(),
              "Offline: UnableToEstablishConnection (127.0.0.1 port " + std::to_string(port) +
                  ": Connection refused)");
    EXPECT_FALSE(gui->quitRequested());
    MainWindow& w = ui().window();
    EXPECT_EQ(w.size(), QSize(790, 548));
    EXPECT_EQ(w.windowTitle().toStdString(), kProgramTitle);
    EXPECT_EQ(ui().GetActiveTabPage(), kConnectionPage) << "the failure is in view";
    EXPECT_EQ(w.dataPanel()->pos(), QPoint(286, 63));
    // Offline: files only.
    EXPECT_TRUE(Button(ui(), Ctrl::FileButton)->isChecked());
    EXPECT_FALSE(Button(ui(), Ctrl::EepromButton)->isChecked());
    EXPECT_TRUE(Button(ui(), Ctrl::SendButton)->isEnabled());
    EXPECT_FALSE(Button(ui(), Ctrl::GoButton)->isEnabled());

    // Teach table: grey cells, and the marker of row 16 (teach row 15) is row 1's colour.
    auto* table = qobject_cast<QTableWidget*>(ui().widget(Ctrl::TeachTableCtrl));
    EXPECT_EQ(table->item(0, 0)->background().color(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(table->item(15, 4)->background().color(), table->item(0, 4)->background().color());
    EXPECT_NE(table->item(1, 4)->background().color(), table->item(0, 4)->background().color());

    // The banner's title line carries the longer version as its tooltip.
    bool titleFound = false;
    for (QLabel* l : w.findChildren<QLabel*>()) {
        if (l->text().toStdString() == kProgramTitle) {
            titleFound = true;
            EXPECT_EQ(l->toolTip().toStdString(), kProgramTooltip);
        }
    }
    EXPECT_TRUE(titleFound);

    // A right double-click on the background gives back the standard size, centred.
    w.resize(700, 500);
    w.move(0, 0);
    QTest::mouseDClick(&w, Qt::RightButton, {}, QPoint(600, 5));
    EXPECT_EQ(w.size(), QSize(790, 548));
    EXPECT_LE(
        (w.frameGeometry().center() - w.screen()->availableGeometry().center()).manhattanLength(),
        2);

    // Clicking FILE twice leaves FILE on and EEPROM off.
    QTest::mouseClick(Button(ui(), Ctrl::FileButton), Qt::LeftButton);
    QTest::mouseClick(Button(ui(), Ctrl::FileButton), Qt::LeftButton);
    EXPECT_TRUE(Button(ui(), Ctrl::FileButton)->isChecked());
    EXPECT_FALSE(Button(ui(), Ctrl::EepromButton)->isChecked());
    EXPECT_EQ(ctx().state.TransferTarget, kTargetFile);

    // Only the close path stores the settings.
    EXPECT_FALSE(SettingsWritten());
    QTimer::singleShot(0, [&] { ui().window().close(); });
    EXPECT_EQ(gui->Exec(), 0);
    EXPECT_TRUE(SettingsWritten());
}

// The reports after loading an empty file list every parameter and every teach row: however
// long, the box fits the screen, its text scrolls and can be selected, and Enter is OK.
TEST_F(Window, ALongReportScrollsInsideABoxThatFitsTheScreen) {
    popups.ThenClick("OFFLINE");
    Start(RefusedPort());
    QFile empty(dir.filePath("empty.ini"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    popups.Then([&](QWidget* w) { ChooseFile(w, QStringLiteral("empty.ini")); });
    popups.ThenClick("Yes");  // not a parameter file: load it anyway
    popups.ThenClick("Yes");  // another version: load it anyway
    std::vector<int> heights;
    const auto checkReport = [&](QWidget* w) {
        const QRect screen = w->screen()->availableGeometry();
        heights.push_back(w->frameGeometry().height());
        EXPECT_TRUE(screen.contains(w->frameGeometry())) << w->frameGeometry().height();
        EXPECT_TRUE(w->isModal());
        QAbstractButton* ok = nullptr;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->text().remove(QLatin1Char('&')) == QLatin1String("OK")) ok = b;
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
        bool selectable = false;
        for (QLabel* l : w->findChildren<QLabel*>())
            if (l->text().startsWith(QLatin1String("Following")))
                selectable = (l->textInteractionFlags() & Qt::TextSelectableByMouse) != 0;
        EXPECT_TRUE(selectable);
        QTest::keyClick(w, Qt::Key_Return);
        if (w->isVisible()) {
            ADD_FAILURE() << "Enter did not close the report";
            static_cast<QDialog*>(w)->reject();
        }
    };
    popups.Then(checkReport);
    popups.Then(checkReport);
    QTest::mouseClick(Button(ui(), Ctrl::GetButton), Qt::LeftButton);
    ASSERT_EQ(popups.seen.size(), 6u);
    EXPECT_EQ(popups.seen[4].title, "Attention!");
    EXPECT_EQ(popups.seen[5].text.rfind("Following teach vectors could not be read \nand where "
                                        "set to default value:\n\nTEACH VECTOR 0\n",
                                        0),
              0u);
    EXPECT_NE(popups.seen[5].text.find("TEACH VECTOR 63\n"), std::string::npos);
    EXPECT_EQ(heights.size(), 2u);
}

TEST_F(Window, CloseAtTheConnectionQuestionEndsWithoutWaitingOrStoring) {
    popups.ThenClick("CLOSE");
    Start(RefusedPort());
    EXPECT_TRUE(gui->quitRequested());
    bool waited = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        waited = true;
        QCoreApplication::exit(1);
    });
    guard.start(3000);
    EXPECT_EQ(gui->Exec(), 0);
    EXPECT_FALSE(waited) << "the event loop must not wait for input after CLOSE";
    EXPECT_FALSE(SettingsWritten());
    EXPECT_FALSE(ui().window().isVisible());
}

// Closing the window while a question is open: the question stays, the window takes no input
// meanwhile, and once the question is answered the close path runs, once.
TEST_F(Window, CloseDuringTheConnectQuestionIsCarriedOutOnceItIsAnswered) {
    ASSERT_TRUE(server.ListenTcp());
    bool stillAsked = false;
    popups.Then([&](QWidget* question) {
        auto* bar = qobject_cast<QTabBar*>(ui().widget(Ctrl::TabControl));
        const int page = bar->currentIndex();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1 - page).center());
        EXPECT_EQ(bar->currentIndex(), page) << "the window took a click under the question";
        WindowManagerCloses(ui().window());
        WindowManagerCloses(ui().window());
        Spin(50);
        stillAsked = question->isVisible() && !gui->quitRequested() && !SettingsWritten();
        ClickButton(question, "No");
    });
    Start(server.tcpPort());
    EXPECT_TRUE(stillAsked);
    ASSERT_TRUE(gui->quitRequested());
    EXPECT_TRUE(SettingsWritten());
    EXPECT_EQ(gui->Exec(), 0);
    EXPECT_FALSE(ui().window().isVisible());
    EXPECT_EQ(popups.seen.size(), 1u);
}

// Return at the question whether to send default parameters writes nothing to the sensor: the
// taught colours stay.
TEST_F(Window, ReturnAtTheDefaultParameterQuestionWritesNothing) {
    ASSERT_TRUE(server.ListenTcp());
    popups.Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    Start(server.tcpPort());
    EXPECT_TRUE(ctx().supervisor.usable());
    EXPECT_EQ(popups.seen.size(), 1u);
    EXPECT_EQ(model.CommandCount(kCmdWrite), 0u);
    EXPECT_EQ(model.CommandCount(kCmdStoreEeprom), 0u);
}

// The editor as an operator uses it: edit mode on, GAIN and a teach word typed, undo and redo,
// then Send: the list of differences, No sends nothing, Yes sends those values.
TEST_F(Window, EditorChangesGoToTheSensorOnlyAfterYes) {
    StartWithSensor();
    const ParameterSet before = model.EepromParameters();
    QTest::mouseClick(Button(ui(), Ctrl::EditModeButton), Qt::LeftButton);
    auto* parameters = qobject_cast<QTableView*>(ui().widget(Ctrl::ParameterEditor));
    auto* teach = qobject_cast<QTableView*>(ui().widget(Ctrl::TeachEditor));
    ASSERT_TRUE(parameters->isVisible());
    EXPECT_FALSE(ui().widget(Ctrl::TeachTableCtrl)->isVisible());
    // The editor has the room it needs, and the live view stays beside it.
    EXPECT_TRUE(ui().window().dataPanel()->isVisible());
    EXPECT_TRUE(ui().widget(Ctrl::GraphXY)->isVisible());
    EXPECT_GT(ui().window().main().leftColumn->width(), ui().window().dataPanel()->width());

    // Typed as an operator types into a cell: its editor opens, the text, Return.
    const auto type = [](QTableView* table, int row, int column, const char* text) {
        const QModelIndex cell = table->model()->index(row, column);
        table->setCurrentIndex(cell);
        table->edit(cell);
        auto* editor = table->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(text));
        QTest::keyClick(editor, Qt::Key_Return);
        Spin(20);  // the view hands the value on once the editor has closed
    };
    const auto shown = [](QTableView* table, int row, int column, int role = Qt::DisplayRole) {
        return table->model()->index(row, column).data(role);
    };
    int gainRow = -1;
    for (int r = 0; r < parameters->model()->rowCount(); ++r) {
        if (parameters->model()->headerData(r, Qt::Vertical).toString() == "GAIN") gainRow = r;
    }
    ASSERT_GE(gainRow, 0);
    type(parameters, gainRow, 0, "7");
    qobject_cast<QTabWidget*>(parameters->parentWidget()->parentWidget())->setCurrentIndex(1);
    type(teach, 2, 0, "900");
    EXPECT_EQ(ctx().working.config().para.Gain, 7);
    EXPECT_EQ(ctx().working.config().teach[2].Cell[0], 900);
    EXPECT_EQ(shown(parameters, gainRow, 0, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xFF, 0xE2, 0x8A));

    QTest::mouseClick(Button(ui(), Ctrl::UndoButton), Qt::LeftButton);
    EXPECT_EQ(shown(teach, 2, 0).toString(),
              QString::number(ctx().working.config().teach[2].Cell[0]));
    EXPECT_NE(ctx().working.config().teach[2].Cell[0], 900);
    QTest::mouseClick(Button(ui(), Ctrl::RedoButton), Qt::LeftButton);
    EXPECT_EQ(ctx().working.config().teach[2].Cell[0], 900);

    QString listed;
    popups.Then([&](QWidget* w) {
        listed = qobject_cast<QMessageBox*>(w)->text();
        QTest::keyClick(w, Qt::Key_Return);  // Enter: no
    });
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_TRUE(listed.contains("[PARAMETER] GAIN: " + QString::number(before.Gain) + " -> 7"))
        << listed.toStdString();
    EXPECT_TRUE(listed.contains("[TEACH VECTOR 2] CELL 0: ")) << listed.toStdString();
    EXPECT_EQ(model.CommandCount(kCmdWrite), 0u);

    popups.ThenClick("Yes");
    Activate();
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_EQ(model.EepromParameters().Gain, 7);
    EXPECT_EQ(model.EepromTeach()[2].Cell[0], 900);
    ParameterSet expected = before;
    expected.Gain = 7;
    EXPECT_EQ(model.EepromParameters(), expected);
    EXPECT_EQ(shown(parameters, gainRow, 0, Qt::BackgroundRole).value<QBrush>(), QBrush());
}

// The link at a glance: connected, lost with when and why (the live values greyed), and
// connected again once GO gets answers.
TEST_F(Window, AFaultDuringGoShowsTheLinkLostAndGoAgainRecovers) {
    StartWithSensor();
    const auto linkState = [&] { return ui().GetCtrlText(Ctrl::LinkState); };
    const auto linkTip = [&] { return ui().widget(Ctrl::LinkState)->toolTip().toStdString(); };
    EXPECT_EQ(linkState().rfind("Connected: TCP/IP 127.0.0.1:", 0), 0u) << linkState();
    EXPECT_NE(linkState().find("KORVANEX V4.3B7, serial 4711"), std::string::npos);

    ctx().sensor.link().limits.reply = 0.3;
    QTimer::singleShot(
        200, [&] { server.AddFault({.kind = sim::FaultKind::NoReply, .command = kCmdLiveData}); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    EXPECT_EQ(linkState(), "Lost 0:00 \xE2\x80\x94 no reply in time");
    EXPECT_EQ(linkTip().rfind("Link lost at ", 0), 0u) << linkTip();
    EXPECT_NE(linkTip().find(": TIMEOUT! NO DATA RECEIVED!"), std::string::npos) << linkTip();
    EXPECT_TRUE(ui().liveValuesGreyed());
    EXPECT_EQ(ui().GetCtrlText(Ctrl::StatusDisplay), "TIMEOUT!");  // the status display's own text

    Acquire([&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    EXPECT_EQ(linkState().rfind("Connected: ", 0), 0u) << linkState();
    EXPECT_FALSE(ui().liveValuesGreyed());
    EXPECT_EQ(ui().GetCtrlText(Ctrl::StatusDisplay), "KORVANEX V4.3B7");  // the failure is over

    // FREQ times out, FREQ again is answered: the link line follows both.
    server.AddFault({.kind = sim::FaultKind::NoReply, .command = kCmdCycleTime});
    QTest::mouseClick(Button(ui(), Ctrl::FreqButton), Qt::LeftButton);
    EXPECT_EQ(linkState().rfind("Lost ", 0), 0u) << linkState();
    QTest::mouseClick(Button(ui(), Ctrl::FreqButton), Qt::LeftButton);
    EXPECT_EQ(linkState().rfind("Connected: ", 0), 0u) << linkState();

    // The server ends the conversation during GO: greyed again, and the first cause stays on
    // the line after the wait that the closed link can never end.
    QTimer::singleShot(
        200, [&] { server.AddFault({.kind = sim::FaultKind::Close, .command = kCmdLiveData}); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    Spin(400);
    EXPECT_NE(linkState().find("\xE2\x80\x94 connection closed"), std::string::npos) << linkState();
    EXPECT_NE(linkTip().find("SERVER HAS CLOSED CONNECTION!"), std::string::npos) << linkTip();
    EXPECT_TRUE(ui().liveValuesGreyed());

    // Connected again and lost again: the values grey every time.
    popups.ThenClick("No");
    DispatchControlEvent(ctx(), Ctrl::ConnectButton, Event::Commit);
    ASSERT_TRUE(ctx().supervisor.usable());
    Acquire([&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    EXPECT_FALSE(ui().liveValuesGreyed());
    QTimer::singleShot(
        200, [&] { server.AddFault({.kind = sim::FaultKind::Close, .command = kCmdLiveData}); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    EXPECT_TRUE(ui().liveValuesGreyed());
    EXPECT_NE(linkTip().find("SERVER HAS CLOSED CONNECTION!"), std::string::npos) << linkTip();
}

// The sensor goes away during GO (its server stops) and comes back on the same port: Reconnect
// connects again without the question about default parameters and GO goes on; only reads go
// out. Send and Get name where they go, also after a connection that followed OFFLINE.
TEST_F(Window, ReconnectAfterTheSensorCameBackGoesOnWritingNothing) {
    auto sim = std::make_unique<sim::SimServer>(model);
    const quint16 port = StartWithSimulatorOfItsOwn(*sim);
    EXPECT_EQ(Button(ui(), Ctrl::SendButton)->text(), "Send \u2192 EEPROM F9");
    for (Ctrl c : {Ctrl::SendButton, Ctrl::GetButton})  // whole at the standard size
        EXPECT_GE(Button(ui(), c)->width(), Button(ui(), c)->sizeHint().width());
    Activate();
    QTimer::singleShot(300, [&] { sim.reset(); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    EXPECT_FALSE(ctx().state.acquiring());
    EXPECT_TRUE(Button(ui(), Ctrl::ReconnectButton)->isVisible());

    sim = std::make_unique<sim::SimServer>(model);
    ASSERT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
    std::vector<std::string> wire;
    sim->log = [&](const std::string& line) {
        if (line.rfind("> ", 0) == 0) wire.push_back(line.substr(line.find("cmd ")));
    };
    const std::size_t popupsBefore = popups.seen.size();
    QTimer::singleShot(800, [&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    QTest::mouseClick(Button(ui(), Ctrl::ReconnectButton), Qt::LeftButton);
    EXPECT_EQ(popups.seen.size(), popupsBefore);  // nothing asked
    ASSERT_GT(wire.size(), 5u);
    // What the sensor holds is read from RAM: nothing loaded from the EEPROM, nothing written.
    const std::vector<std::string> connect(wire.begin(), wire.begin() + 4);
    EXPECT_EQ(connect, (std::vector<std::string>{"cmd 7 arg 0 len 0", "cmd 15 arg 0 len 0",
                                                 "cmd 2 arg 0 len 0", "cmd 2 arg 2 len 0"}));
    for (std::size_t i = 4; i < wire.size(); ++i)
        EXPECT_EQ(wire[i], "cmd 8 arg 0 len 0") << i;
    EXPECT_FALSE(Button(ui(), Ctrl::ReconnectButton)->isVisible());
    EXPECT_NE(ui().GetCtrlText(Ctrl::StatusBar).find("Reconnected after"), std::string::npos)
        << ui().GetCtrlText(Ctrl::StatusBar);

    // OFFLINE selects FILE; a later Connect leaves it so, and Get says so.
    DispatchControlEvent(ctx(), Ctrl::DisconnectButton, Event::Commit);
    popups.ThenClick("No");
    DispatchControlEvent(ctx(), Ctrl::ConnectButton, Event::Commit);
    ASSERT_TRUE(ctx().supervisor.usable());
    EXPECT_EQ(Button(ui(), Ctrl::GetButton)->text(), "Get \u2190 file F10");
    EXPECT_EQ(Button(ui(), Ctrl::SendButton)->toolTip(),
              "Saves the parameters and teach rows shown in a parameter file.");
}

// Reconnecting on its own: while the link is lost, attempts (counted on the link line) until
// the sensor answers again; GO and the recording go on, the gap visible in the file. Another
// sensor stops the attempts and is said.
TEST_F(Window, AutomaticReconnectionGoesOnAndStopsForAnotherSensor) {
    auto sim = std::make_unique<sim::SimServer>(model);
    const quint16 port = StartWithSimulatorOfItsOwn(*sim);
    QTest::mouseClick(Button(ui(), Ctrl::AutoReconnectButton), Qt::LeftButton);
    EXPECT_TRUE(ctx().supervisor.automatic());
    Activate();

    // Recording during GO when the sensor goes away.
    const QString csv = dir.filePath("live.csv");
    popups.Then([](QWidget* w) { ChooseFile(w, QStringLiteral("live.csv")); });
    QTest::mouseClick(Button(ui(), Ctrl::RecordButton), Qt::LeftButton);
    ASSERT_TRUE(ctx().recording.recorder().active());
    QTimer::singleShot(300, [&] { sim.reset(); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    EXPECT_TRUE(ctx().supervisor.retrying());
    ui().TriggerWindowEvent(Event::Timer);  // an attempt while the sensor is away
    EXPECT_NE(ui().GetCtrlText(Ctrl::LinkState).find("; reconnecting, attempt 1"),
              std::string::npos)
        << ui().GetCtrlText(Ctrl::LinkState);

    Spin(500);
    sim = std::make_unique<sim::SimServer>(model);
    ASSERT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
    QTimer::singleShot(600, [&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    ui().TriggerWindowEvent(Event::Timer);  // this attempt finds it: GO and the recording go on
    EXPECT_FALSE(ctx().supervisor.retrying());
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    double largestStep = 0, previous = -1;
    for (int i = 1; i < rows.size(); ++i) {
        const double t = rows[i].section(',', 0, 0).toDouble();
        if (previous >= 0) largestStep = std::max(largestStep, t - previous);
        previous = t;
    }
    EXPECT_GT(largestStep, 0.4) << "the gap shows in the times";
    // Said in passing (the recording's end follows it there) and kept in the log.
    EXPECT_NE(ui().GetCtrlText(Ctrl::InfoBox).find("a gap of 0."), std::string::npos)
        << ui().GetCtrlText(Ctrl::InfoBox);

    // Lost again; a sensor with another serial number answers: no more attempts, and said.
    QTimer::singleShot(300, [&] { sim.reset(); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    EXPECT_TRUE(ctx().supervisor.retrying());
    sim::SensorModel other{sim::SensorConfig{.serialNumber = 815, .noise = false}};
    sim = std::make_unique<sim::SimServer>(other);
    ASSERT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
    QString said;
    popups.Then([&](QWidget* w) {
        said = qobject_cast<QMessageBox*>(w)->text();
        ClickButton(w, QStringLiteral("OK"));
    });
    ui().TriggerWindowEvent(Event::Timer);
    EXPECT_FALSE(ctx().supervisor.retrying());
    EXPECT_TRUE(said.contains("serial 815")) << said.toStdString();
    EXPECT_FALSE(ctx().sensor.connected());
    EXPECT_EQ(other.CommandCount(kCmdWrite), 0u);
}

// What the window shows is what Send and Save write, and edits that went nowhere are thrown
// away only after a yes: Enter keeps them.
TEST_F(Window, UnsentEditsAreKeptUntilTheOperatorSaysDiscard) {
    StartWithSensor();
    const std::uint16_t sensorGain = model.RamParameters().Gain;
    ctx().working.Edit(ConfigItem::Parameter(15), 7);  // GAIN, as typed into the editor
    ctx().working.Edit(ConfigItem::Teach(2, 0), 900);
    const auto reads = model.CommandCount(kCmdRead);

    QString asked;
    popups.Then([&](QWidget* w) {
        asked = qobject_cast<QMessageBox*>(w)->text();
        QTest::keyClick(w, Qt::Key_Return);
    });
    QTest::keyClick(&ui().window(), Qt::Key_F10);
    EXPECT_EQ(asked, "Discard 2 unsent changes?");
    EXPECT_EQ(model.CommandCount(kCmdRead), reads);
    EXPECT_EQ(ctx().working.config().para.Gain, 7);

    // Yes, and the teach block comes broken: the parameters are the sensor's, the teach cell
    // keeps its edit, and the editor and a save agree with what is held.
    server.AddFault({.kind = sim::FaultKind::BadDataCrc,
                     .when = sim::FaultWhen::Every,
                     .every = 2,
                     .command = kCmdRead});
    popups.ThenClick("Yes");
    Activate();
    QTest::keyClick(&ui().window(), Qt::Key_F10);
    EXPECT_EQ(ctx().working.config().para.Gain, sensorGain);
    EXPECT_EQ(ctx().editor.Cell(ConfigItem::Parameter(15)).value, sensorGain);
    EXPECT_EQ(ctx().editor.Cell(ConfigItem::Teach(2, 0)).value, 900);
    EXPECT_EQ(ui().GetCtrlText(Ctrl::GainDisplay), std::to_string(sensorGain));

    // Closing with the unsent teach cell asks; Enter keeps the window and the edit.
    Activate();
    popups.Then([&](QWidget* w) {
        asked = qobject_cast<QMessageBox*>(w)->text();
        QTest::keyClick(w, Qt::Key_Return);
    });
    WindowManagerCloses(ui().window());
    Spin(50);
    EXPECT_EQ(asked, "Discard 1 unsent change?");
    EXPECT_FALSE(gui->quitRequested());
    EXPECT_TRUE(ui().window().isVisible());
    EXPECT_EQ(ctx().working.config().teach[2].Cell[0], 900);
}

// Deutsch selected: the program's own questions, the link line and the menus speak German, the
// fixed texts stay as they are; English again gives the texts exactly.
TEST_F(Window, TheProgramsOwnTextsFollowTheLanguageSelection) {
    StartWithSensor();
    auto* language = qobject_cast<QComboBox*>(ui().widget(Ctrl::LanguageSelector));
    const auto choose = [&](int index) {
        language->setFocus();
        while (language->currentIndex() != index)
            QTest::keyClick(language, index < language->currentIndex() ? Qt::Key_Up : Qt::Key_Down);
        Spin(20);  // the widgets hear of the change from the event loop
    };
    const auto askedOnGet = [&] {
        QString asked;
        popups.Then([&](QWidget* w) {
            asked = qobject_cast<QMessageBox*>(w)->text();
            QTest::keyClick(w, Qt::Key_Return);
        });
        Activate();
        QTest::keyClick(&ui().window(), Qt::Key_F10);
        return asked.toStdString();
    };
    ctx().working.Edit(ConfigItem::Parameter(15), 7);
    const std::string connected = ui().GetCtrlText(Ctrl::LinkState);

    choose(0);
    EXPECT_EQ(ctx().state.Language, 0);
    EXPECT_EQ(askedOnGet(), "1 nicht gesendete \xC3\x84nderung verwerfen?");
    EXPECT_EQ(ui().GetCtrlText(Ctrl::LinkState).rfind("Verbunden: TCP/IP 127.0.0.1:", 0), 0u)
        << ui().GetCtrlText(Ctrl::LinkState);
    EXPECT_NE(ui().GetCtrlText(Ctrl::LinkState).find(", Seriennr. 4711"), std::string::npos);
    EXPECT_EQ(ui().window().menuBar()->actions().front()->text(), QStringLiteral("&Datei"));
    EXPECT_EQ(ui().GetCtrlText(Ctrl::StatusDisplay), "KORVANEX V4.3B7");  // the sensor's own

    choose(1);
    EXPECT_EQ(askedOnGet(), "Discard 1 unsent change?");
    EXPECT_EQ(ui().GetCtrlText(Ctrl::LinkState), connected);
    EXPECT_EQ(ui().window().menuBar()->actions().front()->text(), QStringLiteral("&File"));
}

// What the sensor holds, said and marked, and nothing written unasked: a refused GAIN in the
// status bar and on the page, F9 asking before it goes again; RAM as the target with its
// reminder until Store in EEPROM; a sensor reset while the link was away, reported on
// Reconnect; an EEPROM that fails its check, said on a Connect that keeps an unsent edit.
TEST_F(Window, WhatTheSensorHoldsIsSaidAndMarkedAndWrittenOnlyWhenAsked) {
    auto sim = std::make_unique<sim::SimServer>(model);
    const quint16 port = StartWithSimulatorOfItsOwn(*sim);
    Activate();
    const auto statusBar = [&] { return ui().GetCtrlText(Ctrl::StatusBar); };
    const auto said = [&](const char* text) { return statusBar().find(text) != std::string::npos; };
    auto* gain = qobject_cast<QLineEdit*>(ui().widget(Ctrl::GainDisplay));
    const ConfigItem gainItem = ConfigItem::Parameter(15);

    ctx().working.Edit(gainItem, 9);  // the sensor takes 1..8
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_TRUE(said("Sent to EEPROM: GAIN refused (sent 9, holds 6)")) << statusBar();
    EXPECT_EQ(gain->palette().color(QPalette::Base), QColor(0xFF, 0x9C, 0x9C));
    EXPECT_TRUE(gain->toolTip().startsWith("Sent: 9\nThe sensor holds: 6"))
        << gain->toolTip().toStdString();
    const auto writes = model.CommandCount(kCmdWrite);
    QString asked;
    popups.Then([&](QWidget* w) {
        asked = qobject_cast<QMessageBox*>(w)->text();
        QTest::keyClick(w, Qt::Key_Return);
    });
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_TRUE(asked.contains("[PARAMETER] GAIN: 9 -> 6")) << asked.toStdString();
    EXPECT_EQ(model.CommandCount(kCmdWrite), writes);

    // To RAM alone, then stored with one click.
    Activate();
    ctx().working.Edit(gainItem, 7);
    ctx().working.Edit(ConfigItem::Teach(0, 3), 400);
    QTest::mouseClick(Button(ui(), Ctrl::RamButton), Qt::LeftButton);
    EXPECT_EQ(Button(ui(), Ctrl::SendButton)->text(), "Send \u2192 RAM F9");
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_TRUE(said("Sent to RAM: 2 changes, all taken")) << statusBar();
    EXPECT_EQ(model.RamParameters().Gain, 7);
    EXPECT_EQ(model.EepromParameters().Gain, 6);
    EXPECT_EQ(gain->palette().color(QPalette::Base), ui().window().palette().color(QPalette::Base));
    ASSERT_TRUE(Button(ui(), Ctrl::StoreButton)->isVisible());
    EXPECT_TRUE(ui().widget(Ctrl::RamReminder)->isVisible());
    QTest::mouseClick(Button(ui(), Ctrl::StoreButton), Qt::LeftButton);
    EXPECT_TRUE(said("Stored RAM in the EEPROM")) << statusBar();
    EXPECT_EQ(model.EepromParameters().Gain, 7);
    EXPECT_EQ(model.EepromTeach()[0].Cell[3], 400);
    EXPECT_FALSE(Button(ui(), Ctrl::StoreButton)->isVisible());
    QTest::mouseClick(Button(ui(), Ctrl::EepromButton), Qt::LeftButton);

    // The sensor restarts with its defaults while the link is away (GO running).
    QTimer::singleShot(300, [&] { sim.reset(); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    ASSERT_TRUE(Button(ui(), Ctrl::ReconnectButton)->isVisible());
    sim::SensorModel restarted{sim::SensorConfig{.noise = false}};
    sim = std::make_unique<sim::SimServer>(restarted);
    ASSERT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
    QString changed;
    popups.Then([&](QWidget* w) {
        changed = qobject_cast<QMessageBox*>(w)->text();
        ClickButton(w, QStringLiteral("OK"));
    });
    QTimer::singleShot(800, [&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    QTest::mouseClick(Button(ui(), Ctrl::ReconnectButton), Qt::LeftButton);
    EXPECT_TRUE(changed.contains("GAIN: 7 -> 6")) << changed.toStdString();
    EXPECT_TRUE(changed.contains("CELL 3: 400 -> ")) << changed.toStdString();
    EXPECT_TRUE(said("other than before (marked)")) << statusBar();
    EXPECT_EQ(restarted.CommandCount(kCmdWrite) + restarted.CommandCount(kCmdStoreEeprom) +
                  restarted.CommandCount(kCmdLoadEeprom),
              0u);
    EXPECT_EQ(ctx().working.para().Gain, 7);
    EXPECT_EQ(gain->palette().color(QPalette::Base), QColor(0xFF, 0xE2, 0x8A));
    EXPECT_EQ(gain->toolTip(), "The sensor holds 6");

    // Lost again, and its EEPROM fails the check: Connect (to the EEPROM again, as before the
    // loss) keeps the unsent edit and still says the sensor's verdict.
    Activate();
    QTimer::singleShot(300, [&] { sim.reset(); });
    QTest::mouseClick(Button(ui(), Ctrl::GoButton), Qt::LeftButton);
    ParameterSet implausible = restarted.EepromParameters();
    implausible.Gain = 99;
    restarted.SetEeprom(implausible, restarted.EepromTeach());
    sim = std::make_unique<sim::SimServer>(restarted);
    ASSERT_TRUE(sim->ListenTcp(QHostAddress::LocalHost, port));
    ctx().working.Edit(ConfigItem::Parameter(0), 450);                    // POWER, unsent
    popups.ThenClick("No");                                               // no defaults
    popups.Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });  // keep the edits
    DispatchControlEvent(ctx(), Ctrl::ConnectButton, Event::Commit);
    ASSERT_TRUE(ctx().supervisor.usable());
    EXPECT_NE(ui().GetCtrlText(Ctrl::InfoBox).find(PlausibilityText(1, kMsgEepromPlausibilityTail)),
              std::string::npos)
        << ui().GetCtrlText(Ctrl::InfoBox);
    EXPECT_EQ(ui().GetActiveTabPage(), kConnectionPage);
    EXPECT_EQ(ctx().working.para().Power, 450);
    EXPECT_EQ(restarted.CommandCount(kCmdWrite), 0u);
}

TEST_F(Window, OperatorSessionAgainstTheSimulator) {
    model.TeachPatches(5);  // as the demo's sensor
    StartWithSensor();
    EXPECT_NE(ui().GetCtrlText(Ctrl::InfoBox).find("SERIAL NUMBER: 4711"), std::string::npos);
    EXPECT_TRUE(Button(ui(), Ctrl::EepromButton)->isChecked());

    // Connecting read the taught colours: a circle for every row.
    auto* xy = qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphXY));
    EXPECT_EQ(xy->ellipseCount(), 64);

    // Every control is named for assistive technology; languages by their own names.
    for (int i = 0; i < kCtrlCount; ++i) {
        EXPECT_FALSE(ui().widget(static_cast<Ctrl>(i))->accessibleName().isEmpty()) << i;
    }
    auto* language = qobject_cast<QComboBox*>(ui().widget(Ctrl::LanguageSelector));
    ASSERT_EQ(language->count(), 7);
    EXPECT_EQ(language->itemText(2), QString::fromUtf8("Français"));

    // Help on every control that has a help text, and nothing else happens.
    std::vector<std::string> expected;
    for (int i = 0; i < kCtrlCount; ++i) {
        const Ctrl c = static_cast<Ctrl>(i);
        const std::string help(HelpText(c));
        if (help.empty()) continue;
        expected.push_back(help);
        popups.ThenClick("OK");
        QWidget* w = ui().widget(c);
        w->setVisible(true);  // the controls of the other link kind too
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &event);
    }
    ASSERT_EQ(popups.seen.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(popups.seen[i + 1].title, "INFO!");
        EXPECT_EQ(popups.seen[i + 1].text, expected[i]);
    }
    EXPECT_FALSE(ctx().state.acquiring());
    EXPECT_EQ(model.CommandCount(8), 0u) << "a right-click on GO must not start it";

    // F11 starts the acquisition, F12 stops it; the last sample is on the displays.
    // F11 again while GO runs (its button dimmed) says why in the status bar.
    Activate();
    QString refused;
    QTimer::singleShot(150, [&] {
        QTest::keyClick(&ui().window(), Qt::Key_F11);
        refused = QString::fromStdString(ui().GetCtrlText(Ctrl::StatusBar));
    });
    QTimer::singleShot(300, [&] { QTest::keyClick(&ui().window(), Qt::Key_F12); });
    QTest::keyClick(&ui().window(), Qt::Key_F11);
    // The reason in front, the figures after it.
    EXPECT_TRUE(refused.startsWith("GO cannot run now: data transfer is running.   "))
        << refused.toStdString();
    const auto samples = model.CommandCount(8);
    EXPECT_GT(samples, 10u);
    EXPECT_FALSE(ctx().state.acquiring());
    Spin(50);
    EXPECT_EQ(ui().GetCtrlText(Ctrl::RedDisplay), std::to_string(ctx().view.live.Red()));
    auto* strip = qobject_cast<StripChart*>(ui().widget(Ctrl::RgbStripChart));
    ASSERT_EQ(strip->Trace(0).size(), 101u);
    EXPECT_EQ(strip->Trace(2).back(), ctx().view.live.Blue());
    // The view holds the taught circles and the live point, round on a square plot area.
    EXPECT_GT(xy->horizontalRange().lower, 0);
    EXPECT_DOUBLE_EQ(xy->horizontalRange().size(), xy->verticalRange().size());
    EXPECT_EQ(xy->plotArea().width(), xy->plotArea().height());

    // The program's own page switch leaves the acquisition running; the operator's stops it.
    bool ranOnAfterOwnSwitch = false;
    Acquire([&] {
        ui().SetActiveTabPage(kConnectionPage);
        Spin(100);
        ranOnAfterOwnSwitch = ctx().state.acquisition == Acquisition::Live;
        auto* bar = qobject_cast<QTabBar*>(ui().widget(Ctrl::TabControl));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(kParameterPage).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(kConnectionPage).center());
    });
    EXPECT_TRUE(ranOnAfterOwnSwitch);
    EXPECT_FALSE(ctx().state.acquiring());
    EXPECT_FALSE(Button(ui(), Ctrl::AcceptButton)->isEnabled());

    // AVERAGE typed in, F9 sends it through the EEPROM; F10 reads it back.
    auto* average = qobject_cast<QSpinBox*>(ui().widget(Ctrl::AverageControl));
    average->setValue(128);
    QTest::keyClick(&ui().window(), Qt::Key_F9);
    EXPECT_EQ(model.EepromParameters().Average, 128);
    Configuration zero = ctx().working.config();
    zero.para.Average = 0;
    ctx().working.Replace(zero);
    QTest::keyClick(&ui().window(), Qt::Key_F10);
    EXPECT_EQ(ctx().working.config().para.Average, 128);
    EXPECT_TRUE(ctx().supervisor.usable());

    // Send to a file: the dialog starts in the documents folder (no parameter file was saved or
    // loaded yet) with the default name.
    QTest::mouseClick(Button(ui(), Ctrl::FileButton), Qt::LeftButton);
    const QString file = dir.filePath("backup.ini");
    popups.Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QDir(dialog->directory()), QDir(dir.path()));
        ChooseFile(w, QStringLiteral("backup.ini"));  // typed over the default name
    });
    QTest::mouseClick(Button(ui(), Ctrl::SendButton), Qt::LeftButton);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("AVERAGE = 128"));
    written.close();

    // Record pointed at that file by mistake (its dialog offers CSV files only): the question,
    // and Enter keeps the file.
    popups.Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("CSV files (*.csv)")});
        ChooseFile(w, QStringLiteral("backup.ini"));
    });
    popups.Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    QTest::mouseClick(Button(ui(), Ctrl::RecordButton), Qt::LeftButton);
    EXPECT_EQ(popups.seen.back().text, "backup.ini already exists in the folder\n" +
                                           QDir::toNativeSeparators(dir.path()).toStdString() +
                                           "\nDo you want to replace it?");
    EXPECT_FALSE(Button(ui(), Ctrl::RecordButton)->isChecked());
    EXPECT_FALSE(ctx().recording.recorder().active());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("AVERAGE = 128"));
}

// A settings file from another machine, or a damaged one: however wide or far out it puts the
// window, the window opens on this screen, no larger than it (not with the gigabytes a window
// 99999999 pixels wide would take), its title bar in reach. One that fits is taken as it is.
TEST_F(Window, APlacementFromAnotherScreenOpensTheWindowOnThisOne) {
    const char* placements[] = {"MAINPANEL WIDTH = 99999999\n", "MAINPANEL LEFT = 5000\n",
                                "MAINPANEL LEFT = 5\nMAINPANEL TOP = 40\n"};
    for (const char* placement : placements) {
        QFile settings(dir.filePath("PanelSettings.cfg"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QByteArray("[GENERAL INFO]\nFILE TYPE: = \"Panel Settings\"\n"
                                  "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 0\n") +
                       placement);
        settings.close();
        gui.reset();
        popups.ThenClick("OFFLINE");
        Start(RefusedPort());
        Spin(50);
        MainWindow& w = ui().window();
        const QRect screen = w.screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(w.frameGeometry()))
            << placement << w.frameGeometry().x() << "," << w.frameGeometry().y() << " "
            << w.frameGeometry().width() << "x" << w.frameGeometry().height();
        EXPECT_GT(w.geometry().top(), screen.top()) << "the title bar above it in reach";
    }
    EXPECT_EQ(ui().window().geometry(), QRect(5, 40, 790, 548));
}

TEST_F(Window, ClosingDuringAcquisitionEndsAndStoresTheSettings) {
    StartWithSensor();
    Acquire([&] { ui().window().close(); });
    EXPECT_TRUE(gui->quitRequested());
    EXPECT_FALSE(ctx().state.acquiring());
    EXPECT_TRUE(SettingsWritten());
    EXPECT_EQ(gui->Exec(), 0);
    EXPECT_TRUE(WaitUntil([&] { return !server.tcpClientConnected(); }, "the link to close", 2));
}

TEST_F(Window, GraphsExploredPausedAndExportedWhileRecording) {
    model.TeachPatches(5);
    StartWithSensor();
    auto* xy = qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphXY));
    auto* strip = qobject_cast<StripChart*>(ui().widget(Ctrl::RgbStripChart));
    popups.Then([](QWidget* w) { ChooseFile(w, QStringLiteral("live.csv")); });

    struct {
        QCPRange before, zoomed, afterSamples, automatic;
        bool active = false, round = false, reset = false, rowsGrew = false, cursorFroze = false,
             cursorFollows = false, scrolledBack = false;
        QString hover;
        std::uint64_t rowsAtPause = 0;
    } seen;
    Acquire([&] {
        QTest::mouseClick(Button(ui(), Ctrl::RecordButton), Qt::LeftButton);
        // The wheel zooms in around the mouse; the program's rescaling goes on unseen.
        const QPoint centre = xy->plotArea().center();
        QWheelEvent wheel(centre, xy->mapToGlobal(centre), {}, QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        seen.before = xy->horizontalRange();
        QApplication::sendEvent(xy, &wheel);
        seen.zoomed = xy->horizontalRange();
        model.SelectPatch("black");  // far from the taught colours: the automatic view grows
        Later(200, [&] {
            seen.afterSamples = xy->horizontalRange();
            seen.automatic = xy->automaticHorizontalRange();
            seen.round = std::abs(xy->horizontalRange().size() - xy->verticalRange().size()) <
                         1e-9 * xy->horizontalRange().size();
            const TeachVector& row2 = ctx().working.config().teach[2];
            seen.hover = xy->HoverText(QPointF(xy->xAxis->coordToPixel(row2.Cell[0]),
                                               xy->yAxis->coordToPixel(row2.Cell[1])));
            QTest::mouseDClick(xy, Qt::LeftButton, {}, centre);
            seen.reset = xy->horizontalRange() == xy->automaticHorizontalRange();
            // Paused: the drawing stands, the samples and the recording go on.
            ui().window().activateWindow();  // after the file dialog
            seen.active = QTest::qWaitForWindowActive(&ui().window());
            QTest::keyClick(&ui().window(), Qt::Key_F8);
            seen.rowsAtPause = ctx().recording.recorder().rows();
            const QPointF frozen = xy->cursorPosition();
            model.SelectPatch("blue");
            Later(200, [&, frozen] {
                seen.rowsGrew = ctx().recording.recorder().rows() > seen.rowsAtPause;
                seen.cursorFroze = xy->cursorPosition() == frozen &&
                                   QPointF(ctx().view.live.X(), ctx().view.live.Y()) != frozen;
                strip->ZoomAt(QPointF(strip->plotArea().right(), 10), 5);
                strip->PanBy(QPointF(strip->plotArea().width(), 0));
                seen.scrolledBack = strip->keyRange().lower < -500;
                QTest::keyClick(&ui().window(), Qt::Key_F8);
                seen.cursorFollows =
                    xy->cursorPosition() == QPointF(ctx().view.live.X(), ctx().view.live.Y());
                DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit);
            });
        });
    });
    EXPECT_NEAR(seen.zoomed.size(), 0.85 * 0.85 * seen.before.size(), 1e-6 * seen.before.size());
    EXPECT_EQ(seen.afterSamples, seen.zoomed) << "the operator's view stays";
    EXPECT_TRUE(seen.round);
    EXPECT_NE(seen.automatic, seen.zoomed);
    EXPECT_TRUE(seen.hover.contains(QStringLiteral("colour 2"))) << seen.hover.toStdString();
    EXPECT_TRUE(seen.reset);
    ASSERT_TRUE(seen.active);
    EXPECT_GT(seen.rowsAtPause, 0u);
    EXPECT_TRUE(seen.rowsGrew);
    EXPECT_TRUE(seen.cursorFroze);
    EXPECT_TRUE(seen.scrolledBack);
    EXPECT_TRUE(seen.cursorFollows);
    EXPECT_GT(QFile(dir.filePath("live.csv")).size(), 100);

    // Each graph as PNG, SVG or PDF; through the menu, with its file dialog, too.
    const QString png = dir.filePath("xy.png"), svg = dir.filePath("strip.svg"),
                  pdf = dir.filePath("yint.pdf");
    popups.Then([&](QWidget* w) { ChooseFile(w, png); });
    for (QAction* a : ui().menu().menu(MenuName::File)->actions()) {
        if (a->text().contains(QStringLiteral("X\u2013&Y"))) a->trigger();
    }
    QString why;
    EXPECT_TRUE(strip->Export(svg, &why)) << why.toStdString();
    auto* yInt = qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphYInt));
    EXPECT_TRUE(yInt->Export(pdf, &why)) << why.toStdString();
    EXPECT_FALSE(yInt->Export(dir.filePath("yint.bmp"), &why));
    EXPECT_EQ(FileStart(png, 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_TRUE(FileStart(svg, 400).contains("<svg"));
    EXPECT_EQ(FileStart(pdf, 5), QByteArray("%PDF-"));
}

TEST_F(Window, LinkMonitorShowsARejectedReply) {
    StartWithSensor();
    std::string error;
    server.AddFault(*sim::ParseFault("bad-data-crc,cmd=2", error));
    QTest::keyClick(&ui().window(), Qt::Key_F10);  // Get: its read of RAM comes back broken
    // Something came: the link stays, and its line says what went wrong.
    EXPECT_TRUE(ctx().supervisor.usable());
    EXPECT_NE(ctx().link.text().find("; corrupted reply at "), std::string::npos)
        << ctx().link.text();
    Activate();
    QTest::keyClick(&ui().window(), Qt::Key_L, Qt::ControlModifier);
    LinkMonitorPanel* panel = ui().menu().monitorPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    // A window of its own, not one kept above the main window and its live values; every
    // mnemonic in it one of a kind.
    EXPECT_EQ(panel->windowType(), Qt::Window);
    EXPECT_EQ(panel->windowHandle()->transientParent(), nullptr);
    std::vector<QChar> panelLetters = VisibleMnemonics(*panel);
    std::sort(panelLetters.begin(), panelLetters.end());
    EXPECT_GE(panelLetters.size(), 7u);
    EXPECT_EQ(std::adjacent_find(panelLetters.begin(), panelLetters.end()), panelLetters.end());
    MonitorTableModel& rows = panel->model();
    int rejected = -1;
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (rows.entryAt(r).result == MonitorResult::Rejected) rejected = r;
    }
    ASSERT_GE(rejected, 1);
    EXPECT_EQ(rows.entryAt(rejected).command, 2);
    EXPECT_EQ(rows.entryAt(rejected - 1).direction, MonitorDirection::Request);
    const std::string result =
        rows.data(rows.index(rejected, MonitorTableModel::Result), Qt::DisplayRole)
            .toString()
            .toStdString();
    EXPECT_EQ(result.rfind("rejected: ATTENTION! RECEIVED DATA FRAME IS INCORRECT!; data CRC: "
                           "expected ",
                           0),
              0u)
        << result;
    EXPECT_NE(result.find(", received "), std::string::npos) << result;

    // Live data while it is open: one counting line, however many samples.
    const int before = rows.rowCount();
    Acquire([&] { DispatchControlEvent(ctx(), Ctrl::StopButton, Event::Commit); });
    panel->Follow();
    ASSERT_GT(model.CommandCount(8), 10u);
    EXPECT_LE(rows.rowCount(), before + 3);
    EXPECT_EQ(rows.entryAt(rows.rowCount() - 1).exchanges, model.CommandCount(8));

    // The failures only.
    panel->SetFailuresOnly(true);
    ASSERT_GE(rows.rowCount(), 1);
    for (int r = 0; r < rows.rowCount(); ++r)
        EXPECT_EQ(rows.entryAt(r).result, MonitorResult::Rejected);
    panel->SetFailuresOnly(false);

    // The bytes of a long reply read at connecting (the teach rows, over 500 bytes): below the
    // list, with offsets and ASCII.
    panel->SetShowBytes(true);
    // The rejected reply's CRC byte, marked under its line.
    panel->view()->setCurrentIndex(rows.index(rejected, 0));
    EXPECT_TRUE(panel->bytesView()->toPlainText().contains(
        QStringLiteral("\n") + QString(24, QLatin1Char(' ')) + QStringLiteral("^^\n")))
        << panel->bytesView()->toPlainText().left(300).toStdString();
    int teachReply = -1;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const MonitorEntry& e = rows.entryAt(r);
        if (e.direction == MonitorDirection::Reply && e.bytes.size() > 500) teachReply = r;
    }
    ASSERT_GE(teachReply, 0);
    panel->view()->setCurrentIndex(rows.index(teachReply, 0));
    const std::size_t size = rows.entryAt(teachReply).bytes.size();
    const QString dump = panel->bytesView()->toPlainText();
    EXPECT_TRUE(panel->bytesView()->isVisible());
    EXPECT_TRUE(dump.startsWith(QStringLiteral("< reply, %1 bytes\n0000  55 02 ").arg(size)))
        << dump.left(200).toStdString();
    const QString lastOffset =
        QStringLiteral("\n%1  ").arg((size - 1) / 16 * 16, 4, 16, QLatin1Char('0'));
    EXPECT_TRUE(dump.contains(lastOffset)) << lastOffset.toStdString();
    EXPECT_TRUE(dump.endsWith(QStringLiteral("|\n"))) << "the ASCII beside the hex";
    panel->SetShowBytes(false);

    // Only command 2, saved as text, headed by the date, the link and the sensor.
    rows.SetFilter(MonitorFilter{2});
    for (int r = 0; r < rows.rowCount(); ++r)
        EXPECT_EQ(rows.entryAt(r).command, 2);
    QString why;
    ASSERT_TRUE(panel->SaveText(dir.filePath("link.txt"), &why)) << why.toStdString();
    const QByteArray text = FileStart(dir.filePath("link.txt"), 100000);
    EXPECT_TRUE(text.startsWith("Qelto link monitor\nSaved:  " +
                                QDate::currentDate().toString(Qt::ISODate).toLatin1()))
        << text.left(300).toStdString();
    EXPECT_TRUE(
        text.contains("\nLink:   TCP/IP 127.0.0.1:" + QByteArray::number(server.tcpPort()) + "\n"));
    EXPECT_TRUE(text.contains("\nSensor: KORVANEX V4.3B7, KORVANEX TAVRENO SIM, serial 4711\n"))
        << text.left(300).toStdString();
    EXPECT_TRUE(text.contains("rejected: ATTENTION! RECEIVED DATA FRAME IS INCORRECT!"));
    EXPECT_FALSE(text.contains("live data"));
    panel->close();

    // FREQ dims itself while it runs; the keyboard comes back to it, not into AVERAGE.
    Activate();
    QTest::mouseClick(Button(ui(), Ctrl::FreqButton), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), ui().widget(Ctrl::FreqButton));
    EXPECT_FALSE(qobject_cast<QSpinBox*>(ui().widget(Ctrl::AverageControl))
                     ->findChild<QLineEdit*>()
                     ->hasSelectedText());
    // Its display shows the text qelto-cli freq prints for the same value, 1000.5 Hz included.
    auto* freq = qobject_cast<QLineEdit*>(ui().widget(Ctrl::ScanFreqDisplay));
    const QString measured =
        QString::fromStdString(FormatScanFrequency(ctx().sensor.scanFrequency()));
    EXPECT_TRUE(WaitUntil([&] { return freq->text() == measured; }, "the measured frequency", 2))
        << freq->text().toStdString() << " / " << measured.toStdString();
    ui().SetPrecision(Ctrl::ScanFreqDisplay, ScanFrequencyPrecision(1000.5));
    ui().SetCtrlVal(Ctrl::ScanFreqDisplay, 1000.5);
    EXPECT_TRUE(WaitUntil([&] { return freq->text() == "1001"; }, "1001 in the display", 2))
        << freq->text().toStdString();
    EXPECT_EQ(FormatScanFrequency(1000.5), "1001");

    // Every mnemonic in reach is one of a kind, so Alt+E goes to EEPROM and stays there.
    for (int page : {kConnectionPage, kParameterPage}) {
        ui().SetActiveTabPage(page);
        std::vector<QChar> letters = VisibleMnemonics(ui().window());
        std::sort(letters.begin(), letters.end());
        EXPECT_EQ(std::adjacent_find(letters.begin(), letters.end()), letters.end()) << page;
        if (page == kParameterPage) {
            // The editor's sub-pages have letters of their own.
            DispatchControlEvent(ctx(), Ctrl::EditModeButton, Event::Commit);
            letters = VisibleMnemonics(ui().window());
            std::sort(letters.begin(), letters.end());
            EXPECT_EQ(std::adjacent_find(letters.begin(), letters.end()), letters.end());
            EXPECT_EQ(std::count(letters.begin(), letters.end(), QChar('T')), 1);
            DispatchControlEvent(ctx(), Ctrl::EditModeButton, Event::Commit);
        }
    }
    QTest::keyClick(&ui().window(), Qt::Key_E, Qt::AltModifier);
    QTest::keyClick(&ui().window(), Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), ui().widget(Ctrl::EepromButton));
}

TEST_F(Window, AtHomeOnADesktop) {
    // No settings yet: the desktop's language (English) is the first start's.
    popups.ThenClick("OFFLINE");
    Start(RefusedPort(), 1);
    EXPECT_EQ(ctx().state.Language, 1);
    EXPECT_EQ(qobject_cast<QComboBox*>(ui().widget(Ctrl::LanguageSelector))->currentIndex(), 1);
    MainWindow& w = ui().window();

    // File, View, Sensor, Help; an entry is usable when its control is, and does what it does.
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Sensor", "&Help"}));
    for (const MenuEntry& e : MenuEntries()) {
        if (e.command != WindowCommand::Control || e.role == Ctrl::Count_) continue;
        EXPECT_EQ(ui().menu().ActionFor(e.role)->isEnabled(), ui().widget(e.role)->isEnabled())
            << e.title;
    }
    EXPECT_TRUE(ui().menu().ActionFor(Ctrl::GoButton)->text().endsWith(QStringLiteral("\tF11")));
    EXPECT_FALSE(ui().menu().ActionFor(Ctrl::EepromButton)->text().contains(QLatin1Char('\t')))
        << "a mnemonic is no key of the menu's";
    ui().SetDimmed(Ctrl::EepromButton, false);
    ui().menu().ActionFor(Ctrl::EepromButton)->trigger();
    EXPECT_EQ(ctx().state.TransferTarget, kTargetEeprom);
    EXPECT_TRUE(Button(ui(), Ctrl::EepromButton)->isChecked());
    popups.Then([](QWidget* box) { ClickButton(box, QStringLiteral("OK")); });
    ui().menu().ActionFor(WindowCommand::About)->trigger();
    ASSERT_EQ(popups.seen.size(), 2u);
    EXPECT_EQ(popups.seen[1].title, "About Qelto");
    EXPECT_NE(popups.seen[1].text.find("GPL-3.0-or-later"), std::string::npos);
    EXPECT_NE(popups.seen[1].text.find(qVersion()), std::string::npos);

    // The banner's lines do not run into each other.
    std::vector<QLabel*> lines;
    for (QLabel* l : w.main().banner->findChildren<QLabel*>()) {
        if (l->x() == 15) lines.push_back(l);
    }
    std::sort(lines.begin(), lines.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LE(lines[i - 1]->y() + lines[i - 1]->fontMetrics().height(), lines[i]->y() + 1);
    }

    // The status bar's longest text keeps to one line, cut with "…", whole in its tooltip;
    // below the minimum size nothing goes.
    const std::string longest =
        "recording qelto-live-20260101-120000.csv (one in 10): 1234567 rows, 123.4 MB   "
        "12345.6 samples/s   1234567 samples   scan frequency 1234.56 Hz";
    ui().SetCtrlText(Ctrl::StatusBar, longest);
    Spin(50);
    auto* bar = qobject_cast<StatusLine*>(ui().widget(Ctrl::StatusBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_LE(bar->height(), bar->fontMetrics().height() * 2);
    EXPECT_TRUE(bar->shownText().endsWith(QChar(0x2026))) << bar->shownText().toStdString();
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->shownText()), bar->contentsRect().width());
    EXPECT_TRUE(bar->toolTip().startsWith(QString::fromStdString(longest)));
    w.resize(300, 200);
    Spin(50);
    EXPECT_GE(w.width(), w.minimumWidth());
    EXPECT_GE(w.dataPanel()->width(), w.dataPanel()->minimumSizeHint().width());
    EXPECT_GE(w.dataPanel()->height(), w.dataPanel()->minimumSizeHint().height());
    w.resize(790, 548);
    Spin(50);

    // A new palette reaches the memory button that is off; one that is on but dimmed says so.
    auto colourAt = [](QWidget* b) { return b->grab().toImage().pixelColor(4, b->height() / 2); };
    QPushButton* off = Button(ui(), Ctrl::FileButton);
    QPushButton* on = Button(ui(), Ctrl::EepromButton);
    QPalette dark = qApp->palette();
    dark.setColor(QPalette::Button, QColor(0x3C, 0x3F, 0x41));
    const QPalette light = qApp->palette();
    qApp->setPalette(dark);
    Spin(50);
    EXPECT_EQ(colourAt(off), QColor(0x3C, 0x3F, 0x41));
    const QColor onColour = colourAt(on);
    ui().SetDimmed(Ctrl::EepromButton, true);
    EXPECT_NE(colourAt(on), onColour);
    EXPECT_NE(colourAt(on), colourAt(off));
    qApp->setPalette(light);

    // With settings stored, their language holds whatever the desktop says.
    QTimer::singleShot(0, [&] { w.close(); });
    EXPECT_EQ(gui->Exec(), 0);
    gui.reset();
    popups.ThenClick("OFFLINE");
    Start(RefusedPort(), 2);
    EXPECT_EQ(ctx().state.Language, 1);
}

// Teaching with evidence: Teach from sensor on row 5 of a sensor with five taught colours
// changes row 5 and MAX VEC NO of the working copy and nothing else, as one step, and nothing
// goes to the sensor; Check tolerances on a recording of two colours the sensor can hardly tell
// apart marks the pair, and Apply proposals keeps their spheres apart.
TEST_F(Window, TeachOneColourAndCheckARecording) {
    model.TeachPatches(5);
    model.SelectPatch("orange");
    model.SetSpread(2);
    StartWithSensor();
    const Configuration before = ctx().working.config();
    const std::uint64_t writes = model.CommandCount(kCmdWrite);
    QTest::mouseClick(Button(ui(), Ctrl::EditModeButton), Qt::LeftButton);
    auto* teach = qobject_cast<QTableView*>(ui().widget(Ctrl::TeachEditor));
    teach->setCurrentIndex(teach->model()->index(5, 0));
    popups.ThenClick("OK");
    QTest::mouseClick(Button(ui(), Ctrl::TeachFromSensorButton), Qt::LeftButton);
    ASSERT_EQ(popups.seen.size(), 2u);
    EXPECT_NE(popups.seen[1].text.find("Row 5 measured from 100 samples"), std::string::npos)
        << popups.seen[1].text;
    const Configuration taught = ctx().working.config();
    std::vector<std::string> changed;
    for (const Difference& d : CompareConfigurations(before, taught, kTeachRows))
        changed.push_back(ItemSection(d.item) + " " + ItemKey(d.item));
    EXPECT_EQ(changed, (std::vector<std::string>{"PARAMETER MAX VEC NO", "TEACH VECTOR 5 CELL 0",
                                                 "TEACH VECTOR 5 CELL 1", "TEACH VECTOR 5 CELL 2",
                                                 "TEACH VECTOR 5 CELL 3"}));
    EXPECT_EQ(model.CommandCount(kCmdWrite), writes) << "nothing goes out before Send";
    EXPECT_GT(qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphXY))->pointCount(), 0);
    QTest::mouseClick(Button(ui(), Ctrl::UndoButton), Qt::LeftButton);
    EXPECT_EQ(ctx().working.config(), before) << "one step";

    // Two colours of nearly the same reflectance, recorded as they pass the sensor.
    sim::SensorModel pair{sim::SensorConfig{.noise = false, .spread = 3}};
    pair.SetPatches({{"cream", 0.90, 0.86, 0.70}, {"ivory", 0.91, 0.87, 0.72}});
    pair.TeachPatches(2);
    QFile recording(dir.filePath("pair.csv"));
    ASSERT_TRUE(recording.open(QIODevice::WriteOnly));
    recording.write(kLiveCsvHeader.data(), static_cast<qint64>(kLiveCsvHeader.size()));
    for (int i = 0; i < 300; ++i) {
        pair.SelectPatch(static_cast<std::size_t>(i % 2));
        const LiveData d = pair.Measure();
        char line[128];
        const std::size_t n = FormatLiveCsvLine(
            line, i * 0.01, {d.Red(), d.Green(), d.Blue(), d.X(), d.Y(), d.Int(), d.ColorNo()}, {});
        recording.write(line, static_cast<qint64>(n));
    }
    recording.close();
    ctx().working.Replace({pair.EepromParameters(), pair.EepromTeach()});
    EXPECT_EQ(ui().GetCtrlText(Ctrl::OverlapNote).rfind("Spheres that overlap: rows 0 and 1 (", 0),
              0u);
    popups.ThenClick("RECORDING");
    popups.Then([](QWidget* w) { ChooseFile(w, QStringLiteral("pair.csv")); });
    QStringList verdicts;
    QColor marked;
    int cloud = 0;
    popups.Then([&](QWidget* w) {
        auto* table = qobject_cast<TablePopup*>(w);
        if (table == nullptr) return;
        cloud = qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphXY))->pointCount();
        for (int r = 0; r < table->table()->rowCount(); ++r)
            verdicts << table->table()->item(r, table->table()->columnCount() - 1)->text();
        marked = table->table()->item(0, 0)->background().color();
        table->acceptButton()->click();
    });
    QTest::mouseClick(Button(ui(), Ctrl::CheckTolerancesButton), Qt::LeftButton);
    EXPECT_EQ(verdicts, (QStringList{"cannot separate", "cannot separate"}));
    EXPECT_EQ(marked, QColor::fromRgb(kCellRefused));
    EXPECT_EQ(cloud, 300) << "the recording's samples beside the circles";
    const TeachTable& applied = ctx().working.teach();
    EXPECT_LE(applied[0].Cell[3] + applied[1].Cell[3],
              Distance(TaughtCentre(applied[0]), TaughtCentre(applied[1])));
    EXPECT_TRUE(ctx().working.canUndo());
    EXPECT_EQ(model.CommandCount(kCmdWrite), writes);
}

// The desktop's language at the first start: the C and POSIX locales are English.
TEST(DesktopLanguage, CAndPosixAreEnglish) {
    EXPECT_EQ(LanguageOfLocale(QLocale(QLocale::C)), 1);
    EXPECT_EQ(LanguageOfLocale(QLocale(QStringLiteral("POSIX"))), 1);
    EXPECT_EQ(LanguageOfLocale(QLocale(QStringLiteral("C"))), 1);
    EXPECT_EQ(LanguageOfLocale(QLocale(QStringLiteral("pl_PL"))), 6);
    EXPECT_EQ(LanguageOfLocale(QLocale(QStringLiteral("ja_JP"))), std::nullopt);
}

// The operator's day from the keyboard alone, one task after the other: connect, edit and
// send, send to RAM and store, record during GO, zoom a graph, find a failure in the link monitor.
// No mouse event is sent; popups are answered by their keys or by typing. Each task is a step of
// its own: a new task of the day goes in as one more.
TEST_F(Window, TheOperatorsDayWithoutAMouse) {
    popups.ThenClick("OFFLINE");
    Start(RefusedPort());
    Activate();
    MainWindow& w = ui().window();
    const auto key = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target =
            focus != nullptr && focus->isVisible() ? focus : static_cast<QWidget*>(&w);
        QTest::keyClick(target, static_cast<Qt::Key>(k), mods);
    };
    // A popup's answer by its key; one that stays open after it is closed, so that the test
    // fails rather than waits.
    const auto pressOn = [](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return [k, mods](QWidget* popup) {
            QTest::keyClick(popup, static_cast<Qt::Key>(k), mods);
            QTimer::singleShot(2000, popup, [popup] {
                ADD_FAILURE() << "the key left the popup open: "
                              << popup->windowTitle().toStdString();
                if (auto* dialog = qobject_cast<QDialog*>(popup)) dialog->reject();
            });
        };
    };
    // Tab until `target` has the keyboard; false when it never comes.
    const auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 80 && QApplication::focusWidget() != target; ++i)
            key(Qt::Key_Tab);
        return QApplication::focusWidget() == target;
    };
    struct Step {
        const char* task;
        std::function<void()> run;
    };
    const std::vector<Step> day = {
        {"connect",
         [&] {
             ASSERT_TRUE(server.ListenTcp());
             key(Qt::Key_C, Qt::AltModifier);  // the connection page
             key(Qt::Key_T, Qt::AltModifier);  // its Port field
             key(Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(QApplication::focusWidget(), QString::number(server.tcpPort()));
             popups.Then(pressOn(Qt::Key_Return));  // default parameters? Enter says no
             key(Qt::Key_Return);                   // Enter in the field connects
             ASSERT_TRUE(ctx().supervisor.usable());
         }},
        {"edit and send",
         [&] {
             Activate();
             // Offline left FILE selected: the sensor's EEPROM again.
             key(Qt::Key_E, Qt::AltModifier);
             ASSERT_TRUE(WaitUntil([&] { return ctx().state.TransferTarget == kTargetEeprom; },
                                   "EEPROM selected", 1));
             key(Qt::Key_P, Qt::AltModifier);  // the parameter page
             key(Qt::Key_D, Qt::AltModifier);  // Edit (a button's letter clicks it a moment later)
             ASSERT_TRUE(WaitUntil([&] { return ctx().editor.on(); }, "the editor", 1));
             auto* table = qobject_cast<QTableView*>(ui().widget(Ctrl::ParameterEditor));
             ASSERT_TRUE(tabTo(table));
             key(Qt::Key_Home, Qt::ControlModifier);
             const QString gain = QStringLiteral("GAIN");
             for (int r = 0;
                  r < table->model()->rowCount() &&
                  table->model()->headerData(table->currentIndex().row(), Qt::Vertical) != gain;
                  ++r) {
                 key(Qt::Key_Down);
             }
             ASSERT_EQ(table->model()->headerData(table->currentIndex().row(), Qt::Vertical), gain);
             key(Qt::Key_7);  // typing opens the cell
             auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
             ASSERT_NE(cell, nullptr);
             EXPECT_EQ(cell->text(), QStringLiteral("7"));
             key(Qt::Key_Return);
             Spin(20);  // the view hands the value on once the cell's editor has closed
             EXPECT_EQ(ctx().working.config().para.Gain, 7);
             // Tab leaves the table when no cell is open; Ctrl+Tab too.
             key(Qt::Key_Tab, Qt::ControlModifier);
             EXPECT_FALSE(table->isAncestorOf(QApplication::focusWidget()));
             popups.Then(pressOn(Qt::Key_Y));  // send these values? Y is Yes
             key(Qt::Key_F9);
             EXPECT_EQ(model.EepromParameters().Gain, 7);
             Activate();
             key(Qt::Key_D, Qt::AltModifier);  // the plain page again
             EXPECT_TRUE(WaitUntil([&] { return !ctx().editor.on(); }, "the plain page", 1));
         }},
        {"edit and send to RAM, store",
         [&] {
             Activate();
             key(Qt::Key_S, Qt::AltModifier);                                // Sensor
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_M);  // RAM
             ASSERT_TRUE(WaitUntil([&] { return ctx().state.TransferTarget == kTargetRam; },
                                   "RAM selected", 1));
             Activate();                       // the menu has closed
             key(Qt::Key_G, Qt::AltModifier);  // AVERAGE
             key(Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("8"));
             EXPECT_EQ(ctx().working.para().Average, 8);
             key(Qt::Key_F9);  // to RAM alone: nothing is asked
             EXPECT_EQ(model.RamParameters().Average, 8);
             EXPECT_NE(model.EepromParameters().Average, 8);
             EXPECT_TRUE(ui().widget(Ctrl::StoreButton)->isVisible());
             key(Qt::Key_S, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_N);  // Store in EEPROM
             ASSERT_TRUE(WaitUntil([&] { return model.EepromParameters().Average == 8; },
                                   "AVERAGE 8 stored", 1));
             EXPECT_FALSE(ui().widget(Ctrl::StoreButton)->isVisible());
             Activate();
             key(Qt::Key_S, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);  // the EEPROM again
             ASSERT_TRUE(WaitUntil([&] { return ctx().state.TransferTarget == kTargetEeprom; },
                                   "EEPROM selected", 1));
         }},
        {"record during GO",
         [&] {
             Activate();
             popups.Then([](QWidget* dialog) { ChooseFile(dialog, QStringLiteral("walk.csv")); });
             key(Qt::Key_F, Qt::AltModifier);                                // File
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_R);  // Record live data
             ASSERT_TRUE(ctx().recording.recorder().active());
             EXPECT_NE(ui().GetCtrlText(Ctrl::StatusBar).find("recording walk.csv: waiting for GO"),
                       std::string::npos)
                 << ui().GetCtrlText(Ctrl::StatusBar);
             Activate();
             std::string during;
             QTimer::singleShot(400, [&] {
                 ctx().recording.ShowStatusBar(true);
                 during = ui().GetCtrlText(Ctrl::StatusBar);
                 key(Qt::Key_F12);
             });
             key(Qt::Key_F11);
             EXPECT_NE(during.find("recording walk.csv: "), std::string::npos) << during;
             EXPECT_NE(during.find(" rows, "), std::string::npos) << during;
             EXPECT_FALSE(ctx().recording.recorder().active());
         }},
        {"zoom a graph",
         [&] {
             Activate();
             auto* xy = qobject_cast<ColourGraph*>(ui().widget(Ctrl::GraphXY));
             ASSERT_TRUE(tabTo(xy));
             const QCPRange automatic = xy->xAxis->range();
             key(Qt::Key_Plus);
             EXPECT_TRUE(xy->operatorView());
             EXPECT_LT(xy->xAxis->range().size(), automatic.size());
             const double centre = xy->xAxis->range().center();
             key(Qt::Key_Right);
             EXPECT_GT(xy->xAxis->range().center(), centre);
             key(Qt::Key_0);
             EXPECT_FALSE(xy->operatorView());
             EXPECT_EQ(xy->xAxis->range(), automatic);
         }},
        {"find a failure in the link monitor",
         [&] {
             std::string error;
             server.AddFault(*sim::ParseFault("bad-data-crc,cmd=2", error));
             Activate();
             popups.Then(pressOn(Qt::Key_Return));  // nothing unsent: no question expected
             key(Qt::Key_F10);
             EXPECT_TRUE(ctx().supervisor.usable());  // a broken reply is no loss
             Activate();
             key(Qt::Key_L, Qt::ControlModifier);
             LinkMonitorPanel* panel = ui().menu().monitorPanel();
             ASSERT_NE(panel, nullptr);
             panel->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
             MonitorTableModel& rows = panel->model();
             const auto onlyFailures = [&] {
                 panel->Follow();
                 bool rejected = false;
                 for (int r = 0; r < rows.rowCount(); ++r) {
                     if (rows.entryAt(r).result == MonitorResult::Ok) return false;
                     rejected = rejected || rows.entryAt(r).result == MonitorResult::Rejected;
                 }
                 return rejected;
             };
             EXPECT_FALSE(onlyFailures());
             QTest::keyClick(panel, Qt::Key_F, Qt::AltModifier);  // Failures only
             EXPECT_TRUE(WaitUntil(onlyFailures, "failures only", 1));
             panel->close();
         }},
    };
    for (const Step& step : day) {
        SCOPED_TRACE(step.task);
        step.run();
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace qelto::gui
