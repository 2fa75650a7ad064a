#include "plots.hpp"

#include <QFileInfo>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace qelto::gui {
namespace {

// Room for tick labels and axis titles around the square plot area.
constexpr int kMarginLeft = 46;
constexpr int kMarginBottom = 30;
constexpr int kMarginTop = 6;
constexpr int kMarginRight = 8;
// A teach circle may reach this far past the plot area, so that the outermost one, which the
// automatic view places at its edge, is drawn whole.
constexpr int kCircleOverhang = 4;
// One wheel step zooms by this factor; spans stay within these bounds.
constexpr double kWheelZoom = 0.85;
// One key press: zoom closer by this factor (+), or back (-); pan by this share of the plot.
constexpr double kKeyZoom = 0.8;
constexpr double kKeyPanShare = 0.1;
constexpr double kMinSpan = 4;
constexpr double kMaxSpan = 1e6;
constexpr double kExportScale = 3.0;
constexpr std::size_t kMaxCirclesListed = 8;
constexpr double kMinTop = 64;

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

QCPRange Zoomed(const QCPRange& r, double at, double factor) {
    const double size = std::clamp(r.size() * factor, kMinSpan, kMaxSpan);
    const double f = size / r.size();
    return QCPRange(at + (r.lower - at) * f, at + (r.upper - at) * f);
}

// A teach circle: lines 1 px wide (the raster engine's fast path), allowed a little past the
// plot area in the automatic view.
class TeachCircle : public QCPItemEllipse {
  public:
    TeachCircle(QCustomPlot* plot, const ExplorablePlot* owner)
        : QCPItemEllipse(plot), owner_(owner) {}

  protected:
    QRect clipRect() const override {
        const QRect r = QCPItemEllipse::clipRect();
        if (owner_->operatorView()) return r;
        return r.adjusted(-kCircleOverhang, -kCircleOverhang, kCircleOverhang, kCircleOverhang);
    }

  private:
    const ExplorablePlot* owner_;
};

// The smallest of 1, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten that is at least v.
double NiceCeiling(double v) {
    if (v <= 0) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        if (m * power >= v) return m * power;
    }
    return 10 * power;
}

QString Whole(double v) {
    return QString::number(std::lround(v));
}

}  // namespace

// --- RefreshScheduler

RefreshScheduler::RefreshScheduler(QObject* parent) : QObject(parent) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Flush(false); });
}

int RefreshScheduler::Add(std::function<void()> flush, int intervalMs) {
    slots_.push_back(Slot{std::move(flush), intervalMs});
    return static_cast<int>(slots_.size()) - 1;
}

void RefreshScheduler::MarkDirty(int id) {
    Slot& s = slots_[static_cast<std::size_t>(id)];
    if (s.dirty) return;
    s.dirty = true;
    Arm();
}

void RefreshScheduler::Arm() {
    const qint64 now = clock_.elapsed();
    qint64 due = -1;
    for (const Slot& s : slots_) {
        if (!s.dirty) continue;
        const qint64 at = std::max(now, s.lastMs + s.intervalMs);
        if (due < 0 || at < due) due = at;
    }
    if (due < 0) return;
    const int wait = static_cast<int>(due - now);
    if (timer_.isActive() && timer_.remainingTime() <= wait) return;
    timer_.start(wait);
}

void RefreshScheduler::FlushNow() {
    timer_.stop();
    Flush(true);
}

void RefreshScheduler::Flush(bool all) {
    ++frames_;
    const qint64 now = clock_.elapsed();
    for (Slot& s : slots_) {
        if (!s.dirty || (!all && now < s.lastMs + s.intervalMs)) continue;
        s.dirty = false;
        s.lastMs = now;
        s.flush();
    }
    Arm();
}

void StylePlot(QCustomPlot& plot) {
    // A replot marks the widget for the window's next paint instead of painting and flushing
    // the window at once: the four plots of a frame then cost one paint.
    plot.setPlottingHint(QCP::phImmediateRefresh, false);
    const QPalette pal = plot.palette();
    plot.setBackground(pal.brush(QPalette::Base));
    QFont small = plot.font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() * 0.8));
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis})
        StyleAxis(axis, pal, small);
}

std::optional<ImageFormat> ImageFormatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png")) return ImageFormat::Png;
    if (suffix == QLatin1String("svg")) return ImageFormat::Svg;
    if (suffix == QLatin1String("pdf")) return ImageFormat::Pdf;
    return std::nullopt;
}

