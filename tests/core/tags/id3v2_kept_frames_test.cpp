#include <gtest/gtest.h>

#include "tags/id3v2.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;

void AddFrame(Bytes& tag, const char* id, const Bytes& body, std::uint8_t format = 0) {
    tag.insert(tag.end(), id, id + 4);
    std::uint32_t size = static_cast<std::uint32_t>(body.size());  // synchsafe below 128
    tag.insert(tag.end(), {0, 0, 0, static_cast<std::uint8_t>(size), 0, format});
    tag.insert(tag.end(), body.begin(), body.end());
}

// Pieces keep the source's pictures and lyrics: the frames come out as ID3v2.3 frames, UTF-8
// texts of a v2.4 tag as UTF-16; other frames and compressed ones stay behind.
TEST(Id3v2KeptFrames, PicturesAndLyrics) {
    Bytes tag = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};
    AddFrame(tag, "TIT2", {0, 'x'});
    Bytes picture = {0, 'i', 'm', 'a', 'g', 'e', '/', 'p', 'n', 'g', 0, 3, 0, 0x89, 'P'};
    AddFrame(tag, "APIC", picture);
    AddFrame(tag, "APIC", picture, 0x08);  // compressed
    AddFrame(tag, "USLT", {3, 'e', 'n', 'g', 0, 0xE6, 0xAD, 0x8C});
    tag.resize(tag.size() + 20, 0);  // padding
    tag[9] = static_cast<std::uint8_t>(tag.size() - 10);

    Bytes kept = KeptId3v2Frames(tag);
    Bytes expected;
    AddFrame(expected, "APIC", picture);
    AddFrame(expected, "USLT", {1, 'e', 'n', 'g', 0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 0x4C, 0x6B});
    EXPECT_EQ(kept, expected);
    // A damaged size ends the walk without reading past the tag.
    tag[10 + 4 + 3] = 0x7F;
    EXPECT_TRUE(KeptId3v2Frames(tag).empty());
}

}  // namespace
}  // namespace partita
