// The control table: every help text by role, and a right-click that runs no command. (The
// shortcut keys are pressed in the window test.)
#include <gtest/gtest.h>

#include <map>

#include "app/control_table.hpp"
#include "doubles/scripted_sensor.hpp"

namespace qelto {
namespace {

TEST(ControlTable, RightClickShowsEachControlsHelpAndRunsNothing) {
    const std::string rgb = "Displays the current color intensity of RED,GREEN and BLUE. ";
    const std::string graph =
        "The four graphs display a 3 sides view of the 3 dimensional color/intensity sphere "
        "\nplus the intensity of RED, GREEN, BLUE in an extra graph.";
    const std::string mem = "Select source respectively the target for the parameter transfer.";
    const std::map<Ctrl, std::string> help = {
        {Ctrl::ProtocolSelector, "Select RS232 or TCP/IP Interface. "},
        {Ctrl::ComPortSelector, "Select a serial COM-PORT."},
        {Ctrl::BaudRateSelector,
         "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust "
         "work with the same Baudrate. "},
        {Ctrl::ServerField, "Select a Server by name or IP address."},
        {Ctrl::PortField, "Select a port number."},
        {Ctrl::ConnectButton, "Try to connect sensor."},
        {Ctrl::DisconnectButton, "Disconnect from sensor.!"},
        {Ctrl::PortListButton, "Shows a list of available COM PORTS."},
        {Ctrl::AcceptButton, "Accept settings for communication \nand switch to parapanel. "},
        {Ctrl::RedDisplay, rgb},
        {Ctrl::GreenDisplay, rgb},
        {Ctrl::BlueDisplay, rgb},
        {Ctrl::XDisplay,
         "Displays the red content of the color currently arriving at the receiver."},
        {Ctrl::YDisplay,
         "Displays the green content of the color currently arriving at the receiver. "},
        {Ctrl::IntDisplay,
         "Displays the intensity of the color currently arriving at the receiver. "},
        {Ctrl::ColorNoDisplay,
         "Displays the current detected color number in \naccordance with the row in the TEACH "
         "TABLE. \n\nFailure condition is 255."},
        {Ctrl::GraphXY, graph},
        {Ctrl::GraphXInt, graph},
        {Ctrl::GraphYInt, graph},
        {Ctrl::RgbStripChart, graph},
        {Ctrl::TabControl, "Select TAB-window."},
        {Ctrl::SendButton,
         "All the parameters of the PC-User-Interface are transferred to the sensor or to a "
         "selectable file. \nThe target of the parameter transfer is determined by the select "
         "button (RAM, EEPROM, FILE). \n\nShortcut Key: F9. "},
        {Ctrl::GetButton,
         "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of "
         "the parameter transfer is determined by the select button (RAM, EEPROM, FILE). "
         "\n\nShortcut Key: F10. "},
        {Ctrl::EepromButton, mem},
        {Ctrl::FileButton, mem},
        {Ctrl::AverageControl,
         "Select the number of scanning values (measured values) \nover which the raw signal "
         "is averaged (meanvalue!)."},
        {Ctrl::LanguageSelector, "Select your language."},
        {Ctrl::GoButton, "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. "},
        {Ctrl::StopButton, "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. "},
        {Ctrl::FreqButton,
         "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press "
         "the button."},
        {Ctrl::ScanFreqDisplay,
         "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the "
         "button."},
        {Ctrl::StartAssistantButton, "Start assistant to adjust the sensor."},
        {Ctrl::RecordButton,
         "Records live samples into a CSV file while data transfer runs: every one, one in N or "
         "one per interval, \nas chosen in the File menu. Click again to stop recording."},
        {Ctrl::CompareButton,
         "Compares the parameters and teach table shown with those in the sensor or in a "
         "parameter file, \nwithout changing either."},
    };

    UnitRig rig;
    ScriptedSensor sensor;
    sensor.Attach(rig);
    rig.ctx.state.acquisition = Acquisition::Live;
    rig.ports.ports = {{1, "COM1"}};
    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 3);
    for (int i = 0; i < kCtrlCount; ++i) {
        const auto c = static_cast<Ctrl>(i);
        const auto it = help.find(c);
        rig.ui.popups.clear();
        EXPECT_EQ(DispatchControlEvent(rig.ctx, c, Event::RightClick), Outcome::Done);
        if (it == help.end()) {
            // The editor's and the status line's controls: their own help, or none.
            EXPECT_EQ(rig.ui.popups.size(), HelpText(c).empty() ? 0u : 1u) << i;
            continue;
        }
        ASSERT_EQ(rig.ui.popups.size(), 1u) << i;
        EXPECT_EQ(rig.ui.popups[0].title, "INFO!");
        EXPECT_EQ(rig.ui.popups[0].message, it->second) << i;
    }
    // Nothing ran: no request, no flag, no selection, no log line, no page change.
    EXPECT_TRUE(sensor.seen.empty());
    EXPECT_TRUE(rig.ctx.state.acquiring());
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    EXPECT_EQ(rig.ctx.state.Language, 0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), true);
}

}  // namespace
}  // namespace qelto
