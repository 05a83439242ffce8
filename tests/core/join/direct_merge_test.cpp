#include "join/direct_merge.h"

#include <cmath>
#include <cstring>

#include "audio_check.h"
#include "join/silent_frame.h"
#include "mpeg/frame_header.h"
#include "mpeg/lame_tag.h"
#include "mpeg/mpeg_analysis.h"
#include "mpeg/stream_check.h"
#include "mpeg/vbr_header.h"
#include "support/scripted_host.h"
#include "support/test_support.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t BigEndian(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// What the analysis says of a file, and its bytes.
struct Analysed {
    Bytes bytes;
    std::uint64_t vbrFramePos = 0, dataStart = 0, audioEnd = 0;
    VbrHeaderType vbrType = VbrHeaderType::None;
    std::uint32_t firstHeader = 0;

    Bytes Slice(std::uint64_t from, std::uint64_t to) const {
        return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(to));
    }
    Bytes Audio() const { return Slice(dataStart, audioEnd); }
    Bytes HeaderFrame() const { return Slice(vbrFramePos, dataStart); }
    // Offsets of every frame start from the first audio frame to the end of the audio.
    std::vector<std::uint64_t> FrameStarts() const {
        std::vector<std::uint64_t> starts;
        for (std::uint64_t at = dataStart; at + 4 <= audioEnd;) {
            std::uint32_t word = BigEndian(bytes, at);
            if (!IsValidHeader(word))
                break;
            starts.push_back(at);
            at += static_cast<std::uint64_t>(DecodeHeader(word).frameLength);
        }
        return starts;
    }
};

Analysed Analyse(const std::filesystem::path& path) {
    MpegAnalysis info;
    EXPECT_TRUE(info.Open(path.string()));
    EXPECT_TRUE(info.streamFound);
    Analysed a;
    a.bytes = test::ReadFileBytes(path);
    a.vbrFramePos = info.vbrFramePos;
    a.dataStart = info.dataStart;
    a.audioEnd = info.audioEnd;
    a.vbrType = info.vbrType;
    a.firstHeader = info.firstHeader;
    return a;
}

