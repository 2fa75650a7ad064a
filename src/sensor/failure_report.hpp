// A failure as every front end says it to a script, field by field: qelto-cli's JSON object and
// the attributes of the Python module's exceptions carry the same names and the same values,
// made here once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sensor/connect.hpp"
#include "sensor/identity.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto {

// The steps that are not a transfer's own.
inline constexpr const char* kStepConnect = "connect";
inline constexpr const char* kStepIdentify = "identify";
inline constexpr const char* kStepLive = "live";
inline constexpr const char* kStepScanFrequency = "scan frequency";

// What the sensor's memories may hold after a transfer.
struct MayHold {
    Holds ram = Holds::Old;
    Holds eeprom = Holds::Old;
};

struct FailureReport {
    std::string address;  // "127.0.0.1:5000", "/dev/ttyUSB0"
    std::string sensor;   // "KORVANEX V4.3B7, TAVRENO TEST, serial 4711"; "" before it is known
    std::string step;     // "connect", "identify", a TransferStep's name, "live"
    std::string kind;     // FaultName
    std::optional<FailureKind> failureKind;
    std::string message;  // the program's own text
    std::string reason;   // beside it: host and port or device, the system's words, values
    std::string advice;
    std::optional<MayHold> mayHold;  // after a transfer
    std::vector<RefusedValue> refused;

    // One line: the sensor, the step and the program's text, the reason in brackets.
    // "127.0.0.1:5000 (KORVANEX V4.3B7, SIM, serial 4711), store: TIMEOUT! NO DATA RECEIVED! ..."
    std::string Line() const;
};

// The short name scripts test for: "timeout", "closed", "bad_reply", "refused",
// "refused_connection", "open_failed", "busy", "not_connected", "unsupported",
// "unknown_command", "communication".
const char* FaultName(const SensorError& error);

// The sensor as a report names it: its line once identified, else nothing.
std::string SensorNamed(const SensorIdentity& identity);

FailureReport ReportOf(const SensorError& error, std::string step, std::string address,
                       const SensorIdentity& identity);
// The failure of a transfer (its error, or what the sensor refused), with what it may hold.
// Nothing for an outcome that is ok.
std::optional<FailureReport> ReportOf(const TransferOutcome& outcome, std::string address,
                                      const SensorIdentity& identity);
// Where a connection stopped: the step of its stage (the transfer's own for the defaults and
// the read). Nothing for one that is done.
std::optional<FailureReport> ReportOf(const ConnectResult& connection, std::string address);

}  // namespace qelto
