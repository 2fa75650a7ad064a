// The control table: for every control role its help text, its shortcut key and the action
// that its trigger event runs. Front ends forward every control event here by role and read
// keys and help texts from the table; nothing else decides what a click does.
#pragma once

#include <string>
#include <string_view>

#include "app/keys.hpp"
#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

struct ControlEntry {
    Ctrl role = Ctrl::Count_;
    std::string_view help;  // empty: the control has no help text
    Key key = Key::None;
    Event trigger = Event::Commit;
    Outcome (*action)(Context&, Ctrl) = nullptr;  // nullptr: help only
};

const ControlEntry& ControlOf(Ctrl role);
std::string_view HelpText(Ctrl role);
Key ShortcutKey(Ctrl role);

// The one entry for control events: a right-click shows the control's help (when it has
// one) and runs nothing; the control's trigger event runs its action; other events are
// ignored. Returns how the action ended (Done when nothing ran).
Outcome DispatchControlEvent(Context& ctx, Ctrl role, Event event);

// The window's file commands that stand for no control: File > Open parameters… (a recent
// file when `path` is given) and File > Save parameters as…. They take their turn as Get and
// Send do, also while live data runs.
enum class FileCommand { Open, SaveAs };
Outcome DispatchFileCommand(Context& ctx, FileCommand command, const std::string& path = {});

}  // namespace qelto
