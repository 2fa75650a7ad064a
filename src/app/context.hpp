// The window's presenters, put together: one object created by main (and afresh by every
// test) beside the sensor session it presents. Each feature is an object of its own with the
// few collaborators it needs; this only owns them and wires the views to what they show.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/assistant.hpp"
#include "app/command_lock.hpp"
#include "app/compare.hpp"
#include "app/connection.hpp"
#include "app/file_commands.hpp"
#include "app/graphs.hpp"
#include "app/link_status.hpp"
#include "app/live.hpp"
#include "app/live_record.hpp"
#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "app/parameter_editor.hpp"
#include "app/parameter_page.hpp"
#include "app/reconnection.hpp"
#include "app/settings.hpp"
#include "app/transfer.hpp"
#include "app/working_copy.hpp"
#include "link/event_loop.hpp"
#include "link/ports.hpp"
#include "sensor/link_supervisor.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

// The tooltip of the title line in the header area.
inline constexpr const char* kProgramTooltip = "KORVANEX TAVRENO Qelto V1.1.1";

struct Context {
    Context(OperatorInterface& ui_, EventLoop& loop_, SensorSession& sensor_,
            PortEnumerator& ports_);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    OperatorInterface& ui;
    EventLoop& loop;  // events and time: the waits, the clock, quitting
    SensorSession& sensor;
    PortEnumerator& portEnumerator;

    // The link's phase, its losses and the sensor expected back.
    LinkSupervisor supervisor{sensor, loop};
    PresenterState state;
    Settings settings;
    LiveView view;
    Feedback feedback{ui, loop, state, sensor};
    WorkingCopy working{sensor};
    LinkStatus link{ui, loop, sensor};
    CommandLock lock{ui, loop, sensor, state};
    ParameterPage page{ui, working};
    Graphs graphs{ui, working, view};
    Editor editor{ui, working};
    ParameterFiles files{ui, settings, working};
    Transfer transfer{ui, sensor, state, feedback, working, editor, files, lock};
    Recording recording{ui, loop, sensor, view, settings};
    Live live{ui, loop, sensor, state, feedback, view, graphs, transfer, recording};
    Connection connection{ui,    loop,     sensor,   supervisor, portEnumerator,
                          state, feedback, settings, working,    transfer};
    Reconnection reconnection{ui, state, lock, supervisor, connection, live, recording, working};
    Assistant assistant{ui, loop, sensor, state, working, transfer, live, graphs, view};
    Compare compare{ui, loop, sensor, feedback, working, files};

  private:
    // The features that follow the session's events; each stands on its own.
    std::array<SessionObserver*, 5> sessionObservers();
};

}  // namespace qelto
