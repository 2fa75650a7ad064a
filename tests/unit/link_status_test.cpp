// The link at a glance and the command controls, each derived from what the session tells:
// nothing but the session's events moves them.
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
};

TEST(LinkStatus, FromTheFirstStartToLostAndBackAndOffline) {
    SessionAlone s;
    EXPECT_EQ(s.Line(), "Not connected yet");

    s.tcp.connectResult = kTcpUnableToEstablishConnection;
    EXPECT_FALSE(s.sensor.Open(s.settings).ok());
    EXPECT_EQ(s.Line(), "Offline: UnableToEstablishConnection (sensor port 5000)");
    EXPECT_EQ(s.supervisor.phase(), LinkPhase::Offline);

    s.tcp.connectResult = 0;
    ASSERT_TRUE(s.sensor.Open(s.settings).ok());
    EXPECT_EQ(s.Line(), "Connecting: TCP/IP sensor:5000");
    ASSERT_TRUE(s.sensor.Identify().ok());
    EXPECT_EQ(s.Line(), "Connected: TCP/IP sensor:5000 \xE2\x80\x94 KORVANEX V4.3B7, serial 4711");

    // A failure after that is a loss, with its first cause until the link answers again.
    s.scripted.override = [](const SeenRequest&) {  // silence
        return std::optional<std::vector<Bytes>>(std::vector<Bytes>{});
    };
    EXPECT_FALSE(s.sensor.ReadLiveSample().ok());
    const std::string lost = s.Line();
    EXPECT_EQ(lost.rfind("Link lost at ", 0), 0u) << lost;
    EXPECT_NE(lost.find(": TIMEOUT! NO DATA RECEIVED!"), std::string::npos) << lost;
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
