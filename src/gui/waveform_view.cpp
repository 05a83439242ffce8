#include "waveform_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "preview_text.h"

namespace partita::gui {
namespace {

constexpr int kMarkerReach = 4;  // pixels either side of a marker that grab it
constexpr int kClickSlack = 2;   // a press that moves less is a click
constexpr double kWheelStep = 1.25;
// Quiet recordings are drawn as high as their loudest peak allows, but never more than 64 times
// enlarged, so that hiss never fills the view.
constexpr std::uint32_t kSmallestScale = 32768 / 64;

const QColor kWaveColour(48, 112, 184);
const QColor kSilenceShade(120, 120, 120, 60);
const QColor kMarkerColour(214, 118, 0);
const QColor kPlayheadColour(208, 32, 32);

}  // namespace

WaveformView::WaveformView(QWidget* parent)
    : QWidget(parent), scrollBar_(new QScrollBar(Qt::Horizontal, this)) {
    setAccessibleName(Text(PreviewText::WaveformName));
    setToolTip(Text(PreviewText::WaveformHint));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        viewStart_ = value;
        update();
    });
}

// --- Inputs ------------------------------------------------------------------------------

void WaveformView::SetDuration(std::uint64_t ms) {
    duration_ = ms;
    ClearEnvelope();
    ShowWhole();
}

void WaveformView::ClearEnvelope() {
    levels_.clear();
    timing_ = {};
    scale_ = kSmallestScale;
    reading_ = duration_ > 0;
    update();
}

void WaveformView::AddEnvelopeChunk(const audio::EnvelopeChunk& chunk) {
    timing_ = chunk.timing;
    if (levels_.size() < chunk.first + chunk.levels.size())
        levels_.resize(chunk.first + chunk.levels.size());
    std::copy(chunk.levels.begin(), chunk.levels.end(),
              levels_.begin() + static_cast<std::ptrdiff_t>(chunk.first));
    for (const audio::PeakLevel& level : chunk.levels)
        scale_ = std::max({scale_, level.left, level.right});
    if (chunk.finished)
        reading_ = false;
    update();
}

void WaveformView::SetMarkers(std::vector<std::uint64_t> timesMs) {
    markers_ = std::move(timesMs);
    dragged_ = -1;
    update();
}

void WaveformView::SetSelectedRange(std::optional<TimeRange> range) {
    selected_ = range;
    update();
}

void WaveformView::SetSilences(std::vector<TimeRange> ranges) {
    silences_ = std::move(ranges);
    update();
}

void WaveformView::SetPlayhead(std::uint64_t ms) {
    if (ms == playhead_)
        return;
    playhead_ = ms;
    const double at = double(ms);
    if (at < viewStart_ || at > viewStart_ + viewSpan_)
        SetView(at - viewSpan_ / 10, viewSpan_);
    update();
}

void WaveformView::SetChannels(Channels channels) {
    channels_ = channels;
    update();
}

// --- Zoom and scroll ---------------------------------------------------------------------

QRect WaveformView::WaveRect() const {
    QRect area = rect();
    if (!scrollBar_->isHidden())
        area.setBottom(scrollBar_->geometry().top() - 1);
    return area;
}

double WaveformView::TimeAtX(double x) const {
    const int width = std::max(1, WaveRect().width());
    return viewStart_ + x / width * viewSpan_;
}

double WaveformView::XForTime(double ms) const {
    return viewSpan_ > 0 ? (ms - viewStart_) / viewSpan_ * WaveRect().width() : 0;
}

void WaveformView::ZoomAt(double factor, int x) {
    if (duration_ == 0 || factor <= 0)
        return;
    const double anchor = TimeAtX(x);
    const double span = std::clamp(viewSpan_ / factor, std::min(kMinimumSpanMs, double(duration_)),
                                   double(duration_));
    SetView(anchor - double(x) / std::max(1, WaveRect().width()) * span, span);
}

void WaveformView::ShowWhole() {
    SetView(0, double(duration_));
}

