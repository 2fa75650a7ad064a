// qelto-cli's commands: each one the GUI's own sequence of core operations on the console
// operator interface, with the outcome turned into output and an exit code.
#pragma once

#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/context.hpp"
#include "cli_options.hpp"
#include "console_ui.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"

namespace qelto::cli {

// The per-user settings directory is QStandardPaths::AppConfigLocation under these names, the
// same for the GUI and the command-line tool.
inline constexpr const char* kSettingsOrganization = "Qelto";
inline constexpr const char* kSettingsApplication = "Qelto";

// A transfer target other than EEPROM: every transfer then stays in the sensor's RAM.
inline constexpr std::uint16_t kTargetRamOnly = 0;

struct CliEnvironment {
    std::string programDirectory;     // where the executable lives
    std::string userConfigDirectory;  // AppConfigLocation
};

class CliApp {
  public:
    CliApp(CliOptions options, CliEnvironment env, std::FILE* out, std::FILE* err);
    ~CliApp();
    CliApp(const CliApp&) = delete;
    CliApp& operator=(const CliApp&) = delete;

    int Run();
    // Ctrl-C: a running live stream ends after the sample in progress.
    void Interrupt();
    // Whether Ctrl-C should be routed to Interrupt() now (the live stream is running).
    bool streaming() const { return streaming_; }

  private:
    int Identify();
    int Get();
    int Send();
    int Live();
    int Freq();
    int Show();
    int Defaults();
    int Ports();
    int Diff();

    // One connection attempt as at start-up; kExitOk when the sensor is identified.
    int Connect();
    void FillConnectionPage();
    void UseStoredSettings();
    std::string DescribeLink() const;
    void TraceFrame(TracedFrame kind, std::span<const std::uint8_t> frame);

    // Pre-flight checks of the files named on the command line.
    bool CheckInputFile(const std::string& path);
    bool CheckOutputFile(const std::string& path);
    // ReadParaFromFile on `target` with the questions answered by --force; kExitOk when the
    // file was loaded.
    int LoadParameterFile(Context& target, const std::string& path);
    // SendParaToFile; kExitOk when the file was written.
    int SaveParameterFile(const std::string& path);

    void PrintSample(const LiveSample& s);
    // Flushes stdout; false once writing it has failed (the error is kept in outputErrno_).
    bool FlushOutput();
    void PrintParameterFile(const std::string& path);

    CliOptions opt_;
    CliEnvironment env_;
    std::FILE* out_;
    QtEventPump pump_;
    ConsoleUi ui_;
    QtSerialPort serial_;
    QtTcpClient tcp_;
    QtPortEnumerator ports_;
    Context ctx_;

    std::uint16_t serialNumber_ = 0;  // from the reply to command 15
    int lastRequest_ = -1;
    bool firmwareRead_ = false;
    bool streaming_ = false;
    double streamStart_ = 0;
    std::uint64_t samples_ = 0;
    int outputErrno_ = 0;
    QTimer flushTimer_;  // lines go out at most this late, in batches when samples come fast
};

}  // namespace qelto::cli
