// The splitter page's commands that open a dialog.
#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

#include "app/setting_values.h"
#include "cue/cue_list.h"
#include "group_name_dialog.h"
#include "job_runner.h"
#include "move_to_group_dialog.h"
#include "naming_rule_help.h"
#include "preview_panel.h"
#include "save_groups_dialog.h"
#include "silence_split_dialog.h"
#include "special_split_dialog.h"
#include "split/split_list_commands.h"
#include "split/track_tools.h"
#include "split_list_model.h"
#include "split_tree_view.h"
#include "splitter_page.h"
#include "splitter_page_text.h"
#include "tag_editor_dialog.h"
#include "time_step_dialog.h"
#include "track_overlap_dialog.h"
#include "track_times_dialog.h"
#include "ui_text.h"
#include "window_job_host.h"

namespace partita::gui {

void SplitterPage::EditTrackTimes() {
    RowId track = CurrentTrack();
    if (IsBusy() || track == kNoRow)
        return;
    TrackTimesDialog dialog(list_.TrackIndex(track) + 1, list_.TrackCount(list_.SourceOf(track)),
                            list_.GetTrackTimes(track, false), context_.messages, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TrackTimes times = dialog.Times();
    if (dialog.StartChanged())
        MoveTrackStart(list_, runner_->Host(), track, times.start);
    if (dialog.EndChanged() && list_.Contains(track))
        MoveTrackEnd(list_, runner_->Host(), track, times.end);
    SelectListCurrent();
}

void SplitterPage::EditTags() {
    RowId current = CurrentRow();
    if (IsBusy() || current == kNoRow || list_.Kind(current) == SplitNodeKind::Group)
        return;
    TagEditorDialog dialog(list_.Row(current).tags, context_.settings, context_.messages, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TagTemplates tags = dialog.Tags();
    // Every selected source and track takes the texts; groups have none.
    std::vector<RowId> rows;
    for (const QModelIndex& index : tree_->selectionModel()->selectedRows())
        rows.push_back(model_->RowOf(index));
    if (rows.empty())
        rows.push_back(current);
    for (RowId row : rows) {
        if (list_.Contains(row) && list_.Kind(row) != SplitNodeKind::Group)
            list_.SetTags(row, tags);
    }
}

void SplitterPage::NewGroup() {
    if (IsBusy())
        return;
    GroupNameDialog dialog(ToQString(list_.ProposedGroupName()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    RowId group = AddGroupTelling(list_, runner_->Host(), dialog.Name().toStdString());
    list_.SetCurrent(group);
    SelectListCurrent();
}

void SplitterPage::MoveToGroup() {
    RowId source = list_.SourceOf(CurrentRow());
    if (IsBusy() || source == kNoRow)
        return;
    QStringList names;
    int current = 0;
    for (RowId group : list_.Groups()) {
        if (group == list_.GroupOf(source))
            current = static_cast<int>(names.size());
        names << ToQString(list_.Row(group).name);
    }
    MoveToGroupDialog dialog(ToQString(list_.Row(source).name), names, current, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The chosen entry names its group: of two groups with one name, the one picked.
    int chosen = dialog.GroupIndex();
    if (chosen < 0 || chosen >= static_cast<int>(list_.Groups().size()) ||
        ToQString(list_.Row(list_.Groups()[chosen]).name) != dialog.GroupName()) {
        chosen = static_cast<int>(names.indexOf(dialog.GroupName()));
    }
    if (chosen < 0 || dialog.GroupName().isEmpty())
        return;
    if (list_.MoveToGroup(source, list_.Groups()[chosen])) {
        list_.SetCurrent(source);
        SelectListCurrent();
    }
}

void SplitterPage::SpecialSplit() {
    RowId row = CurrentRow();
    if (IsBusy() || row == kNoRow)
        return;
    SpecialSplitTarget target;
    if (list_.Kind(row) == SplitNodeKind::Group) {
        target.groupName = list_.Row(row).name;
        target.wholeLengthMs = kGroupScopeLengthMs;
    } else {
        target.wholeLengthMs = list_.SourceDuration(list_.SourceOf(row));
        if (list_.Kind(row) == SplitNodeKind::Track)
            target.track = list_.GetTrackTimes(row, false);
    }
    SpecialSplitDialog dialog(target, context_.settings, context_.messages, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (ApplySpecialSplit(list_, row, dialog.Request(), runner_->Host())) {
        SelectListCurrent();
        tree_->setFocus();
    }
}

void SplitterPage::SetOverlaps() {
    RowId row = CurrentRow();
    if (IsBusy() || row == kNoRow)
        return;
    TrackOverlapDialog dialog(list_.Kind(row) == SplitNodeKind::Track, context_.settings,
                              context_.messages, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyOverlaps(list_, row, dialog.Values(), dialog.Scope(), dialog.Sections());
}

void SplitterPage::SilenceSplit() {
    RowId source = list_.SourceOf(CurrentRow());
    if (IsBusy() || source == kNoRow)
        return;
    SilenceSplitDialog dialog(context_.settings, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ScanForSilence(source, dialog.Options());
}

void SplitterPage::EditTimeSteps() {
    SettingsStore& settings = context_.settings;
    TimeStepDialog dialog(static_cast<int>(settings::TimeStepSize.Read(settings)),
                          static_cast<int>(settings::TimePageSize.Read(settings)), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings::TimeStepSize.Write(settings, dialog.StepMs());
    settings::TimePageSize.Write(settings, dialog.PageMs());
    preview_->SetStepSizes(dialog.StepMs(), dialog.PageMs());
}

void SplitterPage::ShowNamingRuleHelp() {
    NamingRuleHelp::Show(NamingRuleHelp::Topic::FileNames, this);
}

void SplitterPage::SaveCue() {
    RowId row = CurrentRow();
    if (IsBusy() || row == kNoRow)
        return;
    auto chooseSheet = [this](const std::string& proposed) -> std::optional<std::string> {
        QString path = QFileDialog::getSaveFileName(
            this, MessageText(Msg::SaveCueTip), ToQString(proposed),
            QStringLiteral("%1 (*.cue)").arg(Text(SplitterText::CueFilter)), nullptr,
            QFileDialog::DontUseNativeDialog);
        if (path.isEmpty())
            return std::nullopt;
        return path.toStdString();
    };
    GroupCueTarget target;
    if (list_.Kind(row) == SplitNodeKind::Group) {
        SaveGroupsDialog dialog(context_.settings, folderBox_->text(), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        target.toFolder = dialog.Option() == 1;
        target.folder = dialog.Folder().toStdString();
    }
    SaveCueForItem(list_, row, std::string(), true, runner_->Host(), target, chooseSheet);
}

}  // namespace partita::gui
