#include "split/split_engine.h"

#include "audio/audio_type.h"
#include "split/file_copy.h"
#include "split/gapless_cut.h"
#include "split/mpeg_cut.h"
#include "split/wav_cut.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

// Analyses an MPEG audio file from the end of its leading ID3v2 tag, whatever the tag's
// version; nullptr when no stream is found.
std::unique_ptr<MpegAnalysis> AnalyseMpeg(const std::string& path) {
    BufferedFile file;
    if (!file.Open(path))
        return nullptr;
    auto info = std::make_unique<MpegAnalysis>();
    if (!info->OpenFile(file, path, LeadingId3v2Size(file)) || !info->streamFound)
        return nullptr;
    return info;
}

// The type by the extension; a file whose extension does not tell is taken for WAV or MPEG
// audio when it reads as one (other formats are not cut, so the audio module is not needed).
audio::AudioType ClassifySource(const std::string& path, const ReadOnlyFile& file) {
    if (auto type = audio::AudioTypeFromExtension(path))
        return *type;
    if (ReadWavLayout(file))
        return audio::AudioType::Wav;
    if (AnalyseMpeg(path))
        return audio::AudioType::Mpeg;
    return audio::AudioType::Unknown;
}

TagInfo Id3Record(const TagTexts& tags) {
    return {true,      true,         tags.title, tags.artist, tags.album,
            tags.year, tags.comment, tags.track, tags.genre};
}

// The source's frames for sample-accurate cuts, walked once; null for a source that is not
// Layer III.
const SampleAccurateSource* SampleAccurateFrames(SplitSource& source, BufferedFile& file) {
    if (!source.sampleAccurate && source.mpeg) {
        if (auto prepared = PrepareSampleAccurate(*source.mpeg, file))
            source.sampleAccurate = std::make_shared<SampleAccurateSource>(std::move(*prepared));
    }
    return source.sampleAccurate.get();
}

}  // namespace

bool FrameModeInForce(const MpegAnalysis& info, SplitMode mode) {
    return mode == SplitMode::Frame || (mode == SplitMode::Auto && info.IsVbr());
}

SplitSource PrepareSource(const std::string& path, SplitMode mode,
                          const PrepareProgress& progress) {
    SplitSource source;
    source.path = path;
    ReadOnlyFile file(path);
    if (!file.IsOpen())
        return source;
    source.fileLength = file.Size();
    source.audioType = ClassifySource(path, file);
    if (source.audioType == audio::AudioType::Wav) {
        source.wav = ReadWavLayout(file);
        if (source.wav)
            source.durationMs = source.wav->DurationMs();
    } else if (source.audioType == audio::AudioType::Mpeg) {
        source.mpeg = AnalyseMpeg(path);
        if (source.mpeg) {
            source.frameMode = FrameModeInForce(*source.mpeg, mode);
            // Without its index a frame-mode source is cut by the bitrate.
            FrameIndexProgress told;
            if (progress) {
                told = [&](int percent) {
                    source.cancelled = source.cancelled || !progress(percent);
                    return !source.cancelled;
                };
            }
            if (source.frameMode && !source.mpeg->EnsureFrameIndex(told))
                source.frameMode = false;
            if (source.cancelled)
                return source;
            if (source.frameMode && source.mpeg->indexBuilt) {
                // The frames are counted: the duration is exact, not the VBR header's estimate.
                BufferedFile frames;
                if (frames.Open(path))
                    source.mpeg->durationMs = CountedDurationMs(*source.mpeg, frames);
            }
            source.durationMs = source.mpeg->durationMs;
        }
    }
    return source;
}

namespace {

// The snapped range of a cut that maps its times by the bitrate or through the index.
std::optional<ByteRange> PlainMpegRange(MpegAnalysis& info, BufferedFile& file, bool frameMode,
                                        std::uint64_t startMs, std::uint64_t endMs) {
    ByteRange offsets = MpegTrackOffsets(info, file, startMs, endMs, !frameMode);
    return SnappedRange(info, file, offsets.begin, offsets.end);
}

}  // namespace

std::optional<ByteRange> MpegTrackRange(SplitSource& source, std::uint64_t startMs,
                                        std::uint64_t endMs, bool sampleAccurate) {
    if (!source.mpeg || startMs > endMs)
        return std::nullopt;
    BufferedFile file;
    if (!file.Open(source.path))
        return std::nullopt;
    if (const SampleAccurateSource* frames =
            sampleAccurate ? SampleAccurateFrames(source, file) : nullptr) {
        if (auto piece = SampleAccuratePiece(*source.mpeg, *frames, file, startMs, endMs))
            return piece->range;
    }
    return PlainMpegRange(*source.mpeg, file, source.frameMode, startMs, endMs);
}

std::optional<ByteRange> TrackByteRange(const SplitSource& source, std::uint64_t startMs,
                                        std::uint64_t endMs) {
    if (source.wav)
        return WavTrackRange(source, startMs, endMs);
    if (!source.mpeg || startMs > endMs)
        return std::nullopt;
    BufferedFile file;
    if (!file.Open(source.path))
        return std::nullopt;
    // Mapping reads the analysis as it walks; a copy leaves the shared one untouched (the
    // sparse index is small).
    MpegAnalysis info = *source.mpeg;
    return PlainMpegRange(info, file, source.frameMode, startMs, endMs);
}

SourceFormat FormatOf(const SplitSource& source) {
    SourceFormat format;
    format.type = source.audioType;
    if (source.mpeg) {
        const MpegAnalysis& info = *source.mpeg;
        format.version = info.header.version;
        format.layer = info.header.layer;
        format.sampleRate = info.header.sampleRate;
        format.channelMode = info.header.channelMode;
        format.vbrHeader = info.IsVbr() ? info.vbrType : VbrHeaderType::None;
        format.bitrateKbps = info.IsVbr() ? info.avgBitrate : info.header.bitrateKbps;
    } else if (source.wav) {
        format.sampleRate = static_cast<int>(source.wav->sampleRate);
        format.bitsPerSample = source.wav->bitsPerSample;
        format.channels = source.wav->channels;
    }
    return format;
}

