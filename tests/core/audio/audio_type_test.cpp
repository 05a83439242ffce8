#include "audio/audio_type.h"

#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::AudioType;
using audio::AudioTypeFromExtension;
using audio::AudioTypeFromStream;
using audio::ClassifyAudioFile;

// The extension decides, letter case ignored; "mpa", other extensions and none do not.
TEST(AudioTypeTest, ExtensionsDecideFirst) {
    EXPECT_EQ(AudioTypeFromExtension("a.MP3"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromExtension("/x/b.mp2"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromExtension("c.Mp1"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromExtension("d.WAV"), AudioType::Wav);
    EXPECT_EQ(AudioTypeFromExtension("e.ogg"), AudioType::Ogg);
    EXPECT_EQ(AudioTypeFromExtension("f.wma"), AudioType::Wma);
    EXPECT_EQ(AudioTypeFromExtension("g.ASF"), AudioType::Wma);
    EXPECT_EQ(AudioTypeFromExtension("h.aif"), AudioType::Aiff);
    EXPECT_EQ(AudioTypeFromExtension("i.AIFF"), AudioType::Aiff);
    EXPECT_EQ(AudioTypeFromExtension("j.mpa"), std::nullopt);
    EXPECT_EQ(AudioTypeFromExtension("k.flac"), std::nullopt);
    EXPECT_EQ(AudioTypeFromExtension("noext"), std::nullopt);
    EXPECT_EQ(AudioTypeFromExtension("dir.mp3/noext"), std::nullopt);
    EXPECT_EQ(AudioTypeFromExtension("l.mp3.txt"), std::nullopt);
    EXPECT_EQ(audio::ToInt(AudioType::Unknown), -1);
    EXPECT_EQ(audio::ToInt(AudioType::Aiff), 5);
}

// A stream's container and codec map to the same types: MPEG in any container, only integer
// or float PCM counts as WAV.
TEST(AudioTypeTest, StreamsMapByCodecAndContainer) {
    EXPECT_EQ(AudioTypeFromStream("mp3", "mp3"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromStream("mp3", "mp2"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromStream("mp3", "mp1"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromStream("wav", "mp3"), AudioType::Mpeg);
    EXPECT_EQ(AudioTypeFromStream("wav", "pcm_s16le"), AudioType::Wav);
    EXPECT_EQ(AudioTypeFromStream("wav", "pcm_u8"), AudioType::Wav);
    EXPECT_EQ(AudioTypeFromStream("wav", "pcm_f64le"), AudioType::Wav);
    EXPECT_EQ(AudioTypeFromStream("wav", "pcm_alaw"), AudioType::Unknown);
    EXPECT_EQ(AudioTypeFromStream("ogg", "vorbis"), AudioType::Ogg);
    EXPECT_EQ(AudioTypeFromStream("ogg", "opus"), AudioType::Unknown);
    EXPECT_EQ(AudioTypeFromStream("asf", "wmav2"), AudioType::Wma);
    EXPECT_EQ(AudioTypeFromStream("asf", "wmalossless"), AudioType::Wma);
    EXPECT_EQ(AudioTypeFromStream("aiff", "pcm_s24be"), AudioType::Aiff);
    EXPECT_EQ(AudioTypeFromStream("aiff", "pcm_s16be"), AudioType::Aiff);
    EXPECT_EQ(AudioTypeFromStream("flac", "flac"), AudioType::Unknown);
}

using ClassifyTest = test::TempDirTest;

// Files whose extension does not decide are opened and classified by their stream.
TEST_F(ClassifyTest, FilesWithoutAKnownExtensionAreProbed) {
    std::vector<test::ToneSegment> tone{{440, 400, 0.5}};
    auto mp3 = test::MakeMp3(dir.Path(), "a.mp3", tone, {"-b", "128"});
    test::fs::rename(mp3, dir / "a.mpa");
    test::MakeWavFile(dir.Path(), "w.dat", tone);
    test::MakeEncodedFile(dir.Path(), "noext", tone, {"-c:a", "libvorbis", "-f", "ogg"});
    test::MakeEncodedFile(dir.Path(), "w.bin", tone, {"-c:a", "wmav2", "-f", "asf"});
    test::MakeEncodedFile(dir.Path(), "a.snd", tone, {"-f", "aiff"});
    test::WriteFileText(dir / "t.txt", "not audio at all, just some text\n");
    test::fs::copy_file(test::CorpusFile("alaw.wav"), dir / "alaw.dat");
    test::fs::copy_file(test::CorpusFile("float64.wav"), dir / "float.dat");

    EXPECT_EQ(ClassifyAudioFile(dir / "a.mpa"), AudioType::Mpeg);
    EXPECT_EQ(ClassifyAudioFile(dir / "w.dat"), AudioType::Wav);
    EXPECT_EQ(ClassifyAudioFile(dir / "noext"), AudioType::Ogg);
    EXPECT_EQ(ClassifyAudioFile(dir / "w.bin"), AudioType::Wma);
    EXPECT_EQ(ClassifyAudioFile(dir / "a.snd"), AudioType::Aiff);
    EXPECT_EQ(ClassifyAudioFile(dir / "t.txt"), AudioType::Unknown);
    EXPECT_EQ(ClassifyAudioFile(dir / "alaw.dat"), AudioType::Unknown);
    EXPECT_EQ(ClassifyAudioFile(dir / "float.dat"), AudioType::Wav);
    EXPECT_EQ(ClassifyAudioFile(dir / "missing.xyz"), AudioType::Unknown);
    // The extension decides without looking at the file.
    EXPECT_EQ(ClassifyAudioFile(dir / "missing.mp3"), AudioType::Mpeg);
    EXPECT_EQ(ClassifyAudioFile(dir / "t.wav"), AudioType::Wav);
}

}  // namespace
}  // namespace partita
