// The link as the operator should see it at a glance, always: the line of the link
// supervisor's phase (not connected yet, connecting, connected, offline with why, lost for how
// long and the kind of its first cause, the attempts to connect it again), the whole in its
// tooltip, and the Reconnect button beside it.
// No command has to remember to update it.
#pragma once

#include <string>

#include "app/operator_interface.hpp"
#include "link/event_loop.hpp"
#include "sensor/link_supervisor.hpp"

namespace qelto {

class SensorSession;
struct LinkDescription;

inline constexpr const char* kLinkNeverConnected = Tr("Not connected yet");

// For what is saved about the link (the link monitor's text): the link in force
// ("TCP/IP 127.0.0.1:5000", or "not connected" with the settings on the page) and the sensor
// identified on it (firmware, name, serial number; "not identified").
std::string LinkInForce(const SensorSession& sensor, const LinkDescription& page);
std::string SensorOnLink(const SensorSession& sensor);

class LinkStatus : public LinkObserver {
  public:
    LinkStatus(OperatorInterface& ui, EventLoop& loop, const SensorSession& session);
    LinkStatus(const LinkStatus&) = delete;
    LinkStatus& operator=(const LinkStatus&) = delete;

    // The line as shown, in the operator's language.
    const std::string& text() const { return text_; }
    void LinkChanged(const LinkSupervisor& link) override;

  private:
    // The line holds the state in a word or two, with how long a loss has lasted and its kind;
    // the tooltip holds the whole: when, the program's text and the reason.
    struct Shown {
        std::string line;
        std::string tooltip;
    };
    Shown Text(const LinkSupervisor& link);

    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& session_;
    std::string text_;
};

}  // namespace qelto