// --- ExplorablePlot

ExplorablePlot::ExplorablePlot(QWidget* parent) : QCustomPlot(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Tab reaches a plot, and its keys do what the wheel and a drag do.
    setFocusPolicy(Qt::StrongFocus);
    axisRect()->setAutoMargins(QCP::msNone);
    StylePlot(*this);
    connect(this, &QCustomPlot::afterReplot, this, [this] { Compose(); });
}

void ExplorablePlot::SetScheduler(RefreshScheduler* scheduler) {
    scheduler_ = scheduler;
    id_ = scheduler->Add([this] { Flush(); }, kFrameMs);
}

void ExplorablePlot::Changed() {
    if (scheduler_ != nullptr) {
        scheduler_->MarkDirty(id_);
    } else {
        Flush();
    }
}

void ExplorablePlot::SetPaused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    PauseChanged();
    // What came meanwhile is drawn at once.
    if (!paused_) Flush();
}

void ExplorablePlot::OperatorChangedView() {
    operatorView_ = true;
    Redraw();
    emit viewChanged();
}

void ExplorablePlot::ZoomAt(QPointF pixel, double factor) {
    xAxis->setRange(Zoomed(xAxis->range(), xAxis->pixelToCoord(pixel.x()), factor));
    if (ExploresVertically()) {
        yAxis->setRange(Zoomed(yAxis->range(), yAxis->pixelToCoord(pixel.y()), factor));
    }
    OperatorChangedView();
}

void ExplorablePlot::PanBy(QPointF pixels) {
    const QRect area = plotArea();
    if (area.width() <= 0 || area.height() <= 0) return;
    const double dx = -pixels.x() * xAxis->range().size() / area.width();
    const double dy = pixels.y() * yAxis->range().size() / area.height();
    xAxis->moveRange(dx);
    if (ExploresVertically()) yAxis->moveRange(dy);
    OperatorChangedView();
}

void ExplorablePlot::ResetView() {
    operatorView_ = false;
    ApplyAutomaticView();
    Redraw();
    emit viewChanged();
}

void ExplorablePlot::PaintOverlay(QPainter& painter) {
    if (hasFocus()) {
        // The plot the keys act on.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (paused_) {
        // The drawing stands still on purpose: say so where the eye looks.
        const QString tag = tr("paused");
        const QFontMetrics fm(font());
        QRect box(0, 0, fm.horizontalAdvance(tag) + 8, fm.height() + 2);
        box.moveTopRight(plotArea().topRight() + QPoint(-2, 2));
        painter.fillRect(box, palette().color(QPalette::Highlight));
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(box, Qt::AlignCenter, tag);
    }
    if (!hover_) return;
    const QString text = HoverText(*hover_);
    if (text.isEmpty()) return;
    const QFontMetrics fm(font());
    const QRect textRect = fm.boundingRect(QRect(0, 0, 400, 200), Qt::AlignLeft, text);
    QRect box = textRect.adjusted(-4, -2, 4, 2);
    // Beside the mouse, turned to the inside so that it stays whole.
    QPoint at = hover_->toPoint() + QPoint(12, 12);
    if (at.x() + box.width() > width()) at.setX(hover_->toPoint().x() - 12 - box.width());
    if (at.y() + box.height() > height()) at.setY(hover_->toPoint().y() - 12 - box.height());
    box.moveTopLeft(QPoint(std::max(0, at.x()), std::max(0, at.y())));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(box.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, text);
}

void ExplorablePlot::Compose() {
    // QCustomPlot paints its background and then blends its transparent buffers at every
    // paint; one opaque picture of them, made once per replot, is copied instead.
    const double ratio = devicePixelRatioF();
    composite_ = QImage(size() * ratio, QImage::Format_RGB32);
    composite_.setDevicePixelRatio(ratio);
    composite_.fill(palette().color(QPalette::Base));
    QCPPainter painter(&composite_);
    drawBackground(&painter);
    for (const QSharedPointer<QCPAbstractPaintBuffer>& buffer : mPaintBuffers)
        buffer->draw(&painter);
}

void ExplorablePlot::paintEvent(QPaintEvent* event) {
    if (composite_.isNull() || composite_.deviceIndependentSize().toSize() != size()) {
        QCustomPlot::paintEvent(event);
    } else {
        QPainter painter(this);
        painter.drawImage(0, 0, composite_);
    }
    QPainter painter(this);
    PaintOverlay(painter);
}

