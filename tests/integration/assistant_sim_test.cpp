// The teach assistant on the real event loop, over loopback TCP to the simulated sensor: the
// half-second waits of the power adjustment are real, and STOP arrives from a timer while they
// run. (The whole procedure against the simulator runs on the manual clock in the unit tests.)
#include <gtest/gtest.h>

#include <QTimer>

#include "app/assistant.hpp"
#include "app/assistant_messages.hpp"
#include "app/context.hpp"
#include "app/control_table.hpp"
#include "app/live.hpp"  // STOP
#include "doubles/memory_ui.hpp"
#include "link/transport.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "sim_server.hpp"

namespace qelto {
namespace {

class AssistantOverTcp : public ::testing::Test {
  protected:
    void SetUp() override {
        ui.onUnexpectedPopup = [](const PopupRecord& r) {
            ADD_FAILURE() << "unexpected popup: " << r.title << " / " << r.message;
        };
        ASSERT_TRUE(server.ListenTcp());
        model.SelectPatch("white");
        ctx.settings.link = LinkDescription::Tcp("127.0.0.1", server.tcpPort());
        ASSERT_TRUE(sensor.Open(ctx.settings.link.Settings()).ok());
        ASSERT_EQ(sensor.ReadFirmware()->SensorModel, 1);
        ctx.state.Language = kEnglish;
    }
    const PopupRecord& LastPopup() const { return ui.popups.back(); }

    sim::SensorModel model;
    sim::SimServer server{model};
    QtEventPump pump;
    MemoryUi ui{&pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    QtPortEnumerator ports;
    SensorSession sensor{ui, serial, tcp};
    Context ctx{ui, ui, sensor, ports};
};

TEST_F(AssistantOverTcp, StopFromTheWindowDuringTheWaitEndsTheAdjustment) {
    ui.answers = {PopupAnswer::Button(kPromptOk, "3"), PopupAnswer::No(),
                  PopupAnswer::Button(kPromptOk)};
    std::uint64_t samplesAtStop = 0;
    // Well inside the adjustment: each step takes a little over half a second.
    QTimer::singleShot(1250, [&] {
        samplesAtStop = model.CommandCount(kCmdLiveData);
        DispatchControlEvent(ctx, Ctrl::StopButton, Event::Commit);
    });

    DispatchControlEvent(ctx, Ctrl::StartAssistantButton, Event::Commit);

    EXPECT_EQ(LastPopup().message, AssistantMessages[MsgParamCancelled][kEnglish]);
    EXPECT_GE(samplesAtStop, 1u);  // the timer fired while the adjustment waited
    // The step under way finishes; no further step starts.
    EXPECT_LE(model.CommandCount(kCmdLiveData), samplesAtStop + 1);
    EXPECT_EQ(model.RamParameters().Gain, model.CommandCount(kCmdLiveData));
    EXPECT_EQ(model.RamParameters().PowerMode, 1);
    EXPECT_FALSE(ctx.state.acquiring());
    ASSERT_FALSE(ui.progressLog().empty());
    EXPECT_EQ(ui.progressLog().back(), std::make_pair(-1, 106));
    EXPECT_FALSE(ui.ctrl(Ctrl::GoButton).dimmed);
}

}  // namespace
}  // namespace qelto
