#include "joiner_page_text.h"

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<JoinerText>;

// In the order of JoinerText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{JoinerText::Add, "添加(&A)", "&Add"},
    TextPair{JoinerText::Remove, "移除", "Remove"},
    TextPair{JoinerText::Clear, "清除", "Clear"},
    TextPair{JoinerText::MoveUp, "上移", "Up"},
    TextPair{JoinerText::MoveDown, "下移", "Down"},
    TextPair{JoinerText::MoveTop, "顶端", "Top"},
    TextPair{JoinerText::MoveBottom, "底端", "Bottom"},
    TextPair{JoinerText::Play, "播放", "Play"},
    TextPair{JoinerText::InsertSilence, "插入静音(&S)", "Insert &Silence"},
    TextPair{JoinerText::PartialMerge, "部分合并(&P)", "&Partial Merge"},
    TextPair{JoinerText::OpenList, "打开列表", "Open List"},
    TextPair{JoinerText::SaveList, "保存列表(&L)", "Save &List"},
    TextPair{JoinerText::Id3, "&ID3", "&ID3"},
    TextPair{JoinerText::MergeModeButton, "合并模式(&O)", "Merge M&ode"},
    TextPair{JoinerText::OutputFolder, "输出文件夹:", "Output folder:"},
    TextPair{JoinerText::BrowseOutputFolder, "浏览(&D)...", "Browse (&D)..."},
    TextPair{JoinerText::TotalLength, "总长度:", "Total length:"},
    TextPair{JoinerText::TotalSize, "总大小:", "Total size:"},
    TextPair{JoinerText::ListMenu, "合并列表", "Merge List"},
    TextPair{JoinerText::MenuAdd, "添加文件进行合并(&A)", "&Add Files to Merge"},
    TextPair{JoinerText::MenuRemove, "移除(&R)", "&Remove"},
    TextPair{JoinerText::MenuClear, "清除列表(&C)", "&Clear List"},
    TextPair{JoinerText::MenuUp, "上移(&U)", "Move &Up"},
    TextPair{JoinerText::MenuDown, "下移(&D)", "Move &Down"},
    TextPair{JoinerText::MenuTop, "移至顶端(&T)", "Move to &Top"},
    TextPair{JoinerText::MenuBottom, "移至底端(&E)", "Move to &End"},
    TextPair{JoinerText::MenuPlay, "播放(&P)", "&Play"},
    TextPair{JoinerText::MenuSilence, "设置静音(&S)...", "Set &Silence..."},
    TextPair{JoinerText::MenuPartial, "部分合并(&M)...", "Partial &Merge..."},
    TextPair{JoinerText::DefaultModeMenu, "默认合并模式(&D)", "&Default Merge Mode"},
    TextPair{JoinerText::ModeAuto, "自动探测(&A)", "&Auto Detect"},
    TextPair{JoinerText::ModeDirect, "直接合并(&D)", "&Direct Merge"},
    TextPair{JoinerText::ModeConvert, "转换合并(&C)", "&Convert Merge"},
    TextPair{JoinerText::ModeSettings, "合并模式设置(&S)...", "Merge Mode &Settings..."},
    TextPair{JoinerText::MoreSettings, "其他设置(&M)...", "&More Settings..."},
    TextPair{JoinerText::Id3Menu, "ID3 标签", "ID3 Tag"},
    TextPair{JoinerText::Id3Edit, "编辑(&E)...", "&Edit..."},
    TextPair{JoinerText::Id3Copy, "复制(&C)", "&Copy from the Selected File"},
    TextPair{JoinerText::SummaryFormat, "[合并模式] - %1\n[ID3 标签] - %2",
             "[Merge mode] - %1\n[ID3 tag] - %2"},
    TextPair{JoinerText::SummaryAuto, "自动探测", "Auto detect"},
    TextPair{JoinerText::SummaryDirect, "直接/快速合并 (不进行编码)",
             "Direct/fast merge (no encoding)"},
    TextPair{JoinerText::SummaryConvert, "转换合并 (输出采样率: %1 声道: %2)",
             "Convert merge (output sample rate: %1 channels: %2)"},
    TextPair{JoinerText::RateHz, "%1Hz ", "%1Hz "},
    TextPair{JoinerText::RateAuto, "自动 ", "Auto "},
    TextPair{JoinerText::ChannelsAuto, "自动", "Auto"},
    TextPair{JoinerText::Mono, "单声道", "Mono"},
    TextPair{JoinerText::Stereo, "立体声", "Stereo"},
    TextPair{JoinerText::TagSummary, "标题:“%1”;  艺术家:“%2”;  专辑:“%3”; (ID3v1: %4，ID3v2: %5)",
             "Title: \"%1\";  Artist: \"%2\";  Album: \"%3\"; (ID3v1: %4, ID3v2: %5)"},
    TextPair{JoinerText::TagsDisabled, "已禁用 (点击“ID3”按钮启用)",
             "Disabled (click the \"ID3\" button to enable)"},
    TextPair{JoinerText::MergeList, "合并列表", "Merge list"},
    TextPair{JoinerText::Progress, "合并进度", "Merge progress"},
    TextPair{JoinerText::Summary, "合并设置", "Merge settings"},
    TextPair{JoinerText::Status, "状态", "Status"},
};

static_assert(ListsEveryIdInOrder(kTexts, JoinerText::Status),
              "kTexts must list every JoinerText in order");

}  // namespace

QString Text(JoinerText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

}  // namespace partita::gui
