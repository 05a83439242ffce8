#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <functional>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "core/join/fake_inspector.h"
#include "gui_test_support.h"
#include "insert_silence_dialog.h"
#include "join/merge_settings.h"
#include "join_dialog_text.h"
#include "merge_file_dialogs.h"
#include "merge_mode_dialog.h"
#include "output_tag_dialog.h"
#include "partial_merge_dialog.h"
#include "scripted_user.h"
#include "tags/id3v1.h"

namespace partita::gui::test {
namespace {

using JoinDialogsTest = partita::test::TempDirTest;
using EndMode = PartialMergeSettings::EndMode;
namespace fs = std::filesystem;

// A list of files named "<n>.mp3" of the given lengths in seconds.
MergeList ListOf(std::initializer_list<int> seconds) {
    partita::test::FakeInspector inspector;
    MergeList list;
    int n = 0;
    for (int length : seconds) {
        std::string name = std::to_string(n++) + ".mp3";
        inspector.Add(name, static_cast<std::uint64_t>(length) * 1000);
        list.AddFile("/music/" + name, list.Size(), inspector, {});
    }
    return list;
}

// Clicks a tick or a choice on its box, where a user clicks it (the middle of a wide row may be
// empty space).
void Tick(QWidget* parent, const char* name) {
    QAbstractButton* button = ScriptedUser::Button(parent, name);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void Retype(QWidget* parent, const char* name, const QString& text) {
    auto* edit = parent->findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The seconds start from the first selected row's silence, else from the stored length; Apply
// hands back the typed seconds without storing them, Save stores and stays open while rows can
// take the silence, and closes when none can.
TEST_F(JoinDialogsTest, SilenceDialogAppliesOrStores) {
    MergeList list = ListOf({60, 60});
    list.SetSilence(1, 7);
    const std::size_t second[] = {1, 0}, first[] = {0};
    EXPECT_EQ(SilenceDialogStartSeconds(list, second, 3), 7);
    EXPECT_EQ(SilenceDialogStartSeconds(list, first, 3), 3);
    EXPECT_EQ(SilenceDialogStartSeconds(list, {}, 3), 3);

    MemorySettingsStore settings;
    {
        InsertSilenceDialog dialog(5, false, true, settings, nullptr);
        dialog.show();
        auto* seconds = dialog.findChild<QSpinBox*>("Seconds");
        seconds->selectAll();
        QTest::keyClicks(seconds, "12");
        QTest::keyClick(seconds, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Target(), MergeRowsTarget::Selected);
        EXPECT_EQ(dialog.Seconds(), 12);
        EXPECT_TRUE(settings.Values().empty());
    }
    {
        InsertSilenceDialog dialog(5, false, true, settings, nullptr);
        dialog.show();
        ScriptedUser::Click(&dialog, "Save");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(settings::MergeSilenceLength.Read(settings), 5);
        ScriptedUser::Click(&dialog, "ApplyAll");
        EXPECT_EQ(dialog.Target(), MergeRowsTarget::All);
    }
    {
        InsertSilenceDialog dialog(0, false, false, settings, nullptr);
        dialog.show();
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "Apply")->isEnabled());
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "ApplyAll")->isEnabled());
        Tick(&dialog, "AutoApply");
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Target(), MergeRowsTarget::None);
        EXPECT_EQ(settings::MergeSilenceLength.Read(settings), 0);
        EXPECT_EQ(settings::AutoApplySilence.Read(settings), 1);
    }
}