// `count` silent frames of a stream.
Bytes Silence(std::uint32_t firstHeader, int seconds) {
    Bytes frame = SilentFrame(firstHeader);
    Bytes out;
    for (std::uint32_t i = 0; i < SilentFrameCount(firstHeader, seconds); ++i)
        out.insert(out.end(), frame.begin(), frame.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The Xing counts of a merged file equal its audio frames after the header frame and its bytes
// from the header frame to the end of its audio.
void ExpectHeaderCounts(const std::filesystem::path& path) {
    Analysed merged = Analyse(path);
    ASSERT_EQ(merged.vbrType, VbrHeaderType::Xing);
    std::size_t tagAt = static_cast<std::size_t>(merged.vbrFramePos) + 4 +
                        static_cast<std::size_t>(SideInfoSize(
                            DecodeHeader(BigEndian(merged.bytes, merged.vbrFramePos))));
    ASSERT_EQ(std::memcmp(merged.bytes.data() + tagAt, "Xing", 4), 0);
    EXPECT_EQ(BigEndian(merged.bytes, tagAt + 8), merged.FrameStarts().size());
    EXPECT_EQ(BigEndian(merged.bytes, tagAt + 12), merged.audioEnd - merged.vbrFramePos);
}

class DirectMergeTest : public test::TempDirTest {
  protected:
    test::ScriptedHost host;
    TagInfo tags;  // no tags unless a test asks

    // A constant-bitrate file without a header frame, with ID3v2 and ID3v1 tags.
    std::filesystem::path Cbr(const std::string& name, double frequency, std::uint32_t ms) {
        return test::MakeMp3(dir.Path(), name, {{frequency, ms, 0.4}},
                             {"-b", "128", "-t", "--tt", name, "--add-id3v2"});
    }
    // A VBR file with a Xing header frame.
    std::filesystem::path Vbr(const std::string& name, double frequency, std::uint32_t ms) {
        return test::MakeMp3(dir.Path(), name, {{frequency, ms, 0.4}, {frequency * 2, ms, 0.2}},
                             {"-V", "4", "--tt", name});
    }
    MergeSource Source(const std::filesystem::path& path, int silence = 0, std::uint64_t start = 0,
                       std::uint64_t end = 0) {
        return {path.string(), path.filename().string(), {start, end}, silence};
    }
    MergeResult Merge(const std::vector<MergeSource>& sources, const std::string& name = "out.mp3",
                      DirectMergeOptions options = {}) {
        std::FILE* out = std::fopen((dir / name).c_str(), "wb");
        EXPECT_NE(out, nullptr);
        MergeResult result = DirectMerge(sources, out, (dir / name).string(), tags, host, options);
        std::fclose(out);
        return result;
    }
    Bytes Out(const std::string& name = "out.mp3") { return test::ReadFileBytes(dir / name); }
};

// One plain file gives its bytes from its first audio frame up to its ID3v1 tag: both tags go.
TEST_F(DirectMergeTest, OneFileIsItsAudio) {
    auto a = Cbr("a.mp3", 440, 1500);
    Analysed src = Analyse(a);
    ASSERT_EQ(src.vbrType, VbrHeaderType::None);
    ASSERT_GT(src.dataStart, 0u);  // an ID3v2 tag in front
    ASSERT_LT(src.audioEnd, src.bytes.size());
    ASSERT_EQ(Merge({Source(a)}), MergeResult::Done);
    EXPECT_EQ(Out(), src.Audio());
    EXPECT_EQ(host.lastProgress, 1u);
    EXPECT_EQ(host.statuses.at(0), "正在合并 # 01/01 - a.mp3 (完全合并)");
}

// The output is the inputs' audio frames in order with the silent frames after each file that
// asks for silence; an independent decoder finds the summed length and no error.
TEST_F(DirectMergeTest, FramesInOrderPlusSilence) {
    auto a = Cbr("a.mp3", 440, 2000);
    auto b = Cbr("b.mp3", 660, 1500);
    auto c = Cbr("c.mp3", 880, 1000);
    Analysed sa = Analyse(a), sb = Analyse(b), sc = Analyse(c);
    ASSERT_EQ(Merge({Source(a, 2), Source(b), Source(c, 1)}), MergeResult::Done);
    EXPECT_EQ(Out(), Concat({sa.Audio(), Silence(sa.firstHeader, 2), sb.Audio(), sc.Audio(),
                             Silence(sc.firstHeader, 1)}));

    std::string errors;
    EXPECT_TRUE(test::DecodesCleanly(dir / "out.mp3", &errors)) << errors;
    const double frameMs = 1152 / 44.1;
    double expected = test::ProbeDurationMs(a) + test::ProbeDurationMs(b) +
                      test::ProbeDurationMs(c) + SilentFrameCount(sa.firstHeader, 2) * frameMs +
                      SilentFrameCount(sc.firstHeader, 1) * frameMs;
    EXPECT_NEAR(test::ProbeDurationMs(dir / "out.mp3"), expected, 2 * frameMs * 2);
}

// A range in a VBR file without a header frame starts at the frame that plays at its time,
// found by counting frames: the first frame's bitrate (a quiet start's) says nothing of the
// rest.
TEST_F(DirectMergeTest, RangeInVbrWithoutHeaderFrame) {
    auto v = test::MakeMp3(dir.Path(), "v.mp3", {{0, 3000}, {440, 7000, 0.8}, {880, 4000, 0.8}},
                           {"-V", "0", "-t"});
    Analysed sv = Analyse(v);
    ASSERT_EQ(sv.vbrType, VbrHeaderType::None);
    ASSERT_EQ(Merge({Source(v, 0, 6000)}), MergeResult::Done);
    const auto starts = sv.FrameStarts();
    const std::size_t skipped = static_cast<std::size_t>(std::llround(6000 / (1152 / 44.1)));
    EXPECT_EQ(Out(), sv.Slice(starts[skipped], sv.audioEnd));
}

// A first file with a Xing header: its header frame leads the output and its counts become the
// audio frames in the output and the bytes from the header frame to the end of the audio.
TEST_F(DirectMergeTest, HeaderFrameCountsTheOutput) {
    auto a = Vbr("a.mp3", 440, 1000);
    auto b = Vbr("b.mp3", 330, 1000);
    auto c = Cbr("c.mp3", 550, 1000);
    Analysed sa = Analyse(a), sb = Analyse(b), sc = Analyse(c);
    ASSERT_EQ(sa.vbrType, VbrHeaderType::Xing);
    tags.writeId3v2 = true;
    tags.title = "Joined";
    ASSERT_EQ(Merge({Source(a, 1), Source(b), Source(c)}), MergeResult::Done);
    Bytes out = Out();
    Bytes tag = MakeId3v2Tag(tags);
    ASSERT_GT(out.size(), tag.size());
    EXPECT_TRUE(std::equal(tag.begin(), tag.end(), out.begin()));

    // Walk the output's frames after the header frame.
    Analysed merged = Analyse(dir / "out.mp3");
    EXPECT_EQ(merged.vbrFramePos, tag.size());
    std::uint32_t frames = static_cast<std::uint32_t>(merged.FrameStarts().size());
    std::uint32_t expectedFrames =
        static_cast<std::uint32_t>(sa.FrameStarts().size() + SilentFrameCount(sa.firstHeader, 1) +
                                   sb.FrameStarts().size() + sc.FrameStarts().size());
    EXPECT_EQ(frames, expectedFrames);
    EXPECT_EQ(merged.audioEnd, out.size());
    ExpectHeaderCounts(dir / "out.mp3");
    // After the header frame: the frames of the files, and whole silent frames (as long as
    // their headers say) after the first.
    EXPECT_EQ(merged.Slice(merged.dataStart, merged.audioEnd),
              Concat({sa.Audio(), Silence(sa.firstHeader, 1), sb.Audio(), sc.Audio()}));

    std::size_t tagAt = static_cast<std::size_t>(merged.vbrFramePos) + 4 +
                        static_cast<std::size_t>(SideInfoSize(DecodeHeader(sa.firstHeader)));
    // The header frame is the first file's up to its counts; the counts, the seek table and the
    // LAME fields after them describe the output.
    Bytes header = sa.HeaderFrame();
    const std::size_t counts = tagAt - merged.vbrFramePos + 8;
    Bytes copied(out.begin() + static_cast<std::ptrdiff_t>(merged.vbrFramePos),
                 out.begin() + static_cast<std::ptrdiff_t>(merged.dataStart));
    ASSERT_EQ(copied.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(counts),
                           copied.begin()));
    // The first file's delay; the last file has no LAME tag, so no padding.
    std::optional<LameTag> lame = ReadLameTag(copied, tagAt - merged.vbrFramePos);
    ASSERT_TRUE(lame);
    EXPECT_EQ(lame->delay, 576);
    EXPECT_EQ(lame->padding, 0);
    EXPECT_TRUE(lame->crcMatches);

    std::string errors;
    EXPECT_TRUE(test::DecodesCleanly(dir / "out.mp3", &errors)) << errors;
    const double frameMs = 1152 / 44.1;
    double expected = test::ProbeDurationMs(a) + test::ProbeDurationMs(b) +
                      test::ProbeDurationMs(c) + SilentFrameCount(sa.firstHeader, 1) * frameMs;
    EXPECT_NEAR(test::ProbeDurationMs(dir / "out.mp3"), expected, 2 * frameMs * 2);
}

// A first file's "Info" frame (LAME's mark of one bitrate) says "Xing" once the joined frames
// have more than one bitrate, and stays "Info" over one: the output reads as the stream it is.
TEST_F(DirectMergeTest, InfoOnlyOverOneBitrate) {
    auto info = test::MakeMp3(dir.Path(), "info.mp3", {{440, 800, 0.4}}, {"-b", "128"});
    auto same = test::MakeMp3(dir.Path(), "same.mp3", {{330, 800, 0.4}}, {"-b", "128", "-t"});
    auto vbr = Vbr("v.mp3", 330, 800);
    for (const auto& [second, tag] : {std::pair{same, "Info"}, std::pair{vbr, "Xing"}}) {
        ASSERT_EQ(Merge({Source(info), Source(second, 1)}), MergeResult::Done);
        MpegAnalysis merged;
        ASSERT_TRUE(merged.Open((dir / "out.mp3").string()));
        EXPECT_EQ(merged.vbrTag, tag);
        EXPECT_EQ(merged.IsVbr(), std::string(tag) == "Xing");
        StreamCheck check = CheckStream((dir / "out.mp3").string());
        ASSERT_TRUE(check.lame);
        EXPECT_TRUE(check.lame->crcMatches);
    }
}

// A first file without a header frame gets none, whatever follows.
TEST_F(DirectMergeTest, NoHeaderFrameWithoutOneInTheFirstFile) {
    auto a = Cbr("a.mp3", 440, 800);
    auto b = Vbr("b.mp3", 330, 800);
    Analysed sa = Analyse(a), sb = Analyse(b);
    ASSERT_EQ(Merge({Source(a), Source(b)}), MergeResult::Done);
    EXPECT_EQ(Out(), Concat({sa.Audio(), sb.Audio()}));
}

// Partial ranges start and end on frame starts; a start alone runs to the end of the audio and
// never takes the file's ID3v1 tag.
TEST_F(DirectMergeTest, PartialRangesOnFrameStarts) {
    auto a = Cbr("a.mp3", 440, 4000);
    Analysed sa = Analyse(a);
    auto starts = sa.FrameStarts();
    auto isStart = [&](std::uint64_t at) {
        return std::find(starts.begin(), starts.end(), at) != starts.end();
    };

    ASSERT_EQ(Merge({Source(a, 0, 1000, 3000)}), MergeResult::Done);
    Bytes out = Out();
    auto found = std::search(sa.bytes.begin(), sa.bytes.end(), out.begin(), out.begin() + 64);
    ASSERT_NE(found, sa.bytes.end());
    std::uint64_t from = static_cast<std::uint64_t>(found - sa.bytes.begin());
    EXPECT_TRUE(isStart(from)) << from;
    EXPECT_TRUE(isStart(from + out.size())) << from + out.size();
    EXPECT_EQ(out, sa.Slice(from, from + out.size()));
    EXPECT_NEAR(test::ProbeDurationMs(dir / "out.mp3"), 2000, 2 * 26.2);
    EXPECT_EQ(host.statuses.back(), "正在合并 # 01/01 - a.mp3 (部分合并)");

    ASSERT_EQ(Merge({Source(a, 0, 2000, 0)}, "tail.mp3"), MergeResult::Done);
    Bytes tail = Out("tail.mp3");
    EXPECT_EQ(tail, sa.Slice(sa.audioEnd - tail.size(), sa.audioEnd));
    EXPECT_TRUE(isStart(sa.audioEnd - tail.size()));
    EXPECT_NEAR(test::ProbeDurationMs(dir / "tail.mp3"), test::ProbeDurationMs(a) - 2000, 2 * 26.2);
}

// A first file with a header frame and a partial start: the header frame, then the range.
TEST_F(DirectMergeTest, HeaderFrameThenRange) {
    auto a = Vbr("a.mp3", 440, 2000);
    Analysed sa = Analyse(a);
    ASSERT_EQ(Merge({Source(a, 0, 1000, 3000)}), MergeResult::Done);
    Bytes out = Out();
    Bytes header = sa.HeaderFrame();
    ASSERT_GT(out.size(), header.size());
    std::size_t rangeStart = header.size();
    Bytes range(out.begin() + static_cast<std::ptrdiff_t>(rangeStart), out.end());
    auto found = std::search(sa.bytes.begin(), sa.bytes.end(), range.begin(), range.begin() + 64);
    ASSERT_NE(found, sa.bytes.end());
    std::uint64_t from = static_cast<std::uint64_t>(found - sa.bytes.begin());
    auto starts = sa.FrameStarts();
    auto at = std::find(starts.begin(), starts.end(), from);
    ASSERT_NE(at, starts.end());
    // 1 s is frame 38.3 of a 44.1 kHz stream: the range starts there, not at the header frame.
    EXPECT_NEAR(static_cast<double>(at - starts.begin()), 1000 / (1152 / 44.1), 1.5);
    EXPECT_EQ(range, sa.Slice(from, from + range.size()));
    ExpectHeaderCounts(dir / "out.mp3");
    EXPECT_NEAR(test::ProbeDurationMs(dir / "out.mp3"), 2000, 3 * 26.2);
    std::string errors;
    EXPECT_TRUE(test::DecodesCleanly(dir / "out.mp3", &errors)) << errors;
}

// A file that is no MPEG audio asks Abort, Retry or Ignore (CannotLoadFile): Ignore leaves it and
// its silence out, Retry looks again, Abort stops the merge.
TEST_F(DirectMergeTest, UnreadableSources) {
    auto a = Cbr("a.mp3", 440, 500);
    Analysed sa = Analyse(a);
    test::WriteFileText(dir / "text.mp3", std::string(5000, 'x'));
    host.failureAnswers = {FailureAnswer::Retry, FailureAnswer::Ignore};
    ASSERT_EQ(Merge({Source(dir / "text.mp3", 3), Source(a)}), MergeResult::Done);
    EXPECT_EQ(Out(), sa.Audio());
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].id, Msg::CannotLoadFile);
    EXPECT_EQ(host.lastProgress, 2u);

    host.failureAnswers = {FailureAnswer::Abort};
    EXPECT_EQ(Merge({Source(a), Source(dir / "missing.mp3")}), MergeResult::Stopped);
}

