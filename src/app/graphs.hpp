// The colour-space graphs, the strip chart and the live displays.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

class WorkingCopy;

// Smallest and largest circle edge of the taught rows on each axis.
struct TeachExtent {
    std::int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinInt = 0, MaxInt = 0;
};

// What the data panel shows of the live data: the sample on the displays and the last 100
// samples of red, green and blue for the strip chart.
struct LiveView {
    LiveData live;
    RgbHistory history{};
};

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

// The colour-space graphs and the strip chart: the circles of the working copy's teach rows,
// scaled around them and the live point. The circles follow the working copy by themselves.
class Graphs {
  public:
    Graphs(OperatorInterface& ui, const WorkingCopy& working, const LiveView& view);
    Graphs(const Graphs&) = delete;
    Graphs& operator=(const Graphs&) = delete;

    // Clears the colour-space graphs, draws the circles of all 64 teach rows and computes the
    // extent.
    void InitGraphs();
    // Rescales the colour-space graphs around the extent and the live point, moves the cursors
    // and appends the RGB history to the strip chart.
    void ShowGraph3D();
    // Only the scaling and the cursors (a teach value changed, the live point moved).
    void Rescale();
    const TeachExtent& extent() const { return extent_; }

  private:
    // The circles on the graphs: X, Y, INT and tolerance of every row, and which are dashed.
    struct DrawnCircles {
        std::array<std::array<std::uint16_t, 4>, kTeachRows> words;
        std::array<bool, kTeachRows> dashed;
        bool operator==(const DrawnCircles&) const = default;
    };

    OperatorInterface& ui_;
    const WorkingCopy& working_;
    const LiveView& view_;
    TeachExtent extent_;
    std::optional<DrawnCircles> drawn_;
};

}  // namespace qelto
