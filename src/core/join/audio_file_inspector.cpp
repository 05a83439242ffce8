#include "join/audio_file_inspector.h"

#include "app/user_message.h"
#include "audio/audio_file_info.h"
#include "audio/audio_type.h"
#include "mpeg/buffered_file.h"
#include "mpeg/mpeg_analysis.h"
#include "tags/tag_reader.h"

namespace partita {
namespace {

// The facts of an MPEG file from its first frame and its VBR header; false when no stream is
// found. The name is not looked at: a file without a known extension is MPEG when it holds a
// stream, and the direct merge opens it the same way.
bool InspectMpeg(const std::string& path, const std::string& codePage, MergeFileFacts& facts) {
    MpegAnalysis info({}, codePage);
    BufferedFile file;
    if (!file.Open(path) || !info.OpenFile(file, path) || !info.streamFound || info.durationMs == 0)
        return false;
    facts.mpegVersion = static_cast<int>(info.header.version);
    facts.mpegLayer = static_cast<int>(info.header.layer);
    facts.audioType = audio::AudioType::Mpeg;
    facts.durationMs = info.durationMs;
    facts.fileSize = info.fileLength;
    facts.sampleRate = info.header.sampleRate;
    facts.channelMode = info.header.channelMode;
    facts.channels = info.header.channelMode == kMonoChannelMode ? 1 : 2;
    // A VBR stream shows its average; a constant one (an "Info" header frame included) the
    // first frame's bitrate.
    facts.vbr = info.IsVbr();
    facts.bitrateKbps = facts.vbr ? info.avgBitrate : info.header.bitrateKbps;
    return true;
}

}  // namespace

bool AudioFileInspector::Inspect(const std::string& path, MergeFileFacts& facts,
                                 UserMessage& failure) {
    facts = MergeFileFacts{};
    auto known = audio::AudioTypeFromExtension(path);
    bool mpeg = false;
    if (!known || *known == audio::AudioType::Mpeg)
        mpeg = InspectMpeg(path, legacyCodePage_, facts);
    if (!mpeg) {
        audio::AudioFileInfo info;
        audio::OpenError error = audio::ReadAudioFileInfo(path, info);
        if (error != audio::OpenError::None || info.durationMs == 0) {
            failure = audio::OpenErrorMessage(path, error);
            return false;
        }
        facts.audioType = info.type;
        facts.durationMs = info.durationMs;
        facts.fileSize = info.fileSize;
        facts.sampleRate = info.sampleRate;
        facts.channels = info.channels;
        facts.channelMode = -1;
        if (info.type == audio::AudioType::Wma && info.hasWmaTags) {
            facts.bitrateKbps = info.wmaBitrateKbps;
            facts.vbr = info.wmaVbr;
        } else {
            facts.bitrateKbps = info.averageBitrateKbps;
        }
    }

    facts.tagsRead = ReadTags(path, legacyCodePage_, facts.tags);
    return true;
}

}  // namespace partita
