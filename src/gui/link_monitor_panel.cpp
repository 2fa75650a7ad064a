#include "link_monitor_panel.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <array>

#include "files/text_file.hpp"
#include "qt_ui.hpp"

namespace qelto::gui {
namespace {

constexpr int kFollowMs = 250;
// The commands the program sends, for the filter.
constexpr std::array<int, 9> kCommands{0, 1, 2, 3, 4, 7, 8, 15, 105};

QString CommandText(int command) {
    if (command < 0) return QStringLiteral("-");
    const std::string_view name = CommandName(command);
    return name.empty() ? QString::number(command)
                        : QStringLiteral("%1 %2").arg(command).arg(
                              QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

QString HexText(const MonitorEntry& e) {
    QString text = QString::fromStdString(FormatHex(e.bytes));
    if (e.direction == MonitorDirection::Exchanges) {
        text += QStringLiteral("  |  ") + QString::fromStdString(FormatHex(e.replyBytes));
    }
    return text;
}

QString DumpText(const char* what, const std::vector<std::uint8_t>& bytes,
                 const std::optional<FrameFault>& fault = std::nullopt) {
    QString text = QString::fromLatin1(what) + QStringLiteral(", %1 bytes").arg(bytes.size());
    // What is wrong with it, and below the bytes at fault, carets.
    if (fault) text += QStringLiteral("; ") + QString::fromStdString(fault->what);
    return text + QLatin1Char('\n') + QString::fromStdString(HexDump(bytes, {}, fault));
}

}  // namespace

// --- MonitorTableModel

MonitorTableModel::MonitorTableModel(QObject* parent) : QAbstractTableModel(parent) {}

bool MonitorTableModel::Follow(const LinkMonitor& monitor) {
    if (monitor.revision() == seenRevision_) return false;
    seenRevision_ = monitor.revision();
    const std::deque<MonitorEntry>& src = monitor.entries();
    bool changed = false;

    // What the record has forgotten, the copy forgets too.
    const std::uint64_t firstKept = src.empty() ? ~std::uint64_t{0} : src.front().number;
    std::size_t drop = 0;
    while (drop < copy_.size() && copy_[drop].number < firstKept)
        ++drop;
    if (drop > 0) {
        const std::uint64_t lastDropped = copy_[drop - 1].number;
        const auto rowsGone = static_cast<int>(
            std::upper_bound(rows_.begin(), rows_.end(), lastDropped) - rows_.begin());
        if (rowsGone > 0) beginRemoveRows({}, 0, rowsGone - 1);
        rows_.erase(rows_.begin(), rows_.begin() + rowsGone);
        copy_.erase(copy_.begin(), copy_.begin() + static_cast<std::ptrdiff_t>(drop));
        if (rowsGone > 0) endRemoveRows();
        changed = true;
    }

    // The newest entry may have grown since (a run of live data).
    if (!copy_.empty() && !src.empty() && copy_.back().number >= src.front().number &&
        copy_.back().number <= src.back().number) {
        const MonitorEntry& now = src[copy_.back().number - src.front().number];
        if (now.revision != copy_.back().revision) {
            copy_.back() = now;
            if (!rows_.empty() && rows_.back() == now.number) {
                const int row = static_cast<int>(rows_.size()) - 1;
                emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
            }
            changed = true;
        }
    }

    const std::uint64_t after = copy_.empty() ? 0 : copy_.back().number;
    std::size_t start = 0;
    if (!src.empty() && after >= src.front().number) start = after - src.front().number + 1;
    if (start < src.size()) {
        std::vector<std::uint64_t> added;
        for (std::size_t i = start; i < src.size(); ++i) {
            copy_.push_back(src[i]);
            if (filter_.Matches(src[i])) added.push_back(src[i].number);
        }
        if (!added.empty()) {
            const auto first = static_cast<int>(rows_.size());
            beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
            rows_.insert(rows_.end(), added.begin(), added.end());
            endInsertRows();
        }
        changed = true;
    }
    return changed;
}

void MonitorTableModel::Clear() {
    beginResetModel();
    copy_.clear();
    rows_.clear();
    seenRevision_ = ~std::uint64_t{0};
    endResetModel();
}

void MonitorTableModel::SetFilter(const MonitorFilter& filter) {
    filter_ = filter;
    Rebuild();
}

void MonitorTableModel::Rebuild() {
    beginResetModel();
    rows_.clear();
    for (const MonitorEntry& e : copy_) {
        if (filter_.Matches(e)) rows_.push_back(e.number);
    }
    endResetModel();
}

const MonitorEntry& MonitorTableModel::entryAt(int row) const {
    return copy_[rows_[static_cast<std::size_t>(row)] - copy_.front().number];
}

int MonitorTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MonitorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MonitorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const MonitorEntry& e = entryAt(index.row());
    const auto column = static_cast<Column>(index.column());
    if (role == Qt::DisplayRole) {
        switch (column) {
            case Time:
                return QString::fromStdString(FormatTimeOfDay(e.timeMs));
            case Direction:
                return e.direction == MonitorDirection::Request ? QStringLiteral("\u2192")
                       : e.direction == MonitorDirection::Reply ? QStringLiteral("\u2190")
                                                                : QStringLiteral("\u21C4");
            case Command:
                return CommandText(e.command);
            case Argument:
                return e.command < 0 ? QVariant() : QVariant(e.argument);
            case Length:
                return e.headerCame ? QVariant(e.length) : QVariant();
            case Result:
                return QString::fromStdString(ResultText(e));
            case Bytes:
                return HexText(e);
            case ColumnCount:
                break;
        }
        return {};
    }
    if (role == Qt::ToolTipRole) {
        if (column == Direction) {
            return e.direction == MonitorDirection::Request ? tr("request")
                   : e.direction == MonitorDirection::Reply ? tr("reply")
                                                            : tr("requests and replies, folded");
        }
        if (column == Result) return QString::fromStdString(ResultText(e));
        if (column == Bytes) return HexText(e);
        return {};
    }
    if (role == Qt::ForegroundRole &&
        (e.result == MonitorResult::Rejected || e.result == MonitorResult::TimedOut)) {
        return QColor(0xD0, 0x30, 0x30);
    }
    if (role == Qt::TextAlignmentRole && (column == Argument || column == Length)) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::FontRole && column == Bytes) {
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    return {};
}

QVariant MonitorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (static_cast<Column>(section)) {
        case Time:
            return tr("Time");
        case Direction:
            return QString();
        case Command:
            return tr("Command");
        case Argument:
            return tr("Argument");
        case Length:
            return tr("Length");
        case Result:
            return tr("Result");
        case Bytes:
            return tr("Bytes");
        case ColumnCount:
            break;
    }
    return {};
}

// --- LinkMonitorPanel

LinkMonitorPanel::LinkMonitorPanel(LinkMonitor& monitor, QWidget* parent)
    : QDialog(parent), monitor_(monitor) {
    // A window of its own, not a dialog kept above the main window: the operator puts either in
    // front, and the live values stay in view.
    setWindowFlags(Qt::Window);
    setWindowTitle(tr("Link monitor"));
    setObjectName(QStringLiteral("LinkMonitorPanel"));
    setSizeGripEnabled(true);

    pause_ = new QPushButton(tr("&Pause"), this);
    pause_->setCheckable(true);
    auto* clear = new QPushButton(tr("Cl&ear"), this);
    filter_ = new QComboBox(this);
    filter_->addItem(tr("All commands"), -1);
    for (int c : kCommands)
        filter_->addItem(CommandText(c), c);
    auto* filterLabel = new QLabel(tr("&Command"), this);
    filterLabel->setBuddy(filter_);
    everyLiveData_ = new QCheckBox(tr("Every &live-data exchange"), this);
    everyLiveData_->setChecked(!monitor_.foldLiveData());
    everyLiveData_->setToolTip(
        tr("Otherwise the live-data exchanges that went well are folded into one counting line"));
    failuresOnly_ = new QCheckBox(tr("&Failures only"), this);
    failuresOnly_->setToolTip(tr("Only the replies that were rejected or did not come"));
    bytes_ = new QCheckBox(tr("&Bytes"), this);
    bytes_->setToolTip(
        tr("The bytes in hex, and below the list the selected line's frames with "
           "their offsets and ASCII"));
    auto* save = new QPushButton(tr("&Save as text\u2026"), this);

    auto* tools = new QHBoxLayout;
    tools->addWidget(pause_);
    tools->addWidget(clear);
    tools->addSpacing(8);
    tools->addWidget(filterLabel);
    tools->addWidget(filter_);
    tools->addWidget(everyLiveData_);
    tools->addWidget(failuresOnly_);
    tools->addWidget(bytes_);
    tools->addStretch(1);
    tools->addWidget(save);

    view_ = new QTableView(this);
    view_->setModel(&model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setWordWrap(false);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics fm(view_->font());
    view_->setColumnWidth(MonitorTableModel::Time,
                          fm.horizontalAdvance(QStringLiteral("00:00:00.000")) + 14);
    view_->setColumnWidth(MonitorTableModel::Direction,
                          fm.horizontalAdvance(QStringLiteral("\u21C4")) + 14);
    int commandWidth = 0;
    for (int c : kCommands)
        commandWidth = std::max(commandWidth, fm.horizontalAdvance(CommandText(c)));
    view_->setColumnWidth(MonitorTableModel::Command, commandWidth + 14);
    view_->setColumnWidth(MonitorTableModel::Argument, fm.horizontalAdvance(tr("Argument")) + 14);
    view_->setColumnWidth(MonitorTableModel::Length, fm.horizontalAdvance(tr("Length")) + 14);
    view_->setColumnWidth(MonitorTableModel::Result, fm.horizontalAdvance(QLatin1Char('x')) * 48);
    view_->setColumnHidden(MonitorTableModel::Bytes, true);
    view_->setAccessibleName(tr("Requests and replies"));

    dump_ = new QPlainTextEdit(this);
    dump_->setReadOnly(true);
    dump_->setLineWrapMode(QPlainTextEdit::NoWrap);
    dump_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    dump_->setAccessibleName(tr("Bytes of the selected line"));
    dump_->hide();
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(view_);
    split->addWidget(dump_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);

    status_ = new QLabel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(split, 1);
    layout->addWidget(status_);
    resize(std::max(860, layout->minimumSize().width()), 420);

    connect(pause_, &QPushButton::toggled, this, [this](bool on) { SetPaused(on); });
    connect(clear, &QPushButton::clicked, this, [this] {
        monitor_.Clear();
        model_.Clear();
        Follow();
    });
    connect(filter_, &QComboBox::currentIndexChanged, this, [this] { UpdateFilter(); });
    connect(failuresOnly_, &QCheckBox::toggled, this, [this] { UpdateFilter(); });
    connect(everyLiveData_, &QCheckBox::toggled, this,
            [this](bool every) { monitor_.SetFoldLiveData(!every); });
    connect(bytes_, &QCheckBox::toggled, this, [this](bool on) {
        view_->setColumnHidden(MonitorTableModel::Bytes, !on);
        dump_->setVisible(on);
        ShowBytesOfCurrent();
    });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowBytesOfCurrent(); });
    connect(save, &QPushButton::clicked, this, [this] { AskAndSave(); });
    timer_.setInterval(kFollowMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Follow(); });
}

