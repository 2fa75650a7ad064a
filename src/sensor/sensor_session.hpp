// The one door to the sensor: the link, one request at a time, and what the program knows of
// the sensor (who it is, its configuration as last read, the last live sample, the scan
// frequency). Every request gives back a value or a SensorError; nothing here shows anything.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/event_loop.hpp"
#include "link/link_context.hpp"
#include "link/ports.hpp"
#include "protocol/records.hpp"
#include "sensor/identity.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

// Texts of the session's own refusals (nothing was sent for them).
inline constexpr const char* kMsgSensorBusy =
    "ANOTHER REQUEST IS WAITING FOR THE SENSOR! \nTRY AGAIN WHEN IT IS DONE.";
inline constexpr const char* kMsgNotConnected = "NO SENSOR CONNECTED!";

// The scan frequency a command-105 reply stands for: N / (T x 0.01). A reply shorter than the
// two numbers, or T = 0, is a failed measurement and gives 0.
double ScanFrequencyFromReply(std::span<const std::uint8_t> data);
// The decimals a scan frequency is shown with: 0 above 1000, 2 up to 1, 1 between.
int ScanFrequencyPrecision(double value);
// A scan frequency as the window's display shows it, with those decimals: "1001" for 1000.5.
std::string FormatScanFrequency(double value);

// Rejection counts the sensor gives back: parameters it found implausible and replaced with
// its own defaults (0: all taken).
using RejectedCount = std::uint16_t;

struct ConfigurationRead {
    Configuration config;          // rows 32..63 of the teach table are zero
    RejectedCount eepromRejected;  // from loading the EEPROM first; 0 when read from RAM
};

class SensorSession : private LinkOwner {
  public:
    SensorSession(EventLoop& loop, SerialPort& serial, TcpClient& tcp);
    SensorSession(const SensorSession&) = delete;
    SensorSession& operator=(const SensorSession&) = delete;

    ~SensorSession() override;

    // Observers hear of every exchange's outcome and of the link opening and closing, in the
    // order they were added.
    void AddObserver(SessionObserver* observer);
    void RemoveObserver(SessionObserver* observer);

    // --- The link
    // Opens the link the settings describe. A serial port is closed before it opens; an open
    // TCP conversation ends before a new one starts; choosing RS-232 leaves an open TCP
    // conversation as it is (until CloseTcp). Forgets what was known of the sensor.
    Status Open(const ConnectionSettings& settings);
    // Harmless when the port is not open.
    void CloseSerialPort(int port);
    void CloseTcp();
    // Closes whatever link is open: the TCP conversation, the serial port last opened.
    void Close();
    // The link of the settings last opened with is open.
    bool connected() const;
    // The server ended the conversation, or the serial device went away (until the next
    // Open).
    bool linkLost() const { return lost_.has_value(); }
    // A sensor of a supported family answered with its name and serial number since the link
    // was opened.
    bool identified() const { return identified_; }
    bool tcpConnected() const { return link_.link.TcpConnected != 0; }
    const ConnectionSettings& settings() const { return link_.conn; }

    // --- Requests, one exchange each. While one waits for its reply, every other request is
    // refused as Busy before a byte goes out. Without an open link they are refused as
    // NotConnected, or LinkClosed (with what ended it) once the server has ended the
    // conversation or the serial device has gone away. A reply of
    // another command, or of a length the request does not read, is a failure (BadHeader,
    // BadData), never a value.
    // Command 7: the firmware text and the family it names.
    Result<SensorIdentity> ReadFirmware();
    // Command 15: the sensor's name and serial number.
    Result<SensorIdentity> ReadNameAndSerial();
    Result<RejectedCount> WriteParameters(const ParameterSet& para);
    // Rows 0..31, the ones the sensor holds.
    Result<RejectedCount> WriteTeachTable(const TeachTable& teach);
    Status StoreEeprom();
    Result<RejectedCount> LoadEeprom();
    Result<ParameterSet> ReadParameters();
    Result<TeachRows> ReadTeachRows();
    Result<LiveData> ReadLiveSample();
    // Command 105: N / (T x 0.01); a reply without the two numbers, or T = 0, is a failed
    // measurement.
    Result<double> MeasureScanFrequency();

    // --- Several requests
    // Firmware, then (for a supported family) name and serial number.
    Result<SensorIdentity> Identify();
    // Parameters and teach rows, from the EEPROM (loaded into RAM first) or from RAM.
    Result<ConfigurationRead> ReadConfiguration(bool throughEeprom);

    // --- What is known of the sensor
    const SensorIdentity& identity() const { return identity_; }
    // As last read from the sensor, or written to it and taken whole (no value refused);
    // rows 32..63 are zero (the sensor holds 32).
    const Configuration& configuration() const { return configuration_; }
    // Both blocks have been read (or written and taken) since the link was opened.
    bool knowsConfiguration() const { return paraKnown_ && teachKnown_; }
    double scanFrequency() const { return scanFrequency_; }

    bool busy() const { return waiting_; }
    // Requests that went out on the link since the session was made: a request that failed
    // and moved this count reached the sensor, or may have.
    std::uint64_t requestsSent() const { return requestsSent_; }
    // Bytes that came outside a reply (a late or doubled reply, a frame nobody asked for) and
    // were discarded, since the link was opened.
    std::uint64_t strayBytes() const { return link_.frames.StrayBytes; }
    // Waits until the line has been quiet for a short time (the link's `quiet`), discarding
    // what comes meanwhile; a request made meanwhile is Busy. The bytes discarded.
    std::size_t SettleLine();
    // The link beneath: the frame trace, the time limits, the frames of the last exchange.
    LinkContext& link() { return link_; }
    const LinkContext& link() const { return link_; }

  private:
    void ReportLinkFailure(const LinkFailure& failure) override;
    void SetWaitCursor(bool busy) override;
    // One exchange with `data` as the request's data; on success the reply, of the request's
    // command and a length `expected` takes, is in the frames.
    Status Request(int command, std::uint16_t argument, ReplyFit expected,
                   std::span<const std::uint8_t> data = {});
    std::span<const std::uint8_t> Reply() const;

    EventLoop& loop_;
    LinkContext link_;
    void Tell(const SessionEvent& event);
    // An exchange got its reply and what it brought is taken.
    void Answered(int command);
    // The link's loss that came while an exchange waited but did not end it.
    void TellLossAfterExchange();
    std::optional<SensorError> lostAfter_;

    std::vector<SessionObserver*> observers_;
    bool waiting_ = false;
    std::uint64_t requestsSent_ = 0;
    bool serialOpen_ = false;
    std::optional<SensorError> lost_;  // what ended the link: the server's close, a lost device
    bool identified_ = false;
    std::optional<SensorError> failure_;  // what the exchange in progress reported
    std::optional<SensorError> closed_;   // the link's loss, while the exchange waited

    SensorIdentity identity_;
    Configuration configuration_;
    bool paraKnown_ = false;
    bool teachKnown_ = false;
    double scanFrequency_ = 0.0;
};

}  // namespace qelto
