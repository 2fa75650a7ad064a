// qelto-screenshots OUTDIR [SUFFIX]: the window offscreen against qelto-sim, saved as PNGs at
// the moments worth looking at: connected, acquiring with taught colours (light and dark),
// the graphs explored (zoomed, hovered, paused and scrolled back), the parameter page and its
// editor, a failure in the InfoBox, the assistant's first question, the link monitor with a
// rejected reply and its Bytes view, the question before Record replaces a file, a recording
// waiting for GO and one running, the editor beside the live view during GO (also at
// 1024x600), the Sensor and File menus, the
// About box, the smallest window, the reports after loading an empty file (the longer one
// taller than the screen), a colour taught from the sensor, the tolerance table, the
// evidence cloud, and the window and a question with Deutsch selected.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/control_table.hpp"
#include "app/live.hpp"
#include "app/parameter_editor.hpp"
#include "app/transfer.hpp"
#include "demo_sim.hpp"
#include "gui_app.hpp"
#include "gui_driver.hpp"
#include "protocol/records.hpp"
#include "window_menu.hpp"

using namespace qelto;
using namespace qelto::gui;
using namespace qelto::gui::testing;

namespace {

QPalette DarkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2B, 0x2D, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Base, QColor(0x1E, 0x1F, 0x22));
    p.setColor(QPalette::AlternateBase, QColor(0x2B, 0x2D, 0x30));
    p.setColor(QPalette::Text, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Button, QColor(0x3C, 0x3F, 0x41));
    // The bevel roles too: a dark desktop theme sets them, and buttons are drawn from them.
    p.setColor(QPalette::Light, QColor(0x55, 0x58, 0x5A));
    p.setColor(QPalette::Midlight, QColor(0x48, 0x4B, 0x4D));
    p.setColor(QPalette::Mid, QColor(0x30, 0x32, 0x34));
    p.setColor(QPalette::Dark, QColor(0x20, 0x21, 0x23));
    p.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    p.setColor(QPalette::ButtonText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Highlight, QColor(0x35, 0x74, 0xF0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x3C, 0x3F, 0x41));
    p.setColor(QPalette::ToolTipText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: qelto-screenshots OUTDIR [SUFFIX]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(out);
    auto savePixmap = [&](const QPixmap& pixmap, const QString& name) {
        const QString path = QDir(out).filePath(name + suffix + ".png");
        const bool ok = pixmap.save(path);
        std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    };
    auto save = [&](QWidget* w, const char* name) {
        savePixmap(w->grab(), QString::fromLatin1(name));
    };
    // The same view in the light and in the dark palette.
    auto saveBoth = [&](QWidget* w, const char* name, const std::function<void()>& settle) {
        for (bool dark : {false, true}) {
            app.setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
            Spin(100);
            if (settle) settle();
            savePixmap(w->grab(), QString::fromLatin1(name) + (dark ? "-dark" : ""));
        }
        app.setPalette(QApplication::style()->standardPalette());
        Spin(50);
    };

    DemoSimulator sim;
    if (!sim.Start(DemoSimulator::Find(QApplication::applicationDirPath()),
                   {QStringLiteral("--no-noise")})) {
        std::fprintf(stderr, "qelto-screenshots: %s\n", qPrintable(sim.error()));
        return 1;
    }
    QTemporaryDir settings;
    StartupOptions startup;
    startup.programDirectory = settings.path().toStdString();
    startup.userConfigDirectory = settings.path().toStdString();
    startup.documentsDirectory = settings.path().toStdString();
    startup.connectionOverride = LinkDescription::Tcp(sim.host().toStdString(), sim.port());
    startup.desktopLanguage = kEnglish;  // the last picture speaks German

    PopupAnswerer popups;
    popups.ThenClick("No");  // default parameters? no
    GuiApp gui;
    gui.Start(startup);
    QtUi& ui = gui.ui();
    Context& ctx = gui.ctx();
    MainWindow& window = ui.window();
    Spin(300);

    ui.SetActiveTabPage(kConnectionPage);
    ui.scheduler().FlushNow();
    Spin(100);
    save(&window, "01-connected");

    // Teach five standard colours as the assistant would, from what the sensor measures.
    const char* scenes[] = {"white", "red", "green", "blue", "yellow"};
    int row = 0;
    for (const char* scene : scenes) {
        sim.Control(QStringLiteral("scene %1").arg(QString::fromLatin1(scene)));
        Spin(150);
        if (ctx.live.ReadLiveData() != 1) break;
        const LiveData& live = ctx.view.live;
        Configuration taught = ctx.working.config();
        taught.teach[static_cast<std::size_t>(row++)].Cell = {
            static_cast<std::uint16_t>(live.X()),
            static_cast<std::uint16_t>(live.Y()),
            static_cast<std::uint16_t>(live.Int()),
            500,
            0,
            0};
        ctx.working.Replace(taught);
    }
    Configuration taught = ctx.working.config();
    taught.para.MaxVecNo = static_cast<std::uint16_t>(row);
    ctx.working.Replace(taught);
    ctx.transfer.SendPara();
    sim.Control(QStringLiteral("scene red"));
    sim.Control(QStringLiteral("cycle 0.4"));

    // GO, then the pictures while it runs, then STOP. Each step returns to the acquisition
    // loop, which runs between them.
    std::function<void()> explore;
    std::function<void(int)> duringGo;
    QTimer::singleShot(1500, [&] {
        ui.scheduler().FlushNow();
        save(&window, "02-acquiring");
        app.setPalette(DarkPalette());
        Spin(200);
        ui.scheduler().FlushNow();
        save(&window, "03-acquiring-dark");
        app.setPalette(QApplication::style()->standardPalette());
        Spin(100);

        // Looking closer: other patches come in turn while the acquisition runs on, then the
        // drawing is paused, X-Y is zoomed in with the mouse over a circle, and the strip
        // chart shows samples further back.
        static constexpr const char* kPatches[] = {"green", "blue", "yellow", "white", "red"};
        for (int i = 0; i < 5; ++i) {
            QTimer::singleShot(40 * (i + 1), [&sim, i] {
                sim.Control(QStringLiteral("scene %1").arg(QString::fromLatin1(kPatches[i])));
            });
        }
        QTimer::singleShot(400, [&] { explore(); });
    });
    explore = [&] {
        ui.SetGraphsPaused(true);
        auto* xy = qobject_cast<ColourGraph*>(ui.widget(Ctrl::GraphXY));
        auto* strip = qobject_cast<StripChart*>(ui.widget(Ctrl::RgbStripChart));
        xy->ZoomAt(xy->plotArea().center(), 0.6);
        const QPointF over(xy->xAxis->coordToPixel(ctx.working.config().teach[0].Cell[0] + 120.0),
                           xy->yAxis->coordToPixel(ctx.working.config().teach[0].Cell[1] - 60.0));
        QCursor::setPos(xy->mapToGlobal(over.toPoint()));
        QMouseEvent move(QEvent::MouseMove, over, xy->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(xy, &move);
        strip->ZoomAt(QPointF(strip->plotArea().right(), strip->plotArea().center().y()), 8);
        strip->PanBy(QPointF(strip->plotArea().width() * 0.6, 0));
        saveBoth(&window, "09-graphs-explored", [&] { ui.scheduler().FlushNow(); });
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(xy, &leave);
        ui.ResetGraphViews();
        ui.SetGraphsPaused(false);
        // Each of the next steps returns to the acquisition loop, so that samples go on
        // arriving between the pictures.
        QTimer::singleShot(50, [&] { duringGo(0); });
    };
    // A recording during GO: its file, rows and size in the status bar. Then the editor
    // beside the live view: a tolerance changed and not yet sent is a dashed circle; at the
    // standard size and on a small screen.
    const QSize standardSize = window.size();
    duringGo = [&](int step) {
        const auto shot = [&](const char* name) {
            for (bool dark : {false, true}) {
                app.setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
                Spin(100);
                ctx.recording.ShowStatusBar(true);  // the figures of this moment
                ui.scheduler().FlushNow();
                savePixmap(window.grab(), QString::fromLatin1(name) + (dark ? "-dark" : ""));
            }
            app.setPalette(QApplication::style()->standardPalette());
        };
        switch (step) {
            case 0:
                popups.Then([&](QWidget* w) { ChooseFile(w, QStringLiteral("line-2.csv")); });
                ui.Trigger(Ctrl::RecordButton);
                break;
            case 1:
                shot("20-recording");
                ui.SetActiveTabPage(kParameterPage);
                DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
                ctx.editor.EditItem(ConfigItem::Teach(1, 3), 800);
                ctx.editor.EditItem(ConfigItem::Parameter(15), 9);
                break;
            case 2:
                shot("18-editor-during-go");
                window.resize(1024, 600);
                break;
            case 3:
                shot("18-editor-during-go-1024x600");
                window.resize(standardSize);
                DispatchControlEvent(ctx, Ctrl::RevertButton, Event::Commit);
                DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
                DispatchControlEvent(ctx, Ctrl::StopButton, Event::Commit);
                return;
        }
        QTimer::singleShot(400, [&, step] { duringGo(step + 1); });
    };
    // Record armed before GO: the status bar says that it waits.
    popups.Then([&](QWidget* w) { ChooseFile(w, QStringLiteral("line-1.csv")); });
    qobject_cast<QPushButton*>(ui.widget(Ctrl::RecordButton))->click();
    Spin(100);
    saveBoth(&window, "19-recording-waiting-for-go", [&] { ui.scheduler().FlushNow(); });
    const QSize beforeSmall = window.size();
    window.resize(1024, 600);
    Spin(100);
    save(&window, "19-recording-waiting-for-go-1024x600");
    window.resize(beforeSmall);
    Spin(50);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::RecordButton))->click();
    qobject_cast<QPushButton*>(ui.widget(Ctrl::GoButton))->click();
    sim.Control(QStringLiteral("cycle 0"));

    ui.SetActiveTabPage(kParameterPage);
    Spin(200);
    ui.scheduler().FlushNow();
    save(&window, "04-parameter-page");

    // The editor with two values changed from the sensor's.
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
    ctx.editor.EditItem(ConfigItem::Parameter(15), 9);
    ctx.editor.EditItem(ConfigItem::Teach(2, 0), 900);
    saveBoth(&window, "09-parameter-editor", nullptr);
    DispatchControlEvent(ctx, Ctrl::RevertButton, Event::Commit);
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);

    // Teaching with evidence: the surfaces vary now. Row 5 taught from the sensor (orange),
    // then the taught colours checked against the live data of a few seconds as they pass:
    // the table of verdicts and proposals, and the cloud of samples beside the circles.
    sim.Control(QStringLiteral("noise on"));
    sim.Control(QStringLiteral("spread 2"));
    sim.Control(QStringLiteral("scene orange"));
    Spin(100);
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
    if (auto* rows = qobject_cast<QTableView*>(ui.widget(Ctrl::TeachEditor))) {
        for (QWidget* w = rows; w != nullptr; w = w->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) tabs->setCurrentIndex(1);
        }
        rows->setCurrentIndex(rows->model()->index(5, 0));
    }
    popups.Then([&](QWidget* w) {
        save(w, "30-teach-from-sensor");
        ClickButton(w, QStringLiteral("OK"));
    });
    DispatchControlEvent(ctx, Ctrl::TeachFromSensorButton, Event::Commit);
    saveBoth(&window, "31-taught-from-sensor", [&] { ui.scheduler().FlushNow(); });
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
    static constexpr const char* kTaughtScenes[] = {"white", "red",    "green",
                                                    "blue",  "yellow", "orange"};
    for (int i = 0; i < 24; ++i) {
        QTimer::singleShot(120 * i, [&sim, i] {
            sim.Control(QStringLiteral("scene %1").arg(QString::fromLatin1(kTaughtScenes[i % 6])));
        });
    }
    QTimer::singleShot(2900, [&] { DispatchControlEvent(ctx, Ctrl::StopButton, Event::Commit); });
    qobject_cast<QPushButton*>(ui.widget(Ctrl::GoButton))->click();
    popups.Then([](QWidget* w) {
        if (auto* seconds = w->findChild<QLineEdit*>()) seconds->setText(QStringLiteral("3"));
        ClickButton(w, QStringLiteral("LIVE DATA"));
    });
    popups.Then([&](QWidget* w) {
        saveBoth(w, "32-check-tolerances", nullptr);
        ClickButton(w, QStringLiteral("Close"));
    });
    DispatchControlEvent(ctx, Ctrl::CheckTolerancesButton, Event::Commit);
    saveBoth(&window, "33-evidence-cloud", [&] { ui.scheduler().FlushNow(); });
    ctx.working.Undo();
    sim.Control(QStringLiteral("spread 0"));
    sim.Control(QStringLiteral("noise off"));

    // A sensor that stays silent: the failure lands in the InfoBox.
    sim.Control(QStringLiteral("fault no-reply"));
    Spin(100);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::GetButton))->click();
    Spin(200);
    ui.scheduler().FlushNow();
    save(&window, "05-failure");

    // The assistant's first question, then CANCEL and the note that follows it.
    popups.Then([&](QWidget* w) {
        save(w, "06-assistant-question");
        ClickButton(w, QStringLiteral("CANCEL"));
    });
    popups.ThenClick("OK");
    ui.SetActiveTabPage(kParameterPage);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::StartAssistantButton))->click();
    Spin(100);

    // The link monitor after a reply with a broken data block.
    sim.Control(QStringLiteral("fault bad-data-crc,cmd=2"));
    Spin(100);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::GetButton))->click();
    Spin(100);
    ui.menu().ShowLinkMonitor();
    LinkMonitorPanel* monitor = ui.menu().monitorPanel();
    saveBoth(monitor, "10-link-monitor", [&] {
        monitor->Follow();
        monitor->view()->scrollToBottom();
    });
    // Its Bytes view on the longest reply (the teach rows, over 500 bytes), failures included.
    monitor->SetShowBytes(true);
    {
        MonitorTableModel& rows = monitor->model();
        int longest = -1;
        for (int r = 0; r < rows.rowCount(); ++r) {
            if (longest < 0 || rows.entryAt(r).bytes.size() > rows.entryAt(longest).bytes.size())
                longest = r;
        }
        if (longest >= 0) {
            monitor->view()->setCurrentIndex(rows.index(longest, 0));
            monitor->view()->scrollTo(rows.index(longest, 0));
        }
    }
    saveBoth(monitor, "10-link-monitor-bytes", nullptr);
    monitor->SetShowBytes(false);
    monitor->hide();

    // Record pointed at a file that is there: the question, answered No.
    const QString existing = QDir(settings.path()).filePath(QStringLiteral("line-3.csv"));
    QFile old(existing);
    if (old.open(QIODevice::WriteOnly)) old.write("last week\n");
    old.close();
    popups.Then([&](QWidget* w) { ChooseFile(w, existing); });
    popups.Then([&](QWidget* w) {
        save(w, "14-record-replace");
        ClickButton(w, QStringLiteral("No"));
    });
    qobject_cast<QPushButton*>(ui.widget(Ctrl::RecordButton))->click();
    Spin(100);

    // The menus, drawn where they open over the window.
    for (const auto& [name, shotName] : {std::pair{MenuName::Sensor, "11-menu-sensor"},
                                         std::pair{MenuName::File, "11-menu-file"}}) {
        QMenu* shown = ui.menu().menu(name);
        window.menuBar()->setActiveAction(shown->menuAction());
        Spin(100);
        for (bool dark : {false, true}) {
            app.setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
            Spin(100);
            QPixmap shot = window.grab();
            QPainter painter(&shot);
            painter.drawPixmap(window.mapFromGlobal(shown->mapToGlobal(QPoint(0, 0))),
                               shown->grab());
            painter.end();
            savePixmap(shot, QString::fromLatin1(shotName) + (dark ? "-dark" : ""));
        }
        app.setPalette(QApplication::style()->standardPalette());
        shown->hide();
        window.menuBar()->setActiveAction(nullptr);
        Spin(50);
    }

    for (bool dark : {false, true}) {
        app.setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
        popups.Then([&, dark](QWidget* w) {
            save(w, dark ? "12-about-dark" : "12-about");
            ClickButton(w, QStringLiteral("OK"));
        });
        ui.menu().ShowAbout();
    }
    app.setPalette(QApplication::style()->standardPalette());

    // The smallest the window goes: everything still whole.
    const QSize standard = window.size();
    window.resize(300, 200);
    Spin(100);
    ui.scheduler().FlushNow();
    save(&window, "13-smallest");
    window.resize(standard);
    Spin(50);

    // An empty file loaded anyway: every parameter and every teach row is reported.
    QFile empty(QDir(settings.path()).filePath(QStringLiteral("empty.ini")));
    if (empty.open(QIODevice::WriteOnly)) empty.close();
    // The assistant cancelled at its first question left its number of colours behind: an
    // unsent change, which the Get asks to discard.
    popups.ThenClick("Yes");
    popups.Then([](QWidget* w) { ChooseFile(w, QStringLiteral("empty.ini")); });
    popups.ThenClick("Yes");
    popups.ThenClick("Yes");
    popups.Then([&](QWidget* w) {
        save(w, "07-parameter-report");
        ClickButton(w, QStringLiteral("OK"));
    });
    popups.Then([&](QWidget* w) {
        save(w, "08-teach-report");
        ClickButton(w, QStringLiteral("OK"));
    });
    qobject_cast<QPushButton*>(ui.widget(Ctrl::FileButton))->click();
    qobject_cast<QPushButton*>(ui.widget(Ctrl::GetButton))->click();
    Spin(100);
    // The editor after a Send the sensor refused in part: GAIN 99 came back as its own value,
    // and the cell is marked (its tooltip says what was sent and what the sensor holds).
    sim.Control(QStringLiteral("clear"));
    qobject_cast<QPushButton*>(ui.widget(Ctrl::EepromButton))->click();
    ui.SetActiveTabPage(kParameterPage);
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
    ctx.editor.EditItem(ConfigItem::Parameter(15), 99);
    popups.ThenClick("Yes");
    DispatchControlEvent(ctx, Ctrl::SendButton, Event::Commit);
    ui.SetActiveTabPage(kParameterPage);
    saveBoth(&window, "14-editor-refused", nullptr);
    DispatchControlEvent(ctx, Ctrl::EditModeButton, Event::Commit);
    // The plain page marks it as well, and the status bar says what the Send did.
    saveBoth(&window, "14-page-refused", nullptr);

    // RAM as the target: GAIN 7 sent to RAM alone; the link line reminds that RAM is lost at
    // power-off, with Store in EEPROM beside it.
    qobject_cast<QPushButton*>(ui.widget(Ctrl::RamButton))->click();
    ctx.editor.EditItem(ConfigItem::Parameter(15), 7);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::SendButton))->click();
    Spin(100);
    saveBoth(&window, "20-ram-target", [&] { ui.scheduler().FlushNow(); });
    window.resize(1024, 600);
    Spin(100);
    save(&window, "20-ram-target-1024x600");
    window.resize(beforeSmall);
    Spin(50);
    qobject_cast<QPushButton*>(ui.widget(Ctrl::StoreButton))->click();
    qobject_cast<QPushButton*>(ui.widget(Ctrl::EepromButton))->click();

    // The live values greyed when the link was lost a second time (connected again between).
    const auto loseDuringGo = [&] {
        QTimer::singleShot(300, [&] { sim.Control(QStringLiteral("fault close,cmd=8")); });
        qobject_cast<QPushButton*>(ui.widget(Ctrl::GoButton))->click();
    };
    loseDuringGo();
    popups.ThenClick("No");
    DispatchControlEvent(ctx, Ctrl::ConnectButton, Event::Commit);
    ui.SetActiveTabPage(kParameterPage);
    loseDuringGo();
    saveBoth(&window, "15-greyed-after-second-loss", [&] { ui.scheduler().FlushNow(); });
    // Auto-reconnect switched on while the link is lost: the line counts the attempts, and
    // Reconnect stands beside it; Send and Get say where they go.
    DispatchControlEvent(ctx, Ctrl::AutoReconnectButton, Event::Commit);
    saveBoth(&window, "16-link-reconnecting", [&] { ui.scheduler().FlushNow(); });
    DispatchControlEvent(ctx, Ctrl::AutoReconnectButton, Event::Commit);
    const QSize full = window.size();
    window.resize(300, 200);
    Spin(100);
    saveBoth(&window, "17-smallest-lost", [&] { ui.scheduler().FlushNow(); });
    window.resize(full);
    Spin(50);

    // Deutsch selected: the program's own texts (the link line, the menus, the link row's
    // buttons) in German beside the fixed texts, with the question that Get asks.
    ui.SetCtrlVal(Ctrl::LanguageSelector, 0);
    DispatchControlEvent(ctx, Ctrl::LanguageSelector, Event::Commit);
    Spin(100);
    saveBoth(&window, "22-deutsch-lost", [&] { ui.scheduler().FlushNow(); });
    ctx.working.Edit(ConfigItem::Parameter(15), 7);
    popups.Then([&](QWidget* w) {
        save(w, "23-deutsch-question");
        ClickButton(w, QStringLiteral("No"));
    });
    DispatchControlEvent(ctx, Ctrl::GetButton, Event::Commit);
    Spin(50);

    std::printf("popups seen: %zu\n", popups.seen.size());
    for (const auto& p : popups.seen)
        std::printf("  [%s] %s\n", p.title.c_str(), p.text.c_str());
    return 0;
}
