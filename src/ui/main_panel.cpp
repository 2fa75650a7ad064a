#include "ui/main_panel.hpp"

#include <cmath>

#include "files/parameter_file.hpp"
#include "link/connection.hpp"
#include "sensor/transfer.hpp"
#include "ui/context.hpp"

namespace qelto {
namespace {

inline constexpr const char* kHelpSend =
    "All the parameters of the PC-User-Interface are transferred to the sensor or to a "
    "selectable file. \nThe target of the parameter transfer is determined by the select button "
    "(RAM, EEPROM, FILE). \n\nShortcut Key: F9. ";
inline constexpr const char* kHelpGet =
    "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of the "
    "parameter transfer is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut "
    "Key: F10. ";
inline constexpr const char* kHelpSelectMem =
    "Select source respectively the target for the parameter transfer.";
inline constexpr const char* kHelpAverage =
    "Select the number of scanning values (measured values) \nover which the raw signal is "
    "averaged (meanvalue!).";
inline constexpr const char* kHelpLanguage = "Select your language.";
inline constexpr const char* kHelpTab = "Select TAB-window.";

}  // namespace

int CBF_ButtonSend(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpSend);
    } else if (event == Event::Commit) {
        ctx.para.Average = CtrlValueU16(ctx, Ctrl::AverageControl);
        if (ctx.state.TransferTarget == kTargetFile) {
            SendParaToFile(ctx);
        } else if (ctx.state.DataTransferActive == 0) {
            SetButtonsDimmed(ctx, 0, 1);
            SendPara(ctx);
            SetButtonsDimmed(ctx, 0, 0);
        } else {
            // The acquisition loop owns the link; it sends between two samples.
            ctx.state.SendRequest = 1;
        }
    }
    return 0;
}

int CBF_ButtonGet(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpGet);
    } else if (event == Event::Commit) {
        if (ctx.state.TransferTarget == kTargetFile) {
            ReadParaFromFile(ctx);
        } else if (ctx.state.DataTransferActive == 0) {
            SetButtonsDimmed(ctx, 0, 1);
            GetPara(ctx);
            SetButtonsDimmed(ctx, 0, 0);
        } else {
            ctx.state.GetRequest = 1;
        }
    }
    return 0;
}

int CBF_SelectMem(Context& ctx, Ctrl button, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpSelectMem);
    } else if (event == Event::ValChanged) {
        // The two buttons act as radio buttons: the one clicked always ends up on.
        const bool file = button == Ctrl::FileButton;
        if (!file && button != Ctrl::EepromButton) return 0;
        ctx.ui.SetCtrlVal(Ctrl::EepromButton, file ? 0 : 1);
        ctx.ui.SetCtrlVal(Ctrl::FileButton, file ? 1 : 0);
        ctx.state.TransferTarget = file ? kTargetFile : kTargetEeprom;
    }
    return 0;
}

int CBF_EditAverage(Context& ctx, Event event) {
    // Send reads the value; nothing to do when it changes.
    return HelpOnly(ctx, event, kHelpAverage);
}

int CBF_EditSelectLanguage(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpLanguage);
    } else if (event == Event::Commit) {
        const double value = ctx.ui.GetCtrlVal(Ctrl::LanguageSelector);
        // Every message table has exactly seven columns; anything else keeps the language.
        if (value >= 0 && value < kLanguageCount && value == std::floor(value)) {
            ctx.state.Language = static_cast<std::int32_t>(value);
        }
    }
    return 0;
}

int CBF_TabMain1(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpTab);
    } else if (event == Event::ActiveTabChange) {
        if (ctx.ui.GetActiveTabPage() == kConnectionPage) {
            ctx.state.DataTransferActive = 0;
            ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
        }
    }
    return 0;
}

}  // namespace qelto
