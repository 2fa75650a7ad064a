#include "window_loop.hpp"

#include <QCoreApplication>

namespace qelto::gui {

void WindowLoop::QuitUserInterface(int exitCode) {
    if (!quit_) quit_ = exitCode;
    pump_.WakeWait();
    AfterCallback();
}

void WindowLoop::LeaveCallback() {
    --depth_;
    AfterCallback();
}

void WindowLoop::AfterCallback() {
    if (depth_ == 0 && quit_ && mainLoopRunning_) QCoreApplication::exit(*quit_);
}

}  // namespace qelto::gui