// A confirmed stop ends the merge after the chunk in hand; a declined one goes on.
TEST_F(DirectMergeTest, StopAfterAChunk) {
    auto a = Cbr("a.mp3", 440, 2000);
    Analysed sa = Analyse(a);
    DirectMergeOptions small;
    small.bufferBytes = 4096;
    host.stopAtCall = {2, 4};
    host.yesNoAnswers = {false, true};
    EXPECT_EQ(Merge({Source(a)}, "out.mp3", small), MergeResult::Stopped);
    EXPECT_EQ(Out().size(), 4 * 4096u);
    EXPECT_EQ(host.questions.size(), 2u);
    // Small chunks copy the same bytes.
    host.stopAtCall.clear();
    ASSERT_EQ(Merge({Source(a, 1)}, "out.mp3", small), MergeResult::Done);
    EXPECT_EQ(Out(), Concat({sa.Audio(), Silence(sa.firstHeader, 1)}));
}

// Only whole frames are joined: tags at the end of a file (APEv2 before the ID3v1 tag) and a
// last frame that the end of the file cuts short stay out, so every join decodes cleanly.
TEST_F(DirectMergeTest, TrailingTagsAndCutFramesStayOut) {
    auto ape = test::CopyCorpusFile("ape.mp3", dir.Path());
    auto xing = test::CopyCorpusFile("xing.mp3", dir.Path());
    auto cut = Cbr("cut.mp3", 440, 1000);
    Bytes bytes = test::ReadFileBytes(cut);
    bytes.resize(bytes.size() - 300);
    test::WriteFileBytes(cut, bytes);
    ASSERT_EQ(Merge({Source(ape), Source(cut), Source(xing)}), MergeResult::Done);
    std::string errors;
    EXPECT_TRUE(test::DecodesCleanly(dir / "out.mp3", &errors)) << errors;
    Bytes whole = Analyse(xing).Audio();
    EXPECT_EQ(Out(), Concat({whole, Analyse(cut).Audio(), whole}));
}

