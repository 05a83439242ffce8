#include "splitter_page_text.h"

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<SplitterText>;

// In the order of SplitterText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{SplitterText::AddFiles, "添加文件", "Add Files"},
    TextPair{SplitterText::InsertPoint, "插入分割点", "Insert Point"},
    TextPair{SplitterText::TrackStart, "设为起点", "Set Start"},
    TextPair{SplitterText::TrackEnd, "设为终点", "Set End"},
    TextPair{SplitterText::TrackTimes, "音轨时间...", "Track Times..."},
    TextPair{SplitterText::GoToTrackStart, "转到音轨起点", "Go to Track Start"},
    TextPair{SplitterText::GoToTrackEnd, "转到音轨终点", "Go to Track End"},
    TextPair{SplitterText::EditTags, "编辑 ID3 标签...", "Edit ID3 Tags..."},
    TextPair{SplitterText::Remove, "移除", "Remove"},
    TextPair{SplitterText::ClearTracks, "清除音轨", "Clear Tracks"},
    TextPair{SplitterText::ClearAll, "清空列表", "Clear List"},
    TextPair{SplitterText::NewGroup, "新建分割组", "New Group"},
    TextPair{SplitterText::MoveToGroup, "移动到分割组...", "Move to Group..."},
    TextPair{SplitterText::ToggleSelection, "切换选择", "Toggle Selection"},
    TextPair{SplitterText::ExpandAll, "全部展开", "Expand All"},
    TextPair{SplitterText::CollapseAll, "全部折叠", "Collapse All"},
    TextPair{SplitterText::SpecialSplit, "特殊分割...", "Special Split..."},
    TextPair{SplitterText::Overlaps, "设置交迭...", "Overlaps..."},
    TextPair{SplitterText::SilenceSplit, "按静音分割...", "Split by Silence..."},
    TextPair{SplitterText::SplitAtChapters, "按章节分割", "Split at chapters"},
    TextPair{SplitterText::SaveCue, "保存为 CUE...", "Save as CUE..."},
    TextPair{SplitterText::OpenCue, "打开 CUE...", "Open CUE..."},
    TextPair{SplitterText::TimeSteps, "时间步进...", "Time Steps..."},
    TextPair{SplitterText::SplitModeButton, "分割模式", "Split Mode"},
    TextPair{SplitterText::OutputFolder, "输出文件夹:", "Output folder:"},
    TextPair{SplitterText::ChooseFolder, "...", "..."},
    TextPair{SplitterText::SameFolder, "与原文件相同的文件夹", "Same folder as the original"},
    TextPair{SplitterText::NamingRule, "命名规则:", "Naming rule:"},
    TextPair{SplitterText::NamingRuleHelpButton, "?", "?"},
    TextPair{SplitterText::AllAudioFilter, "所有已支持的音频文件", "All supported audio files"},
    TextPair{SplitterText::MpegFilter, "MPEG 文件", "MPEG files"},
    TextPair{SplitterText::WaveFilter, "WAVE 文件", "WAVE files"},
    TextPair{SplitterText::CueFilter, "CUE 文件", "CUE sheets"},
    TextPair{SplitterText::TrackList, "分割列表", "Split list"},
    TextPair{SplitterText::InformationLine, "音轨信息", "Track information"},
    TextPair{SplitterText::Progress, "分割进度", "Split progress"},
    TextPair{SplitterText::StatusLine, "状态", "Status"},
    TextPair{SplitterText::NoAudioFile, "所有文件", "All files"},
};

static_assert(ListsEveryIdInOrder(kTexts, SplitterText::NoAudioFile),
              "kTexts must list every SplitterText in order");

}  // namespace

QString Text(SplitterText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

}  // namespace partita::gui
