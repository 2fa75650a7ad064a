// The window wired to the core: start-up, the event loop, the close path and the shutdown,
// with every control event forwarded by role to the core's callbacks.
#pragma once

#include <optional>
#include <string>

#include "link/transport.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "qt_ui.hpp"
#include "ui/context.hpp"

namespace qelto::gui {

// The image the banner shows; looked up beside the program, then in the data folder.
inline constexpr const char* kLogoFileName = "qelto-logo.png";

struct GuiStartup {
    std::string programDirectory;
    std::string userConfigDirectory;
    // A link for this run only (the demo's simulator); the stored settings keep their own.
    std::optional<ConnectionSettings> connectionOverride;
};

class GuiApp {
  public:
    GuiApp();
    ~GuiApp();
    GuiApp(const GuiApp&) = delete;
    GuiApp& operator=(const GuiApp&) = delete;

    // The whole start-up, up to and including the first connection attempt. Afterwards
    // quitRequested() tells whether the operator chose CLOSE.
    void Start(const GuiStartup& startup);
    bool quitRequested() { return ui_.QuitRequested(); }
    // Runs the event loop (unless a quit is already pending), then shuts down; the exit code.
    int Exec();
    // Closes the link and the window; runs once.
    void Shutdown();

    QtUi& ui() { return ui_; }
    Context& ctx() { return ctx_; }

  private:
    void OnControl(Ctrl c, Event e);
    void OnPanel(Event e);
    void ShowLogo();
    void PaintTeachTable();
    void ShowConnection(const ConnectionSettings& c);
    // Stores the panel settings with the stored link, not this run's override, on the page.
    void StoreSettings();

    QtEventPump pump_;
    QtUi ui_;
    QtSerialPort serial_;
    QtTcpClient tcp_;
    QtPortEnumerator ports_;
    Context ctx_;
    std::optional<ConnectionSettings> override_;
    ConnectionSettings stored_;
    bool shutDown_ = false;
};

}  // namespace qelto::gui
