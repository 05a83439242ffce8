#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/code_page.h"
#include "app/messages.h"
#include "app/settings_store.h"

namespace partita {

// Whether a missing value is stored with its default the first time it is read.
enum class WriteBack { No, AtFirstRead };

// One integer value of the settings table: its section, its name and its default, so no caller
// repeats them.
struct IntSetting {
    std::string_view section;
    std::string_view name;
    int defaultValue;
    WriteBack writeBack = WriteBack::No;

    int Read(SettingsStore& store) const;
    // Reads with `notStored` standing for a missing value, as dialogs do that apply the
    // defaults themselves.
    int ReadRaw(SettingsStore& store, int notStored) const {
        return store.ReadInt(section, name, notStored);
    }
    bool Write(SettingsStore& store, int value) const {
        return store.WriteInt(section, name, value);
    }
};

// One text value of the settings table. Its default is a fixed text or, where `defaultText` is
// set, a text of the string table in the current language.
struct StringSetting {
    std::string_view section;
    std::string_view name;
    std::string_view defaultValue = {};
    std::optional<Msg> defaultText = std::nullopt;
    // A default that depends on the machine (such as its locale), in place of defaultValue.
    std::string (*defaultOf)() = nullptr;

    std::string Default() const;
    std::string Read(SettingsStore& store) const;
    // Reads with a default that only the caller knows (such as the current output folder).
    std::string Read(SettingsStore& store, std::string_view callerDefault) const {
        return store.ReadString(section, name, callerDefault);
    }
    // A null value deletes the stored value.
    bool Write(SettingsStore& store, std::optional<std::string_view> value) const {
        return store.WriteString(section, name, value);
    }
};

namespace settings {

inline constexpr std::string_view kSettings = "Settings";
inline constexpr std::string_view kSplitter = "MP3 Splitter";
inline constexpr std::string_view kJoiner = "MP3 Joiner";
inline constexpr std::string_view kJoinerId3 = "Joiner MP3 ID3";
inline constexpr std::string_view kDialogToggle = "LodeDialogToggle";

using WB = WriteBack;

// Section "Settings".
inline constexpr IntSetting InitialPanel{kSettings, "Initial Panel", 0, WB::AtFirstRead};
inline constexpr IntSetting InitialPosX{kSettings, "Initial Pos X", -999};
inline constexpr IntSetting InitialPosY{kSettings, "Initial Pos Y", -999};
inline constexpr IntSetting InitialWidth{kSettings, "Initial Width", -999};
inline constexpr IntSetting InitialHeight{kSettings, "Initial Height", -999};
inline constexpr StringSetting InstallPath{kSettings, "Install Path"};
inline constexpr IntSetting SplitMode{kSettings, "Split Mode", 0, WB::AtFirstRead};
inline constexpr StringSetting SplitNamingRule{kSettings, "Naming rule of Splitter", "",
                                               Msg::DefaultNamingRule};
inline constexpr StringSetting SplitDestinationFolder{kSettings, "Splitting Destination Folder"};
inline constexpr StringSetting SplitTempOutputFolder{kSettings, "Splitting Temp Output Folder"};
inline constexpr IntSetting SplitSourceFolderMode{kSettings, "Split Source Folder Mode", 1,
                                                  WB::AtFirstRead};
inline constexpr StringSetting SplitSourceFolder{kSettings, "Splitting Source Folder"};
inline constexpr StringSetting SplitSourceLastFolder{kSettings, "Split Source Last Folder"};
inline constexpr IntSetting SplitOutputFolderConfirmation{kSettings,
                                                          "Splitter Output Folder Confirmation", 1};
inline constexpr IntSetting SplitConfirmOverwrite{kSettings, "Splitter Confirm Overwrite", 1};
inline constexpr IntSetting SplitCountGeneratedTrackNumber{
    kSettings, "Splitter Count Generated Track Number", 0};
inline constexpr IntSetting SplitShowSuccess{kSettings, "Splitter Show Success", 1};
inline constexpr IntSetting SplitAutoOpenFolder{kSettings, "Splitter Auto Open Folder", 0};
inline constexpr IntSetting ExportCue{kSettings, "Export CUE", 0};
inline constexpr IntSetting StartNewSplit{kSettings, "Start New Split", 0};
inline constexpr IntSetting TimeStepSize{kSettings, "Time Step Size", 100, WB::AtFirstRead};
inline constexpr IntSetting TimePageSize{kSettings, "Time Page Size", 1000, WB::AtFirstRead};
inline constexpr IntSetting AutoOverlap{kSettings, "Auto Overlap", 0};
inline constexpr IntSetting ForwardOverlap{kSettings, "FW Overlap", 0};
inline constexpr IntSetting BackwardOverlap{kSettings, "BW Overlap", 0};
inline constexpr IntSetting AutoAddSpecial{kSettings, "Auto Add Special", 0};
// The special split's two values fall back to other defaults in its dialog and when it is
// applied to a newly loaded source.
inline constexpr IntSetting AddSpecialTypeInDialog{kSettings, "Add Special Type", 0};
inline constexpr IntSetting AddSpecialTypeAtLoad{kSettings, "Add Special Type", 1};
inline constexpr IntSetting AddSpecialBySectionInDialog{kSettings, "Add Special By Section", 2};
inline constexpr IntSetting AddSpecialBySectionAtLoad{kSettings, "Add Special By Section", 1};
inline constexpr IntSetting AddSpecialByTime{kSettings, "Add Special By Time", 60000};
inline constexpr IntSetting SplitId3AutoSequence{kSettings, "Splitter ID3 Auto Sequence", 1};
inline constexpr IntSetting SplitId3AutoTrack{kSettings, "Splitter ID3 Auto Track", 1};
inline constexpr IntSetting SplitId3AutoTrackIfNull{kSettings, "Splitter ID3 Auto Track if null",
                                                    0};
inline constexpr IntSetting MergeSourceFolderMode{kSettings, "Merge Source Folder Mode", 1,
                                                  WB::AtFirstRead};
inline constexpr StringSetting MergeSourceFolder{kSettings, "Merging Source Folder"};
inline constexpr StringSetting MergeSourceLastFolder{kSettings, "Merge Source Last Folder"};
inline constexpr StringSetting MergeDestinationFolder{kSettings, "Merging Destination Folder"};
inline constexpr StringSetting MergeDestinationName{kSettings, "Merging Destination Name"};
inline constexpr IntSetting JoinConfirmOverwrite{kSettings, "Joiner Confirm Overwrite", 1};
inline constexpr IntSetting JoinShowSuccess{kSettings, "Joiner Show Success", 1};
inline constexpr IntSetting JoinAutoOpenFolder{kSettings, "Joiner Auto Open Folder", 0};
inline constexpr IntSetting JoinPlayResult{kSettings, "Joiner Play Result", 0};
inline constexpr IntSetting StartNewMerge{kSettings, "Start New Merge", 0};
// Written back together with "Sorting Dir" when missing at page start (see ReadJoinerSorting).
inline constexpr IntSetting JoinSortingColumn{kSettings, "Sorting Column of Joiner", 0};
inline constexpr IntSetting JoinSortingDir{kSettings, "Sorting Dir", 1};
inline constexpr StringSetting MergeId3FileLastFolder{kSettings, "Merge ID3 File Last Folder"};
// Values this platform adds: the language of the texts ("zh_CN", "en" or empty for the
// locale's) and the code page of ID3v1 texts and legacy sheets.
inline constexpr StringSetting Language{kSettings, "Language"};
inline constexpr StringSetting LegacyCodePage{kSettings, "Legacy Code Page", "ISO-8859-1",
                                              std::nullopt, &LocaleLegacyCodePage};

// Section "MP3 Splitter".
inline constexpr IntSetting SameFolderAsOriginal{kSplitter, "Same Folder as Original", 0,
                                                 WB::AtFirstRead};
inline constexpr IntSetting WriteVbrHeader{kSplitter, "Write VBR Header", 1};
// Cuts that gapless players hear sample for sample (priming frames before each cut).
inline constexpr IntSetting SampleAccurate{kSplitter, "Sample Accurate", 0};
// A loaded MPEG file whose ID3v2 tag holds chapters gets one track per chapter.
inline constexpr IntSetting SplitAtChapters{kSplitter, "Split At Chapters", 0};
inline constexpr IntSetting SilenceLevel{kSplitter, "Silence Level", 300};
inline constexpr IntSetting SilenceLength{kSplitter, "Silence Length", 1500};
inline constexpr IntSetting ExcludeSilence{kSplitter, "Exclude Silence", 0};
inline constexpr IntSetting SaveCueOption{kSplitter, "Save CUE Option", 0};
// Its default is the current split output folder, which the caller passes to Read.
inline constexpr StringSetting SaveCueTargetFolder{kSplitter, "Save CUE Target Folder"};
inline constexpr StringSetting SplitterColumnList{kSplitter, "Splitter Column List", "",
                                                  Msg::SplitterColumnsDefault};

// Section "MP3 Joiner".
inline constexpr IntSetting MergeMode{kJoiner, "Merge Mode", 0};
inline constexpr IntSetting OutputSamplerate{kJoiner, "Output Samplerate", 0};
inline constexpr IntSetting OutputChannel{kJoiner, "Output Channel", 0};
inline constexpr IntSetting GaplessMerge{kJoiner, "Gapless Merge", 1};
inline constexpr IntSetting WriteId3v1Tag{kJoiner, "Write ID3v1 Tag", 1};
inline constexpr IntSetting WriteId3v2Tag{kJoiner, "Write ID3v2 Tag", 1};
// A join marks each input as a chapter of its ID3v2 tag.
inline constexpr IntSetting WriteChapters{kJoiner, "Write Chapters", 0};
inline constexpr IntSetting AutoApplySilence{kJoiner, "Auto Apply Silence", 0};
inline constexpr IntSetting MergeSilenceLength{kJoiner, "Silence Length", 0};
inline constexpr IntSetting PartialMergeEnable{kJoiner, "Partial Merge Enable", 0};
inline constexpr IntSetting PartialMergeAutoApply{kJoiner, "Partial Merge Auto Apply", 0};
inline constexpr IntSetting PartialMergeMode{kJoiner, "Partial Merge Mode", 0};
inline constexpr IntSetting PartialMergeStart{kJoiner, "Partial Merge Start", 0};
inline constexpr IntSetting PartialMergeEndPos{kJoiner, "Partial Merge EndPos", 60000};
inline constexpr IntSetting PartialMergeLength2End{kJoiner, "Partial Merge Length2End", 60000};
inline constexpr IntSetting PartialMergeLength{kJoiner, "Partial Merge Length", 60000};
inline constexpr StringSetting MergeTempOutputFolder{kJoiner, "Merge Temp Output Folder"};
inline constexpr StringSetting JoinerColumnList{kJoiner, "Joiner Column List", "",
                                                Msg::JoinerColumnsDefault};

// Section "Joiner MP3 ID3": the default tag of merge outputs.
inline constexpr StringSetting JoinTagTitle{kJoinerId3, "Title"};
inline constexpr StringSetting JoinTagArtist{kJoinerId3, "Artist"};
inline constexpr StringSetting JoinTagAlbum{kJoinerId3, "Album"};
inline constexpr StringSetting JoinTagYear{kJoinerId3, "Year"};
inline constexpr StringSetting JoinTagTrack{kJoinerId3, "Track"};
inline constexpr StringSetting JoinTagGenre{kJoinerId3, "GenreS"};
inline constexpr StringSetting JoinTagComment{kJoinerId3, "Comment"};
inline constexpr IntSetting JoinSaveId3Tag{kJoinerId3, "Save ID3 TAG", 0};

// Section "LodeDialogToggle": 1 shows the hint or question, 0 means the user ticked the box
// that stops it.
inline constexpr IntSetting SplitClearAllDialog{kDialogToggle, "Split Clear All Dlg", 1};
inline constexpr IntSetting SplitTipsDialog{kDialogToggle, "Split Tips Dlg", 1};
inline constexpr IntSetting SwitchModeDialog{kDialogToggle, "Switch Mode Dlg", 1};
inline constexpr IntSetting BatchSaveCueTipsDialog{kDialogToggle, "Batch Save Cue Tips Dlg", 1};
inline constexpr IntSetting MergeDiffParamsDialog{kDialogToggle, "Merge Diff Params Dlg", 1};

// The joiner's sort column and direction; both are stored when the column is missing.
struct JoinerSorting {
    int column;
    int direction;
};
JoinerSorting ReadJoinerSorting(SettingsStore& store);

}  // namespace settings
}  // namespace partita
