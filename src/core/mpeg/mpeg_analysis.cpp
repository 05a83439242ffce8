#include "mpeg/mpeg_analysis.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

#include "mpeg/frame_table.h"
#include "mpeg/other_formats.h"
#include "mpeg/tag_bounds.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

// Index entries are this far apart; files over 800 MiB use the larger step.
constexpr std::uint64_t kIndexStep = 2'097'152;
constexpr std::uint64_t kLargeIndexStep = 5'242'880;
constexpr std::uint64_t kLargeFile = 838'860'800;
// A time within this many ms of an index entry is that entry.
constexpr double kIndexTolerance = 10.0;
// How often (in frames) a running index build asks whether to go on.
constexpr std::uint32_t kProgressPollFrames = 4096;
// The end of a stream is walked over this many bytes to find a last frame cut short.
constexpr std::uint64_t kTailWalk = 64 * 1024;

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// A non-negative real cut to an integer; NaN and negatives give 0, huge values the maximum.
template <typename T>
T Truncate(double value) {
    if (!(value > 0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}

}  // namespace

MpegAnalysis::MpegAnalysis(const std::string& filePath, std::string codePage)
    : legacyCodePage(std::move(codePage)) {
    Reset();
    if (!filePath.empty())
        Analyse(filePath);
}

MpegAnalysis::~MpegAnalysis() = default;

void MpegAnalysis::Reset() {
    indexBuilt = 0;
    path.clear();
    hasId3v1 = false;
    streamFound = false;
    fileLength = 0;
    tagsStart = 0;
    audioEnd = 0;
    artist.clear();
    title.clear();
    album.clear();
    comment.clear();
    year.clear();
    track = 0;
    genre = 255;
    firstHeader = 0;
    header = FrameHeaderInfo{};
    scannedFrames = 0;
    frameCount = 0;
    durationMs = 0;
    avgBitrate = 0;
    index.clear();
    index.shrink_to_fit();
    id3v1Raw.fill(0);
    vbrFramePos = 0;
    dataStart = 0;
    vbrTagPos = 0;
    vbrType = VbrHeaderType::None;
    vbrTag.clear();
    vbrFrames = 0;
    vbrFrameHeader = 0;
}

bool MpegAnalysis::IsPlausibleScan(std::uint64_t ms, std::uint64_t meanKbps,
                                   std::uint64_t fileSize) {
    // 64 bits: hours of audio at a high bitrate overflow 32, and a wrapped product would pass
    // any file.
    const std::uint64_t bytes = (ms / 8) * meanKbps;
    return static_cast<double>(bytes) < 1.5 * static_cast<double>(fileSize);
}

std::uint64_t MpegAnalysis::ScanBudget() const {
    return fileLength / 10 < 100'000 ? 100'000 : fileLength / 4;
}

std::uint32_t MpegAnalysis::GetId3v2Size(BufferedFile& file) {
    std::uint8_t head[kId3v2HeaderSize];
    std::size_t got = file.ReadDirect(0, head, sizeof head);
    return Id3v2TagSize(std::span<const std::uint8_t>(head, got), file.Size());
}

bool MpegAnalysis::ReadXingHeader(BufferedFile& file, std::uint64_t position,
                                  const FrameHeaderInfo& frame) {
    const std::uint64_t tagPos = position + XingTagOffset(frame);
    std::uint8_t bytes[kVbrTagBytes];
    if (file.ReadAt(tagPos, bytes, sizeof bytes) != sizeof bytes)
        return false;
    auto tag = ParseXingTag(bytes);
    if (!tag)
        return false;
    RecordVbrTag(position, tagPos, *tag);
    return true;
}

void MpegAnalysis::RecordVbrTag(std::uint64_t framePos, std::uint64_t tagPos, const VbrTag& tag) {
    vbrFramePos = framePos;
    vbrTagPos = tagPos;
    vbrType = tag.type;
    vbrTag = tag.name;
    vbrFrames = tag.frames;
}

bool MpegAnalysis::ReadVbriHeader(BufferedFile& file, std::uint64_t position) {
    const std::uint64_t tagPos = position + kVbriTagOffset;
    std::uint8_t bytes[kVbrTagBytes];
    std::size_t got = file.ReadAt(tagPos, bytes, sizeof bytes);
    auto tag = ParseVbriTag(std::span<const std::uint8_t>(bytes, got));
    if (!tag)
        return false;
    RecordVbrTag(position, tagPos, *tag);
    return true;
}

MpegAnalysis::Run MpegAnalysis::FramesFollow(BufferedFile& file, std::uint64_t at,
                                             std::uint32_t word, int frames) const {
    const std::uint64_t end = tagsStart > 0 ? tagsStart : file.Size();
    std::uint32_t current = word;
    for (int n = 1; n < frames; ++n) {
        const auto length = static_cast<std::uint64_t>(DecodeHeader(current).frameLength);
        if (at + length == end)
            return Run::Holds;  // the last frame of the audio
        // Where the next frame (or, for a frame whose length is off by half, the half) would
        // begin, allowing one byte either way.
        std::optional<std::uint64_t> found;
        for (std::uint64_t divisor : {1u, 2u}) {
            const std::uint64_t next = at + length / divisor;
            for (std::uint64_t q : {next - 1, next, next + 1}) {
                std::uint32_t following = 0;
                if (!file.WordAt(q, following))
                    return n == 1 ? Run::FileEnds : Run::Holds;
                if (IsValidHeader(following) && SameStream(following, word)) {
                    found = q;
                    current = following;
                    break;
                }
            }
            if (found)
                break;
        }
        if (!found)
            return Run::Broken;
        at = *found;
    }
    return Run::Holds;
}

bool MpegAnalysis::FindFirstFrame(BufferedFile& file, std::uint32_t& headerWord,
                                  std::uint64_t& position, int framesInARow) {
    const std::uint64_t budget = ScanBudget();
    std::uint64_t reads = 0;
    std::uint64_t p = file.Tell();
    std::uint32_t word = 0;
    for (;;) {
        if (!file.WordAt(p, word) || ++reads > budget)
            return false;
        if (!IsValidHeader(word)) {
            ++p;
            continue;
        }
        const std::uint64_t candidate = p;
        FrameHeaderInfo frame = DecodeHeader(word);
        if (vbrType != VbrHeaderType::None) {
            // The frame after a VBR header frame is taken as it is when it has the header
            // frame's sync, version and layer.
            if (SameLayer(word, vbrFrameHeader)) {
                file.Seek(candidate);
                headerWord = word;
                position = candidate;
                return true;
            }
            p = candidate + 1;
            continue;
        }
        if (ReadXingHeader(file, candidate, frame) || ReadVbriHeader(file, candidate)) {
            // The header frame carries no audio: never returned, searched past.
            vbrFrameHeader = word;
            p = vbrTagPos + 1;
            continue;
        }
        switch (FramesFollow(file, candidate, word, framesInARow)) {
            case Run::Holds:
                file.Seek(candidate);
                headerWord = word;
                position = candidate;
                return true;
            case Run::FileEnds:
                return false;
            case Run::Broken:
                break;
        }
        p = candidate + 1;
    }
}

bool MpegAnalysis::FindNextFrame(BufferedFile& file, std::uint32_t& headerWord,
                                 std::uint64_t skip) {
    const std::uint64_t budget = ScanBudget();
    std::uint64_t p = file.Tell() + skip;
    std::uint64_t reads = 0;
    std::uint32_t word = 0;
    const std::uint32_t first = firstHeader;
    for (;;) {
        if (!file.WordAt(p, word) || ++reads > budget) {
            file.Seek(p);
            return false;
        }
        ++p;
        if (SameStream(word, first) && IsValidHeader(word)) {
            file.Seek(p);
            headerWord = word;
            return true;
        }
    }
}

std::uint64_t MpegAnalysis::SnapToFrame(BufferedFile& file, std::uint64_t offset) {
    file.Seek(offset);
    std::uint32_t word = 0;
    if (!FindNextFrame(file, word, 0))
        return offset;
    const std::uint64_t found = file.Tell() - 1;
    FrameHeaderInfo frame = DecodeHeader(word);
    if (frame.bitrateKbps != 0 && frame.sampleRate != 0 &&
        found - offset < 5 * static_cast<std::uint64_t>(frame.frameLength)) {
        return found;
    }
    return offset;
}

std::uint64_t MpegAnalysis::SnapToFrame(std::uint64_t offset) {
    BufferedFile file;
    if (!file.Open(path))
        return offset;
    return SnapToFrame(file, offset);
}

void MpegAnalysis::ReadId3v1(BufferedFile& file, std::uint64_t length) {
    if (length <= kId3v1Size)
        return;
    std::size_t got = file.ReadDirect(length - kId3v1Size, id3v1Raw.data(), id3v1Raw.size());
    if (got != kId3v1Size || !IsId3v1(id3v1Raw))
        return;
    Id3v1Fields fields = ParseId3v1(id3v1Raw, legacyCodePage);
    title = std::move(fields.title);
    artist = std::move(fields.artist);
    album = std::move(fields.album);
    year = std::move(fields.year);
    comment = std::move(fields.comment);
    track = fields.track;
    genre = fields.genre;
    hasId3v1 = true;
}

bool MpegAnalysis::Open(const std::string& filePath, std::uint64_t startOffset, bool buildIndex,
                        const FrameIndexProgress& progress) {
    Reset();
    const std::string ext = LowerExtension(filePath);
    if (ext != ".mp3" && ext != ".mp2" && ext != ".mp1" && ext != ".mpa")
        return false;
    BufferedFile file;
    if (!file.Open(filePath))
        return false;
    return OpenFile(file, filePath, startOffset, buildIndex, progress);
}

bool MpegAnalysis::OpenFile(BufferedFile& file, const std::string& filePath,
                            std::uint64_t startOffset, bool buildIndex,
                            const FrameIndexProgress& progress) {
    Reset();
    fileLength = file.Size();
    const std::uint64_t start =
        startOffset > 0 && startOffset < fileLength ? startOffset : GetId3v2Size(file);
    const std::optional<std::uint64_t> searchFrom = MpegSearchStart(file, start);
    tagsStart = TrailingTagsStart(file, searchFrom.value_or(start));
    audioEnd = tagsStart;

    std::uint32_t word = 0;
    std::uint64_t position = 0;
    file.Seek(searchFrom.value_or(0));
    if (searchFrom && FindFirstFrame(file, word, position)) {
        streamFound = true;
        firstHeader = word;
        header = DecodeHeader(word);
        dataStart = position;
        if (vbrType == VbrHeaderType::None)
            vbrFramePos = position;
        audioEnd = WholeFramesEnd(file);
        if (buildIndex && vbrType != VbrHeaderType::None) {
            file.Seek(dataStart);
            BuildFrameIndex(file, progress);
        }
    }

    ReadId3v1(file, fileLength);
    const double audioBytes =
        static_cast<double>(audioEnd) - static_cast<double>(std::min(dataStart, audioEnd));
    if (header.frameLength != 0)
        frameCount = Truncate<std::uint32_t>(audioBytes / header.frameLength);
    if (IsVbr() && GetFrameCount() != 0) {
        // The inverse of the frame-length rule: bytes per frame to kbit/s (a frame of n samples
        // at b kbit/s and r Hz holds n × 125 × b / r bytes). The frames the header counts are
        // the audio's, so the duration below comes to frames × n / r.
        const double avgFrame = audioBytes / GetFrameCount();
        const double factor = SamplesPerFrame(header) * 125.0;
        avgBitrate = avgFrame * header.sampleRate / factor;
    }
    const double rate = IsVbr() ? avgBitrate : header.bitrateKbps;
    if (rate > 0)
        durationMs = Truncate<std::uint64_t>(audioBytes / rate * 8.0);
    path = filePath;
    return true;
}

bool MpegAnalysis::Analyse(const std::string& filePath) {
    Reset();
    if (LowerExtension(filePath) != ".mp3")
        return false;
    BufferedFile file;
    if (!file.Open(filePath))
        return false;
    return AnalyseFile(file, filePath);
}

bool MpegAnalysis::AnalyseFile(BufferedFile& file, const std::string& filePath) {
    Reset();
    const std::optional<std::uint64_t> searchFrom = MpegSearchStart(file, 0);
    tagsStart = TrailingTagsStart(file, searchFrom.value_or(0));
    audioEnd = tagsStart;
    file.Seek(searchFrom.value_or(0));
    std::uint64_t bitrateSum = 0;
    double totalMs = 0;
    std::uint32_t word = 0;
    std::uint64_t position = 0;
    // The stream is found by a run of frames; every later frame by the one after it (or by
    // ending just where the audio ends).
    while (searchFrom &&
           FindFirstFrame(file, word, position, scannedFrames == 0 ? kFramesInARow : 2)) {
        FrameHeaderInfo frame = DecodeHeader(word);
        if (scannedFrames == 0)
            header = frame;
        if (frame.bitrateKbps > 0)
            bitrateSum += static_cast<std::uint64_t>(frame.bitrateKbps);
        if (frame.sampleRate == 0)
            break;
        // Every frame plays the same number of samples (a time from its length would leave
        // out the padding a VBR encoder never adds).
        totalMs += 1000.0 * SamplesPerFrame(frame) / frame.sampleRate;
        // The next frame where this one ends; only when none is there, a search from 4 bytes
        // before (a false header in those bytes would hide the true one after it).
        const std::uint64_t next = position + static_cast<std::uint64_t>(frame.frameLength);
        std::uint32_t following = 0;
        const bool adjoining =
            file.WordAt(next, following) && IsValidHeader(following) && SameStream(following, word);
        file.Seek(adjoining ? next : next - 4);
        if (scannedFrames == std::numeric_limits<std::uint32_t>::max())
            break;
        ++scannedFrames;
    }
    if (scannedFrames > 0) {
        const std::uint64_t mean = bitrateSum / scannedFrames;
        const std::uint64_t ms = Truncate<std::uint64_t>(totalMs);
        if (IsPlausibleScan(ms, mean, file.Size())) {
            streamFound = true;
            avgBitrate = static_cast<double>(mean);
            durationMs = ms;
        }
    }
    ReadId3v1(file, file.Size());
    path = filePath;
    return true;
}

std::uint64_t MpegAnalysis::WholeFramesEnd(BufferedFile& file) const {
    if (tagsStart <= dataStart)
        return tagsStart;
    // From a frame boundary not far from the end: a header of the stream that the next one
    // confirms.
    std::uint64_t from = dataStart;
    if (tagsStart - dataStart > kTailWalk) {
        from = tagsStart - kTailWalk;
        for (std::uint32_t word = 0, next = 0;; ++from) {
            if (from + 4 > tagsStart)
                return tagsStart;
            if (!file.WordAt(from, word) || !IsValidHeader(word) ||
                !SameStream(word, firstHeader)) {
                continue;
            }
            const auto length = static_cast<std::uint64_t>(DecodeHeader(word).frameLength);
            if (file.WordAt(from + length, next) && IsValidHeader(next) &&
                SameStream(next, firstHeader)) {
                break;
            }
        }
    }
    const FrameTable tail = WalkFrames(file, firstHeader, from, tagsStart);
    return tail.lastCutShort && !tail.starts.empty() ? tail.starts.back() : tagsStart;
}

bool MpegAnalysis::BuildFrameIndex(BufferedFile& file, const FrameIndexProgress& progress) {
    if (indexBuilt)
        return true;
    index.clear();
    if (vbrType == VbrHeaderType::None)
        return false;
    const std::uint64_t step = fileLength > kLargeFile ? kLargeIndexStep : kIndexStep;
    const std::uint64_t capacity = fileLength / step;
    index.reserve(static_cast<std::size_t>(capacity + 1));

    auto stop = [this]() {
        index.clear();
        index.shrink_to_fit();
        return false;
    };
    int percent = 0;
    if (progress && !progress(percent))
        return stop();

    double elapsed = 0;
    std::int32_t count = 0;
    std::uint32_t word = 0;
    std::uint32_t sincePoll = 0;
    FrameHeaderInfo frame;
    bool found = FindNextFrame(file, word, 0);
    while (found) {
        DecodeHeader(word, frame);
        if (frame.sampleRate == 0)
            break;
        elapsed += FrameDurationMs(frame);
        if (count < std::numeric_limits<std::int32_t>::max())
            ++count;
        // The frame ends where the next one begins; the file stands one byte past its start.
        const std::uint64_t end = file.Tell() + static_cast<std::uint64_t>(frame.frameLength) - 1;
        if (end > (index.size() + 1) * step) {
            index.push_back({elapsed, count, end});
            if (capacity > 0)
                percent =
                    static_cast<int>(std::min<std::uint64_t>(index.size() * 100 / capacity, 100));
            if (progress && !progress(percent))
                return stop();
            sincePoll = 0;
        } else if (progress && ++sincePoll >= kProgressPollFrames) {
            sincePoll = 0;
            if (!progress(percent))
                return stop();
        }
        found = FindNextFrame(file, word, static_cast<std::uint64_t>(frame.frameLength) - 4);
    }
    indexBuilt = 1;
    if (progress)
        progress(100);
    return true;
}

bool MpegAnalysis::EnsureFrameIndex(const FrameIndexProgress& progress) {
    if (indexBuilt || vbrType == VbrHeaderType::None)
        return true;
    BufferedFile file;
    if (!file.Open(path))
        return false;
    // From the first audio frame, as Open builds it: the VBR header frame is no audio frame.
    file.Seek(dataStart);
    return BuildFrameIndex(file, progress);
}

bool MpegAnalysis::LocateWithoutFile(std::uint64_t ms, FrameIndexEntry& point) const {
    point = FrameIndexEntry{0, 0, dataStart};
    if (ms == 0)
        return true;
    const double time = static_cast<double>(ms);
    if (vbrType == VbrHeaderType::None) {
        point.elapsedMs = time;
        point.endOffset = Truncate<std::uint64_t>(time * header.bitrateKbps * 0.125 +
                                                  static_cast<double>(dataStart));
        if (header.frameLength != 0)
            point.frameNumber =
                Truncate<std::int32_t>(static_cast<double>(point.endOffset) / header.frameLength);
        return true;
    }
    for (const FrameIndexEntry& entry : index) {
        if (std::abs(entry.elapsedMs - time) < kIndexTolerance) {
            point = entry;
            return true;
        }
        if (entry.elapsedMs > time)
            break;
        point = entry;
    }
    return false;
}

FrameIndexEntry MpegAnalysis::WalkToTime(BufferedFile& file, std::uint64_t ms,
                                         FrameIndexEntry point) {
    const double time = static_cast<double>(ms);
    file.Seek(point.endOffset);
    std::uint32_t word = 0;
    FrameHeaderInfo frame;
    bool found = FindNextFrame(file, word, 0);
    while (found) {
        DecodeHeader(word, frame);
        if (frame.sampleRate == 0)
            break;
        point.elapsedMs += FrameDurationMs(frame);
        if (point.frameNumber < std::numeric_limits<std::int32_t>::max())
            ++point.frameNumber;
        point.endOffset = file.Tell() + static_cast<std::uint64_t>(frame.frameLength) - 1;
        if (time <= point.elapsedMs)
            break;
        found = FindNextFrame(file, word, static_cast<std::uint64_t>(frame.frameLength) - 4);
    }
    return point;
}

FrameIndexEntry MpegAnalysis::LocateTime(std::uint64_t ms) {
    FrameIndexEntry point;
    if (LocateWithoutFile(ms, point))
        return point;
    BufferedFile file;
    if (!file.Open(path))
        return point;
    return WalkToTime(file, ms, point);
}

FrameIndexEntry MpegAnalysis::LocateTime(std::uint64_t ms, BufferedFile& file) {
    FrameIndexEntry point;
    if (LocateWithoutFile(ms, point))
        return point;
    return WalkToTime(file, ms, point);
}

std::uint64_t MpegAnalysis::TimeToOffset(std::uint64_t ms, std::uint64_t refDurationMs,
                                         bool noIndex) {
    const std::uint64_t end = audioEnd;
    if ((refDurationMs > 0 && ms >= refDurationMs) || (refDurationMs == 0 && ms > durationMs))
        return end;
    if (ms == 0)
        return dataStart;
    if (refDurationMs > 0 && durationMs > 0 && refDurationMs != durationMs) {
        // The caller's time scale mapped onto this file's duration.
        ms = Truncate<std::uint64_t>(static_cast<double>(durationMs) /
                                     static_cast<double>(refDurationMs) * static_cast<double>(ms));
    }
    // Never past the audio: the last frame of a cut-off file may end beyond the file or in
    // its tags, and a copy up to there would take the old tags along.
    if (!noIndex && indexBuilt)
        return std::min(LocateTime(ms).endOffset, end);
    const double rate = IsVbr() ? avgBitrate : header.bitrateKbps;
    return std::min(Truncate<std::uint64_t>(rate * 0.125 * static_cast<double>(ms) +
                                            static_cast<double>(dataStart)),
                    end);
}

}  // namespace partita
