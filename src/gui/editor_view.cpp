#include "editor_view.hpp"

#include <QAbstractTableModel>
#include <QBrush>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/parameter_editor.hpp"
#include "app/working_copy.hpp"
#include "evidence_bar.hpp"
#include "protocol/records.hpp"

namespace qelto::gui {
namespace {

constexpr int kTeachRowsShown = kEditorTeachRows;  // the rows the sensor holds
// What the plain page calls the first four teach words.
constexpr const char* kTeachPageLabels[] = {"X", "Y", "INT", "TOL"};

QColor FromRgb(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The next widget in the window's focus chain after (or before) `from` that lies outside it.
QWidget* NextOutside(QWidget* from, bool forward) {
    QWidget* w = from;
    for (int guard = 0; guard < 1000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == nullptr || w == from) return nullptr;
        if (from->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) return w;
    }
    return nullptr;
}

bool IsCtrlTab(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
           key->modifiers().testFlag(Qt::ControlModifier);
}

// Typed values are whole numbers: a cell takes digits only, and the program refuses what lies
// outside 0..65535. Tab in an open cell goes to the next cell's editor; Ctrl+Tab takes the value
// and leaves the table.
class NumberDelegate : public QStyledItemDelegate {
  public:
    explicit NumberDelegate(QTableView* table) : QStyledItemDelegate(table), table_(table) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* line = new QLineEdit(parent);
        line->setValidator(new QIntValidator(0, 999999, line));
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return line;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(watched);
        if (editor != nullptr && event->type() == QEvent::KeyPress &&
            IsCtrlTab(static_cast<QKeyEvent*>(event))) {
            const bool forward =
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab &&
                !static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::ShiftModifier);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            if (QWidget* next = NextOutside(table_, forward)) next->setFocus(Qt::TabFocusReason);
            return true;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

  private:
    QTableView* table_;
};

// The parameter table shows its Group column only where there is room for it beside a
// readable Meaning; the rows stay in their groups either way, and the group is in the tooltip.
class GroupColumnByWidth : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* table = static_cast<QTableView*>(watched->parent());
            const int width = static_cast<QResizeEvent*>(event)->size().width();
            const bool room = width >= kGroupColumnMinTableWidth;
            if (table->isColumnHidden(1) == room) table->setColumnHidden(1, !room);
        }
        return false;
    }

  private:
    static constexpr int kGroupColumnMinTableWidth = 480;
};

// Ctrl+Tab on a table (no cell open) leaves it, as Tab does; the tab widgets around it would
// otherwise take it to change their page.
class LeaveOnCtrlTab : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* table = qobject_cast<QWidget*>(watched);
        if (table == nullptr ||
            (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsCtrlTab(key)) return false;
        event->accept();
        if (event->type() == QEvent::ShortcutOverride) return true;
        const bool forward =
            key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier);
        if (QWidget* next = NextOutside(table, forward)) next->setFocus(Qt::TabFocusReason);
        return true;
    }
};

}  // namespace

// One table of the editor over the working copy: the parameters (value, group, meaning; the
// key in the row header) or the teach rows the sensor holds (eight words, the row's colour
// number in the row header).
class EditorModel : public QAbstractTableModel {
  public:
    EditorModel(const EditorView& view, bool teach, QObject* parent)
        : QAbstractTableModel(parent), view_(view), teach_(teach) {}

