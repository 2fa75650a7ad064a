#include "app/transfer.hpp"

#include "app/command_lock.hpp"
#include "app/compare.hpp"
#include "app/file_commands.hpp"
#include "app/parameter_editor.hpp"
#include "app/working_copy.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

const ConfigItem kAverageItem = ConfigItem::Parameter(2);
constexpr const char* kSendQueued =
    Tr("Send: the parameters go to the sensor between two samples.");
// After the sensor's plausibility verdict on its EEPROM: the values it holds its defaults for,
// where what was shown had others.
constexpr const char* kInfoNowDefault =
    Tr("Now at their defaults, unlike what was shown (shown -> sensor):\n");
constexpr const char* kGetQueued =
    Tr("Get: the parameters are read from the sensor between two samples.");
constexpr const char* kSendToFile = Tr("Send: to a parameter file; choose it.");
constexpr const char* kGetFromFile = Tr("Get: from a parameter file; choose it.");
constexpr const char* kDiscardOne = TrN("Discard %n unsent change?");
constexpr const char* kDiscardMany = TrN("Discard %n unsent changes?");

}  // namespace

std::string DiscardQuestion(OperatorInterface& ui, std::size_t unsent) {
    return ui.Translate(unsent == 1 ? kDiscardOne : kDiscardMany, static_cast<long>(unsent));
}

Transfer::Transfer(OperatorInterface& ui, SensorSession& sensor, PresenterState& state,
                   Feedback& feedback, WorkingCopy& working, Editor& editor, ParameterFiles& files,
                   CommandLock& lock)
    : ui_(ui),
      sensor_(sensor),
      state_(state),
      feedback_(feedback),
      working_(working),
      editor_(editor),
      files_(files),
      lock_(lock) {}

// A non-zero plausibility count after a write means the sensor replaced values with its own
// defaults: the transfer did not do what the operator asked, so it counts as a failure.
void Transfer::ReportRamPlausibility(RejectedCount rejected, SendResult& result) {
    if (rejected == 0) return;
    const std::string text = PlausibilityText(rejected, kMsgRamPlausibilityTail);
    feedback_.SetTimeout(text);
    refusal_ += (refusal_.empty() ? "" : "\n") + text;
    result = SendResult::Refused;
}

SendResult Transfer::SendPara() {
    state_.sendRequest = false;
    refusal_.clear();
    SendResult result = SendResult::Taken;
    const auto failed = [&](const SensorError& error) {
        feedback_.ReportFailure(error);
        return SendResult::Failed;
    };
    const Configuration sent = working_.config();

    auto written = sensor_.WriteParameters(sent.para);
    if (!written) return failed(written.error());
    ReportRamPlausibility(*written, result);

    written = sensor_.WriteTeachTable(sent.teach);
    if (!written) return failed(written.error());
    ReportRamPlausibility(*written, result);

    if (state_.TransferTarget == kTargetEeprom) {
        if (Status stored = sensor_.StoreEeprom(); !stored) return failed(stored.error());
    }
    // Whatever the sensor made of them, the values shown went out.
    working_.MarkSent();
    return result;
}

bool Transfer::GetPara() {
    state_.getRequest = false;
    return ReadSensor(state_.TransferTarget == kTargetEeprom, true);
}

bool Transfer::ReadSensor(bool throughEeprom, bool intoWorkingCopy) {
    const auto failed = [this](const SensorError& error) {
        feedback_.ReportFailure(error);
        return false;
    };
    // What was shown, where it came from somewhere: the values the sensor put its defaults in
    // place of are named against it.
    const std::optional<Configuration> shown =
        working_.filled() ? std::optional(working_.config()) : std::nullopt;
    RejectedCount rejected = 0;
    if (throughEeprom) {
        const auto loaded = sensor_.LoadEeprom();
        if (!loaded) return failed(loaded.error());
        rejected = *loaded;
        if (rejected != 0) {
            // Information only: the sensor already runs on its defaults for these, and the
            // read that follows tells which.
            ui_.SetActiveTabPage(kConnectionPage);
            ui_.AppendText(Ctrl::InfoBox, PlausibilityText(rejected, kMsgEepromPlausibilityTail));
        }
    }
    const auto para = sensor_.ReadParameters();
    if (!para) return failed(para.error());
    if (intoWorkingCopy) working_.ReplaceParameters(*para);
    const auto rows = sensor_.ReadTeachRows();
    if (!rows) return failed(rows.error());
    if (intoWorkingCopy) {
        // Rows 32..63 are the program's alone: the sensor holds 32.
        Configuration read = working_.config();
        PutSensorRows(read.teach, *rows);
        working_.Replace(read);
    }
    if (rejected != 0 && shown) NameDefaulted(*shown);
    return true;
}

