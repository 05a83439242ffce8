#include "split/mpeg_cut.h"

#include <algorithm>

#include "split/file_copy.h"
#include "split/gapless_cut.h"
#include "split/piece_writer.h"

namespace partita {
namespace {

// No frame is longer than this (MPEG 2 Layer II, 160 kbit/s at 8 kHz, padded).
constexpr std::uint64_t kMaxFrameLength = 2881;

}  // namespace

std::uint64_t AudioEnd(const MpegAnalysis& info) {
    return info.audioEnd;
}

std::uint64_t SnapToConfirmedFrame(const MpegAnalysis& info, BufferedFile& file,
                                   std::uint64_t offset) {
    // Frames begin before the end of the audio; a trailing tag holds none.
    const std::uint64_t end = AudioEnd(info);
    const std::uint64_t limit = std::min(offset + 5 * kMaxFrameLength, end);
    FrameHeaderInfo frame;
    for (std::uint64_t p = offset; p < limit; ++p) {
        if (!StreamHeaderAt(info, file, p, frame) || frame.bitrateKbps == 0 ||
            frame.sampleRate == 0) {
            continue;
        }
        if (p - offset >= 5 * static_cast<std::uint64_t>(frame.frameLength))
            return offset;
        const std::uint64_t next = p + static_cast<std::uint64_t>(frame.frameLength);
        FrameHeaderInfo following;
        if (next >= end || StreamHeaderAt(info, file, next, following))
            return p;
    }
    return offset;
}

ByteRange SnappedRange(const MpegAnalysis& info, BufferedFile& file, std::uint64_t startOffset,
                       std::uint64_t endOffset) {
    endOffset = std::min(endOffset, info.fileLength);
    ByteRange range{SnapToConfirmedFrame(info, file, startOffset),
                    SnapToConfirmedFrame(info, file, endOffset)};
    range.end = std::max(range.end, range.begin);
    return range;
}

CutOutcome CutByOffset(MpegAnalysis& info, const std::string& outPath, std::uint64_t startMs,
                       std::uint64_t startOffset, std::uint64_t endMs, std::uint64_t endOffset,
                       const MpegCutOptions& options, const TagInfo& tags, ByteRange* copied) {
    (void)startMs;
    (void)endMs;
    if (startOffset > endOffset)
        return CutOutcome::Failed;
    ReadOnlyFile in(info.path);
    BufferedFile scan;
    if (!in.IsOpen() || !scan.Open(info.path) || in.Size() != info.fileLength)
        return CutOutcome::Failed;  // gone, or changed since it was analysed
    PieceLayout piece;
    piece.range = SnappedRange(info, scan, startOffset, endOffset);
    if (piece.range.begin >= piece.range.end)
        return CutOutcome::Failed;  // no audio there (a track past the end of a shrunk source)
    if (info.vbrType != VbrHeaderType::None && options.writeVbrHeader) {
        piece.headerFrame = CutHeaderFrame(info, scan, piece.range);
        if (piece.headerFrame.empty())
            return CutOutcome::Failed;
    }
    return WritePiece(in, outPath, piece, tags, options.codePage, copied, options.existing);
}

CutOutcome CutByTime(MpegAnalysis& info, const std::string& outPath, std::uint64_t startMs,
                     std::uint64_t endMs, std::uint64_t refDurationMs,
                     const MpegCutOptions& options, const TagInfo& tags, ByteRange* copied) {
    if (startMs > endMs)
        return CutOutcome::Failed;
    std::uint64_t startOffset = info.TimeToOffset(startMs, refDurationMs, options.noIndex);
    std::uint64_t endOffset = info.TimeToOffset(endMs, refDurationMs, options.noIndex);
    return CutByOffset(info, outPath, startMs, startOffset, endMs, endOffset, options, tags,
                       copied);
}

ByteRange MpegTrackOffsets(MpegAnalysis& info, BufferedFile& file, std::uint64_t startMs,
                           std::uint64_t endMs, bool noIndex) {
    const bool frameMode = !noIndex && info.indexBuilt;
    auto map = [&](std::uint64_t ms) {
        if (ms == 0)
            return info.dataStart;
        // A track that reaches the source's duration ends with its audio, whatever the
        // duration's rounding left of the last frame.
        if (ms >= info.durationMs)
            return AudioEnd(info);
        return frameMode ? FrameBoundaryAt(info, file, ms) : info.TimeToOffset(ms, 0, true);
    };
    std::uint64_t begin = map(startMs);
    return {begin, std::max(begin, map(endMs))};
}

}  // namespace partita
