#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/string_table.h"
#include "planned_peaks.h"
#include "split/silence_detector.h"
#include "split/stream_peak_source.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

using test::PlannedPeaks;
using test::ScriptedHost;
using test::ToneSegment;

constexpr std::uint32_t kLoud = 16000;  // about −7 dB
constexpr std::uint32_t kQuiet = 300;   // about −41 dB, under the −30 dB default
constexpr std::uint32_t kZero = 0;

std::vector<std::uint64_t> Times(const SilenceScan& scan) {
    std::vector<std::uint64_t> times;
    for (const SilencePoint& p : scan.points)
        times.push_back(p.ms);
    return times;
}

class SilenceDetectorTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }
    ScriptedHost host;
    SilenceOptions options;
};

// Levels are 20·log10(peak) − 91: full scale is about −0.7 dB, a zero peak minus infinity.
TEST_F(SilenceDetectorTest, LevelScale) {
    EXPECT_NEAR(PeakLevelDb(32768), -0.69, 0.01);
    EXPECT_NEAR(PeakLevelDb(1), -91.0, 1e-9);
    EXPECT_LT(PeakLevelDb(0), -1e300);
}

// Without "Exclude Silence" each silence gives one point 0.3 s before the sound resumes; a
// silence at the very start and one still running at the end give none.
TEST_F(SilenceDetectorTest, PointsBeforeTheSoundResumes) {
    PlannedPeaks source({{kZero, 5000},
                         {kLoud, 10000},
                         {kQuiet, 2000},
                         {kLoud, 10000},
                         {kZero, 3000},
                         {kLoud, 5000},
                         {kZero, 4000}});
    SilenceScan scan = DetectSilence(source, options, host, "live.mp3");
    EXPECT_TRUE(scan.completed);
    EXPECT_EQ(scan.silenceCount, 4);
    EXPECT_EQ(Times(scan), (std::vector<std::uint64_t>{16700, 29700}));
    for (const SilencePoint& p : scan.points)
        EXPECT_FALSE(p.uncheck);
    EXPECT_EQ(host.lastProgress, 100u);
    EXPECT_EQ(host.statuses.back(), "Detecting silence... (4 silent sections found - live.mp3)");
}

// With "Exclude Silence" each silence becomes an unchecked track from its start to the
// pre-roll before the next sound, the one at the start of the file included.
TEST_F(SilenceDetectorTest, ExcludedSilencesBecomeUncheckedTracks) {
    options.excludeSilence = true;
    PlannedPeaks source({{kZero, 5000}, {kLoud, 10000}, {kZero, 3000}, {kLoud, 5000}});
    SilenceScan scan = DetectSilence(source, options, host, "a.wav");
    ASSERT_EQ(scan.points.size(), 4u);
    EXPECT_EQ(scan.points[0].ms, 0u);
    EXPECT_TRUE(scan.points[0].uncheck);
    EXPECT_EQ(scan.points[1].ms, 4700u);
    EXPECT_FALSE(scan.points[1].uncheck);
    EXPECT_EQ(scan.points[2].ms, 15000u);
    EXPECT_TRUE(scan.points[2].uncheck);
    EXPECT_EQ(scan.points[3].ms, 17700u);
    EXPECT_FALSE(scan.points[3].uncheck);
}

// Quiet stretches no longer than the minimum and bursts of up to 40 ms inside a silence change
// nothing; the pre-roll is the minimum length when that is under 0.3 s.
TEST_F(SilenceDetectorTest, MinimumLengthAndShortSounds) {
    PlannedPeaks shortDip({{kLoud, 3000}, {kZero, 1500}, {kLoud, 3000}});
    EXPECT_TRUE(DetectSilence(shortDip, options, host, "x").points.empty());

    // 60 ms of sound (three blocks) is still a burst; the silence ends at the long sound.
    PlannedPeaks bursts({{kLoud, 3000},
                         {kZero, 2000},
                         {kLoud, 40},
                         {kZero, 1000},
                         {kLoud, 60},
                         {kZero, 1000},
                         {kLoud, 3000}});
    EXPECT_EQ(Times(DetectSilence(bursts, options, host, "x")), (std::vector<std::uint64_t>{6800}));

    options.minLengthMs = 100;
    PlannedPeaks shortRoll({{kLoud, 3000}, {kZero, 500}, {kLoud, 3000}});
    EXPECT_EQ(Times(DetectSilence(shortRoll, options, host, "x")),
              (std::vector<std::uint64_t>{3400}));
}

// The threshold is the setting in tenths of a dB below full scale; a peak on the threshold
// counts as quiet.
TEST_F(SilenceDetectorTest, Threshold) {
    options.levelTenthsDb = 600;  // −60 dB: peak 28 is −62 dB, 300 is −41 dB
    PlannedPeaks source({{kLoud, 2000}, {300, 3000}, {kLoud, 1000}, {28, 3000}, {kLoud, 1000}});
    EXPECT_EQ(Times(DetectSilence(source, options, host, "x")), (std::vector<std::uint64_t>{8700}));
}

