#include "split_dialog_text.h"

#include <QRegularExpression>

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<SplitDialogText>;

// In the order of SplitDialogText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{SplitDialogText::GroupNameTitle, "新建分割组", "New Split Group"},
    TextPair{SplitDialogText::GroupName, "分割组名称", "Group name"},
    TextPair{SplitDialogText::TrackTimesTitle, "设置音轨时间", "Track Times"},
    TextPair{SplitDialogText::TrackStart, "起点(&S):", "&Start:"},
    TextPair{SplitDialogText::TrackEnd, "终点(&E):", "&End:"},
    TextPair{SplitDialogText::MoveToGroupTitle, "移动到分割组", "Move to Split Group"},
    TextPair{SplitDialogText::AudioFile, "音频文件:", "Audio file:"},
    TextPair{SplitDialogText::TargetGroup, "目标分割组(&G):", "Target &group:"},
    TextPair{SplitDialogText::TagEditorTitle, "编辑 ID3 标签", "Edit ID3 Tags"},
    TextPair{SplitDialogText::TagTitle, "标题(&T):", "&Title:"},
    TextPair{SplitDialogText::TagArtist, "艺术家(&A):", "&Artist:"},
    TextPair{SplitDialogText::TagAlbum, "专辑(&L):", "A&lbum:"},
    TextPair{SplitDialogText::TagYear, "发行年(&Y):", "&Year:"},
    TextPair{SplitDialogText::TagComment, "备注(&M):", "Co&mment:"},
    TextPair{SplitDialogText::TagTrack, "曲目号码(&N):", "Track &number:"},
    TextPair{SplitDialogText::TagGenre, "流派(&G):", "&Genre:"},
    TextPair{SplitDialogText::AutoNumbering, "载入音频文件时", "When an audio file is loaded"},
    TextPair{SplitDialogText::AutoSequence, "在标题后添加音轨序号 [音轨 %S](&Q)",
             "Append the track se&quence [Track %S] to the title"},
    TextPair{SplitDialogText::AutoTrack, "曲目号码使用音轨序号 %S(&R)",
             "Use the sequence %S as the t&rack number"},
    TextPair{SplitDialogText::AutoTrackIfEmpty, "仅当文件没有曲目号码时(&I)",
             "Only &if the file has no track number"},
    TextPair{SplitDialogText::Wildcards, "通配符(&W)...", "&Wildcards..."},
    TextPair{SplitDialogText::LoadFromFile, "从文件载入(&F)...", "Load from &file..."},
    TextPair{SplitDialogText::LoadingFramesTitle, "正在载入帧", "Loading Frames"},
    TextPair{SplitDialogText::SaveGroupsTitle, "保存分割组的 CUE 文件",
             "Save the Group's CUE Files"},
    TextPair{SplitDialogText::BesideAudio, "与它的音频文件相同的文件夹(&S)",
             "&Same folder as its audio file"},
    TextPair{SplitDialogText::IntoFolder, "保存到文件夹(&F):", "Save to &folder:"},
    TextPair{SplitDialogText::TargetFolder, "目标文件夹", "Target folder"},
    TextPair{SplitDialogText::BrowseFolder, "浏览文件夹", "Browse for a folder"},
    TextPair{SplitDialogText::SilenceTitle, "按静音分割", "Split by Silence"},
    TextPair{SplitDialogText::SilenceGroup, "自动静音探测", "Automatic silence detection"},
    TextPair{SplitDialogText::SilenceLevel, "阈值 (dB)(&L):", "Threshold (dB) (&L):"},
    TextPair{SplitDialogText::SilenceLevelSlider, "阈值滑块", "Threshold slider"},
    TextPair{SplitDialogText::SilenceLength, "最小长度 (毫秒)(&M):", "&Minimum length (ms):"},
    TextPair{SplitDialogText::SilenceLengthSlider, "最小长度滑块", "Minimum length slider"},
    TextPair{SplitDialogText::ExcludeSilence, "排除静音部分(&E)", "&Exclude the silences"},
    TextPair{SplitDialogText::StartDetection, "开始探测", "Start detection"},
    TextPair{SplitDialogText::Defaults, "默认(&D)", "&Defaults"},
    TextPair{SplitDialogText::SpecialTitle, "分割为相等片断", "Split into Equal Parts"},
    TextPair{SplitDialogText::SplitBy, "分割方式", "Split by"},
    TextPair{SplitDialogText::ByCount, "按片断数(&E)", "By number of pi&eces"},
    TextPair{SplitDialogText::PartCount, "片断数", "Number of pieces"},
    TextPair{SplitDialogText::ByTime, "按固定时间(&T)", "By fixed &time"},
    TextPair{SplitDialogText::PartLength, "片断长度", "Length of a piece"},
    TextPair{SplitDialogText::Scope, "范围", "Scope"},
    TextPair{SplitDialogText::WholeMp3, "整个 MP3(&W)", "&Whole MP3"},
    TextPair{SplitDialogText::SelectedTrack, "选定音轨(&S)", "&Selected track"},
    TextPair{SplitDialogText::AutoApply, "在文件载入后自动应用该设置(&A)",
             "&Apply after every file is loaded"},
    TextPair{SplitDialogText::OverlapTitle, "设置交迭", "Set Overlaps"},
    TextPair{SplitDialogText::OverlapGroup, "交迭 (时:分:秒.毫秒)", "Overlaps (h:m:s.ms)"},
    TextPair{SplitDialogText::Backward, "向后(&B):", "&Backward:"},
    TextPair{SplitDialogText::Forward, "向前(&F):", "&Forward:"},
    TextPair{SplitDialogText::SelectedSections, "选定区段(&E)", "S&ections"},
    TextPair{SplitDialogText::TimeStep, "时间步进 (毫秒)(&T):", "&Time step (ms):"},
    TextPair{SplitDialogText::PageSize, "分页大小 (毫秒)(&P):", "&Page size (ms):"},
};

static_assert(ListsEveryIdInOrder(kTexts, SplitDialogText::PageSize),
              "kTexts must list every SplitDialogText in order");

}  // namespace

QString Text(SplitDialogText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

QString AccessibleText(SplitDialogText id) {
    static const QRegularExpression keyMark(QStringLiteral("\\(&.\\)|&|:$"));
    return Text(id).remove(keyMark).trimmed();
}

}  // namespace partita::gui
