// The main panel's commands: Send and Get routed by the memory selection, the memory
// selection itself, AVERAGE, the language and the tab change.
#pragma once

#include "ui/operator_interface.hpp"

namespace qelto {

struct Context;

int CBF_ButtonSend(Context& ctx, Event event);
int CBF_ButtonGet(Context& ctx, Event event);
// `button` is the MemorySelector button whose value changed (EepromButton or FileButton).
int CBF_SelectMem(Context& ctx, Ctrl button, Event event);
int CBF_EditAverage(Context& ctx, Event event);
int CBF_EditSelectLanguage(Context& ctx, Event event);
int CBF_TabMain1(Context& ctx, Event event);

}  // namespace qelto
