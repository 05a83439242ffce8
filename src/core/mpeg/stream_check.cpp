#include "mpeg/stream_check.h"

#include <algorithm>
#include <cstring>

#include "mpeg/bit_reservoir.h"
#include "mpeg/header_frame.h"
#include "mpeg/mpeg_analysis.h"

namespace partita {
namespace {

// No frame's main data begins further back than this.
constexpr int kLargestReservoir = 511;

// An analysed file and its audio frames.
struct WalkedFile {
    BufferedFile file;
    MpegAnalysis info;
    FrameTable frames;
    std::uint64_t audioEnd = 0;

    bool Open(const std::string& path) {
        if (!file.Open(path))
            return false;
        info.OpenFile(file, path);
        if (!info.streamFound)
            return false;
        audioEnd = info.tagsStart;  // a last frame cut short is reported
        frames = WalkFrames(file, info.firstHeader, info.dataStart, audioEnd);
        return true;
    }
};

void ReadStatedCounts(const std::vector<std::uint8_t>& frame, std::uint64_t tagOffset,
                      VbrHeaderType type, StreamCheck& check) {
    std::span<const std::uint8_t> tag(frame);
    tag = tag.subspan(std::min<std::size_t>(tagOffset, tag.size()));
    if (tag.size() < kVbrTagBytes)
        return;
    if (type == VbrHeaderType::Vbri) {
        check.statedBytes = HeaderWord(tag.data() + 10);
        check.statedFrames = HeaderWord(tag.data() + 14);
        return;
    }
    // The counts a Xing tag's flags announce.
    const std::uint32_t flags = HeaderWord(tag.data() + 4);
    std::size_t at = 8;
    if (flags & 1) {
        check.statedFrames = HeaderWord(tag.data() + at);
        at += 4;
    }
    if (flags & 2)
        check.statedBytes = HeaderWord(tag.data() + at);
}

// The first frame whose main data begins before the first frame, and by how many bytes.
void CheckReservoir(BufferedFile& file, StreamCheck& check) {
    int available = 0;  // main data bytes of the frames before
    for (std::size_t i = 0; i < check.frames.Count() && available < kLargestReservoir; ++i) {
        std::uint32_t word = 0;
        if (!file.WordAt(check.frames.starts[i], word))
            return;
        const FrameHeaderInfo header = DecodeHeader(word);
        if (header.layer != MpegLayer::Layer3)
            return;
        const int begins = MainDataBeginAt(file, check.frames.starts[i]);
        if (begins > available) {
            check.borrowingFrame = static_cast<int>(i);
            check.borrowedBytes = begins - available;
            check.problems.push_back(StreamProblem::FirstFrameBorrows);
            return;
        }
        available += std::max(0, header.frameLength - MainDataOffset(header));
    }
}

}  // namespace

StreamCheck CheckStream(const std::string& path) {
    StreamCheck check;
    WalkedFile walked;
    if (!walked.Open(path)) {
        check.problems.push_back(StreamProblem::NoStream);
        return check;
    }
    const MpegAnalysis& info = walked.info;
    check.streamFound = true;
    check.header = info.header;
    check.audioStart = info.dataStart;
    check.headerFramePos = info.vbrType != VbrHeaderType::None ? info.vbrFramePos : info.dataStart;
    check.audioEnd = walked.audioEnd;
    check.frames = walked.frames;
    if (check.frames.junkBytes > 0)
        check.problems.push_back(StreamProblem::Junk);
    if (check.frames.lastCutShort)
        check.problems.push_back(StreamProblem::LastFrameCutShort);

    const std::uint64_t decoded =
        check.frames.Count() * static_cast<std::uint64_t>(SamplesPerFrame(info.header));
    check.samples = decoded;
    if (info.vbrType != VbrHeaderType::None) {
        check.headerTag = info.vbrTag;
        std::vector<std::uint8_t> frame = ReadHeaderFrame(info, walked.file);
        const std::uint64_t tagOffset = info.vbrTagPos - info.vbrFramePos;
        ReadStatedCounts(frame, tagOffset, info.vbrType, check);
        if (check.statedFrames && *check.statedFrames != check.frames.Count())
            check.problems.push_back(StreamProblem::FrameCount);
        if (check.statedBytes && *check.statedBytes != check.CountedBytes())
            check.problems.push_back(StreamProblem::ByteCount);
        if (info.vbrType == VbrHeaderType::Xing)
            check.lame = ReadLameTag(frame, tagOffset);
    }
    if (check.lame) {
        if (!check.lame->crcMatches)
            check.problems.push_back(StreamProblem::TagCrc);
        if (check.lame->musicLength != check.CountedBytes())
            check.problems.push_back(StreamProblem::MusicLength);
        check.samples = PlayedSamples(decoded, check.lame->delay, check.lame->padding);
        if (static_cast<std::uint64_t>(check.lame->delay + check.lame->padding) > decoded)
            check.problems.push_back(StreamProblem::DelayAndPadding);
    }
    CheckReservoir(walked.file, check);
    return check;
}

FramePartition CheckFramePartition(const std::string& source,
                                   const std::vector<std::string>& pieces) {
    FramePartition result;
    WalkedFile whole;
    if (!whole.Open(source))
        return result;
    result.sourceFrames = whole.frames.Count();
    std::vector<std::uint8_t> expected, got;
    auto frameBytes = [](WalkedFile& walked, std::size_t i, std::vector<std::uint8_t>& bytes) {
        const std::uint64_t at = walked.frames.starts[i];
        std::uint32_t word = 0;
        walked.file.WordAt(at, word);
        const std::uint64_t end = std::min<std::uint64_t>(
            at + static_cast<std::uint64_t>(DecodeHeader(word).frameLength), walked.audioEnd);
        bytes.resize(end - at);
        bytes.resize(walked.file.ReadAt(at, bytes.data(), bytes.size()));
    };
    std::size_t next = 0;  // the source frame the next piece frame must be
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        WalkedFile piece;
        if (!piece.Open(pieces[p])) {
            result.piece = static_cast<int>(p);
            result.frame = 0;
            return result;
        }
        for (std::size_t i = 0; i < piece.frames.Count(); ++i, ++next) {
            ++result.pieceFrames;
            if (next >= whole.frames.Count()) {
                result.piece = static_cast<int>(p);
                result.frame = static_cast<std::int64_t>(i);
                return result;
            }
            frameBytes(whole, next, expected);
            frameBytes(piece, i, got);
            if (expected != got) {
                result.piece = static_cast<int>(p);
                result.frame = static_cast<std::int64_t>(i);
                return result;
            }
        }
    }
    result.holds = next == whole.frames.Count();
    return result;
}

}  // namespace partita
