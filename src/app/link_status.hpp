// The link as the operator should see it at a glance, always, derived from what the session
// tells: not connected yet, connecting, connected (how, to which sensor), offline (with why,
// after a failed attempt) or lost (when, and the first cause, until the link answers again);
// and whether the live values on display are current. No command has to remember to update it.
#pragma once

#include <string>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "link/link_context.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class SensorSession;

inline constexpr const char* kLinkNeverConnected = "Not connected yet";

// For what is saved about the link (the link monitor's text): the link in force
// ("TCP/IP 127.0.0.1:5000", or "not connected" with the settings on the page) and the sensor
// identified on it (firmware, name, serial number; "not identified").
std::string LinkInForce(const SensorSession& sensor, const ConnectionSettings& page);
std::string SensorOnLink(const SensorSession& sensor);

class LinkStatus : public SessionObserver {
  public:
    LinkStatus(OperatorInterface& ui, const SensorSession& session);
    LinkStatus(const LinkStatus&) = delete;
    LinkStatus& operator=(const LinkStatus&) = delete;

    LinkView view() const { return view_; }
    const std::string& text() const { return text_; }
    // The live values on display are older than the last failure.
    bool liveOld() const { return liveOld_; }

    void SessionChanged(const SessionEvent& event) override;
    void SetWaitCursor(bool busy) override { ui_.SetWaitCursor(busy); }

    // Acquisition ended without a failure: the values on display are kept, not greyed.
    void LiveEnded();

    // While the link is lost and attempts are made to connect it again: the line keeps the
    // loss and its first cause and counts the attempts and the time lost. What the attempts
    // themselves bring (a port that does not open yet) does not change it; the link answering
    // again does. StopRetrying goes back to the loss alone.
    void ShowRetrying(int attempts, double secondsLost);
    void StopRetrying();
    bool retrying() const { return retrying_; }

  private:
    void Show(LinkView view, std::string text);
    // The Reconnect button beside the line: while the link is lost, or offline after a failure.
    void ShowReconnect();
    void Failure(const SensorError& error);
    std::string ConnectedText() const;

    OperatorInterface& ui_;
    const SensorSession& session_;
    LinkView view_ = LinkView::NeverConnected;
    std::string text_;
    bool liveOld_ = false;
    bool failedSinceAnswer_ = false;  // the status display says so
    bool retrying_ = false;
    bool offlineWithCause_ = false;
    std::string lostText_;
    std::string lostAt_;     // the time of day of the loss
    std::string lostCause_;  // its first cause, with the reason
};

}  // namespace qelto
