#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/job_host.h"
#include "cue/cue_sheet.h"
#include "split/source_loader.h"
#include "split/split_job.h"
#include "split/split_list.h"

namespace partita {

// A title without the automatic pattern at its end. Loading appends the pattern again, so a
// saved and reloaded source keeps one copy of it, never more.
std::string DropAutoSequenceTitle(std::string title);

// Asks the user for another audio file for a sheet whose own cannot be loaded (a file-open
// dialog starting at `oldPath`); nullopt cancels.
using AudioFileChooser = std::function<std::optional<std::string>(const std::string& oldPath)>;

// Gives a source just added from a sheet the sheet's tracks: a split point at each track's
// INDEX, the track's fields and check state; an INDEX 00 pregap goes as `pregaps` says (by
// default an unchecked, untitled track of its own). A track whose INDEX is not a time or lies
// at or past the end of the audio is left out and reported to `host` (CueTrackLeftOut, with
// its line) when one is given.
void ImportCueTracks(SplitList& list, RowId source, const std::vector<CueTrackRecord>& tracks,
                     PregapMode pregaps = PregapMode::Skip, JobHost* host = nullptr);

// Adds a source from a CUE sheet (read in the defaults' code page): loads the sheet's audio file
// in the sheet's split mode (else the default one) with the header's fields taking precedence
// over the file's tags and one track per sheet track. A sheet that cannot be read or is
// malformed is reported (its error, then CannotLoadFile) and nothing is added. When the sheet's
// audio file cannot be loaded the user is asked for another one (CueAudioNotLoaded) through
// `chooseAudio`; without a chooser the question is shown as an error. A load the user cancels
// adds nothing more (`cancelled`). A sheet of several FILEs adds one source per FILE with the
// tracks below it; the first source added is returned.
RowId AddCueSheetSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                        SourceProbe& probe, const std::string& sheetPath,
                        const AudioFileChooser& chooseAudio = {}, bool* cancelled = nullptr);

// The records a sheet of a source is written from, and the FILE value: the audio file's bare
// name when the sheet goes to its folder, else its full path.
struct CueSheetContent {
    CueTrackRecord header;
    std::vector<CueTrackRecord> tracks;
    std::string fileValue;
};
// With `cutAt`, each track's INDEX is the CD frame nearest to its start that a cut begins at
// the same byte as at the start itself, so a split by the sheet cuts where this one did.
CueSheetContent CueContentForSource(const SplitList& list, RowId source,
                                    const std::string& sheetPath, const CutPosition& cutAt = {});

// Writes the sheet of a source's tracks. An existing sheet is replaced only when the user says
// yes to ConfirmReplaceFile; a sheet that cannot be written shows CannotCreateFile. True when
// written.
bool SaveCueForSource(const SplitList& list, RowId source, const std::string& sheetPath,
                      JobHost& host, const CutPosition& cutAt = {});

// The split job's sheet export (setting "Export CUE"): the sheet of a source that was split to
// its end, written where the job says (next to its outputs).
decltype(SplitJobOptions::writeCueSheet) CueExporter(JobHost& host);

// Where the sheets of a group go (the group save dialog's choice, settings "Save CUE Option"
// and "Save CUE Target Folder").
struct GroupCueTarget {
    bool toFolder = false;  // false: each sheet next to its audio file
    std::string folder;     // with toFolder: the sheets go to folder/group name
};

// Saves the sheet of a source, or of every source of a group, and returns the path of the last
// sheet written (empty when none). For a source the sheet is named after its audio file, in
// `folder` (empty: the audio file's folder); with `askName`, `chooseSheet` is asked for the path
// starting from that one (nullopt cancels). A track row saves its source.
std::string SaveCueForItem(
    const SplitList& list, RowId item, const std::string& folder, bool askName, JobHost& host,
    const GroupCueTarget& groupTarget = {},
    const std::function<std::optional<std::string>(const std::string&)>& chooseSheet = {});

}  // namespace partita
