// The four plots of the data panel on QCustomPlot. The core changes their data at every sample
// (thousands a second over TCP); they paint only when the RefreshScheduler says so, about 30
// times a second, so painting never paces the acquisition. The operator can look closer: the
// wheel zooms, a drag pans, a double-click returns to the automatic view, hovering shows the
// value under the mouse; the drawing can be paused while the acquisition goes on, and each
// plot exports as PNG, SVG or PDF.
#pragma once

#include <qcustomplot.h>
#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qelto::gui {

// Collects "something changed" from the plots and displays and calls each dirty one back, each
// at most once per its interval. A change after a quiet moment is drawn at once, so the last
// sample of a run is always drawn.
class RefreshScheduler : public QObject {
  public:
    explicit RefreshScheduler(QObject* parent = nullptr);
    // Registers a flush run at most every `intervalMs`; the returned id marks it dirty.
    int Add(std::function<void()> flush, int intervalMs);
    void MarkDirty(int id);
    // Runs every pending flush now (a screenshot, a test that looks at the pixels).
    void FlushNow();
    long frames() const { return frames_; }

  private:
    void Flush(bool all);
    void Arm();
    struct Slot {
        std::function<void()> flush;
        qint64 intervalMs = 0;
        qint64 lastMs = -1000000;
        bool dirty = false;
    };
    QTimer timer_;
    QElapsedTimer clock_;
    std::vector<Slot> slots_;
    long frames_ = 0;
};

// The plots' frame period: about 30 frames a second, smooth for the eye at a fraction of the
// cost of 60. Number displays change at most ten times a second, as fast as one can read.
inline constexpr int kFrameMs = 40;
inline constexpr int kDisplayMs = 200;

// Colours of the plots taken from the widget's palette, so light and dark themes both read.
void StylePlot(QCustomPlot& plot);

// Image formats a plot exports to, chosen by the file name's extension.
enum class ImageFormat { Png, Svg, Pdf };
std::optional<ImageFormat> ImageFormatOf(const QString& fileName);

// What the colour graphs and the strip chart share: the operator's view (zoom, pan, back to
// the automatic view), hovering, pausing and export. While the operator's view is on, the
// automatic one is still followed in the background, so a double-click returns to it.
class ExplorablePlot : public QCustomPlot {
    Q_OBJECT
  public:
    explicit ExplorablePlot(QWidget* parent = nullptr);
    void SetScheduler(RefreshScheduler* scheduler);

    // While paused, the drawing stays as it is; the data still arrive and are kept.
    void SetPaused(bool paused);
    bool paused() const { return paused_; }
    // Whether the operator's zoom or pan is shown instead of the automatic view.
    bool operatorView() const { return operatorView_; }
    // Zooms by `factor` (below 1: closer) around a point of the widget, as the wheel does.
    void ZoomAt(QPointF pixel, double factor);
    // Moves the view by a distance in pixels, as a drag does.
    void PanBy(QPointF pixels);
    // Back to the automatic view (a double-click).
    void ResetView();
    // The text shown for the mouse at `pixel`; empty outside the plot area.
    virtual QString HoverText(QPointF pixel) const = 0;
    // Saves the plot as it is drawn, without the hover label; false with the reason in `error`.
    bool Export(const QString& fileName, QString* error);
    QRect plotArea() const { return axisRect()->rect(); }

  signals:
    void viewChanged();

  protected:
    // The automatic view came back: take the latest automatic ranges.
    virtual void ApplyAutomaticView() = 0;
    // Whether the operator zooms and pans the vertical axis too (or only the horizontal one).
    virtual bool ExploresVertically() const { return true; }
    // Draws what goes on top of the buffered plot (cursor, hover label).
    virtual void PaintOverlay(QPainter& painter);
    // Exports draw the overlay's content through QCustomPlot's own layers.
    virtual void SetExportLayersVisible(bool /*visible*/) {}
    // The drawing was just paused or resumed.
    virtual void PauseChanged() {}
    // The data changed; draws at the next frame (unless paused).
    void Changed();
    virtual void Flush() = 0;
    // The operator moved the view: draw it now, paused or not.
    virtual void Redraw() { replot(rpQueuedReplot); }

    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // + and - zoom around the middle, the arrows pan, 0 returns to the automatic view.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    RefreshScheduler* scheduler_ = nullptr;
    int id_ = -1;
    bool paused_ = false;
    bool operatorView_ = false;
    std::optional<QPointF> hover_;

  private:
    void OperatorChangedView();
    void Compose();
    std::optional<QPointF> dragFrom_;
    QImage composite_;
};

