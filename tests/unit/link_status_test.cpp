// The link's state and its views, each derived from what the session tells: the supervisor's
// phase, its losses and its quiet attempts, the link line and the command controls. Nothing but
// the session's events moves them.
#include <gtest/gtest.h>

#include "app/command_lock.hpp"
#include "app/link_status.hpp"
#include "doubles/scripted_sensor.hpp"
#include "link/transport.hpp"

namespace qelto {
namespace {

struct SessionAlone {
    TestLoop loop;
    FakeSerial serial;
    FakeTcp tcp;
    SensorSession sensor{loop, serial, tcp};
    MemoryUi ui;
    PresenterState state;
    ScriptedSensor scripted;
    ConnectionSettings settings;
    LinkSupervisor supervisor{sensor, loop};
    LinkStatus status{ui, loop, sensor};

    SessionAlone() {
        supervisor.AddObserver(&status);
        tcp.responder = [this](const Bytes& r) { return scripted.Answer(r); };
        loop.onEvents = [this] { tcp.Deliver(); };
        settings.Protocol = kTcpIp;
        CopyText(settings.IpAddress, "sensor");
        sensor.link().limits.reply = 0.1;
    }
    ~SessionAlone() { supervisor.RemoveObserver(&status); }
    std::string Line() const { return ui.ctrl(Ctrl::LinkState).text; }
    std::string Tip() const { return ui.ctrl(Ctrl::LinkState).tooltip; }
};

TEST(LinkStatus, FromTheFirstStartToLostAndBackAndOffline) {
    SessionAlone s;
    EXPECT_EQ(s.Line(), "Not connected yet");

    s.tcp.connectResult = kTcpUnableToEstablishConnection;
    EXPECT_FALSE(s.sensor.Open(s.settings).ok());
    EXPECT_EQ(s.Line(), "Offline \xE2\x80\x94 could not connect");
    EXPECT_EQ(s.Tip(), "Offline: UnableToEstablishConnection (sensor port 5000)");
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Offline);

    s.tcp.connectResult = 0;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    EXPECT_EQ(s.Line(), "Connecting: TCP/IP sensor:5000");
    ASSERT_TRUE(s.sensor.Identify().ok());
    EXPECT_EQ(s.Line(), "Connected: TCP/IP sensor:5000 \xE2\x80\x94 KORVANEX V4.3B7, serial 4711");

    // A reply that came broken, or the sensor's refusal, leaves the link as it is: no loss, no
    // attempt to connect again, and the line says what came.
    s.supervisor.SetAutomatic(true);
    s.scripted.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        Bytes reply =
            r.command == kCmdLiveData ? Frame(kCmdLiveData, 0, Bytes(42, 1)) : Frame(0, 1);
        if (r.command == kCmdLiveData) reply[7] ^= 1;  // the header's CRC
        return std::vector<Bytes>{reply};
    };
    EXPECT_FALSE(s.sensor.ReadLiveSample().ok());
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Connected);
    EXPECT_FALSE(s.supervisor.retrying());
    EXPECT_NE(s.Line().find("serial 4711; corrupted reply at "), std::string::npos) << s.Line();
    EXPECT_FALSE(s.sensor.MeasureScanFrequency().ok());
    EXPECT_TRUE(s.supervisor.usable());
    EXPECT_NE(s.Line().find("; refused by the sensor at "), std::string::npos) << s.Line();
    s.supervisor.SetAutomatic(false);

    // A failure after that is a loss, with its first cause until the link answers again.
    s.scripted.override = [](const SeenRequest&) {  // silence
        return std::optional<std::vector<Bytes>>(std::vector<Bytes>{});
    };
    EXPECT_FALSE(s.sensor.ReadLiveSample().ok());
    // The line short, with how long the loss lasts; the tooltip whole.
    const std::string lost = s.Line();
    EXPECT_EQ(lost, "Lost 0:00 \xE2\x80\x94 no reply in time");
    EXPECT_EQ(s.Tip().rfind("Link lost at ", 0), 0u) << s.Tip();
    EXPECT_NE(s.Tip().find(" (no reply in time): TIMEOUT! NO DATA RECEIVED!"), std::string::npos)
        << s.Tip();
    s.scripted.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdCycleTime) return std::vector<Bytes>{Frame(kCmdCycleTime, 0)};
        return std::nullopt;
    };
    EXPECT_FALSE(s.sensor.MeasureScanFrequency().ok());  // a broken reply: still the first cause
    EXPECT_EQ(s.Line(), lost);
    EXPECT_TRUE(s.sensor.ReadLiveSample().ok());
    EXPECT_EQ(s.Line().rfind("Connected: ", 0), 0u) << s.Line();

    s.sensor.CloseTcp();
    EXPECT_EQ(s.Line(), "Offline");
}

