#include "app/link_status.hpp"

#include "app/local_time.hpp"
#include "link/transport.hpp"
#include "protocol/frame.hpp"
#include "sensor/link_settings.hpp"
#include "sensor/sensor_session.hpp"

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

// "TCP/IP 192.168.0.7:5000", "RS-232 COM3 at 115200 baud": short enough for the status line.
std::string Where(const ConnectionSettings& c) {
    if (c.Protocol == kTcpIp) {
        return "TCP/IP " + std::string(TextOf(c.IpAddress)) + ":" +
               std::string(TextOf(c.PortNumber));
    }
    return DescribeConnection(c);
}

}  // namespace

std::string LinkInForce(const SensorSession& sensor, const ConnectionSettings& page) {
    if (sensor.connected()) return Where(sensor.settings());
    return "not connected (set: " + Where(page) + ")";
}

std::string SensorOnLink(const SensorSession& sensor) {
    const SensorIdentity& id = sensor.identity();
    if (!sensor.connected() || id.firmware.empty()) return "not identified";
    return id.firmwareLine() + ", " + id.name + ", serial " + std::to_string(id.serialNumber);
}

LinkStatus::LinkStatus(OperatorInterface& ui, const SensorSession& session)
    : ui_(ui), session_(session) {
    Show(LinkView::NeverConnected, kLinkNeverConnected);
}

void LinkStatus::Show(LinkView view, std::string text) {
    view_ = view;
    text_ = std::move(text);
    if (view_ == LinkView::Lost) lostText_ = text_;
    offlineWithCause_ = view_ == LinkView::Offline && text_ != "Offline";
    ui_.SetCtrlText(Ctrl::LinkState, text_);
    ui_.SetTooltip(Ctrl::LinkState, text_);  // whole, where the line is too short
    ShowReconnect();
}

void LinkStatus::ShowReconnect() {
    ui_.SetVisible(Ctrl::ReconnectButton,
                   retrying_ || view_ == LinkView::Lost || offlineWithCause_);
}

void LinkStatus::ShowRetrying(int attempts, double secondsLost) {
    retrying_ = true;
    if (view_ != LinkView::Lost) {
        view_ = LinkView::Lost;
        if (lostText_.empty()) lostText_ = text_;
    }
    // What is going on first, where the line is short: the cause follows.
    const auto seconds = static_cast<long long>(secondsLost + 0.5);
    text_ = "Link lost at " + lostAt_ + ", reconnecting (" +
            (attempts == 0 ? std::string("first attempt in 2 s")
                           : "attempt " + std::to_string(attempts)) +
            ", " + std::to_string(seconds) + " s): " + lostCause_;
    ui_.SetCtrlText(Ctrl::LinkState, text_);
    ui_.SetTooltip(Ctrl::LinkState, text_);
    ShowReconnect();
}

void LinkStatus::StopRetrying() {
    if (!retrying_) return;
    retrying_ = false;
    if (view_ == LinkView::Lost) Show(LinkView::Lost, lostText_);
}

std::string LinkStatus::ConnectedText() const {
    const SensorIdentity& id = session_.identity();
    return "Connected: " + Where(session_.settings()) + " \xE2\x80\x94 " + id.firmwareLine() +
           ", serial " + std::to_string(id.serialNumber);
}

void LinkStatus::Failure(const SensorError& error) {
    liveOld_ = true;
    ui_.ShowLiveAge(LiveAge::Old);
    failedSinceAnswer_ = true;
    switch (view_) {
        case LinkView::Connected:
            lostAt_ = LocalTimeText("%H:%M:%S");
            lostCause_ = WithReason(error);
            Show(LinkView::Lost, "Link lost at " + lostAt_ + ": " + lostCause_);
            break;
        case LinkView::Connecting:
            // An attempt that did not get as far as an identified sensor leaves the program
            // offline, saying why.
            Show(LinkView::Offline, "Offline: " + WithReason(error));
            break;
        case LinkView::Lost:  // the first cause is the one to read
        case LinkView::Offline:
        case LinkView::NeverConnected:
            break;
    }
}

void LinkStatus::SessionChanged(const SessionEvent& e) {
    // While attempts are made, only the link answering again changes the line.
    if (retrying_) {
        if (e.kind != SessionEventKind::Answered || !session_.identified()) return;
        retrying_ = false;
    }
    switch (e.kind) {
        case SessionEventKind::Opening:
            Show(LinkView::Connecting, "Connecting: " + Where(session_.settings()));
            break;
        case SessionEventKind::Opened:
            break;
        case SessionEventKind::OpenFailed:
        case SessionEventKind::Failed:
        case SessionEventKind::Lost:
            if (e.error != nullptr) Failure(*e.error);
            break;
        case SessionEventKind::Answered:
            if (e.command == kCmdLiveData) {
                liveOld_ = false;
                ui_.ShowLiveAge(LiveAge::Arriving);
            }
            if (!session_.identified()) break;
            if (view_ != LinkView::Connected) Show(LinkView::Connected, ConnectedText());
            if (failedSinceAnswer_) {
                // The failure is over: the status display shows the sensor again.
                ui_.SetCtrlText(Ctrl::StatusDisplay, session_.identity().firmwareLine());
                failedSinceAnswer_ = false;
            }
            break;
        case SessionEventKind::Closed:
            // Offline after a failed attempt keeps saying why.
            if (view_ != LinkView::Offline) Show(LinkView::Offline, "Offline");
            break;
    }
}

void LinkStatus::LiveEnded() {
    if (!liveOld_) ui_.ShowLiveAge(LiveAge::Kept);
}

}  // namespace qelto
