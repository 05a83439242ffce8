#include "join/audio_file_inspector.h"

#include "app/memory_settings_store.h"
#include "support/test_support.h"

namespace partita {
namespace {

using AudioFileInspectorTest = test::TempDirTest;

// MPEG files: length from the frames, rate and channel mode of the first frame, the first
// frame's bitrate for constant-bitrate files (a LAME "Info" frame included), the average with
// a VBR header; the tags from the file.
TEST_F(AudioFileInspectorTest, MpegFiles) {
    AudioFileInspector inspector("ISO-8859-1");
    MergeFileFacts facts;
    UserMessage error;
    auto cbr = test::MakeMp3(dir.Path(), "cbr.mp3", {{440, 3000, 0.4}},
                             {"-b", "160", "--tt", "Song", "--ta", "Band"});
    ASSERT_TRUE(inspector.Inspect(cbr.string(), facts, error));
    EXPECT_EQ(facts.audioType, audio::AudioType::Mpeg);
    EXPECT_NEAR(static_cast<double>(facts.durationMs), test::ProbeDurationMs(cbr), 2 * 26.2);
    EXPECT_EQ(facts.sampleRate, 44100);
    EXPECT_EQ(facts.channelMode, 1);
    EXPECT_EQ(facts.bitrateKbps, 160);
    EXPECT_FALSE(facts.vbr);
    EXPECT_EQ(facts.fileSize, std::filesystem::file_size(cbr));
    EXPECT_EQ(facts.tags.title, "Song");
    EXPECT_EQ(facts.tags.artist, "Band");
    EXPECT_TRUE(facts.tagsRead);

    auto vbr =
        test::MakeMp3(dir.Path(), "vbr.mp3", {{440, 2000, 0.4}}, {"-V", "2", "-m", "m"}, 32000, 1);
    ASSERT_TRUE(inspector.Inspect(vbr.string(), facts, error));
    EXPECT_TRUE(facts.vbr);
    EXPECT_EQ(facts.sampleRate, 32000);
    EXPECT_EQ(facts.channelMode, 3);
    EXPECT_EQ(facts.channels, 1);
    EXPECT_GT(facts.bitrateKbps, 8);
    EXPECT_LT(facts.bitrateKbps, 160);
}

// Other files through the audio layer; a file that cannot be opened is refused with its
// message.
TEST_F(AudioFileInspectorTest, OtherFilesAndFailures) {
    AudioFileInspector inspector("ISO-8859-1");
    MergeFileFacts facts;
    UserMessage error;
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 1500}}, 22050, 1), 22050, 1);
    ASSERT_TRUE(inspector.Inspect((dir / "a.wav").string(), facts, error));
    EXPECT_EQ(facts.audioType, audio::AudioType::Wav);
    EXPECT_EQ(facts.durationMs, 1500u);
    EXPECT_EQ(facts.sampleRate, 22050);
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.channelMode, -1);

    EXPECT_FALSE(inspector.Inspect((dir / "missing.mp3").string(), facts, error));
    EXPECT_NE(error.Text().find("missing.mp3"), std::string::npos);
    test::WriteFileText(dir / "text.mp3", std::string(4000, 'x'));
    EXPECT_FALSE(inspector.Inspect((dir / "text.mp3").string(), facts, error));
    EXPECT_NE(error.Text().find("text.mp3"), std::string::npos);
}

// Rows made from real files show the channel names the survey reads.
TEST_F(AudioFileInspectorTest, RowTexts) {
    AudioFileInspector inspector("ISO-8859-1");
    MergeList list;
    auto mono =
        test::MakeMp3(dir.Path(), "mono.mp3", {{440, 1000}}, {"-b", "64", "-m", "m"}, 44100, 1);
    test::WriteWav(dir / "b.wav", test::SynthesizePcm({{440, 1000}}, 44100, 2), 44100, 2);
    ASSERT_TRUE(list.AddFile(mono.string(), 0, inspector, {}).added);
    ASSERT_TRUE(list.AddFile((dir / "b.wav").string(), 1, inspector, {}).added);
    EXPECT_TRUE(list.Row(0).IsMono());
    EXPECT_EQ(list.Text(0, kMergeChannels), "单声道");
    EXPECT_EQ(list.Text(0, kMergeBitrate), "64kbps");
    EXPECT_FALSE(list.Row(1).IsMono());
    EXPECT_EQ(list.Text(1, kMergeChannels), "立体声");
    EXPECT_EQ(list.Text(1, kMergeBitrate), "1412kbps");  // size with its header / 1 s
    EXPECT_EQ(list.Text(1, kMergeLength), "0:00:01");
}

}  // namespace
}  // namespace partita
