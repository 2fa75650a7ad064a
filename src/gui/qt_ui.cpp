#include "qt_ui.hpp"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "app/context.hpp"
#include "app/control_table.hpp"
#include "displays.hpp"
#include "editor_view.hpp"
#include "evidence_bar.hpp"
#include "files/paths.hpp"
#include "popups.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/number_text.hpp"
#include "protocol/records.hpp"
#include "table_popup.hpp"
#include "window_menu.hpp"

namespace qelto::gui {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor FromRgb(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// How long a passing status line stays.
constexpr int kStatusMessageMs = 10000;
// Between the status line's message and the figures.
constexpr const char* kStatusGap = "   ";
// Live values older than this, while they should be arriving, are shown greyed.
constexpr qint64 kLiveValuesCurrentMs = 1000;
constexpr int kLiveAgeCheckMs = 250;

// Teach-table rows and columns as the table widget shows them.
constexpr int kTeachTableRows = 31;
constexpr int kTeachTableColumns = 5;

}  // namespace

std::optional<std::int32_t> LanguageOfLocale(const QLocale& locale) {
    switch (locale.language()) {
        case QLocale::German:
            return 0;
        case QLocale::C:
        case QLocale::English:
            return 1;
        case QLocale::French:
            return 2;
        case QLocale::Spanish:
            return 3;
        case QLocale::Portuguese:
            return 4;
        case QLocale::Italian:
            return 5;
        case QLocale::Polish:
            return 6;
        default:
            return std::nullopt;
    }
}

QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString StartFolder(const QString& last) {
    if (!last.isEmpty() && DirectoryIsWritable(last.toStdString())) return last;
    return DocumentsFolder();
}

QtUi::QtUi(WindowLoop& loop) : loop_(loop), window_(std::make_unique<MainWindow>()) {
    auto& m = window_->main();
    auto& d = window_->data();
    window_->setWindowTitle(QStringLiteral("Qelto"));
    // Connection page
    Register(Ctrl::ProtocolSelector, Kind::Choice, m.protocolSelector, m.protocolLabel, nullptr);
    Register(Ctrl::ComPortSelector, Kind::Port, m.comPortSelector, m.comPortLabel, nullptr);
    m.comPortSelector->lineEdit()->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,5}.*")), m.comPortSelector));
    Register(Ctrl::BaudRateSelector, Kind::Choice, m.baudRateSelector, m.baudRateLabel, nullptr);
    Register(Ctrl::ServerField, Kind::Server, m.serverField, m.serverLabel, nullptr);
    Register(Ctrl::PortField, Kind::Line, m.portField, m.portLabel, nullptr);
    Register(Ctrl::ConnectButton, Kind::Button, m.connectButton, nullptr, "Connect");
    Register(Ctrl::DisconnectButton, Kind::Button, m.disconnectButton, nullptr, "Disconnect");
    Register(Ctrl::PortListButton, Kind::Button, m.portListButton, nullptr, "Port list");
    Register(Ctrl::AcceptButton, Kind::Button, m.acceptButton, nullptr, "Accept");
    Register(Ctrl::InfoBox, Kind::TextBox, m.infoBox, nullptr, "Connection log");
    // Data panel
    Register(Ctrl::RedDisplay, Kind::Number, d.redDisplay, d.redLabel, "Red");
    Register(Ctrl::GreenDisplay, Kind::Number, d.greenDisplay, d.greenLabel, "Green");
    Register(Ctrl::BlueDisplay, Kind::Number, d.blueDisplay, d.blueLabel, "Blue");
    Register(Ctrl::XDisplay, Kind::Number, d.xDisplay, d.xLabel, "X");
    Register(Ctrl::YDisplay, Kind::Number, d.yDisplay, d.yLabel, "Y");
    Register(Ctrl::IntDisplay, Kind::Number, d.intDisplay, d.intLabel, "Intensity");
    Register(Ctrl::ColorNoDisplay, Kind::Number, d.colorNoDisplay, d.colorNoLabel, "Colour number");
    Register(Ctrl::GraphXY, Kind::Graph, d.graphXY, nullptr, "Graph X against Y");
    Register(Ctrl::GraphXInt, Kind::Graph, d.graphXInt, nullptr, "Graph X against INT");
    Register(Ctrl::GraphYInt, Kind::Graph, d.graphYInt, nullptr, "Graph Y against INT");
    Register(Ctrl::RgbStripChart, Kind::Strip, d.rgbStripChart, nullptr, "RGB strip chart");
    Register(Ctrl::StatusDisplay, Kind::Text, d.statusDisplay, d.statusLabel, "Status");
    Register(Ctrl::ComPortDisplay, Kind::Number, d.comPortDisplay, nullptr, "COM port in use");
    Register(Ctrl::IpAddressDisplay, Kind::Text, d.ipAddressDisplay, nullptr, "Server in use");
    // Main panel
    Register(Ctrl::TabControl, Kind::Tab, m.tabs, nullptr, "Pages");
    Register(Ctrl::SendButton, Kind::Button, m.sendButton, nullptr, "Send");
    Register(Ctrl::GetButton, Kind::Button, m.getButton, nullptr, "Get");
    Register(Ctrl::RamButton, Kind::Toggle, m.ramButton, nullptr, "RAM");
    Register(Ctrl::EepromButton, Kind::Toggle, m.eepromButton, nullptr, "EEPROM");
    Register(Ctrl::FileButton, Kind::Toggle, m.fileButton, nullptr, "FILE");
    Register(Ctrl::AverageControl, Kind::Spin, m.averageControl, m.averageLabel, nullptr);
    Register(Ctrl::LanguageSelector, Kind::Choice, m.languageSelector, m.languageLabel, nullptr);
    Register(Ctrl::GoButton, Kind::Button, m.goButton, nullptr, "GO");
    Register(Ctrl::StopButton, Kind::Button, m.stopButton, nullptr, "STOP");
    Register(Ctrl::FreqButton, Kind::Button, m.freqButton, nullptr, "FREQ");
    Register(Ctrl::ScanFreqDisplay, Kind::Number, m.scanFreqDisplay, nullptr, "Scan frequency");
    // Parameter page
    Register(Ctrl::PowerDisplay, Kind::Number, m.powerDisplay, m.powerLabel, nullptr);
    Register(Ctrl::MaxVecNoDisplay, Kind::Number, m.maxVecNoDisplay, m.maxVecNoLabel, nullptr);
    Register(Ctrl::GainDisplay, Kind::Number, m.gainDisplay, m.gainLabel, nullptr);
    Register(Ctrl::IntegralDisplay, Kind::Number, m.integralDisplay, m.integralLabel, nullptr);
    Register(Ctrl::TeachTableCtrl, Kind::Table, m.teachTable, nullptr, "Teach table");
    Register(Ctrl::StartAssistantButton, Kind::Button, m.startAssistantButton, nullptr,
             "Start assistant");
    // Recording, comparing and the status bar
    Register(Ctrl::RecordButton, Kind::Switch, m.recordButton, nullptr, "Record");
    Register(Ctrl::CompareButton, Kind::Button, m.compareButton, nullptr, "Compare");
    Register(Ctrl::StatusBar, Kind::Text, d.statusBar, nullptr, "Acquisition status");
    // The parameter editor
    editor_ = new EditorView(m.parameterPage, m.parameterLayout);
    Register(Ctrl::EditModeButton, Kind::Switch, editor_->editButton, nullptr, "Edit parameters");
    // The two tables show and hide with the pages that hold them.
    Register(Ctrl::ParameterEditor, Kind::Table, editor_->parameters, editor_->tables,
             "Parameters");
    Register(Ctrl::TeachEditor, Kind::Table, editor_->teach, editor_->tables, "Teach rows");
    Register(Ctrl::UndoButton, Kind::Button, editor_->undoButton, nullptr, "Undo");
    Register(Ctrl::RedoButton, Kind::Button, editor_->redoButton, nullptr, "Redo");
    Register(Ctrl::RevertButton, Kind::Button, editor_->revertButton, nullptr, "Revert");
    Register(Ctrl::TeachFromSensorButton, Kind::Button, editor_->evidence->teachButton, nullptr,
             "Teach from sensor");
    Register(Ctrl::TeachSamplesControl, Kind::Spin, editor_->evidence->samples, nullptr,
             "Samples to teach from");
    Register(Ctrl::CheckTolerancesButton, Kind::Button, editor_->evidence->checkButton, nullptr,
             "Check tolerances");
    Register(Ctrl::EvidenceCloudButton, Kind::Switch, editor_->evidence->cloudButton, nullptr,
             "Evidence cloud");
    // The overlaps beneath the teach rows, above the assistant's progress.
    auto* overlaps = new QLabel(m.parameterPage);
    overlaps->setWordWrap(true);
    overlaps->setTextFormat(Qt::PlainText);
    overlaps->hide();
    m.parameterLayout->removeWidget(m.progressBar);
    auto* underTeachTable = new QVBoxLayout;
    underTeachTable->setContentsMargins(0, 0, 0, 0);
    underTeachTable->addWidget(overlaps);
    underTeachTable->addWidget(m.progressBar);
    m.parameterLayout->addLayout(underTeachTable, 3, 0, 1, 4);
    Register(Ctrl::OverlapNote, Kind::Text, overlaps, nullptr, "Spheres that overlap");
    // The link at a glance, above the acquisition figures, with Reconnect beside it while the
    // link is lost.
    auto* linkRow = new QWidget(window_->dataPanel());
    auto* linkLayout = new QHBoxLayout(linkRow);
    linkLayout->setContentsMargins(0, 0, 0, 0);
    linkLayout->setSpacing(4);
    // One line cut with "…" where the window is narrow; the whole is in its tooltip.
    auto* linkState = new StatusLine(linkRow);
    auto* reconnect = new QPushButton(linkRow);
    reconnect->hide();
    auto* autoReconnect = new QPushButton(linkRow);
    autoReconnect->setCheckable(true);
    // While the sensor's RAM is ahead of its EEPROM: the reminder, and Store in EEPROM.
    auto* ramReminder = new QLabel(linkRow);
    // Marked as the values that differ from the sensor's are, in either theme.
    ramReminder->setStyleSheet(QStringLiteral(
        "QLabel { background: #FFE28A; color: black; padding: 2px 4px; border-radius: 3px; }"));
    ramReminder->hide();
    auto* store = new QPushButton(linkRow);
    store->hide();
    linkLayout->addWidget(linkState, 1);
    linkLayout->addWidget(ramReminder);
    linkLayout->addWidget(store);
    linkLayout->addWidget(reconnect);
    linkLayout->addWidget(autoReconnect);
    d.dataLayout->insertWidget(d.dataLayout->indexOf(d.statusBar), linkRow);
    // The status bar with "Open folder" beside it, while there is a recording to open.
    auto* statusRow = new QWidget(window_->dataPanel());
    auto* statusLayout = new QHBoxLayout(statusRow);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(4);
    const int statusAt = d.dataLayout->indexOf(d.statusBar);
    d.dataLayout->removeWidget(d.statusBar);
    statusLayout->addWidget(d.statusBar, 1);
    auto* openFolder = new QPushButton(statusRow);
    openFolder->hide();
    statusLayout->addWidget(openFolder);
    d.dataLayout->insertWidget(statusAt, statusRow);
    Register(Ctrl::OpenFolderButton, Kind::Button, openFolder, nullptr, "Open folder");
    Register(Ctrl::LinkState, Kind::Text, linkState, nullptr, "Link state");
    Register(Ctrl::ReconnectButton, Kind::Button, reconnect, nullptr, "Reconnect");
    Register(Ctrl::AutoReconnectButton, Kind::Switch, autoReconnect, nullptr,
             "Reconnect automatically");
    Register(Ctrl::RamReminder, Kind::Text, ramReminder, nullptr, "RAM only");
    Register(Ctrl::StoreButton, Kind::Button, store, nullptr, "Store in EEPROM");

