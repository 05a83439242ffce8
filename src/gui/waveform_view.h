#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "audio/peak_envelope.h"

class QScrollBar;

namespace partita::gui {

// A stretch of the source, in ms.
struct TimeRange {
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
};

// The current source's loudness over time: its peak envelope (left and right, or both mixed)
// drawn as it arrives, the track boundaries as markers, the selected track highlighted, the
// detected silences shaded and the play position as a line. It holds plain values the page
// gives it and edits nothing: a click asks for a position, a dragged marker asks for a boundary
// to move, and the page decides. The wheel zooms around the pointer; a zoomed view scrolls.
class WaveformView : public QWidget {
    Q_OBJECT

  public:
    enum class Channels { LeftAndRight, Mixed };

    explicit WaveformView(QWidget* parent = nullptr);

    // A new source of this length (0: none); shows it whole, without an envelope yet.
    void SetDuration(std::uint64_t ms);
    void ClearEnvelope();
    // Places the blocks of a chunk; a finished chunk ends the "reading" note.
    void AddEnvelopeChunk(const audio::EnvelopeChunk& chunk);
    void SetMarkers(std::vector<std::uint64_t> timesMs);
    void SetSelectedRange(std::optional<TimeRange> range);
    void SetSilences(std::vector<TimeRange> ranges);
    // The play position; a zoomed view scrolls to keep it in sight.
    void SetPlayhead(std::uint64_t ms);
    void SetChannels(Channels channels);
    Channels ShownChannels() const { return channels_; }

    // Zooms by `factor` (above 1 zooms in) keeping the time under `x` in place.
    void ZoomAt(double factor, int x);
    void ShowWhole();
    double VisibleStartMs() const { return viewStart_; }
    double VisibleSpanMs() const { return viewSpan_; }
    double TimeAtX(double x) const;
    double XForTime(double ms) const;
    std::size_t BlockCount() const { return levels_.size(); }

    QSize sizeHint() const override { return {640, 120}; }
    QSize minimumSizeHint() const override { return {120, 60}; }

    // The shortest stretch a zoomed view shows.
    static constexpr double kMinimumSpanMs = 500;

  signals:
    void positionClicked(quint64 ms);
    void markerMoveRequested(int index, quint64 ms);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QRect WaveRect() const;
    void SetView(double startMs, double spanMs);
    void SyncScrollBar();
    void PlaceScrollBar();
    int MarkerNear(int x) const;
    void DrawEnvelope(QPainter& painter, const QRect& area) const;
    void DrawMarkers(QPainter& painter, const QRect& area) const;

    QScrollBar* scrollBar_;
    std::uint64_t duration_ = 0;
    audio::EnvelopeTiming timing_;
    std::vector<audio::PeakLevel> levels_;
    std::uint32_t scale_ = 1;  // the peak drawn at the full height of a lane
    bool reading_ = false;
    std::vector<std::uint64_t> markers_;
    std::optional<TimeRange> selected_;
    std::vector<TimeRange> silences_;
    std::uint64_t playhead_ = 0;
    Channels channels_ = Channels::LeftAndRight;
    double viewStart_ = 0;
    double viewSpan_ = 0;
    // A press: on a marker (its index) or for a click; where it began and where a marker is.
    int dragged_ = -1;
    bool pressed_ = false;
    int pressX_ = 0;
    std::uint64_t dragTime_ = 0;
};

}  // namespace partita::gui