// What the observers of the session heard, in order.
struct Heard : SessionObserver {
    std::vector<SessionEventKind> kinds;
    void SessionChanged(const SessionEvent& e) override { kinds.push_back(e.kind); }
};

TEST(LinkSupervisor, AForeignReplyAndTheCloseInOnePassFailTheRequestThenLoseTheLink) {
    SessionAlone s;
    Heard heard;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    ASSERT_TRUE(s.sensor.Identify().ok());
    s.sensor.AddObserver(&heard);
    s.scripted.override = [](const SeenRequest&) {  // a reply of another command
        return std::optional<std::vector<Bytes>>(std::vector<Bytes>{Frame(kCmdCycleTime, 0)});
    };
    s.loop.onEvents = [&] {
        s.tcp.Deliver();
        s.tcp.ServerCloses();
        s.tcp.Deliver();
    };
    const auto sample = s.sensor.ReadLiveSample();
    ASSERT_FALSE(sample.ok());
    EXPECT_EQ(sample.error().kind, SensorFault::BadHeader);
    EXPECT_EQ(heard.kinds, (std::vector{SessionEventKind::Failed, SessionEventKind::Lost}));
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Lost);
    // The foreign reply was no loss: the close that came with it was.
    EXPECT_EQ(s.supervisor.causeKind(), FailureKind::Closed);
    s.sensor.RemoveObserver(&heard);

    // Disconnect after the server's close: the program's close follows, and the line is plain.
    s.sensor.Close();
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Offline);
    EXPECT_EQ(s.Line(), "Offline");
    EXPECT_FALSE(s.ui.ctrl(Ctrl::ReconnectButton).visible);
}

TEST(LinkSupervisor, ReconnectStaysAfterAFailureAndGoesWithAPlainDisconnect) {
    SessionAlone s;
    s.tcp.connectResult = kTcpUnableToEstablishConnection;
    EXPECT_FALSE(s.sensor.Open(s.settings).ok());
    EXPECT_TRUE(s.ui.ctrl(Ctrl::ReconnectButton).visible);
    // A link that opens to a silent sensor: its close keeps why it is offline, and Reconnect.
    s.tcp.connectResult = 0;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    s.scripted.override = [](const SeenRequest&) {
        return std::optional<std::vector<Bytes>>(std::vector<Bytes>{});
    };
    EXPECT_FALSE(s.sensor.Identify().ok());
    s.sensor.Close();
    EXPECT_EQ(s.Line(), "Offline \xE2\x80\x94 no reply in time");
    EXPECT_EQ(s.Tip().rfind("Offline (no reply in time): TIMEOUT!", 0), 0u) << s.Tip();
    EXPECT_TRUE(s.ui.ctrl(Ctrl::ReconnectButton).visible);
    s.scripted.override = nullptr;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    ASSERT_TRUE(s.sensor.Identify().ok());
    EXPECT_TRUE(s.supervisor.usable());
    EXPECT_FALSE(s.ui.ctrl(Ctrl::ReconnectButton).visible);
    s.sensor.Close();
    EXPECT_EQ(s.Line(), "Offline");
    EXPECT_FALSE(s.ui.ctrl(Ctrl::ReconnectButton).visible);
    EXPECT_FALSE(s.supervisor.usable());
}

