#include "plots.hpp"

#include <algorithm>
#include <cmath>

namespace qelto::gui {
namespace {

// Room for tick labels and axis titles around the square plot area.
constexpr int kMarginLeft = 46;
constexpr int kMarginBottom = 30;
constexpr int kMarginTop = 6;
constexpr int kMarginRight = 8;

const std::array<QColor, 3> kTraceColours{QColor(0xE0, 0x20, 0x20), QColor(0x10, 0xA0, 0x30),
                                          QColor(0x20, 0x50, 0xF0)};

// Relative luminance, 0 (black) .. 1 (white).
double Luminance(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
}

QColor FromRgb(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void StyleAxis(QCPAxis* axis, const QPalette& pal, const QFont& font) {
    const QColor fg = pal.color(QPalette::WindowText);
    QColor grid = fg;
    grid.setAlpha(40);
    axis->setBasePen(QPen(fg));
    axis->setTickPen(QPen(fg));
    axis->setSubTickPen(QPen(fg));
    axis->setTickLabelColor(fg);
    axis->setLabelColor(fg);
    axis->setTickLabelFont(font);
    axis->setLabelFont(font);
    axis->setLabelPadding(1);
    axis->setTickLabelPadding(2);
    axis->grid()->setPen(QPen(grid, 0, Qt::DotLine));
    axis->ticker()->setTickCount(3);
}

}  // namespace

RefreshScheduler::RefreshScheduler(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Flush(); });
}

int RefreshScheduler::Add(std::function<void()> flush) {
    flushes_.push_back(std::move(flush));
    dirty_.push_back(0);
    return static_cast<int>(flushes_.size()) - 1;
}

void RefreshScheduler::MarkDirty(int id) {
    dirty_[static_cast<std::size_t>(id)] = 1;
    if (!timer_.isActive()) timer_.start();
}

void RefreshScheduler::FlushNow() {
    timer_.stop();
    Flush();
}

void RefreshScheduler::Flush() {
    ++frames_;
    for (std::size_t i = 0; i < flushes_.size(); ++i) {
        if (dirty_[i] == 0) continue;
        dirty_[i] = 0;
        flushes_[i]();
    }
}

void StylePlot(QCustomPlot& plot) {
    const QPalette pal = plot.palette();
    plot.setBackground(pal.brush(QPalette::Base));
    QFont small = plot.font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() * 0.8));
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis})
        StyleAxis(axis, pal, small);
}

// --- ColourGraph

ColourGraph::ColourGraph(QWidget* parent) : QCustomPlot(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The teach circles change rarely, the cursor at every frame: each on a buffered layer of
    // its own, so a frame that only moves the cursor repaints that layer alone.
    addLayer(QStringLiteral("halo"), layer(QStringLiteral("main")), limAbove);
    addLayer(QStringLiteral("teach"), layer(QStringLiteral("halo")), limAbove);
    haloLayer_ = layer(QStringLiteral("halo"));
    addLayer(QStringLiteral("cursor"), layer(QStringLiteral("teach")), limAbove);
    teachLayer_ = layer(QStringLiteral("teach"));
    cursorLayer_ = layer(QStringLiteral("cursor"));
    cursorLayer_->setMode(QCPLayer::lmBuffered);
    teachLayer_->setMode(QCPLayer::lmBuffered);

    axisRect()->setAutoMargins(QCP::msNone);
    xAxis->setRange(0, 10000);
    yAxis->setRange(0, 10000);
    cursor_ = new QCPItemTracer(this);
    cursor_->setLayer(cursorLayer_);
    cursor_->setStyle(QCPItemTracer::tsCrosshair);
    cursor_->position->setType(QCPItemPosition::ptPlotCoords);
    cursor_->position->setCoords(0, 0);
    cursor_->setClipToAxisRect(true);
    StylePlot(*this);
    cursor_->setPen(QPen(palette().color(QPalette::Highlight), 1));
    MakeSquare();
}

void ColourGraph::SetScheduler(RefreshScheduler* scheduler) {
    scheduler_ = scheduler;
    id_ = scheduler->Add([this] { Flush(); });
}