void ExplorablePlot::keyPressEvent(QKeyEvent* event) {
    const QRect area = plotArea();
    const QPointF centre = QRectF(area).center();
    const double stepX = area.width() * kKeyPanShare;
    const double stepY = area.height() * kKeyPanShare;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:  // + without Shift on many keyboards
            ZoomAt(centre, kKeyZoom);
            break;
        case Qt::Key_Minus:
            ZoomAt(centre, 1.0 / kKeyZoom);
            break;
        case Qt::Key_0:
            ResetView();
            break;
        // The arrow moves the view the way a drag in its direction would move the picture's
        // contents the other way: Left shows what lies to the left.
        case Qt::Key_Left:
            PanBy(QPointF(stepX, 0));
            break;
        case Qt::Key_Right:
            PanBy(QPointF(-stepX, 0));
            break;
        case Qt::Key_Up:
            PanBy(QPointF(0, stepY));
            break;
        case Qt::Key_Down:
            PanBy(QPointF(0, -stepY));
            break;
        default:
            QCustomPlot::keyPressEvent(event);
            return;
    }
    event->accept();
}

void ExplorablePlot::focusInEvent(QFocusEvent* event) {
    update();
    QCustomPlot::focusInEvent(event);
}

void ExplorablePlot::focusOutEvent(QFocusEvent* event) {
    update();
    QCustomPlot::focusOutEvent(event);
}

void ExplorablePlot::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || !plotArea().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->accept();
    ZoomAt(event->position(), std::pow(kWheelZoom, steps));
}

void ExplorablePlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && plotArea().contains(event->position().toPoint())) {
        dragFrom_ = event->position();
        event->accept();
        return;
    }
    event->ignore();
}

void ExplorablePlot::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        PanBy(event->position() - *dragFrom_);
        dragFrom_ = event->position();
    }
    hover_ = event->position();
    update();
    event->accept();
}

void ExplorablePlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragFrom_.reset();
    event->accept();
}

void ExplorablePlot::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ResetView();
        event->accept();
        return;
    }
    event->ignore();
}

void ExplorablePlot::leaveEvent(QEvent* event) {
    hover_.reset();
    update();
    QCustomPlot::leaveEvent(event);
}

void ExplorablePlot::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        StylePlot(*this);
        replot(rpQueuedReplot);
    }
    QCustomPlot::changeEvent(event);
}

bool ExplorablePlot::Export(const QString& fileName, QString* error) {
    const std::optional<ImageFormat> format = ImageFormatOf(fileName);
    if (!format) {
        if (error != nullptr) *error = tr("the name must end in .png, .svg or .pdf");
        return false;
    }
    // As laid out on screen (the square plot area keeps its circles round), the pixels at a
    // scale that prints well.
    const int w = width(), h = height();
    SetExportLayersVisible(true);
    bool ok = false;
    switch (*format) {
        case ImageFormat::Png:
            ok = savePng(fileName, 0, 0, kExportScale);
            break;
        case ImageFormat::Pdf:
            ok = savePdf(fileName);
            break;
        case ImageFormat::Svg: {
            QSvgGenerator svg;
            svg.setFileName(fileName);
            svg.setSize(QSize(w, h));
            svg.setViewBox(QRect(0, 0, w, h));
            svg.setTitle(accessibleName());
            QCPPainter painter;
            ok = painter.begin(&svg);
            if (ok) {
                toPainter(&painter, w, h);
                ok = painter.end();
            }
            ok = ok && QFileInfo(fileName).size() > 0;
            break;
        }
    }
    SetExportLayersVisible(false);
    replot(rpQueuedReplot);
    if (!ok && error != nullptr) *error = tr("it could not be written");
    return ok;
}

// --- ColourGraph

ColourGraph::ColourGraph(QWidget* parent) : ExplorablePlot(parent) {
    // Everything QCustomPlot draws shares one buffer, redrawn only when the view or the circles
    // change; the crosshair, which moves at every frame, is drawn over it by the overlay.
    addLayer(QStringLiteral("halo"), layer(QStringLiteral("main")), limAbove);
    addLayer(QStringLiteral("teach"), layer(QStringLiteral("halo")), limAbove);
    addLayer(QStringLiteral("cursor"), layer(QStringLiteral("teach")), limAbove);
    haloLayer_ = layer(QStringLiteral("halo"));
    teachLayer_ = layer(QStringLiteral("teach"));
    cursorLayer_ = layer(QStringLiteral("cursor"));
    cursorLayer_->setVisible(false);  // only exports draw it

    xAxis->setRange(automaticH_);
    yAxis->setRange(automaticV_);
    cursor_ = new QCPItemTracer(this);
    cursor_->setLayer(cursorLayer_);
    cursor_->setStyle(QCPItemTracer::tsCrosshair);
    cursor_->position->setType(QCPItemPosition::ptPlotCoords);
    cursor_->position->setCoords(0, 0);
    cursor_->setClipToAxisRect(true);
    cursor_->setPen(QPen(palette().color(QPalette::Highlight), 1));
    MakeSquare();
}