    for (int rate : kBaudRates)
        m.baudRateSelector->addItem(QString::number(rate));
    for (const char* name : kLanguageNames)
        m.languageSelector->addItem(QString::fromUtf8(name));
    // The operator's choice changes the translation before it reaches the program (activated
    // comes after currentIndexChanged), so what the program says next is in the language
    // chosen; the program's own setting goes through SetCtrlVal.
    connect(m.languageSelector, &QComboBox::currentIndexChanged, this,
            [this](int index) { translations_.Use(index); });

    auto* table = m.teachTable;
    table->setRowCount(kTeachTableRows);
    table->setColumnCount(kTeachTableColumns);
    // A row is labelled by its colour number, as C-No counts: from 0.
    QStringList rowLabels;
    for (int r = 0; r < kTeachTableRows; ++r)
        rowLabels << QString::number(r);
    table->setVerticalHeaderLabels(rowLabels);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(kTeachTableColumns - 1, QHeaderView::Fixed);
    table->horizontalHeader()->resizeSection(kTeachTableColumns - 1, 18);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int r = 0; r < kTeachTableRows; ++r) {
        for (int c = 0; c < kTeachTableColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    m.progressBar->hide();
    StyleMemoryButtons();

    for (ColourGraph* g : {d.graphXY, d.graphXInt, d.graphYInt})
        g->SetScheduler(&scheduler_);
    d.rgbStripChart->SetScheduler(&scheduler_);
    displaysId_ = scheduler_.Add([this] { RefreshDisplays(); }, kDisplayMs);
    // Small enough for a small screen, big enough that the axes still read.
    for (ExplorablePlot* p :
         {static_cast<ExplorablePlot*>(d.graphXY), static_cast<ExplorablePlot*>(d.graphXInt),
          static_cast<ExplorablePlot*>(d.graphYInt),
          static_cast<ExplorablePlot*>(d.rgbStripChart)}) {
        p->setMinimumSize(150, 120);
    }

    d.statusDisplay->setMinimumWidth(120);
    d.comPortDisplay->setMaximumWidth(64);
    d.ipAddressDisplay->setMaximumWidth(130);
    // The status bar keeps one line (StatusLine): what does not fit is cut with "…", and the
    // whole text is in its tooltip.
    Wire();
    window_->installEventFilter(this);
    menu_ = std::make_unique<WindowMenu>(*this);
    Retranslate();
}

QtUi::~QtUi() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
}

