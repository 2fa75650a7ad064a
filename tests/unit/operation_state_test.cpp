#include <gtest/gtest.h>

#include "doubles/unit_rig.hpp"

namespace qelto {
namespace {

// The failure report alone, with the flags it ends.
struct FeedbackRig : SessionRig {
    PresenterState state;
    Feedback feedback{ui, ui, state, sensor};
};

// The command lock alone, on a session whose link is open.
struct LockRig : SessionRig {
    PresenterState state;
    CommandLock lock{ui, ui, sensor, state};
    LockRig() {
        ConnectionSettings conn;
        conn.Protocol = kTcpIp;
        CopyText(conn.IpAddress, "sensor");
        sensor.AddObserver(&lock);
        EXPECT_TRUE(sensor.Open(conn).ok());
    }
    ~LockRig() { sensor.RemoveObserver(&lock); }
};

TEST(SetTimeout, ReportsTheMessageAndPutsTheLinkStateInFront) {
    FeedbackRig rig;
    rig.state.acquisition = Acquisition::Live;
    rig.ui.SetActiveTabPage(kParameterPage);
    rig.ui.SetCtrlText(Ctrl::StatusDisplay, "KORVANEX V4.3B7");
    rig.ui.AppendText(Ctrl::InfoBox, "TRY TO CONNECT!\n");

    rig.feedback.SetTimeout("first");
    rig.feedback.ReportFailure({SensorFault::OpenFailed, "second", "COM3", "Hint: join dialout"});

    EXPECT_FALSE(rig.state.acquiring());
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text,
              "TRY TO CONNECT!\nfirst\n\nsecond\n\nHint: join dialout\n\n");
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);

    // "TIMEOUT!" for every kind; the status line tells them apart.
    rig.feedback.ReportFailure({SensorFault::BadHeader, "x", "reply to command 2", {}});
    rig.feedback.ReportFailure(
        {SensorFault::InvalidOrder, "INVALIDE ORDER NUMBER!\nVERIFY", {}, {}});
    EXPECT_EQ(rig.ui.statusMessages,
              (std::vector<std::string>{"Could not connect (COM3).",
                                        "Corrupted reply (reply to command 2).",
                                        "Refused by the sensor: INVALIDE ORDER NUMBER! VERIFY."}));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
}

TEST(ReportFailure, ABusyLinkOrAQuitIsNoFailureOfTheSensor) {
    FeedbackRig rig;
    rig.state.acquisition = Acquisition::Live;
    rig.feedback.ReportFailure({SensorFault::Busy, kMsgSensorBusy, {}, {}});
    EXPECT_TRUE(rig.state.acquiring());
    EXPECT_EQ(rig.ui.statusMessages, std::vector<std::string>{kMsgSensorBusy});

    rig.feedback.ReportFailure({SensorFault::Quit, "", {}, {}});
    EXPECT_FALSE(rig.state.acquiring());
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");
}

// Send and Get go beside GO only (as requests between two samples); beside any other command
// they are refused with the reason.
TEST(CommandLock, LiveDataAloneLeavesTheTransferControlsUsable) {
    const Ctrl always[] = {Ctrl::GoButton,        Ctrl::FreqButton,    Ctrl::StartAssistantButton,
                           Ctrl::StoreButton,     Ctrl::ConnectButton, Ctrl::DisconnectButton,
                           Ctrl::BaudRateSelector};
    const Ctrl modeZeroOnly[] = {Ctrl::SendButton, Ctrl::GetButton, Ctrl::RamButton,
                                 Ctrl::EepromButton, Ctrl::FileButton};
    const Ctrl never[] = {Ctrl::StopButton,      Ctrl::AcceptButton, Ctrl::ProtocolSelector,
                          Ctrl::ComPortSelector, Ctrl::ServerField,  Ctrl::PortField};
    LockRig rig;
    {
        const CommandLock::Scope go(rig.lock, UserCommand::Go);
        for (Ctrl c : always)
            EXPECT_TRUE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
        for (Ctrl c : modeZeroOnly)
            EXPECT_FALSE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
        for (UserCommand c : {UserCommand::Send, UserCommand::Get, UserCommand::Select})
            EXPECT_EQ(rig.lock.WhyNotNow(c), "");
        EXPECT_EQ(rig.lock.WhyNotNow(UserCommand::Store),
                  "Store in EEPROM cannot run now: data transfer is running.");
        {
            const CommandLock::Scope send(rig.lock, UserCommand::Send);
            for (Ctrl c : modeZeroOnly)
                EXPECT_TRUE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
            for (Ctrl c : never)
                EXPECT_FALSE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
        }
    }
    for (Ctrl c : always)
        EXPECT_FALSE(rig.ui.ctrl(c).dimmed);
    for (Ctrl c : modeZeroOnly)
        EXPECT_FALSE(rig.ui.ctrl(c).dimmed);
    const CommandLock::Scope get(rig.lock, UserCommand::Get);
    EXPECT_EQ(rig.lock.WhyNotNow(UserCommand::Send), "Send cannot run now: Get is running.");
}

TEST(Language, OutOfRangeFallsBackToEnglish) {
    const MultiText texts{"de", "en", "fr", "es", "pt", "it", "pl"};
    EXPECT_STREQ(Localized(texts, 0), "de");
    EXPECT_STREQ(Localized(texts, 6), "pl");
    EXPECT_STREQ(Localized(texts, 7), "en");
    EXPECT_STREQ(Localized(texts, -1), "en");
}

}  // namespace
}  // namespace qelto