void WaveformView::SetView(double startMs, double spanMs) {
    viewSpan_ = spanMs;
    viewStart_ = std::clamp(startMs, 0.0, std::max(0.0, double(duration_) - spanMs));
    SyncScrollBar();
    update();
}

void WaveformView::SyncScrollBar() {
    const bool zoomed = viewSpan_ < double(duration_);
    if (zoomed == scrollBar_->isHidden()) {
        scrollBar_->setHidden(!zoomed);
        PlaceScrollBar();
    }
    QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, static_cast<int>(std::max(0.0, double(duration_) - viewSpan_)));
    scrollBar_->setPageStep(std::max(1, static_cast<int>(viewSpan_)));
    scrollBar_->setSingleStep(std::max(1, static_cast<int>(viewSpan_ / 20)));
    scrollBar_->setValue(static_cast<int>(viewStart_));
}

void WaveformView::resizeEvent(QResizeEvent*) {
    PlaceScrollBar();
}

void WaveformView::PlaceScrollBar() {
    const int height = scrollBar_->sizeHint().height();
    scrollBar_->setGeometry(0, this->height() - height, width(), height);
}

// --- Drawing -----------------------------------------------------------------------------

void WaveformView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = WaveRect();
    painter.fillRect(area, palette().base());
    if (duration_ == 0)
        return;
    auto span = [&](double from, double to) {
        double left = std::max(0.0, XForTime(from));
        double right = std::min(double(area.width()), XForTime(to));
        return QRectF(left, area.top(), std::max(1.0, right - left), area.height());
    };
    for (const TimeRange& silence : silences_)
        painter.fillRect(span(double(silence.startMs), double(silence.endMs)), kSilenceShade);
    if (selected_) {
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(50);
        painter.fillRect(span(double(selected_->startMs), double(selected_->endMs)), highlight);
    }
    DrawEnvelope(painter, area);
    if (reading_ && levels_.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter, Text(PreviewText::ReadingWaveform));
    }
    DrawMarkers(painter, area);
    const double playheadX = XForTime(double(playhead_));
    if (playheadX >= 0 && playheadX <= area.width()) {
        painter.setPen(QPen(kPlayheadColour, 1));
        painter.drawLine(QPointF(playheadX, area.top()), QPointF(playheadX, area.bottom()));
    }
}