// One selected file shows its name and length and bounds the times by it; an end position
// before the start is raised to it; all seven settings are stored.
TEST_F(JoinDialogsTest, PartialMergeDialogReadsBoundsAndStoresItsTimes) {
    MergeList list = ListOf({200, 90});
    MemorySettingsStore settings;
    const std::size_t selected[] = {0};
    PartialMergeDialog dialog(list, selected, {}, false, settings, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("FileName")->text(), "0.mp3");
    EXPECT_EQ(dialog.findChild<QLabel*>("Length")->text(), "0:03:20");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("Start")->isEnabled());

    Tick(&dialog, "Enable");
    Retype(&dialog, "Start", "0:01:00");
    Tick(&dialog, "LengthFromStartMode");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("EndPosition")->isEnabled());
    Retype(&dialog, "LengthFromStart", "9:00:00");
    Tick(&dialog, "EndPositionMode");
    Retype(&dialog, "EndPosition", "0:00:30");
    Tick(&dialog, "AutoApply");
    ScriptedUser::Click(&dialog, "Ok");

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Target(), MergeRowsTarget::Selected);
    PartialMergeSettings chosen = dialog.Settings();
    EXPECT_TRUE(chosen.enabled);
    EXPECT_EQ(chosen.mode, EndMode::Position);
    EXPECT_EQ(chosen.startMs, 60'000u);
    EXPECT_EQ(chosen.endPositionMs, 60'000u);
    EXPECT_EQ(chosen.lengthFromStartMs, 200'000u);
    MergeListDefaults stored = ReadMergeListDefaults(settings);
    EXPECT_TRUE(stored.applyPartial);
    EXPECT_TRUE(stored.partial.enabled);
    EXPECT_EQ(stored.partial.startMs, 60'000u);
    EXPECT_EQ(stored.partial.endPositionMs, 60'000u);
    EXPECT_EQ(stored.partial.lengthBeforeEndMs, 60'000u);
    EXPECT_EQ(stored.partial.lengthFromStartMs, 200'000u);
}

// Without a selection both texts say not available and OK only stores; a time that does not
// read keeps both buttons off; a cancel stores nothing.
TEST_F(JoinDialogsTest, PartialMergeDialogWithoutSelectionOnlyStores) {
    MergeList list = ListOf({200});
    MemorySettingsStore settings;
    PartialMergeSettings partial;
    partial.enabled = true;
    partial.mode = EndMode::LengthBeforeEnd;
    {
        PartialMergeDialog dialog(list, {}, partial, false, settings, nullptr);
        dialog.show();
        EXPECT_EQ(dialog.findChild<QLabel*>("FileName")->text(),
                  Text(JoinDialogText::NotAvailable));
        EXPECT_EQ(dialog.findChild<QLabel*>("Length")->text(), Text(JoinDialogText::NotAvailable));
        Retype(&dialog, "LengthBeforeEnd", "1:75:00");
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "Ok")->isEnabled());
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "ApplyAll")->isEnabled());
        EXPECT_TRUE(dialog.findChild<QLabel*>("InvalidTime")->isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(settings.Values().empty());
    }
    {
        PartialMergeDialog dialog(list, {}, partial, false, settings, nullptr);
        dialog.show();
        Retype(&dialog, "LengthBeforeEnd", "700:00:00");
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.Target(), MergeRowsTarget::None);
        // More than the settings hold comes back as the most they hold, never wrapped.
        EXPECT_EQ(ReadMergeListDefaults(settings).partial.lengthBeforeEndMs,
                  static_cast<std::uint64_t>(INT_MAX));
        EXPECT_EQ(settings::PartialMergeMode.Read(settings), 1);
    }
}

// The dialog opens on the values given, keeps a rate its list does not offer, stores the three
// values on OK and nothing on Escape.
TEST_F(JoinDialogsTest, MergeModeDialogStoresOnlyOnOk) {
    MemorySettingsStore settings;
    {
        MergeModeDialog dialog(MergeMode::Direct, 22000, 2, settings, nullptr);
        dialog.show();
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("Direct")->isChecked());
        Tick(&dialog, "Convert");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(settings.Values().empty());
    }
    {
        MergeModeDialog dialog(MergeMode::Direct, 22000, 2, settings, nullptr);
        dialog.show();
        Tick(&dialog, "Convert");
        ScriptedUser::Click(&dialog, "Ok");
        EXPECT_EQ(settings::MergeMode.Read(settings), 2);
        EXPECT_EQ(settings::OutputSamplerate.Read(settings), 22000);
        EXPECT_EQ(settings::OutputChannel.Read(settings), 2);
    }
    {
        MergeModeDialog dialog(MergeMode::Convert, 44100, 0, settings, nullptr);
        dialog.show();
        auto* channels = dialog.findChild<QComboBox*>("Channels");
        channels->setFocus();
        QTest::keyClick(channels, Qt::Key_Down);
        dialog.findChild<QComboBox*>("SampleRate")->setCurrentIndex(0);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.Mode(), MergeMode::Convert);
        EXPECT_EQ(settings::OutputSamplerate.Read(settings), 0);
        EXPECT_EQ(settings::OutputChannel.Read(settings), 1);
    }
}

// The texts are off while no tag is written; the year takes four characters; OK hands back the
// record and the chapter tick and keeps the texts; the keep tick is stored at its click even
// when the dialog is then cancelled.
TEST_F(JoinDialogsTest, OutputTagDialogRoundTripsTheTag) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    TagInfo tags;
    tags.title = "合并";
    tags.genre = "Noise Pop";  // not in the genre list, kept as typed
    {
        OutputTagDialog dialog(tags, false, settings, messages, nullptr);
        dialog.show();
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("Title")->isEnabled());
        EXPECT_FALSE(ScriptedUser::Button(&dialog, "Clear")->isEnabled());
        Tick(&dialog, "WriteId3v2");
        EXPECT_TRUE(dialog.findChild<QLineEdit*>("Title")->isEnabled());
        Retype(&dialog, "Year", "20245");
        Tick(&dialog, "ChapterPerInput");
        ScriptedUser::Click(&dialog, "Ok");
        TagInfo chosen = dialog.Tags();
        EXPECT_FALSE(chosen.writeId3v1);
        EXPECT_TRUE(chosen.writeId3v2);
        EXPECT_EQ(chosen.title, "合并");
        EXPECT_EQ(chosen.year, "2024");
        EXPECT_EQ(chosen.genre, "Noise Pop");
        EXPECT_TRUE(dialog.ChapterPerInput());
        EXPECT_EQ(settings::JoinTagTitle.Read(settings), "合并");
        EXPECT_EQ(settings::JoinTagGenre.Read(settings), "Noise Pop");
    }
    MemorySettingsStore fresh;
    {
        tags.writeId3v1 = true;
        OutputTagDialog dialog(tags, true, fresh, messages, nullptr);
        dialog.show();
        Tick(&dialog, "KeepTag");
        ScriptedUser::Click(&dialog, "Clear");
        EXPECT_EQ(dialog.Tags().title, "");
        EXPECT_EQ(dialog.Tags().genre, "");
        ScriptedUser::Click(&dialog, "Cancel");
        EXPECT_EQ(settings::JoinSaveId3Tag.Read(fresh), 1);
        EXPECT_FALSE(fresh.Contains(settings::kJoinerId3, "Title"));
    }
}

