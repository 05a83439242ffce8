#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "app/result.h"
#include "cue/cue_track_record.h"

namespace partita {

// The program name in the first line of every sheet written.
inline constexpr const char* kCueGeneratorName = "Partita Studio";

// Appends the field lines of the header (`track` null: every field, empty ones too, and the
// split mode) or of one track (only what differs from the header, and always its check state).
void WriteCueFields(std::string& out, const CueTrackRecord& header, const CueTrackRecord* track);

// Writes a sheet: the generator line, the header's fields, the FILE line naming `fileValue`
// and one TRACK with its INDEX 01 (the start of the track) per record. The text is UTF-8, with
// a byte order mark when it holds other than ASCII characters so that programs reading legacy
// code pages by default recognise it; lines end in CR LF. An existing sheet is replaced only
// once the new one is complete. Fails with CannotCreateFile.
Status WriteCueSheet(const std::filesystem::path& sheetPath, std::string_view fileValue,
                     const CueTrackRecord& header, std::span<const CueTrackRecord> tracks);

}  // namespace partita
