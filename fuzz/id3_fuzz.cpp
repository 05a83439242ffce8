// Arbitrary bytes as ID3 tags and tag texts: reading an ID3v1 tag in several code pages,
// measuring an ID3v2 header, and building both tags from arbitrary (also invalid UTF-8) texts,
// whose sizes must add up.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tags/id3v1.h"
#include "tags/id3v2.h"

using namespace partita;

namespace {

std::uint32_t BigEndian(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kCodePages[] = {"ISO-8859-1", "GBK", "CP1252", "SHIFT_JIS",
                                             "no-such-code-page"};
    const std::string_view codePage = kCodePages[size % 5];

    Id3v1Bytes raw{};
    for (std::size_t i = 0; i < raw.size() && i < size; ++i)
        raw[i] = data[i];
    Id3v1Fields fields = ParseId3v1(raw, codePage);
    Check(fields.track >= 0 && fields.track <= 255 && fields.genre >= 0 && fields.genre <= 255);

    std::uint32_t tagSize = Id3v2TagSize({data, size}, size);
    Check(tagSize == 0 || (tagSize >= 10 && tagSize <= size));

    // Seven texts cut from the input at zero bytes.
    std::vector<std::string> texts(7);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            field = (field + 1) % texts.size();
        } else {
            texts[field].push_back(static_cast<char>(data[i]));
        }
    }
    TagInfo tags;
    tags.title = texts[0];
    tags.artist = texts[1];
    tags.album = texts[2];
    tags.year = texts[3];
    tags.comment = texts[4];
    tags.track = texts[5];
    tags.genre = texts[6];

    Id3v1Bytes v1 = MakeId3v1(tags, codePage);
    Check(IsId3v1(v1));
    ParseId3v1(v1, codePage);

    std::vector<std::uint8_t> v2 = MakeId3v2Tag(tags);
    Check(Id3v2TagSize(v2, v2.size()) == v2.size());
    // The frames' sizes lead from the header to the padding.
    std::size_t at = 10;
    for (int frame = 0; frame < 12; ++frame) {
        Check(at + 10 <= v2.size());
        at += 10 + BigEndian(v2, at + 4);
    }
    Check(at + kId3v2Padding == v2.size());
    return 0;
}
