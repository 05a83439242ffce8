#pragma once

namespace partita {

// The texts of the string table that the program uses, by what they say. The value of each is
// its number in res/strings; a test checks that both languages hold every one of them.
enum class Msg : int {
    // --- Splitter dialogs (new strings: 2150-2199) ------------------------------------------
    SectionListHint = 182,        // the overlap dialog's section list: "1,3,6-8"
    NamingRuleHelpTitle = 206,    // caption of the naming rule's placeholder list
    NamingRuleHelp = 207,         // the naming rule's placeholders
    TagFieldsHelpTitle = 236,     // caption of the tag fields' placeholder list
    TagFieldsHelp = 237,          // the placeholders of the tag fields
    ScopeMaximum = 247,           // the special split's longest part: a list time text
    TimeStepTitle = 250,          // caption of the step size dialog
    TimeStepHelp = 251,           // what the two step sizes do
    LoadTagsFromFileTitle = 299,  // title of the tag editor's file dialog
    EnterSplitGroupName = 306,    // prompt of the new group's name
    TrackTimesInvalid = 2150,     // a track time that does not read as H:MM:SS.fff
    // --- Joiner ----------------------------------------------------------------------------
    MergeIdle = 112,              // status line: "Idle"
    MergingFile = 113,            // status line: file number, count, name, merge mode
    MergeDone = 115,              // success box; the merged file
    AddFilesToMergeFirst = 119,   // Start pressed with an empty merge list
    MergeAborted = 127,           // status line: "Aborted"
    MergeOutputTitle = 130,       // title of the output file dialog
    JoinerColumnsDefault = 131,   // column layout of the merge list: "name, width;..."
    MergeParametersDiffer = 231,  // direct merge of files of different rates or channels
    NoSilence = 265,              // silence cell of a row without inserted silence
    DirectMergeFormatsDiffer = 294,
    ConfirmStopMerge = 295,
    EncoderNotStarted = 296,
    EncoderFailed = 297,
    EncoderWriteFailed = 308,  // byte count written, the pipe's error code
    SavingTags = 324,          // status line
    TagsSaved = 325,           // status line
    PartialMergeFailed = 335,  // a source's partial range cannot be reached

    // --- Splitter --------------------------------------------------------------------------
    ChooseSplitOutputFolder = 134,  // prompt of the output folder picker
    SplitIdle = 140,                // status line: "Idle"
    SplittingTrack = 141,           // status line: source name, track number, count, output name
    SplitCompleted = 142,           // status line
    CannotCreateTrack = 143,        // an output of the split; its path
    SplitAborted = 144,             // status line
    SplitDoneInFolder = 145,        // success box; the output folder
    NamingRuleEmpty = 147,
    NothingSelected = 148,       // information line with no row (or no list)
    ConfirmReplaceTracks = 151,  // an equal-parts split removes the tracks a source has
    InvalidPartLength = 169,     // the length typed
    InvalidPartCount = 170,      // the largest count
    PartLongerThanSource = 171,  // the length typed, the source's length
    PartLongerThanTrack = 172,   // the length typed, the track's length
    StartNotBeforeEnd = 189,     // a track's new start is not before its end
    EndNotAfterStart = 190,      // a track's new end is not after its start
    DefaultNamingRule = 208,     // the naming rule's default, not a format
    ConfirmStopSplit = 221,      // the stop question of a running split; the source's name
    MpegSourceInfoVbr = 230,     // information line, see InformationLine
    MpegSourceInfoCbr = 241,     // information line, see InformationLine
    TooManyParts = 243,          // the length typed, the largest count
    TrackNumberLabel = 248,      // track index, track count
    TrackInfo = 249,             // information line: index, start, end, overlaps, size, unit
    SwitchModeSaveSheet = 260,   // offers to save a sheet before a switch loses tracks
    LoadingFramesTip = 262,      // shown while a frame index is built
    NoOverlap = 268,
    ForwardOverlap = 269,          // the time after a track's end
    BackwardOverlap = 270,         // the time before a track's start
    ForwardBackwardOverlap = 271,  // both
    WavSourceInfo = 278,           // information line: name, tracks, rate, bits, channels, mode
    SplitterColumnsDefault = 279,  // column layout of the split list: "name, width;..."
    DefaultSplitGroup = 282,       // name of the group a list starts with
    GroupInfo = 283,               // information line: group name, source count
    SplitModeAuto = 285,
    SplitModeFast = 286,
    SplitModeFrame = 287,
    ConfirmRemoveGroup = 288,
    ConfirmClearSplitList = 290,
    CannotCreateFolder = 291,  // a folder of the naming rule; its path
    NumberedSplitGroup = 292,  // name of a new group: its number
    ConfirmStopSilenceDetection = 301,
    SplitGroupTips = 307,          // the tips box after the first group is made
    SplitDoneBesideSources = 310,  // success box of a split into the sources' folders
    DetectingSilence = 318,        // status line: silences found, file name
    SplitIncomplete = 2001,        // completion report: written, failed, skipped, not done
    SourcesNotRead = 2002,         // below it: the sources, each on a line of its own