// Loading takes the texts of a tagged MP3 and remembers its folder; a file without audio shows
// the load failure and leaves the texts.
TEST_F(JoinDialogsTest, OutputTagDialogLoadsTextsFromAFile) {
    auto mp3 = partita::test::MakeMp3(dir.Path(), "tagged.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    TagInfo written;
    written.title = "Nocturne";
    written.artist = "Quartet";
    written.track = "3";
    written.genre = "Jazz";
    ASSERT_TRUE(WriteId3v1(mp3, written, "ISO-8859-1"));
    partita::test::WriteFileText(dir.Path() / "notes.txt", "not audio");

    MemorySettingsStore settings;
    RecordedMessages messages;
    TagInfo tags;
    tags.writeId3v1 = true;
    tags.title = "before";
    OutputTagDialog dialog(tags, false, settings, messages, nullptr);
    dialog.show();
    auto load = [&](const fs::path& file) {
        ScriptedUser user;
        user.Then<QFileDialog>([&](QFileDialog* files) {
            ScriptedUser::AnswerFileDialog(files, QString::fromStdString(file.string()));
        });
        ScriptedUser::Click(&dialog, "Load");
        EXPECT_EQ(user.Remaining(), 0u);
    };
    load(dir.Path() / "notes.txt");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].second.contains("notes.txt"));
    EXPECT_EQ(dialog.Tags().title, "before");

    load(mp3);
    TagInfo loaded = dialog.Tags();
    EXPECT_EQ(loaded.title, "Nocturne");
    EXPECT_EQ(loaded.artist, "Quartet");
    EXPECT_EQ(loaded.track, "3");
    EXPECT_EQ(loaded.genre, "Jazz");
    EXPECT_EQ(fs::path(settings::MergeId3FileLastFolder.Read(settings)), dir.Path());
}

// The list's save dialog takes a typed name and adds ".m3u"; the add dialog returns the typed
// file; a cancel returns nothing.
TEST_F(JoinDialogsTest, MergeFileDialogsTakeTypedPaths) {
    const QString folder = QString::fromStdString(dir.Path().string());
    partita::test::WriteFileText(dir.Path() / "a.mp3", "x");
    ScriptedUser user;
    user.Then<QFileDialog>([](QFileDialog* d) { ScriptedUser::AnswerFileDialog(d, "list"); })
        .Then<QFileDialog>([](QFileDialog* d) { ScriptedUser::AnswerFileDialog(d, "a.mp3"); })
        .Then<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(PickMergeListToSave(nullptr, folder), folder + "/list.m3u");
    EXPECT_EQ(PickMergeSourceFiles(nullptr, folder), QStringList{folder + "/a.mp3"});
    EXPECT_EQ(PickMergeListToOpen(nullptr, folder), QString());
    EXPECT_EQ(user.Remaining(), 0u);
}

// Each dialog in both languages: a picture in the build folder and a name for every control a
// user can reach.
TEST_F(JoinDialogsTest, EveryJoinerDialogIsNamedAndPictured) {
    MemorySettingsStore settings;
    RecordedMessages messages;
    MergeList list = ListOf({200, 95});
    const std::size_t one[] = {0}, both[] = {0, 1};
    TagInfo tags{true, true,       "夜曲 Nocturne", "四重奏", "现场", "2024", "Partita Studio",
                 "3",  "Classical"};
    const NamedDialog dialogs[] = {
        {"insert_silence",
         [&] { return new InsertSilenceDialog(2, true, true, settings, nullptr); }},
        {"partial_merge",
         [&] { return new PartialMergeDialog(list, one, {}, false, settings, nullptr); }},
        {"partial_merge_several",
         [&] { return new PartialMergeDialog(list, both, {}, true, settings, nullptr); }},
        {"merge_mode",
         [&] { return new MergeModeDialog(MergeMode::Convert, 44100, 0, settings, nullptr); }},
        {"output_tag",
         [&] { return new OutputTagDialog(tags, true, settings, messages, nullptr); }},
    };
    CheckAndPictureDialogs(dialogs, false);
}

}  // namespace
}  // namespace partita::gui::test