    void Attach(const Editor& editor) {
        beginResetModel();
        editor_ = &editor;
        endResetModel();
    }
    // The working copy changed: `item`, or everything.
    void Changed(std::optional<ConfigItem> item) {
        if (item && item->teach == teach_) {
            const QModelIndex i = IndexOf(*item);
            emit dataChanged(i, i);
        }
        if (item && teach_) {
            // Any value may move a sphere, or (MAX VEC NO) take a row in or out: the marks of
            // the tolerances that overlap follow.
            constexpr int kTolerance = 3;
            emit dataChanged(index(0, kTolerance), index(rowCount() - 1, kTolerance));
        } else if (!item) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        if (parent.isValid()) return 0;
        return teach_ ? kTeachRowsShown : static_cast<int>(kParamCount);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        if (parent.isValid()) return 0;
        return teach_ ? static_cast<int>(kTeachWordCount) : 3;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (!teach_ && index.column() > 0) return Describe(index, role);
        if (editor_ == nullptr) return {};
        const EditorCell cell = editor_->Cell(ItemAt(index));
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return static_cast<int>(cell.value);
            case Qt::TextAlignmentRole:
                return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                if (cell.mark == kCellPlain) return {};
                return QBrush(FromRgb(cell.mark));
            case Qt::ForegroundRole: {
                if (cell.mark == kCellPlain) return {};
                // Text stays readable on the mark, in a light or a dark theme.
                return QBrush(FromRgb(cell.mark).lightness() < 128 ? Qt::white : Qt::black);
            }
            case Qt::ToolTipRole:
                if (cell.tooltip.empty()) return {};
                return QString::fromUtf8(cell.tooltip.c_str());
            default:
                return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || !index.isValid() || (!teach_ && index.column() != 0)) {
            return false;
        }
        if (!view_.onEdit) return false;
        bool ok = false;
        const double v = value.toString().trimmed().toDouble(&ok);
        const ConfigItem item = ItemAt(index);
        view_.onEdit(teach_ ? Ctrl::TeachEditor : Ctrl::ParameterEditor, item.word + 1,
                     item.index + 1, ok ? v : std::nan(""));
        // Whatever became of it, the cell shows the working copy.
        emit dataChanged(index, index);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        if (!teach_ && index.column() > 0) return Qt::ItemIsEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        if (orientation == Qt::Vertical) {
            // A teach row by its colour number, as C-No counts; a parameter by its key.
            if (teach_) return QString::number(section);
            const int k = view_.ParameterOfRow(section);
            if (k < 0) return {};
            return QString::fromLatin1(kParamFields[static_cast<std::size_t>(k)].key);
        }
        if (!teach_) {
            static const char* kColumns[] = {
                QT_TRANSLATE_NOOP("qelto::gui::EditorView", "Value"),
                QT_TRANSLATE_NOOP("qelto::gui::EditorView", "Group"),
                QT_TRANSLATE_NOOP("qelto::gui::EditorView", "Meaning")};
            return EditorView::tr(kColumns[std::clamp(section, 0, 2)]);
        }
        const auto w = static_cast<std::size_t>(std::clamp(section, 0, 7));
        const QString key = QString::fromLatin1(kTeachWords[w].key);
        if (w >= std::size(kTeachPageLabels)) return key;
        // The name the plain page gives it, above the key of the parameter file.
        return QString::fromLatin1(kTeachPageLabels[w]) + QLatin1Char('\n') + key;
    }

  private:
    ConfigItem ItemAt(const QModelIndex& index) const {
        if (teach_) {
            return ConfigItem::Teach(static_cast<std::size_t>(index.row()),
                                     static_cast<std::size_t>(index.column()));
        }
        return ConfigItem::Parameter(static_cast<std::size_t>(view_.ParameterOfRow(index.row())));
    }
    QModelIndex IndexOf(ConfigItem item) const {
        if (teach_) return index(item.index, item.word);
        return index(view_.RowOfParameter(item.index), 0);
    }
    QVariant Describe(const QModelIndex& index, int role) const {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
        const int k = view_.ParameterOfRow(index.row());
        if (k < 0) return {};
        const ParamField& f = kParamFields[static_cast<std::size_t>(k)];
        const QString group = QString::fromLatin1(ParamGroupName(f.group));
        if (index.column() == 1) return group;
        // The whole meaning when the column cuts it, with the group it belongs to.
        if (role == Qt::ToolTipRole)
            return group + QStringLiteral(": ") + QString::fromUtf8(f.meaning);
        return QString::fromUtf8(f.meaning);
    }

    const EditorView& view_;
    const bool teach_;
    const Editor* editor_ = nullptr;
};

