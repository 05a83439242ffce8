#pragma once

#include <QString>

namespace partita::gui {

// Labels of the joiner page that the numbered string table does not hold: its buttons, menus,
// fields, the settings summary and the names that assistive technology reads. Each has a Chinese
// and an English form and follows the current language of the string table.
enum class JoinerText {
    Add,
    Remove,
    Clear,
    MoveUp,
    MoveDown,
    MoveTop,
    MoveBottom,
    Play,
    InsertSilence,
    PartialMerge,
    OpenList,
    SaveList,
    Id3,
    MergeModeButton,
    OutputFolder,
    BrowseOutputFolder,
    TotalLength,
    TotalSize,
    ListMenu,
    MenuAdd,
    MenuRemove,
    MenuClear,
    MenuUp,
    MenuDown,
    MenuTop,
    MenuBottom,
    MenuPlay,
    MenuSilence,
    MenuPartial,
    DefaultModeMenu,
    ModeAuto,
    ModeDirect,
    ModeConvert,
    ModeSettings,
    MoreSettings,
    Id3Menu,
    Id3Edit,
    Id3Copy,
    SummaryFormat,
    SummaryAuto,
    SummaryDirect,
    SummaryConvert,
    RateHz,
    RateAuto,
    ChannelsAuto,
    Mono,
    Stereo,
    TagSummary,
    TagsDisabled,
    MergeList,
    Progress,
    Summary,
    Status,
};

QString Text(JoinerText id);

}  // namespace partita::gui
