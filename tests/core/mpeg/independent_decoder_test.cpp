#include <sstream>

#include "mpeg/mpeg_analysis.h"
#include "support/test_support.h"

namespace partita {
namespace {

using DecoderTest = test::TempDirTest;
namespace fs = std::filesystem;

// What ffprobe (an independent demuxer and decoder) sees in a file: the start offset and
// presentation time of every audio frame, and the stream's duration.
struct Probe {
    std::vector<std::uint64_t> positions;
    std::vector<double> times;
    double durationMs = -1;
};

Probe ProbeFrames(const fs::path& file) {
    Probe probe;
    std::string out;
    EXPECT_EQ(test::RunProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                                "packet=pts_time,pos", "-of", "csv=p=0", file.string()},
                               &out),
              0);
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        auto comma = line.find(',');
        if (comma == std::string::npos)
            continue;
        probe.times.push_back(std::stod(line.substr(0, comma)) * 1000);
        probe.positions.push_back(std::stoull(line.substr(comma + 1)));
    }
    probe.durationMs = test::ProbeDurationMs(file);
    return probe;
}

fs::path MakeLayer2(const fs::path& folder, const std::string& name, std::uint32_t rate,
                    const std::string& bitrate) {
    fs::path wav = folder / (name + ".wav");
    test::WriteWav(wav, test::SynthesizePcm({{440, 3000}, {880, 3000}}, 44100, 2), 44100, 2);
    fs::path out = folder / name;
    EXPECT_EQ(test::RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", wav.string(),
                                "-ar", std::to_string(rate), "-c:a", "mp2", "-b:a", bitrate, "-f",
                                "mp2", out.string()}),
              0);
    fs::remove(wav);
    return out;
}

struct Case {
    std::string name;
    std::vector<std::string> lameOptions;  // empty: a Layer II file made by ffmpeg
    int version;
    int layer;
    int sampleRate;
    const char* vbrTag;  // "" for a file without a VBR header frame
};

void CheckAgainstProbe(const fs::path& file, const Case& c) {
    SCOPED_TRACE(c.name);
    Probe probe = ProbeFrames(file);
    ASSERT_GT(probe.positions.size(), 10u);
    const std::size_t frames = probe.positions.size();

    BufferedFile reader;
    ASSERT_TRUE(reader.Open(file));
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(reader, file.string(), 0, true));
    ASSERT_TRUE(info.streamFound);
    EXPECT_EQ(ToInt(info.header.version), c.version);
    EXPECT_EQ(ToInt(info.header.layer), c.layer);
    EXPECT_EQ(info.header.sampleRate, c.sampleRate);
    EXPECT_EQ(info.vbrTag, c.vbrTag);
    EXPECT_EQ(info.dataStart, probe.positions.front());
    const double frameMs = probe.durationMs / static_cast<double>(frames);
    if (info.vbrType != VbrHeaderType::None) {
        EXPECT_EQ(info.GetFrameCount(), frames);  // the header's count is exact
    } else {
        // Estimated from the first frame's length: within the padding's share.
        EXPECT_NEAR(info.GetFrameCount(), frames, frames * 0.01 + 1);
    }
    // Open estimates from the first frame's bitrate; with a VBR header the duration is its
    // frame count's, whatever the header frame and the tags take of the file.
    EXPECT_NEAR(static_cast<double>(info.durationMs), probe.durationMs,
                info.IsVbr() ? 1.0 : 2 * frameMs + probe.durationMs * 0.01);

    // Walking the frames lands on ffprobe's frame starts.
    for (double ms : {500.0, 1234.0, probe.durationMs * 0.8}) {
        FrameIndexEntry at = info.LocateTime(static_cast<std::uint64_t>(ms), reader);
        if (info.vbrType == VbrHeaderType::None)
            continue;  // linear by bitrate, no walk
        auto it = std::find(probe.positions.begin(), probe.positions.end(), at.endOffset);
        ASSERT_NE(it, probe.positions.end()) << ms;
        const double frameStart =
            probe.times[static_cast<std::size_t>(it - probe.positions.begin())];
        EXPECT_NEAR(frameStart, ms, 1.5 * frameMs) << ms;
        EXPECT_EQ(at.frameNumber, it - probe.positions.begin()) << ms;
    }

    MpegAnalysis analysed;
    reader.Seek(0);
    ASSERT_TRUE(analysed.AnalyseFile(reader, file.string()));
    EXPECT_TRUE(analysed.streamFound);
    // Every frame counts, the last one too (it ends where the audio ends).
    EXPECT_EQ(analysed.scannedFrames, frames);
    EXPECT_NEAR(static_cast<double>(analysed.durationMs), probe.durationMs, 1.5 * frameMs);
}

// Frame counts, durations and frame positions of lame and ffmpeg files of every version and
// layer agree with ffprobe.
TEST_F(DecoderTest, AgreesWithFfprobe) {
    const std::vector<Case> cases = {
        {"cbr.mp3", {"-b", "128"}, 3, 3, 44100, "Info"},
        {"cbr-notag.mp3", {"-b", "128", "-t"}, 3, 3, 44100, ""},
        {"vbr.mp3", {"-V", "4"}, 3, 3, 44100, "Xing"},
        {"vbr-mono.mp3", {"-V", "2", "-m", "m"}, 3, 3, 44100, "Xing"},
        {"vbr-48k.mp3", {"-V", "6", "--resample", "48000"}, 3, 3, 48000, "Xing"},
        {"m2-22050.mp3", {"-b", "64", "--resample", "22050"}, 2, 3, 22050, "Info"},
        {"m2-24000.mp3", {"-V", "5", "--resample", "24000"}, 2, 3, 24000, "Xing"},
        {"m2-16000.mp3", {"-b", "64", "-m", "m", "--resample", "16000"}, 2, 3, 16000, "Info"},
        {"m25-8000.mp3", {"-b", "32", "--resample", "8000"}, 1, 3, 8000, "Info"},
        // Frames too small for LAME's tag: no header frame at all.
        {"m25-8000-small.mp3", {"-b", "16", "--resample", "8000"}, 1, 3, 8000, ""},
        {"m25-11025.mp3", {"-V", "7", "--resample", "11025"}, 1, 3, 11025, "Xing"},
        {"m25-12000.mp3", {"-b", "24", "-t", "--resample", "12000"}, 1, 3, 12000, ""},
        {"l2-44100.mp2", {}, 3, 2, 44100, ""},
        {"l2-48000.mpa", {}, 3, 2, 48000, ""},
        {"l2-22050.mp2", {}, 2, 2, 22050, ""},
    };
    for (const Case& c : cases) {
        fs::path file;
        if (c.lameOptions.empty()) {
            file = MakeLayer2(dir.Path(), c.name, static_cast<std::uint32_t>(c.sampleRate),
                              c.sampleRate < 32000 ? "64k" : "192k");
        } else {
            file = test::MakeMp3(dir.Path(), c.name, {{440, 3000}, {0, 500}, {1000, 2500}},
                                 c.lameOptions);
        }
        CheckAgainstProbe(file, c);
    }
}

}  // namespace
}  // namespace partita
