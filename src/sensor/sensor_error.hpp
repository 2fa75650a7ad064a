// What a sensor request gives back: its value, or what went wrong, by kind and with the text
// the operator is shown.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace qelto {

enum class SensorFault {
    Busy,          // another request is still waiting for its reply; nothing was sent
    NotConnected,  // no link is open; nothing was sent
    LinkClosed,    // the server has closed the conversation, or the serial device went away
    OpenFailed,    // the link could not be opened
    Timeout,       // no complete reply within the limit, or a serial line error
    BadHeader,     // a reply header that failed its check
    BadData,       // a reply's data that failed its check, or a block too short for its use
    InvalidOrder,  // the sensor does not know the command
    SensorComm,    // the sensor saw a communication error
    Quit,          // the program is quitting; there is nobody left to tell
    Unsupported,   // the firmware names a family this program does not support
    Refused,       // the sensor replaced written values with its defaults (plausibility)
};

// What kind of failure ended an exchange, as a person tells them apart.
enum class FailureKind {
    Closed,     // the link is gone or never opened: the server's close, a device removed
    Timeout,    // nothing (complete) came in time
    Corrupted,  // a reply came but failed its check, or answered another request
    Refused,    // the sensor answered with an error, or replaced values with its defaults
};
// The kind of a session's failure; nullopt for what is no failure of the link (a request made
// while another waits, the program quitting).
std::optional<FailureKind> FailureKindOf(SensorFault fault);
// "closed", "time-out", "corrupted", "refused": the kind in a person's words.
const char* FailureKindText(FailureKind kind);

struct SensorError {
    SensorFault kind = SensorFault::Timeout;
    std::string message;  // the program's own text for it
    // What a person needs beside the message: host and port or device, the system's words.
    std::string reason;
    // A line of advice that follows the message (the group to join for a serial device).
    std::string advice;
};

// A value or a SensorError. Callers test it before they take the value.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}            // NOLINT: a value converts implicitly
    Result(SensorError error) : v_(std::move(error)) {}  // NOLINT

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const {
        assert(ok());
        return std::get<0>(v_);
    }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const SensorError& error() const {
        assert(!ok());
        return std::get<1>(v_);
    }

  private:
    std::variant<T, SensorError> v_;
};

// The result of a request that brings back no value.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(SensorError error) : error_(std::move(error)) {}  // NOLINT

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    const SensorError& error() const {
        assert(!ok());
        return *error_;
    }

  private:
    std::optional<SensorError> error_;
};

using Status = Result<void>;

}  // namespace qelto
