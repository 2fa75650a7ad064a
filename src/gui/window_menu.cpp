#include "window_menu.hpp"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <array>

#include "files/file_header.hpp"
#include "qt_ui.hpp"

#ifndef QELTO_VERSION
#define QELTO_VERSION "unknown"
#endif

namespace qelto::gui {
namespace {

using M = MenuName;
using W = WindowCommand;

// Mnemonics are unique within each menu; the menu titles' letters are used by no control.
constexpr MenuEntry kEntries[] = {
    {M::File, W::OpenParameters,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Open parameters\u2026"), Ctrl::Count_, 0,
     "Ctrl+O"},
    {M::File, W::OpenRecent, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Open r&ecent"),
     Ctrl::Count_},
    {M::File, W::SaveParameters,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Save parameters &as\u2026"), Ctrl::Count_, 0,
     "Ctrl+S"},
    {M::File, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Record live data\u2026"),
     Ctrl::RecordButton, 0, "", true},
    {M::File, W::RecordSampling, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Recording &keeps"),
     Ctrl::Count_},
    {M::File, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Co&mpare\u2026"),
     Ctrl::CompareButton},
    {M::File, W::ExportGraph,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Export graph X\u2013&Y\u2026"), Ctrl::GraphXY, 0,
     "", true},
    {M::File, W::ExportGraph,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Export graph X\u2013&INT\u2026"),
     Ctrl::GraphXInt},
    {M::File, W::ExportGraph,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Export graph Y\u2013I&NT\u2026"),
     Ctrl::GraphYInt},
    {M::File, W::ExportGraph,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Export RGB &strip chart\u2026"),
     Ctrl::RgbStripChart},
    {M::File, W::Quit, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Quit"), Ctrl::Count_, 0,
     "Ctrl+Q", true},
    {M::View, W::Page, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Connection page"),
     Ctrl::TabControl, kConnectionPage, "Ctrl+1"},
    {M::View, W::Page, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Parameter page"),
     Ctrl::TabControl, kParameterPage, "Ctrl+2"},
    {M::View, W::PauseGraphs, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Pa&use graphs"),
     Ctrl::Count_, 0, "F8", true},
    {M::View, W::ResetGraphViews, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Reset graph views"),
     Ctrl::Count_, 0, "Ctrl+0"},
    {M::View, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Edit parameters"),
     Ctrl::EditModeButton, 0, "", true},
    {M::View, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "U&ndo"), Ctrl::UndoButton},
    {M::View, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Re&do"), Ctrl::RedoButton},
    {M::View, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Re&vert"),
     Ctrl::RevertButton},
    {M::View, W::LinkMonitor, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Link monitor"),
     Ctrl::Count_, 0, "Ctrl+L", true},
    {M::View, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Clear c&onnection log"),
     Ctrl::StatusDisplay},
    {M::View, W::StandardSize, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Standard size"),
     Ctrl::Count_, 0, "", true},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Send"), Ctrl::SendButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Get"), Ctrl::GetButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "RA&M"), Ctrl::RamButton, 0,
     "", true},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&EEPROM"),
     Ctrl::EepromButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&FILE"), Ctrl::FileButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Store i&n EEPROM"),
     Ctrl::StoreButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "G&O"), Ctrl::GoButton, 0,
     "", true},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "S&TOP"), Ctrl::StopButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Scan fre&quency (FREQ)"),
     Ctrl::FreqButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Connect"),
     Ctrl::ConnectButton, 0, "", true},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Disconnect"),
     Ctrl::DisconnectButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Reconnect"),
     Ctrl::ReconnectButton, 0, "Ctrl+R"},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Reconnect automaticall&y"),
     Ctrl::AutoReconnectButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Port &list"),
     Ctrl::PortListButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Accept settings"),
     Ctrl::AcceptButton},
    {M::Sensor, W::Control, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Start ass&istant"),
     Ctrl::StartAssistantButton, 0, "", true},
    {M::Help, W::About, QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&About Qelto"), Ctrl::Count_},
    {M::Help, W::Control,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "Right-click a control for its help"),
     Ctrl::Count_, 0, "", true},
    {M::Help, W::Control,
     QT_TRANSLATE_NOOP("qelto::gui::WindowMenu",
                       "Graphs: the wheel zooms, a drag pans, a double-click resets"),
     Ctrl::Count_},
};

constexpr std::array<const char*, 4> kMenuTitles{
    QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&File"),
    QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&View"),
    QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Sensor"),
    QT_TRANSLATE_NOOP("qelto::gui::WindowMenu", "&Help")};

QString FromUtf8(const char* text) {
    return QString::fromUtf8(text);
}

QString GraphFileStem(Ctrl graph) {
    switch (graph) {
        case Ctrl::GraphXY:
            return QStringLiteral("qelto-graph-x-y");
        case Ctrl::GraphXInt:
            return QStringLiteral("qelto-graph-x-int");
        case Ctrl::GraphYInt:
            return QStringLiteral("qelto-graph-y-int");
        default:
            return QStringLiteral("qelto-strip-chart");
    }
}

}  // namespace