void LinkMonitorPanel::showEvent(QShowEvent* event) {
    // Qt makes a window with a parent transient for it, which keeps it above the parent.
    if (QWindow* handle = windowHandle()) handle->setTransientParent(nullptr);
    if (!placed_) {
        placed_ = true;
        PlaceBesideParent();
    }
    QDialog::showEvent(event);
    Follow();
    // The newest lines are the ones to read, once the view has its size.
    QTimer::singleShot(0, view_, [view = view_] { view->scrollToBottom(); });
    if (!pause_->isChecked()) timer_.start();
}

void LinkMonitorPanel::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDialog::hideEvent(event);
}

// Beside the main window where the screen has room (right, below, left, above), shrunk to that
// room when it is at least the panel's smallest size; otherwise where the window system puts it.
void LinkMonitorPanel::PlaceBesideParent() {
    const QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (main == nullptr || main->screen() == nullptr) return;
    const QRect screen = main->screen()->availableGeometry();
    const QRect m = main->frameGeometry();
    const QSize least = minimumSizeHint().expandedTo(QSize(480, 240));
    const QRect sides[] = {
        QRect(QPoint(m.right() + 1, m.top()), QPoint(screen.right(), screen.bottom())),
        QRect(QPoint(m.left(), m.bottom() + 1), QPoint(screen.right(), screen.bottom())),
        QRect(QPoint(screen.left(), m.top()), QPoint(m.left() - 1, screen.bottom())),
        QRect(QPoint(m.left(), screen.top()), QPoint(screen.right(), m.top() - 1)),
    };
    for (const QRect& room : sides) {
        if (room.width() < least.width() || room.height() < least.height()) continue;
        resize(size().boundedTo(room.size()));
        move(room.topLeft());
        return;
    }
}

