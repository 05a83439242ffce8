// Splitting real MPEG audio end to end: the outputs' frames put together are the source's
// frames, each output decodes cleanly in ffmpeg and lasts its track's length, and a VBR header
// frame in an output counts the output's own frames.

#include <cstring>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "mpeg/stream_check.h"
#include "split/mpeg_cut.h"
#include "split/source_loader.h"
#include "split/split_engine.h"
#include "split/split_job.h"
#include "split/split_options.h"
#include "support/scripted_host.h"
#include "support/test_support.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// The parts of an output file.
struct OutputParts {
    Bytes id3v2, headerFrame, audio, id3v1;
};

OutputParts Dissect(const Bytes& file, std::uint64_t headerFrameLength) {
    OutputParts parts;
    std::size_t begin = Id3v2TagSize(file, file.size());
    std::size_t end = file.size();
    if (end >= 128 && std::memcmp(file.data() + end - 128, "TAG", 3) == 0)
        end -= 128;
    parts.id3v2.assign(file.begin(), file.begin() + static_cast<long>(begin));
    parts.headerFrame.assign(file.begin() + static_cast<long>(begin),
                             file.begin() + static_cast<long>(begin + headerFrameLength));
    parts.audio.assign(file.begin() + static_cast<long>(begin + headerFrameLength),
                       file.begin() + static_cast<long>(end));
    parts.id3v1.assign(file.begin() + static_cast<long>(end), file.end());
    return parts;
}

// Frames in a run of whole frames.
std::uint32_t FramesIn(const Bytes& audio) {
    std::uint32_t frames = 0;
    for (std::size_t p = 0; p + 4 <= audio.size();) {
        std::uint32_t word = HeaderWord(audio.data() + p);
        if (!IsValidHeader(word))
            return 0;
        p += static_cast<std::size_t>(DecodeHeader(word).frameLength);
        ++frames;
    }
    return frames;
}

// The duration of the frames ffmpeg reads from a file, in ms.
double DecodedDurationMs(const fs::path& file, double frameMs) {
    std::string output;
    if (test::RunProgram(
            {"ffprobe", "-v", "error", "-count_packets", "-select_streams", "a:0", "-show_entries",
             "stream=nb_read_packets", "-of", "csv=p=0", file.string()},
            &output) != 0) {
        return -1;
    }
    return std::stod(output) * frameMs;
}

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

class MpegSplitTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    // Splits `source` at `points` (ms) in `mode` with the real engine and checks every output.
    // Returns the outputs.
    std::vector<fs::path> SplitAndCheck(const fs::path& source, std::vector<std::uint64_t> points,
                                        SplitMode mode, bool expectHeaderFrame) {
        SplitSource prepared = PrepareSource(source.string(), mode);
        EXPECT_EQ(prepared.audioType, audio::AudioType::Mpeg) << source;
        if (!prepared.mpeg)
            return {};
        const MpegAnalysis& info = *prepared.mpeg;
        EXPECT_EQ(info.vbrType != VbrHeaderType::None, expectHeaderFrame) << source;

        SplitList list;
        SourceFacts facts;
        facts.audioType = audio::AudioType::Mpeg;
        facts.durationMs = prepared.durationMs;
        RowId row =
            AddLoadedSource(list, SourceLoadDefaultsFromSettings(settings), source.string(), facts);
        list.SetMode(row, mode);
        for (std::uint64_t p : points)
            list.InsertSplitPoint(row, p);
        fs::path out = dir / ("out-" + std::to_string(++runs));
        fs::create_directory(out);
        FileTrackCutter cutter;
        std::vector<SplitTrackReport> reports;
        SplitJobOptions options = SplitJobOptionsFromSettings(settings);
        options.namingRule = "%F-%S";
        options.outputFolder = out.string();
        options.onTrack = [&](const SplitTrackReport& r) { reports.push_back(r); };
        SplitJob job(list, host, cutter, options);
        SplitJobResult result = job.StartSplit();
        EXPECT_EQ(result.written, list.TrackCount(row));

        const std::uint64_t headerLength =
            expectHeaderFrame && settings::WriteVbrHeader.Read(settings)
                ? static_cast<std::uint64_t>(DecodeHeader(info.vbrFrameHeader).frameLength)
                : 0;
        const double frameMs = SamplesPerFrame(info.header) * 1000.0 / info.header.sampleRate;
        Bytes whole = test::ReadFileBytes(source);
        Bytes sourceAudio(whole.begin() + static_cast<long>(info.dataStart),
                          whole.begin() + static_cast<long>(AudioEnd(info)));
        Bytes joined;
        std::vector<fs::path> outputs;
        for (const SplitTrackReport& r : reports) {
            outputs.push_back(r.outPath);
            Bytes file = test::ReadFileBytes(r.outPath);
            OutputParts parts = Dissect(file, headerLength);
            joined.insert(joined.end(), parts.audio.begin(), parts.audio.end());
            EXPECT_EQ(parts.id3v1.size(), 128u) << r.outPath;
            EXPECT_GT(parts.id3v2.size(), 0u) << r.outPath;
            // The frames lie at the same place within a page as in the source.
            EXPECT_TRUE(r.bytes);
            if (r.bytes) {
                EXPECT_EQ((parts.id3v2.size() + parts.headerFrame.size()) % 4096,
                          r.bytes->begin % 4096);
            }
            std::string errors;
            EXPECT_TRUE(test::DecodesCleanly(r.outPath, &errors)) << r.outPath << errors;
            // With a header frame ffprobe takes the duration from its count; without one it
            // estimates from the file size (counting the ID3v1 tag as audio), so the frames
            // ffmpeg reads are counted instead.
            double length = static_cast<double>(r.times.end - r.times.start);
            double measured = headerLength > 0 ? test::ProbeDurationMs(r.outPath)
                                               : DecodedDurationMs(r.outPath, frameMs);
            EXPECT_NEAR(measured, length, frameMs + 0.5) << r.outPath;
            if (headerLength > 0) {
                // The header frame is the source's, with this output's counts.
                std::size_t tag = info.vbrTagPos - info.vbrFramePos;
                EXPECT_GE(parts.headerFrame.size(), tag + 16);
                if (parts.headerFrame.size() < tag + 16)
                    continue;
                EXPECT_EQ(
                    std::memcmp(parts.headerFrame.data(), whole.data() + info.vbrFramePos, tag), 0);
                bool vbri = info.vbrType == VbrHeaderType::Vbri;
                std::uint32_t frames = Be32(parts.headerFrame, tag + (vbri ? 14 : 8));
                std::uint32_t bytes = Be32(parts.headerFrame, tag + (vbri ? 10 : 12));
                if (exactCounts)
                    EXPECT_EQ(frames, FramesIn(parts.audio)) << r.outPath;
                else
                    EXPECT_NEAR(frames, FramesIn(parts.audio), FramesIn(parts.audio) / 10 + 1);
                EXPECT_EQ(bytes, headerLength + parts.audio.size()) << r.outPath;
            }
        }
        // Nothing lost, nothing doubled: the outputs' frames are the source's frames.
        EXPECT_TRUE(joined == sourceAudio)
            << source << ": " << joined.size() << " bytes of " << sourceAudio.size();
        return outputs;
    }

    MemorySettingsStore settings;
    test::ScriptedHost host;
    int runs = 0;
    bool exactCounts = true;
};

const std::vector<test::ToneSegment> kSong{{440, 1500}, {0, 300}, {660, 2000}, {330, 2200}};

// A LAME constant-bitrate file (with its "Info" frame) in auto mode, that is by the bitrate.
TEST_F(MpegSplitTest, ConstantBitrateWithInfoFrame) {
    auto mp3 = test::MakeMp3(dir.Path(), "cbr.mp3", kSong, {"-b", "128"});
    SplitAndCheck(mp3, {1500, 3000, 4250}, SplitMode::Auto, true);
}

