#include "editor_view.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <algorithm>

#include "protocol/records.hpp"

namespace qelto::gui {
namespace {

constexpr int kTeachRowsShown = 32;  // the rows the sensor holds

// Typed values are whole numbers: a cell takes digits only, and the program refuses what lies
// outside 0..65535.
class NumberDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* line = new QLineEdit(parent);
        line->setValidator(new QIntValidator(0, 999999, line));
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return line;
    }
};

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTableWidgetItem* ValueItem() {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    return item;
}

}  // namespace

EditorView::EditorView(QWidget* page, QGridLayout* grid) : QObject(page) {
    editButton = new QPushButton(tr("E&dit"), page);
    editButton->setCheckable(true);
    undoButton = new QPushButton(tr("Undo"), page);
    redoButton = new QPushButton(tr("Redo"), page);
    revertButton = new QPushButton(tr("Revert"), page);
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
    tables = new QTabWidget(page);
    tables->setDocumentMode(true);
    parameters = new QTableWidget(static_cast<int>(kParamCount), 3, tables);
    parameters->setHorizontalHeaderLabels({tr("Value"), tr("Group"), tr("Meaning")});
    QStringList keys;
    for (int row = 0; row < static_cast<int>(kParamCount); ++row) {
        const int k = order[static_cast<std::size_t>(row)];
        const ParamField& f = kParamFields[static_cast<std::size_t>(k)];
        rowOfParameter_[static_cast<std::size_t>(k)] = row;
        keys << QString::fromLatin1(f.key);
        parameters->setItem(row, 0, ValueItem());
        parameters->setItem(row, 1, ReadOnlyItem(QString::fromLatin1(ParamGroupName(f.group))));
        auto* meaning = ReadOnlyItem(QString::fromUtf8(f.meaning));
        meaning->setToolTip(meaning->text());
        parameters->setItem(row, 2, meaning);
    }
    parameters->setVerticalHeaderLabels(keys);
    parameters->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    parameters->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    parameters->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);

    teach = new QTableWidget(kTeachRowsShown, static_cast<int>(kTeachWordCount), tables);
    QStringList words;
    for (const TeachWord& w : kTeachWords)
        words << QString::fromLatin1(w.key);
    teach->setHorizontalHeaderLabels(words);
    QStringList rows;
    for (int r = 0; r < kTeachRowsShown; ++r) {
        rows << QString::number(r);  // the colour number, as C-No counts
        for (int w = 0; w < static_cast<int>(kTeachWordCount); ++w)
            teach->setItem(r, w, ValueItem());
    }
    teach->setVerticalHeaderLabels(rows);
    teach->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    for (QTableWidget* t : {parameters, teach}) {
        t->setItemDelegate(new NumberDelegate(t));
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
        t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
        t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    tables->addTab(parameters, tr("Parameters"));
    tables->addTab(teach, tr("Teach rows"));
    tables->hide();
    for (QPushButton* b : {undoButton, redoButton, revertButton})
        b->hide();

    // Edit mode takes the place of the four displays and of the plain teach table.
    grid->addWidget(tables, 0, 0, 3, 4);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, 4);
}

int EditorView::ParameterOfRow(int row) const {
    for (std::size_t k = 0; k < rowOfParameter_.size(); ++k) {
        if (rowOfParameter_[k] == row) return static_cast<int>(k);
    }
    return -1;
}

}  // namespace qelto::gui
