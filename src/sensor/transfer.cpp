#include "sensor/transfer.hpp"

#include "ui/context.hpp"

namespace qelto {

// Placeholder bodies until the transfer lands.
void SendPara(Context&) {}
void GetPara(Context&) {}
void SetPanelValues(Context&) {}

}  // namespace qelto