void Transfer::NameDefaulted(const Configuration& shown) {
    Configuration defaults;
    LoadDefaultParaValues(defaults.para, defaults.teach, 1);
    std::vector<Difference> named;
    for (const Difference& d :
         CompareConfigurations(shown, sensor_.configuration(), kSensorTeachRows)) {
        if (d.newValue == ItemValue(defaults, d.item)) named.push_back(d);
    }
    if (named.empty()) return;
    ui_.AppendText(Ctrl::InfoBox, ui_.Translate(kInfoNowDefault) + DifferenceList(named) + "\n");
}

void Transfer::TakeAverage() {
    working_.Edit(kAverageItem, CtrlValueU16(ui_, Ctrl::AverageControl));
}

bool Transfer::ConfirmDiscard() {
    const std::size_t unsent = working_.UnsentCount();
    // A Send waiting for the next gap between two samples goes out before the Get.
    if (unsent == 0 || state_.sendRequest) return true;
    return ui_.ConfirmPopup(kAttentionTitle, DiscardQuestion(ui_, unsent), Default::No) == 1;
}

template <typename F>
Outcome Transfer::WithSensor(F transfer, bool& request, const char* queued) {
    // While live data runs the loop owns the link and serves the request between two samples
    // (or right after the last one, when STOP came while it was on its way).
    if (lock_.liveDataHoldsTheLink()) {
        request = true;
        ui_.ShowStatusMessage(ui_.Translate(queued));
        return Outcome::Done;
    }
    return feedback_.LinkOutcome(transfer());
}

Outcome Transfer::SaveToFile() {
    TakeAverage();
    return files_.SendParaToFile();
}

Outcome Transfer::OpenFile(const std::string& recentPath) {
    if (!ConfirmDiscard()) return Outcome::Declined;
    return recentPath.empty() ? files_.ReadParaFromFile() : files_.ReadParaFromPath(recentPath);
}

Outcome Transfer::Send() {
    if (state_.TransferTarget == kTargetFile) {
        ui_.ShowStatusMessage(ui_.Translate(kSendToFile));
        return SaveToFile();
    }
    const auto send = [this] { return SendPara() == SendResult::Taken; };
    TakeAverage();
    if (!editor_.on()) {
        return WithSensor(send, state_.sendRequest, kSendQueued);
    }
    // From the editor: the differences first, and nothing goes out without a yes.
    if (editor_.ConfirmEditedSend() != Outcome::Done) return Outcome::Declined;
    if (lock_.liveDataHoldsTheLink()) return WithSensor(send, state_.sendRequest, kSendQueued);
    const Configuration sent = working_.config();
    const SendResult result = SendPara();
    if (result == SendResult::Refused) {
        // Which values: what the sensor holds now tells.
        const auto held = sensor_.ReadConfiguration(false);
        if (held) {
            editor_.MarkRefused(sent, held->config, refusal_);
        } else {
            feedback_.ReportFailure(held.error());
        }
    } else {
        editor_.ClearRefused();
    }
    return feedback_.LinkOutcome(result == SendResult::Taken);
}

Outcome Transfer::Get() {
    if (!ConfirmDiscard()) return Outcome::Declined;
    if (state_.TransferTarget == kTargetFile) {
        ui_.ShowStatusMessage(ui_.Translate(kGetFromFile));
        return files_.ReadParaFromFile();
    }
    return WithSensor([this] { return GetPara(); }, state_.getRequest, kGetQueued);
}

Outcome Transfer::SelectMem(Ctrl button) {
    // The two buttons act as radio buttons: the one clicked always ends up on.
    const bool file = button == Ctrl::FileButton;
    if (!file && button != Ctrl::EepromButton) return Outcome::Done;
    ui_.SetCtrlVal(Ctrl::EepromButton, file ? 0 : 1);
    ui_.SetCtrlVal(Ctrl::FileButton, file ? 1 : 0);
    state_.TransferTarget = file ? kTargetFile : kTargetEeprom;
    lock_.ShowTransferTarget();
    return Outcome::Done;
}

}  // namespace qelto
