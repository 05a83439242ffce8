#include "preview_text.h"

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<PreviewText>;

// In the order of PreviewText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{PreviewText::WaveformName, "波形", "Waveform"},
    TextPair{PreviewText::WaveformHint,
             "单击设置播放位置，拖动标记移动音轨边界，滚动鼠标滚轮缩放。",
             "Click to set the position, drag a marker to move a track boundary, turn the wheel "
             "to zoom."},
    TextPair{PreviewText::LeftAndRight, "分别显示左右声道(&L)", "&Left and right channels"},
    TextPair{PreviewText::BothMixed, "显示混合声道(&M)", "Both channels &mixed"},
    TextPair{PreviewText::ZoomIn, "放大(&I)", "Zoom &in"},
    TextPair{PreviewText::ZoomOut, "缩小(&O)", "Zoom &out"},
    TextPair{PreviewText::WholeSource, "显示整个文件(&W)", "Show the &whole file"},
    TextPair{PreviewText::ReadingWaveform, "正在读取波形…", "Reading the waveform…"},
    TextPair{PreviewText::PositionLabel, "位置(&P):", "&Position:"},
    TextPair{PreviewText::TrackSliderLabel, "音轨(&T):", "&Track:"},
};

static_assert(ListsEveryIdInOrder(kTexts, PreviewText::TrackSliderLabel),
              "kTexts must list every PreviewText in order");

}  // namespace

QString Text(PreviewText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

}  // namespace partita::gui
