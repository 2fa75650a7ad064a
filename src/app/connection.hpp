// The connection page and what it starts: turning the connection settings into an identified
// sensor, or into the operator's choice between closing the program and working offline;
// going offline; the port list; the remembered servers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/operation_state.hpp"
#include "link/ports.hpp"
#include "sensor/link_supervisor.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

class PortEnumerator;
class Transfer;
class WorkingCopy;
struct Settings;

inline constexpr const char* kStatusNoSensor = kMsgNotConnected;
inline constexpr const char* kInfoNoSensor = "NO SENSOR CONNECTED!\n\n";
// The status line after a connection whose sensor answered but whose parameters could not be
// read (or the defaults not written).
inline constexpr const char* kStatusSensorNotRead =
    "The sensor answers, but its parameters could not be read: Connect tries again, "
    "Disconnect works offline.";
inline constexpr int kAnswerClose = 1;
inline constexpr int kAnswerOffline = 2;

inline constexpr int kMaxRecentServers = 10;
inline constexpr int kLocateComCapacity = 255;
inline constexpr const char* kInfoPortListHeading = "Following COM PORTS are available:\n";

class Connection {
  public:
    Connection(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, LinkSupervisor& link,
               PortEnumerator& ports, PresenterState& state, Feedback& feedback, Settings& settings,
               WorkingCopy& working, Transfer& transfer);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // One connection attempt with the settings on the connection page: open, identify, the
    // question about default parameters, then the sensor's configuration into the working
    // copy. `reconnecting`: the sensor that was connected before, back after a loss, is not
    // asked about default parameters, and what it holds is read from its RAM alone, the
    // working copy kept as it is. Done once the sensor is identified and its configuration
    // read.
    Outcome TryToConnect(bool reconnecting = false);
    // The link supervisor's attempt while the link is lost: nothing shown or asked on the way,
    // nothing written, and only the sensor that was connected is taken (what it holds read
    // from its RAM, the working copy kept).
    LinkSupervisor::Attempt TryAgainQuietly();
    // Closes the link and leaves the program working on files only.
    void Disconnect();
    // CLOSE (also Enter and Escape) ends the program (Quit); OFFLINE disconnects (Failed).
    Outcome AskCloseOrOffline(std::string_view message);

    // Reads the protocol selector into Protocol and shows the controls of that link kind.
    void InitConnectPanel();
    // The serial ports found into the COM port selector's list (the port chosen stays).
    void ListPorts();
    // Puts `server` at the top of the server field's list: no duplicates, at most 10 entries.
    void RememberServer(std::string_view server);

    // The page's controls.
    Outcome ProtocolChanged();
    // COM port, baud rate and port number: a changed setting dims Accept.
    Outcome SettingChanged();
    Outcome ServerChanged();
    Outcome DisconnectButton();
    Outcome FindComPorts();

  private:
    class Listener;
    class QuietListener;
    // The sensor that was connected, back after a loss: what it holds now, read from its RAM so
    // that nothing in it changes, into the session alone; the working copy and its unsent edits
    // stay, and its views mark what differs. False after a failure, reported.
    bool ReadAfterReconnection();
    void ReadConnectionPage();
    void ListPorts(const std::vector<SerialPortInfo>& ports);
    // The serial port the session opened, if its link is one: the selector may show another.
    void CloseOpenSerialPort();
    // The sensor answers, but its parameters could not be read (or the defaults not written).
    Outcome SensorNotRead();
    // A failure on the way to an identified sensor: reported, then the choice.
    Outcome GiveUp(const SensorError& error);

    OperatorInterface& ui_;
    EventLoop& loop_;
    SensorSession& sensor_;
    LinkSupervisor& link_;
    PortEnumerator& ports_;
    PresenterState& state_;
    Feedback& feedback_;
    Settings& settings_;
    WorkingCopy& working_;
    Transfer& transfer_;
};

}  // namespace qelto
