// The session as the one door to the sensor: what it refuses before a byte goes out, and what
// it knows of the sensor afterwards.
#include <gtest/gtest.h>

#include "doubles/scripted_sensor.hpp"
#include "link/transport.hpp"

namespace qelto {
namespace {

TEST(SensorSession, RefusesWithoutALinkAndOnceTheServerHasClosedIt) {
    TestLoop loop;
    FakeSerial serial;
    FakeTcp tcp;
    SensorSession sensor{loop, serial, tcp};
    ScriptedSensor scripted;
    tcp.responder = [&](const Bytes& r) { return scripted.Answer(r); };
    loop.onEvents = [&] { tcp.Deliver(); };

    const auto before = sensor.ReadLiveSample();
    ASSERT_FALSE(before.ok());
    EXPECT_EQ(before.error().kind, SensorFault::NotConnected);
    EXPECT_EQ(before.error().message, "NO SENSOR CONNECTED!");

    ConnectionSettings settings;
    settings.Protocol = kTcpIp;
    CopyText(settings.IpAddress, "sensor");
    ASSERT_TRUE(sensor.Open(settings).ok());
    EXPECT_EQ(tcp.connects.back(), std::make_pair(std::string("sensor"), 5000));
    const auto identity = sensor.Identify();
    ASSERT_TRUE(identity.ok());
    EXPECT_EQ(identity->firmwareLine(), "KORVANEX V4.3B7");
    EXPECT_EQ(identity->serialNumber, 4711);
    const auto read = sensor.ReadConfiguration(true);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(sensor.configuration(), read->config);
    EXPECT_EQ(scripted.Commands(), (std::vector<int>{7, 15, 4, 2, 2}));

    // The server goes away: said at once to whoever listens, and nothing more is sent.
    struct Listener : SessionObserver {
        std::vector<std::string> lost;
        void SessionChanged(const SessionEvent& e) override {
            if (e.kind == SessionEventKind::Lost) lost.push_back(e.error->message);
        }
    } listener;
    sensor.AddObserver(&listener);
    tcp.ServerCloses();
    loop.ProcessSystemEvents();
    EXPECT_EQ(listener.lost, std::vector<std::string>{kMsgServerClosed});
    const auto after = sensor.ReadLiveSample();
    ASSERT_FALSE(after.ok());
    EXPECT_EQ(after.error().kind, SensorFault::LinkClosed);
    EXPECT_EQ(after.error().message, kMsgServerClosed);
    EXPECT_EQ(tcp.written.size(), 5u);
    EXPECT_TRUE(sensor.linkLost());
}

}  // namespace
}  // namespace qelto
