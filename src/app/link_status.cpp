#include "app/link_status.hpp"

#include "app/local_time.hpp"
#include "app/operation_state.hpp"
#include "sensor/connect.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {
namespace {

std::string WithReason(const SensorError& e) {
    std::string text = OneLine(e.message);
    if (!e.reason.empty()) text += " (" + e.reason + ")";
    return text;
}

// "TCP/IP 192.168.0.7:5000", "RS-232 COM3 at 115200 baud": short enough for the status line.
std::string Where(const LinkDescription& link) {
    if (link.kind == LinkDescription::Kind::Tcp) {
        return "TCP/IP " + link.host + ":" + std::to_string(link.tcpPort);
    }
    return link.Describe();
}

std::string Where(const SensorSession& session) {
    return Where(LinkDescription::From(session.settings()));
}

}  // namespace

std::string LinkInForce(const SensorSession& sensor, const LinkDescription& page) {
    if (sensor.connected()) return Where(sensor);
    return "not connected (set: " + Where(page) + ")";
}

std::string SensorOnLink(const SensorSession& sensor) {
    if (!sensor.connected() || sensor.identity().firmware.empty()) return "not identified";
    return SensorLine(sensor.identity());
}

LinkStatus::LinkStatus(OperatorInterface& ui, EventLoop& loop, const SensorSession& session)
    : ui_(ui), loop_(loop), session_(session), text_(kLinkNeverConnected) {
    ui_.SetCtrlText(Ctrl::LinkState, text_);
    ui_.SetTooltip(Ctrl::LinkState, text_);
    ui_.SetVisible(Ctrl::ReconnectButton, false);
}

std::string LinkStatus::Text(const LinkSupervisor& link) {
    const std::string cause = link.cause() ? WithReason(*link.cause()) : std::string();
    // What kind of failure it was comes first, in words (an open failure's text says it);
    // the program's text follows.
    const std::string kind = link.cause() && link.cause()->kind != SensorFault::OpenFailed
                                 ? std::string(" (") + FailureWords(*link.cause()) + ")"
                                 : std::string();
    switch (link.phase()) {
        case LinkPhase::NeverConnected:
            return kLinkNeverConnected;
        case LinkPhase::Connecting:
            return "Connecting: " + Where(session_);
        case LinkPhase::Connected: {
            const SensorIdentity& id = session_.identity();
            std::string text = "Connected: " + Where(session_) + " \xE2\x80\x94 " +
                               id.firmwareLine() + ", serial " + std::to_string(id.serialNumber);
            // A reply that came broken or refused leaves the link as it is, and is said.
            if (const auto& last = link.lastFailure()) {
                text += "; " + std::string(FailureWords(*last)) + " at " +
                        LocalTimeText("%H:%M:%S", link.lastFailureClock()) + ": " +
                        WithReason(*last);
            }
            return text;
        }
        case LinkPhase::Offline:
            return cause.empty() ? "Offline" : "Offline" + kind + ": " + cause;
        case LinkPhase::Lost:
            break;
    }
    const std::string at = "Link lost at " + LocalTimeText("%H:%M:%S", link.lostClock()) + kind;
    if (!link.retrying()) return at + ": " + cause;
    // What is going on first, where the line is short: the cause follows.
    const auto seconds = static_cast<long long>(loop_.Timer() - link.lostAt() + 0.5);
    const int attempts = link.attempts();
    return at + ", reconnecting (" +
           (attempts == 0 ? std::string("first attempt in 2 s")
                          : "attempt " + std::to_string(attempts)) +
           ", " + std::to_string(seconds) + " s): " + cause;
}

void LinkStatus::LinkChanged(const LinkSupervisor& link) {
    text_ = Text(link);
    ui_.SetCtrlText(Ctrl::LinkState, text_);
    ui_.SetTooltip(Ctrl::LinkState, text_);  // whole, where the line is too short
    // Reconnect beside the line: while the link is lost, or offline after a failure.
    ui_.SetVisible(Ctrl::ReconnectButton,
                   link.phase() == LinkPhase::Lost ||
                       (link.phase() == LinkPhase::Offline && link.cause().has_value()));
}

}  // namespace qelto
