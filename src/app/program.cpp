#include "app/program.hpp"

#include "app/context.hpp"
#include "app/panel_settings.hpp"
#include "files/file_header.hpp"
#include "files/paths.hpp"
#include "sensor/link_settings.hpp"

#include <filesystem>

namespace qelto {
namespace {

struct InfoLine {
    const char* text;
    bool withTooltip;
    int left, top, pointSize;
};

void PaintTeachTable(OperatorInterface& ui) {
    for (int row = 1; row <= kTeachTableRows; ++row) {
        for (int col = 1; col <= kTeachTableColumns; ++col)
            ui.SetTableCellColor(Ctrl::TeachTableCtrl, col, row, kTeachTableGrey);
    }
    // Column 5 marks each row with the colour its circles are drawn in.
    for (int row = 1; row <= kTeachTableRows; ++row) {
        ui.SetTableCellColor(Ctrl::TeachTableCtrl, kTeachTableColumns, row,
                             TeachRowColor(static_cast<std::size_t>(row - 1)));
    }
}

}  // namespace

void SetStartupState(PresenterState& state) {
    state.TransferTarget = kTargetEeprom;
    state.acquisition = Acquisition::Stopped;
    state.sendRequest = false;
    state.getRequest = false;
    state.Language = 0;
}

void ShowLogo(OperatorInterface& ui) {
    static constexpr InfoLine kLines[] = {
        {kProgramTitle, true, 323, 29, 19},
        {kInfoProjectName, false, 15, 6, 11},
        {kInfoLicence, false, 15, 22, 11},
        {kInfoSimulator, false, 15, 36, 11},
    };
    for (const InfoLine& l : kLines)
        ui.ShowInfoText(l.text, l.withTooltip, l.left, l.top, l.pointSize, kBannerTextColor);
    ui.SetBannerColor(kBannerColor);
    ui.DisplayLogo(325, 6, kLogoFileName);
}

void InitAll(Context& ctx, const StartupOptions& options) {
    SetStartupState(ctx.state);
    InitSettingsPaths(ctx.settings, options.programDirectory, options.userConfigDirectory);
    ctx.settings.DocumentsDirectory = options.documentsDirectory;
    PaintTeachTable(ctx.ui);
    // The assistant's right-click help is its own; the tooltip says what it is not for.
    ctx.ui.SetTooltip(Ctrl::StartAssistantButton, kAssistantTooltip);
    ShowLogo(ctx.ui);
    std::error_code ec;
    const bool firstStart =
        !std::filesystem::exists(PathFromUtf8(ctx.settings.PanelSettingsPath), ec);
    LoadPanelSettings(ctx);
    // Once settings exist, their language holds (or the default, when they have none).
    if (firstStart && options.desktopLanguage && *options.desktopLanguage >= 0 &&
        *options.desktopLanguage < kLanguageCount) {
        ctx.state.Language = *options.desktopLanguage;
        ctx.ui.SetCtrlVal(Ctrl::LanguageSelector, ctx.state.Language);
    }
    ctx.ui.SetActiveTabPage(kParameterPage);
    ctx.ui.DisplayPanels();
    const StoredConnection stored = GetConnectionSettingsFromFile(ctx);
    if (options.connectionOverride) {
        ctx.settings.keptConnection = stored;
        ctx.settings.link = *options.connectionOverride;
        ShowConnectionSettings(ctx.ui, StoredFrom(ctx.settings.link));
    }
    ctx.connection.InitConnectPanel();
    ctx.connection.ListPorts();
    FirstConnection(ctx);
}

Outcome FirstConnection(Context& ctx) {
    const CommandLock::Scope connecting(ctx.lock, UserCommand::Connect);
    return ctx.connection.TryToConnect();
}

Outcome CBF_MAINP(Context& ctx, Event event) {
    if (event == Event::Close) {
        // Edits that went nowhere are not thrown away without a yes; Enter keeps them.
        if (const std::size_t unsent = ctx.working.UnsentCount();
            unsent != 0 && ctx.ui.ConfirmPopup(kAttentionTitle, DiscardQuestion(ctx.ui, unsent),
                                               Default::No) != 1) {
            return Outcome::Declined;
        }
        ctx.state.acquisition = Acquisition::Stopped;
        StorePanelSettings(ctx);
        ctx.loop.QuitUserInterface(0);
        return Outcome::Quit;
    }
    if (event == Event::Timer) {
        ctx.reconnection.Tick();
        ctx.transfer.OfferReadBack();
        // How long the link has been lost goes on counting on the link line.
        if (ctx.supervisor.phase() == LinkPhase::Lost) ctx.link.LinkChanged(ctx.supervisor);
        return Outcome::Done;
    }
    if (event == Event::RightDoubleClick) {
        ctx.ui.SetWindowSize(kStandardWidth, kStandardHeight);
        ctx.ui.CenterWindow();
    }
    return Outcome::Done;
}

void Shutdown(Context& ctx) {
    if (ctx.sensor.tcpConnected()) ctx.sensor.CloseTcp();
    ctx.sensor.CloseSerialPort(ctx.settings.link.comPort);
    ctx.sensor.Close();  // the port really open, when the selector has moved since
}

}  // namespace qelto
