#include "join/merge_row.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/time_text.h"
#include "app/user_message.h"
#include "audio/audio_file_info.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

std::string FormatDouble(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::uint64_t WholeSeconds(std::uint64_t ms) {
    return ms - ms % 1000;
}

bool HasChannelMode(const MergeRow& row) {
    return row.channelMode >= 0 && row.channelMode < 4;
}

}  // namespace

MergeRow MergeRow::FromFacts(const std::string& path, const MergeFileFacts& facts) {
    MergeRow row;
    fs::path full(path);
    row.folder = full.parent_path().string();
    row.fileName = full.filename().string();
    row.audioType = audio::AudioTypeFromExtension(full).value_or(facts.audioType);
    row.lengthMs = WholeSeconds(facts.durationMs);
    row.endMs = row.lengthMs;
    row.tags = facts.tags;
    row.sampleRate = facts.sampleRate;
    row.channels = facts.channels;
    row.channelMode = facts.channelMode;
    row.fileSize = facts.fileSize;
    row.mpegVersion = facts.mpegVersion;
    row.mpegLayer = facts.mpegLayer;
    if (facts.audioType == audio::AudioType::Mpeg || facts.audioType == audio::AudioType::Wma) {
        row.bitrateKbps = facts.bitrateKbps;
        row.vbr = facts.vbr;
    } else if (facts.durationMs > 0) {
        // The average of size and duration, as every list shows it (half a kbit/s added, then
        // rounded once more when shown).
        row.bitrateKbps = audio::AverageBitrateKbps(facts.fileSize, facts.durationMs);
    }
    return row;
}

void MergeRow::SetRange(std::uint64_t start, std::uint64_t end) {
    startMs = WholeSeconds(start);
    endMs = WholeSeconds(end);
}

std::string MergeRow::Path() const {
    if (folder.empty())
        return fileName;
    return (fs::path(folder) / fileName).string();
}

PartialRange MergeRow::Range() const {
    PartialRange range;
    if (endMs < startMs)
        return range;
    range.startMs = startMs;
    range.endMs = endMs < lengthMs ? endMs : 0;
    return range;
}

bool MergeRow::IsMono() const {
    return HasChannelMode(*this) ? channelMode == 3 : channels == 1;
}

std::string MergeRow::Text(int column) const {
    switch (column) {
        case kMergeFileName:
            return fileName;
        case kMergeLength:
            return FormatTime(lengthMs, kTimeHourMinSec);
        case kMergeStart:
            return FormatTime(startMs, kTimeHourMinSec);
        case kMergeEnd:
            return FormatTime(endMs, kTimeHourMinSec);
        case kMergeSilence:
            return SilenceText(silenceSeconds);
        case kMergeTitle:
            return tags.title;
        case kMergeArtist:
            return tags.artist;
        case kMergeAlbum:
            return tags.album;
        case kMergeTrack:
            return tags.track;
        case kMergeSampleRate:
            return std::to_string(sampleRate);
        case kMergeBitrate:
            return FormatDouble(vbr ? "%.0fkbps VBR" : "%.0fkbps", bitrateKbps);
        case kMergeChannels:
            if (HasChannelMode(*this))
                return kChannelModeNames[channelMode];
            return kChannelModeNames[channels == 1 ? 3 : 0];
        case kMergeGenre:
            return tags.genre;
        case kMergeYear:
            return tags.year;
        case kMergeComment:
            return tags.comment;
        case kMergeFileSize:
            return std::to_string(fileSize);
        case kMergeFolder:
            return folder;
        default:
            return {};
    }
}

std::string SilenceText(int seconds) {
    return seconds > 0 ? std::to_string(seconds) : Message(Msg::NoSilence);
}

std::string FormatTotalSize(std::uint64_t bytes) {
    double kb = static_cast<double>(bytes) / 1024.0;
    if (kb < 1024.0)
        return FormatDouble("%.0f KB", kb);
    return FormatDouble("%.1f MB", static_cast<double>(bytes) / 1048576.0);
}

}  // namespace partita
