#include "app/transfer.hpp"

#include "app/command_lock.hpp"
#include "app/compare.hpp"
#include "app/file_commands.hpp"
#include "app/parameter_editor.hpp"
#include "app/working_copy.hpp"
#include "protocol/frame.hpp"
#include "sensor/link_supervisor.hpp"
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
// Send from the plain page while values the sensor refused are shown.
constexpr const char* kSendRefusedHead =
    Tr("The sensor refused these values at the last Send (sent -> holds):\n\n");
constexpr const char* kSendRefusedQuestion = Tr("\nSend them again?");
// Once the sensor answers again after a Send whose answer was lost.
constexpr const char* kReadBackHead =
    Tr("The answer to the last Send was lost: the sensor may hold what was sent, or what it held "
       "before. It may hold: ");
constexpr const char* kReadBackRam =
    Tr("Read back what its RAM holds now? Nothing is written; the values shown stay, and those it "
       "holds otherwise are marked.");
constexpr const char* kReadBackEeprom =
    Tr("Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the "
       "values shown stay, and those it holds otherwise are marked.");
// After the sensor's plausibility verdict on a write: the values it did not take.
constexpr const char* kInfoNotTaken = Tr("Not taken by the sensor (sent -> holds):\n");
// On the link line while the sensor's RAM is ahead of its EEPROM.
constexpr const char* kRamReminder = Tr("RAM only: lost at power-off");
constexpr const char* kRamReminderTip =
    Tr("Values were sent to the sensor's RAM alone. It works with them now, but at the next "
       "power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.");
constexpr const char* kStoreButton = Tr("Store in EEPROM");
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
      lock_(lock) {
    ui_.SetCtrlText(Ctrl::RamReminder, ui_.Translate(kRamReminder));
    ui_.SetTooltip(Ctrl::RamReminder, ui_.Translate(kRamReminderTip));
    ui_.SetCtrlText(Ctrl::StoreButton, ui_.Translate(kStoreButton));
    ShowRamReminder();
}

Memory Transfer::SensorMemory(bool throughEeprom) {
    return throughEeprom ? Memory::Eeprom : Memory::Ram;
}

TransferOptions Transfer::Reporting(bool throughEeprom) {
    TransferOptions options;
    options.memory = SensorMemory(throughEeprom);
    options.stepDone = [this](const TransferStepRecord& step) {
        if (step.error) {
            feedback_.ReportFailure(*step.error);
            return;
        }
        if (step.rejected == 0) return;
        if (step.step == TransferStep::Load) {
            // Information only: the sensor already runs on its defaults for these, and the
            // read that follows tells which.
            ui_.SetActiveTabPage(kConnectionPage);
            ui_.AppendText(Ctrl::InfoBox,
                           PlausibilityText(step.rejected, kMsgEepromPlausibilityTail));
            return;
        }
        // The sensor replaced written values with its own defaults: not what the operator
        // asked, so a failure; the writes go on.
        feedback_.SetTimeout(PlausibilityText(step.rejected, kMsgRamPlausibilityTail));
    };
    return options;
}

void Transfer::ReportUnreported(const TransferOutcome& outcome) {
    // A failure no step had (a frame outside a reply after the writes) is said here.
    if (!outcome.error) return;
    for (const TransferStepRecord& step : outcome.steps) {
        if (step.error) return;
    }
    feedback_.ReportFailure(*outcome.error);
}

void Transfer::ShowOutcome(const TransferOutcome& outcome) {
    const std::string line = OutcomeLine(outcome);
    if (outcome.ok()) {
        ui_.ShowStatusMessage(line);
    } else {
        ui_.ShowStatusFailure(line);
    }
    // A write whose answer was lost: what the sensor holds is not known until it is read back.
    if (outcome.kind == TransferKind::Send &&
        (outcome.ram == Holds::Unknown || outcome.eeprom == Holds::Unknown)) {
        unknown_ = Unknown{outcome.ram, outcome.eeprom, sensor_.identity(), false};
    }
}

SendResult Transfer::SendPara() {
    state_.sendRequest = false;
    const Configuration sent = working_.config();
    const TransferOutcome outcome =
        SendConfiguration(sensor_, sent, Reporting(state_.TransferTarget == kTargetEeprom));
    ReportUnreported(outcome);
    if (!outcome.refused.empty()) {
        // Named beside the sensor's verdict: what went out, and what it holds instead (read
        // back from its RAM, which the session now knows).
        std::vector<Difference> named;
        for (const RefusedValue& r : outcome.refused)
            named.push_back({r.item, r.value, r.held});
        ui_.AppendText(Ctrl::InfoBox, ui_.Translate(kInfoNotTaken) + DifferenceList(named) + "\n");
        std::string verdict;
        if (const auto failure = outcome.Failure()) verdict = failure->message;
        working_.MarkRefused(sent, sensor_.configuration(), verdict);
    } else {
        working_.ClearRefused();
    }
    ShowOutcome(outcome);
    if (outcome.error) return SendResult::Failed;
    // Whatever the sensor made of them, the values shown went out.
    working_.MarkSent();
    return outcome.refusedAny() ? SendResult::Refused : SendResult::Taken;
}

bool Transfer::GetPara() {
    state_.getRequest = false;
    return ReadSensor(state_.TransferTarget == kTargetEeprom, true);
}

