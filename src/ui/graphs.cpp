#include "ui/graphs.hpp"

#include "ui/context.hpp"

namespace qelto {

// Placeholder bodies until the graph computations land.
void InitGraphs(Context&) {}
void ShowGraph3D(Context&) {}

}  // namespace qelto
