// Compare in the window against the simulated sensor: only reads go out, and nothing of the
// working copy, the panels or the transfer target changes.
#include <gtest/gtest.h>

#include "app/compare.hpp"
#include "app/control_table.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

TEST(Compare, SensorAgainstTheWorkingCopyReadsOnlyAndListsWhatSendWouldChange) {
    SensorSimRig s;
    s.Connected();
    s.ctx.config.para.Power = 650;
    s.ctx.config.teach[2].Hold = 77;
    s.ctx.config.teach[40].Hold = 77;  // a row the sensor does not hold
    const ParameterSet para = s.ctx.config.para;
    const auto target = s.ctx.state.TransferTarget;
    const auto powerShown = s.ui.ctrl(Ctrl::PowerDisplay).value;

    s.ui.answers.push_back(PopupAnswer::Button(1));  // SENSOR
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(s.wire, (Wire{{2, 0}, {2, 2}}));
    ASSERT_EQ(s.ui.popups.back().title, "COMPARE");
    const std::string& list = s.ui.popups.back().message;
    EXPECT_NE(list.find("parameter Power:  500  ->  650"), std::string::npos) << list;
    EXPECT_NE(list.find("teach 2:"), std::string::npos) << list;
    EXPECT_EQ(list.find("teach 40"), std::string::npos) << list;
    EXPECT_EQ(s.ctx.config.para, para);
    EXPECT_EQ(s.ctx.state.TransferTarget, target);
    EXPECT_EQ(s.ui.ctrl(Ctrl::PowerDisplay).value, powerShown);

    // Cancel reads nothing.
    s.wire.clear();
    s.ui.answers.push_back(PopupAnswer::Button(3));
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit), Outcome::Declined);
    EXPECT_TRUE(s.wire.empty());
}

}  // namespace
}  // namespace qelto