EditorView::EditorView(QWidget* page, QGridLayout* grid) : QObject(page) {
    editButton = new QPushButton(page);
    editButton->setCheckable(true);
    undoButton = new QPushButton(page);
    redoButton = new QPushButton(page);
    revertButton = new QPushButton(page);
    undoButton->setShortcut(QKeySequence::Undo);
    redoButton->setShortcut(QKeySequence::Redo);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(editButton);
    buttons->addStretch(1);
    for (QPushButton* b : {undoButton, redoButton, revertButton})
        buttons->addWidget(b);

    // The parameters in their groups; within a group in the order of the file.
    std::vector<int> order(kParamCount);
    for (std::size_t k = 0; k < kParamCount; ++k)
        order[k] = static_cast<int>(k);
    std::stable_sort(order.begin(), order.end(), [](int a, int b) {
        return kParamFields[static_cast<std::size_t>(a)].group <
               kParamFields[static_cast<std::size_t>(b)].group;
    });
    rowOfParameter_.assign(kParamCount, 0);
    for (int row = 0; row < static_cast<int>(kParamCount); ++row)
        rowOfParameter_[static_cast<std::size_t>(order[static_cast<std::size_t>(row)])] = row;

    tables = new QTabWidget(page);
    tables->setDocumentMode(true);
    parameters = new QTableView(tables);
    teach = new QTableView(tables);
    parameterModel_ = new EditorModel(*this, false, this);
    teachModel_ = new EditorModel(*this, true, this);
    parameters->setModel(parameterModel_);
    teach->setModel(teachModel_);
    parameters->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    parameters->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    parameters->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    parameters->viewport()->installEventFilter(new GroupColumnByWidth(parameters));
    teach->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto* leave = new LeaveOnCtrlTab(this);
    for (QTableView* t : {parameters, teach}) {
        t->setItemDelegate(new NumberDelegate(t));
        // Tab leaves the table unless a cell is open; then it goes to the next cell's editor.
        t->setTabKeyNavigation(false);
        t->installEventFilter(leave);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
        t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
        t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    // Their own letters: the page's and the commands' are taken.
    tables->addTab(parameters, QString());
    // The teach rows with what teaches them from evidence beneath.
    auto* teachPage = new QWidget(tables);
    auto* teachLayout = new QVBoxLayout(teachPage);
    teachLayout->setContentsMargins(0, 0, 0, 0);
    teach->setParent(teachPage);
    evidence = new EvidenceBar(teachPage);
    teachLayout->addWidget(teach, 1);
    teachLayout->addWidget(evidence);
    tables->addTab(teachPage, QString());
    Retranslate();
    tables->hide();
    for (QPushButton* b : {undoButton, redoButton, revertButton})
        b->hide();

    // Edit mode takes the place of the four displays and of the plain teach table.
    grid->addWidget(tables, 0, 0, 3, 4);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 4);
}

EditorView::~EditorView() = default;

void EditorView::Retranslate() {
    editButton->setText(tr("E&dit"));
    undoButton->setText(tr("Undo"));
    redoButton->setText(tr("Redo"));
    revertButton->setText(tr("Revert"));
    // Their own letters: the page's and the commands' are taken.
    tables->setTabText(0, tr("Pa&rameters"));
    tables->setTabText(1, tr("&Teach rows"));
    emit parameterModel_->headerDataChanged(Qt::Horizontal, 0, 2);
}

void EditorView::Attach(const Editor& editor, WorkingCopy& working) {
    parameterModel_->Attach(editor);
    teachModel_->Attach(editor);
    working.AddView([this](const WorkingCopyChange& change) {
        parameterModel_->Changed(change.item);
        teachModel_->Changed(change.item);
    });
}

int EditorView::ParameterOfRow(int row) const {
    for (std::size_t k = 0; k < rowOfParameter_.size(); ++k) {
        if (rowOfParameter_[k] == row) return static_cast<int>(k);
    }
    return -1;
}

}  // namespace qelto::gui
