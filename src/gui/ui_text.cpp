#include "ui_text.h"

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<UiText>;

// In the order of UiText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{UiText::Yes, "是", "Yes"},
    TextPair{UiText::No, "否", "No"},
    TextPair{UiText::LastOpenedFolder, "上次打开的文件夹", "Last opened folder"},
    TextPair{UiText::CountSelected, "选定", "Selected"},
    TextPair{UiText::CountAll, "全部", "All"},
    TextPair{UiText::AlwaysUseFolder, "总是使用该文件夹", "Always use this folder"},
    TextPair{UiText::RememberLastFolder, "记住最后打开的文件夹", "Remember the last opened folder"},
    TextPair{UiText::Browse, "浏览(&B)...", "&Browse..."},
    TextPair{UiText::JoinerOptions, "MP3 合并设置", "MP3 merge options"},
    TextPair{UiText::SplitterOptions, "MP3 分割设置", "MP3 split options"},
    TextPair{UiText::ConfirmOverwrite, "覆盖文件前确认", "Ask before overwriting a file"},
    TextPair{UiText::ShowSuccess, "完成后显示提示", "Show a message when done"},
    TextPair{UiText::OpenFolderWhenDone, "完成后打开输出文件夹",
             "Open the output folder when done"},
    TextPair{UiText::PlayMergedFile, "完成后播放合并的文件", "Play the merged file when done"},
    TextPair{UiText::StartNewMerge, "完成后开始新的合并 (清空列表)",
             "Start a new merge when done (clear the list)"},
    TextPair{UiText::ConfirmOutputFolder, "分割前确认输出文件夹",
             "Confirm the output folder before splitting"},
    TextPair{UiText::CountGeneratedOnly, "曲目号码只对要生成的音轨计数",
             "Track numbers count only the tracks being generated"},
    TextPair{UiText::ExportCue, "分割后导出 CUE 文件", "Export a CUE sheet after splitting"},
    TextPair{UiText::StartNewSplit, "完成后开始新的分割 (清空列表)",
             "Start a new split when done (clear the list)"},
    TextPair{UiText::WriteVbrHeader, "在输出文件中写入 VBR 头",
             "Write a VBR header into the output files"},
    TextPair{UiText::SampleAccurate, "按采样精确分割 (无缝播放器听到的正是所选时间)",
             "Sample-accurate cuts (gapless players hear exactly the chosen times)"},
    TextPair{UiText::SplitAtChapters, "载入带章节的文件时按章节分割",
             "Split files that have chapters at their chapters when loading them"},
    TextPair{UiText::MoreSettings, "其他设置(&O)...", "More &options..."},
    TextPair{UiText::OpenManual, "用户手册(&H)  F1", "User &manual  F1"},
    TextPair{UiText::AboutHeading, "关于", "About"},
    TextPair{UiText::AboutText,
             "把 MP3、MP2、MP1、MPA 和 WAV 文件分割成音轨，或把多个音频文件合并成一个 MP3 "
             "文件。分割和直接合并只复制完整的 MPEG 帧，不重新编码。",
             "Cuts MP3, MP2, MP1, MPA and WAV files into tracks and joins audio files into one "
             "MP3 file. Cuts and direct joins copy whole MPEG frames; nothing is re-encoded."},
    TextPair{UiText::SettingsFile, "设置保存在: %1", "Settings are kept in: %1"},
    TextPair{UiText::NoAudioOutput, "没有可用的音频输出设备，试听已停用。",
             "No audio output device: preview is off."},
    TextPair{UiText::ManualMissing, "找不到用户手册: %1", "The user manual was not found: %1"},
    TextPair{UiText::ManualNotOpened, "无法在浏览器中打开用户手册: %1",
             "The user manual could not be opened in a browser: %1"},
    TextPair{UiText::UsageText,
             "用法: partita-studio [--settings 文件] [--set 节/名称=值]... [--lang zh_CN|en] "
             "[-a SPLIT|MERGE -s 路径 | 文件]",
             "Usage: partita-studio [--settings FILE] [--set SECTION/NAME=VALUE]... "
             "[--lang zh_CN|en] [-a SPLIT|MERGE -s PATH | FILE]"},
    TextPair{UiText::BadOverride, "--set: 应为 节/名称=值，得到 \"%1\"",
             "--set: expected SECTION/NAME=VALUE, got \"%1\""},
    TextPair{UiText::ManualPlace, "用户手册: %1", "The user manual: %1"},
};

static_assert(ListsEveryIdInOrder(kTexts, UiText::ManualPlace),
              "kTexts must list every UiText in order");

}  // namespace

QString Text(UiText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

QString MessageText(const UserMessage& message) {
    QString text = ToQString(message.Text());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace partita::gui