// Cancelling asks ConfirmStopSilenceDetection first; "no" goes on, "yes" stops with the points
// found so far.
TEST_F(SilenceDetectorTest, CancelKeepsWhatWasFound) {
    PlannedPeaks source(
        {{kLoud, 2000}, {kZero, 2000}, {kLoud, 2000}, {kZero, 2000}, {kLoud, 2000}});
    host.stopAtCall = {50, 300};
    host.yesNoAnswers = {false, true};
    SilenceScan scan = DetectSilence(source, options, host, "x");
    EXPECT_FALSE(scan.completed);
    EXPECT_EQ(source.Read(), 300u);
    EXPECT_EQ(Times(scan), (std::vector<std::uint64_t>{3700}));
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[0], "Do you want to abort the silence detection?");
}

// The dialog's ranges: −90.0 to −10.0 dB and 100 to 10000 ms; values round-trip the settings.
TEST_F(SilenceDetectorTest, Settings) {
    MemorySettingsStore store;
    SilenceOptions read = SilenceOptions::Read(store);
    EXPECT_EQ(read.levelTenthsDb, 300);
    EXPECT_EQ(read.minLengthMs, 1500);
    EXPECT_FALSE(read.excludeSilence);
    SilenceOptions typed{50, 20000, true};
    SilenceOptions clamped = typed.Clamped();
    EXPECT_EQ(clamped.levelTenthsDb, 100);
    EXPECT_EQ(clamped.minLengthMs, 10000);
    SilenceOptions low = SilenceOptions{950, 50, false}.Clamped();
    EXPECT_EQ(low.levelTenthsDb, 900);
    EXPECT_EQ(low.minLengthMs, 100);
    clamped.Write(store);
    read = SilenceOptions::Read(store);
    EXPECT_EQ(read.levelTenthsDb, 100);
    EXPECT_TRUE(read.excludeSilence);
}

class DecodedSilenceTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }
    ScriptedHost host;
};

// Tones with known silences, decoded from WAV and from MP3: every silence is found within
// 50 ms of where it is; a quiet stretch shorter than the minimum and a 40 ms click inside a
// silence change nothing.
TEST_F(DecodedSilenceTest, FindsKnownSilences) {
    const std::vector<ToneSegment> plan{
        {440, 2000},  //
        {0, 2000},    // silence 2000-4000
        {660, 2000},  //
        {0, 1000},    // too short: 6000-7000
        {550, 2000},  //
        {0, 2000},    // silence 9000-12000, with a click at 11000
        {880, 40},    //
        {0, 960},     //
        {440, 1500},  //
        {0, 1800},    // silence 13500-15300
        {330, 1000},  // to 16300
    };
    const std::vector<std::pair<double, double>> silences{
        {2000, 4000}, {9000, 12000}, {13500, 15300}};

    test::WriteWav(dir / "tones.wav", test::SynthesizePcm(plan, 44100, 2), 44100, 2);
    auto mp3 = test::MakeMp3(dir.Path(), "tones.mp3", plan, {"-b", "128"});
    for (const std::string& path : {(dir / "tones.wav").string(), mp3.string()}) {
        for (bool exclude : {false, true}) {
            SCOPED_TRACE(path + (exclude ? " excluding silences" : ""));
            auto source = OpenPeakSource(path, false);
            ASSERT_TRUE(source);
            EXPECT_NEAR(double(source->LengthMs()), 16300.0, 60.0);
            SilenceOptions options;
            options.excludeSilence = exclude;
            SilenceScan scan = DetectSilence(*source, options, host, "tones");
            EXPECT_EQ(scan.silenceCount, 3);
            ASSERT_EQ(scan.points.size(), exclude ? 6u : 3u);
            for (std::size_t i = 0; i < silences.size(); ++i) {
                const SilencePoint& end = scan.points[exclude ? 2 * i + 1 : i];
                EXPECT_NEAR(double(end.ms), silences[i].second - 300, 50.0) << i;
                EXPECT_FALSE(end.uncheck);
                if (exclude) {
                    const SilencePoint& start = scan.points[2 * i];
                    EXPECT_NEAR(double(start.ms), silences[i].first, 50.0) << i;
                    EXPECT_TRUE(start.uncheck);
                }
            }
        }
    }
}

// A file the audio layer cannot open gives no source and the reason.
TEST_F(DecodedSilenceTest, UnreadableFile) {
    test::WriteFileText(dir / "broken.mp3", "not audio at all");
    UserMessage failure;
    EXPECT_FALSE(OpenPeakSource((dir / "broken.mp3").string(), false, &failure));
    EXPECT_TRUE(failure.Id());
    EXPECT_FALSE(failure.Text().empty());
}

}  // namespace
}  // namespace partita
