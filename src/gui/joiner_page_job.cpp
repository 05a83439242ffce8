#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/setting_values.h"
#include "insert_silence_dialog.h"
#include "job_runner.h"
#include "join/merge_settings.h"
#include "join/standard_merge_engines.h"
#include "joiner_page.h"
#include "merge_list_view.h"
#include "merge_mode_dialog.h"
#include "options_dialog.h"
#include "output_tag_dialog.h"
#include "owned_dialog.h"
#include "partial_merge_dialog.h"
#include "tags/id3_versions.h"
#include "ui_text.h"
#include "user_messages.h"

// The joiner page's output (folder, mode, tag), its two row dialogs and the merge job.

namespace partita::gui {

void JoinerPage::ChooseOutputFolder() {
    QString chosen = PickFolderWithDialog(this, MessageText(Msg::ChooseMergeOutputFolder),
                                          outputFolder_->text());
    if (chosen.isEmpty())
        return;
    outputFolder_->setText(chosen);
    StoreOutputFolder();
}

void JoinerPage::StoreOutputFolder() {
    settings::MergeDestinationFolder.Write(settings_,
                                           outputFolder_->text().trimmed().toStdString());
}

void JoinerPage::SetMergeMode(MergeMode mode) {
    mergeMode_ = mode;
    settings::MergeMode.Write(settings_, static_cast<int>(mode));
    UpdateSummary();
}

void JoinerPage::EditMergeMode() {
    RunOwnedDialog(
        new MergeModeDialog(mergeMode_, sampleRate_, channels_, settings_, this),
        [this](MergeModeDialog& dialog, bool accepted) {
            if (accepted) {
                mergeMode_ = dialog.Mode();
                sampleRate_ = dialog.SampleRate();
                channels_ = dialog.Channels();
            }
            return accepted;
        },
        false);
    UpdateSummary();
}

// The tag dialog stores the texts; the page keeps the record and stores the switches.
void JoinerPage::EditTags() {
    RunOwnedDialog(
        new OutputTagDialog(tags_, settings::WriteChapters.Read(settings_) != 0, settings_,
                            messages_, this),
        [this](OutputTagDialog& dialog, bool accepted) {
            if (accepted) {
                tags_ = dialog.Tags();
                settings::WriteId3v1Tag.Write(settings_, tags_.writeId3v1 ? 1 : 0);
                settings::WriteId3v2Tag.Write(settings_, tags_.writeId3v2 ? 1 : 0);
                settings::WriteChapters.Write(settings_, dialog.ChapterPerInput() ? 1 : 0);
            }
            return accepted;
        },
        false);
    UpdateSummary();
}

// Takes the tag texts of the first selected file, and turns on the tags that file carries.
void JoinerPage::CopyTags() {
    std::vector<std::size_t> rows = SelectionOrTell();
    if (rows.empty())
        return;
    const MergeRow& row = list_.Row(rows.front());
    Id3Versions versions = ReadId3Versions(row.Path());
    tags_.writeId3v1 = tags_.writeId3v1 || versions.id3v1;
    tags_.writeId3v2 = tags_.writeId3v2 || versions.HasId3v2();
    settings::WriteId3v1Tag.Write(settings_, tags_.writeId3v1 ? 1 : 0);
    settings::WriteId3v2Tag.Write(settings_, tags_.writeId3v2 ? 1 : 0);
    tags_.title = row.tags.title;
    tags_.artist = row.tags.artist;
    tags_.album = row.tags.album;
    tags_.year = row.tags.year;
    tags_.comment = row.tags.comment;
    tags_.track = row.tags.track;
    tags_.genre = row.tags.genre;
    UpdateSummary();
}

void JoinerPage::ShowOptions() {
    RunOwnedDialog(
        new OptionsDialog(settings_, this), [](OptionsDialog&, bool accepted) { return accepted; },
        false);
}

// The rows a row dialog's answer goes to.
std::vector<std::size_t> JoinerPage::RowsOf(MergeRowsTarget target,
                                            const std::vector<std::size_t>& selected) const {
    if (target == MergeRowsTarget::Selected)
        return selected;
    std::vector<std::size_t> rows;
    if (target == MergeRowsTarget::All) {
        for (std::size_t row = 0; row < list_.Size(); ++row)
            rows.push_back(row);
    }
    return rows;
}

void JoinerPage::InsertSilence() {
    const std::vector<std::size_t> selected = view_->SelectedRows();
    int seconds =
        SilenceDialogStartSeconds(list_, selected, settings::MergeSilenceLength.Read(settings_));
    bool autoApply = settings::AutoApplySilence.Read(settings_) != 0;
    auto [target, chosen] = RunOwnedDialog(
        new InsertSilenceDialog(seconds, autoApply, !selected.empty(), settings_, this),
        [](InsertSilenceDialog& dialog, bool accepted) {
            return std::pair{accepted ? dialog.Target() : MergeRowsTarget::None, dialog.Seconds()};
        },
        std::pair{MergeRowsTarget::None, 0});
    for (std::size_t row : RowsOf(target, selected))
        list_.SetSilence(row, chosen);
}

// The dialog stores the seven settings; the stored settings then go to the rows, each by its own
// length.
void JoinerPage::PartialMerge() {
    const std::vector<std::size_t> selected = view_->SelectedRows();
    MergeListDefaults defaults = ReadMergeListDefaults(settings_);
    auto [target, partial] = RunOwnedDialog(
        new PartialMergeDialog(list_, selected, defaults.partial, defaults.applyPartial, settings_,
                               this),
        [](PartialMergeDialog& dialog, bool accepted) {
            return std::pair{accepted ? dialog.Target() : MergeRowsTarget::None, dialog.Settings()};
        },
        std::pair{MergeRowsTarget::None, PartialMergeSettings{}});
    for (std::size_t row : RowsOf(target, selected))
        list_.ApplyPartialSettings(row, partial);
}

// ---- The merge job ------------------------------------------------------------------------

void JoinerPage::StartOrStop() {
    if (IsBusy()) {
        runner_->RequestStop();
        return;
    }
    StoreOutputFolder();
    MergeJobOptions options = ReadMergeJobOptions(settings_);
    options.mode = mergeMode_;
    options.outputSampleRate = sampleRate_;
    options.outputChannels = channels_;
    options.tags = tags_;
    // The job reads its own copy: the page's list stays the view's.
    auto list = std::make_shared<MergeList>(list_);
    list->SetObserver(nullptr);
    auto outcome = std::make_shared<MergeJobOutcome>();
    outcome_ = outcome;
    runner_->Start([list, options, outcome](JobHost& host) {
        StandardMergeEngines engines(options.installFolder, options.legacyCodePage);
        MergeJob job(*list, options, host, engines);
        *outcome = job.Run();
    });
}

void JoinerPage::MergeStarted() {
    start_->setText(MessageText(Msg::StopMergeLabel));
    UpdateCommands();
}

void JoinerPage::MergeFinished() {
    start_->setText(MessageText(Msg::StartMergeLabel));
    progress_->setValue(0);
    UpdateCommands();
    view_->setFocus();
    if (!outcome_)
        return;
    MergeJobOutcome outcome = *outcome_;
    outcome_.reset();
    StoreMergeJobReplies(outcome, settings_);
    switch (outcome.end) {
        case MergeJobEnd::EmptyList:
            AddWithDialog();
            break;
        case MergeJobEnd::ChangeMode:
            EditMergeMode();
            break;
        case MergeJobEnd::Done:
            if (outcome.startNew) {
                list_.Clear();
                tags_.title.clear();
                tags_.artist.clear();
                tags_.album.clear();
                tags_.year.clear();
                tags_.comment.clear();
                tags_.track.clear();
                tags_.genre.clear();
                UpdateTotals();
                UpdateSummary();
                AddWithDialog();
            }
            break;
        default:
            break;
    }
}

void JoinerPage::ShowProgress(quint64 position, quint64 range) {
    progress_->setValue(range == 0 ? 0
                                   : static_cast<int>(std::min(position, range) * 1000 / range));
}

void JoinerPage::ShowStatus(const QString& text) {
    status_->setText(text);
    SetStatusText(text);
}

// The joiner pane. At its start it reads the step sizes of its time controls and the sort
// order of the merge list, which stores the ones the settings table writes back.
Page* CreateJoinerPage(const PageContext& context, QWidget* parent) {
    settings::TimeStepSize.Read(context.settings);
    settings::TimePageSize.Read(context.settings);
    settings::ReadJoinerSorting(context.settings);
    return new JoinerPage(context, parent);
}

}  // namespace partita::gui
