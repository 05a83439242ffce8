#include <cstring>
#include <random>

#include "mpeg/mpeg_analysis.h"
#include "stream_builder.h"
#include "support/test_support.h"

namespace partita {
namespace {

using namespace test;  // NOLINT: the stream builder and fixtures
using ByteRuleTest = TempDirTest;
namespace fs = std::filesystem;

// The frame search as the plain rule states it: one 4-byte read per position, one byte
// forward each time, a read budget per search, four frames in a row. The buffered searches on the
// file must give exactly its results.
class ByteWiseReference {
  public:
    explicit ByteWiseReference(const Bytes& bytes) : bytes_(bytes), length_(bytes.size()) {}

    struct Result {
        bool found = false;
        std::uint64_t dataStart = 0, vbrFramePos = 0, vbrTagPos = 0;
        int vbrType = 0;
        std::uint32_t vbrFrames = 0;
        std::vector<std::uint64_t> walk;  // frame starts found by walking from dataStart
    };

    Result Open() {
        Result r;
        std::uint8_t head[10];
        std::uint64_t start = 0;
        if (ReadAt(0, head, 10) == 10 && std::memcmp(head, "ID3", 3) == 0 &&
            (head[3] == 3 || head[3] == 4)) {
            std::uint64_t size = (std::uint64_t{head[6]} << 21 | std::uint64_t{head[7]} << 14 |
                                  std::uint64_t{head[8]} << 7 | head[9]) +
                                 10;
            start = size <= length_ ? size : 0;
        }
        const std::uint64_t budget = length_ / 10 < 100'000 ? 100'000 : length_ / 4;
        std::uint32_t vbrWord = 0;
        std::uint64_t reads = 0, p = start;
        std::uint32_t word = 0;
        while (Word(p, word) && ++reads <= budget) {
            if (!IsValidHeader(word)) {
                ++p;
                continue;
            }
            FrameHeaderInfo h = DecodeHeader(word);
            if (r.vbrType != 0) {
                if (((word ^ vbrWord) & 0xFFFE0000) == 0) {
                    r.found = true;
                    r.dataStart = p;
                    break;
                }
                ++p;
                continue;
            }
            std::uint8_t tag[18];
            std::uint64_t xingAt =
                p + 4 +
                (h.version == MpegVersion::Mpeg1 ? (h.channelMode == 3 ? 17 : 32)
                                                 : (h.channelMode == 3 ? 9 : 17));
            if (ReadAt(xingAt, tag, 18) == 18 &&
                (std::memcmp(tag, "Xing", 4) == 0 || std::memcmp(tag, "Info", 4) == 0)) {
                Vbr(r, 1, p, xingAt, tag, 8);
                vbrWord = word;
                p = xingAt + 1;
                continue;
            }
            if (ReadAt(p + 36, tag, 18) == 18 && std::memcmp(tag, "VBRI", 4) == 0) {
                Vbr(r, 2, p, p + 36, tag, 14);
                vbrWord = word;
                p = p + 37;
                continue;
            }
            const int run = FramesInARow(p, word);
            if (run < 0)
                break;
            if (run > 0) {
                r.found = true;
                r.dataStart = p;
                break;
            }
            ++p;
        }
        if (!r.found)
            return r;
        // Walk: the next header of the stream from 3 bytes before each frame's end.
        std::uint32_t first = 0;
        Word(r.dataStart, first);
        std::uint64_t q = r.dataStart;
        for (;;) {
            reads = 0;
            bool hit = false;
            while (Word(q, word) && ++reads <= budget) {
                if (IsValidHeader(word) && SameStream(word, first)) {
                    hit = true;
                    break;
                }
                ++q;
            }
            if (!hit)
                break;
            r.walk.push_back(q);
            q += static_cast<std::uint64_t>(DecodeHeader(word).frameLength) - 3;
        }
        return r;
    }

