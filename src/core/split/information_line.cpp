#include "split/information_line.h"

#include <algorithm>

#include "app/time_text.h"
#include "app/user_message.h"
#include "split/split_engine.h"

namespace partita {
namespace {

// WAV channels as the channel modes name them.
std::string ChannelsText(int channels) {
    if (channels == 1)
        return ModeText(kMonoChannelMode);
    if (channels == 2)
        return ModeText(0);
    return std::to_string(channels);
}

std::string SourceLine(const SplitList& list, RowId source) {
    const SplitRow& row = list.Row(source);
    const SourceFormat& f = row.format;
    const int tracks = list.TrackCount(source);
    const std::string mode = SplitModeText(row.mode);
    switch (f.type) {
        case audio::AudioType::Mpeg:
            if (f.vbrHeader == VbrHeaderType::None) {
                return Message(Msg::MpegSourceInfoCbr, row.name, tracks, VersionText(f.version),
                               ToInt(f.layer), f.sampleRate, f.bitrateKbps, ModeText(f.channelMode),
                               mode);
            }
            return Message(Msg::MpegSourceInfoVbr, row.name, tracks, VersionText(f.version),
                           ToInt(f.layer), f.sampleRate, f.bitrateKbps,
                           f.vbrHeader == VbrHeaderType::Vbri ? "VBRI" : "VBR",
                           ModeText(f.channelMode), mode);
        case audio::AudioType::Wav:
            return Message(Msg::WavSourceInfo, row.name, tracks, f.sampleRate, f.bitsPerSample,
                           ChannelsText(f.channels), mode);
        default:
            return {};
    }
}

std::string TrackLine(const SplitList& list, RowId track) {
    const SplitRow& row = list.Row(track);
    const SplitRow& source = list.Row(list.Parent(track));
    // The bytes the cut would copy: the times widened by the overlaps, as the split takes them.
    std::uint64_t bytes = 0;
    if (source.analysis) {
        TrackTimes cut = list.GetTrackTimes(track, true, source.durationMs);
        if (auto range = TrackByteRange(*source.analysis, cut.start, cut.end))
            bytes = range->end - std::min(range->begin, range->end);
    }
    const double kb = static_cast<double>(bytes) / 1024.0;
    const bool inMb = kb >= 1024.0;
    return Message(Msg::TrackInfo, list.TrackIndex(track) + 1,
                   FormatTime(row.times.start, kTimeList), FormatTime(row.times.end, kTimeList),
                   OverlapSummary(row.overlaps), inMb ? kb / 1024.0 : kb, inMb ? "MB" : "KB");
}

}  // namespace

std::string InformationLine(const SplitList& list, RowId row) {
    if (!list.Contains(row))
        return Message(Msg::NothingSelected);
    switch (list.Kind(row)) {
        case SplitNodeKind::Group:
            return Message(Msg::GroupInfo, list.Row(row).name, list.TrackCount(row));
        case SplitNodeKind::Source:
            return SourceLine(list, row);
        case SplitNodeKind::Track:
            return TrackLine(list, row);
    }
    return {};
}

}  // namespace partita
