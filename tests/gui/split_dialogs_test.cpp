#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "group_name_dialog.h"
#include "gui_test_support.h"
#include "loading_frames_dialog.h"
#include "move_to_group_dialog.h"
#include "naming_rule_help.h"
#include "question_box.h"
#include "save_groups_dialog.h"
#include "scripted_user.h"
#include "silence_scan_progress.h"
#include "silence_split_dialog.h"
#include "special_split_dialog.h"
#include "split_time_edit.h"
#include "tag_editor_dialog.h"
#include "time_step_dialog.h"
#include "track_overlap_dialog.h"
#include "track_times_dialog.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using SplitDialogsTest = IniFileTest;
using User = ScriptedUser;

// Replaces the whole text of a line edit (or a spin box's) as a user retypes it.
void Retype(QWidget* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

template <typename Widget>
Widget* Find(QWidget* dialog, const char* name) {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A time that is no time (75 minutes) is refused and keeps the dialog open; a changed start
// comes back alone; Escape closes without an answer.
TEST_F(SplitDialogsTest, TrackTimesRefuseNonTimesAndReportWhatChanged) {
    RecordedMessages messages;
    TrackTimesDialog dialog(2, 5, {62'500, 120'000}, messages, nullptr);
    dialog.show();
    auto* start = Find<SplitTimeEdit>(&dialog, "Start");
    EXPECT_EQ(start->text(), "000:01:02.500");
    Retype(start, "0007500000");
    User::Click(&dialog, "Ok");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].second.contains("000:75:00.000"));
    EXPECT_TRUE(dialog.isVisible());

    Retype(start, "0010203004");
    QTest::keyClick(start, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Times(), (TrackTimes{3'723'004, 120'000}));
    EXPECT_TRUE(dialog.StartChanged());
    EXPECT_FALSE(dialog.EndChanged());

    TrackTimesDialog escaped(1, 1, {0, 1000}, messages, nullptr);
    escaped.show();
    User::Press(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.result(), QDialog::Rejected);
}

// The name and group prompts give back the user's choice; the group list starts at the
// source's own group.
TEST_F(SplitDialogsTest, NameAndGroupChoicesComeBack) {
    GroupNameDialog name("分割组 03", nullptr);
    name.show();
    EXPECT_EQ(Find<QLineEdit>(&name, "GroupName")->selectedText(), "分割组 03");
    QTest::keyClicks(Find<QLineEdit>(&name, "GroupName"), "  Live  ");
    EXPECT_EQ(name.Name(), "Live");

    MoveToGroupDialog move("live.mp3", {"A", "B", "b"}, 1, nullptr);
    move.show();
    EXPECT_EQ(move.GroupName(), "B");
    Find<QComboBox>(&move, "Groups")->setCurrentIndex(2);
    EXPECT_EQ(move.GroupName(), "b");
    EXPECT_EQ(move.GroupIndex(), 2);
}

// Typed levels move the slider; OK clamps -5 dB to -10.0 and 20 ms to 100 and stores all three;
// Defaults restores -30.0 dB, 1500 ms, off; Cancel stores nothing.
TEST_F(SplitDialogsTest, SilenceParametersAreClampedAndStoredOnlyOnStart) {
    MemorySettingsStore settings;
    settings::SilenceLevel.Write(settings, 450);
    {
        SilenceSplitDialog dialog(settings, nullptr);
        dialog.show();
        EXPECT_EQ(Find<QLineEdit>(&dialog, "Level")->text(), "-45.0");
        Retype(Find<QLineEdit>(&dialog, "Level"), "-62.5");
        EXPECT_EQ(Find<QSlider>(&dialog, "LevelSlider")->value(), -625);
        Find<QSlider>(&dialog, "LengthSlider")->setValue(2500);
        EXPECT_EQ(Find<QLineEdit>(&dialog, "Length")->text(), "2500");
        User::Click(&dialog, "Defaults");
        EXPECT_EQ(Find<QLineEdit>(&dialog, "Level")->text(), "-30.0");
        Retype(Find<QLineEdit>(&dialog, "Level"), "-5");
        User::Press(&dialog, Qt::Key_Escape);
    }
    EXPECT_EQ(settings::SilenceLevel.Read(settings), 450);

    SilenceSplitDialog dialog(settings, nullptr);
    dialog.show();
    Retype(Find<QLineEdit>(&dialog, "Level"), "-5");
    Retype(Find<QLineEdit>(&dialog, "Length"), "20");
    Find<QCheckBox>(&dialog, "Exclude")->setChecked(true);
    User::Click(&dialog, "Ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings::SilenceLevel.Read(settings), 100);
    EXPECT_EQ(settings::SilenceLength.Read(settings), 100);
    EXPECT_EQ(settings::ExcludeSilence.Read(settings), 1);
}

// Each refusal names its field and keeps the dialog open; typing a time chooses the fixed
// length; the track scope needs a track; the automatic tick is stored at once.
TEST_F(SplitDialogsTest, SpecialSplitValidatesAndStores) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    SpecialSplitDialog group({"默认分割组", kGroupScopeLengthMs, std::nullopt}, settings, messages,
                             nullptr);
    group.show();
    EXPECT_FALSE(Find<QRadioButton>(&group, "SelectedTrack")->isEnabled());
    EXPECT_EQ(Find<QLabel>(&group, "Range")->text(), "[默认分割组]");
    Retype(Find<QSpinBox>(&group, "Count"), "0");
    User::Click(&group, "Ok");
    Retype(Find<QLineEdit>(&group, "Time"), "0000500000");  // 999 parts of 5 min: under 100 h
    EXPECT_TRUE(Find<QRadioButton>(&group, "ByTime")->isChecked());
    User::Click(&group, "Ok");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].second, MessageText(Msg::InvalidPartCount, kMaxSpecialParts));
    EXPECT_EQ(messages.shown[1].second,
              MessageText(Msg::TooManyParts, "5:00.000", kMaxSpecialParts));
    EXPECT_TRUE(group.isVisible());
    EXPECT_FALSE(settings.Contains(settings::kSettings, "Add Special Type"));
    Find<QCheckBox>(&group, "Automatic")->click();
    EXPECT_EQ(settings::AutoAddSpecial.Read(settings), 1);
    User::Press(&group, Qt::Key_Escape);

    SpecialSplitDialog track({"", 600'000, TrackTimes{60'000, 90'000}}, settings, messages,
                             nullptr);
    track.show();
    Find<QRadioButton>(&track, "SelectedTrack")->setChecked(true);
    EXPECT_FALSE(Find<QCheckBox>(&track, "Automatic")->isEnabled());
    EXPECT_EQ(Find<QLabel>(&track, "Range")->text(), "[1:00.000-1:30.000]");
    Retype(Find<QLineEdit>(&track, "Time"), "0000010000");
    User::Click(&track, "Ok");
    EXPECT_EQ(track.result(), QDialog::Accepted);
    SpecialSplitRequest request = track.Request();
    EXPECT_EQ(request.type, SpecialSplitType::FixedTime);
    EXPECT_EQ(request.stepMs, 10'000u);
    EXPECT_EQ(request.scopeLengthMs, 30'000u);
    EXPECT_EQ(settings::AddSpecialByTime.Read(settings), 10'000);
    EXPECT_EQ(settings::AddSpecialTypeInDialog.Read(settings), 1);
}

// Typing sections chooses that scope; OK stores the overlaps, and "Auto Overlap" only with the
// whole scope; a non-time is refused.
TEST_F(SplitDialogsTest, OverlapsChooseTheirScopeAndStore) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    settings::AutoOverlap.Write(settings, 1);
    TrackOverlapDialog dialog(false, settings, messages, nullptr);
    dialog.show();
    EXPECT_FALSE(Find<QRadioButton>(&dialog, "SelectedTrack")->isEnabled());
    QTest::keyClicks(Find<QLineEdit>(&dialog, "SectionList"), "1,3,6-8");
    EXPECT_TRUE(Find<QRadioButton>(&dialog, "Sections")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "Automatic")->isEnabled());
    Retype(Find<QLineEdit>(&dialog, "Forward"), "0009900000");
    User::Click(&dialog, "Ok");
    EXPECT_EQ(messages.shown.size(), 1u);
    Retype(Find<QLineEdit>(&dialog, "Forward"), "0000002500");
    Find<QCheckBox>(&dialog, "Automatic")->setChecked(false);
    User::Click(&dialog, "Ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Scope(), OverlapScope::Sections);
    EXPECT_EQ(dialog.Sections(), "1,3,6-8");
    EXPECT_EQ(dialog.Values(), (Overlaps{0, 2'500}));
    EXPECT_EQ(settings::ForwardOverlap.Read(settings), 2'500);
    EXPECT_EQ(settings::AutoOverlap.Read(settings), 1);
}

// Texts are cut to 1000 characters; the numbering options are stored on OK only; a file
// without readable tags is reported and changes no field.
TEST_F(SplitDialogsTest, TagEditorCutsLongTextsAndStoresOptionsOnOk) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    TagTemplates tags;
    tags.title = "[音轨 %S]";
    tags.genre = "Chiptune";
    {
        TagEditorDialog dialog(tags, settings, messages, nullptr);
        dialog.show();
        Find<QCheckBox>(&dialog, "AutoSequence")->setChecked(false);
        User::Press(&dialog, Qt::Key_Escape);
    }
    EXPECT_FALSE(settings.Contains(settings::kSettings, "Splitter ID3 Auto Sequence"));

    TagEditorDialog dialog(tags, settings, messages, nullptr);
    dialog.show();
    EXPECT_FALSE(dialog.LoadFromFile(QString::fromStdString((dir / "none.mp3").string())));
    EXPECT_EQ(messages.shown.size(), 1u);
    Find<QLineEdit>(&dialog, "Comment")->setText(QString(1500, 'x'));
    Find<QCheckBox>(&dialog, "AutoTrack")->setChecked(false);
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "AutoTrackIfEmpty")->isEnabled());
    User::Click(&dialog, "Ok");
    TagTemplates result = dialog.Tags();
    EXPECT_EQ(result.title, tags.title);
    EXPECT_EQ(result.genre, "Chiptune");
    EXPECT_EQ(result.comment.size(), 1000u);
    EXPECT_EQ(settings::SplitId3AutoTrack.Read(settings), 0);
    EXPECT_EQ(settings::SplitId3AutoSequence.Read(settings), 1);
}

// The folder defaults to the page's output folder and is off beside the audio files; OK stores
// both values; the group's folder is created, or the chosen one used when it cannot be.
TEST_F(SplitDialogsTest, GroupSheetsFolderIsStoredAndCreated) {
    MemorySettingsStore settings;
    SaveGroupsDialog dialog(settings, "/out", nullptr);
    dialog.show();
    EXPECT_EQ(dialog.Folder(), "/out");
    EXPECT_FALSE(Find<QLineEdit>(&dialog, "Folder")->isEnabled());
    Find<QRadioButton>(&dialog, "IntoFolder")->setChecked(true);
    Retype(Find<QLineEdit>(&dialog, "Folder"), QString::fromStdString(dir.Path().string()));
    User::Click(&dialog, "Ok");
    EXPECT_EQ(settings::SaveCueOption.Read(settings), 1);
    EXPECT_EQ(settings::SaveCueTargetFolder.Read(settings), dir.Path().string());

    EXPECT_EQ(GroupCueFolder(0, dir.Path().string(), "组"), "");
    std::string made = GroupCueFolder(1, dir.Path().string(), "组");
    EXPECT_EQ(made, (dir / "组").string());
    EXPECT_TRUE(std::filesystem::is_directory(made));
    std::ofstream(dir / "file") << "x";
    EXPECT_EQ(GroupCueFolder(1, (dir / "file").string(), "组"), (dir / "file").string());
}

// Cancel of a silence scan asks first and stops only on OK, once; closing the loading box
// cancels too, and Finish closes it without cancelling.
TEST_F(SplitDialogsTest, ProgressCancelAsksWhereItMust) {
    SilenceScanProgress scan("live.mp3", nullptr);
    QSignalSpy cancelled(&scan, &ProgressCancelDialog::Cancelled);
    // Without an owner the box would be the modal window the scripted user answers first.
    scan.setWindowModality(Qt::NonModal);
    scan.show();
    scan.SetFound(3);
    ScriptedUser user;
    user.Then<QuestionBox>([](QuestionBox* box) { User::Click(box, "Cancel"); })
        .Then<QuestionBox>([](QuestionBox* box) { User::Click(box, "Ok"); });
    User::Click(&scan, "Cancel");
    EXPECT_FALSE(scan.CancelRequested());
    User::Click(&scan, "Cancel");
    EXPECT_TRUE(scan.CancelRequested());
    User::Press(&scan, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_TRUE(scan.isVisible());

    LoadingFramesDialog loading("live.mp3", nullptr);
    loading.show();
    loading.close();
    EXPECT_TRUE(loading.CancelRequested());
    LoadingFramesDialog finished("live.mp3", nullptr);
    finished.show();
    finished.Finish();
    EXPECT_FALSE(finished.isVisible());
    EXPECT_FALSE(finished.CancelRequested());
}

// Each dialog in both languages: a picture in the build folder, a name for every control a user
// can reach, and a key of its own for every button and tick but the default one.
TEST_F(SplitDialogsTest, EveryDialogIsNamedReachableAndPictured) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    TagTemplates tags{"[音轨 %S]", "乐团", "音乐会", "Live", "2024", "%S", "现场录音"};
    const NamedDialog dialogs[] = {
        {"group_name", [] { return new GroupNameDialog("分割组 02", nullptr); }},
        {"track_times",
         [&] {
             return new TrackTimesDialog(3, 12, {62'500, 3'723'004}, messages, nullptr);
         }},
        {"move_to_group",
         [] {
             return new MoveToGroupDialog("音乐会 live.mp3", {"默认分割组", "分割组 02"}, 0,
                                          nullptr);
         }},
        {"naming_rule_help",
         [] { return new NamingRuleHelp(NamingRuleHelp::Topic::FileNames, nullptr); }},
        {"tag_fields_help",
         [] { return new NamingRuleHelp(NamingRuleHelp::Topic::TagFields, nullptr); }},
        {"tag_editor", [&] { return new TagEditorDialog(tags, settings, messages, nullptr); }},
        {"loading_frames", [] { return new LoadingFramesDialog("音乐会 live.mp3", nullptr); }},
        {"save_groups", [&] { return new SaveGroupsDialog(settings, "/home/听众/输出", nullptr); }},
        {"silence_split", [&] { return new SilenceSplitDialog(settings, nullptr); }},
        {"silence_scan", [] { return new SilenceScanProgress("音乐会 live.mp3", nullptr); }},
        {"special_split",
         [&] {
             return new SpecialSplitDialog({"", 3'723'004, TrackTimes{62'500, 120'000}}, settings,
                                           messages, nullptr);
         }},
        {"track_overlap",
         [&] { return new TrackOverlapDialog(true, settings, messages, nullptr); }},
        {"time_step", [] { return new TimeStepDialog(100, 1000, nullptr); }},
    };
    CheckAndPictureDialogs(dialogs);
}

}  // namespace
}  // namespace partita::gui::test
