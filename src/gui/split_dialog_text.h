#pragma once

#include <QString>

namespace partita::gui {

// Labels of the splitter's dialogs that the numbered string table does not hold: captions,
// control labels and the names that assistive technology reads for controls without a label.
// Each has a Chinese and an English form and follows the current language of the string table.
enum class SplitDialogText {
    GroupNameTitle,
    GroupName,
    TrackTimesTitle,
    TrackStart,
    TrackEnd,
    MoveToGroupTitle,
    AudioFile,
    TargetGroup,
    TagEditorTitle,
    TagTitle,
    TagArtist,
    TagAlbum,
    TagYear,
    TagComment,
    TagTrack,
    TagGenre,
    AutoNumbering,
    AutoSequence,
    AutoTrack,
    AutoTrackIfEmpty,
    Wildcards,
    LoadFromFile,
    LoadingFramesTitle,
    SaveGroupsTitle,
    BesideAudio,
    IntoFolder,
    TargetFolder,
    BrowseFolder,
    SilenceTitle,
    SilenceGroup,
    SilenceLevel,
    SilenceLevelSlider,
    SilenceLength,
    SilenceLengthSlider,
    ExcludeSilence,
    StartDetection,
    Defaults,
    SpecialTitle,
    SplitBy,
    ByCount,
    PartCount,
    ByTime,
    PartLength,
    Scope,
    WholeMp3,
    SelectedTrack,
    AutoApply,
    OverlapTitle,
    OverlapGroup,
    Backward,
    Forward,
    SelectedSections,
    TimeStep,
    PageSize,
};

QString Text(SplitDialogText id);
// The label without its key mark and colon, as assistive technology reads a control's name.
QString AccessibleText(SplitDialogText id);

}  // namespace partita::gui