// A VBR file (Xing) in auto mode is cut frame by frame, with exact counts in its outputs; its
// frame index reports progress, and a stopped build leaves a source marked cancelled.
TEST_F(MpegSplitTest, VariableBitrateFrameMode) {
    auto mp3 = test::MakeMp3(dir.Path(), "vbr.mp3", kSong, {"-V", "4"});
    SplitAndCheck(mp3, {1000, 1800, 3333, 5000}, SplitMode::Auto, true);
    EXPECT_TRUE(PrepareSource(mp3.string(), SplitMode::Frame, [](int) { return false; }).cancelled);
}

// In fast mode a VBR file's outputs still carry the header frame.
TEST_F(MpegSplitTest, VariableBitrateFastModeKeepsHeaderFrame) {
    auto mp3 = test::MakeMp3(dir.Path(), "vbr.mp3", kSong, {"-V", "2"});
    SplitSource prepared = PrepareSource(mp3.string(), SplitMode::Fast);
    ASSERT_TRUE(prepared.mpeg);
    EXPECT_FALSE(prepared.frameMode);
    EXPECT_EQ(prepared.mpeg->indexBuilt, 0);
    CutOutcome outcome =
        CutMpegTrack(prepared, (dir / "fast.mp3").string(), 2000, 4000, {}, true, "ISO-8859-1");
    ASSERT_EQ(outcome, CutOutcome::Written);
    Bytes file = test::ReadFileBytes(dir / "fast.mp3");
    OutputParts parts = Dissect(file, DecodeHeader(prepared.mpeg->vbrFrameHeader).frameLength);
    EXPECT_EQ(std::memcmp(parts.headerFrame.data() + 36, "Xing", 4), 0);
    EXPECT_TRUE(test::DecodesCleanly(dir / "fast.mp3"));
}

// Without "Write VBR Header" no header frame is copied; the frames still add up.
TEST_F(MpegSplitTest, NoHeaderFrameWhenTurnedOff) {
    auto mp3 = test::MakeMp3(dir.Path(), "vbr.mp3", kSong, {"-V", "4"});
    settings::WriteVbrHeader.Write(settings, 0);
    auto outputs = SplitAndCheck(mp3, {3000}, SplitMode::Auto, true);
    ASSERT_EQ(outputs.size(), 2u);
    Bytes second = test::ReadFileBytes(outputs[1]);
    OutputParts parts = Dissect(second, 0);
    EXPECT_TRUE(IsValidHeader(HeaderWord(parts.audio.data())));
}

// MPEG 2 (22.05 kHz) and MPEG 2.5 (8 kHz) Layer III.
TEST_F(MpegSplitTest, Mpeg2AndMpeg25) {
    auto mpeg2 = test::MakeMp3(dir.Path(), "m2.mp3", kSong, {"-b", "64"}, 22050, 2);
    SplitAndCheck(mpeg2, {1200, 3900}, SplitMode::Auto, true);
    auto mpeg25 = test::MakeMp3(dir.Path(), "m25.mp3", kSong, {"-b", "16", "-t"}, 8000, 1);
    SplitAndCheck(mpeg25, {1000, 2500, 4000}, SplitMode::Frame, false);
}

// Layer II (made by ffmpeg's encoder), as .mp2.
TEST_F(MpegSplitTest, LayerTwo) {
    auto wav = dir / "song.wav";
    test::WriteWav(wav, test::SynthesizePcm(kSong, 44100, 2), 44100, 2);
    auto mp2 = dir / "song.mp2";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-i", wav.string(), "-c:a",
                                "mp2", "-b:a", "192k", mp2.string()}),
              0);
    SplitAndCheck(mp2, {2000, 4100}, SplitMode::Auto, false);
}

