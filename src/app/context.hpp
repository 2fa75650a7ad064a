// The presenters' state: one object, created by main (and afresh by every test), beside the
// sensor session it presents. What the sensor is and holds is the session's; this is what
// the window shows and the operator has set.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "link/link_context.hpp"
#include "link/ports.hpp"
#include "protocol/records.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

// The tooltip of the title line in the header area.
inline constexpr const char* kProgramTooltip = "KORVANEX TAVRENO Qelto V1.1.1";

inline constexpr std::size_t kPathSize = 260;

// Smallest and largest circle edge of the taught rows on each axis.
struct TeachExtent {
    std::int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinInt = 0, MaxInt = 0;
};

// What the data panel shows of the live data.
struct LiveView {
    LiveData live;  // the sample on the displays
    RgbHistory history{};
    TeachExtent extent;
};

// What the operator has set and the program keeps from run to run.
struct Settings {
    ConnectionSettings conn;        // as the connection page last gave them
    std::string ParameterFilePath;  // at most 259 characters
    std::string ProgramDirectory;   // without a trailing separator
    std::string PanelSettingsPath;
    // The operator's documents folder: where file dialogs start while there is no last folder.
    std::string DocumentsDirectory;
    // Set when this run uses a connection of its own (the demo): the connection settings that
    // closing the window stores in place of the ones on the connection page.
    std::optional<ConnectionSettings> StoredConnection;
};

// Recording live data into a file (live_record.hpp), editing the parameters
// (parameter_editor.hpp).
struct LiveRecording;
struct ParameterEditing;

struct Context : SessionObserver {
    Context(OperatorInterface& ui_, EventLoop& loop_, SensorSession& sensor_,
            PortEnumerator& ports_);
    ~Context() override;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    OperatorInterface& ui;
    EventLoop& loop;  // events and time: the waits, the clock, quitting
    SensorSession& sensor;
    PortEnumerator& portEnumerator;

    PresenterState state;
    Configuration config;  // the working copy: what the page shows and a Send writes
    LiveView view;
    Settings settings;
    std::unique_ptr<LiveRecording> recording;
    std::unique_ptr<ParameterEditing> editing;

    // SessionObserver
    void LinkLost(const SensorError& error) override;
    void SetWaitCursor(bool busy) override;
};

}  // namespace qelto
