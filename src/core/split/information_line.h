#pragma once

#include <string>

#include "split/split_list.h"

namespace partita {

// The line above the split list that describes a row: a group (GroupInfo: its name and number of
// sources), an MPEG source (MpegSourceInfoVbr or MpegSourceInfoCbr: file name, tracks, version,
// layer, rate, bitrate, header kind, channel mode, split mode), a WAV source (WavSourceInfo), a
// track (TrackInfo: number, times, overlaps and the size of the bytes its cut copies, in KB below
// 1024 KB, else MB); NothingSelected for no row. Made from the facts kept with the source: no
// file is analysed again, only the few bytes around a track's cut points are read. A source of
// a format that is not cut has no line (empty).
std::string InformationLine(const SplitList& list, RowId row);

}  // namespace partita