bool Transfer::ReadSensor(bool throughEeprom, bool intoWorkingCopy) {
    // What was shown, where it came from somewhere: what differs is counted, and the values the
    // sensor put its defaults in place of are named, against it.
    const std::optional<Configuration> shown =
        working_.filled() ? std::optional(working_.config()) : std::nullopt;
    TransferOptions options = Reporting(throughEeprom);
    if (shown) options.shown = &*shown;
    const TransferOutcome outcome = GetConfiguration(sensor_, options);
    ReportUnreported(outcome);
    if (intoWorkingCopy && outcome.parameters) {
        // A failed teach read leaves the new parameters; rows 32..63 are the program's alone.
        Configuration read = working_.config();
        read.para = *outcome.parameters;
        if (outcome.teach) {
            PutSensorRows(read.teach, *outcome.teach);
            working_.Replace(read);
        } else {
            working_.ReplaceParameters(read.para);
        }
    }
    if (outcome.error) {
        ShowOutcome(outcome);
        return false;
    }
    if (outcome.eepromRejected != 0 && shown) NameDefaulted(outcome.differs);
    ShowOutcome(outcome);
    return true;
}

void Transfer::NameDefaulted(const std::vector<Difference>& differs) {
    Configuration defaults;
    LoadDefaultParaValues(defaults.para, defaults.teach, 1);
    std::vector<Difference> named;
    for (const Difference& d : differs) {
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
    if (editor_.on()) {
        // From the editor: the differences first, and nothing goes out without a yes.
        if (editor_.ConfirmEditedSend() != Outcome::Done) return Outcome::Declined;
    } else if (!ConfirmSendRefusedAgain()) {
        return Outcome::Declined;
    }
    return WithSensor(send, state_.sendRequest, kSendQueued);
}

bool Transfer::ConfirmSendRefusedAgain() {
    std::vector<Difference> refused;
    for (const auto& [item, r] : working_.refusals())
        refused.push_back({item, r.sent, r.held});
    if (refused.empty()) return true;
    // Values the sensor has just refused do not go out again unseen: Enter says no.
    return ui_.ConfirmPopup(kAttentionTitle,
                            ui_.Translate(kSendRefusedHead) + DifferenceList(refused) +
                                ui_.Translate(kSendRefusedQuestion),
                            Default::No) == 1;
}

void Transfer::SessionChanged(const SessionEvent& event) {
    if (event.kind == SessionEventKind::Answered) {
        if (unknown_) unknown_->answeredSince = true;
        if (event.command == kCmdLiveData) return;
    }
    // RAM is ahead of the EEPROM after a write the sensor may have taken, until RAM goes into
    // the EEPROM or the EEPROM into RAM.
    const bool answered = event.kind == SessionEventKind::Answered;
    if (event.command == kCmdWrite && (answered || event.kind == SessionEventKind::Failed)) {
        ramAheadOf_ = sensor_.identity();
    } else if (answered && (event.command == kCmdStoreEeprom || event.command == kCmdLoadEeprom)) {
        ramAheadOf_.reset();
    }
    ShowRamReminder();
}

void Transfer::OfferReadBack() {
    if (!unknown_ || !unknown_->answeredSince || !lock_.idle()) return;
    const Unknown was = *unknown_;
    unknown_.reset();
    // Another sensor holds nothing of that Send.
    if (!sensor_.connected() || !SameSensor(sensor_.identity(), was.sensor)) return;
    const bool eeprom = was.ram != Holds::Unknown;
    std::string question = ui_.Translate(kReadBackHead) + "RAM " + HoldsName(was.ram) +
                           ", EEPROM " + HoldsName(was.eeprom) + ".\n\n" +
                           ui_.Translate(eeprom ? kReadBackEeprom : kReadBackRam);
    // Reading back changes nothing the operator has; still, Enter says no.
    if (ui_.ConfirmPopup(kAttentionTitle, question, Default::No) != 1) return;
    const CommandLock::Scope reading(lock_, UserCommand::Get);
    ReadSensor(eeprom, false);
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
    // The three buttons act as radio buttons: the one clicked always ends up on.
    std::uint16_t target = kTargetEeprom;
    switch (button) {
        case Ctrl::RamButton:
            target = kTargetRam;
            break;
        case Ctrl::EepromButton:
            break;
        case Ctrl::FileButton:
            target = kTargetFile;
            break;
        default:
            return Outcome::Done;
    }
    state_.TransferTarget = target;
    ShowMemorySelector(ui_, target);
    lock_.ShowTransferTarget();
    return Outcome::Done;
}

Outcome Transfer::Store() {
    const TransferOutcome outcome = StoreInEeprom(sensor_, Reporting(true));
    ReportUnreported(outcome);
    ShowOutcome(outcome);
    return feedback_.LinkOutcome(outcome.ok());
}

void Transfer::ShowRamReminder() {
    const bool shown = ramAheadOf_ && sensor_.connected() && sensor_.identified() &&
                       SameSensor(sensor_.identity(), *ramAheadOf_);
    ui_.SetVisible(Ctrl::RamReminder, shown);
    ui_.SetVisible(Ctrl::StoreButton, shown);
}

}  // namespace qelto
