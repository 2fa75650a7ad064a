#include "app/link_status.hpp"

#include <cstdio>

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

constexpr const char* kLinkConnecting = Tr("Connecting: %1");
// Where, the firmware, the serial number.
constexpr const char* kLinkConnected = Tr("Connected: %1 \u2014 %2, serial %3");
// The line above, the kind of failure, the time of day.
constexpr const char* kLinkFailedAt = Tr("%1; %2 at %3");
constexpr const char* kLinkOffline = Tr("Offline");
constexpr const char* kLinkOfflineBecause = Tr("Offline \u2014 %1");
// " (the kind of failure)" or nothing, then the program's text with the reason.
constexpr const char* kLinkOfflineTip = Tr("Offline%1: %2");
// For how long (0:12), the kind of failure.
constexpr const char* kLinkLost = Tr("Lost %1 \u2014 %2");
// The time of day, " (the kind of failure)", the program's text with the reason.
constexpr const char* kLinkLostTip = Tr("Link lost at %1%2: %3");
constexpr const char* kLinkFirstAttempt = Tr("; reconnecting, first attempt in 2 s");
constexpr const char* kLinkAttempt = Tr("; reconnecting, attempt %1");

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
    ui_.SetCtrlText(Ctrl::LinkState, ui_.Translate(kLinkNeverConnected));
    ui_.SetTooltip(Ctrl::LinkState, ui_.Translate(kLinkNeverConnected));
    ui_.SetVisible(Ctrl::ReconnectButton, false);
}

// "0:07", "12:34", "1:02:03": how long the link has been lost.
static std::string Elapsed(double seconds) {
    const auto s = static_cast<long long>(seconds < 0 ? 0 : seconds);
    char text[32];
    if (s < 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    }
    return text;
}

LinkStatus::Shown LinkStatus::Text(const LinkSupervisor& link) {
    const auto tr = [this](const char* english) { return ui_.Translate(english); };
    const std::string cause = link.cause() ? WithReason(*link.cause()) : std::string();
    // The kind of failure in a few words: the line has room for them, the tooltip for the
    // program's text and the reason as well.
    const std::string words = link.cause() ? tr(FailureWords(*link.cause())) : std::string();
    // What kind of failure it was comes first, in words (an open failure's text says it);
    // the program's text follows.
    const std::string kind = link.cause() && link.cause()->kind != SensorFault::OpenFailed
                                 ? " (" + words + ")"
                                 : std::string();
    switch (link.phase()) {
        case LinkPhase::NeverConnected: {
            const std::string line = tr(kLinkNeverConnected);
            return {line, line};
        }
        case LinkPhase::Connecting: {
            const std::string line = Fill(tr(kLinkConnecting), {Where(session_)});
            return {line, line};
        }
        case LinkPhase::Connected: {
            const SensorIdentity& id = session_.identity();
            const std::string line = Fill(tr(kLinkConnected), {Where(session_), id.firmwareLine(),
                                                               std::to_string(id.serialNumber)});
            // A reply that came broken or refused leaves the link as it is, and is said.
            const auto& last = link.lastFailure();
            if (!last) return {line, line};
            const std::string failed =
                Fill(tr(kLinkFailedAt), {line, tr(FailureWords(*last)),
                                         LocalTimeText("%H:%M:%S", link.lastFailureClock())});
            return {failed, failed + ": " + WithReason(*last)};
        }
        case LinkPhase::Offline:
            if (cause.empty()) return {tr(kLinkOffline), tr(kLinkOffline)};
            return {Fill(tr(kLinkOfflineBecause), {words}),
                    Fill(tr(kLinkOfflineTip), {kind, cause})};
        case LinkPhase::Lost:
            break;
    }
    // The short state and how long it lasts, where the line is short; the whole in the tooltip.
    std::string line = Fill(tr(kLinkLost), {Elapsed(loop_.Timer() - link.lostAt()), words});
    std::string tip =
        Fill(tr(kLinkLostTip), {LocalTimeText("%H:%M:%S", link.lostClock()), kind, cause});
    if (link.retrying()) {
        const int attempts = link.attempts();
        const std::string retry = attempts == 0
                                      ? tr(kLinkFirstAttempt)
                                      : Fill(tr(kLinkAttempt), {std::to_string(attempts)});
        line += retry;
        tip += retry;
    }
    return {line, tip};
}

void LinkStatus::LinkChanged(const LinkSupervisor& link) {
    const Shown shown = Text(link);
    text_ = shown.line;
    ui_.SetCtrlText(Ctrl::LinkState, shown.line);
    ui_.SetTooltip(Ctrl::LinkState, shown.tooltip);
    // Reconnect beside the line: while the link is lost, or offline after a failure.
    ui_.SetVisible(Ctrl::ReconnectButton,
                   link.phase() == LinkPhase::Lost ||
                       (link.phase() == LinkPhase::Offline && link.cause().has_value()));
}

}  // namespace qelto
