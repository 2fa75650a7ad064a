#include "app/assistant.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "app/assistant_messages.hpp"
#include "app/context.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "app/operation_state.hpp"
#include "app/transfer.hpp"
#include "link/transport.hpp"
#include "protocol/records.hpp"

namespace qelto {
namespace {

const char* Text(const Context& ctx, AssistantMsg row) {
    return AssistantText(row, ctx.state.Language);
}

void Say(Context& ctx, AssistantMsg row) {
    ctx.ui.MessagePopup("", Text(ctx, row));
}

// An OK/CANCEL prompt; Enter answers OK and Escape CANCEL. Anything but OK counts as CANCEL,
// so a closed or unanswered prompt never lets the procedure go on.
bool PromptOk(Context& ctx, const char* title, AssistantMsg row, std::string* answer) {
    GenericPopupRequest popup;
    popup.title = title;
    popup.message = Text(ctx, row);
    popup.buttons = {kButtonOk, kButtonCancel, ""};
    popup.enterButton = kPromptOk;
    popup.escapeButton = kPromptCancel;
    popup.withInput = answer != nullptr;
    popup.maxInputLength = answer != nullptr ? kMaxColorAnswerLength : 0;
    GenericPopupResult result = ctx.ui.GenericMessagePopup(popup);
    if (answer != nullptr) *answer = std::move(result.input);
    return result.button == kPromptOk;
}

// The colour count typed by the operator, if it is one the sensor can be taught.
std::optional<int> AdmissibleCount(std::string_view answer, int limit) {
    // The window limits the field; an interface that does not is held to the same length.
    const std::int32_t value = ParseLeadingInt(answer.substr(0, kMaxColorAnswerLength));
    if (value >= 1 && value <= limit) return value;
    return std::nullopt;
}

// The sensor needs time to settle after a parameter write; the window keeps working meanwhile.
void SettleAfterWrite(Context& ctx) {
    const double deadline = ctx.loop.Timer() + kPowerSettleSeconds;
    // A quitting event loop returns from every wait at once: stop waiting rather than spin.
    while (ctx.loop.Timer() < deadline && !ctx.loop.QuitRequested())
        ctx.loop.WaitForEvents(deadline);
}

int LargestSignal(const LiveData& live) {
    return std::max({live.Red(), live.Green(), live.Blue(), live.Aux1(), live.Aux2(), live.Aux3()});
}

enum class StepResult { BelowWindow, Reached, Ended };

// One write / read-back / measurement round with the stepped field already in the working copy.
StepResult PowerStep(Context& ctx) {
    const bool& ok = ctx.state.communicationOk;
    SendPara(ctx);
    SettleAfterWrite(ctx);
    if (!ok) return StepResult::Ended;
    GetPara(ctx);  // the sensor reports back the Power it chose
    if (!ok) return StepResult::Ended;
    SetPanelValues(ctx);
    if (ReadLiveData(ctx)) {
        SetPanelData(ctx);
        ShowGraph3D(ctx);
    }
    if (!ok) return StepResult::Ended;
    if (LargestSignal(ctx.view.live) > ctx.config.para.DynWinLo) {
        ctx.config.para.PowerMode = 0;
        SendPara(ctx);
        // A refused or failed final write leaves the sensor in adjustment mode: not a success.
        return ok ? StepResult::Reached : StepResult::Ended;
    }
    return StepResult::BelowWindow;
}

// Steps Gain, then Integral, until the signal enters the dynamic window. 0: reached or both
// stages run through; 1: stopped by the operator or failed.
int AdjustPower(Context& ctx) {
    int stepsDone = 0;
    auto step = [&](std::uint16_t ParameterSet::*field, int value) {
        ctx.config.para.*field = static_cast<std::uint16_t>(value);
        // STOP (or leaving for the connection page) lands here between two steps.
        if (ctx.state.acquisition != Acquisition::PowerAdjustment) {
            Say(ctx, MsgParamCancelled);
            return StepResult::Ended;
        }
        const StepResult r = PowerStep(ctx);
        ctx.ui.SetProgress(++stepsDone, kPowerSteps);
        return r;
    };
    for (int gain = kFirstGain; gain <= kLastGain; ++gain) {
        const StepResult r = step(&ParameterSet::Gain, gain);
        if (r != StepResult::BelowWindow) return r == StepResult::Reached ? 0 : 1;
    }
    for (int integral = kFirstIntegral; integral <= kLastIntegral; ++integral) {
        const StepResult r = step(&ParameterSet::Integral, integral);
        if (r != StepResult::BelowWindow) return r == StepResult::Reached ? 0 : 1;
    }
    return 0;
}

void PaintTeachRow(Context& ctx, int row, std::uint32_t rgb) {
    for (int column = 1; column <= 4; ++column) {
        ctx.ui.SetTableCellColor(Ctrl::TeachTableCtrl, column, row, rgb);
    }
}

bool TooBright(const LiveData& live) {
    return live.Red() > kBrightnessLimit || live.Green() > kBrightnessLimit ||
           live.Blue() > kBrightnessLimit;
}

}  // namespace

int OutputCount(const Context& ctx) {
    return ctx.sensor.identity().SensorModel == kTwoOutputFamily ? 2 : 5;
}

int ColorLimit(const Context& ctx) {
    return ctx.sensor.identity().SensorModel == kTwoOutputFamily ? 3 : 31;
}

Outcome CBF_ButtonStart(Context& ctx) {
    SetButtonsDimmed(ctx, 0, 1);  // STOP stays usable for the power adjustment
    StartAssistant(ctx);
    SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

void StartAssistant(Context& ctx) {
    if (GetMaxVecNo(ctx) == 1) {
        Say(ctx, MsgParamCancelled);
        return;
    }
    if (SetSensorPower(ctx) == 1) return;
    if (TeachColors(ctx) == 1) Say(ctx, MsgTeachCancelled);
}

int GetMaxVecNo(Context& ctx) {
    const int limit = ColorLimit(ctx);
    ctx.config.para.MaxVecNo = static_cast<std::uint16_t>(limit);

    std::string answer;
    if (!PromptOk(ctx, kTitleMaxColFirst, MsgHowManyColors, &answer)) return 1;
    std::optional<int> count = AdmissibleCount(answer, limit);
    if (!count) {
        if (!PromptOk(ctx, kTitleMaxColSecond, MsgValueOutOfRange, &answer)) return 1;
        count = AdmissibleCount(answer, limit);
    }
    if (count) {
        ctx.config.para.MaxVecNo = static_cast<std::uint16_t>(*count);
    } else {
        Say(ctx, MsgDefaultLoaded);
    }

    ctx.config.para.DigitalOutMode = 2;
    if (ctx.config.para.MaxVecNo <= OutputCount(ctx) &&
        ctx.ui.ConfirmPopup("", Text(ctx, MsgDirectOutput), Default::No) == 1) {
        ctx.config.para.DigitalOutMode = 0;
    }
    SetPanelValues(ctx);
    return 0;
}

int SetSensorPower(Context& ctx) {
    if (!PromptOk(ctx, kTitlePowerAdjust, MsgPlaceBrightest, nullptr)) return 1;
    Say(ctx, MsgDefaultsFirst);

    LoadDefaultParaValues(ctx.config.para, ctx.config.teach,
                          0);  // keeps MaxVecNo and DigitalOutMode
    ctx.config.para.PowerMode = 1;

    ctx.state.communicationOk = true;
    ctx.state.acquisition = Acquisition::PowerAdjustment;
    const int result = AdjustPower(ctx);
    // Left at 1, Send and Get would take the finished adjustment for running acquisition and
    // only queue their requests for a GO that may never come.
    ctx.state.acquisition = Acquisition::Stopped;
    ctx.ui.SetProgress(-1, kPowerSteps);
    return result;
}

int TeachColors(Context& ctx) {
    // MaxVecNo is the sensor's read-back by now; never teach more rows than the sensor takes.
    const int count = std::min<int>(ctx.config.para.MaxVecNo, ColorLimit(ctx));
    for (int n = 0; n < count; ++n) {
        const int row = n + 1;
        ctx.ui.SetActiveTableCell(Ctrl::TeachTableCtrl, 1, row);
        PaintTeachRow(ctx, row, kRowBeingTaught);
        ctx.ui.MessagePopup(kTitleTeachColor + std::to_string(n), Text(ctx, MsgPlaceColor));

        const bool read = ReadLiveData(ctx);
        if (read) {
            SetPanelData(ctx);
            if (TooBright(ctx.view.live) &&
                ctx.ui.ConfirmPopup("", Text(ctx, MsgTooBright), Default::Yes) == 1) {
                return 1;
            }
            auto& cell = ctx.config.teach[static_cast<std::size_t>(n)].Cell;
            cell = {static_cast<std::uint16_t>(ctx.view.live.X()),
                    static_cast<std::uint16_t>(ctx.view.live.Y()),
                    static_cast<std::uint16_t>(ctx.view.live.Int()),
                    kTaughtRadius,
                    0,
                    0};
            for (int column = 1; column <= 4; ++column) {
                ctx.ui.SetTableCellVal(Ctrl::TeachTableCtrl, column, row,
                                       cell[static_cast<std::size_t>(column - 1)]);
            }
            InitGraphs(ctx);
            ShowGraph3D(ctx);
        }
        PaintTeachRow(ctx, row, kRowTaught);
        if (!read || !ctx.state.communicationOk) return 1;
    }

    Say(ctx, MsgSavedToEeprom);
    // The taught table goes to the EEPROM whatever the operator's memory selection; a failure
    // here has been reported by the exchange and does not undo the teaching.
    const std::uint16_t target = ctx.state.TransferTarget;
    ctx.state.TransferTarget = kTargetEeprom;
    SendPara(ctx);
    ctx.state.TransferTarget = target;
    return 0;
}

}  // namespace qelto
