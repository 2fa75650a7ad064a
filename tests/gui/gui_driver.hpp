// Driving the real window offscreen: waiting while the event loop runs, answering the modal
// popups the program shows, and finding its widgets by control role.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qelto::gui::testing {

// Runs the event loop for `ms` milliseconds (callbacks, sockets and timers go on).
inline void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// What a modal popup showed.
struct SeenPopup {
    std::string title;
    std::string text;
};

inline std::string PopupText(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return box->text().toStdString();
    std::string text;
    for (QLabel* l : modal->findChildren<QLabel*>())
        text += l->text().toStdString();
    return text;
}

// Clicks the button labelled `label` (with or without its mnemonic) in a modal popup.
inline bool ClickButton(QWidget* modal, const QString& label) {
    for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
        if (b->text().remove(QLatin1Char('&')).compare(label, Qt::CaseInsensitive) == 0) {
            b->click();
            return true;
        }
    }
    return false;
}

// Types `name` into a file dialog and confirms, once the dialog has settled (its folder loads
// in the background and selects the default name again).
inline void ChooseFile(QWidget* modal, const QString& name) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return;
    QTimer::singleShot(200, dialog, [dialog, name] {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit != nullptr) edit->setText(name);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// Answers modal popups as they appear, in order: each answer gets the popup and acts on it
// (clicks a button, types, grabs it). Every popup seen is recorded; one without an answer
// left is closed with its Escape binding, or its first button when it has none, so that a
// test never hangs on a question it did not expect.
class PopupAnswerer : public QObject {
  public:
    using Answer = std::function<void(QWidget*)>;
    PopupAnswerer() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }
    void Then(Answer a) { answers_.push_back(std::move(a)); }
    void ThenClick(const char* label) {
        Then([label](QWidget* w) { ClickButton(w, QString::fromUtf8(label)); });
    }
    std::vector<SeenPopup> seen;
    std::size_t pending() const { return answers_.size(); }

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == handled_ || !modal->isVisible()) return;
        handled_ = modal;
        seen.push_back({modal->windowTitle().toStdString(), PopupText(modal)});
        if (answers_.empty()) {
            // Unexpected: get out of the way (Escape, or the dialog's own rejection).
            if (auto* d = qobject_cast<QDialog*>(modal)) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(d, &esc);
                if (d->isVisible()) {
                    const auto buttons = d->findChildren<QAbstractButton*>();
                    if (!buttons.isEmpty()) buttons.front()->click();
                }
            }
            return;
        }
        Answer a = std::move(answers_.front());
        answers_.pop_front();
        a(modal);
    }
    QTimer timer_;
    std::deque<Answer> answers_;
    QPointer<QWidget> handled_;
};

}  // namespace qelto::gui::testing
