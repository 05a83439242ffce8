#pragma once

#include <QString>

namespace partita::gui {

// The labels of the splitter page that the numbered string table does not hold, in both
// languages (see label_table.h).
enum class SplitterText {
    AddFiles,
    InsertPoint,
    TrackStart,
    TrackEnd,
    TrackTimes,
    GoToTrackStart,
    GoToTrackEnd,
    EditTags,
    Remove,
    ClearTracks,
    ClearAll,
    NewGroup,
    MoveToGroup,
    ToggleSelection,
    ExpandAll,
    CollapseAll,
    SpecialSplit,
    Overlaps,
    SilenceSplit,
    SplitAtChapters,
    SaveCue,
    OpenCue,
    TimeSteps,
    SplitModeButton,
    OutputFolder,
    ChooseFolder,
    SameFolder,
    NamingRule,
    NamingRuleHelpButton,
    AllAudioFilter,
    MpegFilter,
    WaveFilter,
    CueFilter,
    TrackList,
    InformationLine,
    Progress,
    StatusLine,
    NoAudioFile,
};

QString Text(SplitterText id);

}  // namespace partita::gui