void ColourGraph::SetAxisTitles(const QString& horizontal, const QString& vertical) {
    xAxis->setLabel(horizontal);
    yAxis->setLabel(vertical);
    setAccessibleDescription(
        tr("Colour-space graph, %1 across, %2 upwards").arg(horizontal, vertical));
}

void ColourGraph::DeletePlots() {
    for (const Circle& c : ellipses_) {
        if (c.halo != nullptr) removeItem(c.halo);
        removeItem(c.outline);
    }
    ellipses_.clear();
    rangesChanged_ = true;
    Changed();
}

void ColourGraph::PlotEllipse(double left, double bottom, double right, double top,
                              std::uint32_t rgb, bool dashed) {
    auto* e = new TeachCircle(this, this);
    e->setLayer(teachLayer_);
    e->setClipToAxisRect(true);
    e->topLeft->setCoords(left, top);
    e->bottomRight->setCoords(right, bottom);
    e->setPen(QPen(FromRgb(rgb), dashed ? 1.5 : 1, dashed ? Qt::DashLine : Qt::SolidLine));
    e->setBrush(Qt::NoBrush);
    e->setSelectable(false);
    ellipses_.push_back({e, nullptr});
    UpdateHalo(ellipses_.size() - 1);
    rangesChanged_ = true;
    Changed();
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
        c.halo = new TeachCircle(this, this);
        c.halo->setLayer(haloLayer_);
        c.halo->setClipToAxisRect(true);
        c.halo->setSelectable(false);
        c.halo->setBrush(Qt::NoBrush);
        c.halo->topLeft->setCoords(c.outline->topLeft->coords());
        c.halo->bottomRight->setCoords(c.outline->bottomRight->coords());
    }
    // Dashed with its circle, so that the gaps still show.
    QPen halo(bg < 0.5 ? QColor(255, 255, 255, 90) : QColor(0, 0, 0, 70), 2.5);
    if (c.outline->pen().style() != Qt::SolidLine) {
        halo.setStyle(Qt::CustomDashLine);
        // The outline's dashes, in the halo's wider pen's units.
        QList<qreal> dashes;
        for (qreal d : c.outline->pen().dashPattern())
            dashes << d * c.outline->pen().widthF() / halo.widthF();
        halo.setDashPattern(dashes);
    }
    c.halo->setPen(halo);
}

void ColourGraph::SetRange(bool horizontal, double min, double max) {
    QCPRange& r = horizontal ? automaticH_ : automaticV_;
    if (r.lower == min && r.upper == max) return;
    r = QCPRange(min, max);
    // The operator's view stays; the automatic one is remembered for the way back.
    if (operatorView_) return;
    rangesChanged_ = true;
    Changed();
}

void ColourGraph::SetCursor(double x, double y) {
    if (pendingCursor_ == QPointF(x, y)) return;
    pendingCursor_ = QPointF(x, y);
    cursorMoved_ = true;
    Changed();
}

void ColourGraph::ApplyAutomaticView() {
    xAxis->setRange(automaticH_);
    yAxis->setRange(automaticV_);
}

void ColourGraph::Flush() {
    if (paused_) return;
    if (cursorMoved_) {
        cursorMoved_ = false;
        shownCursor_ = pendingCursor_;
        cursor_->position->setCoords(shownCursor_);
        update(plotArea());
    }
    if (rangesChanged_) {
        rangesChanged_ = false;
        if (!operatorView_) ApplyAutomaticView();
        replot(rpQueuedReplot);
    }
}

