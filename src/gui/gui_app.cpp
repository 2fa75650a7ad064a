#include "gui_app.hpp"

#include <QCoreApplication>
#include <QKeySequence>

#include "files/panel_settings.hpp"
#include "link/connection.hpp"
#include "link/connection_page.hpp"
#include "sensor/assistant.hpp"
#include "sensor/live.hpp"
#include "ui/graphs.hpp"
#include "ui/main_panel.hpp"

namespace qelto::gui {
namespace {

// The banner's header lines: the project's own name, contact and web address.
constexpr const char* kHeaderName = "Qelto project";
constexpr const char* kHeaderContact = "qelto@example.org";
constexpr const char* kHeaderWeb = "https://qelto.example.org";
constexpr std::uint32_t kBannerColour = 0x0080FF;
constexpr std::uint32_t kBannerText = 0xFFFFFF;
constexpr std::uint32_t kTeachTableGrey = 0xC0C0C0;
constexpr int kTeachTableRows = 31;
constexpr int kTeachTableColumns = 5;

using Callback = int (*)(Context&, Event);

// The core's callback of each control role; none for controls without one.
Callback CallbackFor(Ctrl c) {
    switch (c) {
        case Ctrl::ProtocolSelector:
            return CBF_EditCommunicationProtocol;
        case Ctrl::ComPortSelector:
            return CBF_EditSelectComPort;
        case Ctrl::BaudRateSelector:
            return CBF_EditSelectBaudrate;
        case Ctrl::ServerField:
            return CBF_StringIpAdress;
        case Ctrl::PortField:
            return CBF_StringPortNumber;
        case Ctrl::ConnectButton:
            return CBF_ButtonTryToConnect;
        case Ctrl::DisconnectButton:
            return CBF_ButtonDisconnect;
        case Ctrl::PortListButton:
            return CBF_ButtonFindComPorts;
        case Ctrl::AcceptButton:
            return CBF_ButtonAccept;
        case Ctrl::RedDisplay:
        case Ctrl::GreenDisplay:
        case Ctrl::BlueDisplay:
            return CBF_DispRGB;
        case Ctrl::XDisplay:
            return CBF_DispX;
        case Ctrl::YDisplay:
            return CBF_DispY;
        case Ctrl::IntDisplay:
            return CBF_DispINT;
        case Ctrl::ColorNoDisplay:
            return CBF_DispCOL;
        case Ctrl::GraphXY:
        case Ctrl::GraphXInt:
        case Ctrl::GraphYInt:
        case Ctrl::RgbStripChart:
            return CBF_Graph3D;
        case Ctrl::StatusDisplay:
            return CBF_DispStatus;
        case Ctrl::TabControl:
            return CBF_TabMain1;
        case Ctrl::SendButton:
            return CBF_ButtonSend;
        case Ctrl::GetButton:
            return CBF_ButtonGet;
        case Ctrl::AverageControl:
            return CBF_EditAverage;
        case Ctrl::LanguageSelector:
            return CBF_EditSelectLanguage;
        case Ctrl::GoButton:
            return CBF_ButtonGo;
        case Ctrl::StopButton:
            return CBF_ButtonStop;
        case Ctrl::FreqButton:
            return CBF_ButtonFREQ;
        case Ctrl::ScanFreqDisplay:
            return CBF_DispScanFreq;
        case Ctrl::StartAssistantButton:
            return CBF_ButtonStart;
        default:
            return nullptr;
    }
}

}  // namespace

GuiApp::GuiApp() : ui_(pump_), ctx_(ui_, serial_, tcp_, ports_) {
    ui_.onControlEvent = [this](Ctrl c, Event e) { OnControl(c, e); };
    ui_.onPanelEvent = [this](Event e) { OnPanel(e); };
    ui_.SetShortcutKey(Ctrl::SendButton, QKeySequence(Qt::Key_F9));
    ui_.SetShortcutKey(Ctrl::GetButton, QKeySequence(Qt::Key_F10));
    ui_.SetShortcutKey(Ctrl::GoButton, QKeySequence(Qt::Key_F11));
    ui_.SetShortcutKey(Ctrl::StopButton, QKeySequence(Qt::Key_F12));
}

GuiApp::~GuiApp() {
    Shutdown();
}

void GuiApp::OnControl(Ctrl c, Event e) {
    if (c == Ctrl::EepromButton || c == Ctrl::FileButton) {
        CBF_SelectMem(ctx_, c, e);
    } else if (override_ && c == Ctrl::AcceptButton && e == Event::Commit) {
        StoreSettings();
        ui_.SetActiveTabPage(kParameterPage);
    } else if (Callback cb = CallbackFor(c)) {
        cb(ctx_, e);
    }
}

void GuiApp::OnPanel(Event e) {
    if (e == Event::Close) {
        // No question: a running acquisition ends at its next check, the settings are kept.
        ctx_.state.DataTransferActive = 0;
        StoreSettings();
        ui_.QuitUserInterface(0);
    } else if (e == Event::RightDoubleClick) {
        ui_.SetWindowSize(kMainHeight, kMainWidth);
        ui_.CenterWindow();
    }
}

void GuiApp::StoreSettings() {
    if (!override_) {
        StorePanelSettings(ctx_);
        return;
    }
    const ConnectionSettings run = ctx_.conn;
    ShowConnection(stored_);
    StorePanelSettings(ctx_);
    ctx_.conn = run;
    ShowConnection(*override_);
}

void GuiApp::ShowConnection(const ConnectionSettings& c) {
    ui_.SetCtrlVal(Ctrl::ProtocolSelector, c.Protocol);
    ui_.SetCtrlVal(Ctrl::ComPortSelector, c.ComPort);
    ui_.SetCtrlVal(Ctrl::BaudRateSelector, c.BaudRateIndex);
    ui_.SetCtrlText(Ctrl::ServerField, TextOf(c.IpAddress));
    ui_.SetCtrlText(Ctrl::PortField, TextOf(c.PortNumber));
}

void GuiApp::ShowLogo() {
    ui_.ShowInfoText(kProgramTitle, true, 323, 29, 19, kBannerText);
    ui_.ShowInfoText(kHeaderName, false, 15, 6, 11, kBannerText);
    ui_.ShowInfoText(kHeaderContact, false, 15, 22, 11, kBannerText);
    ui_.ShowInfoText(kHeaderWeb, false, 15, 36, 11, kBannerText);
    ui_.SetBannerColor(kBannerColour);
    ui_.DisplayLogo(325, 6, kLogoFileName);
}

void GuiApp::PaintTeachTable() {
    for (int row = 1; row <= kTeachTableRows; ++row) {
        for (int column = 1; column <= kTeachTableColumns; ++column) {
            ui_.SetTableCellColor(Ctrl::TeachTableCtrl, column, row, kTeachTableGrey);
        }
        // Column 5 is the colour marker of teach row row - 1, as its circles are drawn.
        ui_.SetTableCellColor(Ctrl::TeachTableCtrl, kTeachTableColumns, row,
                              TeachRowColor(static_cast<std::size_t>(row - 1)));
    }
}

void GuiApp::Start(const GuiStartup& startup) {
    auto& st = ctx_.state;
    ctx_.link.TcpConnected = 0;
    st.TransferTarget = kTargetEeprom;
    st.DataTransferActive = 0;
    st.SendRequest = 0;
    st.GetRequest = 0;
    st.Language = 0;
    override_ = startup.connectionOverride;

    ui_.window().setWindowTitle(QString::fromUtf8(kProgramTitle));
    InitSettingsPaths(ctx_, startup.programDirectory, startup.userConfigDirectory);
    PaintTeachTable();
    ShowLogo();
    LoadPanelSettings(ctx_);
    ui_.SetActiveTabPage(kParameterPage);
    ui_.DisplayPanels();
    GetConnectionSettingsFromFile(ctx_);
    stored_ = ctx_.conn;
    if (override_) {
        // The override names the link; the serial settings on the page stay the stored ones.
        override_->ComPort = stored_.ComPort;
        override_->BaudRateIndex = stored_.BaudRateIndex;
        ShowConnection(*override_);
    }
    InitConnectPanel(ctx_);
    SetButtonsDimmed(ctx_, 0, 1);
    TryToConnect(ctx_);
    if (st.CommunicationOk == 1) SetButtonsDimmed(ctx_, 0, 0);
}

int GuiApp::Exec() {
    int code = 0;
    if (!ui_.QuitRequested()) {
        ui_.SetMainLoopRunning(true);
        code = QCoreApplication::exec();
        ui_.SetMainLoopRunning(false);
    }
    if (ui_.quitCode()) code = *ui_.quitCode();
    Shutdown();
    return code;
}

void GuiApp::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (ctx_.link.TcpConnected != 0) CloseTcp(ctx_);
    CloseSerial(ctx_, ctx_.conn.ComPort);
    ui_.window().closing = true;
    ui_.window().close();
}

}  // namespace qelto::gui