void LinkMonitorPanel::UpdateFilter() {
    model_.SetFilter(MonitorFilter{filter_->currentData().toInt(), failuresOnly_->isChecked()});
    UpdateStatus();
    ShowBytesOfCurrent();
}

void LinkMonitorPanel::SetShowBytes(bool on) {
    bytes_->setChecked(on);
}

void LinkMonitorPanel::SetFailuresOnly(bool on) {
    failuresOnly_->setChecked(on);
}

void LinkMonitorPanel::ShowBytesOfCurrent() {
    if (!dump_->isVisibleTo(this)) return;
    int row = view_->currentIndex().isValid() ? view_->currentIndex().row() : -1;
    if (row < 0 || row >= model_.rowCount()) row = model_.rowCount() - 1;
    if (row < 0) {
        dump_->setPlainText(tr("No line."));
        return;
    }
    const MonitorEntry& e = model_.entryAt(row);
    QString text;
    switch (e.direction) {
        case MonitorDirection::Request:
            text = DumpText("> request", e.bytes);
            break;
        case MonitorDirection::Reply:
            text = e.bytes.empty() ? tr("< reply: nothing came")
                                   : DumpText("< reply", e.bytes, e.fault);
            break;
        case MonitorDirection::Exchanges:
            text = DumpText("> latest request", e.bytes) + QLatin1Char('\n') +
                   DumpText("< latest reply", e.replyBytes);
            break;
    }
    if (dump_->toPlainText() != text) dump_->setPlainText(text);
}

