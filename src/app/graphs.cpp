#include "app/graphs.hpp"

#include <algorithm>

#include "app/context.hpp"

namespace qelto {
namespace {

constexpr Ctrl kColourGraphs[] = {Ctrl::GraphXY, Ctrl::GraphXInt, Ctrl::GraphYInt};

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

void ApplyView(Context& ctx, Ctrl graph, const GraphView& v) {
    ctx.ui.SetAxisRange(graph, Axis::Horizontal, v.hMin, v.hMax);
    ctx.ui.SetAxisRange(graph, Axis::Vertical, v.vMin, v.vMax);
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

void InitGraphs(Context& ctx) {
    auto& ui = ctx.ui;
    for (Ctrl g : kColourGraphs)
        ui.DeleteGraphPlots(g);
    // Every row is drawn, taught or not; only the extent looks at whether it counts.
    for (std::size_t n = 0; n < ctx.config.teach.size(); ++n) {
        const TeachVector& row = ctx.config.teach[n];
        const double cx = row.Cell[0], cy = row.Cell[1], ci = row.Cell[2], r = row.Cell[3];
        const std::uint32_t colour = TeachRowColor(n);
        ui.PlotArc(Ctrl::GraphXY, cx - r, cy - r, cx + r, cy + r, colour);
        ui.PlotArc(Ctrl::GraphXInt, cx - r, ci - r, cx + r, ci + r, colour);
        ui.PlotArc(Ctrl::GraphYInt, cy - r, ci - r, cy + r, ci + r, colour);
    }
    ctx.view.extent = ComputeTeachExtent(ctx.config.teach);
}

void ShowGraph3D(Context& ctx) {
    auto& ui = ctx.ui;
    const std::int32_t x = ctx.view.live.X(), y = ctx.view.live.Y(), i = ctx.view.live.Int();
    const GraphViews views = ComputeGraphViews(ctx.view.extent, x, y, i);
    ApplyView(ctx, Ctrl::GraphXY, views.xy);
    ApplyView(ctx, Ctrl::GraphXInt, views.xInt);
    ApplyView(ctx, Ctrl::GraphYInt, views.yInt);
    ui.SetGraphCursor(Ctrl::GraphXY, x, y);
    ui.SetGraphCursor(Ctrl::GraphXInt, x, i);
    ui.SetGraphCursor(Ctrl::GraphYInt, y, i);
    ui.SetStripChartPointsPerScreen(Ctrl::RgbStripChart, kStripChartPointsPerScreen);
    ui.AppendStripChart(Ctrl::RgbStripChart, ctx.view.history, kStripChartTraces);
}

Outcome CBF_DispStatus(Context& ctx) {
    ctx.ui.ResetTextBox(Ctrl::InfoBox, "");
    return Outcome::Done;
}

}  // namespace qelto
