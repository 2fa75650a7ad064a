#include "app/graphs.hpp"

#include <algorithm>

#include "app/working_copy.hpp"

namespace qelto {
namespace {

constexpr Ctrl kColourGraphs[] = {Ctrl::GraphXY, Ctrl::GraphXInt, Ctrl::GraphYInt};
// The teach words that place a circle: X, Y, INT and the tolerance.
constexpr std::size_t kCircleWords = 4;

struct AxisFit {
    std::int32_t span;
    std::int32_t centre;
};

AxisFit FitAxis(std::int32_t lo, std::int32_t hi, std::int32_t v) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    const std::int32_t span = hi - lo;
    return {span, lo + span / 2};
}

GraphView ViewOf(const AxisFit& h, const AxisFit& w) {
    const std::int32_t half = std::max(h.span, w.span) / 2;
    return {h.centre - kGraphMargin - half, h.centre + half + kGraphMargin,
            w.centre - kGraphMargin - half, w.centre + half + kGraphMargin};
}

void ApplyView(OperatorInterface& ui, Ctrl graph, const GraphView& v) {
    ui.SetAxisRange(graph, Axis::Horizontal, v.hMin, v.hMax);
    ui.SetAxisRange(graph, Axis::Vertical, v.vMin, v.vMax);
}

}  // namespace

TeachExtent ComputeTeachExtent(const TeachTable& teach) {
    TeachExtent e;
    e.MinX = e.MinY = e.MinInt = kEmptyExtentMax;
    e.MaxX = e.MaxY = e.MaxInt = 0;
    for (const TeachVector& row : teach) {
        const std::int32_t cx = row.Cell[0], cy = row.Cell[1], ci = row.Cell[2], r = row.Cell[3];
        if (cx <= kTaughtThreshold && cy <= kTaughtThreshold) continue;
        e.MinX = std::min(e.MinX, cx - r);
        e.MaxX = std::max(e.MaxX, cx + r);
        e.MinY = std::min(e.MinY, cy - r);
        e.MaxY = std::max(e.MaxY, cy + r);
        e.MinInt = std::min(e.MinInt, ci - r);
        e.MaxInt = std::max(e.MaxInt, ci + r);
    }
    // No taught row leaves min above max: the exchange gives the full 0..10000 range.
    if (e.MaxX < e.MinX) std::swap(e.MinX, e.MaxX);
    if (e.MaxY < e.MinY) std::swap(e.MinY, e.MaxY);
    if (e.MaxInt < e.MinInt) std::swap(e.MinInt, e.MaxInt);
    return e;
}

GraphViews ComputeGraphViews(const TeachExtent& e, std::int32_t x, std::int32_t y,
                             std::int32_t intensity) {
    const AxisFit fx = FitAxis(e.MinX, e.MaxX, x);
    const AxisFit fy = FitAxis(e.MinY, e.MaxY, y);
    const AxisFit fi = FitAxis(e.MinInt, e.MaxInt, intensity);
    return {ViewOf(fx, fy), ViewOf(fx, fi), ViewOf(fy, fi)};
}

Graphs::Graphs(OperatorInterface& ui, const WorkingCopy& working, const LiveView& view)
    : ui_(ui), working_(working), view_(view) {}

void Graphs::InitGraphs() {
    const TeachTable& teach = working_.teach();
    // What the circles are: where each row's lies and whether it is unsent.
    DrawnCircles circles{};
    for (std::size_t n = 0; n < teach.size(); ++n) {
        bool unsent = false;
        for (std::size_t w = 0; w < kCircleWords; ++w) {
            circles.words[n][w] = teach[n].Cell[w];
            unsent = unsent || working_.Unsent(ConfigItem::Teach(n, w));
        }
        circles.dashed[n] = unsent;
    }
    extent_ = ComputeTeachExtent(teach);
    // The same circles again (GO redraws them before its loop) are already on the graphs.
    if (drawn_ && *drawn_ == circles) return;
    drawn_ = circles;
    for (Ctrl g : kColourGraphs)
        ui_.DeleteGraphPlots(g);
    // Every row is drawn, taught or not; only the extent looks at whether it counts.
    for (std::size_t n = 0; n < teach.size(); ++n) {
        const double cx = circles.words[n][0], cy = circles.words[n][1], ci = circles.words[n][2],
                     r = circles.words[n][3];
        const std::uint32_t colour = TeachRowColor(n);
        // A circle being edited shows where it would go, dashed until it has been sent.
        const ArcLine line = circles.dashed[n] ? ArcLine::Dashed : ArcLine::Solid;
        ui_.PlotArc(Ctrl::GraphXY, cx - r, cy - r, cx + r, cy + r, colour, line);
        ui_.PlotArc(Ctrl::GraphXInt, cx - r, ci - r, cx + r, ci + r, colour, line);
        ui_.PlotArc(Ctrl::GraphYInt, cy - r, ci - r, cy + r, ci + r, colour, line);
    }
}

void Graphs::Rescale() {
    const LiveData& live = view_.live;
    const std::int32_t x = live.X(), y = live.Y(), i = live.Int();
    const GraphViews views = ComputeGraphViews(extent_, x, y, i);
    ApplyView(ui_, Ctrl::GraphXY, views.xy);
    ApplyView(ui_, Ctrl::GraphXInt, views.xInt);
    ApplyView(ui_, Ctrl::GraphYInt, views.yInt);
    ui_.SetGraphCursor(Ctrl::GraphXY, x, y);
    ui_.SetGraphCursor(Ctrl::GraphXInt, x, i);
    ui_.SetGraphCursor(Ctrl::GraphYInt, y, i);
}

void Graphs::ShowGraph3D() {
    Rescale();
    ui_.SetStripChartPointsPerScreen(Ctrl::RgbStripChart, kStripChartPointsPerScreen);
    ui_.AppendStripChart(Ctrl::RgbStripChart, view_.history, kStripChartTraces);
}

}  // namespace qelto
