#include "app/working_copy.hpp"

#include <algorithm>

#include "protocol/frame.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

WorkingCopy::WorkingCopy(const SensorSession& sensor) : sensor_(sensor) {}

const Configuration* WorkingCopy::sensorValues() const {
    return sensor_.knowsConfiguration() ? &sensor_.configuration() : nullptr;
}

bool WorkingCopy::DiffersFromSensor(ConfigItem item) const {
    const Configuration* held = sensorValues();
    return held != nullptr && ItemValue(*held, item) != value(item);
}

void WorkingCopy::ForgetHistory() {
    undo_.clear();
    redo_.clear();
}

void WorkingCopy::Replace(const Configuration& config) {
    filled_ = true;
    config_ = config;
    baseline_ = config;
    ForgetHistory();
    Tell({});
}

void WorkingCopy::ReplaceParameters(const ParameterSet& para) {
    filled_ = true;
    config_.para = para;
    baseline_.para = para;
    ForgetHistory();
    Tell({std::nullopt, true, false});
}

void WorkingCopy::Update(const std::function<void(Configuration&)>& change) {
    const Configuration before = config_;
    change(config_);
    filled_ = true;
    ForgetHistory();
    Tell({std::nullopt, before.para != config_.para, before.teach != config_.teach});
}

bool WorkingCopy::Edit(ConfigItem item, std::uint16_t value) {
    const std::uint16_t before = this->value(item);
    if (before == value) return false;
    // A value typed anew is no longer the one the sensor refused.
    refused_.erase(item);
    Do({{item, before, value}});
    return true;
}

bool WorkingCopy::RevertToSensor() {
    const Configuration* held = sensorValues();
    if (held == nullptr) return false;
    Step step;
    ForEachItem([&](ConfigItem item) {
        const std::uint16_t now = value(item), sensor = ItemValue(*held, item);
        if (now != sensor) step.push_back({item, now, sensor});
    });
    if (step.empty()) return false;
    Do(std::move(step));
    return true;
}

void WorkingCopy::Do(Step step) {
    // The history first: views that show whether there is something to undo are told after.
    undo_.push_back(std::move(step));
    redo_.clear();
    Apply(undo_.back(), true);
}

void WorkingCopy::Apply(const Step& step, bool forward) {
    WorkingCopyChange change{std::nullopt, false, false};
    for (const Change& c : step) {
        SetItemValue(config_, c.item, forward ? c.after : c.before);
        (c.item.teach ? change.teach : change.parameters) = true;
    }
    if (step.size() == 1) change.item = step.front().item;
    Tell(change);
}

bool WorkingCopy::Replay(std::vector<Step>& from, std::vector<Step>& to, bool forward) {
    if (from.empty()) return false;
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back(std::move(step));
    Apply(to.back(), forward);
    return true;
}

bool WorkingCopy::Undo() {
    return Replay(undo_, redo_, false);
}

bool WorkingCopy::Redo() {
    return Replay(redo_, undo_, true);
}

bool WorkingCopy::Unsent(ConfigItem item) const {
    return ItemValue(baseline_, item) != value(item);
}

std::size_t WorkingCopy::UnsentCount() const {
    std::size_t n = 0;
    ForEachItem([&](ConfigItem item) { n += Unsent(item); });
    return n;
}

void WorkingCopy::MarkSent() {
    filled_ = true;
    const bool wasUnsent = UnsentCount() != 0;
    baseline_ = config_;
    if (wasUnsent) Tell({std::nullopt, false, false, true});
}

void WorkingCopy::MarkRefused(const Configuration& sent, const Configuration& held,
                              std::string report) {
    refused_.clear();
    ForEachItem(
        [&](ConfigItem item) {
            const std::uint16_t s = ItemValue(sent, item), h = ItemValue(held, item);
            if (s != h) refused_[item] = {s, h};
        },
        kSensorTeachRows);
    refusalReport_ = std::move(report);
    Tell({std::nullopt, false, false});
}

void WorkingCopy::ClearRefused() {
    if (refused_.empty()) return;
    refused_.clear();
    refusalReport_.clear();
    Tell({std::nullopt, false, false});
}

std::optional<WorkingCopy::Refusal> WorkingCopy::refusal(ConfigItem item) const {
    const auto it = refused_.find(item);
    if (it == refused_.end()) return std::nullopt;
    return it->second;
}

void WorkingCopy::AddView(View view) {
    views_.push_back(std::move(view));
}

void WorkingCopy::SessionChanged(const SessionEvent& event) {
    const bool configuration =
        event.command == kCmdRead || event.command == kCmdWrite;  // not the live data
    const bool marksMayChange = (event.kind == SessionEventKind::Answered && configuration) ||
                                event.kind == SessionEventKind::Opened ||
                                event.kind == SessionEventKind::Closed;
    if (marksMayChange) Tell({std::nullopt, false, false});
}

void WorkingCopy::Tell(const WorkingCopyChange& change) {
    for (const View& view : views_)
        view(change);
}

}  // namespace qelto
