#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <functional>

#include "app/memory_settings_store.h"
#include "app/string_table.h"
#include "failure_box.h"
#include "gui_test_support.h"
#include "info_toggle_dialog.h"
#include "merge_complete_dialog.h"
#include "overwrite_dialog.h"
#include "question_box.h"
#include "scripted_user.h"
#include "split_complete_dialog.h"
#include "split_stop_dialog.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using DialogsTest = IniFileTest;

// The answer under another name needs its tick and a name other than the existing file's; the
// edit and its browser are off without the tick; Escape skips.
TEST_F(DialogsTest, OverwriteDialogAnswersUnderAnotherNameOnlyWhenTicked) {
    const QString existing = "/music/concert/live 01.mp3";
    auto answer = [&](const std::function<void(OverwriteDialog&)>& act) {
        OverwriteDialog dialog(existing, nullptr);
        dialog.show();
        act(dialog);
        return dialog.Reply();
    };
    auto type = [](OverwriteDialog& dialog, const QString& path) {
        auto* edit = dialog.findChild<QLineEdit*>("OtherPath");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, path);
    };
    auto tick = [](OverwriteDialog& dialog, bool on) {
        dialog.findChild<QCheckBox*>("OtherName")->setChecked(on);
    };

    OverwriteReply other = answer([&](OverwriteDialog& dialog) {
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("OtherPath")->isEnabled());
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "BrowseOtherName")->isEnabled());
        tick(dialog, true);
        type(dialog, "/music/live 01 (2).mp3");
        ScriptedUser::Click(&dialog, "Yes");
    });
    EXPECT_EQ(other.answer, OverwriteAnswer::OtherName);
    EXPECT_EQ(other.otherPath, "/music/live 01 (2).mp3");

    OverwriteReply untickedAgain = answer([&](OverwriteDialog& dialog) {
        tick(dialog, true);
        type(dialog, "/music/other.mp3");
        tick(dialog, false);
        ScriptedUser::Click(&dialog, "Yes");
    });
    EXPECT_EQ(untickedAgain.answer, OverwriteAnswer::Yes);
    EXPECT_EQ(untickedAgain.otherPath, "");

    OverwriteReply sameName = answer([&](OverwriteDialog& dialog) {
        tick(dialog, true);
        type(dialog, "");
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "Yes")->isEnabled());
        type(dialog, existing);
        ScriptedUser::Click(&dialog, "Yes");
    });
    EXPECT_EQ(sameName.answer, OverwriteAnswer::Yes);

    OverwriteReply escaped = answer([&](OverwriteDialog& dialog) {
        ScriptedUser::Press(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(escaped.answer, OverwriteAnswer::Skip);
    EXPECT_FALSE(escaped.dontAskAgain);
}

// Each dialog in both languages: a picture in the build folder, a name for every control a user
// can reach, and a key of its own for every button and tick.
TEST_F(DialogsTest, EveryDialogIsNamedReachableAndPictured) {
    MemorySettingsStore settings;
    const std::string folder = "/home/听众/分割输出";
    const NamedDialog dialogs[] = {
        {"overwrite",
         [] { return new OverwriteDialog("/home/听众/分割输出/音乐会 live 01.mp3", nullptr); }},
        {"info_toggle",
         [&] {
             return new InfoToggleDialog(settings, "Merge Diff Params Dlg",
                                         MessageText(Msg::MergeParametersDiffer), true, nullptr);
         }},
        {"question",
         [] {
             return new QuestionBox(MessageText(Msg::ConfirmRemoveGroup),
                                    QuestionBox::Buttons::YesNo, nullptr);
         }},
        {"merge_stop",
         [] {
             return new QuestionBox(MessageText(Msg::ConfirmStopMerge),
                                    QuestionBox::Buttons::OkCancel, nullptr);
         }},
        {"split_stop", [] { return new SplitStopDialog("音乐会 live.mp3", nullptr); }},
        {"failure",
         [&] {
             return new FailureBox(MessageText(Msg::CannotCreateTrack, folder + "/01.mp3"),
                                   nullptr);
         }},
        {"split_complete",
         [&] {
             auto* dialog = new SplitCompleteDialog(
                 {{Msg::SplitDoneInFolder, folder}, folder, true, false}, nullptr);
             dialog->SetSummary("12 / 12");
             return dialog;
         }},
        {"merge_complete",
         [&] {
             std::string output = folder + "/合并.mp3";
             return new MergeCompleteDialog({{Msg::MergeDone, output}, output, false, false},
                                            nullptr);
         }},
    };
    CheckAndPictureDialogs(dialogs);
}

}  // namespace
}  // namespace partita::gui::test