// Quiet attempts every two seconds while lost: an answer that does not yet name the sensor
// keeps the retrying, another sensor ends it, and nothing is written on the way.
TEST(LinkSupervisor, AttemptsAreQuietAndTakeOnlyTheSensorExpectedBack) {
    SessionAlone s;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    ASSERT_TRUE(s.sensor.Identify().ok());
    s.supervisor.SetAutomatic(true);
    s.loop.now_ = 10.0;
    s.tcp.ServerCloses();
    s.loop.ProcessSystemEvents();
    ASSERT_TRUE(s.supervisor.retrying());
    EXPECT_EQ(s.supervisor.nextAttemptAt(), 10.0 + kRetryInterval);
    EXPECT_EQ(s.Line(),
              "Lost 0:00 \xE2\x80\x94 connection closed; reconnecting, first attempt in 2 s");

    // The firmware answers, the name does not: still retrying, all the way through.
    bool retryingThroughout = true;
    Heard watch;
    s.sensor.AddObserver(&watch);
    s.scripted.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        retryingThroughout = retryingThroughout && s.supervisor.retrying();
        if (r.command == kCmdSensorName) return std::vector<Bytes>{};
        return std::nullopt;
    };
    EXPECT_EQ(s.supervisor.TryAgain({}), LinkSupervisor::Attempt::Failed);
    s.sensor.RemoveObserver(&watch);
    EXPECT_NE(std::find(watch.kinds.begin(), watch.kinds.end(), SessionEventKind::Answered),
              watch.kinds.end());
    EXPECT_TRUE(retryingThroughout);
    EXPECT_TRUE(s.supervisor.retrying());
    EXPECT_EQ(s.supervisor.attempts(), 1);
    s.loop.now_ = 84.0;  // the line counts on the window's timer; here, at the next attempt
    s.supervisor.SetAutomatic(false);
    s.supervisor.SetAutomatic(true);
    EXPECT_EQ(s.Line(),
              "Lost 1:14 \xE2\x80\x94 connection closed; reconnecting, first attempt in 2 s");
    EXPECT_EQ(s.supervisor.TryAgain({}), LinkSupervisor::Attempt::Failed);
    EXPECT_NE(s.Line().find("; reconnecting, attempt 1"), std::string::npos) << s.Line();
    s.supervisor.SetAutomatic(false);
    EXPECT_EQ(s.Line().rfind("Lost 1:14 \xE2\x80\x94 connection closed", 0), 0u) << s.Line();
    EXPECT_EQ(s.Line().find("reconnecting"), std::string::npos) << s.Line();
    EXPECT_EQ(s.Tip().rfind("Link lost at ", 0), 0u) << s.Tip();
    EXPECT_NE(s.Tip().find("SERVER HAS CLOSED CONNECTION!"), std::string::npos) << s.Tip();

    // Another serial number: the loss ends, offline, and nothing was written to it.
    s.supervisor.SetAutomatic(true);
    s.scripted.override = nullptr;
    s.scripted.serial = 815;
    EXPECT_EQ(s.supervisor.TryAgain({}), LinkSupervisor::Attempt::OtherSensor);
    EXPECT_EQ(s.supervisor.otherSensor().serialNumber, 815);
    EXPECT_EQ(s.supervisor.expected().serialNumber, 4711);
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Offline);
    EXPECT_FALSE(s.supervisor.retrying());
    EXPECT_FALSE(s.sensor.connected());
    for (const SeenRequest& r : s.scripted.seen)
        EXPECT_NE(r.command, kCmdWrite);

    // The one expected back is connected again, lost, and found by an attempt: with the gap.
    s.scripted.serial = 4711;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    ASSERT_TRUE(s.sensor.Identify().ok());
    EXPECT_TRUE(s.supervisor.sameSensorAgain());
    EXPECT_FALSE(s.supervisor.backAfterLoss());  // the loss ended with the other sensor
    s.loop.now_ = 20.0;
    s.tcp.ServerCloses();
    s.loop.ProcessSystemEvents();
    ASSERT_EQ(s.supervisor.phase(), LinkPhase::Lost);
    s.loop.now_ = 23.5;
    EXPECT_EQ(s.supervisor.TryAgain({}), LinkSupervisor::Attempt::SameSensor);
    EXPECT_TRUE(s.supervisor.usable());
    EXPECT_TRUE(s.supervisor.backAfterLoss());
    EXPECT_DOUBLE_EQ(s.supervisor.gap(), 3.5);
}

TEST(CommandLock, OfflineLeavesFilesAndConnectAndAWaitingExchangeLocksTheLink) {
    SessionAlone s;
    CommandLock lock{s.ui, s.loop, s.sensor, s.state};
    s.sensor.AddObserver(&lock);
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    EXPECT_FALSE(s.ui.ctrl(Ctrl::GoButton).dimmed);

    // While an exchange waits, nothing that uses the link is offered, whoever asked for it.
    bool lockedWhileWaiting = false;
    s.loop.onEvents = [&] {
        lock.Show();
        lockedWhileWaiting = s.ui.ctrl(Ctrl::ConnectButton).dimmed &&
                             s.ui.ctrl(Ctrl::GoButton).dimmed && s.ui.ctrl(Ctrl::SendButton).dimmed;
        s.tcp.Deliver();
    };
    EXPECT_TRUE(s.sensor.ReadLiveSample().ok());
    EXPECT_TRUE(lockedWhileWaiting);

    s.tcp.ServerCloses();
    s.loop.ProcessSystemEvents();
    EXPECT_EQ(s.state.TransferTarget, kTargetFile);
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton, Ctrl::GetButton})
        EXPECT_FALSE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::StartAssistantButton,
                   Ctrl::DisconnectButton, Ctrl::EepromButton, Ctrl::FileButton})
        EXPECT_TRUE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
}

}  // namespace
}  // namespace qelto
