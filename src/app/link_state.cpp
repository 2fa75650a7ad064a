#include "app/link_state.hpp"

#include "app/context.hpp"
#include "app/local_time.hpp"
#include "link/transport.hpp"
#include "sensor/link_settings.hpp"

namespace qelto {
namespace {

// A message of several lines as one line.
std::string OneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c == '\n' || c == '\r') c = ' ';
        if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string WithReason(const SensorError& e) {
    std::string text = OneLine(e.message);
    if (!e.reason.empty()) text += " (" + e.reason + ")";
    return text;
}

void Show(Context& ctx, LinkView view, const std::string& text) {
    ctx.state.link = view;
    ctx.ui.SetCtrlText(Ctrl::LinkState, text);
    ctx.ui.SetTooltip(Ctrl::LinkState, text);  // whole, where the line is too short
}

// "TCP/IP 192.168.0.7:5000", "RS-232 COM3 at 115200 baud": short enough for the status line.
std::string Where(const ConnectionSettings& c) {
    if (c.Protocol == kTcpIp) {
        return "TCP/IP " + std::string(TextOf(c.IpAddress)) + ":" +
               std::string(TextOf(c.PortNumber));
    }
    return DescribeConnection(c);
}

}  // namespace

void LinkConnecting(Context& ctx) {
    Show(ctx, LinkView::Connecting, "Connecting: " + Where(ctx.settings.conn));
}

void LinkConnected(Context& ctx) {
    const SensorIdentity& id = ctx.sensor.identity();
    Show(ctx, LinkView::Connected,
         "Connected: " + Where(ctx.sensor.settings()) + " \xE2\x80\x94 " + id.firmwareLine() +
             ", serial " + std::to_string(id.serialNumber));
}

void LinkOffline(Context& ctx, const SensorError* cause) {
    Show(ctx, LinkView::Offline, cause ? "Offline: " + WithReason(*cause) : "Offline");
}

void LinkFailed(Context& ctx, const SensorError& error) {
    ctx.state.liveOld = true;
    ctx.ui.ShowLiveAge(LiveAge::Old);
    // An attempt that did not get as far as a link leaves the program offline.
    if (ctx.state.link == LinkView::Connecting && !ctx.sensor.connected()) {
        LinkOffline(ctx, &error);
        return;
    }
    if (ctx.state.link == LinkView::Offline) return;
    Show(ctx, LinkView::Lost,
         "Link lost at " + LocalTimeText("%H:%M:%S") + ": " + WithReason(error));
}

void LinkAnswered(Context& ctx) {
    if (ctx.state.link == LinkView::Lost && ctx.sensor.connected()) LinkConnected(ctx);
}

std::string LinkInForce(const Context& ctx) {
    if (ctx.sensor.connected()) return Where(ctx.sensor.settings());
    return "not connected (set: " + Where(ctx.settings.conn) + ")";
}

std::string SensorOnLink(const Context& ctx) {
    const SensorIdentity& id = ctx.sensor.identity();
    if (!ctx.sensor.connected() || id.firmware.empty()) return "not identified";
    return id.firmwareLine() + ", " + id.name + ", serial " + std::to_string(id.serialNumber);
}

void LiveValuesFresh(Context& ctx) {
    ctx.state.liveOld = false;
    ctx.ui.ShowLiveAge(LiveAge::Arriving);
}

void LiveValuesKept(Context& ctx) {
    if (!ctx.state.liveOld) ctx.ui.ShowLiveAge(LiveAge::Kept);
}

}  // namespace qelto
