// Two text displays of the data panel that change while live data runs, drawn for less than
// the general widgets they look like: NumberDisplay (a read-only field with one number) and
// StatusLine (one line of text, cut with "…" where it does not fit).
#pragma once

#include <QFrame>
#include <QLineEdit>
#include <QPixmap>

namespace qelto::gui {

// A read-only QLineEdit whose frame is drawn once per size and look, not at every new value:
// the style's rounded, antialiased frame costs several times the text. While it has the
// keyboard or a selection it is drawn as any line edit.
class NumberDisplay : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap frame_;
    qint64 frameKey_ = 0;
};

// One line of text in a sunken frame. A new text repaints the line and nothing else: unlike a
// QLabel it never asks its layout to be worked out again.
class StatusLine : public QFrame {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget* parent = nullptr);
    void setText(const QString& text);
    // The whole text, and what is shown of it now.
    const QString& fullText() const { return text_; }
    QString shownText() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QPixmap frame_;  // the frame as the style draws it, for this size and look
    qint64 frameKey_ = 0;
};

}  // namespace qelto::gui
