// The link as the operator should see it at a glance, always: the line of the link
// supervisor's phase (not connected yet, connecting, connected, offline with why, lost with when
// and the first cause, the attempts to connect it again) and the Reconnect button beside it.
// No command has to remember to update it.
#pragma once

#include <string>

#include "app/operator_interface.hpp"
#include "link/event_loop.hpp"
#include "sensor/link_supervisor.hpp"

namespace qelto {

class SensorSession;
struct LinkDescription;

inline constexpr const char* kLinkNeverConnected = "Not connected yet";

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

    const std::string& text() const { return text_; }
    void LinkChanged(const LinkSupervisor& link) override;

  private:
    std::string Text(const LinkSupervisor& link);

    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& session_;
    std::string text_;
};

}  // namespace qelto