CutOutcome CutMpegTrack(SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                        std::uint64_t endMs, const TagTexts& tags, bool writeVbrHeader,
                        const std::string& codePage, ByteRange* copied, ExistingOutput existing) {
    if (!source.mpeg || startMs > endMs)
        return CutOutcome::Failed;
    MpegCutOptions options;
    options.noIndex = !source.frameMode;
    options.writeVbrHeader = writeVbrHeader;
    options.codePage = codePage;
    options.existing = existing;
    BufferedFile file;
    if (!file.Open(source.path))
        return CutOutcome::Failed;
    ByteRange offsets = MpegTrackOffsets(*source.mpeg, file, startMs, endMs, options.noIndex);
    return CutByOffset(*source.mpeg, outPath, startMs, offsets.begin, endMs, offsets.end, options,
                       Id3Record(tags), copied);
}

CutOutcome CutMpegTrackSampleAccurate(SplitSource& source, const std::string& outPath,
                                      std::uint64_t startMs, std::uint64_t endMs,
                                      const TagTexts& tags, bool writeVbrHeader,
                                      const std::string& codePage, ByteRange* copied,
                                      ExistingOutput existing) {
    if (!source.mpeg || startMs > endMs)
        return CutOutcome::Failed;
    BufferedFile file;
    ReadOnlyFile in(source.path);
    if (!file.Open(source.path) || !in.IsOpen() || in.Size() != source.mpeg->fileLength)
        return CutOutcome::Failed;  // gone, or changed since it was analysed
    const SampleAccurateSource* frames = SampleAccurateFrames(source, file);
    std::optional<PieceLayout> piece =
        frames ? SampleAccuratePiece(*source.mpeg, *frames, file, startMs, endMs) : std::nullopt;
    if (!piece)
        return CutMpegTrack(source, outPath, startMs, endMs, tags, writeVbrHeader, codePage, copied,
                            existing);
    return WritePiece(in, outPath, *piece, Id3Record(tags), codePage, copied, existing);
}

std::optional<ByteRange> WavTrackRange(const SplitSource& source, std::uint64_t startMs,
                                       std::uint64_t endMs) {
    if (!source.wav || startMs > endMs)
        return std::nullopt;
    return WavSampleRange(*source.wav, startMs, endMs);
}

CutOutcome CutWavTrack(const SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                       std::uint64_t endMs, ByteRange* copied, ExistingOutput existing) {
    if (!source.wav || startMs > endMs || source.durationMs == 0)
        return CutOutcome::Failed;
    return CutWav(source.path, *source.wav, outPath, startMs, endMs, copied, existing);
}

namespace {

class PreparedFileSource : public PreparedSource {
  public:
    PreparedFileSource(SplitSource source, const CutOptions& options,
                       const OutputTagWriter& tagWriter)
        : source_(std::move(source)), options_(options), tagWriter_(tagWriter) {
        ReadOnlyFile probe(source_.path);
        readable_ = probe.IsOpen() && !source_.cancelled;
    }

    audio::AudioType AudioType() const override { return source_.audioType; }
    std::uint64_t DurationMs() const override { return source_.durationMs; }
    bool Readable() const override { return readable_; }

    std::optional<ByteRange> Plan(std::uint64_t startMs, std::uint64_t endMs) override {
        if (source_.audioType == audio::AudioType::Wav)
            return WavTrackRange(source_, startMs, endMs);
        if (source_.audioType == audio::AudioType::Mpeg)
            return MpegTrackRange(source_, startMs, endMs, options_.sampleAccurate);
        return std::nullopt;
    }

    CutOutcome Cut(const std::string& outPath, std::uint64_t startMs, std::uint64_t endMs,
                   const TagTexts& tags, ExistingOutput existing, ByteRange* copied) override {
        if (source_.audioType == audio::AudioType::Wav)
            return CutWavTrack(source_, outPath, startMs, endMs, copied, existing);
        if (source_.audioType == audio::AudioType::Mpeg) {
            if (options_.sampleAccurate) {
                return CutMpegTrackSampleAccurate(source_, outPath, startMs, endMs, tags,
                                                  options_.writeVbrHeader, options_.codePage,
                                                  copied, existing);
            }
            return CutMpegTrack(source_, outPath, startMs, endMs, tags, options_.writeVbrHeader,
                                options_.codePage, copied, existing);
        }
        return CutOutcome::NotCut;
    }

    bool WriteTags(const std::string& outPath, const TagTexts& tags) override {
        if (source_.audioType != audio::AudioType::Wav || !tagWriter_)
            return true;
        return tagWriter_(outPath, tags);
    }

  private:
    SplitSource source_;
    CutOptions options_;
    const OutputTagWriter& tagWriter_;
    bool readable_ = false;
};

}  // namespace

FileTrackCutter::FileTrackCutter(OutputTagWriter tagWriter) : tagWriter_(std::move(tagWriter)) {
    if (!tagWriter_) {
        tagWriter_ = [](const std::string& path, const TagTexts& tags) {
            return WriteNonMpegTags(path, tags);
        };
    }
}

std::unique_ptr<PreparedSource> FileTrackCutter::Prepare(const std::string& path, SplitMode mode,
                                                         const CutOptions& options,
                                                         const PrepareProgress& progress) {
    return std::make_unique<PreparedFileSource>(PrepareSource(path, mode, progress), options,
                                                tagWriter_);
}

}  // namespace partita