void QtUi::StyleMemoryButtons() {
    // The memory selector's three buttons (and the editor's and Auto-reconnect's toggles) show at
    // a glance which one
    // is on, in any theme, and a dimmed one that is on still reads as on. The colours are taken
    // from the palette now and again whenever it changes, so the button that is off follows a new
    // palette too.
    const QPalette pal = window_->palette();
    const QColor on = pal.color(QPalette::Highlight);
    const QColor onText = pal.color(QPalette::HighlightedText);
    const QColor button = pal.color(QPalette::Button);
    auto mix = [](const QColor& a, const QColor& b, double f) {
        return QColor::fromRgbF(static_cast<float>(a.redF() * f + b.redF() * (1 - f)),
                                static_cast<float>(a.greenF() * f + b.greenF() * (1 - f)),
                                static_cast<float>(a.blueF() * f + b.blueF() * (1 - f)));
    };
    const QString css =
        QStringLiteral(
            "QPushButton { background: %1; color: %2; border: 1px solid %3; border-radius: 3px;"
            " padding: 3px; }"
            " QPushButton:disabled { color: %4; }"
            " QPushButton:checked { background: %5; color: %6; }"
            " QPushButton:checked:disabled { background: %7; color: %8; }")
            .arg(button.name(), pal.color(QPalette::ButtonText).name(),
                 pal.color(QPalette::Mid).name(),
                 pal.color(QPalette::Disabled, QPalette::ButtonText).name(), on.name(),
                 onText.name(), mix(on, button, 0.45).name(), mix(onText, button, 0.7).name());
    auto* autoReconnect = qobject_cast<QPushButton*>(widget(Ctrl::AutoReconnectButton));
    for (QPushButton* b : {window_->main().ramButton, window_->main().eepromButton,
                           window_->main().fileButton, editor_->editButton, autoReconnect}) {
        if (b != nullptr && b->styleSheet() != css) b->setStyleSheet(css);
    }
}

void QtUi::Register(Ctrl c, Kind kind, QWidget* w, QWidget* label, const char* accessibleName) {
    Entry& e = entry(c);
    e.kind = kind;
    e.widget = w;
    e.label = label;
    // A control with a visible label is named by it; the others by their role.
    if (accessibleName != nullptr) {
        w->setAccessibleName(tr(accessibleName));
    } else if (auto* l = qobject_cast<QLabel*>(label)) {
        w->setAccessibleName(l->text().remove(QLatin1Char('&')));
    }
    QWidget* target = kind == Kind::Tab ? static_cast<QTabWidget*>(w)->tabBar() : w;
    target->setAccessibleName(w->accessibleName());
    target->setProperty("qeltoCtrl", static_cast<int>(c));
    target->installEventFilter(this);
    if (label != nullptr) {
        label->setProperty("qeltoCtrl", static_cast<int>(c));
        label->installEventFilter(this);
    }
    // Right-clicks on a control's inner parts (the text field of a spin box or combo box, a
    // table's cells) belong to the control.
    if (kind == Kind::Spin || kind == Kind::Server || kind == Kind::Port || kind == Kind::Choice ||
        kind == Kind::Table || kind == Kind::TextBox) {
        for (QWidget* child : w->findChildren<QWidget*>()) {
            child->setProperty("qeltoCtrl", static_cast<int>(c));
            child->installEventFilter(this);
        }
    }
}

void QtUi::Wire() {
    auto& m = window_->main();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Ctrl c = static_cast<Ctrl>(i);
        Entry& e = entries_[i];
        if (e.kind == Kind::Button) {
            connect(static_cast<QPushButton*>(e.widget.data()), &QPushButton::clicked, this,
                    [this, c] { Forward(c, Event::Commit); });
        } else if (e.kind == Kind::Switch) {
            // An on/off button whose click is its command; the program sets its state.
            connect(static_cast<QPushButton*>(e.widget.data()), &QPushButton::clicked, this,
                    [this, c] { Forward(c, Event::Commit); });
        } else if (e.kind == Kind::Toggle) {
            connect(static_cast<QPushButton*>(e.widget.data()), &QPushButton::clicked, this,
                    [this, c] { Forward(c, Event::ValChanged); });
        } else if (e.kind == Kind::Choice) {
            connect(static_cast<QComboBox*>(e.widget.data()), &QComboBox::activated, this,
                    [this, c] { Forward(c, Event::Commit); });
        } else if (e.kind == Kind::Spin) {
            connect(static_cast<QSpinBox*>(e.widget.data()), &QSpinBox::valueChanged, this,
                    [this, c] { Forward(c, Event::Commit); });
        } else if (e.kind == Kind::Line) {
            connect(static_cast<QLineEdit*>(e.widget.data()), &QLineEdit::editingFinished, this,
                    [this, c] {
                        auto* line = static_cast<QLineEdit*>(entry(c).widget.data());
                        if (!line->isModified()) return;
                        line->setModified(false);
                        Forward(c, Event::Commit);
                    });
        }
    }
    // The server field commits a typed text (Enter or leaving the field) and a choice from its
    // list; the same text twice in a row is one commit.
    auto* server = m.serverField;
    auto commitServer = [this, server] {
        if (server->currentText() == lastServerText_) return;
        lastServerText_ = server->currentText();
        Forward(Ctrl::ServerField, Event::Commit);
    };
    connect(server, &QComboBox::activated, this, commitServer);
    connect(server->lineEdit(), &QLineEdit::editingFinished, this, commitServer);
    // The COM port: a port chosen from the list, or a number typed and left.
    auto* port = m.comPortSelector;
    auto commitPort = [this, port] {
        if (port->currentText() == lastPortText_) return;
        lastPortText_ = port->currentText();
        Forward(Ctrl::ComPortSelector, Event::Commit);
    };
    connect(port, &QComboBox::activated, this, commitPort);
    connect(port->lineEdit(), &QLineEdit::editingFinished, this, commitPort);
    // Enter in the fields of a link connects with it, as the Connect button would.
    for (QLineEdit* field : {server->lineEdit(), m.portField, port->lineEdit()}) {
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (auto* b = qobject_cast<QPushButton*>(widget(Ctrl::ConnectButton));
                b != nullptr && b->isEnabled()) {
                b->click();
            }
        });
    }
    connect(m.tabs, &QTabWidget::currentChanged, this,
            [this] { Forward(Ctrl::TabControl, Event::ActiveTabChange); });
    // A value typed into the editor reaches the program with its cell as the active one.
    editor_->onEdit = [this](Ctrl table, int column, int row, double value) {
        typed_ = Typed{table, column, row, value};
        Forward(table, Event::ValChanged);
        typed_.reset();
    };

    window_->onClose = [this] { RequestClose(); };
    window_->onRightDoubleClick = [this] { PanelEvent(Event::RightDoubleClick); };
}