    // --- CUE sheets ------------------------------------------------------------------------
    CueLineMalformed = 196,        // the line's number
    CueTrackTimeUnreadable = 197,  // the track's number
    CueAudioNotLoaded = 277,       // the sheet's audio file; asks for another one

    // --- Chapters --------------------------------------------------------------------------
    // A chapter left out (its number, its title, the source's path), by the reason.
    ChapterEndNotAfterStart = 2010,
    ChapterOverlapsPrevious = 2011,
    ChapterPastEndOfAudio = 2012,
    ChapterNotFound = 2013,
    ChapterNotInTable = 2014,
    NoChaptersToSplitAt = 2015,  // the source's path
    ChaptersNeedId3v2 = 2016,    // a join asked for chapters with ID3v2 writing off

    // --- Files -----------------------------------------------------------------------------
    CannotCreateFile = 122,        // its path
    ConfirmReplaceFile = 123,      // its path
    OutputIsSource = 124,          // the output's path
    CannotLoadFile = 125,          // its path
    CannotOpenFile = 126,          // its path
    CannotWriteFile = 293,         // its path (disk full, file system limits)
    CannotLoadFileWithCode = 311,  // its path, the reason's code
    FileCopyProtected = 312,       // its path
    WmaSupportMissing = 313,
    TagsUnreadable = 316,
    TagsNotWritten = 317,
    CannotOpenListFile = 330,    // its path
    CannotCreateListFile = 331,  // its path

    // --- Preview ---------------------------------------------------------------------------
    SelectFileFirst = 117,          // a track command with nothing selected
    PreviewTrackTip = 155,          // (Ctrl+F2)
    PlayTip = 156,                  // (F2)
    PauseTip = 179,                 // (Space)
    FastForwardTip = 209,           // (F5)
    PlayBeforeTip = 210,            // (F3)
    PlayAfterTip = 211,             // (F4)
    PlayLabel = 223,                // the play button
    PreviewLabel = 228,             // the preview button
    StopLabel = 267,                // either button while it plays
    PlayBeforeTrackStartTip = 319,  // the four track-edge buttons
    PlayAfterTrackEndTip = 321,
    PlayAfterTrackStartTip = 322,
    PlayBeforeTrackEndTip = 323,

    // --- Splitter page -----------------------------------------------------------------------
    StartSplitTip = 152,         // (Alt+S)
    AddSplitFilesTip = 153,      // (Alt+A)
    ChooseSplitFolderTip = 154,  // (Alt+D)
    InsertPointTip = 157,        // (Alt+I)
    SpecialSplitTip = 158,
    RemoveSelectedTip = 159,  // (Del)
    ClearTracksTip = 160,     // (Shift+Del)
    TrackStartTip = 193,      // (Ctrl+Home)
    TrackEndTip = 194,        // (Ctrl+End)
    EditTagsTip = 195,        // double-click
    SaveCueTip = 205,
    SwitchModeTip = 213,  // (Alt+O)
    StartSplitLabel = 224,
    StopSplitLabel = 225,
    AddSplitFilesTitle = 229,  // title of the file dialog
    GoToTrackStartTip = 245,   // (Shift+Home)
    GoToTrackEndTip = 246,     // (Shift+End)
    SplitListEmpty = 253,      // shown in the empty list
    TrackTimesTip = 254,       // (Ctrl+L)
    NewGroupTip = 302,         // (Alt+G)
    ExpandGroupsTip = 303,
    CollapseGroupsTip = 304,
    MoveToGroupTip = 305,  // (Alt+M)
    ToggleSelectionTip = 309,
    OpenCueTitle = 326,  // title of the file dialog
    OpenCueTip = 327,

