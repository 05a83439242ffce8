#include <sys/stat.h>

#include <cstring>

#include "app/memory_settings_store.h"
#include "app/string_table.h"
#include "split/file_copy.h"
#include "split/source_probe.h"
#include "split/split_engine.h"
#include "split/split_job.h"
#include "split/split_options.h"
#include "support/scripted_host.h"
#include "support/test_support.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

struct WavLayout {
    std::uint16_t channels = 2;
    std::uint16_t bits = 16;
    std::uint32_t rate = 8000;
    std::uint32_t frames = 8000;
    bool listBeforeData = false;  // a LIST chunk between fmt and data
    Bytes trailer;                // a chunk after the samples
};

// A WAV file of counting bytes (so every byte's origin is known), and its sample bytes.
Bytes MakeWav(const WavLayout& layout, Bytes* samples) {
    const std::uint16_t align = static_cast<std::uint16_t>(layout.channels * layout.bits / 8);
    samples->clear();
    for (std::uint32_t i = 0; i < layout.frames * align; ++i)
        samples->push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
    Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, layout.channels, 2);
    PutLe(out, layout.rate, 4);
    PutLe(out, layout.rate * align, 4);
    PutLe(out, align, 2);
    PutLe(out, layout.bits, 2);
    if (layout.listBeforeData) {
        out.insert(out.end(), {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0});
    }
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, samples->size(), 4);
    out.insert(out.end(), samples->begin(), samples->end());
    if (samples->size() % 2)
        out.push_back(0);
    out.insert(out.end(), layout.trailer.begin(), layout.trailer.end());
    std::uint32_t riff = static_cast<std::uint32_t>(out.size() - 8);
    std::memcpy(out.data() + 4, &riff, 4);
    return out;
}

// The sample bytes of a WAV output, checked for a consistent header on the way.
Bytes SamplesOf(const Bytes& file) {
    EXPECT_EQ(Le32(file, 4), file.size() - 8);
    std::size_t pos = 12;
    while (pos + 8 <= file.size()) {
        std::uint32_t size = Le32(file, pos + 4);
        if (std::memcmp(file.data() + pos, "data", 4) == 0) {
            EXPECT_LE(pos + 8 + size, file.size());
            return Bytes(file.begin() + pos + 8, file.begin() + pos + 8 + size);
        }
        pos += 8 + size + (size & 1);
    }
    ADD_FAILURE() << "no data chunk";
    return {};
}

class WavCutTest : public test::TempDirTest {
  protected:
    // Cuts the source at `points` (ms) into consecutive tracks; returns the outputs' samples.
    std::vector<Bytes> CutAt(const WavLayout& layout, std::vector<std::uint64_t> points,
                             Bytes* samples) {
        auto path = (dir / "src.wav").string();
        test::WriteFileBytes(path, MakeWav(layout, samples));
        SplitSource source = PrepareSource(path, SplitMode::Auto);
        EXPECT_EQ(source.audioType, audio::AudioType::Wav);
        points.insert(points.begin(), 0);
        points.push_back(source.durationMs);
        std::vector<Bytes> outputs;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            auto out = (dir / ("t" + std::to_string(i) + ".wav")).string();
            EXPECT_EQ(CutWavTrack(source, out, points[i], points[i + 1]), CutOutcome::Written);
            outputs.push_back(SamplesOf(test::ReadFileBytes(out)));
        }
        return outputs;
    }

    static Bytes Concat(const std::vector<Bytes>& parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }
};

// Consecutive tracks of a 24-bit stereo file cover the samples exactly, each cut on a whole
// sample frame (6 bytes).
TEST_F(WavCutTest, TwentyFourBitStereoCutsOnFrames) {
    WavLayout layout;
    layout.bits = 24;
    layout.rate = 44100;
    layout.frames = 44100 * 2;
    Bytes samples;
    auto outputs = CutAt(layout, {333, 1001, 1500}, &samples);
    ASSERT_EQ(outputs.size(), 4u);
    for (const Bytes& o : outputs)
        EXPECT_EQ(o.size() % 6, 0u);
    EXPECT_EQ(Concat(outputs), samples);
    // 333 ms of 44.1 kHz is 14685.3 frames: the cut lies on frame 14685.
    EXPECT_EQ(outputs[0].size(), 14685u * 6);
}

// 8-bit mono (odd sample counts get a pad byte) and 16-bit mono also split exactly.
TEST_F(WavCutTest, SmallSampleFormats) {
    for (std::uint16_t bits : {8, 16}) {
        WavLayout layout;
        layout.channels = 1;
        layout.bits = bits;
        layout.rate = 11025;
        layout.frames = 11025;
        Bytes samples;
        auto outputs = CutAt(layout, {100, 333}, &samples);
        EXPECT_EQ(Concat(outputs), samples) << bits;
    }
}