void QtUi::SetTimer(double seconds) {
    if (seconds <= 0) {
        if (programTimer_ != nullptr) programTimer_->stop();
        return;
    }
    if (programTimer_ == nullptr) {
        programTimer_ = new QTimer(this);
        // A tick that comes while a popup asks the operator waits for the next one.
        connect(programTimer_, &QTimer::timeout, this, [this] {
            if (!popups_.active()) PanelEvent(Event::Timer);
        });
    }
    programTimer_->start(static_cast<int>(seconds * 1000));
}

void QtUi::AttachEditor(const Editor& editor, WorkingCopy& working) {
    editor_->Attach(editor, working);
}

void QtUi::SetShortcutKey(Ctrl button, const QKeySequence& key) {
    auto* b = qobject_cast<QPushButton*>(widget(button));
    if (b == nullptr) return;
    // The button's menu entry shows the key (after a tab, where a menu shows keys); the key
    // itself stays the window's, so that a dimmed button's key can say why it does nothing.
    if (QAction* action = menu_->ActionFor(button)) {
        action->setText(action->text().section(QLatin1Char('\t'), 0, 0) + QLatin1Char('\t') +
                        key.toString(QKeySequence::NativeText));
    }
    auto* shortcut = new QShortcut(key, window_.get());
    shortcut->setContext(Qt::WindowShortcut);
    // A dimmed button does not run its command for its key, but the operator hears why.
    connect(shortcut, &QShortcut::activated, b, [this, b, button] {
        if (b->isEnabled() && b->isVisible()) {
            b->click();
        } else if (onUnavailable) {
            onUnavailable(button);
        }
    });
}

void QtUi::Trigger(Ctrl c) {
    if (auto* b = qobject_cast<QPushButton*>(entry(c).widget.data())) {
        if (b->isEnabled()) b->click();
        return;
    }
    Forward(c, ControlOf(c).trigger);
}

void QtUi::SetGraphsPaused(bool paused) {
    graphsPaused_ = paused;
    for (Ctrl c : {Ctrl::GraphXY, Ctrl::GraphXInt, Ctrl::GraphYInt, Ctrl::RgbStripChart}) {
        if (ExplorablePlot* p = plot(c)) p->SetPaused(paused);
    }
    if (QAction* a = menu_->ActionFor(WindowCommand::PauseGraphs)) a->setChecked(paused);
}

void QtUi::ResetGraphViews() {
    for (Ctrl c : {Ctrl::GraphXY, Ctrl::GraphXInt, Ctrl::GraphYInt, Ctrl::RgbStripChart}) {
        if (ExplorablePlot* p = plot(c)) p->ResetView();
    }
}

ExplorablePlot* QtUi::plot(Ctrl c) const {
    return qobject_cast<ExplorablePlot*>(entry(c).widget.data());
}

QWidget* QtUi::widget(Ctrl c) const {
    const Entry& e = entry(c);
    if (e.kind == Kind::Tab) return static_cast<QTabWidget*>(e.widget.data())->tabBar();
    return e.widget.data();
}

void QtUi::Forward(Ctrl c, Event e) {
    if (!onControlEvent) return;
    if (e == Event::Commit || e == Event::ValChanged || e == Event::ActiveTabChange) OperatorActs();
    loop_.EnterCallback();
    onControlEvent(c, e);
    loop_.LeaveCallback();
}

void QtUi::RunCommand(const std::function<void()>& command) {
    OperatorActs();
    loop_.EnterCallback();
    command();
    loop_.LeaveCallback();
}

void QtUi::PanelEvent(Event e) {
    if (!onPanelEvent) return;
    loop_.EnterCallback();
    onPanelEvent(e);
    loop_.LeaveCallback();
}

void QtUi::RequestClose() {
    if (popups_.active()) {
        closeRequested_ = true;
        popups_.Raise();  // what holds the close up
        return;
    }
    if (closed_) return;
    closed_ = true;
    PanelEvent(Event::Close);
    // The program kept the window (the operator chose to keep unsent edits): a later close
    // asks again.
    if (!loop_.QuitRequested()) closed_ = false;
}

void QtUi::CloseIfRequested() {
    if (!closeRequested_ || popups_.active()) return;
    closeRequested_ = false;
    RequestClose();
}

void QtUi::Retranslate() {
    auto& m = window_->main();
    auto& d = window_->data();
    static_cast<QPushButton*>(widget(Ctrl::ReconnectButton))->setText(tr("Reconnect"));
    static_cast<QPushButton*>(widget(Ctrl::AutoReconnectButton))->setText(tr("Auto-reconnect"));
    static_cast<QPushButton*>(widget(Ctrl::OpenFolderButton))->setText(tr("Open folder"));
    m.teachTable->setHorizontalHeaderLabels({tr("X"), tr("Y"), tr("INT"), tr("TOL"), QString()});
    d.graphXY->SetAxisTitles(tr("X"), tr("Y"));
    d.graphXInt->SetAxisTitles(tr("X"), tr("INT"));
    d.graphYInt->SetAxisTitles(tr("Y"), tr("INT"));
    if (editor_ != nullptr) editor_->Retranslate();
    if (menu_ != nullptr) menu_->Retranslate();
}

std::string QtUi::Translate(const char* english, long n) {
    return OwnText(english, n).toStdString();
}