std::span<const MenuEntry> MenuEntries() {
    return kEntries;
}

WindowMenu::WindowMenu(QtUi& ui) : ui_(ui) {
    Build();
}

WindowMenu::~WindowMenu() = default;

void WindowMenu::Build() {
    QMenuBar* bar = ui_.window().menuBar();
    for (std::size_t i = 0; i < menus_.size(); ++i) {
        menus_[i] = bar->addMenu(QString());
        // What the controls allow changes all the time; the menu looks when it opens.
        connect(menus_[i], &QMenu::aboutToShow, this, [this] { SyncWithControls(); });
    }
    for (const MenuEntry& e : kEntries) {
        QMenu* m = menu(e.menu);
        if (e.separatorBefore) m->addSeparator();
        if (e.command == W::OpenRecent || e.command == W::RecordSampling) {
            // Filled as it opens, from what the program holds then.
            QMenu* sub = m->addMenu(QString());
            submenus_.emplace_back(e.command, sub);
            const bool recent = e.command == W::OpenRecent;
            connect(sub, &QMenu::aboutToShow, this,
                    [this, sub, recent] { recent ? FillRecent(sub) : FillSampling(sub); });
            continue;
        }
        QAction* a = m->addAction(QString());
        if (*e.key != '\0') a->setShortcut(QKeySequence(QString::fromLatin1(e.key)));
        // Help lines without a command tell how the window is used.
        const bool isHint = e.command == W::Control && e.role == Ctrl::Count_;
        a->setEnabled(!isHint);
        if (auto* b = ButtonOf(e)) a->setCheckable(b->isCheckable());
        if (e.command == W::PauseGraphs) a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, &e] { Run(e); });
        actions_.emplace_back(&e, a);
    }
    Retranslate();
    SyncWithControls();
}

QPushButton* WindowMenu::ButtonOf(const MenuEntry& e) const {
    if (e.command != W::Control || e.role == Ctrl::Count_) return nullptr;
    return qobject_cast<QPushButton*>(ui_.widget(e.role));
}

void WindowMenu::Retranslate() {
    for (std::size_t i = 0; i < menus_.size(); ++i)
        menus_[i]->setTitle(tr(kMenuTitles[i]));
    for (const MenuEntry& e : kEntries) {
        if (e.command == W::OpenRecent || e.command == W::RecordSampling) {
            submenu(e.command)->setTitle(tr(e.title));
        }
    }
    for (const auto& [e, a] : actions_) {
        QString text = tr(e->title);
        // A button's own key (not its Alt mnemonic) is shown beside its entry (after a tab,
        // where a menu shows keys) and stays the button's.
        if (const QPushButton* b = ButtonOf(*e);
            b != nullptr && !b->shortcut().isEmpty() &&
            b->shortcut() != QKeySequence::mnemonic(b->text())) {
            text += QLatin1Char('\t') + b->shortcut().toString(QKeySequence::NativeText);
        }
        a->setText(text);
    }
}

QMenu* WindowMenu::submenu(WindowCommand command) const {
    for (const auto& [c, m] : submenus_) {
        if (c == command) return m;
    }
    return nullptr;
}

void WindowMenu::FillRecent(QMenu* menu) {
    menu->clear();
    const std::vector<std::string> files = recentFiles ? recentFiles() : std::vector<std::string>{};
    if (files.empty()) {
        menu->addAction(tr("No parameter file yet"))->setEnabled(false);
        return;
    }
    int n = 0;
    for (const std::string& file : files) {
        const QString path = QString::fromStdString(file);
        // A number to choose it by, the name to know it by; the folder in the tooltip.
        QAction* a =
            menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(QFileInfo(path).fileName()));
        a->setToolTip(QDir::toNativeSeparators(path));
        a->setStatusTip(a->toolTip());
        connect(a, &QAction::triggered, this, [this, file] {
            if (openParameters) openParameters(file);
        });
    }
    menu->setToolTipsVisible(true);
}

void WindowMenu::FillSampling(QMenu* menu) {
    menu->clear();
    const RecordSampling now = sampling ? sampling() : RecordSampling{};
    auto add = [&](const QString& title, RecordEvery every) {
        QAction* a = menu->addAction(title);
        a->setCheckable(true);
        a->setChecked(now.every == every);
        connect(a, &QAction::triggered, this, [this, every] { ChooseSampling(every); });
    };
    add(tr("&Every sample"), RecordEvery::Sample);
    add(tr("One sample in &N (now %1)\u2026").arg(now.n), RecordEvery::NthSample);
    add(tr("One sample per &interval (now %1 s)\u2026").arg(now.interval), RecordEvery::Interval);
}

