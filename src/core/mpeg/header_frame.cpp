#include "mpeg/header_frame.h"

#include <algorithm>
#include <cstring>

#include "mpeg/seek_table.h"

namespace partita {
namespace {

// Takes the byte count out of a Xing tag (for audio over 4 GiB, which 32 bits cannot state):
// clears its flag and moves the fields after it up, so readers find them where the flags say.
void DropXingByteCount(std::span<std::uint8_t> tag) {
    const std::uint32_t flags = HeaderWord(tag.data() + 4);
    if (!(flags & 2))
        return;
    const std::size_t at = (flags & 1) ? 12 : 8;
    if (at + 4 > tag.size())
        return;
    std::memmove(tag.data() + at, tag.data() + at + 4, tag.size() - at - 4);
    std::fill(tag.end() - 4, tag.end(), 0);
    tag[7] = static_cast<std::uint8_t>(tag[7] & ~2u);
}

}  // namespace

std::vector<std::uint8_t> ReadHeaderFrame(const MpegAnalysis& info, BufferedFile& file) {
    if (info.vbrType == VbrHeaderType::None || info.dataStart <= info.vbrFramePos)
        return {};
    const std::uint64_t length = std::min<std::uint64_t>(
        DecodeHeader(info.vbrFrameHeader).frameLength, info.dataStart - info.vbrFramePos);
    if (length < info.vbrTagPos - info.vbrFramePos + kVbrTagBytes)
        return {};
    std::vector<std::uint8_t> frame(length);
    if (file.ReadAt(info.vbrFramePos, frame.data(), frame.size()) != frame.size())
        return {};
    return frame;
}

std::optional<LameTag> ReadSourceLameTag(const MpegAnalysis& info, BufferedFile& file) {
    if (info.vbrType != VbrHeaderType::Xing)
        return std::nullopt;
    std::vector<std::uint8_t> frame = ReadHeaderFrame(info, file);
    return ReadLameTag(frame, info.vbrTagPos - info.vbrFramePos);
}

void FinishHeaderFrame(std::span<std::uint8_t> frame, std::uint64_t tagOffset, VbrHeaderType type,
                       const HeaderFrameUpdate& update) {
    if (tagOffset + kVbrTagBytes > frame.size())
        return;
    std::span<std::uint8_t> tag = frame.subspan(tagOffset);
    const auto bytes =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(update.totalBytes, 0xFFFFFFFF));
    PatchVbrCounts(static_cast<std::uint32_t>(update.frameStarts.size()), bytes, type, tag);
    if (type == VbrHeaderType::Xing && update.totalBytes > 0xFFFFFFFF)
        DropXingByteCount(tag);
    if (type == VbrHeaderType::Vbri) {
        RebuildVbriTable(tag, update.frameStarts, update.totalBytes);
        return;
    }
    if (type != VbrHeaderType::Xing)
        return;
    const XingFields fields = XingLayout(tag);
    if (fields.toc != 0 && fields.toc + 100 <= tag.size()) {
        const auto toc = XingToc(update.frameStarts, update.totalBytes);
        std::memcpy(tag.data() + fields.toc, toc.data(), toc.size());
    }
    if (auto lame = ReadLameTag(frame, tagOffset))
        WriteLameTag(frame, lame->offset, update.delay, update.padding, bytes);
}

}  // namespace partita