bool QtUi::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && event->type() == QEvent::LanguageChange) {
        Retranslate();
        return false;
    }
    // A new palette reaches the window, not the style-sheet buttons: restyle them from it,
    // once every widget has it.
    if (watched == window_.get() && (event->type() == QEvent::PaletteChange ||
                                     event->type() == QEvent::ApplicationPaletteChange)) {
        QMetaObject::invokeMethod(this, &QtUi::StyleMemoryButtons, Qt::QueuedConnection);
        // The live values' colours come from the theme: take them from the new one.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const bool grey = liveGrey_;
                liveGrey_ = !grey;
                GreyLiveValues(grey);
            },
            Qt::QueuedConnection);
        return false;
    }
    // Paints and the like come by the thousand while live data runs: only these few are ours.
    const QEvent::Type type = event->type();
    if (type != QEvent::EnabledChange && type != QEvent::ContextMenu &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    const QVariant role = watched->property("qeltoCtrl");
    if (!role.isValid()) return false;
    const Ctrl c = static_cast<Ctrl>(role.toInt());
    switch (event->type()) {
        case QEvent::EnabledChange:
            // A menu entry is usable exactly when its control is (its key too).
            if (watched == entry(c).widget.data() && menu_ != nullptr) {
                if (QAction* a = menu_->ActionFor(c)) a->setEnabled(entry(c).widget->isEnabled());
            }
            return false;

        case QEvent::ContextMenu:
            // A right-click (or the menu key) asks for the control's help, never a menu.
            Forward(c, Event::RightClick);
            return true;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                Forward(c, Event::RightDoubleClick);
                return true;
            }
            return false;
        default:
            return false;
    }
}

// --- Values

QString QtUi::NumberText(const Entry& e) const {
    if (std::isnan(e.value)) return QStringLiteral("NaN");
    // The same text qelto-cli prints for the same value.
    return QString::fromStdString(FormatFixed(e.value, std::max(0, e.precision)));
}

void QtUi::RefreshDisplays() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (displayDirty_[i] == 0) continue;
        displayDirty_[i] = 0;
        const Entry& e = entries_[i];
        auto* line = qobject_cast<QLineEdit*>(e.widget.data());
        if (line == nullptr) continue;
        // An unchanged text costs nothing to leave; a new one repaints the field.
        const QString text = NumberText(e);
        if (line->text() != text) line->setText(text);
    }
}

void QtUi::SetCtrlVal(Ctrl c, double value) {
    Entry& e = entry(c);
    QWidget* w = e.widget.data();
    if (w == nullptr) return;
    const QSignalBlocker block(w);
    switch (e.kind) {
        case Kind::Number:
            // Live values arrive thousands of times a second; the text follows once a frame.
            e.value = value;
            displayDirty_[static_cast<std::size_t>(c)] = 1;
            scheduler_.MarkDirty(displaysId_);
            break;
        case Kind::Toggle:
        case Kind::Switch:
            static_cast<QPushButton*>(w)->setChecked(value != 0);
            // The editor needs the window's width: the data panel steps aside while it is open.
            if (c == Ctrl::EditModeButton) window_->SetEditorOpen(value != 0);
            break;
        case Kind::Choice: {
            auto* combo = static_cast<QComboBox*>(w);
            const int index = static_cast<int>(std::lround(value));
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
            if (c == Ctrl::LanguageSelector) translations_.Use(combo->currentIndex());
            break;
        }
        case Kind::Spin:
            static_cast<QSpinBox*>(w)->setValue(static_cast<int>(std::lround(value)));
            break;
        case Kind::Port: {
            // The entry of the list for that number when there is one, else the number alone.
            auto* combo = static_cast<QComboBox*>(w);
            const QString number = QString::number(static_cast<long long>(std::lround(value)));
            int found = -1;
            for (int i = 0; i < combo->count() && found < 0; ++i) {
                if (combo->itemText(i).section(QLatin1Char(' '), 0, 0) == number) found = i;
            }
            if (found >= 0) {
                combo->setCurrentIndex(found);
            } else {
                combo->setEditText(number);
            }
            lastPortText_ = combo->currentText();
            break;
        }
        case Kind::Tab:
            SetActiveTabPage(static_cast<int>(value));
            break;
        default:
            SetCtrlText(c, QString::number(value).toStdString());
    }
}

double QtUi::GetCtrlVal(Ctrl c) {
    const Entry& e = entry(c);
    QWidget* w = e.widget.data();
    if (w == nullptr) return 0;
    switch (e.kind) {
        case Kind::Number:
            return e.value;
        case Kind::Toggle:
        case Kind::Switch:
            return static_cast<QPushButton*>(w)->isChecked() ? 1 : 0;
        case Kind::Choice:
            return static_cast<QComboBox*>(w)->currentIndex();
        case Kind::Spin:
            return static_cast<QSpinBox*>(w)->value();
        case Kind::Port: {
            // The number the text begins with: "3" typed, or "101  (/dev/ttyUSB0)" chosen.
            const QString number =
                static_cast<QComboBox*>(w)->currentText().trimmed().section(QLatin1Char(' '), 0, 0);
            bool ok = false;
            const int n = number.toInt(&ok);
            return ok ? n : 0;
        }
        case Kind::Tab:
            return GetActiveTabPage();
        default:
            return GetCtrlText(c).empty() ? 0 : std::atof(GetCtrlText(c).c_str());
    }
}

void QtUi::ShowLiveAge(LiveAge age) {
    if (age == LiveAge::Arriving) lastArrival_.start();
    if (age == liveAge_) return;
    liveAge_ = age;
    if (!liveAgeTimer_) {
        // While values arrive, a second without a new one greys them.
        liveAgeTimer_ = new QTimer(this);
        liveAgeTimer_->setInterval(kLiveAgeCheckMs);
        connect(liveAgeTimer_, &QTimer::timeout, this, [this] {
            GreyLiveValues(LiveValuesOld());
            if (onLiveAgeTick) onLiveAgeTick();
        });
    }
    if (age == LiveAge::Arriving) {
        liveAgeTimer_->start();
    } else {
        liveAgeTimer_->stop();
    }
    GreyLiveValues(LiveValuesOld());
}

bool QtUi::LiveValuesOld() const {
    if (liveAge_ == LiveAge::Old) return true;
    return liveAge_ == LiveAge::Arriving && lastArrival_.isValid() &&
           lastArrival_.elapsed() > kLiveValuesCurrentMs;
}

void QtUi::GreyLiveValues(bool grey) {
    if (grey == liveGrey_) return;
    liveGrey_ = grey;
    for (Ctrl c : {Ctrl::RedDisplay, Ctrl::GreenDisplay, Ctrl::BlueDisplay, Ctrl::XDisplay,
                   Ctrl::YDisplay, Ctrl::IntDisplay, Ctrl::ColorNoDisplay}) {
        QWidget* w = entry(c).widget.data();
        if (w == nullptr) continue;
        // The theme's own disabled text colour, taken from the application's palette (the
        // widget's own was changed by the last greying), while the display stays a display
        // (help on a right-click still works). Only the groups of an enabled widget change.
        const QPalette theme = QApplication::palette(w);
        QPalette p = w->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(g, QPalette::Text,
                       theme.color(grey ? QPalette::Disabled : g, QPalette::Text));
        }
        w->setPalette(p);
    }
}

void QtUi::ShowStatusMessage(std::string_view text) {
    ShowStatusLine(FromUtf8(text), false);
}

