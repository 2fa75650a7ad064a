// Moving the parameter set and teach table between the working copy, the sensor and the panels.
#pragma once

namespace qelto {

struct Context;

void SendPara(Context& ctx);
void GetPara(Context& ctx);
void SetPanelValues(Context& ctx);

}  // namespace qelto
