#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>

#include "app/setting_values.h"
#include "app/string_table.h"
#include "gui_test_support.h"
#include "options_dialog.h"
#include "settings_about_page.h"
#include "settings_summary.h"

namespace partita::gui::test {
namespace {

// The dialog's switches in their order, by the names of the values they edit.
const char* const kSwitches[] = {
    "Joiner Confirm Overwrite",
    "Joiner Show Success",
    "Joiner Auto Open Folder",
    "Joiner Play Result",
    "Start New Merge",
    "Splitter Output Folder Confirmation",
    "Splitter Confirm Overwrite",
    "Splitter Count Generated Track Number",
    "Splitter Show Success",
    "Splitter Auto Open Folder",
    "Export CUE",
    "Start New Split",
    "Write VBR Header",
    "Sample Accurate",
    "Split At Chapters",
};

class OptionsDialogTest : public IniFileTest {
  protected:
    QSettings Raw() { return {QString::fromStdString(IniPath()), QSettings::IniFormat}; }

    std::vector<std::pair<QString, QString>> pickerCalls;
    QString pickerAnswer;
    FolderPicker Picker() {
        return [this](QWidget*, const QString& title, const QString& start) {
            pickerCalls.emplace_back(title, start);
            return pickerAnswer;
        };
    }
};

template <typename T>
T* Child(QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name.toStdString();
    return child;
}

// Opening on an empty file shows the table's defaults and stores them; OK stores every
// control; a new dialog on the reopened file shows what was stored.
TEST_F(OptionsDialogTest, RoundTripsThroughASettingsFile) {
    {
        auto settings = OpenSettings();
        OptionsDialog dialog(settings->Store(), nullptr, Picker());
        EXPECT_EQ(dialog.windowTitle(), MessageText(Msg::OptionsDialogTitle));
        EXPECT_TRUE(Child<QRadioButton>(dialog, "Merge Source Folder Mode/1")->isChecked());
        EXPECT_TRUE(Child<QRadioButton>(dialog, "Split Source Folder Mode/1")->isChecked());
        EXPECT_FALSE(Child<QLineEdit>(dialog, "Merging Source Folder")->isEnabled());
        const std::vector<bool> defaults{true, true,  false, false, false, true,  true, false,
                                         true, false, false, false, true,  false, false};
        for (std::size_t i = 0; i < std::size(kSwitches); ++i)
            EXPECT_EQ(Child<QCheckBox>(dialog, kSwitches[i])->isChecked(), defaults[i])
                << kSwitches[i];
        // The checkboxes come in the dialog's order.
        QList<QCheckBox*> boxes = dialog.findChildren<QCheckBox*>();
        ASSERT_EQ(boxes.size(), static_cast<qsizetype>(std::size(kSwitches)));
        for (std::size_t i = 0; i < std::size(kSwitches); ++i)
            EXPECT_EQ(boxes[static_cast<qsizetype>(i)]->objectName(), kSwitches[i]);

        settings->Backing().Sync();
        EXPECT_EQ(Raw().value("Settings/Joiner Confirm Overwrite").toInt(), 1);
        EXPECT_EQ(Raw().value("MP3 Splitter/Write VBR Header").toInt(), 1);
        EXPECT_EQ(Raw().value("Settings/Export CUE").toInt(), 0);
        EXPECT_EQ(Raw().value("Settings/Merge Source Folder Mode").toInt(), 1);

        // The joiner's folder through its picker, the splitter's typed in.
        pickerAnswer = "/data/to join";
        Child<QRadioButton>(dialog, "Merge Source Folder Mode/0")->setChecked(true);
        Child<QPushButton>(dialog, "Merging Source Folder/Browse")->click();
        Child<QRadioButton>(dialog, "Split Source Folder Mode/0")->setChecked(true);
        Child<QLineEdit>(dialog, "Splitting Source Folder")->setText("  /data/to split ");
        pickerAnswer.clear();
        Child<QPushButton>(dialog, "Splitting Source Folder/Browse")->click();  // cancelled
        for (const char* name : kSwitches) {
            auto* box = Child<QCheckBox>(dialog, name);
            box->setChecked(!box->isChecked());
        }
        dialog.accept();
        settings->Backing().Sync();
    }
    ASSERT_EQ(pickerCalls.size(), 2u);
    EXPECT_EQ(pickerCalls[0].first, MessageText(Msg::ChooseMergeSourceFolder));
    EXPECT_EQ(pickerCalls[1].first, MessageText(Msg::ChooseSplitSourceFolder));
    EXPECT_EQ(pickerCalls[1].second, "  /data/to split ");

    EXPECT_EQ(Raw().value("Settings/Merge Source Folder Mode").toInt(), 0);
    EXPECT_EQ(Raw().value("Settings/Merging Source Folder").toString(), "/data/to join");
    EXPECT_EQ(Raw().value("Settings/Split Source Folder Mode").toInt(), 0);
    EXPECT_EQ(Raw().value("Settings/Splitting Source Folder").toString(), "/data/to split");
    EXPECT_EQ(Raw().value("Settings/Joiner Confirm Overwrite").toInt(), 0);
    EXPECT_EQ(Raw().value("Settings/Export CUE").toInt(), 1);
    EXPECT_EQ(Raw().value("MP3 Splitter/Write VBR Header").toInt(), 0);
    EXPECT_EQ(Raw().value("MP3 Splitter/Split At Chapters").toInt(), 1);

    auto settings = OpenSettings();
    OptionsDialog dialog(settings->Store(), nullptr, Picker());
    EXPECT_TRUE(Child<QRadioButton>(dialog, "Merge Source Folder Mode/0")->isChecked());
    EXPECT_TRUE(Child<QLineEdit>(dialog, "Merging Source Folder")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>(dialog, "Splitting Source Folder")->text(), "/data/to split");
    EXPECT_FALSE(Child<QCheckBox>(dialog, "Joiner Confirm Overwrite")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "Splitter Count Generated Track Number")->isChecked());
}

// Cancel stores nothing the user changed; a stored -1 counts as "not stored" and gets its
// default back, while the other values stay as they are.
TEST_F(OptionsDialogTest, CancelKeepsTheStoreAndMinusOneMeansNotStored) {
    auto settings = OpenSettings();
    settings::SplitShowSuccess.Write(settings->Store(), -1);
    settings::SplitAutoOpenFolder.Write(settings->Store(), 1);
    {
        OptionsDialog dialog(settings->Store(), nullptr, Picker());
        EXPECT_TRUE(Child<QCheckBox>(dialog, "Splitter Show Success")->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(dialog, "Splitter Auto Open Folder")->isChecked());
        Child<QCheckBox>(dialog, "Splitter Auto Open Folder")->setChecked(false);
        Child<QRadioButton>(dialog, "Merge Source Folder Mode/0")->setChecked(true);
        dialog.reject();
    }
    EXPECT_EQ(settings::SplitShowSuccess.Read(settings->Store()), 1);
    EXPECT_EQ(settings::SplitAutoOpenFolder.Read(settings->Store()), 1);
    EXPECT_EQ(settings::MergeSourceFolderMode.Read(settings->Store()), 1);
}

// --set overrides show in the dialog; OK changes the override for this run, never the file.
TEST_F(OptionsDialogTest, OverridesLastForTheRunOnly) {
    auto settings = OpenSettings({"Settings/Export CUE=1"});
    {
        OptionsDialog dialog(settings->Store(), nullptr, Picker());
        EXPECT_TRUE(Child<QCheckBox>(dialog, "Export CUE")->isChecked());
        Child<QCheckBox>(dialog, "Export CUE")->setChecked(false);
        dialog.accept();
    }
    EXPECT_EQ(settings::ExportCue.Read(settings->Store()), 0);
    settings->Backing().Sync();
    EXPECT_FALSE(Raw().value("Settings/Export CUE").isValid());
}

// The summaries answer "是"/"否", name the last opened folder for folder mode 1 and the fixed
// folder for 0, and say "选定"/"全部" for the track-number counting.
TEST_F(OptionsDialogTest, SummariesShowTheStoredOptions) {
    auto settings = OpenSettings();
    SettingsStore& store = settings->Store();
    QString joiner = JoinerSummary(store);
    EXPECT_TRUE(joiner.startsWith("[源文件夹] - 上次打开的文件夹\n[确认文件覆盖] - 是\n"))
        << joiner.toStdString();
    EXPECT_TRUE(joiner.endsWith("[开始新的合并] - 否")) << joiner.toStdString();
    EXPECT_FALSE(joiner.contains('\r'));
    QString splitter = SplitterSummary(store);
    EXPECT_TRUE(splitter.contains("[曲目号码计数范围] - 全部")) << splitter.toStdString();
    EXPECT_TRUE(splitter.endsWith("[写入 VBR 头] - 是"));

    settings::SplitSourceFolderMode.Write(store, 0);
    settings::SplitSourceFolder.Write(store, "/srv/录音");
    settings::SplitCountGeneratedTrackNumber.Write(store, 1);
    settings::WriteVbrHeader.Write(store, 0);
    splitter = SplitterSummary(store);
    EXPECT_TRUE(splitter.startsWith("[源文件夹] - /srv/录音\n"));
    EXPECT_TRUE(splitter.contains("[曲目号码计数范围] - 选定"));
    EXPECT_TRUE(splitter.endsWith("[写入 VBR 头] - 否"));

    SetCurrentLanguage(Language::English);
    EXPECT_TRUE(JoinerSummary(store).startsWith("[Source folder] - Last opened folder\n"));
    EXPECT_TRUE(SplitterSummary(store).contains("[Track numbers count] - Selected"));
}

// The pane's summaries follow the options dialog: after its OK they show the new values.
TEST_F(OptionsDialogTest, PaneRefreshesItsSummariesAfterTheDialog) {
    auto settings = OpenSettings();
    RecordedMessages messages;
    PageContext context{settings->Store(), messages};
    SettingsAboutPage page(context, "settings.ini", nullptr, Picker());
    EXPECT_TRUE(page.JoinerSummaryText().contains("[完成后播放合并的文件] - 否"));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QCheckBox*>(QStringLiteral("Joiner Play Result"))->setChecked(true);
        dialog->accept();
    });
    EXPECT_TRUE(page.OpenOptions());
    EXPECT_TRUE(page.JoinerSummaryText().contains("[完成后播放合并的文件] - 是"));
    EXPECT_EQ(settings::JoinPlayResult.Read(settings->Store()), 1);
}

}  // namespace
}  // namespace partita::gui::test