std::vector<int> ColourGraph::CirclesAt(double x, double y) const {
    std::vector<int> rows;
    for (std::size_t i = 0; i < ellipses_.size(); ++i) {
        const QPointF a = ellipses_[i].outline->topLeft->coords();
        const QPointF b = ellipses_[i].outline->bottomRight->coords();
        const double rx = std::abs(b.x() - a.x()) / 2, ry = std::abs(b.y() - a.y()) / 2;
        if (rx <= 0 || ry <= 0) continue;
        const double dx = (x - (a.x() + b.x()) / 2) / rx, dy = (y - (a.y() + b.y()) / 2) / ry;
        if (dx * dx + dy * dy <= 1.0) rows.push_back(static_cast<int>(i));
    }
    return rows;
}

QString ColourGraph::HoverText(QPointF pixel) const {
    if (!plotArea().contains(pixel.toPoint())) return {};
    const double x = xAxis->pixelToCoord(pixel.x()), y = yAxis->pixelToCoord(pixel.y());
    QString text =
        QStringLiteral("%1 %2   %3 %4").arg(xAxis->label(), Whole(x), yAxis->label(), Whole(y));
    const std::vector<int> rows = CirclesAt(x, y);
    if (!rows.empty()) {
        QStringList numbers;
        for (std::size_t i = 0; i < rows.size() && i < kMaxCirclesListed; ++i)
            numbers << QString::number(rows[i]);
        if (rows.size() > kMaxCirclesListed) numbers << QStringLiteral("\u2026");
        text += QLatin1Char('\n') + (rows.size() == 1 ? tr("colour %1") : tr("colours %1"))
                                        .arg(numbers.join(QStringLiteral(", ")));
    }
    return text;
}

void ColourGraph::PaintOverlay(QPainter& painter) {
    const QRect area = plotArea();
    const double px = xAxis->coordToPixel(shownCursor_.x());
    const double py = yAxis->coordToPixel(shownCursor_.y());
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    if (px >= area.left() && px <= area.right()) {
        painter.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
    }
    if (py >= area.top() && py <= area.bottom()) {
        painter.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
    }
    painter.restore();
    ExplorablePlot::PaintOverlay(painter);
}

void ColourGraph::SetExportLayersVisible(bool visible) {
    cursorLayer_->setVisible(visible);
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
    ExplorablePlot::resizeEvent(event);
}

void ColourGraph::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        cursor_->setPen(QPen(palette().color(QPalette::Highlight), 1));
        for (std::size_t i = 0; i < ellipses_.size(); ++i)
            UpdateHalo(i);
    }
    ExplorablePlot::changeEvent(event);
}

// --- StripChart

StripChart::StripChart(QWidget* parent) : ExplorablePlot(parent) {
    // The traces are drawn over the buffered axes at every frame; QCustomPlot's graphs carry
    // them only into an export. No legend: it would be measured at every replot.
    setAutoAddPlottableToLegend(false);
    for (std::size_t t = 0; t < 3; ++t) {
        QCPGraph* g = addGraph();
        g->setPen(QPen(kTraceColours[t], 1));
        live_.rings[t].assign(kHistory, 0.0);
    }
    graph(0)->setName(tr("Red"));
    graph(1)->setName(tr("Green"));
    graph(2)->setName(tr("Blue"));
    axisRect()->setMargins(QMargins(kMarginLeft, kMarginTop, kMarginRight, kMarginBottom));
    xAxis->setLabel(tr("samples (0: newest)"));
    yAxis->setLabel(tr("R G B"));
    yAxis->setRange(0, kMinTop);
    ApplyAutomaticView();
}

void StripChart::SetPointsPerScreen(int points) {
    points = std::max(2, points);
    if (points == points_) return;
    points_ = points;
    Changed();
}

void StripChart::Append(std::span<const double> values, int traces) {
    if (traces <= 0 || values.size() < static_cast<std::size_t>(traces)) return;
    ++appends_;
    const std::size_t first = values.size() - static_cast<std::size_t>(traces);
    const std::size_t at = (live_.head + live_.filled) % kHistory;
    for (std::size_t t = 0; t < live_.rings.size() && t < static_cast<std::size_t>(traces); ++t)
        live_.rings[t][at] = values[first + t];
    if (live_.filled < kHistory) {
        ++live_.filled;
    } else {
        live_.head = (live_.head + 1) % kHistory;
    }
    if (!paused_) Changed();
}

std::vector<double> StripChart::Trace(int trace) const {
    const auto t = static_cast<std::size_t>(trace);
    const std::size_t n = std::min(live_.filled, static_cast<std::size_t>(points_));
    std::vector<double> out;
    out.reserve(n);
    for (std::size_t i = live_.filled - n; i < live_.filled; ++i)
        out.push_back(live_.At(t, i));
    return out;
}

