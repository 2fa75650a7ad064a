// The program's core on real loopback TCP against the simulated sensor running in the same
// event loop, with the connection page filled in for it and every request on the wire recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/connection.hpp"
#include "app/program.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "qt_rig.hpp"
#include "sensor_model.hpp"
#include "sim_server.hpp"

namespace qelto {

using Wire = std::vector<std::pair<int, int>>;  // (command, argument) of each request

struct SensorSimRig {
    sim::SensorModel model{[] {
        sim::SensorConfig c;
        c.noise = false;
        return c;
    }()};
    sim::SimServer server{model};
    QtRig rig;
    Context& ctx = rig.ctx;
    SensorSession& sensor = rig.sensor;
    MemoryUi& ui = rig.ui;
    Wire wire;

    SensorSimRig() {
        EXPECT_TRUE(server.ListenTcp());
        FillPage(server.tcpPort());
        rig.sensor.link().frameTrace = [this](TracedFrame kind, std::span<const std::uint8_t> f) {
            if (kind == TracedFrame::Request && f.size() >= kHeaderSize) {
                wire.emplace_back(f[1], GetU16(&f[2]));
            }
        };
    }
    // The connection page as an operator leaves it for a TCP/IP server on this machine.
    void FillPage(int port) {
        ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        ui.SetCtrlVal(Ctrl::ComPortSelector, 1);
        ui.SetCtrlVal(Ctrl::BaudRateSelector, 4);
        ui.SetCtrlText(Ctrl::ServerField, "127.0.0.1");
        ui.SetCtrlText(Ctrl::PortField, std::to_string(port));
    }
    // What start-up does once the panels are up: the first connection attempt with every
    // command button locked, unlocked again only when the sensor is identified.
    void StartUp(PopupAnswer defaultsAnswer) {
        ui.answers.push_back(defaultsAnswer);
        FirstConnection(ctx);
    }
    // Connected and identified, the wire record cleared.
    void Connected() {
        StartUp(PopupAnswer::No());
        ASSERT_TRUE(ctx.supervisor.usable()) << InfoBox();
        wire.clear();
    }
    std::string InfoBox() const { return ui.ctrl(Ctrl::InfoBox).text; }
    std::string Status() const { return ui.ctrl(Ctrl::StatusDisplay).text; }
    int Count(int command) const {
        int n = 0;
        for (const auto& w : wire)
            n += w.first == command;
        return n;
    }
    std::vector<int> Commands() const {
        std::vector<int> c;
        for (const auto& w : wire)
            c.push_back(w.first);
        return c;
    }
};

}  // namespace qelto
