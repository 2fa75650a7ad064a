#include "table_popup.hpp"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qelto::gui {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Text(const std::string& text, QWidget* parent) {
    auto* label = new QLabel(FromUtf8(text), parent);
    label->setTextFormat(Qt::PlainText);
    // The texts come with their line breaks: a label that wraps by itself asks the dialog for
    // a height it does not get, and slides over the table.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TablePopup::TablePopup(const TablePopupRequest& request, QWidget* parent) : QDialog(parent) {
    setWindowTitle(FromUtf8(request.title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    if (!request.heading.empty()) layout->addWidget(Text(request.heading, this));

    table_ = new QTableWidget(static_cast<int>(request.rows.size()),
                              static_cast<int>(request.columns.size()), this);
    table_->setAccessibleName(FromUtf8(request.title));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    QStringList headers;
    for (const std::string& c : request.columns)
        headers << FromUtf8(c);
    table_->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const TablePopupRequest::Row& row = request.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < table_->columnCount(); ++c) {
            const std::size_t i = static_cast<std::size_t>(c);
            auto* item = new QTableWidgetItem(i < row.cells.size() ? FromUtf8(row.cells[i]) : "");
            // Figures line up at the right; the verdict, the last column, reads as text.
            item->setTextAlignment(c + 1 < table_->columnCount()
                                       ? Qt::AlignRight | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
            if (row.mark != kCellPlain) {
                // A marked row is light in either theme: its text dark.
                item->setBackground(QColor::fromRgb(row.mark));
                item->setForeground(QColor(Qt::black));
            }
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    if (!request.notes.empty()) layout->addWidget(Text(request.notes, this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (!request.acceptButton.empty()) {
        accept_ = new QPushButton(FromUtf8(request.acceptButton), this);
        accept_->setAutoDefault(false);
        connect(accept_, &QPushButton::clicked, this, [this] { done(1); });
        buttons->addWidget(accept_);
    }
    close_ = new QPushButton(tr("Close"), this);
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, [this] { done(0); });
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    close_->setFocus();

    // Wide enough for every column, as tall as the rows, within the screen.
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    int width = table_->verticalHeader()->width() + 4;
    for (int c = 0; c < table_->columnCount(); ++c)
        width += table_->columnWidth(c);
    int height = table_->horizontalHeader()->height() + 4;
    for (int r = 0; r < table_->rowCount(); ++r)
        height += table_->rowHeight(r);
    // The rest of the screen is left to the heading, the notes and the buttons: the table
    // scrolls rather than push them out of the box.
    table_->setMinimumSize(std::min(width, room.width() * 8 / 10),
                           std::min(height, room.height() / 3));
}

void TablePopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        done(0);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace qelto::gui
