// The colour-space graphs, the strip chart and the live displays.
#pragma once

#include <array>
#include <cstdint>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Context;
struct TeachExtent;

inline constexpr std::array<std::uint32_t, 15> kTeachColorPalette{
    0xFF0000, 0x80FF00, 0x0000FF, 0x000000, 0xFF80C0, 0xFFFF00, 0x808000, 0x800080,
    0x80FFFF, 0xFF0080, 0x400080, 0xFF00FF, 0x008000, 0x408080, 0x800000};

// Colour of teach row `row` (circles and the teach table's marker column).
inline std::uint32_t TeachRowColor(std::size_t row) {
    return kTeachColorPalette[row % kTeachColorPalette.size()];
}

inline constexpr int kStripChartPointsPerScreen = 101;
inline constexpr int kStripChartTraces = 3;
inline constexpr std::int32_t kGraphMargin = 25;
// A row whose X and Y both stay at or below this is a default row, not a taught colour.
inline constexpr std::int32_t kTaughtThreshold = 10;
inline constexpr std::int32_t kEmptyExtentMax = 10000;

// The extent of the taught rows' circles, 0..10000 on every axis when no row counts.
TeachExtent ComputeTeachExtent(const TeachTable& teach);

// The manual ranges of one graph: horizontal then vertical.
struct GraphView {
    std::int32_t hMin = 0, hMax = 0, vMin = 0, vMax = 0;
    bool operator==(const GraphView&) const = default;
};
struct GraphViews {
    GraphView xy, xInt, yInt;
};
// The views that hold the extent and the live point, equal extents on both axes of a graph.
GraphViews ComputeGraphViews(const TeachExtent& extent, std::int32_t x, std::int32_t y,
                             std::int32_t intensity);

// Clears the colour-space graphs, draws the circles of all 64 teach rows and computes
// TeachExtent.
void InitGraphs(Context& ctx);
// Rescales the colour-space graphs around the extent and the live point, moves the cursors
// and appends the RGB history to the strip chart.
void ShowGraph3D(Context& ctx);

// A right double-click on the status display empties the InfoBox.
Outcome CBF_DispStatus(Context& ctx);

}  // namespace qelto