void QtUi::ShowStatusFailure(std::string_view text) {
    ShowStatusLine(FromUtf8(text), true);
}

void QtUi::ShowStatusLine(const QString& text, bool failure) {
    if (!statusFade_) {
        statusFade_ = new QTimer(this);
        statusFade_->setSingleShot(true);
        connect(statusFade_, &QTimer::timeout, this, [this] {
            statusMessage_.clear();
            ShowStatusBar();
        });
    }
    statusMessage_ = text;
    statusFailure_ = failure;
    // A failure stays until the operator acts again; anything else passes.
    if (failure) {
        statusFade_->stop();
    } else {
        statusFade_->start(kStatusMessageMs);
    }
    // The connection log keeps every line the status bar only shows for a while.
    AppendText(Ctrl::InfoBox, (text + QLatin1Char('\n')).toStdString());
    ShowStatusBar();
}

void QtUi::OperatorActs() {
    // What the last line said belongs to what came before; a failure waits for this moment.
    if (!statusMessage_.isEmpty()) {
        statusMessage_.clear();
        if (statusFade_) statusFade_->stop();
        ShowStatusBar();
    }
}

QString QtUi::StatusBarText() const {
    if (statusMessage_.isEmpty()) return statusFigures_;
    if (statusFigures_.isEmpty()) return statusMessage_;
    return statusMessage_ + QLatin1String(kStatusGap) + statusFigures_;
}

void QtUi::ShowStatusBar() {
    auto* bar = qobject_cast<StatusLine*>(entry(Ctrl::StatusBar).widget.data());
    if (bar == nullptr) return;
    const QString full = StatusBarText();
    bar->setText(full);
    QString tip = full;
    if (!statusTooltip_.isEmpty()) tip += QLatin1Char('\n') + statusTooltip_;
    if (bar->toolTip() != tip) bar->setToolTip(tip);
}

void QtUi::SetCtrlText(Ctrl c, std::string_view text) {
    Entry& e = entry(c);
    QWidget* w = e.widget.data();
    if (w == nullptr) return;
    if (c == Ctrl::StatusBar) {
        statusFigures_ = FromUtf8(text);
        ShowStatusBar();
        return;
    }
    const QSignalBlocker block(w);
    switch (e.kind) {
        case Kind::TextBox:
            ResetTextBox(c, text);
            break;
        case Kind::Server:
            static_cast<QComboBox*>(w)->setEditText(FromUtf8(text));
            lastServerText_ = static_cast<QComboBox*>(w)->currentText();
            break;
        case Kind::Line:
        case Kind::Text:
        case Kind::Number: {
            if (auto* label = qobject_cast<QLabel*>(w)) {
                label->setText(FromUtf8(text));
                break;
            }
            if (auto* status = qobject_cast<StatusLine*>(w)) {
                status->setText(FromUtf8(text));
                break;
            }
            auto* line = static_cast<QLineEdit*>(w);
            line->setText(FromUtf8(text));
            line->setCursorPosition(0);
            line->setModified(false);
            break;
        }
        case Kind::Button:
        case Kind::Toggle:
        case Kind::Switch:
            static_cast<QPushButton*>(w)->setText(FromUtf8(text));
            break;
        default:
            break;
    }
}

void QtUi::AppendText(Ctrl c, std::string_view text) {
    auto* box = qobject_cast<QPlainTextEdit*>(entry(c).widget.data());
    if (box == nullptr) return;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(FromUtf8(text));
    // The newest line is the one to read.
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

void QtUi::ResetTextBox(Ctrl c, std::string_view text) {
    if (auto* box = qobject_cast<QPlainTextEdit*>(entry(c).widget.data())) {
        box->setPlainText(FromUtf8(text));
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    } else {
        SetCtrlText(c, text);
    }
}

std::string QtUi::GetCtrlText(Ctrl c) {
    const Entry& e = entry(c);
    QWidget* w = e.widget.data();
    if (w == nullptr) return {};
    if (c == Ctrl::StatusBar) return StatusBarText().toStdString();
    switch (e.kind) {
        case Kind::TextBox:
            return static_cast<QPlainTextEdit*>(w)->toPlainText().toStdString();
        case Kind::Server:
        case Kind::Port:
        case Kind::Choice:
            return static_cast<QComboBox*>(w)->currentText().toStdString();
        case Kind::Number:
            return NumberText(e).toStdString();
        case Kind::Line:
        case Kind::Text:
            if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
            if (auto* status = qobject_cast<StatusLine*>(w))
                return status->fullText().toStdString();
            return static_cast<QLineEdit*>(w)->text().toStdString();
        case Kind::Spin:
            return std::to_string(static_cast<QSpinBox*>(w)->value());
        case Kind::Button:
        case Kind::Toggle:
        case Kind::Switch:
            return static_cast<QPushButton*>(w)->text().toStdString();
        default:
            return {};
    }
}

// --- Attributes

void QtUi::SetDimmed(Ctrl c, bool dimmed) {
    QWidget* w = entry(c).widget.data();
    if (w == nullptr) return;
    if (dimmed && w->hasFocus()) {
        // Qt would hand the keyboard to the next control in line (AVERAGE after FREQ, with
        // its text selected); the window holds it until the button is back.
        parkedFocus_ = w;
        window_->setFocus(Qt::OtherFocusReason);
    }
    w->setEnabled(!dimmed);
    if (!dimmed && parkedFocus_ == w && window_->hasFocus()) {
        w->setFocus(Qt::OtherFocusReason);
        parkedFocus_ = nullptr;
    }
}

void QtUi::SetVisible(Ctrl c, bool visible) {
    Entry& e = entry(c);
    if (e.widget) e.widget->setVisible(visible);
    if (e.label) e.label->setVisible(visible);
}

void QtUi::SetTooltip(Ctrl c, std::string_view text) {
    if (c == Ctrl::StatusBar) {
        // Below the line's whole text.
        statusTooltip_ = FromUtf8(text);
        ShowStatusBar();
        return;
    }
    if (QWidget* w = entry(c).widget.data()) w->setToolTip(FromUtf8(text));
}

void QtUi::SetCtrlColor(Ctrl c, std::uint32_t rgb) {
    QWidget* w = entry(c).widget.data();
    if (w == nullptr) return;
    // An empty palette gives the control back to the theme's own colours (and its changes).
    QPalette pal;
    if (rgb != kCellPlain) {
        const QColor colour = FromRgb(rgb);
        // Text stays readable on the mark, in a light or a dark theme.
        pal.setColor(QPalette::Base, colour);
        pal.setColor(QPalette::Text, colour.lightness() < 128 ? Qt::white : Qt::black);
    }
    if (pal.resolveMask() == 0 && !w->testAttribute(Qt::WA_SetPalette)) return;
    w->setPalette(pal);
}

void QtUi::OpenFolder(std::string_view folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(folder)));
}

