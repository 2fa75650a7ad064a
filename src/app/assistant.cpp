#include "app/assistant.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "app/graphs.hpp"
#include "app/live.hpp"
#include "app/transfer.hpp"
#include "app/working_copy.hpp"
#include "protocol/number_text.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

// The colour count typed by the operator, if it is one the sensor can be taught.
std::optional<int> AdmissibleCount(std::string_view answer, int limit) {
    // The window limits the field; an interface that does not is held to the same length.
    const std::int32_t value = ParseLeadingInt(answer.substr(0, kMaxColorAnswerLength));
    if (value >= 1 && value <= limit) return value;
    return std::nullopt;
}

int LargestSignal(const LiveData& live) {
    return std::max({live.Red(), live.Green(), live.Blue(), live.Aux1(), live.Aux2(), live.Aux3()});
}

bool TooBright(const LiveData& live) {
    return live.Red() > kBrightnessLimit || live.Green() > kBrightnessLimit ||
           live.Blue() > kBrightnessLimit;
}

}  // namespace

Assistant::Assistant(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                     PresenterState& state, WorkingCopy& working, Transfer& transfer, Live& live,
                     Graphs& graphs, const LiveView& view)
    : ui_(ui),
      loop_(loop),
      sensor_(sensor),
      state_(state),
      working_(working),
      transfer_(transfer),
      live_(live),
      graphs_(graphs),
      view_(view) {}

const char* Assistant::Text(AssistantMsg row) const {
    return AssistantText(row, state_.Language);
}

void Assistant::Say(AssistantMsg row) {
    ui_.MessagePopup("", Text(row));
}

// An OK/CANCEL prompt; Enter answers OK and Escape CANCEL. Anything but OK counts as CANCEL,
// so a closed or unanswered prompt never lets the procedure go on.
bool Assistant::PromptOk(const char* title, AssistantMsg row, std::string* answer) {
    GenericPopupRequest popup;
    popup.title = title;
    popup.message = Text(row);
    popup.buttons = {kButtonOk, kButtonCancel, ""};
    popup.enterButton = kPromptOk;
    popup.escapeButton = kPromptCancel;
    popup.withInput = answer != nullptr;
    popup.maxInputLength = answer != nullptr ? kMaxColorAnswerLength : 0;
    GenericPopupResult result = ui_.GenericMessagePopup(popup);
    if (answer != nullptr) *answer = std::move(result.input);
    return result.button == kPromptOk;
}

// The sensor needs time to settle after a parameter write; the window keeps working meanwhile.
void Assistant::SettleAfterWrite() {
    const double deadline = loop_.Timer() + kPowerSettleSeconds;
    // A quitting event loop returns from every wait at once: stop waiting rather than spin.
    while (loop_.Timer() < deadline && !loop_.QuitRequested())
        loop_.WaitForEvents(deadline);
}

void Assistant::SetParameter(std::uint16_t ParameterSet::*field, int value) {
    working_.Update([&](Configuration& c) { c.para.*field = static_cast<std::uint16_t>(value); });
}

// One write / read-back / measurement round with the stepped field already in the working copy.
Assistant::StepResult Assistant::PowerStep() {
    const bool sent = transfer_.SendPara() == SendResult::Taken;
    SettleAfterWrite();
    if (!sent) return StepResult::Ended;
    // The sensor reports back the Power it chose.
    if (!transfer_.GetPara() || !live_.ReadLiveData()) return StepResult::Ended;
    live_.SetPanelData();
    graphs_.ShowGraph3D();
    if (LargestSignal(view_.live) > working_.para().DynWinLo) {
        SetParameter(&ParameterSet::PowerMode, 0);
        // A refused or failed final write leaves the sensor in adjustment mode: not a success.
        return transfer_.SendPara() == SendResult::Taken ? StepResult::Reached : StepResult::Ended;
    }
    return StepResult::BelowWindow;
}

