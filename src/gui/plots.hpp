// The four plots of the data panel on QCustomPlot. The core changes their data at every sample
// (thousands a second over TCP); they paint only when the RefreshScheduler says so, at most
// about 60 times a second, so painting never paces the acquisition.
#pragma once

#include <qcustomplot.h>
#include <QColor>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace qelto::gui {

// Collects "something changed" from the plots and displays and calls each dirty one back once
// per frame. The first change after a quiet moment starts the frame timer, so the last sample
// of a run is always drawn within one frame.
class RefreshScheduler : public QObject {
  public:
    explicit RefreshScheduler(QObject* parent = nullptr);
    // Registers a flush; the returned id marks it dirty.
    int Add(std::function<void()> flush);
    void MarkDirty(int id);
    // Runs every pending flush now (a screenshot, a test that looks at the pixels).
    void FlushNow();
    long frames() const { return frames_; }

  private:
    void Flush();
    QTimer timer_;
    std::vector<std::function<void()>> flushes_;
    std::vector<char> dirty_;
    long frames_ = 0;
};

// The frame period: about 60 frames a second.
inline constexpr int kFrameMs = 16;

// Colours of the plots taken from the widget's palette, so light and dark themes both read.
void StylePlot(QCustomPlot& plot);

// A colour-space graph: teach circles as ellipses in data coordinates, a crosshair at the live
// point, and a square plot area so that equal axis extents make the ellipses round.
class ColourGraph : public QCustomPlot {
    Q_OBJECT
  public:
    explicit ColourGraph(QWidget* parent = nullptr);
    void SetScheduler(RefreshScheduler* scheduler);
    void SetAxisTitles(const QString& horizontal, const QString& vertical);

    void DeletePlots();
    void PlotEllipse(double left, double bottom, double right, double top, std::uint32_t rgb);
    void SetRange(bool horizontal, double min, double max);
    void SetCursor(double x, double y);

    int ellipseCount() const { return static_cast<int>(ellipses_.size()); }
    // The outline colour of teach circle `index` (in drawing order).
    QColor ellipseColour(int index) const;
    QCPRange horizontalRange() const { return xAxis->range(); }
    QCPRange verticalRange() const { return yAxis->range(); }
    QRect plotArea() const { return axisRect()->rect(); }
    QPointF cursorPosition() const { return cursor_->position->coords(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Flush();
    void MakeSquare();
    void Changed(bool layout);
    // A circle whose colour hardly differs from the plot's background (black on a dark theme,
    // yellow on a light one) gets a faint halo of the opposite brightness beneath it.
    void UpdateHalo(std::size_t index);

    RefreshScheduler* scheduler_ = nullptr;
    int id_ = -1;
    QCPLayer* haloLayer_ = nullptr;
    QCPLayer* teachLayer_ = nullptr;
    QCPLayer* cursorLayer_ = nullptr;
    QCPItemTracer* cursor_ = nullptr;
    struct Circle {
        QCPItemEllipse* outline = nullptr;
        QCPItemEllipse* halo = nullptr;
    };
    std::vector<Circle> ellipses_;
    QCPRange pendingH_{0, 10000}, pendingV_{0, 10000};
    QPointF pendingCursor_{0, 0};
    bool fullReplot_ = true;
    bool cursorMoved_ = false;
};

// The RGB strip chart: red, green and blue traces scrolling through a fixed number of points
// per screen. Only the newest screenful is kept, however much is appended.
class StripChart : public QCustomPlot {
    Q_OBJECT
  public:
    explicit StripChart(QWidget* parent = nullptr);
    void SetScheduler(RefreshScheduler* scheduler);
    void SetPointsPerScreen(int points);
    // Values interleaved over `traces` traces.
    void Append(std::span<const double> values, int traces);

    int pointsPerScreen() const { return points_; }
    // The points currently kept for a trace, oldest first.
    std::vector<double> Trace(int trace) const;
    long replots() const { return replots_; }
    // Append calls so far (one per sample the core draws).
    long appends() const { return appends_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void Flush();
    RefreshScheduler* scheduler_ = nullptr;
    int id_ = -1;
    int points_ = 101;
    // One ring per trace holding its newest points_ values; heads_ marks the oldest.
    std::array<std::vector<double>, 3> rings_;
    std::array<std::size_t, 3> filled_{};
    std::array<std::size_t, 3> heads_{};
    std::size_t nextTrace_ = 0;  // values are dealt out in turn, across calls too
    long replots_ = 0;
    long appends_ = 0;
};

}  // namespace qelto::gui
