#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/setting_values.h"
#include "join/merge_settings.h"
#include "join/standard_merge_engines.h"
#include "job_runner.h"
#include "joiner_page.h"
#include "merge_list_view.h"
#include "options_dialog.h"
#include "owned_dialog.h"
#include "tags/id3_versions.h"
#include "ui_text.h"
#include "user_messages.h"

// The joiner page's output (folder, mode, tag), its two row dialogs and the merge job.

namespace partita::gui {

void JoinerPage::ChooseOutputFolder() {
    QString chosen =
        PickFolderWithDialog(this, MessageText(Msg::ChooseMergeOutputFolder), outputFolder_->text());
    if (chosen.isEmpty())
        return;
    outputFolder_->setText(chosen);
    StoreOutputFolder();
}

void JoinerPage::StoreOutputFolder() {
    settings::MergeDestinationFolder.Write(settings_, outputFolder_->text().trimmed().toStdString());
}

void JoinerPage::SetMergeMode(MergeMode mode) {
    mergeMode_ = mode;
    settings::MergeMode.Write(settings_, static_cast<int>(mode));
    UpdateSummary();
}

void JoinerPage::EditMergeMode() {
    UpdateSummary();
}

void JoinerPage::EditTags() {
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

void JoinerPage::InsertSilence() {}

void JoinerPage::PartialMerge() {}

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
    progress_->setValue(range == 0 ? 0 : static_cast<int>(std::min(position, range) * 1000 / range));
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
