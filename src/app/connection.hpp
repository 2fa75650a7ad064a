// The connection page and what it starts: turning the connection settings into an identified
// sensor, or into the operator's choice between closing the program and working offline;
// going offline; the port list; the remembered servers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
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
    Connection(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, PortEnumerator& ports,
               PresenterState& state, Feedback& feedback, Settings& settings, WorkingCopy& working,
               Transfer& transfer);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // One connection attempt with the settings on the connection page: open, identify, the
    // question about default parameters, then the sensor's configuration into the working
    // copy.
    void TryToConnect();
    // Closes the link and leaves the program working on files only.
    void Disconnect();
    // CLOSE (also Enter and Escape) ends the program; OFFLINE disconnects.
    void AskCloseOrOffline(std::string_view message);

    // Reads the protocol selector into Protocol and shows the controls of that link kind.
    void InitConnectPanel();
    // Puts `server` at the top of the server field's list: no duplicates, at most 10 entries.
    void RememberServer(std::string_view server);

    // The page's controls.
    Outcome ProtocolChanged();
    // COM port, baud rate and port number: a changed setting dims Accept.
    Outcome SettingChanged();
    Outcome ServerChanged();
    Outcome Connect();
    Outcome DisconnectButton();
    Outcome FindComPorts();

  private:
    class Listener;
    void ReadConnectionPage();
    // The serial port the session opened, if its link is one: the selector may show another.
    void CloseOpenSerialPort();
    // The sensor answers, but its parameters could not be read (or the defaults not written).
    void SensorNotRead();
    // A failure on the way to an identified sensor: reported, then the choice.
    void GiveUp(const SensorError& error);

    OperatorInterface& ui_;
    EventLoop& loop_;
    SensorSession& sensor_;
    PortEnumerator& ports_;
    PresenterState& state_;
    Feedback& feedback_;
    Settings& settings_;
    WorkingCopy& working_;
    Transfer& transfer_;
};

}  // namespace qelto
