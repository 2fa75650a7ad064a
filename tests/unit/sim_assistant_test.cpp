// The teach assistant against the simulated sensor's model on the fake TCP link: what the
// assistant teaches is what the simulator then recognises.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/assistant.hpp"
#include "app/assistant_messages.hpp"
#include "app/control_table.hpp"
#include "app/live.hpp"
#include "doubles/unit_rig.hpp"
#include "sensor_model.hpp"

namespace qelto {
namespace {

// The whole procedure against the simulated sensor: white in front for the adjustment, then
// red, green, blue and yellow for colours 0..3.
TEST(AssistantWithSimulator, TeachesFourColoursTheSensorRecognisesAfterwards) {
    UnitRig rig;
    sim::SensorModel model;
    const std::array<const char*, 4> colours{"red", "green", "blue", "yellow"};
    int adjustmentSamples = 0;
    rig.tcp.responder = [&](const Bytes& request) -> std::vector<Bytes> {
        std::string teaching;
        for (const auto& p : rig.ui.popups) {
            if (p.title.rfind(kTitleTeachColor, 0) == 0) teaching = p.title;
        }
        if (teaching.empty()) {
            model.SelectPatch("white");
            adjustmentSamples += request[1] == kCmdLiveData ? 1 : 0;
        } else {
            const auto n = static_cast<std::size_t>(std::stoi(teaching.substr(12)));
            model.SelectPatch(colours[n]);
        }
        return {model.HandleRequest(request)};
    };
    IdentifyAs(rig, 1);
    rig.ctx.state.Language = kEnglish;
    rig.ui.answers = {PopupAnswer::Button(kPromptOk, "4"), PopupAnswer::Yes(),
                      PopupAnswer::Button(kPromptOk)};

    DispatchControlEvent(rig.ctx, Ctrl::StartAssistantButton, Event::Commit);

    std::vector<std::string> titles;
    for (const auto& p : rig.ui.popups)
        titles.push_back(p.title);
    EXPECT_EQ(titles, (std::vector<std::string>{
                          "Parameter MAXCOL-No.", "", "Parameter POWER, GAIN, INTEGRAL", "",
                          "TEACH COLOR 0", "TEACH COLOR 1", "TEACH COLOR 2", "TEACH COLOR 3", ""}));
    EXPECT_EQ(rig.ui.popups.back().message, AssistantMessages[MsgSavedToEeprom][kEnglish]);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");  // the sensor accepted every write

    // The adjustment ran into its second stage and stopped as soon as white passed DynWinLo.
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 8);
    EXPECT_GT(rig.ctx.working.config().para.Integral, 1);
    EXPECT_EQ(adjustmentSamples, 8 + rig.ctx.working.config().para.Integral - 1);
    ASSERT_FALSE(rig.ui.progressLog().empty());
    EXPECT_EQ(rig.ui.progressLog().back(), std::make_pair(-1, 106));
    EXPECT_FALSE(rig.ctx.state.acquiring());

    // Everything is in the EEPROM, the memory selection is unchanged.
    const ParameterSet& stored = model.EepromParameters();
    EXPECT_EQ(stored.MaxVecNo, 4);
    EXPECT_EQ(stored.DigitalOutMode, 0);  // YES to direct output
    EXPECT_EQ(stored.PowerMode, 0);
    EXPECT_EQ(stored.Gain, rig.ctx.working.config().para.Gain);
    EXPECT_EQ(stored.Integral, rig.ctx.working.config().para.Integral);
    for (std::size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE(colours[n]);
        EXPECT_EQ(model.EepromTeach()[n], rig.ctx.working.config().teach[n]);
        EXPECT_EQ(rig.ctx.working.config().teach[n].Cell[3], 500);
        EXPECT_EQ(rig.ui.cellValue(1, static_cast<int>(n) + 1),
                  rig.ctx.working.config().teach[n].Cell[0]);
        EXPECT_EQ(rig.ui.cellValue(4, static_cast<int>(n) + 1), 500);
    }
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);

    // Each colour in front of the sensor now reports its own C-No.
    for (std::size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE(colours[n]);
        model.SelectPatch(colours[n]);
        rig.ui.popups.clear();  // the responder keeps the patch chosen here
        rig.tcp.responder = [&](const Bytes& request) -> std::vector<Bytes> {
            return {model.HandleRequest(request)};
        };
        ASSERT_EQ(rig.ctx.live.ReadLiveData(), 1);
        EXPECT_EQ(rig.ctx.view.live.ColorNo(), static_cast<int>(n));
    }
}

}  // namespace
}  // namespace qelto