// A source that shrinks while it is copied fails the merge (CannotLoadFile) rather than giving a
// short output.
TEST_F(DirectMergeTest, SourceShrinkingDuringCopyFails) {
    struct ShrinkingHost : test::ScriptedHost {
        std::filesystem::path source;
        bool TakeStopRequest() override {
            if (!source.empty())
                std::filesystem::resize_file(source, 8192);
            source.clear();
            return ScriptedHost::TakeStopRequest();
        }
    } shrinking;
    auto a = Cbr("a.mp3", 440, 2000);
    DirectMergeOptions small;
    small.bufferBytes = 4096;
    for (bool withHeader : {false, true}) {
        auto source = withHeader ? Vbr("v.mp3", 440, 1000) : a;
        shrinking.source = source;
        std::FILE* out = std::fopen((dir / "out.mp3").c_str(), "wb");
        EXPECT_EQ(DirectMerge({Source(source)}, out, "out.mp3", tags, shrinking, small),
                  MergeResult::Failed);
        std::fclose(out);
        EXPECT_TRUE(shrinking.Showed(Msg::CannotLoadFile));
    }
}

// A write that fails gives CannotWriteFile with the output's name.
TEST_F(DirectMergeTest, WriteFailure) {
    auto a = Cbr("a.mp3", 440, 500);
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_EQ(DirectMerge({Source(a)}, full, "/music/out.mp3", tags, host), MergeResult::Failed);
    std::fclose(full);
    ASSERT_TRUE(host.Showed(Msg::CannotWriteFile));
    EXPECT_NE(host.messages.back().text.find("/music/out.mp3"), std::string::npos);
}

}  // namespace
}  // namespace partita
