// The working copy: the parameter set and teach table that the window shows, the operator
// edits, and Send and Save write, held in this one place. The parameter page, the editor and
// the teach circles are views of it: each hears of every change and shows what is here, so
// what is shown is always what would be sent or saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "protocol/records.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class SensorSession;

// What a view hears after a change.
struct WorkingCopyChange {
    std::optional<ConfigItem> item;  // the one value that changed; none: any may have
    bool parameters = true;          // the parameter set may have changed
    bool teach = true;               // the teach table may have changed
    // Only what counts as unsent changed (the values went to the sensor or a file).
    bool sent = false;
    // Only marks changed: what the sensor refused, or what is unsent.
    bool marksOnly() const { return !parameters && !teach; }
};

// It follows the session too: when what the sensor is known to hold changes (a read, a write
// it took, a new link), the views hear of it as a change of the marks.
class WorkingCopy : public SessionObserver {
  public:
    using View = std::function<void(const WorkingCopyChange&)>;

    explicit WorkingCopy(const SensorSession& sensor);
    WorkingCopy(const WorkingCopy&) = delete;
    WorkingCopy& operator=(const WorkingCopy&) = delete;

    const Configuration& config() const { return config_; }
    const ParameterSet& para() const { return config_.para; }
    const TeachTable& teach() const { return config_.teach; }
    std::uint16_t value(ConfigItem item) const { return ItemValue(config_, item); }

    // It holds what came from somewhere (the sensor, a file, a send, the program), not the
    // zeros of the start.
    bool filled() const { return filled_; }

    // What the sensor holds, as last read from it or written to it and taken whole; null
    // while that is not known (no sensor, or not read since connecting).
    const Configuration* sensorValues() const;
    bool DiffersFromSensor(ConfigItem item) const;

    // --- Replaced from elsewhere (the sensor, a file, the defaults): nothing to undo, and
    // nothing unsent.
    void Replace(const Configuration& config);
    // A read that brought the parameters but not the teach rows.
    void ReplaceParameters(const ParameterSet& para);
    // The program sets values of its own (the assistant): no step to undo; what was edited
    // before can no longer be taken back.
    void Update(const std::function<void(Configuration&)>& change);

    // --- The operator's edits, each a step that Undo takes back.
    // False when the item already holds the value.
    bool Edit(ConfigItem item, std::uint16_t value);
    // Every value back to what the sensor holds, as one step; false when that is not known or
    // nothing differs.
    bool RevertToSensor();
    bool Undo();
    bool Redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }

    // --- What has not gone anywhere yet: the values that differ from those last read,
    // loaded, sent or saved.
    std::size_t UnsentCount() const;
    bool Unsent(ConfigItem item) const;
    // Sent to the sensor or saved to a file: the values shown are where they went.
    void MarkSent();

    // --- What the sensor refused at the last send: the value sent and the one it holds now.
    struct Refusal {
        std::uint16_t sent = 0;
        std::uint16_t held = 0;
    };
    // `report`: the sensor's plausibility verdict, shown beside each refused value.
    void MarkRefused(const Configuration& sent, const Configuration& held, std::string report);
    void ClearRefused();
    std::optional<Refusal> refusal(ConfigItem item) const;
    const std::map<ConfigItem, Refusal>& refusals() const { return refused_; }
    const std::string& refusalReport() const { return refusalReport_; }

    // Views, told in the order they were added.
    void AddView(View view);

    void SessionChanged(const SessionEvent& event) override;

  private:
    struct Change {
        ConfigItem item;
        std::uint16_t before = 0;
        std::uint16_t after = 0;
    };
    using Step = std::vector<Change>;
    void Do(Step step);
    void Apply(const Step& step, bool forward);
    bool Replay(std::vector<Step>& from, std::vector<Step>& to, bool forward);
    void Tell(const WorkingCopyChange& change);
    void ForgetHistory();

    const SensorSession& sensor_;
    Configuration config_;
    Configuration baseline_;  // as last read, loaded, sent or saved
    bool filled_ = false;
    std::vector<Step> undo_, redo_;
    std::map<ConfigItem, Refusal> refused_;
    std::string refusalReport_;
    std::vector<View> views_;
};

// Every item of a configuration: the parameters, then the teach rows word by word, up to
// `teachRows`.
template <typename F>
void ForEachItem(F f, std::size_t teachRows = kTeachRows) {
    for (std::size_t k = 0; k < kParamCount; ++k)
        f(ConfigItem::Parameter(k));
    for (std::size_t r = 0; r < teachRows; ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            f(ConfigItem::Teach(r, w));
    }
}

}  // namespace qelto