// A file that starts with an ID3v2.2 tag: the tag is never taken for audio.
TEST_F(MpegSplitTest, Id3v22Tag) {
    auto plain = test::MakeMp3(dir.Path(), "plain.mp3", kSong, {"-b", "96", "-t"});
    Bytes tag{'I', 'D', '3', 2, 0, 0, 0, 0, 0, 0};
    auto frame = [&](const char* id, const std::string& text) {
        tag.insert(tag.end(), id, id + 3);
        std::size_t size = text.size() + 1;
        tag.insert(tag.end(), {0, 0, static_cast<std::uint8_t>(size)});
        tag.push_back(0);
        tag.insert(tag.end(), text.begin(), text.end());
    };
    frame("TT2", "Old title");
    frame("TP1", "Old artist");
    // Picture-like data holding frame syncs, which a byte-wise search could take for audio.
    frame("COM", std::string("\xFF\xFB\x90\x00\xFF\xFB\x90\x00 sync-looking bytes", 28));
    tag.resize(tag.size() + 300, 0);
    std::size_t body = tag.size() - 10;
    tag[8] = static_cast<std::uint8_t>(body >> 7);
    tag[9] = static_cast<std::uint8_t>(body & 0x7F);
    Bytes file = test::ReadFileBytes(plain);
    file.insert(file.begin(), tag.begin(), tag.end());
    auto tagged = dir / "v22.mp3";
    test::WriteFileBytes(tagged, file);
    SplitSource prepared = PrepareSource(tagged.string(), SplitMode::Auto);
    ASSERT_TRUE(prepared.mpeg);
    EXPECT_EQ(prepared.mpeg->dataStart, tag.size());
    SplitAndCheck(tagged, {2500}, SplitMode::Auto, false);
}

// A VBRI header frame (as Fraunhofer encoders write) is copied and patched like a Xing frame.
TEST_F(MpegSplitTest, VbriHeader) {
    auto plain = test::MakeMp3(dir.Path(), "plain.mp3", kSong, {"-b", "128", "-t"});
    Bytes audio = test::ReadFileBytes(plain);
    FrameHeaderInfo first = DecodeHeader(HeaderWord(audio.data()));
    Bytes header(audio.begin(), audio.begin() + first.frameLength);
    std::fill(header.begin() + 4, header.end(), 0);
    std::memcpy(header.data() + 36, "VBRI", 4);
    header[41] = 1;  // version
    std::uint32_t frames = FramesIn(audio), bytes = static_cast<std::uint32_t>(audio.size());
    for (int i = 0; i < 4; ++i) {
        header[46 + i] = static_cast<std::uint8_t>(bytes >> (24 - 8 * i));
        header[50 + i] = static_cast<std::uint8_t>(frames >> (24 - 8 * i));
    }
    header.insert(header.end(), audio.begin(), audio.end());
    auto vbri = dir / "vbri.mp3";
    test::WriteFileBytes(vbri, header);
    SplitAndCheck(vbri, {1700, 3500}, SplitMode::Frame, true);
}

// The source's own tags are not copied: the outputs carry new ones, with the track's texts.
TEST_F(MpegSplitTest, TaggedSourceGetsFreshTags) {
    auto mp3 = test::MakeMp3(dir.Path(), "tagged.mp3", kSong,
                             {"-b", "128", "--add-id3v2", "--tt", "Old", "--ta", "Someone"});
    auto outputs = SplitAndCheck(mp3, {2000}, SplitMode::Auto, true);
    ASSERT_EQ(outputs.size(), 2u);
    Bytes second = test::ReadFileBytes(outputs[1]);
    EXPECT_EQ(std::memcmp(second.data(), "ID3\x03", 4), 0);
    std::string text(second.begin(), second.end());
    EXPECT_EQ(text.find("Someone"), std::string::npos);
    // The ID3v1 title is the track's, in the interface's language (English here), which
    // ISO-8859-1 holds.
    EXPECT_EQ(text.substr(text.size() - 128, 14), "TAG[Track 002]");
}

