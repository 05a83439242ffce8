#include "audio/audio_file_info.h"

#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::AudioType;
using AudioFileInfoTest = test::TempDirTest;

// The lists' average bitrate: size / (ms / 1000 × 125) + 0.5.
TEST(AverageBitrateTest, Formula) {
    EXPECT_DOUBLE_EQ(audio::AverageBitrateKbps(16000, 1000), 128.5);
    EXPECT_DOUBLE_EQ(audio::AverageBitrateKbps(1411200 / 8 * 2, 2000), 1411.7);
    EXPECT_DOUBLE_EQ(audio::AverageBitrateKbps(12345, 0), 0);
}

// Facts of WAV, Ogg and WMA files for the lists; a WMA file adds its tag list's bitrate.
TEST_F(AudioFileInfoTest, FactsOfNonMpegFiles) {
    std::vector<test::ToneSegment> tone{{440, 1500, 0.5}};
    auto wav = test::MakeWavFile(dir.Path(), "a.wav", tone, 22050, 1);
    audio::AudioFileInfo info;
    ASSERT_EQ(audio::ReadAudioFileInfo(wav, info), audio::OpenError::None);
    EXPECT_EQ(info.type, AudioType::Wav);
    EXPECT_EQ(info.durationMs, 1500u);
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.fileSize, 44u + 33075 * 2);
    EXPECT_NEAR(info.averageBitrateKbps, 66194 / 187.5 + 0.5, 1e-9);
    EXPECT_FALSE(info.hasWmaTags);

    auto ogg = test::MakeEncodedFile(dir.Path(), "a.ogg", tone, {"-c:a", "libvorbis"});
    ASSERT_EQ(audio::ReadAudioFileInfo(ogg, info), audio::OpenError::None);
    EXPECT_EQ(info.type, AudioType::Ogg);
    EXPECT_NEAR(double(info.durationMs), 1500.0, 1.0);
    EXPECT_EQ(info.channels, 2);

    auto wma = test::MakeEncodedFile(dir.Path(), "a.wma", tone, {"-c:a", "wmav2", "-b:a", "96k"});
    ASSERT_EQ(audio::ReadAudioFileInfo(wma, info), audio::OpenError::None);
    EXPECT_EQ(info.type, AudioType::Wma);
    EXPECT_TRUE(info.hasWmaTags);
    EXPECT_EQ(info.wmaBitrateKbps, 96);
    EXPECT_FALSE(info.wmaVbr);

    EXPECT_EQ(audio::ReadAudioFileInfo(dir / "none.ogg", info), audio::OpenError::FileNotFound);
    EXPECT_EQ(info.durationMs, 0u);
}

}  // namespace
}  // namespace partita
