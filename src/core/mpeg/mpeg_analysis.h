#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mpeg/buffered_file.h"
#include "mpeg/frame_header.h"
#include "mpeg/vbr_header.h"

namespace partita {

// One point of the frame index: a frame boundary and the time up to it.
struct FrameIndexEntry {
    double elapsedMs = 0;          // from the first indexed frame to the end of this frame
    std::int32_t frameNumber = 0;  // frames up to and including this one (1-based count)
    std::uint64_t endOffset = 0;   // file offset just past this frame

    bool operator==(const FrameIndexEntry&) const = default;
};

// Told the share of the frame index built so far (0-100), now and then during the build.
// Returns false to stop the build (the host has already asked the user to confirm).
using FrameIndexProgress = std::function<bool(int percent)>;

// The analysis of one MPEG audio file: where its frames begin (past an ID3v2 tag and a Xing,
// Info or VBRI header frame), frame count, duration, average bitrate, its ID3v1 tag, its VBR
// header, and an optional sparse frame index that maps times to frame boundaries exactly.
//
// Two ways in: Open looks only at the first frames and the end of the file (its tags and last
// frames) and derives the rest from the first header or the VBR header (fast; what cutting and
// joining need); Analyse walks every frame (exact counts).
//
// Frame searches look at one 4-byte word per byte and give up after a read budget per search:
// 100 000 words, or a quarter of the file length for files of 1 000 000 bytes or more. A stream
// counts as found only after four frames of it in a row (fewer where the audio ends sooner), and
// files of other formats (WAVE, Ogg, FLAC, MP4, executables, ...) are not searched at all.
class MpegAnalysis {
  public:
    // With a path, runs Analyse on it. ID3v1 texts are read in `legacyCodePage`.
    explicit MpegAnalysis(const std::string& path = {}, std::string legacyCodePage = "ISO-8859-1");
    virtual ~MpegAnalysis();
    MpegAnalysis(const MpegAnalysis&) = default;
    MpegAnalysis& operator=(const MpegAnalysis&) = default;
    MpegAnalysis(MpegAnalysis&&) = default;
    MpegAnalysis& operator=(MpegAnalysis&&) = default;

    // Clears every result and frees the index; the code page stays.
    void Reset();

    // Full walk over every frame; only ".mp3" files. False for another extension or an
    // unopenable file; true otherwise, with streamFound telling whether a plausible stream was
    // found.
    bool Analyse(const std::string& path);
    // The same on an open file, whatever its name.
    bool AnalyseFile(BufferedFile& file, const std::string& path);

    // Header-based analysis of ".mp3", ".mp2", ".mp1" or ".mpa" files. The first frame is
    // searched from `startOffset` when 0 < startOffset < file length, else just past a leading
    // ID3v2 tag (loaders pass 0: the first frame comes out as from the audio data's start).
    // With buildIndex, a file with a VBR header frame gets its frame index at once.
    // False for another extension or an unopenable file; callers test streamFound as well.
    bool Open(const std::string& path, std::uint64_t startOffset = 0, bool buildIndex = false,
              const FrameIndexProgress& progress = {});
    // The same on an open file, whatever its name; `path` is kept for later reads.
    bool OpenFile(BufferedFile& file, const std::string& path, std::uint64_t startOffset = 0,
                  bool buildIndex = false, const FrameIndexProgress& progress = {});

    // Frame search from the file's position: the first frame that `framesInARow` - 1 following
    // frames of the same stream confirm, each where the one before ends (or where half of it
    // ends, one byte either way). The run may be shorter where the audio ends: a frame that ends
    // just at the end of the audio needs none after it, and after one confirming frame the end
    // of the file ends the run. The frame after a VBR header frame needs no confirmation. A
    // Xing, Info or VBRI header frame on the way is recorded in the vbr fields and skipped. On
    // success the file is positioned at the frame.
    static constexpr int kFramesInARow = 4;
    bool FindFirstFrame(BufferedFile& file, std::uint32_t& headerWord, std::uint64_t& position,
                        int framesInARow = kFramesInARow);
    // Moves `skip` bytes forward, then finds the next header of the first frame's stream; on
    // success the file is positioned one byte past the header's start. Walking frames: after a
    // frame of length L, FindNextFrame(file, word, L - 4) finds the next one.
    bool FindNextFrame(BufferedFile& file, std::uint32_t& headerWord, std::uint64_t skip);
    // The start of the frame at or just after `offset` when it lies within five of its frame
    // lengths, else `offset` unchanged.
    std::uint64_t SnapToFrame(BufferedFile& file, std::uint64_t offset);
    std::uint64_t SnapToFrame(std::uint64_t offset);  // opens `path`

    // Length of a leading ID3v2.3/2.4 tag, header included; 0 when there is none.
    std::uint32_t GetId3v2Size(BufferedFile& file);

    // Whether the frame at `position` carries a Xing/Info or a VBRI header; on success the
    // vbr fields describe it.
    bool ReadXingHeader(BufferedFile& file, std::uint64_t position, const FrameHeaderInfo& header);
    bool ReadVbriHeader(BufferedFile& file, std::uint64_t position);