void WindowMenu::ChooseSampling(RecordEvery every) {
    if (!sampling || !setSampling) return;
    RecordSampling s = sampling();
    bool ok = true;
    if (every == RecordEvery::NthSample) {
        const int n =
            QInputDialog::getInt(&ui_.window(), tr("Recording keeps"), tr("Keep one sample in:"),
                                 static_cast<int>(s.n), 1, 1000000, 1, &ok);
        if (ok) s.n = static_cast<std::uint32_t>(n);
    } else if (every == RecordEvery::Interval) {
        const double seconds = QInputDialog::getDouble(
            &ui_.window(), tr("Recording keeps"), tr("Keep one sample per interval of (seconds):"),
            s.interval, 0.001, 86400.0, 3, &ok);
        if (ok) s.interval = seconds;
    }
    if (!ok) return;  // cancelled: the choice stays as it was
    s.every = every;
    setSampling(s);
}

QAction* WindowMenu::ActionFor(Ctrl role) const {
    for (const auto& [e, a] : actions_) {
        if (e->command == W::Control && e->role == role) return a;
    }
    return nullptr;
}

QAction* WindowMenu::ActionFor(WindowCommand command) const {
    for (const auto& [e, a] : actions_) {
        if (e->command == command) return a;
    }
    return nullptr;
}

void WindowMenu::SyncWithControls() {
    for (const auto& [e, a] : actions_) {
        if (e->command == W::PauseGraphs) a->setChecked(ui_.graphsPaused());
        if (e->command != W::Control || e->role == Ctrl::Count_) continue;
        QWidget* w = ui_.widget(e->role);
        a->setEnabled(w != nullptr && w->isEnabled());
        if (auto* b = qobject_cast<QPushButton*>(w); b != nullptr && b->isCheckable()) {
            a->setChecked(b->isChecked());
        }
    }
}

void WindowMenu::Run(const MenuEntry& e) {
    switch (e.command) {
        case W::Control:
            ui_.Trigger(e.role);
            break;
        case W::Page: {
            // The operator's page change, with its rule (the connection page stops GO).
            auto* tabs = ui_.window().main().tabs;
            tabs->setCurrentIndex(e.page);
            break;
        }
        case W::ExportGraph:
            ExportGraph(e.role);
            break;
        case W::PauseGraphs:
            ui_.SetGraphsPaused(!ui_.graphsPaused());
            break;
        case W::ResetGraphViews:
            ui_.ResetGraphViews();
            break;
        case W::LinkMonitor:
            ShowLinkMonitor();
            break;
        case W::StandardSize:
            ui_.TriggerWindowEvent(Event::RightDoubleClick);
            break;
        case W::About:
            ShowAbout();
            break;
        case W::Quit:
            ui_.window().close();
            break;
        case W::OpenParameters:
            if (openParameters) openParameters({});
            break;
        case W::SaveParameters:
            if (saveParameters) saveParameters();
            break;
        case W::OpenRecent:
        case W::RecordSampling:
            break;
    }
    SyncWithControls();
}

void WindowMenu::ShowLinkMonitor() {
    if (monitor_ == nullptr) return;
    if (panel_ == nullptr) {
        panel_ = new LinkMonitorPanel(*monitor_, &ui_.window());
        panel_->heading = monitorHeading;
    }
    panel_->show();
    panel_->raise();
    panel_->activateWindow();
}

void WindowMenu::ExportGraph(Ctrl graph) {
    ExplorablePlot* plot = ui_.plot(graph);
    if (plot == nullptr) return;
    QFileDialog dialog(&ui_.window(), tr("Export graph"), StartFolder(exportDirectory_));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters{tr("PNG image (*.png)"), tr("SVG drawing (*.svg)"),
                              tr("PDF document (*.pdf)")};
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString& f) {
        static constexpr std::array<const char*, 3> kSuffixes{"png", "svg", "pdf"};
        const auto i = static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(f)));
        dialog.setDefaultSuffix(QString::fromLatin1(kSuffixes[std::min<std::size_t>(i, 2)]));
    });
    dialog.selectFile(GraphFileStem(graph) +
                      QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmmss")) +
                      QStringLiteral(".png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    exportDirectory_ = QFileInfo(path).absolutePath();
    QString why;
    if (!plot->Export(path, &why)) {
        QMessageBox box(
            QMessageBox::Warning, tr("Export graph"),
            tr("The graph was not saved to %1: %2.").arg(QDir::toNativeSeparators(path), why),
            QMessageBox::Ok, &ui_.window());
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

void WindowMenu::ShowAbout() {
    const QString text =
        tr("%1\nQelto %2\n\nConfigures and watches a KORVANEX colour sensor over RS-232 or "
           "TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.\n\n"
           "Licence: GPL-3.0-or-later\nQt %3 (built with %4), QCustomPlot %5")
            .arg(FromUtf8(kProgramTitle), QStringLiteral(QELTO_VERSION),
                 QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
                 QStringLiteral(QCUSTOMPLOT_VERSION_STR));
    QMessageBox box(QMessageBox::Information, tr("About Qelto"), text, QMessageBox::Ok,
                    &ui_.window());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace qelto::gui
