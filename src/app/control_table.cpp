#include "app/control_table.hpp"

#include <array>
#include <cmath>
#include <type_traits>

#include "app/context.hpp"
#include "app/panel_settings.hpp"

namespace qelto {
namespace {

// The help texts, as the right-click shows them.
struct Help {
    // Connection page
    static constexpr std::string_view kProtocol = "Select RS232 or TCP/IP Interface. ";
    static constexpr std::string_view kComPort = "Select a serial COM-PORT.";
    static constexpr std::string_view kBaudrate =
        "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust "
        "work with the same Baudrate. ";
    static constexpr std::string_view kServer = "Select a Server by name or IP address.";
    static constexpr std::string_view kPortNumber = "Select a port number.";
    static constexpr std::string_view kConnect = "Try to connect sensor.";
    static constexpr std::string_view kDisconnect = "Disconnect from sensor.!";
    static constexpr std::string_view kFindComPorts = "Shows a list of available COM PORTS.";
    static constexpr std::string_view kAccept =
        "Accept settings for communication \nand switch to parapanel. ";
    // Data panel
    static constexpr std::string_view kDispRGB =
        "Displays the current color intensity of RED,GREEN and BLUE. ";
    static constexpr std::string_view kDispX =
        "Displays the red content of the color currently arriving at the receiver.";
    static constexpr std::string_view kDispY =
        "Displays the green content of the color currently arriving at the receiver. ";
    static constexpr std::string_view kDispINT =
        "Displays the intensity of the color currently arriving at the receiver. ";
    static constexpr std::string_view kDispCOL =
        "Displays the current detected color number in \naccordance with the row in the TEACH "
        "TABLE. \n\nFailure condition is 255.";
    static constexpr std::string_view kGraph3D =
        "The four graphs display a 3 sides view of the 3 dimensional color/intensity sphere "
        "\nplus the intensity of RED, GREEN, BLUE in an extra graph.";
    // Main panel
    static constexpr std::string_view kSend =
        "All the parameters of the PC-User-Interface are transferred to the sensor or to a "
        "selectable file. \nThe target of the parameter transfer is determined by the select "
        "button (RAM, EEPROM, FILE). \n\nShortcut Key: F9. ";
    static constexpr std::string_view kGet =
        "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of "
        "the parameter transfer is determined by the select button (RAM, EEPROM, FILE). "
        "\n\nShortcut Key: F10. ";
    static constexpr std::string_view kSelectMem =
        "Select source respectively the target for the parameter transfer.";
    static constexpr std::string_view kAverage =
        "Select the number of scanning values (measured values) \nover which the raw signal is "
        "averaged (meanvalue!).";
    static constexpr std::string_view kLanguage = "Select your language.";
    static constexpr std::string_view kTab = "Select TAB-window.";
    static constexpr std::string_view kGo =
        "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. ";
    static constexpr std::string_view kStop =
        "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. ";
    static constexpr std::string_view kFreq =
        "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press "
        "the button.";
    static constexpr std::string_view kScanFreq =
        "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the "
        "button.";
    // Parameter page
    static constexpr std::string_view kStartAssistant = "Start assistant to adjust the sensor.";
    // Additions of this program
    static constexpr std::string_view kRecord =
        "Records live samples into a CSV file while data transfer runs: every one, one in N or "
        "one per interval, \nas chosen in the File menu. Click again to stop recording.";
    static constexpr std::string_view kCompare =
        "Compares the parameters and teach table shown with those in the sensor or in a "
        "parameter file, \nwithout changing either.";
    static constexpr std::string_view kEditMode =
        "Shows every parameter and the teach rows the sensor holds, to change them. \nClick "
        "again for the plain page.";
    static constexpr std::string_view kParameterEditor =
        "Every parameter by its key in the parameter file. Type or step a value from 0 to "
        "65535. \nValues that differ from the sensor's are marked; a Send from here lists "
        "them and asks first.";
    static constexpr std::string_view kTeachEditor =
        "The teach rows the sensor holds, by colour number (0 to 31), with their eight words.";
    static constexpr std::string_view kUndo = "Takes back the last change of the editor.";
    static constexpr std::string_view kRedo = "Makes the change taken back again.";
    static constexpr std::string_view kRevert =
        "Returns every value of the editor to what the sensor holds.";
    static constexpr std::string_view kReconnect =
        "Connects again with the settings in force. The sensor that was connected is not asked "
        "about default parameters, \nand what ran when the link was lost (GO, a recording) goes "
        "on.";
    static constexpr std::string_view kAutoReconnect =
        "While the link is lost, tries to connect again every two seconds; when the sensor that "
        "was connected answers, \nGO and a recording go on. Another sensor stops the attempts. "
        "Nothing is written by a reconnection.";
    static constexpr std::string_view kOpenFolder =
        "Shows the folder of the recording in the file manager.";
    static constexpr std::string_view kTeachFromSensor =
        "Measures the colour in front of the sensor (as many samples as set beside) and teaches "
        "it into the teach row selected: its centre, \nand a tolerance that holds its spread and "
        "keeps clear of the other rows. The other rows stay as they are. \nOnly the values shown "
        "change (Undo takes them back); Send writes them to the sensor.";
    static constexpr std::string_view kTeachSamples =
        "How many live samples Teach from sensor measures (10 to 10000).";
    static constexpr std::string_view kCheckTolerances =
        "Checks the taught colours shown against a recording or the live data of the last "
        "seconds: \nper row its spread, a proposed tolerance and a verdict. Apply proposals "
        "changes the values shown only; Send writes them.";
    static constexpr std::string_view kOverlapNote =
        "Teach rows whose spheres overlap: where both hold a sample, the sensor reports the "
        "lower row. \nCheck tolerances proposes tolerances that keep them apart, where the "
        "samples allow.";
    static constexpr std::string_view kEvidenceCloud =
        "Shows the samples of the last teach or check as points beside the circles, in the "
        "colour of the row they lie nearest.";
    static constexpr std::string_view kStore =
        "Stores what the sensor's RAM holds in its EEPROM, so that it keeps those values at the "
        "next power-on. \nNothing else is sent.";
};

// The actions, each on the feature it belongs to.
Outcome Accept(Context& c, Ctrl) {
    StorePanelSettings(c);
    c.ui.SetActiveTabPage(kParameterPage);
    return Outcome::Done;
}

Outcome SelectLanguage(Context& c, Ctrl) {
    const double value = c.ui.GetCtrlVal(Ctrl::LanguageSelector);
    // Every message table has exactly seven columns; anything else keeps the language.
    if (value >= 0 && value < kLanguageCount && value == std::floor(value)) {
        c.state.Language = static_cast<std::int32_t>(value);
    }
    // The program's own texts follow the language: the link line at once, the rest as said.
    c.link.LinkChanged(c.supervisor);
    return Outcome::Done;
}

// The operator changed the page (never called for the program's own page switches).
Outcome TabChanged(Context& c, Ctrl) {
    if (c.ui.GetActiveTabPage() == kConnectionPage) {
        c.state.acquisition = Acquisition::Stopped;
        c.ui.SetDimmed(Ctrl::AcceptButton, true);
    }
    return Outcome::Done;
}

// AVERAGE is part of the working copy: what the control shows is what goes out.
Outcome EditAverage(Context& c, Ctrl) {
    c.working.Edit(ConfigItem::Parameter(2), CtrlValueU16(c.ui, Ctrl::AverageControl));
    return Outcome::Done;
}

using Action = Outcome (*)(Context&, Ctrl);
// The action of a control that is one command of one feature: `feature` of the presenters, its
// `command` (taking the control when it asks for one).
template <auto feature, auto command>
Outcome On(Context& c, Ctrl role) {
    auto& f = c.*feature;
    if constexpr (std::is_invocable_v<decltype(command), decltype(f), Ctrl>) {
        return (f.*command)(role);
    } else {
        return (f.*command)();
    }
}
constexpr Action kProtocolChanged = On<&Context::connection, &Connection::ProtocolChanged>;
constexpr Action kSettingChanged = On<&Context::connection, &Connection::SettingChanged>;
constexpr Action kServerChanged = On<&Context::connection, &Connection::ServerChanged>;
constexpr Action kConnect = On<&Context::reconnection, &Reconnection::Connect>;
constexpr Action kDisconnect = On<&Context::connection, &Connection::DisconnectButton>;
constexpr Action kFindComPorts = On<&Context::connection, &Connection::FindComPorts>;
constexpr Action kSend = On<&Context::transfer, &Transfer::Send>;
constexpr Action kGet = On<&Context::transfer, &Transfer::Get>;
constexpr Action kSelectMem = On<&Context::transfer, &Transfer::SelectMem>;
constexpr Action kGo = On<&Context::live, &Live::Go>;
constexpr Action kStop = On<&Context::live, &Live::Stop>;
constexpr Action kFreq = On<&Context::live, &Live::Freq>;
Outcome StartAssistant(Context& c, Ctrl) {
    c.assistant.StartAssistant();
    return c.feedback.LinkOutcome(c.supervisor.usable());
}
constexpr Action kAssistant = StartAssistant;
constexpr Action kRecord = On<&Context::recording, &Recording::Toggle>;
constexpr Action kCompare = On<&Context::compare, &Compare::Run>;
constexpr Action kEditMode = On<&Context::editor, &Editor::ToggleEditMode>;
constexpr Action kEditCell = On<&Context::editor, &Editor::EditActiveCell>;
constexpr Action kUndo = On<&Context::editor, &Editor::Undo>;
constexpr Action kRedo = On<&Context::editor, &Editor::Redo>;
// A right double-click on the status display empties the InfoBox.
Outcome ClearInfoBox(Context& c, Ctrl) {
    c.ui.ResetTextBox(Ctrl::InfoBox, "");
    return Outcome::Done;
}
constexpr Action kClearInfoBox = ClearInfoBox;
constexpr Action kRevert = On<&Context::editor, &Editor::Revert>;
constexpr Action kReconnect = On<&Context::reconnection, &Reconnection::Reconnect>;
constexpr Action kAutoReconnect = On<&Context::reconnection, &Reconnection::ToggleAutomatic>;
constexpr Action kOpenFolder = On<&Context::recording, &Recording::OpenFolder>;
constexpr Action kTeachFromSensor = On<&Context::evidence, &TeachEvidence::TeachFromSensor>;
constexpr Action kCheckTolerances = On<&Context::evidence, &TeachEvidence::CheckTolerances>;
constexpr Action kEvidenceCloud = On<&Context::evidence, &TeachEvidence::ToggleCloud>;
constexpr Action kStore = On<&Context::transfer, &Transfer::Store>;

constexpr Event kCommit = Event::Commit;

using E = ControlEntry;
constexpr std::array<ControlEntry, kCtrlCount> kControls = {{
    // Connection page
    E{Ctrl::ProtocolSelector, Help::kProtocol, Key::None, kCommit, kProtocolChanged},
    E{Ctrl::ComPortSelector, Help::kComPort, Key::None, kCommit, kSettingChanged},
    E{Ctrl::BaudRateSelector, Help::kBaudrate, Key::None, kCommit, kSettingChanged},
    E{Ctrl::ServerField, Help::kServer, Key::None, kCommit, kServerChanged},
    E{Ctrl::PortField, Help::kPortNumber, Key::None, kCommit, kSettingChanged},
    E{Ctrl::ConnectButton, Help::kConnect, Key::None, kCommit, kConnect},
    E{Ctrl::DisconnectButton, Help::kDisconnect, Key::None, kCommit, kDisconnect},
    E{Ctrl::PortListButton, Help::kFindComPorts, Key::None, kCommit, kFindComPorts},
    E{Ctrl::AcceptButton, Help::kAccept, Key::None, kCommit, Accept},
    E{Ctrl::InfoBox, {}, Key::None, kCommit, nullptr},
    // Data panel
    E{Ctrl::RedDisplay, Help::kDispRGB, Key::None, kCommit, nullptr},
    E{Ctrl::GreenDisplay, Help::kDispRGB, Key::None, kCommit, nullptr},
    E{Ctrl::BlueDisplay, Help::kDispRGB, Key::None, kCommit, nullptr},
    E{Ctrl::XDisplay, Help::kDispX, Key::None, kCommit, nullptr},
    E{Ctrl::YDisplay, Help::kDispY, Key::None, kCommit, nullptr},
    E{Ctrl::IntDisplay, Help::kDispINT, Key::None, kCommit, nullptr},
    E{Ctrl::ColorNoDisplay, Help::kDispCOL, Key::None, kCommit, nullptr},
    E{Ctrl::GraphXY, Help::kGraph3D, Key::None, kCommit, nullptr},
    E{Ctrl::GraphXInt, Help::kGraph3D, Key::None, kCommit, nullptr},
    E{Ctrl::GraphYInt, Help::kGraph3D, Key::None, kCommit, nullptr},
    E{Ctrl::RgbStripChart, Help::kGraph3D, Key::None, kCommit, nullptr},
    E{Ctrl::StatusDisplay, {}, Key::None, Event::RightDoubleClick, kClearInfoBox},
    E{Ctrl::ComPortDisplay, {}, Key::None, kCommit, nullptr},
    E{Ctrl::IpAddressDisplay, {}, Key::None, kCommit, nullptr},
    // Main panel
    E{Ctrl::TabControl, Help::kTab, Key::None, Event::ActiveTabChange, TabChanged},
    E{Ctrl::SendButton, Help::kSend, kSendKey, kCommit, kSend},
    E{Ctrl::GetButton, Help::kGet, kGetKey, kCommit, kGet},
    E{Ctrl::EepromButton, Help::kSelectMem, Key::None, Event::ValChanged, kSelectMem},
    E{Ctrl::FileButton, Help::kSelectMem, Key::None, Event::ValChanged, kSelectMem},
    E{Ctrl::AverageControl, Help::kAverage, Key::None, kCommit, EditAverage},
    E{Ctrl::LanguageSelector, Help::kLanguage, Key::None, kCommit, SelectLanguage},
    E{Ctrl::GoButton, Help::kGo, Key::F11, kCommit, kGo},
    E{Ctrl::StopButton, Help::kStop, Key::F12, kCommit, kStop},
    E{Ctrl::FreqButton, Help::kFreq, Key::None, kCommit, kFreq},
    E{Ctrl::ScanFreqDisplay, Help::kScanFreq, Key::None, kCommit, nullptr},
    // Parameter page: the displays are filled by the program and have no callback.
    E{Ctrl::PowerDisplay, {}, Key::None, kCommit, nullptr},
    E{Ctrl::MaxVecNoDisplay, {}, Key::None, kCommit, nullptr},
    E{Ctrl::GainDisplay, {}, Key::None, kCommit, nullptr},
    E{Ctrl::IntegralDisplay, {}, Key::None, kCommit, nullptr},
    E{Ctrl::TeachTableCtrl, {}, Key::None, kCommit, nullptr},
    E{Ctrl::StartAssistantButton, Help::kStartAssistant, Key::None, kCommit, kAssistant},
    E{Ctrl::RecordButton, Help::kRecord, Key::None, kCommit, kRecord},
    E{Ctrl::CompareButton, Help::kCompare, Key::None, kCommit, kCompare},
    E{Ctrl::StatusBar, {}, Key::None, kCommit, nullptr},
    E{Ctrl::EditModeButton, Help::kEditMode, Key::None, kCommit, kEditMode},
    E{Ctrl::ParameterEditor, Help::kParameterEditor, Key::None, Event::ValChanged, kEditCell},
    E{Ctrl::TeachEditor, Help::kTeachEditor, Key::None, Event::ValChanged, kEditCell},
    E{Ctrl::UndoButton, Help::kUndo, Key::None, kCommit, kUndo},
    E{Ctrl::RedoButton, Help::kRedo, Key::None, kCommit, kRedo},
    E{Ctrl::RevertButton, Help::kRevert, Key::None, kCommit, kRevert},
    E{Ctrl::LinkState, {}, Key::None, kCommit, nullptr},
    E{Ctrl::ReconnectButton, Help::kReconnect, Key::None, kCommit, kReconnect},
    E{Ctrl::AutoReconnectButton, Help::kAutoReconnect, Key::None, kCommit, kAutoReconnect},
    E{Ctrl::OpenFolderButton, Help::kOpenFolder, Key::None, kCommit, kOpenFolder},
    E{Ctrl::TeachFromSensorButton, Help::kTeachFromSensor, Key::None, kCommit, kTeachFromSensor},
    E{Ctrl::TeachSamplesControl, Help::kTeachSamples, Key::None, kCommit, nullptr},
    E{Ctrl::CheckTolerancesButton, Help::kCheckTolerances, Key::None, kCommit, kCheckTolerances},
    E{Ctrl::EvidenceCloudButton, Help::kEvidenceCloud, Key::None, kCommit, kEvidenceCloud},
    E{Ctrl::OverlapNote, Help::kOverlapNote, Key::None, kCommit, nullptr},
    E{Ctrl::RamButton, Help::kSelectMem, Key::None, Event::ValChanged, kSelectMem},
    E{Ctrl::RamReminder, {}, Key::None, kCommit, nullptr},
    E{Ctrl::StoreButton, Help::kStore, Key::None, kCommit, kStore},
}};

constexpr bool InRoleOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (static_cast<std::size_t>(kControls[i].role) != i) return false;
    }
    return true;
}
static_assert(InRoleOrder(), "one entry per control role, in the order of Ctrl");

}  // namespace