  private:
    // Whether three frames of the stream follow the one at `at`, each within a byte of where the
    // one before (or half of it) ends; a frame that ends at the end of the audio (before an ID3v1
    // tag) ends the run, and so does the end of the file after the first follower. 1 yes, 0 no,
    // -1 the search fails (the first follower cannot be read).
    int FramesInARow(std::uint64_t at, std::uint32_t word) {
        const std::uint64_t end =
            length_ >= 128 && std::memcmp(bytes_.data() + length_ - 128, "TAG", 3) == 0
                ? length_ - 128
                : length_;
        std::uint32_t current = word;
        for (int n = 1; n < 4; ++n) {
            const auto length = static_cast<std::uint64_t>(DecodeHeader(current).frameLength);
            if (at + length == end)
                return 1;
            bool found = false;
            for (std::uint64_t d : {1, 2}) {
                for (std::uint64_t q :
                     {at + length / d - 1, at + length / d, at + length / d + 1}) {
                    std::uint32_t next = 0;
                    if (found)
                        break;
                    if (!Word(q, next))
                        return n == 1 ? -1 : 1;
                    if (IsValidHeader(next) && SameStream(next, word)) {
                        found = true;
                        at = q;
                        current = next;
                    }
                }
            }
            if (!found)
                return 0;
        }
        return 1;
    }
    static void Vbr(Result& r, int type, std::uint64_t frame, std::uint64_t tagAt,
                    const std::uint8_t* tag, int countAt) {
        r.vbrType = type;
        r.vbrFramePos = frame;
        r.vbrTagPos = tagAt;
        r.vbrFrames = HeaderWord(tag + countAt);
    }
    std::size_t ReadAt(std::uint64_t at, std::uint8_t* out, std::size_t n) {
        if (at >= length_)
            return 0;
        n = static_cast<std::size_t>(std::min<std::uint64_t>(n, length_ - at));
        std::memcpy(out, bytes_.data() + at, n);
        return n;
    }
    bool Word(std::uint64_t at, std::uint32_t& word) {
        std::uint8_t b[4];
        if (ReadAt(at, b, 4) != 4)
            return false;
        word = HeaderWord(b);
        return true;
    }
    const Bytes& bytes_;
    std::uint64_t length_ = 0;
};

// A random file: junk with stray sync bytes, maybe an ID3v2 tag (sometimes longer than the
// file), maybe a VBR header frame, runs of frames of one stream with gaps and other layers
// between them, frames across the 64 KiB windows of the reader, a cut-off end.
Bytes RandomStream(std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto junk = [&](Bytes& out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            int r = pick(100);
            out.push_back(r < 3   ? 0xFF
                          : r < 6 ? static_cast<std::uint8_t>(0xE0 | pick(32))
                                  : static_cast<std::uint8_t>(random()));
        }
    };
    const std::uint32_t streams[] = {kCbr128, 0xFFF380C4, 0xFFE36044, 0xFFFD9064, 0xFFFF9064};
    const std::uint32_t base = streams[pick(5)];
    Bytes out;
    if (pick(3) == 0) {
        out = Id3v2(static_cast<std::uint32_t>(200 + pick(3000)), pick(4) == 0 ? 2 : 3);
        if (pick(4) == 0)
            out[6] = 0x7F;
    }
    if (pick(4) == 0) {
        // Long enough to run into the read budget; zeros hold no false frame.
        std::size_t n = static_cast<std::size_t>(95'000 + pick(10'000));
        if (pick(2) == 0)
            out.resize(out.size() + n, 0);
        else
            junk(out, n);
    } else {
        junk(out, static_cast<std::size_t>(pick(2000)));
    }
    int vbr = pick(4);
    if (vbr == 1)
        Append(out, VbrFrame(base, "Xing", 1000));
    if (vbr == 2)
        Append(out, VbrFrame(base, "Info", 1000));
    if (vbr == 3)
        Append(out, VbrFrame(base, "VBRI", 1000));
    const int runs = 1 + pick(6);
    for (int run = 0; run < runs; ++run) {
        int frames = pick(300);
        for (int f = 0; f < frames; ++f) {
            std::uint32_t word =
                (base & ~0xF000u) | (static_cast<std::uint32_t>(1 + pick(14)) << 12);
            if (pick(50) == 0)
                word = streams[pick(5)];
            Bytes frame = Frame(word);
            for (auto& b : frame)
                if (&b > &frame[3] && pick(40) == 0)
                    b = static_cast<std::uint8_t>(random());
            Append(out, frame);
        }
        junk(out, static_cast<std::size_t>(pick(3) == 0 ? pick(5000) : pick(4)));
    }
    out.resize(out.size() - static_cast<std::size_t>(pick(100)));
    if (pick(2) == 0)
        Append(out, Id3v1("t"));
    return out;
}

// On hundreds of random files the buffered search finds the same first frame, VBR header and
// frame walk as the byte-wise rule with its read budget.
TEST_F(ByteRuleTest, BufferedSearchEqualsByteWiseRule) {
    std::mt19937 random(20240607);
    for (int n = 0; n < 120; ++n) {
        Bytes bytes = RandomStream(random);
        fs::path path = dir / "r.mp3";
        WriteFileBytes(path, bytes);
        SCOPED_TRACE(n);
        ByteWiseReference::Result expected = ByteWiseReference(bytes).Open();

        MpegAnalysis info;
        ASSERT_TRUE(info.Open(path.string()));
        ASSERT_EQ(info.streamFound, expected.found);
        EXPECT_EQ(static_cast<int>(info.vbrType), expected.vbrType);
        if (expected.vbrType != 0) {
            EXPECT_EQ(info.vbrFramePos, expected.vbrFramePos);
            EXPECT_EQ(info.vbrTagPos, expected.vbrTagPos);
            EXPECT_EQ(info.vbrFrames, expected.vbrFrames);
        }
        if (!expected.found)
            continue;
        EXPECT_EQ(info.dataStart, expected.dataStart);

        BufferedFile file;
        ASSERT_TRUE(file.Open(path));
        file.Seek(info.dataStart);
        std::vector<std::uint64_t> walk;
        std::uint32_t word = 0;
        std::uint64_t skip = 0;
        while (info.FindNextFrame(file, word, skip)) {
            walk.push_back(file.Tell() - 1);
            skip = static_cast<std::uint64_t>(DecodeHeader(word).frameLength) - 4;
        }
        EXPECT_EQ(walk, expected.walk);
    }
}

}  // namespace
}  // namespace partita