// A cut point snaps to a frame start that the next frame confirms, not to a sync word inside
// a frame's data.
TEST(MpegCutTest, SnapPassesOverFalseSync) {
    const std::uint32_t word = 0xFFFB9000;  // MPEG 1 Layer III, 128 kbit/s, 44.1 kHz: 417 bytes
    Bytes stream;
    for (int i = 0; i < 20; ++i) {
        Bytes frame(417, 0);
        for (int b = 0; b < 4; ++b)
            frame[b] = static_cast<std::uint8_t>(word >> (24 - 8 * b));
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    // A sync word in the data of frame 5, 100 bytes in.
    std::size_t planted = 5 * 417 + 100;
    for (int b = 0; b < 4; ++b)
        stream[planted + b] = static_cast<std::uint8_t>(word >> (24 - 8 * b));
    BufferedFile file;
    file.OpenMemory(stream);
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, "memory.mp3"));
    ASSERT_TRUE(info.streamFound);
    EXPECT_EQ(SnapToConfirmedFrame(info, file, 5 * 417 + 50), 6u * 417);
    EXPECT_EQ(SnapToConfirmedFrame(info, file, 6 * 417), 6u * 417);
    // The last frame is confirmed by the end of the audio.
    EXPECT_EQ(SnapToConfirmedFrame(info, file, 19 * 417 - 3), 19u * 417);
    // Past the audio nothing moves.
    EXPECT_EQ(SnapToConfirmedFrame(info, file, 20 * 417), 20u * 417);
}

// The leading tag of any ID3v2 version is skipped; a v2.4 footer counts.
TEST(MpegCutTest, LeadingId3v2Size) {
    Bytes bytes(4000, 0);
    std::memcpy(bytes.data(), "ID3\x02\x00\x00\x00\x00\x01\x10", 10);
    BufferedFile file;
    file.OpenMemory(bytes);
    EXPECT_EQ(LeadingId3v2Size(file), 10u + 144);
    bytes[3] = 4;
    bytes[5] = 0x10;
    EXPECT_EQ(LeadingId3v2Size(file), 10u + 144 + 10);
    bytes[8] = 0x7F;  // larger than the file
    EXPECT_EQ(LeadingId3v2Size(file), 0u);
    bytes[8] = 0x80;  // not a 7-bit group
    EXPECT_EQ(LeadingId3v2Size(file), 0u);
}

// Pieces of a LAME constant-bitrate file whose "Info" count does not describe it (two files
// joined end to end, a download cut short) state the frames they hold, in fast mode too.
TEST_F(MpegSplitTest, PiecesCountTheirFramesWhateverTheInfoCount) {
    auto one = test::MakeMp3(dir.Path(), "one.mp3", kSong, {"-b", "128"});
    Bytes bytes = test::ReadFileBytes(one);
    Bytes twice = bytes;
    twice.insert(twice.end(), bytes.begin(), bytes.end());
    test::WriteFileBytes(dir / "twice.mp3", twice);
    test::WriteFileBytes(dir / "cut.mp3", Bytes(bytes.begin(), bytes.begin() + 6500));
    for (const char* name : {"twice.mp3", "cut.mp3"}) {
        SplitSource source = PrepareSource((dir / name).string(), SplitMode::Fast);
        ASSERT_TRUE(source.mpeg);
        ASSERT_EQ(source.mpeg->vbrTag, "Info");
        for (auto [start, end] : {std::pair{0, 100}, std::pair{100, 9000}, std::pair{0, 9000}}) {
            const auto out = dir / "piece.mp3";
            ASSERT_EQ(CutMpegTrack(
                          source, out.string(), std::min<std::uint64_t>(start, source.durationMs),
                          std::min<std::uint64_t>(end, source.durationMs), {}, true, "ISO-8859-1"),
                      CutOutcome::Written)
                << name << " " << start;
            StreamCheck check = CheckStream(out.string());
            ASSERT_TRUE(check.statedFrames);
            EXPECT_EQ(*check.statedFrames, check.frames.Count()) << name << " " << start;
        }
    }
}