const ControlEntry& ControlOf(Ctrl role) {
    static constexpr ControlEntry kNone{};
    const auto i = static_cast<std::size_t>(role);
    return i < kControls.size() ? kControls[i] : kNone;
}

std::string_view HelpText(Ctrl role) {
    return ControlOf(role).help;
}

Key ShortcutKey(Ctrl role) {
    return ControlOf(role).key;
}

namespace {

template <typename F>
Outcome RunInTurn(Context& ctx, UserCommand command, F action) {
    if (const std::string why = ctx.lock.WhyNotNow(command); !why.empty()) {
        // A dimmed command reached by a key or a menu: say so rather than nothing.
        ctx.ui.ShowStatusFailure(why);
        return Outcome::Declined;
    }
    // STOP and the memory selection are over as soon as they are given.
    if (command == UserCommand::Stop || command == UserCommand::Select) return action();
    Outcome outcome = Outcome::Done;
    {
        const CommandLock::Scope running(ctx.lock, command);
        outcome = action();
    }
    // A Send whose answer was lost: once the sensor has answered again, a read-back is offered.
    ctx.transfer.OfferReadBack();
    return outcome;
}

}  // namespace

Outcome DispatchControlEvent(Context& ctx, Ctrl role, Event event) {
    const ControlEntry& e = ControlOf(role);
    if (event == Event::RightClick) {
        if (!e.help.empty()) ctx.feedback.HelpPopup(e.help);
        return Outcome::Done;
    }
    if (event != e.trigger || e.action == nullptr) return Outcome::Done;
    const std::optional<UserCommand> command = CommandOf(role);
    if (!command) return e.action(ctx, role);
    return RunInTurn(ctx, *command, [&] { return e.action(ctx, role); });
}

Outcome DispatchFileCommand(Context& ctx, FileCommand command, const std::string& path) {
    if (command == FileCommand::SaveAs) {
        return RunInTurn(ctx, UserCommand::Send, [&] { return ctx.transfer.SaveToFile(); });
    }
    return RunInTurn(ctx, UserCommand::Get, [&] { return ctx.transfer.OpenFile(path); });
}

}  // namespace qelto