    // The VBR header's frame count when there is a header frame, else the estimate of Open.
    std::uint32_t GetFrameCount() const {
        return vbrType != VbrHeaderType::None ? vbrFrames : frameCount;
    }
    // Whether the stream has a variable bitrate: a Xing or VBRI header. A LAME "Info" header
    // frame (vbrType 1 as well) marks a constant-bitrate stream: it is skipped, copied and
    // patched like a Xing frame, but bitrates and the split mode treat the file as CBR.
    bool IsVbr() const {
        return vbrType == VbrHeaderType::Vbri ||
               (vbrType == VbrHeaderType::Xing && vbrTag != "Info");
    }
    // Builds the sparse index from the file's position: one entry at the first frame boundary
    // past every 2 MiB (5 MiB for files over 800 MiB). Only files with a VBR header frame; false
    // without one or when `progress` stops the build (the index is then dropped).
    bool BuildFrameIndex(BufferedFile& file, const FrameIndexProgress& progress = {});
    // Builds the index once, from the first audio frame of `path`; true at once when it exists
    // or the file has no VBR header frame.
    bool EnsureFrameIndex(const FrameIndexProgress& progress = {});

    // The frame boundary at or just after `ms`, found from the nearest index entry by walking
    // frames (an entry within 10 ms is taken as it is). Without a VBR header frame the offset
    // comes from the first header's bitrate. The first overload opens `path`.
    FrameIndexEntry LocateTime(std::uint64_t ms);
    FrameIndexEntry LocateTime(std::uint64_t ms, BufferedFile& file);

    // The byte offset of a time. With refDurationMs > 0 the time is on that time scale and is
    // mapped onto this file's duration. The index is used unless noIndex; otherwise the mapping
    // is linear by the average (VBR) or first header's bitrate.
    std::uint64_t TimeToOffset(std::uint64_t ms, std::uint64_t refDurationMs, bool noIndex);

    // Whether a full walk's result fits the file: bitrate × duration (bytes, in 64 bits) below
    // 1.5 × the file size.
    static bool IsPlausibleScan(std::uint64_t ms, std::uint64_t meanKbps, std::uint64_t fileSize);

    // The search budget of one frame search for this file.
    std::uint64_t ScanBudget() const;

    // Results. Offsets and sizes are bytes from the start of the file.
    std::string legacyCodePage;  // code page of ID3v1 texts (setting "Legacy Code Page")
    int indexBuilt = 0;
    std::string path;
    bool hasId3v1 = false;
    bool streamFound = false;
    std::uint64_t fileLength = 0;  // set by Open only
    // Where the tags at the end of the file begin (ID3v1, and APEv2, Lyrics3 or ID3v2 tags
    // before it), and where the audio ends: there, or at the start of a last frame that the
    // end cuts short. Without a stream both are the tags' start.
    std::uint64_t tagsStart = 0;
    std::uint64_t audioEnd = 0;
    std::string artist, title, album, comment, year;
    int track = 0;
    int genre = 255;
    std::uint32_t firstHeader = 0;    // header word of the first audio frame (Open)
    FrameHeaderInfo header;           // decoded first audio frame
    std::uint32_t scannedFrames = 0;  // counted by Analyse
    std::uint32_t frameCount = 0;     // estimated by Open: audio bytes / frame length
    std::uint64_t durationMs = 0;
    double avgBitrate = 0;  // kbit/s: VBR streams after Open, plausible streams after Analyse
    std::vector<FrameIndexEntry> index;
    std::array<std::uint8_t, 128> id3v1Raw{};
    std::uint64_t vbrFramePos = 0;  // frame with the VBR header; dataStart when there is none
    std::uint64_t dataStart = 0;    // first audio frame (after the VBR header frame)
    std::uint64_t vbrTagPos = 0;    // the tag bytes "Xing", "Info" or "VBRI"
    VbrHeaderType vbrType = VbrHeaderType::None;
    std::string vbrTag;           // "Xing", "Info", "VBRI" or empty
    std::uint32_t vbrFrames = 0;  // frame count of the VBR header
    std::uint32_t vbrFrameHeader = 0;

    std::size_t indexCount() const { return index.size(); }

  private:
    enum class Run { Holds, Broken, FileEnds };
    // Whether frames of the stream of `word` follow the frame at `at` until `frames` in all.
    Run FramesFollow(BufferedFile& file, std::uint64_t at, std::uint32_t word, int frames) const;
    // The end of the audio: `tagsStart`, or the start of a last frame that runs past it.
    std::uint64_t WholeFramesEnd(BufferedFile& file) const;
    // Keeps the facts of a VBR header frame found at `framePos`.
    void RecordVbrTag(std::uint64_t framePos, std::uint64_t tagPos, const VbrTag& tag);
    void ReadId3v1(BufferedFile& file, std::uint64_t length);
    // Answers LocateTime from the index alone when it can (true); else `point` is the index
    // entry (or the first audio frame) to walk from.
    bool LocateWithoutFile(std::uint64_t ms, FrameIndexEntry& point) const;
    FrameIndexEntry WalkToTime(BufferedFile& file, std::uint64_t ms, FrameIndexEntry point);
};

}  // namespace partita
