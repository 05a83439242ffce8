#pragma once

#include <QString>

namespace partita::gui {

// Labels of the joiner's dialogs that the numbered string table does not hold. Each has a
// Chinese and an English form and follows the current language of the string table.
enum class JoinDialogText {
    // Silence
    InsertSilenceTitle,
    SilenceSeconds,
    SilenceZeroNote,
    AutoApplySilence,
    Apply,
    ApplyAll,
    Save,
    // Partial merge
    PartialMergeTitle,
    FileName,
    Length,
    FilesSelected,
    NotAvailable,
    EnablePartial,
    StartTime,
    EndPosition,
    LengthBeforeEnd,
    LengthFromStart,
    ApplyToNewFiles,
    PartialOk,
    // Merge mode
    MergeModeTitle,
    ModeAuto,
    ModeDirect,
    ModeConvert,
    ConvertFormat,
    SampleRate,
    Channels,
    Automatic,
    Mono,
    Stereo,
    // Output tag
    OutputTagTitle,
    WriteId3v1,
    WriteId3v2,
    KeepTag,
    TagTitle,
    TagArtist,
    TagAlbum,
    TagYear,
    TagComment,
    TagTrack,
    TagGenre,
    ClearTags,
    LoadTags,
    ChapterPerInput,
    // File dialogs
    SupportedAudioFiles,
    MpegAudioFiles,
    WindowsMediaFiles,
    WaveFiles,
    OggFiles,
    AiffFiles,
    M3uFiles,
    PlsOrM3uFiles,
};

QString Text(JoinDialogText id);

// A label as assistive technology reads it: without its key marks "(&X)" and "&" and without a
// closing colon.
QString AccessibleText(JoinDialogText id);

}  // namespace partita::gui
