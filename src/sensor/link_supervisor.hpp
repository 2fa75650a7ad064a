// The one owner of the link's state: whether a link was ever connected, is being opened, is
// connected to an identified sensor, is offline or was lost; the first cause of a loss and when
// it happened; the sensor expected back; and the quiet attempts to connect it again. It follows
// the session's events, and every front end (the window's link line and Reconnect, qelto-cli's
// --reconnect, Python's reconnect=True) reads it instead of keeping a copy of its own.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "link/event_loop.hpp"
#include "sensor/connect.hpp"
#include "sensor/identity.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class SensorSession;

enum class LinkPhase {
    NeverConnected,  // no link has been opened yet
    Connecting,      // a link is being opened, its sensor not identified yet
    Connected,       // an identified sensor answers on it
    Offline,         // closed by the program, or an attempt failed before a sensor answered
    Lost,            // it went away or fell silent while connected (the server's close, no
                     // reply in time); a reply that came broken or refused is no loss
};

// The same sensor: a supported firmware, its line, the name and the serial number alike.
bool SameSensor(const SensorIdentity& a, const SensorIdentity& b);

inline constexpr double kRetryInterval = 2.0;  // seconds between two quiet attempts

class LinkSupervisor;

class LinkObserver {
  public:
    virtual ~LinkObserver() = default;
    // The phase changed, or (while lost) the retrying did: started, an attempt made, stopped.
    virtual void LinkChanged(const LinkSupervisor& link) = 0;
};

class LinkSupervisor : private SessionObserver {
  public:
    LinkSupervisor(SensorSession& session, EventLoop& loop);
    ~LinkSupervisor() override;
    LinkSupervisor(const LinkSupervisor&) = delete;
    LinkSupervisor& operator=(const LinkSupervisor&) = delete;

    // Observers are told in any order; none depends on another having been told.
    void AddObserver(LinkObserver* observer);
    void RemoveObserver(LinkObserver* observer);

    LinkPhase phase() const { return phase_; }
    // An identified sensor answers on an open link.
    bool usable() const;
    // While lost: the first cause of the loss. While offline after a failure: that failure.
    const std::optional<SensorError>& cause() const { return cause_; }
    std::optional<FailureKind> causeKind() const;
    // While connected: the last reply that came broken, answered another request or was
    // refused, and when (wall clock). The sensor is still there, so it is no loss; it is kept
    // until the next connection.
    const std::optional<SensorError>& lastFailure() const { return lastFailure_; }
    std::chrono::system_clock::time_point lastFailureClock() const { return lastFailureClock_; }
    // A loss not yet made good (also while offline after a failed manual attempt): when it
    // happened, on the loop's clock and the wall clock.
    bool lossPending() const { return lostAt_.has_value(); }
    double lostAt() const { return lostAt_.value_or(0.0); }
    std::chrono::system_clock::time_point lostClock() const { return lostClock_; }

    // The sensor expected back: the one last identified on a link.
    const SensorIdentity& expected() const { return expected_; }
    // Whether the sensor identified on the present link is the one identified before it, and
    // whether it came back after a loss (then after how many seconds).
    bool sameSensorAgain() const { return sameAgain_; }
    bool backAfterLoss() const { return gap_.has_value(); }
    double gap() const { return gap_.value_or(0.0); }
    // What the sensor that was lost held when the link went (its configuration as last read
    // or written and taken), to compare with what it holds when it is back; none when that
    // was not known, or no loss is to be made good.
    const std::optional<Configuration>& heldAtLoss() const { return heldAtLoss_; }

    // --- The quiet attempts while the link is lost, every kRetryInterval seconds on the
    // front end's own timer or loop.
    void SetAutomatic(bool on);
    bool automatic() const { return automatic_; }
    bool retrying() const { return automatic_ && phase_ == LinkPhase::Lost; }
    int attempts() const { return attempts_; }
    // When the next attempt is due, on the loop's clock.
    double nextAttemptAt() const { return nextAttempt_; }
    enum class Attempt { Failed, SameSensor, OtherSensor };
    // One attempt with the link that was lost: nothing said or asked, nothing written, and only
    // the sensor expected back is taken (its configuration read as `options` say). Another
    // sensor ends the loss: the link is closed and the phase is offline.
    Attempt TryAgain(ConnectOptions options);
    // The sensor that answered the last attempt instead of the one expected back.
    const SensorIdentity& otherSensor() const { return other_; }

  private:
    void SessionChanged(const SessionEvent& event) override;
    void Failure(const SensorError& error);
    void Identified();
    void Set(LinkPhase phase);
    void Tell();

    SensorSession& session_;
    EventLoop& loop_;
    std::vector<LinkObserver*> observers_;
    LinkPhase phase_ = LinkPhase::NeverConnected;
    std::optional<SensorError> cause_;
    std::optional<SensorError> lastFailure_;
    std::chrono::system_clock::time_point lastFailureClock_;
    std::optional<double> lostAt_;
    std::chrono::system_clock::time_point lostClock_;
    SensorIdentity expected_;
    SensorIdentity other_;
    std::optional<Configuration> heldAtLoss_;
    bool sameAgain_ = false;
    std::optional<double> gap_;
    bool automatic_ = false;
    bool attempting_ = false;  // an attempt of ours runs: what the session tells is its own
    int attempts_ = 0;
    double nextAttempt_ = 0.0;
};

}  // namespace qelto
