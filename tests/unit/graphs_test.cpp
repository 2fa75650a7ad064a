// Graph scaling: the teach extent, the views around extent and live point, and what the
// drawing routines hand to the operator interface.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "app/graphs.hpp"
#include "doubles/unit_rig.hpp"

namespace qelto {
namespace {

TeachTable DefaultTable() {
    ParameterSet p;
    TeachTable t{};
    LoadDefaultParaValues(p, t, 1);
    return t;
}

TEST(TeachExtentRule, OnlyRowsBeyondTenOnXOrYCount) {
    TeachTable t = DefaultTable();
    TeachExtent e = ComputeTeachExtent(t);
    // Nothing taught: min and max are exchanged, every axis runs 0..10000.
    EXPECT_EQ(e.MinX, 0);
    EXPECT_EQ(e.MaxX, 10000);
    EXPECT_EQ(e.MinY, 0);
    EXPECT_EQ(e.MaxInt, 10000);

    t[3].Cell = {10, 10, 5000, 3, 0, 0};
    e = ComputeTeachExtent(t);
    EXPECT_EQ(e.MaxX, 10000);  // cx = cy = 10 does not count
    EXPECT_EQ(e.MinX, 0);

    t[3].Cell = {11, 10, 5000, 3, 0, 0};
    e = ComputeTeachExtent(t);
    EXPECT_EQ(e.MinX, 8);
    EXPECT_EQ(e.MaxX, 14);
    EXPECT_EQ(e.MinInt, 4997);

    t[3].Cell = {50, 10, 20, 100, 0, 0};
    t[63].Cell = {4000, 3000, 2000, 500, 0, 0};  // the last row counts as well
    e = ComputeTeachExtent(t);
    EXPECT_EQ(e.MinX, -50);  // a tolerance beyond the coordinate goes negative
    EXPECT_EQ(e.MaxX, 4500);
    EXPECT_EQ(e.MinY, -90);
    EXPECT_EQ(e.MaxY, 3500);
    EXPECT_EQ(e.MinInt, -80);
    EXPECT_EQ(e.MaxInt, 2500);

    t[5].Cell = {65535, 65535, 65535, 65535, 0, 0};  // widened, no 16-bit wrap
    e = ComputeTeachExtent(t);
    EXPECT_EQ(e.MaxX, 131070);
    EXPECT_EQ(e.MinX, -50);
}

TEST(GraphViewRule, EmptyExtentShowsTheFullRangeWithMargin) {
    const TeachExtent e = ComputeTeachExtent(DefaultTable());
    const GraphViews v = ComputeGraphViews(e, 2000, 2000, 2000);
    for (const GraphView& g : {v.xy, v.xInt, v.yInt}) {
        EXPECT_EQ(g, (GraphView{-25, 10025, -25, 10025}));
    }
}

TEST(GraphViewRule, TaughtRowLivePointOutsideAndShrinkBack) {
    TeachTable t = DefaultTable();
    t[0].Cell = {1000, 1500, 800, 100, 0, 0};
    const TeachExtent e = ComputeTeachExtent(t);

    GraphViews v = ComputeGraphViews(e, 1000, 1500, 800);
    EXPECT_EQ(v.xy, (GraphView{875, 1125, 1375, 1625}));
    const GraphView yIntInside = v.yInt;

    v = ComputeGraphViews(e, 3000, 1500, 800);
    EXPECT_EQ(v.xy, (GraphView{875, 3025, 425, 2575}));
    EXPECT_EQ(v.yInt, yIntInside);

    v = ComputeGraphViews(e, 1000, 1500, 800);
    EXPECT_EQ(v.xy, (GraphView{875, 1125, 1375, 1625}));
}

TEST(GraphViewRule, TruncationLeavesTwentyFourOnTheUpperSide) {
    TeachExtent e{0, 5, 0, 5, 0, 5};
    const GraphView g = ComputeGraphViews(e, 0, 0, 0).xy;
    EXPECT_EQ(g, (GraphView{-25, 29, -25, 29}));  // span 5: centre 2, half 2
    // Negative live values (signed 16-bit words) pull the lower edge down.
    const GraphView n = ComputeGraphViews(e, -1, 0, 0).xy;
    EXPECT_EQ(n, (GraphView{-26, 30, -26, 30}));  // x: -1..5, span 6, centre 2, half 3
}

TEST(Graphs, InitDrawsAllRowsInPaletteColoursAndShowPlacesCursorsAndStrip) {
    // The graphs alone, on a working copy of their own.
    SessionRig rig;
    MemoryUi ui;
    WorkingCopy working{rig.sensor};
    LiveView view;
    Graphs graphs{ui, working, view};
    Configuration c;
    c.teach = DefaultTable();
    c.teach[0].Cell = {1000, 1500, 800, 100, 0, 0};
    c.teach[16].Cell = {2000, 100, 300, 50, 0, 0};
    working.Replace(c);
    graphs.InitGraphs();
    for (Ctrl g : {Ctrl::GraphXY, Ctrl::GraphXInt, Ctrl::GraphYInt}) {
        EXPECT_EQ(ui.graph(g).deletions, 1);
        ASSERT_EQ(ui.graph(g).arcs.size(), kTeachRows);
    }
    const ArcRecord& xy = ui.graph(Ctrl::GraphXY).arcs[0];
    EXPECT_EQ((std::vector<double>{xy.left, xy.bottom, xy.right, xy.top}),
              (std::vector<double>{900, 1400, 1100, 1600}));
    const ArcRecord& xi = ui.graph(Ctrl::GraphXInt).arcs[16];
    EXPECT_EQ((std::vector<double>{xi.left, xi.bottom, xi.right, xi.top}),
              (std::vector<double>{1950, 250, 2050, 350}));
    const ArcRecord& yi = ui.graph(Ctrl::GraphYInt).arcs[16];
    EXPECT_EQ((std::vector<double>{yi.left, yi.bottom, yi.right, yi.top}),
              (std::vector<double>{50, 250, 150, 350}));
    EXPECT_EQ(ui.graph(Ctrl::GraphXY).arcs[16].rgb, 0x80FF00u);  // 16 mod 15 = 1
    EXPECT_EQ(ui.graph(Ctrl::GraphXY).arcs[15].rgb, 0xFF0000u);
    EXPECT_EQ(ui.graph(Ctrl::GraphYInt).arcs[63].rgb, kTeachColorPalette[3]);
    EXPECT_EQ(graphs.extent().MinY, 50);
    EXPECT_EQ(graphs.extent().MaxX, 2050);

    // A second InitGraphs starts from clean graphs.
    graphs.InitGraphs();
    EXPECT_EQ(ui.graph(Ctrl::GraphXY).arcs.size(), kTeachRows);

    view.live.w[LiveData::kX] = 1200;
    view.live.w[LiveData::kY] = -300;
    view.live.w[LiveData::kInt] = 700;
    for (std::size_t i = 0; i < kRgbHistorySize; ++i)
        view.history[i] = static_cast<double>(i);
    graphs.ShowGraph3D();
    EXPECT_EQ(ui.graph(Ctrl::GraphXY).cursor, std::make_pair(1200.0, -300.0));
    EXPECT_EQ(ui.graph(Ctrl::GraphXInt).cursor, std::make_pair(1200.0, 700.0));
    EXPECT_EQ(ui.graph(Ctrl::GraphYInt).cursor, std::make_pair(-300.0, 700.0));
    const GraphViews v = ComputeGraphViews(graphs.extent(), 1200, -300, 700);
    EXPECT_EQ(ui.graph(Ctrl::GraphXInt).horizontal,
              std::make_pair(double(v.xInt.hMin), double(v.xInt.hMax)));
    EXPECT_EQ(ui.graph(Ctrl::GraphYInt).vertical,
              std::make_pair(double(v.yInt.vMin), double(v.yInt.vMax)));
    // Drawing the live point never removes the circles.
    EXPECT_EQ(ui.graph(Ctrl::GraphXY).arcs.size(), kTeachRows);
    const GraphRecord& strip = ui.graph(Ctrl::RgbStripChart);
    EXPECT_EQ(strip.pointsPerScreen, 101);
    EXPECT_EQ(strip.stripTraces, 3);
    ASSERT_EQ(strip.lastStripValues.size(), kRgbHistorySize);
    EXPECT_EQ(strip.lastStripValues.front(), 0);
    EXPECT_EQ(strip.lastStripValues.back(), 299);
    graphs.ShowGraph3D();
    EXPECT_EQ(strip.stripValuesAppended, 2 * kRgbHistorySize);
    EXPECT_EQ(ui.graph(Ctrl::RgbStripChart).deletions, 0);
}

// A circle the operator changed is dashed until it has gone to the sensor or a file.
TEST(Graphs, AnUnsentCircleIsDashedUntilSent) {
    SessionRig rig;
    MemoryUi ui;
    WorkingCopy working{rig.sensor};
    LiveView view;
    Graphs graphs{ui, working, view};
    working.AddView([&](const WorkingCopyChange&) { graphs.InitGraphs(); });
    working.Replace(Configuration{});
    working.Edit(ConfigItem::Teach(4, 3), 300);  // the tolerance of row 4
    const auto dashed = [&] {
        std::vector<std::size_t> rows;
        const auto& arcs = ui.graph(Ctrl::GraphXInt).arcs;
        for (std::size_t n = 0; n < arcs.size(); ++n) {
            if (arcs[n].line == ArcLine::Dashed) rows.push_back(n);
        }
        return rows;
    };
    EXPECT_EQ(dashed(), std::vector<std::size_t>{4});
    working.MarkSent();
    EXPECT_TRUE(dashed().empty());
}

TEST(Graphs, StatusDoubleClickEmptiesTheInfoBoxAndNothingElse) {
    UnitRig rig;
    rig.ui.popups.clear();
    rig.ui.AppendText(Ctrl::InfoBox, "TRY TO CONNECT!\n");
    rig.ui.SetCtrlText(Ctrl::StatusDisplay, "KORVANEX V4.3B7");
    DispatchControlEvent(rig.ctx, Ctrl::StatusDisplay, Event::RightClick);
    DispatchControlEvent(rig.ctx, Ctrl::StatusDisplay, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "TRY TO CONNECT!\n");
    DispatchControlEvent(rig.ctx, Ctrl::StatusDisplay, Event::RightDoubleClick);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "KORVANEX V4.3B7");
    EXPECT_TRUE(rig.ui.popups.empty());
}

}  // namespace
}  // namespace qelto