void LinkMonitorPanel::SetPaused(bool paused) {
    if (pause_->isChecked() != paused) pause_->setChecked(paused);  // comes back here
    if (paused) {
        timer_.stop();
    } else {
        Follow();
        if (isVisible()) timer_.start();
    }
    UpdateStatus();
}

void LinkMonitorPanel::Follow() {
    if (pause_->isChecked()) return;
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    if (model_.Follow(monitor_) && atEnd) view_->scrollToBottom();
    UpdateStatus();
    ShowBytesOfCurrent();
}

void LinkMonitorPanel::UpdateStatus() {
    const int lines = model_.rowCount();
    QString text = lines == 1 ? tr("1 line") : tr("%1 lines").arg(lines);
    if (monitor_.dropped() > 0) {
        text += tr(", the oldest %1 no longer kept (the monitor keeps the last %2)")
                    .arg(monitor_.dropped())
                    .arg(monitor_.capacity());
    }
    if (pause_->isChecked()) text += tr("; paused, the record goes on");
    status_->setText(text);
}

bool LinkMonitorPanel::SaveText(const QString& fileName, QString* error) const {
    const MonitorHeading h = heading ? heading() : MonitorHeading{WallClockNow(), {}, {}};
    const std::string text = MonitorText(h, model_.entries(), model_.filter(), bytes_->isChecked());
    const std::string why = SaveTextFile(fileName.toStdString(), text);
    if (why.empty()) return true;
    if (error != nullptr) *error = QString::fromStdString(why);
    return false;
}

void LinkMonitorPanel::AskAndSave() {
    QFileDialog dialog(this, tr("Save the link monitor as text"), StartFolder(saveFolder_));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("Text files (*.txt)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QStringLiteral("qelto-link.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    QString why;
    if (!SaveText(path, &why)) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        tr("The link monitor was not saved to %1: %2.")
                            .arg(QDir::toNativeSeparators(path), why),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    saveFolder_ = QFileInfo(path).absolutePath();
}

}  // namespace qelto::gui