// Steps Gain, then Integral, until the signal enters the dynamic window. 0: reached or both
// stages run through; 1: stopped by the operator or failed.
int Assistant::AdjustPower() {
    int stepsDone = 0;
    auto step = [&](std::uint16_t ParameterSet::*field, int value) {
        SetParameter(field, value);
        // STOP (or leaving for the connection page) lands here between two steps.
        if (state_.acquisition != Acquisition::PowerAdjustment) {
            Say(MsgParamCancelled);
            return StepResult::Ended;
        }
        const StepResult r = PowerStep();
        ui_.SetProgress(++stepsDone, kPowerSteps);
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

void Assistant::PaintTeachRow(int row, std::uint32_t rgb) {
    for (int column = 1; column <= 4; ++column) {
        ui_.SetTableCellColor(Ctrl::TeachTableCtrl, column, row, rgb);
    }
}

int Assistant::OutputCount() const {
    return sensor_.identity().SensorModel == kTwoOutputFamily ? 2 : 5;
}

int Assistant::ColorLimit() const {
    return ColourLimit(sensor_.identity().SensorModel);
}

void Assistant::StartAssistant() {
    if (GetMaxVecNo() == 1) {
        Say(MsgParamCancelled);
        return;
    }
    if (SetSensorPower() == 1) return;
    if (TeachColors() == 1) Say(MsgTeachCancelled);
}

int Assistant::GetMaxVecNo() {
    const int limit = ColorLimit();
    SetParameter(&ParameterSet::MaxVecNo, limit);

    std::string answer;
    if (!PromptOk(kTitleMaxColFirst, MsgHowManyColors, &answer)) return 1;
    std::optional<int> count = AdmissibleCount(answer, limit);
    if (!count) {
        if (!PromptOk(kTitleMaxColSecond, MsgValueOutOfRange, &answer)) return 1;
        count = AdmissibleCount(answer, limit);
    }
    if (count) {
        SetParameter(&ParameterSet::MaxVecNo, *count);
    } else {
        Say(MsgDefaultLoaded);
    }

    SetParameter(&ParameterSet::DigitalOutMode, 2);
    if (working_.para().MaxVecNo <= OutputCount() &&
        ui_.ConfirmPopup("", Text(MsgDirectOutput), Default::No) == 1) {
        SetParameter(&ParameterSet::DigitalOutMode, 0);
    }
    return 0;
}

int Assistant::SetSensorPower() {
    if (!PromptOk(kTitlePowerAdjust, MsgPlaceBrightest, nullptr)) return 1;
    Say(MsgDefaultsFirst);

    working_.Update([](Configuration& c) {
        LoadDefaultParaValues(c.para, c.teach, 0);  // keeps MaxVecNo and DigitalOutMode
        c.para.PowerMode = 1;
    });

    state_.acquisition = Acquisition::PowerAdjustment;
    const int result = AdjustPower();
    // Left at 1, Send and Get would take the finished adjustment for running acquisition and
    // only queue their requests for a GO that may never come.
    state_.acquisition = Acquisition::Stopped;
    ui_.SetProgress(-1, kPowerSteps);
    return result;
}

int Assistant::TeachColors() {
    // MaxVecNo is the sensor's read-back by now; never teach more rows than the sensor takes.
    const int count = std::min<int>(working_.para().MaxVecNo, ColorLimit());
    for (int n = 0; n < count; ++n) {
        const int row = n + 1;
        ui_.SetActiveTableCell(Ctrl::TeachTableCtrl, 1, row);
        PaintTeachRow(row, kRowBeingTaught);
        ui_.MessagePopup(kTitleTeachColor + std::to_string(n), Text(MsgPlaceColor));

        const bool read = live_.ReadLiveData();
        if (read) {
            live_.SetPanelData();
            if (TooBright(view_.live) &&
                ui_.ConfirmPopup("", Text(MsgTooBright), Default::Yes) == 1) {
                return 1;
            }
            // The row is taught: the page and the circles show it as soon as it is here.
            const LiveData& live = view_.live;
            working_.Update([&](Configuration& c) {
                c.teach[static_cast<std::size_t>(n)].Cell = {static_cast<std::uint16_t>(live.X()),
                                                             static_cast<std::uint16_t>(live.Y()),
                                                             static_cast<std::uint16_t>(live.Int()),
                                                             kTaughtRadius,
                                                             0,
                                                             0};
            });
        }
        PaintTeachRow(row, kRowTaught);
        if (!read) return 1;
    }

    Say(MsgSavedToEeprom);
    // The taught table goes to the EEPROM whatever the operator's memory selection; a failure
    // here has been reported by the exchange and does not undo the teaching.
    const std::uint16_t target = state_.TransferTarget;
    state_.TransferTarget = kTargetEeprom;
    transfer_.SendPara();
    state_.TransferTarget = target;
    return 0;
}

}  // namespace qelto
