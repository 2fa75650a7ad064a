// The session on fakes (SessionRig), and a complete core around it connected over the fake
// TCP link (UnitRig).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/context.hpp"
#include "doubles/fake_ports.hpp"
#include "doubles/memory_ui.hpp"
#include "doubles/reporting_owner.hpp"
#include "doubles/set_working.hpp"
#include "link/transport.hpp"
#include "protocol/frame.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

// The sensor session on the fake ports and the in-memory operator interface, without the
// presenters: a test of one feature builds that feature beside it, with the collaborators
// the feature asks for and nothing else.
struct SessionRig {
    MemoryUi ui;
    FakeSerial serial;
    FakeTcp tcp;
    SensorSession sensor{ui, serial, tcp};
    std::function<void()> onEvents;  // a test's own hook, after the fake link's delivery

    SessionRig() {
        ui.onEvents = [this] {
            tcp.Deliver();
            if (onEvents) onEvents();
        };
        ui.onUnexpectedPopup = [](const PopupRecord& r) {
            ADD_FAILURE() << "unexpected popup: " << r.title << " / " << r.message;
        };
    }
};

// A complete core around fakes, connected over the fake TCP link.
struct UnitRig : SessionRig {
    FakePorts ports;
    Context ctx{ui, ui, sensor, ports};
    // The link beneath the session's, for the tests of the link itself.
    ReportingOwner owner{ctx};
    LinkContext link{ui, owner, serial, tcp};

    UnitRig() {
        ctx.settings.link = LinkDescription::Tcp("sensor", 5000);
        EXPECT_TRUE(sensor.Open(ctx.settings.link.Settings()).ok());
    }
    // Opens the test link over the fake TCP port, which from then on talks to it alone.
    void OpenTestLink() {
        link.conn.Protocol = kTcpIp;
        InitTCP_IP(link);
    }
};

// Tells the session which family the sensor is (0: none supported), as its firmware text
// would, and for a supported one its name and serial number: exchanges on the fake link,
// answered here and seen by no responder.
inline void IdentifyAs(UnitRig& rig, std::int32_t family) {
    const std::string firmware = family >= 1 && family <= 3
                                     ? std::string(kSensorFamilies[family - 1]) + "0.0 T"
                                     : std::string("OTHER V2.1");
    auto responder = std::move(rig.tcp.responder);
    rig.tcp.responder = [&firmware](const Bytes& request) {
        const std::string text = request[1] == kCmdFirmware ? firmware : std::string("Sensor");
        Bytes reply(kHeaderSize + text.size());
        BuildFrame(request[1], 4711, Bytes(text.begin(), text.end()), reply.data());
        return std::vector<Bytes>{reply};
    };
    EXPECT_TRUE(rig.sensor.ReadFirmware().ok());
    if (family >= 1 && family <= 3) {
        EXPECT_TRUE(rig.sensor.ReadNameAndSerial().ok());
    }
    rig.tcp.responder = std::move(responder);
}

}  // namespace qelto
