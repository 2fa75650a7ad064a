// The main panel's commands: Send and Get routed by the memory selection, the memory
// selection itself, the language and the tab change. The control table runs them.
#pragma once

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

Outcome CBF_ButtonSend(Context& ctx);
Outcome CBF_ButtonGet(Context& ctx);
// `button` is the MemorySelector button whose value changed (EepromButton or FileButton).
Outcome CBF_SelectMem(Context& ctx, Ctrl button);
Outcome CBF_EditSelectLanguage(Context& ctx);
// The operator changed the page (never called for the program's own page switches).
Outcome CBF_TabMain1(Context& ctx);

}  // namespace qelto
