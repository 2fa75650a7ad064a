// What the sensor session tells the program above it as it happens: the link opening and
// closing, and the outcome of every exchange. Views that show the state of the link follow
// these instead of being told by each command.
#pragma once

#include "sensor/sensor_error.hpp"

namespace qelto {

enum class SessionEventKind {
    Opening,     // a link is being opened with the session's settings
    Opened,      // it is open; nothing is known of the sensor yet
    OpenFailed,  // it could not be opened: error
    Answered,    // an exchange got its reply: command
    Failed,      // an exchange failed on the link (no reply, a broken or foreign one, an error
                 // reply, the server's close while it waited): command, error
    Lost,        // the server ended the conversation while no exchange waited: error
    Closed,      // the program closed the link
};

struct SessionEvent {
    SessionEventKind kind = SessionEventKind::Closed;
    int command = -1;                    // Answered, Failed: the request's command
    const SensorError* error = nullptr;  // OpenFailed, Failed, Lost
};

class SessionObserver {
  public:
    virtual ~SessionObserver() = default;
    // Told at once, also from inside a wait (the server closing the conversation). An
    // observer must not make a request of its own here.
    virtual void SessionChanged(const SessionEvent& event) = 0;
    // Opening a TCP conversation can take seconds.
    virtual void SetWaitCursor(bool /*busy*/) {}
};

}  // namespace qelto
