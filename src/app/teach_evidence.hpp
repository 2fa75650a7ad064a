// Teaching with evidence in the window: Teach from sensor (one row of the editor from measured
// samples, the others as they are) and Check tolerances (the working copy against a recording
// or the live data of the last seconds, with the proposals to apply). Both change only the
// working copy, each as one step that Undo takes back; nothing goes to the sensor before Send.
#pragma once

#include <string>
#include <vector>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/evidence.hpp"

namespace qelto {

class Graphs;
class Live;
class Recording;
class SensorSession;
class WorkingCopy;
struct LiveView;
struct Settings;

// The sample counts Teach from sensor offers: at least what a proposal needs.
inline constexpr int kTeachSamplesLeast = static_cast<int>(kMinRowSamples);
inline constexpr int kTeachSamplesDefault = 100;
inline constexpr int kTeachSamplesMost = 10000;

// The assistant sets a sensor up from scratch: the way to one more colour is another.
inline constexpr const char* kAssistantTooltip =
    "Sets the sensor up from scratch: default parameters, then every colour taught anew.\n"
    "To add or re-teach one colour and keep the others: Edit, Teach rows, select the row,\n"
    "Teach from sensor, then Send.";

// The table Check tolerances shows, one line per taught row, its verdict marked.
TablePopupRequest ToleranceTable(const RecordingCheck& check, const std::string& source);
// What Send's question adds about spheres that overlap; empty when none do.
std::string OverlapNote(const Configuration& config);
// The same in one line, for the parameter page; empty when none do.
std::string OverlapLine(const Configuration& config);

class TeachEvidence {
  public:
    TeachEvidence(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                  WorkingCopy& working, Live& live, LiveView& view, Graphs& graphs,
                  const Settings& settings, const Recording& recording);
    TeachEvidence(const TeachEvidence&) = delete;
    TeachEvidence& operator=(const TeachEvidence&) = delete;

    // The teach row selected in the editor, measured with the sample count of its control.
    Outcome TeachFromSensor();
    // Asks for a recording or a span of the live data kept, shows the table and applies the
    // proposals when asked.
    Outcome CheckTolerances();
    // The cloud in the graphs, on or off.
    Outcome ToggleCloud();

  private:
    Outcome Check(const std::vector<EvidenceSample>& samples, const std::string& source);
    void ShowCloud(const std::vector<EvidenceSample>& samples);

    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& sensor_;
    WorkingCopy& working_;
    Live& live_;
    LiveView& view_;
    Graphs& graphs_;
    const Settings& settings_;
    const Recording& recording_;
    std::string lastRecording_;  // the folder of the last recording checked
};

}  // namespace qelto