void StripChart::PauseChanged() {
    if (paused_) frozen_ = live_;
}

void StripChart::ApplyAutomaticView() {
    xAxis->setRange(-(points_ - 1), 0);
    yAxis->setRange(0, AutomaticTop());
}

void StripChart::Redraw() {
    // The operator chooses which samples; the vertical axis always fits what they show.
    yAxis->setRange(0, AutomaticTop());
    replot(rpQueuedReplot);
}

std::pair<std::size_t, std::size_t> StripChart::VisibleSamples() const {
    // What the view shows, and a sample either side so that the lines reach the edges.
    const History& h = Shown();
    if (h.filled == 0) return {1, 0};
    const auto newest = static_cast<double>(h.filled) - 1;
    const QCPRange keys = xAxis->range();
    const double from = std::clamp(std::floor(keys.lower + newest) - 1, 0.0, newest);
    const double to = std::clamp(std::ceil(keys.upper + newest) + 1, 0.0, newest);
    return {static_cast<std::size_t>(from), static_cast<std::size_t>(to)};
}

double StripChart::AutomaticTop() const {
    // Dark colours give small raw values: scale to what is on screen so they still move, in
    // steps, so that the axis (redrawn only when it changes) stays put while the values jitter.
    const History& h = Shown();
    const auto [from, to] = VisibleSamples();
    double top = 0;
    for (std::size_t t = 0; t < 3; ++t) {
        for (std::size_t i = from; i <= to && i < h.filled; ++i)
            top = std::max(top, h.At(t, i));
    }
    return NiceCeiling(std::max(kMinTop, top * 1.1));
}

void StripChart::Flush() {
    const QCPRange x = xAxis->range(), y = yAxis->range();
    if (!operatorView_) xAxis->setRange(-(points_ - 1), 0);
    yAxis->setRange(0, AutomaticTop());
    if (xAxis->range() != x || yAxis->range() != y) {
        replot(rpQueuedReplot);
    } else {
        update(plotArea());
    }
}

void StripChart::PaintOverlay(QPainter& painter) {
    ++frames_;
    const History& h = Shown();
    const auto [from, to] = VisibleSamples();
    if (from <= to) {
        const auto newest = static_cast<double>(h.filled) - 1;
        // Whole pixels and a one-pixel cosmetic pen: the raster engine draws such lines
        // directly instead of stroking a path.
        QVector<QPoint> points;
        points.reserve(static_cast<qsizetype>(to - from + 1));
        painter.save();
        painter.setClipRect(plotArea());
        for (std::size_t t = 0; t < 3; ++t) {
            points.clear();
            for (std::size_t i = from; i <= to; ++i) {
                points.push_back(
                    QPoint(static_cast<int>(
                               std::lround(xAxis->coordToPixel(static_cast<double>(i) - newest))),
                           static_cast<int>(std::lround(yAxis->coordToPixel(h.At(t, i))))));
            }
            QPen pen(kTraceColours[t], 0);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawPolyline(points.constData(), static_cast<int>(points.size()));
        }
        painter.restore();
    }
    ExplorablePlot::PaintOverlay(painter);
}

void StripChart::SetExportLayersVisible(bool visible) {
    const History& h = Shown();
    const auto [from, to] = VisibleSamples();
    const auto newest = static_cast<double>(h.filled) - 1;
    for (std::size_t t = 0; t < 3; ++t) {
        QVector<double> k, v;
        for (std::size_t i = from; visible && i <= to; ++i) {
            k.push_back(static_cast<double>(i) - newest);
            v.push_back(h.At(t, i));
        }
        graph(static_cast<int>(t))->setData(k, v, true);
    }
}

QString StripChart::HoverText(QPointF pixel) const {
    if (!plotArea().contains(pixel.toPoint())) return {};
    const History& h = Shown();
    const long key = std::lround(xAxis->pixelToCoord(pixel.x()));
    const long index = key + static_cast<long>(h.filled) - 1;
    if (h.filled == 0 || index < 0 || index >= static_cast<long>(h.filled)) return {};
    const auto i = static_cast<std::size_t>(index);
    return tr("sample %1\nR %2   G %3   B %4")
        .arg(key)
        .arg(Whole(h.At(0, i)), Whole(h.At(1, i)), Whole(h.At(2, i)));
}

}  // namespace qelto::gui
