#include "popups.hpp"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace qelto::gui {
namespace {

// Room left for the window's frame and the desktop's panels around a box.
constexpr double kScreenShare = 0.9;

QRect AvailableGeometry(QWidget* parent) {
    QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

// A message too long for the screen: the text scrolls, the OK button stays in view.
class ScrollingMessage : public QDialog {
  public:
    // indent: where the message box would start the text, so both kinds read alike.
    ScrollingMessage(QWidget* parent, const QString& title, const QString& text, QSize room,
                     int indent)
        : QDialog(parent) {
        setWindowTitle(title);
        setModal(true);
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* layout = new QVBoxLayout(this);
        label->setContentsMargins(indent, 0, layout->spacing(), 0);
        auto* scroll = new QScrollArea(this);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(label);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(scroll, 1);
        layout->addWidget(buttons);
        const QMargins m = layout->contentsMargins();
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int width = label->sizeHint().width() + scrollBar + m.left() + m.right();
        resize(std::min(std::max(width, buttons->sizeHint().width()), room.width()), room.height());
    }
};

}  // namespace

int PopupGuard::Run(QDialog& dialog) {
    // Modal to no window of Qt's: the guard does the blocking.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.winId();
    if (QWindow* handle = dialog.windowHandle()) handle->setTransientParent(nullptr);
    if (open_.empty()) qApp->installEventFilter(this);
    open_.emplace_back(&dialog);
    const int result = dialog.exec();
    open_.pop_back();
    if (open_.empty()) qApp->removeEventFilter(this);
    return result;
}

void PopupGuard::Raise() {
    if (open_.empty() || open_.back() == nullptr) return;
    open_.back()->raise();
    open_.back()->activateWindow();
}

bool PopupGuard::Blocked(QObject* target) const {
    std::vector<const QWidget*> blocked{&window_};
    for (std::size_t i = 0; i + 1 < open_.size(); ++i)
        blocked.push_back(open_[i].data());
    if (target->isWindowType()) {
        for (const QWidget* w : blocked) {
            if (w != nullptr && w->windowHandle() == target) return true;
        }
        return false;
    }
    // A widget, or what belongs to one (a shortcut, an action).
    QObject* o = target;
    while (o != nullptr && !o->isWidgetType())
        o = o->parent();
    if (o == nullptr) return false;
    const QWidget* top = static_cast<QWidget*>(o)->window();
    return std::find(blocked.begin(), blocked.end(), top) != blocked.end();
}

bool PopupGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
        case QEvent::TabletPress:
        case QEvent::TouchBegin:
            if (!Blocked(watched)) return false;
            Raise();  // as a click on a window under a modal dialog does
            return true;
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Enter:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return Blocked(watched);
        default:
            return false;
    }
}

void ShowMessage(PopupGuard& guard, const QString& title, const QString& text) {
    QWidget* parent = &guard.window();
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    const QRect screen = AvailableGeometry(parent);
    const QSize room(static_cast<int>(screen.width() * kScreenShare),
                     static_cast<int>(screen.height() * kScreenShare));
    box.layout()->activate();
    if (box.sizeHint().height() <= room.height()) {
        guard.Run(box);
        return;
    }
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const int indent =
        label != nullptr ? std::max(0, label->x() - box.layout()->contentsMargins().left()) : 0;
    ScrollingMessage scrolling(parent, title, text, room, indent);
    guard.Run(scrolling);
}

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

GenericPopupResult GenericPopup::Ask(PopupGuard& guard) {
    guard.Run(*this);
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