void QtUi::SetPrecision(Ctrl c, int decimals) {
    Entry& e = entry(c);
    e.precision = decimals;
    if (e.kind == Kind::Number) {
        displayDirty_[static_cast<std::size_t>(c)] = 1;
        scheduler_.MarkDirty(displaysId_);
    }
}

void QtUi::SetActiveTabPage(int page) {
    auto* tabs = window_->main().tabs;
    // The program's own page switches must not come back as the operator's.
    {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(page);
    }
    window_->Relayout();
}

int QtUi::GetActiveTabPage() {
    return window_->main().tabs->currentIndex();
}

// --- The server list

int QtUi::ComboCount(Ctrl c) {
    auto* combo = qobject_cast<QComboBox*>(entry(c).widget.data());
    return combo != nullptr ? combo->count() : 0;
}

std::string QtUi::ComboItem(Ctrl c, int index) {
    auto* combo = qobject_cast<QComboBox*>(entry(c).widget.data());
    if (combo == nullptr || index < 0 || index >= combo->count()) return {};
    return combo->itemText(index).toStdString();
}

void QtUi::ComboInsert(Ctrl c, int index, std::string_view text) {
    auto* combo = qobject_cast<QComboBox*>(entry(c).widget.data());
    if (combo == nullptr) return;
    const QSignalBlocker block(combo);
    // Changing the list must not change what the field shows.
    const QString shown = combo->currentText();
    combo->insertItem(std::clamp(index, 0, combo->count()), FromUtf8(text));
    if (combo->isEditable()) combo->setEditText(shown);
}

void QtUi::ComboDelete(Ctrl c, int index) {
    auto* combo = qobject_cast<QComboBox*>(entry(c).widget.data());
    if (combo == nullptr || index < 0 || index >= combo->count()) return;
    const QSignalBlocker block(combo);
    const QString shown = combo->currentText();
    combo->removeItem(index);
    if (combo->isEditable()) combo->setEditText(shown);
}

// --- The teach table

QTableWidgetItem* QtUi::Cell(Ctrl c, int column, int row) const {
    // The editor's tables are views of the working copy: only the plain teach table has items.
    auto* table = qobject_cast<QTableWidget*>(entry(c).widget.data());
    if (table == nullptr) return nullptr;
    return table->item(row - 1, column - 1);
}

void QtUi::SetTableCellVal(Ctrl c, int column, int row, double value) {
    if (QTableWidgetItem* item = Cell(c, column, row)) {
        const QSignalBlocker block(item->tableWidget());
        item->setText(QString::number(value, 'g', 10));
    }
}

double QtUi::GetTableCellVal(Ctrl c, int column, int row) {
    if (typed_ && typed_->table == c && typed_->column == column && typed_->row == row) {
        return typed_->value;
    }
    const QTableWidgetItem* item = Cell(c, column, row);
    if (item == nullptr) return 0;
    // What was typed: a number, or something that is none (which the program refuses).
    bool ok = false;
    const double v = item->text().trimmed().toDouble(&ok);
    return ok ? v : std::nan("");
}

std::pair<int, int> QtUi::GetActiveTableCell(Ctrl c) {
    if (typed_ && typed_->table == c) return {typed_->column, typed_->row};
    // The editor's teach rows are a view of the working copy, row for row: its selection.
    if (c == Ctrl::TeachEditor) {
        const QModelIndex current = editor_->teach->currentIndex();
        if (!current.isValid()) return {0, 0};
        return {current.column() + 1, current.row() + 1};
    }
    auto* table = qobject_cast<QTableWidget*>(entry(c).widget.data());
    if (table == nullptr || table->currentRow() < 0 || table->currentColumn() < 0) return {0, 0};
    return {table->currentColumn() + 1, table->currentRow() + 1};
}

void QtUi::SetTableCellColor(Ctrl c, int column, int row, std::uint32_t rgb) {
    if (QTableWidgetItem* item = Cell(c, column, row)) {
        const QSignalBlocker block(item->tableWidget());
        if (rgb == kCellPlain) {
            item->setBackground(QBrush());
            item->setForeground(QBrush());
            return;
        }
        const QColor colour = FromRgb(rgb);
        item->setBackground(colour);
        // Text stays readable on any cell colour, in a light or a dark theme.
        item->setForeground(colour.lightness() < 128 ? Qt::white : Qt::black);
    }
}

void QtUi::SetTableCellTooltip(Ctrl c, int column, int row, std::string_view text) {
    if (QTableWidgetItem* item = Cell(c, column, row)) {
        const QSignalBlocker block(item->tableWidget());
        item->setToolTip(FromUtf8(text));
    }
}

void QtUi::SetActiveTableCell(Ctrl c, int column, int row) {
    auto* table = qobject_cast<QTableWidget*>(entry(c).widget.data());
    if (table == nullptr) return;
    table->setCurrentCell(row - 1, column - 1);
    if (QTableWidgetItem* item = table->item(row - 1, column - 1)) table->scrollToItem(item);
}

// --- Graphs

ColourGraph* QtUi::colourGraph(Ctrl c) const {
    return qobject_cast<ColourGraph*>(entry(c).widget.data());
}

void QtUi::DeleteGraphPlots(Ctrl graph) {
    if (ColourGraph* g = colourGraph(graph)) g->DeletePlots();
}

void QtUi::PlotArc(Ctrl graph, double left, double bottom, double right, double top,
                   std::uint32_t rgb, ArcLine line) {
    if (ColourGraph* g = colourGraph(graph))
        g->PlotEllipse(left, bottom, right, top, rgb, line == ArcLine::Dashed);
}

void QtUi::PlotPoints(Ctrl graph, std::span<const double> horizontal,
                      std::span<const double> vertical, std::uint32_t rgb) {
    if (ColourGraph* g = colourGraph(graph)) g->PlotPoints(horizontal, vertical, rgb);
}

void QtUi::SetAxisRange(Ctrl graph, Axis axis, double min, double max) {
    if (ColourGraph* g = colourGraph(graph)) g->SetRange(axis == Axis::Horizontal, min, max);
}

void QtUi::SetGraphCursor(Ctrl graph, double x, double y) {
    if (ColourGraph* g = colourGraph(graph)) g->SetCursor(x, y);
}

void QtUi::SetStripChartPointsPerScreen(Ctrl chart, int points) {
    if (auto* s = qobject_cast<StripChart*>(entry(chart).widget.data()))
        s->SetPointsPerScreen(points);
}

void QtUi::AppendStripChart(Ctrl chart, std::span<const double> values, int traces) {
    if (auto* s = qobject_cast<StripChart*>(entry(chart).widget.data())) s->Append(values, traces);
}

// --- The main window

