// Connecting to a sensor, written once for every program: the link described as a value, and
// the sequence that turns it into an identified sensor whose configuration is known (open,
// firmware, name and serial number, the defaults when the caller says yes, the read).
#pragma once

#include <optional>
#include <string>

#include "link/link_context.hpp"
#include "protocol/records.hpp"
#include "sensor/identity.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto {

// Where the sensor is: a TCP server (host name or address and port), or a serial port by its
// COM number (see protocol/com_ports) at a baud rate.
struct LinkDescription {
    enum class Kind { Serial, Tcp };
    Kind kind = Kind::Serial;
    std::string host;
    int tcpPort = 5000;
    int comPort = 1;
    int baud = 115200;

    static LinkDescription Tcp(std::string host, int port);
    static LinkDescription Serial(int comPort, int baud = 115200);
    // As the connection page and the settings file keep it (a port number text without
    // digits is port 0, a baud-rate index outside the table 115200).
    static LinkDescription From(const ConnectionSettings& settings);
    // The settings the session opens with. A baud rate outside the table is left for Connect
    // to refuse.
    ConnectionSettings Settings() const;
    // "TCP/IP 192.168.0.7 port 5000", "RS-232 COM3 (/dev/ttyS2) at 115200 baud".
    std::string Describe() const;
    // Where it is in one word, as scripts name it: "192.168.0.7:5000", "[::1]:5000",
    // "/dev/ttyUSB0" (COM3 where the number names no device).
    std::string Address() const;
    bool operator==(const LinkDescription&) const = default;
};

// The open failed because nothing listens on the server's port.
bool ConnectionRefused(const SensorError& error);

// How far a connection got.
enum class ConnectStage {
    Open,         // the link did not open
    Identify,     // the firmware, or the name and serial number, could not be read
    Unsupported,  // the firmware names a family this program does not support
    NotAccepted,  // the caller did not take this sensor (another one than it waited for)
    Defaults,     // sending the default parameters failed, or the sensor refused some
    Read,         // the configuration could not be read
    Done,         // identified, and its configuration read
};

// What the caller shows along the way, and the one question of the sequence.
class ConnectListener {
  public:
    virtual ~ConnectListener() = default;
    // A supported firmware was read: its line can be shown.
    virtual void Identified(const SensorIdentity& /*identity*/) {}
    // The name and serial number were read.
    virtual void Named(const SensorIdentity& /*identity*/) {}
    // Whether to go on with this sensor (a program waiting for one sensor in particular says
    // no to another); nothing has been written to it yet.
    virtual bool Accept(const SensorIdentity& /*identity*/) { return true; }
    // Whether to send the default parameters (and teach rows) to the sensor before reading
    // its configuration. They overwrite what it was taught: anything but a yes is a no.
    virtual bool SendDefaults() { return false; }
    // Loading the EEPROM into RAM found this many values implausible: the sensor runs on its
    // defaults for them, and the read that follows shows which.
    virtual void EepromRejected(RejectedCount /*count*/) {}
};

struct ConnectOptions {
    // Defaults are stored in the EEPROM, and the configuration is read after loading the
    // EEPROM into RAM; otherwise RAM only.
    bool throughEeprom = true;
    // Read the configuration at the end (the last step).
    bool readConfiguration = true;
};

struct ConnectResult {
    ConnectStage reached = ConnectStage::Open;
    // Why it stopped short of Done. Unsupported carries the question's text (a firmware
    // of another family), Defaults a refusal by the sensor's plausibility check as the
    // program says it.
    std::optional<SensorError> error;
    SensorIdentity identity;
    bool defaultsSent = false;
    // The send of the default parameters, when the listener said yes.
    std::optional<TransferOutcome> defaults;
    ConfigurationRead read{};  // when the configuration was read
    // The read of the configuration, step by step, when it was made.
    std::optional<TransferOutcome> get;

    bool ok() const { return reached == ConnectStage::Done; }
};

// The whole sequence on `session`, which opens the link (closing what it had open) and knows
// the sensor afterwards. A refused question writes nothing.
ConnectResult Connect(SensorSession& session, const ConnectionSettings& settings,
                      ConnectListener& listener, ConnectOptions options = {});
ConnectResult Connect(SensorSession& session, const LinkDescription& link,
                      ConnectListener& listener, ConnectOptions options = {});
// Without a listener: nothing shown, defaults never sent.
ConnectResult Connect(SensorSession& session, const LinkDescription& link,
                      ConnectOptions options = {});

}  // namespace qelto