// A colour-space graph: teach circles as ellipses in data coordinates, a crosshair at the live
// point, and a square plot area so that equal axis extents make the ellipses round. Zooming
// scales both axes alike, so the circles stay round.
class ColourGraph : public ExplorablePlot {
    Q_OBJECT
  public:
    explicit ColourGraph(QWidget* parent = nullptr);
    void SetAxisTitles(const QString& horizontal, const QString& vertical);

    void DeletePlots();
    // `dashed`: a circle that has not gone to the sensor yet.
    void PlotEllipse(double left, double bottom, double right, double top, std::uint32_t rgb,
                     bool dashed = false);
    void SetRange(bool horizontal, double min, double max);
    void SetCursor(double x, double y);

    int ellipseCount() const { return static_cast<int>(ellipses_.size()); }
    QCPRange horizontalRange() const { return xAxis->range(); }
    QCPRange verticalRange() const { return yAxis->range(); }
    // The ranges of the automatic view (the latest the program set).
    QCPRange automaticHorizontalRange() const { return automaticH_; }
    QPointF cursorPosition() const { return shownCursor_; }
    // The circles (drawing order, which is the teach row) whose inside holds (x, y).
    std::vector<int> CirclesAt(double x, double y) const;
    QString HoverText(QPointF pixel) const override;

  protected:
    void ApplyAutomaticView() override;
    void PaintOverlay(QPainter& painter) override;
    void SetExportLayersVisible(bool visible) override;
    void Flush() override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void MakeSquare();
    // A circle whose colour hardly differs from the plot's background (black on a dark theme,
    // yellow on a light one) gets a faint halo of the opposite brightness beneath it.
    void UpdateHalo(std::size_t index);

    QCPLayer* haloLayer_ = nullptr;
    QCPLayer* teachLayer_ = nullptr;
    QCPLayer* cursorLayer_ = nullptr;
    QCPItemTracer* cursor_ = nullptr;
    struct Circle {
        QCPItemEllipse* outline = nullptr;
        QCPItemEllipse* halo = nullptr;
    };
    std::vector<Circle> ellipses_;
    QCPRange automaticH_{0, 10000}, automaticV_{0, 10000};
    QPointF pendingCursor_{0, 0};
    QPointF shownCursor_{0, 0};
    bool rangesChanged_ = true;
    bool cursorMoved_ = false;
};

// The RGB strip chart: red, green and blue traces scrolling through a fixed number of points
// per screen, the newest at the right edge (key 0, older samples to the left). It keeps a
// longer history than one screen, which the operator can scroll back through while paused.
class StripChart : public ExplorablePlot {
    Q_OBJECT
  public:
    static constexpr std::size_t kHistory = 10000;  // samples kept per trace

    explicit StripChart(QWidget* parent = nullptr);
    void SetPointsPerScreen(int points);
    // Values interleaved over `traces` traces. The program hands over its whole recent history
    // with every sample; its last value of each trace is the sample just taken, and that is
    // what the chart keeps.
    void Append(std::span<const double> values, int traces);

    int pointsPerScreen() const { return points_; }
    // The newest points-per-screen points of a trace, oldest first.
    std::vector<double> Trace(int trace) const;
    QCPRange keyRange() const { return xAxis->range(); }
    // Times the chart was drawn: a new frame of its traces, or a replot of its axes.
    long frames() const { return frames_; }
    // Append calls so far (one per sample the core draws).
    long appends() const { return appends_; }
    QString HoverText(QPointF pixel) const override;

  protected:
    void ApplyAutomaticView() override;
    bool ExploresVertically() const override { return false; }
    void PauseChanged() override;
    void Flush() override;
    void Redraw() override;
    void PaintOverlay(QPainter& painter) override;
    void SetExportLayersVisible(bool visible) override;

  private:
    struct History {
        std::array<std::vector<double>, 3> rings;
        std::size_t filled = 0;
        std::size_t head = 0;  // the oldest sample
        double At(std::size_t trace, std::size_t i) const {
            return rings[trace][(head + i) % rings[trace].size()];
        }
    };
    const History& Shown() const { return paused_ ? frozen_ : live_; }
    // The first and last sample (oldest 0) the view shows; first > last when none.
    std::pair<std::size_t, std::size_t> VisibleSamples() const;
    double AutomaticTop() const;

    int points_ = 101;
    History live_;
    History frozen_;  // what was on screen when the drawing was paused
    long frames_ = 0;
    long appends_ = 0;
};

}  // namespace qelto::gui
