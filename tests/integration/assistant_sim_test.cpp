// The teach assistant on the real event loop, over loopback TCP to the simulated sensor: the
// half-second waits of the power adjustment are real, and STOP arrives from a timer while they
// run. Whenever the assistant asks for the next colour, the simulator's scene changes to it.
#include <gtest/gtest.h>

#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "sensor/assistant.hpp"
#include "sensor/assistant_messages.hpp"
#include "sensor/live.hpp"
#include "sim_server.hpp"
#include "ui/context.hpp"
#include "ui/memory_ui.hpp"

namespace qelto {
namespace {

// An in-memory interface that tells the test which message popup has just been shown: the
// operator puts the colour in front of the sensor before pressing OK.
class SceneUi : public MemoryUi {
  public:
    using MemoryUi::MemoryUi;
    std::function<void(const std::string& title)> onMessage;
    void MessagePopup(std::string_view title, std::string_view message) override {
        MemoryUi::MessagePopup(title, message);
        if (onMessage) onMessage(std::string(title));
    }
};

class AssistantOverTcp : public ::testing::Test {
  protected:
    void SetUp() override {
        ui.onUnexpectedPopup = [](const PopupRecord& r) {
            ADD_FAILURE() << "unexpected popup: " << r.title << " / " << r.message;
        };
        ASSERT_TRUE(server.ListenTcp());
        model.SelectPatch("white");
        ctx.conn.Protocol = kTcpIp;
        CopyText(ctx.conn.IpAddress, "127.0.0.1");
        ctx.conn.TcpPort = server.tcpPort();
        InitTCP_IP(ctx);
        ASSERT_EQ(ctx.link.TcpConnected, 1);
        ctx.ident.SensorModel = 1;
        ctx.state.Language = kEnglish;
        ctx.state.CommunicationOk = 1;
    }
    const PopupRecord& LastPopup() const { return ui.popups.back(); }

    sim::SensorModel model;
    sim::SimServer server{model};
    QtEventPump pump;
    SceneUi ui{&pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    QtPortEnumerator ports;
    Context ctx{ui, serial, tcp, ports};
};

TEST_F(AssistantOverTcp, StopFromTheWindowDuringTheWaitEndsTheAdjustment) {
    ui.answers = {PopupAnswer::Button(kPromptOk, "3"), PopupAnswer::No(),
                  PopupAnswer::Button(kPromptOk)};
    std::uint64_t samplesAtStop = 0;
    // Well inside the adjustment: each step takes a little over half a second.
    QTimer::singleShot(1250, [&] {
        samplesAtStop = model.CommandCount(kCmdLiveData);
        CBF_ButtonStop(ctx, Event::Commit);
    });

    CBF_ButtonStart(ctx, Event::Commit);

    EXPECT_EQ(LastPopup().message, AssistantMessages[MsgParamCancelled][kEnglish]);
    EXPECT_GE(samplesAtStop, 1u);  // the timer fired while the adjustment waited
    // The step under way finishes; no further step starts.
    EXPECT_LE(model.CommandCount(kCmdLiveData), samplesAtStop + 1);
    EXPECT_EQ(model.RamParameters().Gain, model.CommandCount(kCmdLiveData));
    EXPECT_EQ(model.RamParameters().PowerMode, 1);
    EXPECT_EQ(ctx.state.DataTransferActive, 0);
    ASSERT_FALSE(ui.progressLog().empty());
    EXPECT_EQ(ui.progressLog().back(), std::make_pair(-1, 106));
    EXPECT_FALSE(ui.ctrl(Ctrl::GoButton).dimmed);
}

TEST_F(AssistantOverTcp, WholeRunTeachesTwoColoursIntoTheEeprom) {
    const std::array<const char*, 2> colours{"red", "blue"};
    ui.onMessage = [&](const std::string& title) {
        const std::string prefix = kTitleTeachColor;
        if (title.rfind(prefix, 0) == 0) {
            model.SelectPatch(colours.at(std::stoul(title.substr(prefix.size()))));
        }
    };
    ctx.state.TransferTarget = kTargetFile;
    ui.answers = {PopupAnswer::Button(kPromptOk, "2"), PopupAnswer::No(),
                  PopupAnswer::Button(kPromptOk)};

    CBF_ButtonStart(ctx, Event::Commit);

    std::vector<std::string> titles;
    for (const auto& p : ui.popups)
        titles.push_back(p.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Parameter MAXCOL-No.", "",
                                                "Parameter POWER, GAIN, INTEGRAL", "",
                                                "TEACH COLOR 0", "TEACH COLOR 1", ""}));
    EXPECT_EQ(ui.ctrl(Ctrl::InfoBox).text, "");
    EXPECT_EQ(ctx.state.DataTransferActive, 0);
    EXPECT_EQ(ctx.state.TransferTarget, kTargetFile);
    EXPECT_EQ(model.EepromParameters().MaxVecNo, 2);
    EXPECT_EQ(model.EepromParameters().PowerMode, 0);
    EXPECT_EQ(model.EepromParameters().DigitalOutMode, 2);
    for (std::size_t n = 0; n < colours.size(); ++n) {
        SCOPED_TRACE(colours[n]);
        EXPECT_EQ(model.EepromTeach()[n], ctx.teach[n]);
        model.SelectPatch(colours[n]);
        ASSERT_EQ(ReadLiveData(ctx), 1);
        EXPECT_EQ(ctx.live.ColorNo(), static_cast<int>(n));
    }
}

}  // namespace
}  // namespace qelto
