#include "join_dialog_text.h"

#include <QRegularExpression>

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<JoinDialogText>;
using T = JoinDialogText;

// In the order of JoinDialogText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{T::InsertSilenceTitle, "插入静音", "Insert Silence"},
    TextPair{T::SilenceSeconds, "静音长度 (秒)(&L):", "Silence &length (seconds):"},
    TextPair{T::SilenceZeroNote, "0 代表不插入静音", "0 means no silence"},
    TextPair{T::AutoApplySilence, "载入 MP3 时自动插入静音(&A)",
             "&Automatically insert silence after files added later"},
    TextPair{T::Apply, "应用", "A&pply"},
    TextPair{T::ApplyAll, "应用全部", "Apply to A&ll"},
    TextPair{T::Save, "保存(&S)", "&Save"},
    TextPair{T::PartialMergeTitle, "部分合并", "Partial Merge"},
    TextPair{T::FileName, "文件名称:", "File name:"},
    TextPair{T::Length, "长度:", "Length:"},
    TextPair{T::FilesSelected, "总计选定了 %1 个文件", "%1 files selected in total"},
    TextPair{T::NotAvailable, "不可用", "Not available"},
    TextPair{T::EnablePartial, "启用部分合并", "&Enable partial merge"},
    TextPair{T::StartTime, "开始时间:", "&Start:"},
    TextPair{T::EndPosition, "直接设置结束时间位置", "End &position"},
    TextPair{T::LengthBeforeEnd, "距离文件结尾位置的时间长度", "Length before the file's en&d"},
    TextPair{T::LengthFromStart, "要合并的时间长度", "Length &to merge from the start"},
    TextPair{T::ApplyToNewFiles, "应用该设置到所有新添加的音频文件中",
             "Apply these settings to every &newly added audio file"},
    TextPair{T::PartialOk, "确定", "&OK"},
    TextPair{T::MergeModeTitle, "合并模式", "Merge Mode"},
    TextPair{T::ModeAuto, "自动探测模式(&A)", "&Automatic detection"},
    TextPair{T::ModeDirect, "直接/快速模式(&D) (不进行编码)", "&Direct/fast mode (no encoding)"},
    TextPair{T::ModeConvert, "转换模式(&C)", "&Convert mode"},
    TextPair{T::ConvertFormat, "转换合并的输出格式", "Output of a converting merge"},
    TextPair{T::SampleRate, "采样率(&S):", "&Sample rate:"},
    TextPair{T::Channels, "声道(&H):", "C&hannels:"},
    TextPair{T::Automatic, "自动", "Automatic"},
    TextPair{T::Mono, "单声道", "Mono"},
    TextPair{T::Stereo, "立体声", "Stereo"},
    TextPair{T::OutputTagTitle, "输出文件的 ID3 标签", "ID3 Tag of the Merged File"},
    TextPair{T::WriteId3v1, "写入 ID3v1 标签(&1)", "Write an ID3v&1 tag"},
    TextPair{T::WriteId3v2, "写入 ID3v2 标签(&2)", "Write an ID3v&2 tag"},
    TextPair{T::KeepTag, "保存标签信息(&K)", "&Keep these texts for the next start"},
    TextPair{T::TagTitle, "标题(&T):", "&Title:"},
    TextPair{T::TagArtist, "艺术家(&R):", "A&rtist:"},
    TextPair{T::TagAlbum, "专辑(&B):", "Al&bum:"},
    TextPair{T::TagYear, "发行年(&Y):", "&Year:"},
    TextPair{T::TagComment, "备注(&M):", "Co&mment:"},
    TextPair{T::TagTrack, "曲目号码(&U):", "Track n&umber:"},
    TextPair{T::TagGenre, "流派(&G):", "&Genre:"},
    TextPair{T::ClearTags, "清除(&E)", "Cl&ear"},
    TextPair{T::LoadTags, "从文件载入(&L)...", "&Load from File..."},
    TextPair{T::ChapterPerInput, "为每个合并的文件写入一个章节(&H)",
             "Write one c&hapter per input file"},
    TextPair{T::SupportedAudioFiles,
             "所有支持的音频文件 (*.mp3 *.mp2 *.mp1 *.mpa *.wma *.asf *.wav *.ogg *.aif *.aiff)",
             "Supported audio files (*.mp3 *.mp2 *.mp1 *.mpa *.wma *.asf *.wav *.ogg *.aif "
             "*.aiff)"},
    TextPair{T::MpegAudioFiles, "MPEG 音频文件 (*.mp3 *.mp2 *.mp1 *.mpa)",
             "MPEG audio files (*.mp3 *.mp2 *.mp1 *.mpa)"},
    TextPair{T::WindowsMediaFiles, "Windows Media 文件 (*.wma *.asf)",
             "Windows Media files (*.wma *.asf)"},
    TextPair{T::WaveFiles, "WAVE 文件 (*.wav)", "WAVE files (*.wav)"},
    TextPair{T::OggFiles, "OGG 文件 (*.ogg)", "OGG files (*.ogg)"},
    TextPair{T::AiffFiles, "AIFF 文件 (*.aif *.aiff)", "AIFF files (*.aif *.aiff)"},
    TextPair{T::M3uFiles, "M3U 文件 (*.m3u)", "M3U files (*.m3u)"},
    TextPair{T::PlsOrM3uFiles, "PLS 或 M3U 文件 (*.pls *.m3u)", "PLS or M3U files (*.pls *.m3u)"},
};

static_assert(ListsEveryIdInOrder(kTexts, JoinDialogText::PlsOrM3uFiles),
              "kTexts must list every JoinDialogText in order");

}  // namespace

QString Text(JoinDialogText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

QString AccessibleText(JoinDialogText id) {
    static const QRegularExpression keyMark(QStringLiteral("\\(&.\\)|&(?=.)"));
    QString text = Text(id).remove(keyMark).trimmed();
    if (text.endsWith(u':') || text.endsWith(u'：'))
        text.chop(1);
    return text;
}

}  // namespace partita::gui
