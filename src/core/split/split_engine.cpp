#include "split/split_engine.h"

#include <algorithm>
#include <cstdio>

#include "app/output_file.h"
#include "app/setting_values.h"
#include "audio/audio_type.h"
#include "split/file_copy.h"
#include "split/gapless_cut.h"
#include "split/mpeg_cut.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

// Analyses an MPEG audio file from the end of its leading ID3v2 tag, whatever the tag's
// version; nullptr when no stream is found.
std::unique_ptr<CMP3Info> AnalyseMpeg(const std::string& path) {
    BufferedFile file;
    if (!file.Open(path))
        return nullptr;
    auto info = std::make_unique<CMP3Info>();
    if (!info->OpenFile(file, path, LeadingId3v2Size(file)) || !info->streamFound)
        return nullptr;
    return info;
}

// The type by the extension; a file whose extension does not tell is taken for WAV or MPEG
// audio when it reads as one (other formats are not cut, so the audio module is not needed).
int ClassifySource(const std::string& path, const ReadOnlyFile& file) {
    if (auto type = audio::AudioTypeFromExtension(path))
        return audio::ToInt(*type);
    if (ReadWavLayout(file))
        return kAudioWav;
    if (AnalyseMpeg(path))
        return kAudioMpeg;
    return kAudioUnknown;
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteAt(std::FILE* out, std::uint64_t offset, const void* data, std::size_t size) {
    return ::fseeko(out, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fwrite(data, 1, size, out) == size;
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

bool WriteLe32At(std::FILE* out, std::uint64_t offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    PutLe32(bytes, value);
    return WriteAt(out, offset, bytes, 4);
}

bool WriteLe64At(std::FILE* out, std::uint64_t offset, std::uint64_t value) {
    std::uint8_t bytes[8];
    PutLe32(bytes, static_cast<std::uint32_t>(value));
    PutLe32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
    return WriteAt(out, offset, bytes, 8);
}

// Fixes the sizes of a WAV output whose samples are `dataBytes` long (a pad byte follows an odd
// count).
bool PatchWavSizes(std::FILE* out, const WavLayout& layout, std::uint64_t dataBytes) {
    const std::uint64_t riffSize = layout.dataStart + dataBytes + (dataBytes & 1) - 8;
    const std::uint64_t frames = dataBytes / layout.blockAlign;
    if (layout.rf64) {
        if (layout.ds64Pos != 0 && (!WriteLe64At(out, layout.ds64Pos, riffSize) ||
                                    !WriteLe64At(out, layout.ds64Pos + 8, dataBytes) ||
                                    !WriteLe64At(out, layout.ds64Pos + 16, frames))) {
            return false;
        }
    } else {
        if (riffSize > 0xFFFFFFFF)
            return false;  // more than a RIFF file can describe
        if (!WriteLe32At(out, 4, static_cast<std::uint32_t>(riffSize)) ||
            !WriteLe32At(out, layout.dataStart - 4, static_cast<std::uint32_t>(dataBytes))) {
            return false;
        }
    }
    if (layout.factPos != 0 && frames <= 0xFFFFFFFF &&
        !WriteLe32At(out, layout.factPos, static_cast<std::uint32_t>(frames))) {
        return false;
    }
    return std::fseek(out, 0, SEEK_END) == 0;
}

}  // namespace

SplitSource PrepareSource(const std::string& path, SplitMode mode) {
    SplitSource source;
    source.path = path;
    ReadOnlyFile file(path);
    if (!file.IsOpen())
        return source;
    source.fileLength = file.Size();
    source.audioType = ClassifySource(path, file);
    if (source.audioType == kAudioWav) {
        source.wav = ReadWavLayout(file);
        if (source.wav)
            source.durationMs = source.wav->DurationMs();
    } else if (source.audioType == kAudioMpeg) {
        source.mpeg = AnalyseMpeg(path);
        if (source.mpeg) {
            source.frameMode = source.mpeg->FrameModeInForce(static_cast<int>(mode));
            // Without its index a frame-mode source is cut by the bitrate.
            if (source.frameMode && !source.mpeg->EnsureFrameIndex())
                source.frameMode = false;
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
    ByteRange offsets = MpegTrackOffsets(*source.mpeg, file, startMs, endMs, !source.frameMode);
    return SnappedRange(*source.mpeg, file, offsets.begin, offsets.end);
}

CutOutcome CutMpegTrack(SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                        std::uint64_t endMs, const TagTexts& tags, bool writeVbrHeader,
                        const std::string& codePage, ByteRange* copied) {
    if (!source.mpeg || startMs > endMs)
        return CutOutcome::Failed;
    MpegCutOptions options;
    options.noIndex = !source.frameMode;
    options.writeVbrHeader = writeVbrHeader;
    options.codePage = codePage;
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
                                      const std::string& codePage, ByteRange* copied) {
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
        return CutMpegTrack(source, outPath, startMs, endMs, tags, writeVbrHeader, codePage,
                            copied);
    return WritePiece(in, outPath, *piece, Id3Record(tags), codePage, copied);
}

std::optional<ByteRange> WavTrackRange(const SplitSource& source, std::uint64_t startMs,
                                       std::uint64_t endMs) {
    if (!source.wav || startMs > endMs)
        return std::nullopt;
    const WavLayout& wav = *source.wav;
    return ByteRange{wav.dataStart + wav.DataOffsetOf(startMs),
                     wav.dataStart + wav.DataOffsetOf(endMs)};
}

CutOutcome CutWavTrack(const SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                       std::uint64_t endMs, ByteRange* copied) {
    std::optional<ByteRange> range = WavTrackRange(source, startMs, endMs);
    if (!range || source.durationMs == 0)
        return CutOutcome::Failed;
    ReadOnlyFile in(source.path);
    std::optional<WavLayout> now = in.IsOpen() ? ReadWavLayout(in) : std::nullopt;
    if (!now || now->dataStart != source.wav->dataStart)
        return CutOutcome::Failed;  // the file changed since it was prepared
    OutputFile out;
    if (!out.Open(outPath))
        return CutOutcome::Failed;
    const std::uint64_t dataBytes = range->end - range->begin;
    const std::uint8_t pad = 0;
    bool ok = AppendFileRange(in, 0, source.wav->dataStart, out.Stream()) &&
              AppendFileRange(in, range->begin, range->end, out.Stream()) &&
              ((dataBytes & 1) == 0 || out.Write(&pad, 1)) &&
              PatchWavSizes(out.Stream(), *source.wav, dataBytes) && out.Commit();
    if (!ok)
        return CutOutcome::Failed;
    if (copied)
        *copied = *range;
    return CutOutcome::Written;
}

namespace {

class PreparedFileSource : public PreparedSource {
  public:
    PreparedFileSource(SplitSource source, SettingsStore& settings,
                       const OutputTagWriter& tagWriter)
        : source_(std::move(source)), settings_(settings), tagWriter_(tagWriter) {
        ReadOnlyFile probe(source_.path);
        readable_ = probe.IsOpen();
    }

    int AudioType() const override { return source_.audioType; }
    std::uint64_t DurationMs() const override { return source_.durationMs; }
    bool Readable() const override { return readable_; }

    std::optional<ByteRange> Plan(std::uint64_t startMs, std::uint64_t endMs) override {
        if (source_.audioType == kAudioWav)
            return WavTrackRange(source_, startMs, endMs);
        if (source_.audioType == kAudioMpeg)
            return MpegTrackRange(source_, startMs, endMs,
                                  settings::SampleAccurate.Read(settings_) != 0);
        return std::nullopt;
    }

    CutOutcome Cut(const std::string& outPath, std::uint64_t startMs, std::uint64_t endMs,
                   const TagTexts& tags, ByteRange* copied) override {
        if (source_.audioType == kAudioWav)
            return CutWavTrack(source_, outPath, startMs, endMs, copied);
        if (source_.audioType == kAudioMpeg) {
            // Read for every track, as a change between two tracks takes effect at once.
            bool writeVbrHeader = settings::WriteVbrHeader.Read(settings_) != 0;
            const std::string codePage = settings::LegacyCodePage.Read(settings_);
            if (settings::SampleAccurate.Read(settings_) != 0) {
                return CutMpegTrackSampleAccurate(source_, outPath, startMs, endMs, tags,
                                                  writeVbrHeader, codePage, copied);
            }
            return CutMpegTrack(source_, outPath, startMs, endMs, tags, writeVbrHeader, codePage,
                                copied);
        }
        return CutOutcome::NotCut;
    }

    bool WriteTags(const std::string& outPath, const TagTexts& tags) override {
        if (source_.audioType != kAudioWav || !tagWriter_)
            return true;
        return tagWriter_(outPath, tags);
    }

  private:
    SplitSource source_;
    SettingsStore& settings_;
    const OutputTagWriter& tagWriter_;
    bool readable_ = false;
};

}  // namespace

FileTrackCutter::FileTrackCutter(SettingsStore& settings, OutputTagWriter tagWriter)
    : settings_(settings), tagWriter_(std::move(tagWriter)) {
    if (!tagWriter_) {
        tagWriter_ = [](const std::string& path, const TagTexts& tags) {
            return WriteNonMpegTags(path, tags);
        };
    }
}

std::unique_ptr<PreparedSource> FileTrackCutter::Prepare(const std::string& path, SplitMode mode) {
    return std::make_unique<PreparedFileSource>(PrepareSource(path, mode), settings_, tagWriter_);
}

}  // namespace partita
