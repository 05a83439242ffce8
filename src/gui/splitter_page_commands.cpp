// The splitter page's list and position commands.
#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

#include "app/setting_values.h"
#include "cue/cue_list.h"
#include "job_runner.h"
#include "preview_panel.h"
#include "split/chapter_split.h"
#include "split/split_list_commands.h"
#include "split/split_mode_switch.h"
#include "split_list_model.h"
#include "split_tree_view.h"
#include "splitter_page.h"
#include "splitter_page_text.h"
#include "ui_text.h"
#include "window_job_host.h"

namespace partita::gui {

namespace {

QString AudioFileFilter() {
    using T = SplitterText;
    return QStringLiteral(
               "%1 (*.mp3 *.mp2 *.mp1 *.mpa *.wav);;%2 (*.mp3 *.mp2 *.mp1 *.mpa);;"
               "%3 (*.wav)")
        .arg(Text(T::AllAudioFilter), Text(T::MpegFilter), Text(T::WaveFilter));
}

}  // namespace

void SplitterPage::StartOrStop() {
    if (IsBusy()) {
        runner_->RequestStop();
        return;
    }
    StartSplit();
}

void SplitterPage::AddFiles() {
    if (IsBusy())
        return;
    StoreNamingRule();
    SettingsStore& settings = context_.settings;
    const bool lastFolder = settings::SplitSourceFolderMode.Read(settings) != 0;
    QString start = ToQString(lastFolder ? settings::SplitSourceLastFolder.Read(settings)
                                         : settings::SplitSourceFolder.Read(settings));
    QFileDialog dialog(this, MessageText(Msg::AddSplitFilesTitle), start, AudioFileFilter());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QStringLiteral("mp3"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    settings::SplitSourceLastFolder.Write(settings,
                                          dialog.directory().absolutePath().toStdString());
    LoadPaths(dialog.selectedFiles());
}

void SplitterPage::OpenCue() {
    if (IsBusy())
        return;
    QFileDialog dialog(this, MessageText(Msg::OpenCueTitle),
                       ToQString(settings::SplitSourceLastFolder.Read(context_.settings)),
                       QStringLiteral("%1 (*.cue)").arg(Text(SplitterText::CueFilter)));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    LoadPaths(dialog.selectedFiles());
}

void SplitterPage::ChooseOutputFolder() {
    if (IsBusy() || sameFolder_->isChecked())
        return;
    std::optional<std::string> folder = runner_->Host().ChooseFolder(
        Msg::ChooseSplitOutputFolder, folderBox_->text().toStdString());
    if (!folder)
        return;
    folderBox_->setText(ToQString(*folder));
    settings::SplitDestinationFolder.Write(context_.settings, *folder);
}

void SplitterPage::InsertPoint() {
    if (IsBusy())
        return;
    RowId row = CurrentRow();
    if (row == kNoRow && !list_.Groups().empty())
        row = list_.Groups().front();
    if (row == kNoRow)
        return;
    list_.InsertSplitPoint(row, preview_->Position());
    SelectListCurrent();
}

void SplitterPage::SetTrackStart() {
    RowId track = CurrentTrack();
    if (IsBusy() || track == kNoRow)
        return;
    MoveTrackStart(list_, runner_->Host(), track, preview_->Position());
    SelectListCurrent();
    preview_->TimeBox()->setFocus();
}

void SplitterPage::SetTrackEnd() {
    RowId track = CurrentTrack();
    if (IsBusy() || track == kNoRow)
        return;
    MoveTrackEnd(list_, runner_->Host(), track, preview_->Position());
    SelectListCurrent();
    preview_->TimeBox()->setFocus();
}

void SplitterPage::MoveTrackEdge(int trackIndex, bool start, quint64 ms) {
    RowId source = list_.SourceOf(CurrentRow());
    if (IsBusy() || source == kNoRow || trackIndex < 0 || trackIndex >= list_.TrackCount(source))
        return;
    RowId track = list_.Children(source)[trackIndex];
    if (start)
        MoveTrackStart(list_, runner_->Host(), track, ms);
    else
        MoveTrackEnd(list_, runner_->Host(), track, ms);
    SelectListCurrent();
}

void SplitterPage::GoToTrackStart() {
    if (RowId track = CurrentTrack(); track != kNoRow)
        preview_->SetPosition(list_.GetTrackTimes(track, false).start);
}

void SplitterPage::GoToTrackEnd() {
    if (RowId track = CurrentTrack(); track != kNoRow)
        preview_->SetPosition(list_.GetTrackTimes(track, false).end);
}

void SplitterPage::RemoveSelected() {
    if (IsBusy() || CurrentRow() == kNoRow)
        return;
    std::string source =
        list_.SourceOf(CurrentRow()) != kNoRow && list_.Kind(CurrentRow()) == SplitNodeKind::Source
            ? list_.SourcePath(CurrentRow())
            : std::string();
    if (RemoveCurrentRow(list_, runner_->Host())) {
        if (!source.empty())
            preview_->ForgetSource(source);
        SelectListCurrent();
    }
}

void SplitterPage::ClearTracks() {
    if (IsBusy() || CurrentRow() == kNoRow)
        return;
    list_.RemoveTracks(CurrentRow());
}

void SplitterPage::ClearAll() {
    if (IsBusy() || list_.Empty())
        return;
    if (ClearSplitList(list_, runner_->Host())) {
        preview_->StopPlayback();
        preview_->ShowNoSource();
        shownSource_.clear();
    }
}

void SplitterPage::ToggleSelection() {
    RowId row = CurrentRow();
    if (IsBusy() || row == kNoRow)
        return;
    tree_->expand(model_->IndexOf(row));
    list_.ToggleChecked(row);
    SelectListCurrent();
}

void SplitterPage::SplitAtChapters() {
    if (IsBusy())
        return;
    std::vector<RowId> rows;
    for (const QModelIndex& index : tree_->selectionModel()->selectedRows()) {
        if (RowId row = model_->RowOf(index); row != kNoRow)
            rows.push_back(row);
    }
    if (rows.empty() && CurrentRow() != kNoRow)
        rows.push_back(CurrentRow());
    if (rows.empty())
        return;
    preview_->StopPlayback();
    if (SplitRowsAtChapters(list_, rows, runner_->Host()) > 0)
        SelectListCurrent();
}

void SplitterPage::ExpandAll() {
    tree_->expandAll();
}

void SplitterPage::CollapseAll() {
    tree_->collapseAll();
}

void SplitterPage::SwitchMode(SplitMode mode) {
    settings::SplitMode.Write(context_.settings, static_cast<int>(mode));
    RowId row = CurrentRow();
    if (IsBusy() || row == kNoRow)
        return;
    if (list_.Kind(row) == SplitNodeKind::Track)
        row = list_.SourceOf(row);
    preview_->StopPlayback();
    const bool offerSheet = settings::SwitchModeDialog.Read(context_.settings) != 0;
    WindowJobHost& host = runner_->Host();
    SwitchSplitMode(list_, row, mode, *probe_, host, offerSheet, [this, &host](RowId source) {
        SaveCueForItem(list_, source, std::string(), true, host);
    });
    shownSource_.clear();  // loaded again: its length may differ
    SelectListCurrent();
    UpdatePreview();
}

}  // namespace partita::gui