// A chunk after the samples is never copied as audio; chunks before them are kept.
TEST_F(WavCutTest, TrailingChunkIsNotAudio) {
    WavLayout layout;
    layout.listBeforeData = true;
    layout.trailer = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    Bytes samples;
    auto outputs = CutAt(layout, {500}, &samples);
    EXPECT_EQ(Concat(outputs), samples);
    Bytes first = test::ReadFileBytes(dir / "t0.wav");
    EXPECT_EQ(first[36], 'L');  // the LIST chunk before the samples came along
}

// Outputs decode cleanly and last as long as their tracks.
TEST_F(WavCutTest, OutputsDecodeWithTheirLength) {
    auto path = dir / "tone.wav";
    test::WriteWav(path, test::SynthesizePcm({{440, 3000}}, 44100, 2), 44100, 2);
    SplitSource source = PrepareSource(path.string(), SplitMode::Auto);
    EXPECT_EQ(source.durationMs, 3000u);
    auto out = dir / "part.wav";
    ASSERT_EQ(CutWavTrack(source, out.string(), 1000, 2250), CutOutcome::Written);
    EXPECT_TRUE(test::DecodesCleanly(out));
    EXPECT_NEAR(test::ProbeDurationMs(out), 1250, 1);
}

// Durations and cut points come from the samples, not from the header's bytes per second:
// PCM by rate × block align whatever that field says, a coded format (IMA ADPCM as ffmpeg
// writes it, with a byte rate that is not its own) by its sample count. A coded piece's "fact"
// chunk holds its samples, not its blocks.
TEST_F(WavCutTest, TimesFromSamplesNotByteRate) {
    Bytes samples;
    Bytes pcm = MakeWav(WavLayout{}, &samples);                // 1 s of 8 kHz stereo
    pcm[28] = 0xE8, pcm[29] = 0x03, pcm[30] = 0, pcm[31] = 0;  // 1000 bytes per second
    test::WriteFileBytes(dir / "pcm.wav", pcm);
    SplitSource source = PrepareSource((dir / "pcm.wav").string(), SplitMode::Auto);
    EXPECT_EQ(source.durationMs, 1000u);
    EXPECT_EQ(WavTrackRange(source, 250, 500)->begin, 44u + 8000);

    auto tone = dir / "tone.wav";
    test::WriteWav(tone, test::SynthesizePcm({{440, 3000}}, 44100, 2), 44100, 2);
    auto ima = dir / "ima.wav";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-loglevel", "error", "-y", "-i", tone.string(), "-c:a",
                                "adpcm_ima_wav", ima.string()}),
              0);
    source = PrepareSource(ima.string(), SplitMode::Auto);
    EXPECT_NEAR(static_cast<double>(source.durationMs), 3000, 25);
    auto out = dir / "piece.wav";
    ASSERT_EQ(CutWavTrack(source, out.string(), 1000, 2000), CutOutcome::Written);
    EXPECT_TRUE(test::DecodesCleanly(out));
    EXPECT_NEAR(test::ProbeDurationMs(out), 1000, 25);
}

// A failed cut leaves nothing under the output's name and an existing file as it was.
TEST_F(WavCutTest, FailedCutLeavesExistingFile) {
    Bytes samples;
    auto path = (dir / "src.wav").string();
    test::WriteFileBytes(path, MakeWav(WavLayout{}, &samples));
    SplitSource source = PrepareSource(path, SplitMode::Auto);
    auto out = dir / "out.wav";
    test::WriteFileText(out, "precious");
    // The source changed into something else after it was prepared.
    test::WriteFileText(path, "not a wave file any more");
    EXPECT_EQ(CutWavTrack(source, out.string(), 0, 500), CutOutcome::Failed);
    EXPECT_EQ(test::ReadFileBytes(out).size(), 8u);
    // A start after the end fails before anything is touched.
    test::WriteFileBytes(path, MakeWav(WavLayout{}, &samples));
    EXPECT_EQ(CutWavTrack(source, out.string(), 600, 500), CutOutcome::Failed);
    // A folder that cannot be written leaves nothing behind.
    auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0500);
    if (::access(locked.c_str(), W_OK) != 0) {
        EXPECT_EQ(CutWavTrack(source, (locked / "x.wav").string(), 0, 500), CutOutcome::Failed);
        EXPECT_TRUE(std::filesystem::is_empty(locked));
    }
    ::chmod(locked.c_str(), 0700);
    std::size_t entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 3u);  // src.wav, out.wav, locked: no temporary file left
}

