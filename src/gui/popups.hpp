// The modal popups of the window: the message with one OK button, and the message with up to
// three labelled buttons and an optional one-line input.
#pragma once

#include <QDialog>
#include <array>

#include "app/operator_interface.hpp"

class QLineEdit;
class QPushButton;
class QString;

namespace qelto::gui {

// Shows a message with one OK button (Enter and Escape close it) and waits for it. A short
// message is the platform's message box; one taller than the screen scrolls inside a box that
// fits the screen, its text the same and as selectable.
void ShowMessage(QWidget* parent, const QString& title, const QString& text);

class GenericPopup : public QDialog {
    Q_OBJECT
  public:
    GenericPopup(const GenericPopupRequest& request, QWidget* parent);
    // Runs the dialog; the button pressed (1..3) and the typed text.
    GenericPopupResult Ask();
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
