#include "popups.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qelto::gui {

GenericPopup::GenericPopup(const GenericPopupSpec& spec, QWidget* parent)
    : QDialog(parent), spec_(spec) {
    setWindowTitle(QString::fromStdString(spec.title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString::fromStdString(spec.message), this);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    if (spec.withInput) {
        input_ = new QLineEdit(this);
        if (spec.maxInputLength > 0) input_->setMaxLength(spec.maxInputLength);
        input_->setAccessibleName(tr("Answer"));
        text->setBuddy(input_);
        layout->addWidget(input_);
    }
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        const std::string& label = spec.buttons[static_cast<std::size_t>(i)];
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
    } else if (spec.enterButton >= 1 && spec.enterButton <= 3 && button(spec.enterButton)) {
        button(spec.enterButton)->setFocus();
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
            Press(spec_.enterButton);
            event->accept();
            return;
        case Qt::Key_Escape:
            Press(spec_.escapeButton);
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void GenericPopup::reject() {
    // The window's close button counts as Escape; without an Escape button the question stays.
    Press(spec_.escapeButton);
}

}  // namespace qelto::gui
