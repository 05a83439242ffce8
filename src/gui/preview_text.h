#pragma once

#include <QString>

namespace partita::gui {

// Labels of the preview controls and the waveform that the numbered string table does not
// hold, in Chinese and English; they follow the current language of the string table.
enum class PreviewText {
    WaveformName,
    WaveformHint,
    LeftAndRight,
    BothMixed,
    ZoomIn,
    ZoomOut,
    WholeSource,
    ReadingWaveform,
    PositionLabel,
    TrackSliderLabel,
};

QString Text(PreviewText id);

}  // namespace partita::gui
