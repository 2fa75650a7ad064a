// The window wired to the core: the core's start-up, the event loop, the close path and the
// shutdown, with every control event forwarded by role to the core's dispatcher.
#pragma once

#include "app/context.hpp"
#include "app/link_monitor.hpp"
#include "app/program.hpp"
#include "files/file_header.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "qt_ui.hpp"

namespace qelto::gui {

class GuiApp {
  public:
    GuiApp();
    ~GuiApp();
    GuiApp(const GuiApp&) = delete;
    GuiApp& operator=(const GuiApp&) = delete;

    // The whole start-up, up to and including the first connection attempt. Afterwards
    // quitRequested() tells whether the operator chose CLOSE.
    void Start(const StartupOptions& startup);
    bool quitRequested() { return loop_.QuitRequested(); }
    // Runs the event loop (unless a quit is already pending), then shuts down; the exit code.
    int Exec();
    // Closes the link and the window; runs once.
    void Shutdown();

    QtUi& ui() { return ui_; }
    WindowLoop& loop() { return loop_; }
    Context& ctx() { return ctx_; }

  private:
    // The local time of day in milliseconds, cheap enough for every frame on the wire.
    std::int64_t LocalTimeMs();
    // The recording's sampling and the recent parameter files, kept from run to run.
    QString WindowSettingsPath() const;
    void LoadWindowSettings();
    void StoreWindowSettings();

    QtEventPump pump_;
    WindowLoop loop_{pump_};
    QtUi ui_{loop_};
    QtSerialPort serial_;
    QtTcpClient tcp_;
    QtPortEnumerator ports_;
    SensorSession sensor_{loop_, serial_, tcp_};
    Context ctx_;
    LinkMonitor monitor_;
    std::int64_t utcOffsetMs_ = 0;
    std::int64_t offsetCheckedMs_ = -1;
    bool shutDown_ = false;
};

}  // namespace qelto::gui
