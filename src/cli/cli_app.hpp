// qelto-cli's commands, each on the sensor session directly: connect and identify as the
// window does at start-up, then read, write, stream or measure, with the outcome turned into
// output and an exit code.
#pragma once

#include <QJsonObject>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "cli_options.hpp"
#include "console.hpp"
#include "files/live_csv.hpp"
#include "files/live_recorder.hpp"
#include "link/event_loop.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "protocol/records.hpp"
#include "sensor/failure_report.hpp"
#include "sensor/link_supervisor.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto::cli {

// The per-user settings directory is QStandardPaths::AppConfigLocation under these names, the
// same for the GUI and the command-line tool.
inline constexpr const char* kSettingsOrganization = "Qelto";
inline constexpr const char* kSettingsApplication = "Qelto";

class FleetRunner;

struct CliEnvironment {
    std::string programDirectory;     // where the executable lives
    std::string userConfigDirectory;  // AppConfigLocation
};

class CliApp : private SessionObserver {
  public:
    CliApp(CliOptions options, CliEnvironment env, std::FILE* out, std::FILE* err);
    ~CliApp() override;
    CliApp(const CliApp&) = delete;
    CliApp& operator=(const CliApp&) = delete;

    int Run();
    // Ctrl-C: a running live stream ends after the sample in progress; a fleet run starts no
    // more sensors.
    void Interrupt();
    // Whether Ctrl-C should be routed to Interrupt() now (a live stream or a fleet runs).
    bool takesInterrupt() const { return streaming_ || fleet_ != nullptr; }

  private:
    int Identify();
    int Get();
    int Send();
    int Live();
    int Record();
    int Freq();
    int Show();
    int Defaults();
    int Ports();
    int Diff();
    int Set();
    int Store();
    int Load();
    int Fleet();
    // fleet: one sensor's line, and the summary line.
    void PrintFleetResult(const FleetResult& r, std::size_t nameWidth);

    // Connects and identifies the sensor, answers the question about default parameters as
    // the command line says, and reads the sensor's configuration (through the EEPROM unless
    // --ram): what the window does at start-up. kExitOk when all of that went well.
    int Connect(bool readConfiguration = true);
    LinkDescription ChosenConnection();
    // The window's Send with the sensor: the configuration into the sensor (and its EEPROM
    // unless --ram), read back with --verify. What went wrong is said, and the outcome's line.
    TransferOutcome SendOut(const Configuration& config);
    // A transfer's outcome as the result of the command: its line on stderr, its failure noted
    // for the JSON, the exit code of its kind.
    int Conclude(const TransferOutcome& outcome);
    class ConnectReport;
    // A failure of a request, said as the window's failure report says it, and noted (with
    // the step it belongs to) for the JSON object a failure prints.
    void Fail(const SensorError& error, const char* step = "");
    void Note(FailureReport report);
    // A file that could not be written: its path, the system's errno and the message.
    void NoteFile(const std::string& path, int systemError, const std::string& message);
    // SessionObserver: the server's close between two requests is said as soon as it is known.
    void SessionChanged(const SessionEvent& event) override;
    void TraceFrame(TracedFrame kind, std::span<const std::uint8_t> frame);

    // Pre-flight checks of the files named on the command line.
    bool CheckInputFile(const std::string& path);
    bool CheckOutputFile(const std::string& path);
    // Reads a parameter file into `into` with the questions answered by --force; kExitOk
    // when it was loaded.
    int LoadParameterFile(const std::string& path, Configuration& into);
    int SaveParameterFile(const std::string& path, const Configuration& config);

    // Live samples one after the other, as fast as the link answers, each handed to `take`
    // (false: it could not, which ends the stream with kExitFile), until COUNT, the seconds,
    // Ctrl-C or a closed output; with --reconnect across a lost link. The exit code.
    int Stream(const std::function<bool(const LiveData& sample, double requestedAt)>& take);
    // After a lost link: the supervisor's quiet attempts, until the sensor that was connected
    // is back (kExitOk), another answers (kExitOtherSensor) or Ctrl-C (kExitFailure).
    int AwaitSensorBack(const SensorError& cause);
    void PrintSample(const LiveData& sample);
    // Flushes stdout; false once writing it has failed (the error is kept in outputErrno_).
    bool FlushOutput();
    void PrintParameterFile(const std::string& path, const Configuration& config);
    // --format json: the command's result as one object on one line.
    void PrintJson(const QJsonObject& result);
    // send, set, get, store, load and every failure: the fields gathered along the way, printed
    // as one object when the command ends.
    void PrintResult(int rc);

    CliOptions opt_;
    CliEnvironment env_;
    std::FILE* out_;
    Console console_;
    QtEventPump pump_;
    PumpEventLoop loop_{pump_};
    QtSerialPort serial_;
    QtTcpClient tcp_;
    QtPortEnumerator ports_;
    SensorSession sensor_{loop_, serial_, tcp_};
    LinkSupervisor supervisor_{sensor_, loop_};
    LiveRecorder recorder_;

    std::int32_t language_ = 0;             // of the question about default parameters
    Configuration config_;                  // the sensor's, as read when connecting
    std::string address_;                   // of the sensor connected, as scripts name it
    std::optional<TransferOutcome> got_;    // the read of the configuration at connect
    std::optional<FailureReport> failure_;  // the failure the command ended with
    QJsonObject result_;                    // fields of the one JSON object
    bool jsonPrinted_ = false;
    bool linkLostSaid_ = false;  // the server's close has been said
    bool streaming_ = false;
    FleetRunner* fleet_ = nullptr;  // while a fleet runs
    bool stopStream_ = false;
    double streamStart_ = 0;
    std::uint64_t samples_ = 0;
    int outputErrno_ = 0;
    QTimer flushTimer_;  // lines go out at most this late, in batches when samples come fast
};

}  // namespace qelto::cli