// Truncated or streamed files (data size 0 or past the end) cut up to what is there; files
// without a format are not WAV.
TEST_F(WavCutTest, LayoutOfOddFiles) {
    Bytes samples;
    Bytes wav = MakeWav(WavLayout{}, &samples);
    wav.resize(wav.size() - 1001);  // cut short in the middle of a frame
    auto path = (dir / "short.wav").string();
    test::WriteFileBytes(path, wav);
    ReadOnlyFile file(path);
    auto layout = ReadWavLayout(file);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataStart, 44u);
    EXPECT_EQ(layout->dataSize, samples.size() - 1001);
    EXPECT_EQ(layout->DataOffsetOf(999'999), (samples.size() - 1004));  // whole frames only

    test::WriteFileText(dir / "nofmt.wav", std::string("RIFF\4\0\0\0WAVEdata\0\0\0\0", 20));
    ReadOnlyFile bad((dir / "nofmt.wav").string());
    EXPECT_FALSE(ReadWavLayout(bad));
}

// RF64 sources keep their layout; the sizes go into the ds64 chunk.
TEST_F(WavCutTest, Rf64SizesGoToDs64) {
    WavLayout layout;
    Bytes samples;
    Bytes riff = MakeWav(layout, &samples);
    // Rebuild as RF64: "RF64", 0xFFFFFFFF sizes, a ds64 chunk first.
    Bytes rf64{'R', 'F', '6', '4', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E', 'd', 's', '6', '4'};
    PutLe(rf64, 28, 4);
    PutLe(rf64, 0, 8);
    PutLe(rf64, samples.size(), 8);
    PutLe(rf64, samples.size() / 4, 8);
    PutLe(rf64, 0, 4);                                              // table length
    rf64.insert(rf64.end(), riff.begin() + 12, riff.begin() + 36);  // fmt
    rf64.insert(rf64.end(), {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF});
    rf64.insert(rf64.end(), samples.begin(), samples.end());
    auto path = (dir / "big.wav").string();
    test::WriteFileBytes(path, rf64);
    SplitSource source = PrepareSource(path, SplitMode::Auto);
    ASSERT_EQ(source.durationMs, 1000u);
    auto out = dir / "part.wav";
    ASSERT_EQ(CutWavTrack(source, out.string(), 250, 500), CutOutcome::Written);
    Bytes part = test::ReadFileBytes(out);
    EXPECT_EQ(std::memcmp(part.data(), "RF64", 4), 0);
    std::size_t dataStart = rf64.size() - samples.size();
    EXPECT_EQ(part.size(), dataStart + 8000);
    EXPECT_EQ(Le32(part, 20 + 8), 8000u);   // ds64 data size
    EXPECT_EQ(Le32(part, 20 + 16), 2000u);  // sample count
    EXPECT_TRUE(std::equal(part.begin() + static_cast<long>(dataStart), part.end(),
                           samples.begin() + 8000));
}

// Through the job, WAV outputs get the track's tags written after the cut; a writer that fails
// is reported with TagsNotWritten and the output stays.
TEST_F(WavCutTest, JobWritesTagsIntoWavOutputs) {
    SetCurrentLanguage(Language::English);
    auto path = dir / "song.wav";
    test::WriteWav(path, test::SynthesizePcm({{440, 2000}}, 22050, 2), 22050, 2);
    MemorySettingsStore settings;
    test::ScriptedHost host;
    FileSourceProbe probe;
    SplitList list;
    RowId source =
        LoadSource(list, SourceLoadDefaultsFromSettings(settings), host, probe, path.string());
    ASSERT_NE(source, kNoRow);
    EXPECT_EQ(list.SourceDuration(source), 2000u);
    list.InsertSplitPoint(source, 1000);
    for (RowId row : {source, list.Children(source)[0], list.Children(source)[1]}) {
        list.EditCell(row, kColTitle, "Part %S");
        list.EditCell(row, kColArtist, "Quartet");
    }
    FileTrackCutter cutter;
    auto out = dir / "out";
    std::filesystem::create_directory(out);
    SplitJobOptions options = SplitJobOptionsFromSettings(settings);
    options.namingRule = "%F-%S";
    options.outputFolder = out.string();
    SplitJob job(list, host, cutter, options);
    ASSERT_EQ(job.StartSplit().written, 2);
    TagTexts tags;
    ASSERT_TRUE(ReadNonMpegTags(out / "song-2.wav", tags));
    EXPECT_EQ(tags.title, "Part 002");
    EXPECT_EQ(tags.artist, "Quartet");
    EXPECT_TRUE(test::DecodesCleanly(out / "song-2.wav"));
    EXPECT_NEAR(test::ProbeDurationMs(out / "song-2.wav"), 1000, 1);

    FileTrackCutter failing([](const std::string&, const TagTexts&) { return false; });
    options.confirmOverwrite = false;
    SplitJob again(list, host, failing, options);
    EXPECT_EQ(again.StartSplit().written, 2);
    EXPECT_TRUE(host.Showed(Msg::TagsNotWritten));
}

}  // namespace
}  // namespace partita
