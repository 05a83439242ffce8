#include "dialog_text.h"

#include "label_table.h"

namespace partita::gui {
namespace {

using TextPair = LabelPair<DialogText>;

// In the order of DialogText, checked at compile time below.
constexpr std::array kTexts{
    TextPair{DialogText::Yes, "是(&Y)", "&Yes"},
    TextPair{DialogText::No, "否(&N)", "&No"},
    TextPair{DialogText::Ok, "确定(&O)", "&OK"},
    TextPair{DialogText::Cancel, "取消(&C)", "&Cancel"},
    TextPair{DialogText::OverwriteTitle, "确认文件覆盖", "Confirm File Replace"},
    TextPair{DialogText::YesToAll, "全部选是(&A)", "Yes to &All"},
    TextPair{DialogText::SkipFile, "忽略(&S)", "&Skip"},
    TextPair{DialogText::SaveUnderOtherName, "保存为其他名称(&O)", "Save under an&other name"},
    TextPair{DialogText::OtherNameEdit, "其他名称", "Other name"},
    TextPair{DialogText::BrowseOtherName, "浏览其他名称", "Browse for another name"},
    TextPair{DialogText::DontAskOverwrite, "不要再为确认文件覆盖对我进行询问(&D)",
             "&Don't ask me again before replacing a file"},
    TextPair{DialogText::DontShowMessage, "不再显示此消息(&D)", "&Don't show this message again"},
    TextPair{DialogText::StopSplitTitle, "停止分割", "Stop Splitting"},
    TextPair{DialogText::StopAll, "全部停止(&A)", "Stop &All"},
    TextPair{DialogText::Abort, "中止(&A)", "&Abort"},
    TextPair{DialogText::Retry, "重试(&R)", "&Retry"},
    TextPair{DialogText::Ignore, "忽略(&I)", "&Ignore"},
    TextPair{DialogText::SplitDoneTitle, "分割完成", "Split Finished"},
    TextPair{DialogText::NewSplit, "新建分割(&N)", "&New Split"},
    TextPair{DialogText::OpenOutputFolder, "打开输出文件夹(&F)", "Open the output &folder"},
    TextPair{DialogText::DontShowWindow, "不再显示该窗口(&D)", "&Don't show this window again"},
    TextPair{DialogText::MergeDoneTitle, "合并完成", "Merge Finished"},
    TextPair{DialogText::PlayNow, "立即播放(&P)", "&Play Now"},
    TextPair{DialogText::OpenFolder, "打开文件夹(&F)", "Open &Folder"},
    TextPair{DialogText::StartNewMerge, "开始新的合并(&N)", "Start a &new merge"},
    TextPair{DialogText::Mp3Files, "MP3 文件 (*.mp3)", "MP3 files (*.mp3)"},
    TextPair{DialogText::AllFiles, "所有文件 (*)", "All files (*)"},
};

static_assert(ListsEveryIdInOrder(kTexts, DialogText::AllFiles),
              "kTexts must list every DialogText in order");

}  // namespace

QString Text(DialogText id) {
    return LabelInCurrentLanguage(kTexts, id);
}

}  // namespace partita::gui