WindowPlacement QtUi::GetWindowPlacement() {
    WindowPlacement p;
    const Qt::WindowStates state = window_->windowState();
    p.zoom = state.testFlag(Qt::WindowMinimized)   ? kZoomMinimised
             : state.testFlag(Qt::WindowMaximized) ? kZoomMaximised
                                                   : kZoomNormal;
    const QRect g = window_->geometry();
    p.left = g.x();
    p.top = g.y();
    p.width = g.width();
    p.height = g.height();
    return p;
}

void QtUi::SetWindowZoom(int zoom) {
    Qt::WindowStates state = window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (zoom == kZoomMaximised) state |= Qt::WindowMaximized;
    if (zoom == kZoomMinimised) state |= Qt::WindowMinimized;
    window_->setWindowState(state);
}

void QtUi::SetWindowPos(int left, int top) {
    QRect g = window_->geometry();
    g.moveTo(left, top);
    window_->setGeometry(g);
}

void QtUi::SetWindowSize(int width, int height) {
    if (window_->isMaximized() || window_->isMinimized()) window_->showNormal();
    window_->resize(width, height);
}

ScreenArea QtUi::GetScreenArea(const WindowPlacement& near) {
    const QRect wanted(near.left, near.top, std::max(1, near.width), std::max(1, near.height));
    QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
    if (screen == nullptr) screen = QGuiApplication::screenAt(wanted.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    // The frame is known once the window is shown; before, it is reckoned as wide as the style
    // draws a window's frame and title bar.
    QMargins frame(window_->geometry().left() - window_->frameGeometry().left(),
                   window_->geometry().top() - window_->frameGeometry().top(),
                   window_->frameGeometry().right() - window_->geometry().right(),
                   window_->frameGeometry().bottom() - window_->geometry().bottom());
    if (frame.isNull() && !window_->isVisible()) {
        const QStyle* style = window_->style();
        const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        frame = QMargins(border, style->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
                         border);
    }
    area = area.marginsRemoved(frame);
    return {area.x(), area.y(), area.width(), area.height()};
}

void QtUi::CenterWindow() {
    QScreen* screen =
        window_->screen() != nullptr ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
}

void QtUi::DisplayPanels() {
    window_->dataPanel()->show();
    window_->UpdateMinimumSize();
    window_->show();
}

// --- The banner

void QtUi::ShowInfoText(std::string_view text, bool withTooltip, int left, int top, int pointSize,
                        std::uint32_t textRgb) {
    auto* banner = window_->main().banner;
    auto* label = new QLabel(banner);
    // The sizes of the banner's lines are the platform's: pixel heights on its 96-dpi screen.
    // Taken as points they would be a third larger and the lines, 14 to 16 pixels apart,
    // would run into each other.
    QFont font = label->font();
    font.setPixelSize(pointSize);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, FromRgb(textRgb));
    label->setPalette(pal);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    label->setTextFormat(Qt::PlainText);
    if (withTooltip) label->setToolTip(QString::fromUtf8(kProgramTooltip));
    label->setText(FromUtf8(text));
    label->move(left, top);
    label->adjustSize();
    label->show();
}

void QtUi::SetBannerColor(std::uint32_t rgb) {
    auto* banner = window_->main().banner;
    QPalette pal = banner->palette();
    pal.setColor(QPalette::Window, FromRgb(rgb));
    banner->setPalette(pal);
    banner->setAutoFillBackground(true);
}

void QtUi::DisplayLogo(int left, int top, std::string_view imageFileName) {
    QLabel* logo = window_->main().logo;
    logo->move(left, top);
    const QString name = FromUtf8(imageFileName);
    // Beside the program (a build tree or a portable copy), then the installed data folder.
    const QString dir = QCoreApplication::applicationDirPath();
    QPixmap pixmap;
    for (const QString& candidate :
         {QDir(dir).filePath(name), QDir(dir).filePath(QStringLiteral("../share/qelto/") + name)}) {
        if (QFileInfo::exists(candidate) && pixmap.load(candidate)) break;
    }
    if (!pixmap.isNull()) {
        // Drawn at twice its size so that it stays sharp on a 200 % screen.
        pixmap.setDevicePixelRatio(
            std::max(1.0, pixmap.height() / static_cast<double>(logo->height())));
    }
    logo->setPixmap(pixmap);
    logo->show();
}

// --- Popups

void QtUi::MessagePopup(std::string_view title, std::string_view message) {
    ShowMessage(popups_, FromUtf8(title), FromUtf8(message));
    CloseIfRequested();
}

int QtUi::ConfirmPopup(std::string_view title, std::string_view question, Default enter) {
    QMessageBox box(QMessageBox::Question, FromUtf8(title), FromUtf8(question),
                    QMessageBox::Yes | QMessageBox::No, window_.get());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(enter == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    const bool yes = popups_.Run(box) == QMessageBox::Yes;
    CloseIfRequested();
    return yes ? 1 : 0;
}

GenericPopupResult QtUi::GenericMessagePopup(const GenericPopupRequest& popup) {
    GenericPopup dialog(popup, window_.get());
    const GenericPopupResult answer = dialog.Ask(popups_);
    CloseIfRequested();
    return answer;
}

int QtUi::TablePopup(const TablePopupRequest& table) {
    gui::TablePopup dialog(table, window_.get());
    const int pressed = popups_.Run(dialog) == 1 ? 1 : 0;
    CloseIfRequested();
    return pressed;
}

int QtUi::FileSelectPopup(const FileDialogRequest& request, std::string& path) {
    QFileDialog dialog(window_.get(), FromUtf8(request.title), FromUtf8(request.startDirectory));
    // The same dialog picks a file to read or a name to write; which it was is the result.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::Accept, tr("OK"));
    QStringList filters;
    if (!request.filter.empty()) filters << FromUtf8(request.filter);
    if (request.allFiles || filters.isEmpty()) filters << tr("All files (*)");
    dialog.setNameFilters(filters);
    if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(FromUtf8(request.defaultSuffix));
    if (!request.defaultFileName.empty()) dialog.selectFile(FromUtf8(request.defaultFileName));
    const bool accepted = popups_.Run(dialog) == QDialog::Accepted;
    CloseIfRequested();
    if (!accepted || dialog.selectedFiles().isEmpty()) return kFileNoneSelected;
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    path = chosen.toStdString();
    return QFileInfo::exists(chosen) ? kFileExisting : kFileNew;
}

void QtUi::SetWaitCursor(bool busy) {
    if (busy == waitCursor_) return;
    waitCursor_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtUi::SetProgress(int step, int maxSteps) {
    QProgressBar* bar = window_->main().progressBar;
    if (step < 0) {
        bar->hide();
        return;
    }
    bar->setRange(0, std::max(1, maxSteps));
    bar->setValue(std::min(step, bar->maximum()));
    bar->show();
}

}  // namespace qelto::gui