void ColourGraph::SetAxisTitles(const QString& horizontal, const QString& vertical) {
    xAxis->setLabel(horizontal);
    yAxis->setLabel(vertical);
    setAccessibleDescription(
        tr("Colour-space graph, %1 across, %2 upwards").arg(horizontal, vertical));
}

void ColourGraph::Changed(bool layout) {
    if (layout) {
        fullReplot_ = true;
    } else {
        cursorMoved_ = true;
    }
    if (scheduler_ != nullptr) {
        scheduler_->MarkDirty(id_);
    } else {
        Flush();
    }
}

void ColourGraph::DeletePlots() {
    for (const Circle& c : ellipses_) {
        if (c.halo != nullptr) removeItem(c.halo);
        removeItem(c.outline);
    }
    ellipses_.clear();
    Changed(true);
}

void ColourGraph::PlotEllipse(double left, double bottom, double right, double top,
                              std::uint32_t rgb) {
    auto* e = new QCPItemEllipse(this);
    e->setLayer(teachLayer_);
    e->setClipToAxisRect(true);
    e->topLeft->setCoords(left, top);
    e->bottomRight->setCoords(right, bottom);
    e->setPen(QPen(FromRgb(rgb), 1.5));
    e->setBrush(Qt::NoBrush);
    e->setSelectable(false);
    ellipses_.push_back({e, nullptr});
    UpdateHalo(ellipses_.size() - 1);
    Changed(true);
}

QColor ColourGraph::ellipseColour(int index) const {
    return ellipses_[static_cast<std::size_t>(index)].outline->pen().color();
}

void ColourGraph::UpdateHalo(std::size_t index) {
    Circle& c = ellipses_[index];
    const double bg = Luminance(palette().color(QPalette::Base));
    if (std::abs(Luminance(c.outline->pen().color()) - bg) >= 0.3) {
        if (c.halo != nullptr) removeItem(c.halo);
        c.halo = nullptr;
        return;
    }
    if (c.halo == nullptr) {
        c.halo = new QCPItemEllipse(this);
        c.halo->setLayer(haloLayer_);
        c.halo->setClipToAxisRect(true);
        c.halo->setSelectable(false);
        c.halo->setBrush(Qt::NoBrush);
        c.halo->topLeft->setCoords(c.outline->topLeft->coords());
        c.halo->bottomRight->setCoords(c.outline->bottomRight->coords());
    }
    c.halo->setPen(QPen(bg < 0.5 ? QColor(255, 255, 255, 110) : QColor(0, 0, 0, 80), 3.5));
}

void ColourGraph::SetRange(bool horizontal, double min, double max) {
    QCPRange& r = horizontal ? pendingH_ : pendingV_;
    if (r.lower == min && r.upper == max) return;
    r = QCPRange(min, max);
    Changed(true);
}

void ColourGraph::SetCursor(double x, double y) {
    if (pendingCursor_ == QPointF(x, y)) return;
    pendingCursor_ = QPointF(x, y);
    Changed(false);
}

void ColourGraph::Flush() {
    cursor_->position->setCoords(pendingCursor_);
    if (fullReplot_) {
        xAxis->setRange(pendingH_);
        yAxis->setRange(pendingV_);
        fullReplot_ = false;
        cursorMoved_ = false;
        replot(rpQueuedReplot);
    } else if (cursorMoved_) {
        cursorMoved_ = false;
        cursorLayer_->replot();
    }
}

void ColourGraph::MakeSquare() {
    // An ellipse in data coordinates is a circle only on a square plot area with equal extents.
    const int w = width() - kMarginLeft - kMarginRight;
    const int h = height() - kMarginTop - kMarginBottom;
    const int side = std::max(10, std::min(w, h));
    const int dx = std::max(0, w - side) / 2;
    const int dy = std::max(0, h - side) / 2;
    axisRect()->setMargins(QMargins(kMarginLeft + dx, kMarginTop + dy,
                                    kMarginRight + (w - side - dx),
                                    kMarginBottom + (h - side - dy)));
}

void ColourGraph::resizeEvent(QResizeEvent* event) {
    MakeSquare();
    QCustomPlot::resizeEvent(event);
}

void ColourGraph::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        StylePlot(*this);
        cursor_->setPen(QPen(palette().color(QPalette::Highlight), 1));
        for (std::size_t i = 0; i < ellipses_.size(); ++i)
            UpdateHalo(i);
        replot(rpQueuedReplot);
    }
    QCustomPlot::changeEvent(event);
}

