#include "mpeg/mpeg_analysis.h"
#include "split/split_engine.h"

#include "stream_builder.h"
#include "support/test_support.h"

namespace partita {
namespace {

using namespace test;  // NOLINT: the stream builder and fixtures
using MpegAnalysisTest = TempDirTest;
namespace fs = std::filesystem;

// Opens bytes held in memory as if they were a file named `name`.
struct MemoryOpen {
    explicit MemoryOpen(Bytes data, std::uint64_t start = 0, const std::string& name = "m.mp3")
        : bytes(std::move(data)) {
        file.OpenMemory(bytes);
        opened = info.OpenFile(file, name, start);
    }
    Bytes bytes;
    BufferedFile file;
    MpegAnalysis info;
    bool opened = false;
};

// 10 000 frames of 417 bytes at 128 kbit/s: the count and 260 625 ms follow from the header.
TEST(MpegAnalysis, CbrFromFirstHeader) {
    Bytes bytes;
    AppendFrames(bytes, kCbr128, 10000);
    ASSERT_EQ(bytes.size(), 4'170'000u);
    MemoryOpen m(bytes);
    ASSERT_TRUE(m.opened);
    const MpegAnalysis& i = m.info;
    EXPECT_TRUE(i.streamFound);
    EXPECT_EQ(i.fileLength, 4'170'000u);
    EXPECT_EQ(i.dataStart, 0u);
    EXPECT_EQ(i.vbrFramePos, 0u);
    EXPECT_EQ(i.firstHeader, kCbr128);
    EXPECT_EQ(i.header.bitrateKbps, 128);
    EXPECT_EQ(i.frameCount, 10000u);
    EXPECT_EQ(i.GetFrameCount(), 10000u);
    EXPECT_EQ(i.durationMs, 260'625u);
    EXPECT_EQ(i.vbrType, VbrHeaderType::None);
    EXPECT_FALSE(i.IsVbr());
    EXPECT_EQ(i.avgBitrate, 0.0);
    EXPECT_FALSE(i.hasId3v1);
}

// The search starts past an ID3v2.3 tag; a v2.2 tag or one longer than the file is searched
// through byte by byte, and frames hidden in it are then found.
TEST(MpegAnalysis, SkipsId3v2Tag) {
    auto build = [](Bytes tag) {
        AppendFrames(tag, kCbr128, 20);
        Append(tag, Id3v1("Song"));
        return tag;
    };
    Bytes tag = Id3v2(2000);
    Bytes hidden;
    AppendFrames(hidden, kCbr192, 4);
    tag.resize(3000, 0);
    std::copy(hidden.begin(), hidden.end(), tag.begin() + 100);

    MemoryOpen v23(build(tag));
    EXPECT_EQ(v23.info.dataStart, 3000u);
    EXPECT_EQ(v23.info.header.bitrateKbps, 128);
    EXPECT_TRUE(v23.info.hasId3v1);
    EXPECT_EQ(v23.info.title, "Song");
    EXPECT_EQ(v23.info.frameCount, 20u);

    tag[3] = 2;
    MemoryOpen v22(build(tag));
    EXPECT_EQ(v22.info.dataStart, 100u);
    EXPECT_EQ(v22.info.header.bitrateKbps, 192);

    tag[3] = 3;
    tag[6] = 0x7F;  // longer than the file
    MemoryOpen tooLong(build(tag));
    EXPECT_EQ(tooLong.info.dataStart, 100u);
}

// A start offset inside the file is where the search begins; 0 or one at or past the end
// falls back to the ID3v2 skip.
TEST(MpegAnalysis, StartOffset) {
    Bytes bytes = Id3v2(500);
    AppendFrames(bytes, kCbr128, 20);
    EXPECT_EQ(MemoryOpen(bytes, 500 + 417 * 3 - 10).info.dataStart, 500u + 417 * 3);
    EXPECT_EQ(MemoryOpen(bytes, 0).info.dataStart, 500u);
    EXPECT_EQ(MemoryOpen(bytes, bytes.size()).info.dataStart, 500u);
    EXPECT_EQ(MemoryOpen(bytes, bytes.size() + 1000).info.dataStart, 500u);
}

// A Xing frame is recorded and skipped; the average bitrate and duration come from its count.
TEST(MpegAnalysis, XingHeader) {
    Bytes bytes = Id3v2(300);
    Append(bytes, VbrFrame(kCbr128, "Xing", 200));
    AppendFrames(bytes, kCbr128, 100);
    AppendFrames(bytes, kCbr192, 100);
    MemoryOpen m(bytes);
    const MpegAnalysis& i = m.info;
    EXPECT_TRUE(i.streamFound);
    EXPECT_EQ(i.vbrType, VbrHeaderType::Xing);
    EXPECT_EQ(i.vbrTag, "Xing");
    EXPECT_TRUE(i.IsVbr());
    EXPECT_EQ(i.vbrFramePos, 300u);
    EXPECT_EQ(i.vbrTagPos, 336u);
    EXPECT_EQ(i.dataStart, 717u);
    EXPECT_EQ(i.vbrFrames, 200u);
    EXPECT_EQ(i.vbrFrameHeader, kCbr128);
    EXPECT_EQ(i.GetFrameCount(), 200u);
    // The average frame is the audio's (neither header frame nor tags), so the duration is
    // the frames' own: 200 × 1152 samples at 44100 Hz.
    const double avgFrame = static_cast<double>(bytes.size() - 717) / 200;
    EXPECT_DOUBLE_EQ(i.avgBitrate, avgFrame * 44100 / 144000);
    EXPECT_EQ(i.durationMs, 200u * 1152 * 1000 / 44100);
    EXPECT_TRUE(FrameModeInForce(i, SplitMode::Auto));
    EXPECT_FALSE(FrameModeInForce(i, SplitMode::Fast));
}

// LAME's "Info" frame is a header frame like Xing (never audio), but the stream stays CBR:
// its bitrate, its duration and the automatic split mode are those of a CBR file.
TEST(MpegAnalysis, InfoHeaderIsCbr) {
    Bytes bytes;
    Append(bytes, VbrFrame(kCbr128, "Info", 300));
    AppendFrames(bytes, kCbr128, 300);
    MemoryOpen m(bytes);
    const MpegAnalysis& i = m.info;
    EXPECT_EQ(i.vbrType, VbrHeaderType::Xing);
    EXPECT_EQ(i.vbrTag, "Info");
    EXPECT_FALSE(i.IsVbr());
    EXPECT_EQ(i.vbrFramePos, 0u);
    EXPECT_EQ(i.dataStart, 417u);
    EXPECT_EQ(i.GetFrameCount(), 300u);
    EXPECT_EQ(i.avgBitrate, 0.0);
    EXPECT_EQ(i.durationMs, 300u * 417 * 8 / 128);
    EXPECT_FALSE(FrameModeInForce(i, SplitMode::Auto));
    EXPECT_TRUE(FrameModeInForce(i, SplitMode::Frame));
    EXPECT_EQ(m.info.TimeToOffset(1000, 0, true), 417u + 16000);
}

// VBRI sits 36 bytes into its frame; Xing follows the side information (21 bytes in MPEG 1
// mono, 13 in MPEG 2 mono).
TEST(MpegAnalysis, VbrTagPlaces) {
    Bytes vbri = VbrFrame(kCbr128, "VBRI", 50);
    AppendFrames(vbri, kCbr128, 50);
    MemoryOpen v(vbri);
    EXPECT_EQ(v.info.vbrType, VbrHeaderType::Vbri);
    EXPECT_EQ(v.info.vbrTagPos, 36u);
    EXPECT_EQ(v.info.vbrFrames, 50u);
    EXPECT_EQ(v.info.dataStart, 417u);

    const std::uint32_t mono1 = 0xFFFB90C4, mono2 = 0xFFF380C4;
    for (auto [word, offset] : {std::pair{mono1, 21u}, std::pair{mono2, 13u}}) {
        Bytes bytes = VbrFrame(word, "Xing", 10);
        AppendFrames(bytes, word, 10);
        MemoryOpen m(bytes);
        EXPECT_EQ(m.info.vbrType, VbrHeaderType::Xing) << std::hex << word;
        EXPECT_EQ(m.info.vbrTagPos, offset);
    }
}

// A stream is found only where four of its frames follow one another (each within a byte of
// where the one before, or half of it, ends); fewer only where the audio ends: a frame that
// ends just where the audio does, or a run cut by the end of the file after one follower.
TEST(MpegAnalysis, StreamNeedsFramesInARow) {
    Bytes one = Frame(kCbr128);
    EXPECT_TRUE(MemoryOpen(one).info.streamFound);
    Append(one, Id3v1("t"));
    EXPECT_TRUE(MemoryOpen(one).info.streamFound);
    one.insert(one.begin() + 417, 0);  // one byte off the end of the audio
    EXPECT_FALSE(MemoryOpen(one).info.streamFound);
    for (std::size_t run : {2u, 3u, 4u}) {
        Bytes bytes;
        AppendFrames(bytes, kCbr128, run);
        bytes.resize(bytes.size() + 5000, 0x11);
        EXPECT_EQ(MemoryOpen(bytes).info.streamFound, run == 4) << run;
    }
    Bytes cut;
    AppendFrames(cut, kCbr128, 3);
    cut.resize(cut.size() - 200);
    EXPECT_TRUE(MemoryOpen(cut).info.streamFound);

    // The header after a frame of another layer does not confirm it.
    Bytes mixed = Frame(0xFFFD9064);  // Layer II
    AppendFrames(mixed, kCbr128, 3);
    EXPECT_EQ(MemoryOpen(mixed).info.dataStart, DecodeHeader(0xFFFD9064).frameLength);
    // One byte late.
    Bytes late = Frame(kCbr128);
    late.push_back(0);
    AppendFrames(late, kCbr128, 3);
    EXPECT_EQ(MemoryOpen(late).info.dataStart, 0u);
}

// Files of other formats are never searched for frames, whatever they hold, also behind an
// ID3v2 tag; a WAVE file whose format is MPEG audio is searched from its data chunk.
TEST(MpegAnalysis, OtherFormatsHoldNoStream) {
    Bytes frames;
    AppendFrames(frames, kCbr128, 20);
    auto wave = [&](std::uint8_t format) {
        Bytes b = {'R', 'I', 'F', 'F', 0,   0,  0, 0, 'W', 'A',    'V',
                   'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,   format, 0};
        b.resize(36, 0);
        Append(b, {'d', 'a', 't', 'a', 0, 0, 0, 0});
        Append(b, frames);
        return b;
    };
    EXPECT_FALSE(MemoryOpen(wave(1)).info.streamFound);
    MemoryOpen mpegWave(wave(0x55));
    EXPECT_TRUE(mpegWave.info.streamFound);
    EXPECT_EQ(mpegWave.info.dataStart, 44u);
    for (const std::string& magic :
         {std::string("RF64"), std::string("OggS"), std::string("fLaC"),
          std::string("\0\0\0\x20"
                      "ftypM4A ",
                      12),
          std::string("FORM"),
          std::string("\x7F"
                      "ELF"),
          std::string("MZ"), std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11")}) {
        Bytes bytes(magic.begin(), magic.end());
        bytes.resize(64, 0);
        Append(bytes, frames);
        EXPECT_FALSE(MemoryOpen(bytes).info.streamFound) << magic;
        Bytes tagged = Id3v2(300);
        Append(tagged, bytes);
        MemoryOpen opened(tagged);
        EXPECT_FALSE(opened.info.streamFound) << magic;
        EXPECT_TRUE(opened.info.AnalyseFile(opened.file, "m.mp3"));
        EXPECT_FALSE(opened.info.streamFound) << magic;
    }
}

// The audio ends before the tags at the end of a file, in any order before an ID3v1 tag (APEv2
// with or without its header, Lyrics3 v1 and v2, ID3v2 with a footer or without one), and
// before a last frame that the end cuts short; times map no further.
TEST(MpegAnalysis, AudioEndsBeforeTrailingTags) {
    Bytes audio;
    AppendFrames(audio, kCbr128, 10);
    auto ape = [](bool header) {
        const Bytes item = {5,   0,   0,   0, 0,   0,   0,   0,   'T', 'i',
                            't', 'l', 'e', 0, 'S', 'o', 'n', 'g', '!'};
        auto block = [&](std::uint8_t flags) {
            Bytes b = {'A',
                       'P',
                       'E',
                       'T',
                       'A',
                       'G',
                       'E',
                       'X',
                       0xD0,
                       0x07,
                       0,
                       0,
                       static_cast<std::uint8_t>(item.size() + 32),
                       0,
                       0,
                       0,
                       1,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       flags};
            b.resize(32, 0);
            return b;
        };
        Bytes tag = header ? block(0xA0) : Bytes{};
        Append(tag, item);
        Append(tag, block(header ? 0x80 : 0));
        return tag;
    };
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    const Bytes lyrics2 = text("LYRICSBEGININD0000210000021LYRICS200");
    const Bytes lyrics1 = text("LYRICSBEGINsome words LYRICSEND");
    Bytes footed = Id3v2(200, 4);
    footed[5] = 0x10;
    Append(footed, text("3DI"));
    Append(footed, {4, 0, 0x10, 0, 0, 1, 62});
    for (const std::vector<Bytes>& tags : {std::vector<Bytes>{ape(true), lyrics2, Id3v1("t")},
                                           {footed, ape(false)},
                                           {lyrics1, Id3v2(300), Id3v1("t")}}) {
        Bytes bytes = audio;
        for (const Bytes& tag : tags)
            Append(bytes, tag);
        MemoryOpen m(bytes);
        EXPECT_EQ(m.info.audioEnd, audio.size()) << bytes.size();
        EXPECT_EQ(m.info.frameCount, 10u);
        EXPECT_EQ(m.info.TimeToOffset(m.info.durationMs + 1, 0, true), audio.size());
    }
    Bytes cut(audio.begin(), audio.end() - 100);
    Append(cut, Id3v1("t"));
    MemoryOpen m(cut);
    EXPECT_EQ(m.info.tagsStart, audio.size() - 100);
    EXPECT_EQ(m.info.audioEnd, 9u * 417);
}

// A search gives up after 100 000 words in a file under 1 000 000 bytes, after a quarter of
// the length in a larger one.
TEST(MpegAnalysis, ScanBudget) {
    auto withGap = [](std::size_t gap, std::size_t total) {
        Bytes bytes(gap, 0);
        AppendFrames(bytes, kCbr128, 4);
        if (bytes.size() < total)
            bytes.resize(total, 0);
        return bytes;
    };
    EXPECT_TRUE(MemoryOpen(withGap(99'999, 0)).info.streamFound);
    EXPECT_FALSE(MemoryOpen(withGap(100'000, 0)).info.streamFound);
    EXPECT_TRUE(MemoryOpen(withGap(499'999, 2'000'000)).info.streamFound);
    EXPECT_FALSE(MemoryOpen(withGap(500'000, 2'000'000)).info.streamFound);
    MpegAnalysis empty;
    EXPECT_EQ(empty.ScanBudget(), 100'000u);
}

// Cut points move forward to a frame start within five frame lengths, else stay.
TEST(MpegAnalysis, SnapToFrame) {
    Bytes bytes;
    AppendFrames(bytes, kCbr128, 3);
    bytes.resize(bytes.size() + 5000, 0);
    AppendFrames(bytes, kCbr128, 3);
    MemoryOpen m(bytes);
    EXPECT_EQ(m.info.SnapToFrame(m.file, 100), 417u);
    EXPECT_EQ(m.info.SnapToFrame(m.file, 417), 417u);
    EXPECT_EQ(m.info.SnapToFrame(m.file, 1300), 1300u);
    EXPECT_EQ(m.info.SnapToFrame(m.file, 6251 - 2000), 6251u);
    EXPECT_EQ(m.info.SnapToFrame(m.file, bytes.size() - 2), bytes.size() - 2);
}

// Times map linearly by the first header's bitrate; 0 is the first frame, a time past the end
// the end of the audio before the ID3v1 tag; a reference duration rescales the time.
TEST(MpegAnalysis, TimeToOffsetCbr) {
    Bytes bytes = Id3v2(1000);
    AppendFrames(bytes, kCbr128, 1000);
    Append(bytes, Id3v1("x"));
    MemoryOpen m(bytes);
    MpegAnalysis& i = m.info;
    EXPECT_EQ(i.TimeToOffset(0, 0, true), 1000u);
    EXPECT_EQ(i.TimeToOffset(1000, 0, true), 17'000u);
    EXPECT_EQ(i.TimeToOffset(1000, 0, false), 17'000u);
    EXPECT_EQ(i.TimeToOffset(i.durationMs + 1, 0, true), bytes.size() - 128);
    EXPECT_EQ(i.TimeToOffset(i.durationMs, 0, true),
              1000u + static_cast<std::uint64_t>(i.durationMs * 16.0));
    EXPECT_EQ(i.TimeToOffset(5000, 5000, true), bytes.size() - 128);
    EXPECT_EQ(i.TimeToOffset(1000, i.durationMs * 2, true), 9000u);  // 500 ms of this file
    FrameIndexEntry at = i.LocateTime(1000, m.file);
    EXPECT_EQ(at.elapsedMs, 1000.0);
    EXPECT_EQ(at.endOffset, 17'000u);
    EXPECT_EQ(at.frameNumber, 17'000 / 417);
    EXPECT_EQ(i.LocateTime(0, m.file), (FrameIndexEntry{0, 0, 1000}));
}

// The full walk counts every frame: confirmed by the next, or ending with the audio (the last),
// or following a VBR header frame; average bitrate is the mean of the frames' bitrates, and
// the duration the frames' samples.
TEST(MpegAnalysis, AnalyseWalksFrames) {
    Bytes cbr;
    AppendFrames(cbr, kCbr128, 50);
    BufferedFile file;
    file.OpenMemory(cbr);
    MpegAnalysis info;
    ASSERT_TRUE(info.AnalyseFile(file, "m.mp3"));
    EXPECT_TRUE(info.streamFound);
    EXPECT_EQ(info.scannedFrames, 50u);
    EXPECT_EQ(info.avgBitrate, 128.0);
    EXPECT_EQ(info.durationMs, 50u * 1152 * 1000 / 44100);
    EXPECT_EQ(info.fileLength, 0u);

    Bytes vbr = Id3v2(700);
    Append(vbr, VbrFrame(kCbr128, "Xing", 60));
    AppendFrames(vbr, kCbr128, 30);
    AppendFrames(vbr, kCbr192, 30);
    Append(vbr, Id3v1("Tail"));
    // The last bytes of a frame and the next header's first make a header: the walk takes the
    // frame where the one before ends.
    const std::size_t fifth = 700 + 417 * 5;
    vbr[fifth - 3] = 0xFF;
    vbr[fifth - 2] = 0xFB;
    vbr[fifth - 1] = 0xA0;  // a longer frame: its end would pass over the next header
    file.OpenMemory(vbr);
    ASSERT_TRUE(info.AnalyseFile(file, "m.mp3"));
    EXPECT_EQ(info.scannedFrames, 60u);
    EXPECT_EQ(info.avgBitrate, 160.0);
    EXPECT_EQ(info.vbrType, VbrHeaderType::Xing);
    EXPECT_EQ(info.title, "Tail");
    EXPECT_EQ(info.header.bitrateKbps, 128);

    Bytes nothing(5000, 0x11);
    file.OpenMemory(nothing);
    ASSERT_TRUE(info.AnalyseFile(file, "m.mp3"));
    EXPECT_FALSE(info.streamFound);
    EXPECT_EQ(info.scannedFrames, 0u);
}

// Bitrate × duration is compared with the file size in 64 bits: 40 hours at 320 kbit/s are
// plausible for a file of their size, and a wrapped 32-bit product never passes a tiny file.
TEST(MpegAnalysis, PlausibilityIn64Bits) {
    EXPECT_TRUE(MpegAnalysis::IsPlausibleScan(144'000'000, 320, 5'760'000'000));
    EXPECT_FALSE(MpegAnalysis::IsPlausibleScan(858'993'464, 40, 1000));
    EXPECT_FALSE(MpegAnalysis::IsPlausibleScan(100'000, 128, 1000));
}

// Extensions decide what each analysis accepts; a missing file fails and leaves the object
// reset.
TEST_F(MpegAnalysisTest, ExtensionsAndMissingFiles) {
    Bytes bytes;
    AppendFrames(bytes, kCbr128, 10);
    for (const char* name : {"a.mp3", "b.MP2", "c.mp1", "d.Mpa", "e.wav", "f"})
        WriteFileBytes(dir / name, bytes);
    MpegAnalysis info;
    for (const char* name : {"a.mp3", "b.MP2", "c.mp1", "d.Mpa"}) {
        EXPECT_TRUE(info.Open((dir / name).string())) << name;
        EXPECT_TRUE(info.streamFound) << name;
        EXPECT_EQ(info.path, (dir / name).string());
    }
    EXPECT_FALSE(info.Open((dir / "e.wav").string()));
    EXPECT_FALSE(info.Open((dir / "f").string()));
    EXPECT_FALSE(info.streamFound);
    EXPECT_TRUE(info.Analyse((dir / "a.mp3").string()));
    EXPECT_FALSE(info.Analyse((dir / "b.MP2").string()));
    EXPECT_FALSE(info.Open((dir / "missing.mp3").string()));
    EXPECT_EQ(info.path, "");
    MpegAnalysis analysed((dir / "a.mp3").string());
    EXPECT_EQ(analysed.scannedFrames, 10u);
}

// Open reads the head of a file and its tail (tags, the last frames), not the rest.
TEST_F(MpegAnalysisTest, OpenReadsOnlyTheHead) {
    Bytes bytes = Id3v2(4000);
    Append(bytes, VbrFrame(kCbr128, "Xing", 48000));
    AppendFrames(bytes, kCbr128, 48000);  // 20 MB
    Append(bytes, Id3v1("End"));
    WriteFileBytes(dir / "big.mp3", bytes);
    BufferedFile file;
    ASSERT_TRUE(file.Open(dir / "big.mp3"));
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, (dir / "big.mp3").string()));
    EXPECT_TRUE(info.streamFound);
    EXPECT_EQ(info.title, "End");
    EXPECT_EQ(info.dataStart, 4417u);
    EXPECT_LT(file.BytesFetched(), 400'000u);
}

}  // namespace
}  // namespace partita
