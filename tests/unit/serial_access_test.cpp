// The advice after a serial port the system would not open for this user.
#include <gtest/gtest.h>

#include "doubles/unit_rig.hpp"

namespace qelto {
namespace {

SerialDeviceAccess Denied(const std::string& group, bool groupMayReadWrite) {
    return {.device = "/dev/ttyUSB0",
            .exists = true,
            .permissionDenied = true,
            .group = group,
            .groupMayReadWrite = groupMayReadWrite,
            .systemError = {}};
}

TEST(SerialPermissionHint, NamesTheGroupOnlyWhenJoiningItWouldHelp) {
    EXPECT_EQ(SerialPermissionHint(Denied("dialout", true)),
              "Hint: you may not open /dev/ttyUSB0; join the group dialout "
              "(sudo adduser $USER dialout), then log in again.");
    // Other systems give serial devices to other groups: the owner is named, whichever it is.
    EXPECT_NE(SerialPermissionHint(Denied("uucp", true)).find("join the group uucp "),
              std::string::npos);
    // A group without read and write access, root's group or none: only an administrator helps.
    for (const auto& access : {Denied("dialout", false), Denied("root", true), Denied("", true)}) {
        const std::string hint = SerialPermissionHint(access);
        EXPECT_NE(hint.find("/dev/ttyUSB0; ask the administrator"), std::string::npos) << hint;
        EXPECT_EQ(hint.find("join"), std::string::npos) << hint;
    }

    // No advice without a permission problem: a device that is not there, one that another
    // program holds, a port that cannot tell.
    SerialDeviceAccess missing = Denied("dialout", true);
    missing.exists = false;
    SerialDeviceAccess held = Denied("dialout", true);
    held.permissionDenied = false;
    EXPECT_EQ(SerialPermissionHint(missing), "");
    EXPECT_EQ(SerialPermissionHint(held), "");
    EXPECT_EQ(SerialPermissionHint({}), "");
}

// A serial port that refuses to open and says what the system said about the device.
class RefusingSerial : public FakeSerial {
  public:
    SerialDeviceAccess access;
    SerialDeviceAccess OpenFailureAccess(int) override { return access; }
};

std::string InfoBoxAfterOpening(int openResult, const SerialDeviceAccess& access) {
    MemoryUi ui;
    RefusingSerial serial;
    FakeTcp tcp;
    FakePorts ports;
    SensorSession sensor{ui, serial, tcp};
    Context ctx{ui, ui, sensor, ports};
    ctx.settings.link = LinkDescription::Serial(101);
    serial.openResult = openResult;
    serial.access = access;
    const Status opened = sensor.Open(ctx.settings.link.Settings());
    EXPECT_FALSE(opened.ok());
    if (opened.ok()) return {};
    // The port and its device go beside the message, for whoever reads it.
    EXPECT_EQ(opened.error().reason, "COM101 (/dev/ttyUSB0)");
    ctx.feedback.ReportFailure(opened.error());
    EXPECT_FALSE(ctx.supervisor.usable());
    EXPECT_EQ(ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
    return ui.ctrl(Ctrl::InfoBox).text;
}

TEST(InitRS232, PermissionHintFollowsTheUnchangedFailureText) {
    const SerialDeviceAccess denied = Denied("dialout", true);
    EXPECT_EQ(InfoBoxAfterOpening(kRs232CannotOpenPort, denied),
              "Cannot open port\n\n" + SerialPermissionHint(denied) + "\n\n");
    SerialDeviceAccess missing = denied;
    missing.exists = false;
    EXPECT_EQ(InfoBoxAfterOpening(kRs232CannotOpenPort, missing), "Cannot open port\n\n");
    // Only a refused open gets advice, whatever the port says about the device.
    EXPECT_EQ(InfoBoxAfterOpening(kRs232NoSerialPortFound, denied), "No serial port found\n\n");
}

}  // namespace
}  // namespace qelto