    // --- Joiner page (new strings: 2200-2249) ----------------------------------------------
    MoveUpTip = 107,
    MoveDownTip = 108,
    RemoveMergeFilesTip = 109,
    AddMergeFilesTip = 110,
    ClearMergeListTip = 111,
    ConfirmClearMergeList = 116,
    OutputTagTip = 121,
    MoveTopTip = 149,
    MoveBottomTip = 150,
    ChooseMergeOutputFolder = 180,  // title of the output folder picker
    PlayMergeFileTip = 184,
    StartMergeLabel = 226,
    StopMergeLabel = 227,
    MergeListEmptyHint = 242,  // shown inside the empty list
    InsertSilenceTip = 264,
    OpenMergeListTip = 332,
    SaveMergeListTip = 333,
    PartialMergeTip = 334,

    // --- Program ---------------------------------------------------------------------------
    ChooseMergeSourceFolder = 215,  // title of the joiner's source folder picker
    ChooseSplitSourceFolder = 216,  // title of the splitter's source folder picker
    JoinerOptionsSummary = 217,     // six answers, see the settings page
    SplitterOptionsSummary = 218,   // nine answers, see the settings page
    OptionsDialogTitle = 233,
    JobRunningOnExit = 244,
    AudioModuleFailed = 263,
    SettingsPanel = 1012,  // pane button: "Settings / About"
    SplitterPanel = 1062,  // pane button: "Split MP3"
    JoinerPanel = 1063,    // pane button: "Merge MP3"

    // --- Joiner dialogs (new texts 2250-2299) ----------------------------------------------
    AddMergeFilesTitle = 129,  // title of the add-files dialog
    OpenMergeListTitle = 328,
    SaveMergeListTitle = 329,
    TimeTextInvalid = 2250,  // a time field that does not read as H:MM:SS

    // --- Faults met on real files --------------------------------------------------------
    ListSilenceTooLong = 2300,  // a list entry's path, its silence, the longest allowed (s)
    ListEmpty = 2301,           // saving a merge list with no rows
    ListFileKept = 2302,        // the existing file that a list was not saved over
    CueTrackLeftOut = 2303,     // the line of a sheet's INDEX that is no time or past the end
    TrackLeftOut = 2304,        // an unchecked track not split: source, number, start, end

    // --- Why a file operation failed -----------------------------------------------------------
    FileErrorReason = 2350,  // after a file's message: the reason
    ReasonDiskFull = 2351,   // the reasons the system gives, in the user's words
    ReasonQuota = 2352,
    ReasonNotFound = 2353,
    ReasonPermission = 2354,
    ReasonNameTooLong = 2355,
    ReasonReadOnly = 2356,
    ReasonTooLarge = 2357,
    ReasonNotFolder = 2358,
    ReasonIsFolder = 2359,
    ReasonInputOutput = 2360,
    ReasonTooManyFiles = 2361,
    ReasonExists = 2362,
    RangeOutsideFile = 2363,  // a merge file's range: its path, start, end, the file's length

    // --- Why audio could not be read or cut
    // -------------------------------------------------------
    ReasonUnknownFormat = 2364,  // the reasons of the audio layer's codes 41, 43, 44 and 45
    ReasonNoAudio = 2365,
    ReasonNoDecoder = 2366,
    ReasonDamaged = 2367,
    ReasonNotCuttable = 2368,  // a track of a source of another format than MPEG audio or WAV
};

}  // namespace partita
