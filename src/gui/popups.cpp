#include "popups.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qelto::gui {

GenericPopup::GenericPopup(const GenericPopupRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle(QString::fromStdString(request.title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString::fromStdString(request.message), this);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    if (request.withInput) {
        input_ = new QLineEdit(this);
        if (request.maxInputLength > 0) input_->setMaxLength(request.maxInputLength);
        input_->setAccessibleName(tr("Answer"));
        text->setBuddy(input_);
        layout->addWidget(input_);
    }
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        const std::string& label = request.buttons[static_cast<std::size_t>(i)];
        if (label.empty()) continue;
        auto* b = new QPushButton(QString::fromStdString(label), this);
        // Enter and Escape are bound to the buttons the caller names, not to whichever
        // button has the focus.
        b->setAutoDefault(false);
        b->setDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { Press(i + 1); });
        buttons_[static_cast<std::size_t>(i)] = b;
        row->addWidget(b);
    }
    layout->addLayout(row);
    if (input_ != nullptr) {
        input_->setFocus();
    } else if (request.enterButton >= 1 && request.enterButton <= 3 &&
               button(request.enterButton)) {
        button(request.enterButton)->setFocus();
    }
}

GenericPopupResult GenericPopup::Ask() {
    exec();
    GenericPopupResult r;
    r.button = pressed_;
    if (input_ != nullptr) r.input = input_->text().toStdString();
    return r;
}

void GenericPopup::Press(int number) {
    if (number < 1 || number > 3 || button(number) == nullptr) return;
    pressed_ = number;
    accept();
}

void GenericPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Press(request_.enterButton);
            event->accept();
            return;
        case Qt::Key_Escape:
            Press(request_.escapeButton);
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void GenericPopup::reject() {
    // The window's close button counts as Escape; without an Escape button the question stays.
    Press(request_.escapeButton);
}

}  // namespace qelto::gui
