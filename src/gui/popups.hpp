// The modal popups of the window: how they are run, the message with one OK button, and the
// message with up to three labelled buttons and an optional one-line input.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <vector>

#include "app/operator_interface.hpp"

class QLineEdit;
class QPushButton;
class QString;

namespace qelto::gui {

// Runs the program's popups over its window. They are modal for the operator, but not in Qt's
// way: Qt drops a close request from the window manager to a window under a modal dialog,
// without a word, and the program must carry that request out. So while a popup runs, the
// guard itself keeps every input away from the window and from the popups beneath (a click
// there brings the newest popup forward), and the close request reaches the window.
class PopupGuard : public QObject {
  public:
    explicit PopupGuard(QWidget& window) : window_(window) {}
    QWidget& window() const { return window_; }
    // Shows the dialog and waits for it (QDialog::exec); its result.
    int Run(QDialog& dialog);
    // A popup is open.
    bool active() const { return !open_.empty(); }
    // Brings the newest popup forward.
    void Raise();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Blocked(QObject* target) const;
    QWidget& window_;
    std::vector<QPointer<QDialog>> open_;
};

// Shows a message with one OK button (Enter and Escape close it) and waits for it. A short
// message is the platform's message box; one taller than the screen scrolls inside a box that
// fits the screen, its text the same and as selectable.
void ShowMessage(PopupGuard& guard, const QString& title, const QString& text);

class GenericPopup : public QDialog {
    Q_OBJECT
  public:
    GenericPopup(const GenericPopupRequest& request, QWidget* parent);
    // Runs the dialog; the button pressed (1..3) and the typed text.
    GenericPopupResult Ask(PopupGuard& guard);
    QPushButton* button(int number) const { return buttons_[static_cast<std::size_t>(number - 1)]; }
    QLineEdit* input() const { return input_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

  private:
    void Press(int number);
    GenericPopupRequest request_;
    std::array<QPushButton*, 3> buttons_{};
    QLineEdit* input_ = nullptr;
    int pressed_ = 0;
};

}  // namespace qelto::gui