// One column per pixel: the largest peak of the blocks under it, drawn up and down from the
// middle of its lane (two lanes, left above right, or one lane of both mixed), scaled to the
// loudest peak read so far.
void WaveformView::DrawEnvelope(QPainter& painter, const QRect& area) const {
    const int lanes = channels_ == Channels::LeftAndRight ? 2 : 1;
    const double laneHeight = double(area.height()) / lanes;
    painter.setPen(palette().color(QPalette::Mid));
    for (int lane = 0; lane < lanes; ++lane) {
        double middle = area.top() + laneHeight * (lane + 0.5);
        painter.drawLine(QPointF(area.left(), middle), QPointF(area.right(), middle));
    }
    if (levels_.empty() || timing_.blockFrames == 0)
        return;
    std::vector<QLineF> lines;
    lines.reserve(static_cast<std::size_t>(area.width() * lanes));
    for (int x = 0; x < area.width(); ++x) {
        std::size_t first = timing_.BlockAt(TimeAtX(x));
        if (first >= levels_.size())
            break;
        std::size_t last = std::clamp(timing_.BlockAt(TimeAtX(x + 1)), first + 1, levels_.size());
        std::uint32_t left = 0, right = 0, mixed = 0;
        for (std::size_t b = first; b < last; ++b) {
            left = std::max(left, levels_[b].left);
            right = std::max(right, levels_[b].right);
            mixed = std::max(mixed, (levels_[b].left + levels_[b].right) / 2);
        }
        const std::uint32_t peaks[2] = {lanes == 2 ? left : mixed, right};
        for (int lane = 0; lane < lanes; ++lane) {
            double middle = area.top() + laneHeight * (lane + 0.5);
            double reach = std::max(0.5, double(peaks[lane]) / scale_ * (laneHeight / 2 - 1));
            lines.emplace_back(x + 0.5, middle - reach, x + 0.5, middle + reach);
        }
    }
    painter.setPen(QPen(kWaveColour, 1));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void WaveformView::DrawMarkers(QPainter& painter, const QRect& area) const {
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < markers_.size(); ++i) {
        const bool dragged = int(i) == dragged_;
        const double x = XForTime(double(dragged ? dragTime_ : markers_[i]));
        painter.setPen(QPen(kMarkerColour, dragged ? 2 : 1));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        // A small handle at the top to grab.
        const QPointF handle[] = {
            {x - 5, double(area.top())}, {x + 5, double(area.top())}, {x, area.top() + 6.0}};
        painter.setBrush(kMarkerColour);
        painter.drawPolygon(handle, 3);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// --- Mouse -------------------------------------------------------------------------------

int WaveformView::MarkerNear(int x) const {
    int nearest = -1;
    double best = kMarkerReach + 1;
    for (std::size_t i = 0; i < markers_.size(); ++i) {
        double distance = std::abs(XForTime(double(markers_[i])) - x);
        if (distance < best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

void WaveformView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || duration_ == 0)
        return QWidget::mousePressEvent(event);
    pressed_ = true;
    pressX_ = event->position().toPoint().x();
    dragged_ = MarkerNear(pressX_);
    if (dragged_ >= 0)
        dragTime_ = markers_[static_cast<std::size_t>(dragged_)];
}

void WaveformView::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (dragged_ < 0) {
        setCursor(!pressed_ && MarkerNear(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    // Between the neighbouring markers, within the source.
    const std::uint64_t own = markers_[static_cast<std::size_t>(dragged_)];
    double low = 0, high = double(duration_);
    for (std::uint64_t other : markers_) {
        if (other < own)
            low = std::max(low, double(other));
        else if (other > own)
            high = std::min(high, double(other));
    }
    dragTime_ = static_cast<std::uint64_t>(std::llround(std::clamp(TimeAtX(x), low, high)));
    update();
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    const int x = event->position().toPoint().x();
    const bool moved = std::abs(x - pressX_) > kClickSlack;
    const int marker = std::exchange(dragged_, -1);
    update();
    if (marker >= 0 && moved) {
        emit markerMoveRequested(marker, dragTime_);
    } else if (marker >= 0) {
        emit positionClicked(markers_[static_cast<std::size_t>(marker)]);
    } else {
        const double at = std::clamp(TimeAtX(x), 0.0, double(duration_));
        emit positionClicked(static_cast<quint64>(std::llround(at)));
    }
}

void WaveformView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const bool sideways =
        delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier) != Qt::NoModifier;
    const double steps = double(delta.x() != 0 ? delta.x() : delta.y()) / 120.0;
    if (sideways)
        SetView(viewStart_ - steps * viewSpan_ / 10, viewSpan_);
    else
        ZoomAt(std::pow(kWheelStep, steps), event->position().toPoint().x());
    event->accept();
}

void WaveformView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* both = menu.addAction(Text(PreviewText::LeftAndRight));
    QAction* mixed = menu.addAction(Text(PreviewText::BothMixed));
    both->setCheckable(true);
    mixed->setCheckable(true);
    both->setChecked(channels_ == Channels::LeftAndRight);
    mixed->setChecked(channels_ == Channels::Mixed);
    menu.addSeparator();
    QAction* zoomIn = menu.addAction(Text(PreviewText::ZoomIn));
    QAction* zoomOut = menu.addAction(Text(PreviewText::ZoomOut));
    QAction* whole = menu.addAction(Text(PreviewText::WholeSource));
    const int x = event->pos().x();
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == both)
        SetChannels(Channels::LeftAndRight);
    else if (chosen == mixed)
        SetChannels(Channels::Mixed);
    else if (chosen == zoomIn)
        ZoomAt(2, x);
    else if (chosen == zoomOut)
        ZoomAt(0.5, x);
    else if (chosen == whole)
        ShowWhole();
}

}  // namespace partita::gui
