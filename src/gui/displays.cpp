#include "displays.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtGlobal>

namespace qelto::gui {
namespace {

// What the frame's look depends on, as one number.
qint64 FrameKey(const QWidget& w) {
    return qHash(w.palette().cacheKey()) ^ (static_cast<qint64>(w.width()) << 40) ^
           (static_cast<qint64>(w.height()) << 24) ^ (w.isEnabled() ? 1 : 0) ^
           (static_cast<qint64>(w.devicePixelRatio() * 100) << 8);
}

}  // namespace

void NumberDisplay::paintEvent(QPaintEvent* event) {
    if (hasFocus() || hasSelectedText() || !isReadOnly()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    const qint64 key = FrameKey(*this);
    if (frame_.isNull() || key != frameKey_) {
        const qreal ratio = devicePixelRatio();
        frame_ = QPixmap(size() * ratio);
        frame_.setDevicePixelRatio(ratio);
        frame_.fill(Qt::transparent);
        QPainter p(&frame_);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, this);
        frameKey_ = key;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, frame_);
    // Where a line edit puts its text: inside the frame, with its own small margin.
    QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    r = r.marginsRemoved(textMargins()).adjusted(2, 0, -2, 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(r, static_cast<int>(alignment()), text());
}

StatusLine::StatusLine(QWidget* parent) : QFrame(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusLine::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

QString StatusLine::shownText() const {
    return fontMetrics().elidedText(text_, Qt::ElideRight, std::max(0, contentsRect().width() - 4));
}

QSize StatusLine::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {fontMetrics().averageCharWidth() * 40 + frame, fontMetrics().height() + 4 + frame};
}

QSize StatusLine::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void StatusLine::paintEvent(QPaintEvent*) {
    const qint64 key = FrameKey(*this);
    if (frame_.isNull() || key != frameKey_) {
        const qreal ratio = devicePixelRatio();
        frame_ = QPixmap(size() * ratio);
        frame_.setDevicePixelRatio(ratio);
        frame_.fill(Qt::transparent);
        QPainter p(&frame_);
        drawFrame(&p);
        frameKey_ = key;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, frame_);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect().adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     shownText());
}

}  // namespace qelto::gui