// The last piece ends with the source's last whole frame (and so decodes cleanly): before APEv2
// tags in front of the ID3v1 tag, and before a last frame that the end of the file cuts short.
TEST_F(MpegSplitTest, LastPieceEndsWithTheLastWholeFrame) {
    SplitAndCheck(test::CopyCorpusFile("ape-id3v1.mp3", dir.Path()), {1000}, SplitMode::Auto,
                  false);
    auto cut = test::MakeMp3(dir.Path(), "cut.mp3", kSong, {"-b", "128", "-t"});
    Bytes bytes = test::ReadFileBytes(cut);
    bytes.resize(bytes.size() - 200);
    test::WriteFileBytes(cut, bytes);
    SplitAndCheck(cut, {2000}, SplitMode::Fast, false);
}

// A source that shrank after its tracks were made (MPEG or WAV): a track past its new end fails
// instead of coming out as a file without audio.
TEST_F(MpegSplitTest, TrackPastShrunkSourceFails) {
    SplitList list;
    const fs::path wav = dir / "b.wav";
    test::WriteWav(wav, test::SynthesizePcm(kSong, 44100, 2), 44100, 2);
    for (const fs::path& source : {test::MakeMp3(dir.Path(), "a.mp3", kSong, {"-b", "128"}), wav}) {
        SourceFacts facts;
        facts.audioType = PrepareSource(source.string(), SplitMode::Auto).audioType;
        facts.durationMs = 6000;
        RowId row =
            AddLoadedSource(list, SourceLoadDefaultsFromSettings(settings), source.string(), facts);
        for (std::uint64_t p : {2000, 4000})
            list.InsertSplitPoint(row, p);
        Bytes bytes = test::ReadFileBytes(source);
        bytes.resize(bytes.size() / 2);
        test::WriteFileBytes(source, bytes);
    }
    fs::create_directory(dir / "out");
    FileTrackCutter cutter;
    SplitJobOptions options = SplitJobOptionsFromSettings(settings);
    options.namingRule = "%F-%S";
    options.outputFolder = (dir / "out").string();
    SplitJob job(list, host, cutter, options);
    SplitJobResult result = job.StartSplit();
    EXPECT_EQ(result.written, 4);
    EXPECT_EQ(result.failed, 2);
    EXPECT_FALSE(fs::exists(dir / "out" / "a-3.mp3"));
    EXPECT_FALSE(fs::exists(dir / "out" / "b-3.wav"));
}

// A cut that fails leaves an existing output as it was and no file of its own: a source that
// changed since it was analysed, a start after the end, a folder that cannot be written.
TEST_F(MpegSplitTest, FailedCutKeepsExistingOutput) {
    auto mp3 = test::MakeMp3(dir.Path(), "cbr.mp3", kSong, {"-b", "128"});
    SplitSource prepared = PrepareSource(mp3.string(), SplitMode::Auto);
    ASSERT_TRUE(prepared.mpeg);
    auto out = dir / "out.mp3";
    test::WriteFileText(out, "precious");
    EXPECT_EQ(CutMpegTrack(prepared, out.string(), 2000, 1000, {}, true, "ISO-8859-1"),
              CutOutcome::Failed);
    Bytes shrunk = test::ReadFileBytes(mp3);
    shrunk.resize(shrunk.size() / 2);
    test::WriteFileBytes(mp3, shrunk);
    EXPECT_EQ(CutMpegTrack(prepared, out.string(), 0, 1000, {}, true, "ISO-8859-1"),
              CutOutcome::Failed);
    EXPECT_EQ(test::ReadFileBytes(out).size(), 8u);
    EXPECT_EQ(CutMpegTrack(prepared, (dir / "missing" / "x.mp3").string(), 0, 1000, {}, true,
                           "ISO-8859-1"),
              CutOutcome::Failed);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cbr.mp3", "out.mp3"}));
}

}  // namespace
}  // namespace partita
