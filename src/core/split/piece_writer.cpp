#include "split/piece_writer.h"

#include "app/output_file.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

// Pads an ID3v2 tag so that what follows it (`after` bytes, then the audio) starts at the same
// place within a memory page as the audio in the source: the kernel then copies whole pages,
// about a third faster than pages that straddle. Padding is zero bytes counted in the tag's
// size, which every reader skips.
void AlignTagPadding(std::vector<std::uint8_t>& tag, std::uint64_t after,
                     std::uint64_t sourceOffset) {
    constexpr std::uint64_t kPage = 4096;
    if (tag.size() < kId3v2HeaderSize)
        return;
    const std::uint64_t at = (tag.size() + after) % kPage;
    const std::uint64_t extra = (sourceOffset % kPage + kPage - at) % kPage;
    tag.resize(tag.size() + extra, 0);
    const std::uint64_t size = tag.size() - kId3v2HeaderSize;
    for (int i = 0; i < 4; ++i)
        tag[6 + i] = static_cast<std::uint8_t>((size >> (7 * (3 - i))) & 0x7F);
}

// The pictures and lyrics of the source's ID3v2 tag, which every piece keeps.
std::vector<std::uint8_t> SourcePicturesAndLyrics(const ReadOnlyFile& in) {
    constexpr std::uint32_t kLargestTag = 64u << 20;
    std::uint8_t head[kId3v2HeaderSize] = {};
    if (in.ReadAt(0, head, sizeof head) != sizeof head)
        return {};
    const std::uint32_t size = Id3v2TagSize(head, in.Size());
    if (size == 0 || size > kLargestTag)
        return {};
    std::vector<std::uint8_t> tag(size);
    if (in.ReadAt(0, tag.data(), tag.size()) != tag.size())
        return {};
    return KeptId3v2Frames(tag);
}

}  // namespace

CutOutcome WritePiece(const ReadOnlyFile& in, const std::string& outPath, const PieceLayout& piece,
                      const TagInfo& tags, const std::string& codePage, ByteRange* copied,
                      ExistingOutput existing) {
    OutputFile out;
    if (!out.Open(outPath))
        return CutOutcome::Failed;
    if (tags.writeId3v2) {
        std::vector<std::uint8_t> tag = MakeId3v2Tag(tags, SourcePicturesAndLyrics(in));
        AlignTagPadding(tag, piece.headerFrame.size() + piece.ownFrames.size(), piece.range.begin);
        if (!out.Write(tag.data(), tag.size()))
            return CutOutcome::Failed;
    }
    if (!out.Write(piece.headerFrame.data(), piece.headerFrame.size()) ||
        !out.Write(piece.ownFrames.data(), piece.ownFrames.size()) ||
        !AppendFileRange(in, piece.range.begin, piece.range.end, out.Stream())) {
        return CutOutcome::Failed;
    }
    if (tags.writeId3v1) {
        Id3v1Bytes tag = MakeId3v1(tags, codePage);
        if (!out.Write(tag.data(), tag.size()))
            return CutOutcome::Failed;
    }
    const CutOutcome outcome = CommitCut(out, existing);
    if (outcome == CutOutcome::Written && copied)
        *copied = piece.range;
    return outcome;
}

}  // namespace partita