// --- StripChart

StripChart::StripChart(QWidget* parent) : QCustomPlot(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int t = 0; t < 3; ++t) {
        QCPGraph* g = addGraph();
        g->setPen(QPen(kTraceColours[static_cast<std::size_t>(t)], 1.5));
        g->setAdaptiveSampling(false);
    }
    graph(0)->setName(tr("Red"));
    graph(1)->setName(tr("Green"));
    graph(2)->setName(tr("Blue"));
    axisRect()->setAutoMargins(QCP::msNone);
    axisRect()->setMargins(QMargins(kMarginLeft, kMarginTop, kMarginRight, kMarginBottom));
    xAxis->setLabel(tr("samples"));
    yAxis->setLabel(tr("R G B"));
    yAxis->setRange(0, 4096);
    SetPointsPerScreen(points_);
    StylePlot(*this);
    connect(this, &QCustomPlot::afterReplot, this, [this] { ++replots_; });
}

void StripChart::SetScheduler(RefreshScheduler* scheduler) {
    scheduler_ = scheduler;
    id_ = scheduler->Add([this] { Flush(); });
}

void StripChart::SetPointsPerScreen(int points) {
    points = std::max(2, points);
    if (points == points_ && !rings_[0].empty()) return;
    for (int t = 0; t < 3; ++t) {
        const std::vector<double> keep = Trace(t);
        auto& ring = rings_[static_cast<std::size_t>(t)];
        ring.assign(static_cast<std::size_t>(points), 0.0);
        const std::size_t n = std::min(keep.size(), ring.size());
        std::copy(keep.end() - static_cast<std::ptrdiff_t>(n), keep.end(), ring.begin());
        filled_[static_cast<std::size_t>(t)] = n;
        heads_[static_cast<std::size_t>(t)] = 0;
    }
    points_ = points;
    xAxis->setRange(0, points_ - 1);
    if (scheduler_ != nullptr) scheduler_->MarkDirty(id_);
}

void StripChart::Append(std::span<const double> values, int traces) {
    if (traces <= 0) return;
    ++appends_;
    const std::size_t n = static_cast<std::size_t>(points_);
    for (double v : values) {
        const std::size_t t = nextTrace_;
        nextTrace_ = (nextTrace_ + 1) % static_cast<std::size_t>(traces);
        if (t >= rings_.size()) continue;  // only three traces are drawn
        auto& ring = rings_[t];
        if (filled_[t] < n) {
            ring[(heads_[t] + filled_[t]) % n] = v;
            ++filled_[t];
        } else {
            ring[heads_[t]] = v;
            heads_[t] = (heads_[t] + 1) % n;
        }
    }
    if (scheduler_ != nullptr) {
        scheduler_->MarkDirty(id_);
    } else {
        Flush();
    }
}

std::vector<double> StripChart::Trace(int trace) const {
    const auto t = static_cast<std::size_t>(trace);
    const auto& ring = rings_[t];
    std::vector<double> out;
    out.reserve(filled_[t]);
    for (std::size_t i = 0; i < filled_[t]; ++i)
        out.push_back(ring[(heads_[t] + i) % ring.size()]);
    return out;
}

void StripChart::Flush() {
    double top = 0;
    for (int t = 0; t < 3; ++t) {
        const std::vector<double> v = Trace(t);
        QVector<double> keys(static_cast<qsizetype>(v.size()));
        QVector<double> values(v.begin(), v.end());
        // The newest point sits at the right edge.
        const double first = static_cast<double>(points_) - static_cast<double>(v.size());
        for (qsizetype i = 0; i < keys.size(); ++i)
            keys[i] = first + static_cast<double>(i);
        graph(t)->setData(keys, values, true);
        for (double x : v)
            top = std::max(top, x);
    }
    // Dark colours give small raw values: scale to what is on screen so they still move.
    yAxis->setRange(0, std::max(64.0, top * 1.1));
    replot(rpQueuedReplot);
}

void StripChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        StylePlot(*this);
        replot(rpQueuedReplot);
    }
    QCustomPlot::changeEvent(event);
}

}  // namespace qelto::gui
