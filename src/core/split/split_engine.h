#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "audio/audio_type.h"
#include "mpeg/mpeg_analysis.h"
#include "split/split_row.h"
#include "split/track_cutter.h"
#include "split/wav_layout.h"

namespace partita {

struct SampleAccurateSource;

// A source prepared for cutting: analysed once, then cut track by track.
struct SplitSource {
    std::string path;
    audio::AudioType audioType = audio::AudioType::Unknown;
    std::uint64_t fileLength = 0;
    std::uint64_t durationMs = 0;        // 0 when the type is unknown or the analysis failed
    bool frameMode = false;              // times map frame by frame rather than by the bitrate
    bool cancelled = false;              // the progress callback stopped the frame index
    std::unique_ptr<MpegAnalysis> mpeg;  // MPEG audio: the analysis (and frame index)
    std::optional<WavLayout> wav;        // WAV: where the samples lie
    // Layer III: every frame, walked when the first sample-accurate cut needs them.
    std::shared_ptr<const SampleAccurateSource> sampleAccurate;
};

// Whether cuts of an MPEG file map times through the frame index: in frame mode, or in auto mode
// for a VBR stream.
bool FrameModeInForce(const MpegAnalysis& info, SplitMode mode);

// Classifies and analyses a source. `mode` decides, for MPEG audio, how times are mapped; a
// frame index built for frame mode reports to `progress`, which may stop it (`cancelled`).
SplitSource PrepareSource(const std::string& path, SplitMode mode,
                          const PrepareProgress& progress = {});

// The format facts of a prepared MPEG or WAV source.
SourceFormat FormatOf(const SplitSource& source);

// The source bytes a track would be cut from (not sample-accurate), for the size the
// information line shows; nullopt for a source that is not cut.
std::optional<ByteRange> TrackByteRange(const SplitSource& source, std::uint64_t startMs,
                                        std::uint64_t endMs);

// Cuts [startMs, endMs) of an MPEG source into `outPath` (see mpeg_cut.h), the times mapped
// frame by frame in frame mode, by the bitrate otherwise. A track that holds no frame of the
// source (one past the end of a source that shrank) fails. `existing`: see OutputFile.
CutOutcome CutMpegTrack(SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                        std::uint64_t endMs, const TagTexts& tags, bool writeVbrHeader,
                        const std::string& codePage, ByteRange* copied = nullptr,
                        ExistingOutput existing = ExistingOutput::Replace);
// Cuts [startMs, endMs) of a Layer III source so that a gapless decoder plays exactly those
// samples (see gapless_cut.h); it always has a header frame. A source of another layer is cut
// as by CutMpegTrack.
CutOutcome CutMpegTrackSampleAccurate(SplitSource& source, const std::string& outPath,
                                      std::uint64_t startMs, std::uint64_t endMs,
                                      const TagTexts& tags, bool writeVbrHeader,
                                      const std::string& codePage, ByteRange* copied = nullptr,
                                      ExistingOutput existing = ExistingOutput::Replace);
// The source bytes CutMpegTrack (or CutMpegTrackSampleAccurate) would copy.
std::optional<ByteRange> MpegTrackRange(SplitSource& source, std::uint64_t startMs,
                                        std::uint64_t endMs, bool sampleAccurate = false);

// Cuts [startMs, endMs) of a WAV source into `outPath` (see wav_cut.h). A track without
// samples fails, as for MPEG sources.
CutOutcome CutWavTrack(const SplitSource& source, const std::string& outPath, std::uint64_t startMs,
                       std::uint64_t endMs, ByteRange* copied = nullptr,
                       ExistingOutput existing = ExistingOutput::Replace);
// The bytes CutWavTrack would copy.
std::optional<ByteRange> WavTrackRange(const SplitSource& source, std::uint64_t startMs,
                                       std::uint64_t endMs);

// Writes the tags of a non-MPEG output; true when done.
using OutputTagWriter = std::function<bool(const std::string& path, const TagTexts& tags)>;

// The engine the split job uses on real files.
class FileTrackCutter : public TrackCutter {
  public:
    // `tagWriter` writes the tags of WAV outputs (by default the non-MPEG tag writer: an ID3v2
    // chunk and a RIFF INFO list).
    explicit FileTrackCutter(OutputTagWriter tagWriter = {});

    std::unique_ptr<PreparedSource> Prepare(const std::string& path, SplitMode mode,
                                            const CutOptions& options,
                                            const PrepareProgress& progress = {}) override;

  private:
    OutputTagWriter tagWriter_;
};

}  // namespace partita
