#include <sys/stat.h>

#include <cmath>
#include <cstdlib>

#include "audio_check.h"
#include "join/encoder_command.h"
#include "join/encoder_process.h"
#include "support/test_support.h"

namespace partita {
namespace {

using EncoderTest = test::TempDirTest;

// The command line: quoted paths, "-r" for headerless input, no byte swap, the rate in kHz
// with three decimals, the mono switch only for one channel.
TEST(EncoderCommandTest, CommandLineAndArguments) {
    EncoderCommand stereo = MakeEncoderCommand("/opt/my lame/lame", "/out/a b.mp3", 44100, 2);
    EXPECT_EQ(stereo.text,
              "\"/opt/my lame/lame\" -h -r --bitwidth 16 -s 44.100 - \"/out/a b.mp3\"");
    EXPECT_EQ(stereo.arguments,
              (std::vector<std::string>{"/opt/my lame/lame", "-h", "-r", "--bitwidth", "16", "-s",
                                        "44.100", "-", "/out/a b.mp3"}));
    EncoderCommand mono = MakeEncoderCommand("lame", "o.mp3", 22050, 1);
    EXPECT_EQ(mono.text, "\"lame\" -h -r --bitwidth 16 -m mono -s 22.050 - \"o.mp3\"");
    EXPECT_EQ(mono.arguments[5], "-m");
    EXPECT_EQ(mono.arguments[6], "mono");
    EXPECT_EQ(MakeEncoderCommand("l", "o", 8000, 1).arguments[8], "8.000");
}

// The encoder is looked for in the install folder, then the program's folder, then PATH; only
// an executable file counts.
TEST_F(EncoderTest, FindEncoderOrder) {
    auto makeProgram = [&](const std::string& folder, bool executable) {
        std::filesystem::create_directories(dir / folder);
        auto path = dir / folder / "lame";
        test::WriteFileText(path, "#!/bin/sh\n");
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path.string();
    };
    std::string install = makeProgram("install", true);
    std::string program = makeProgram("program", true);
    std::string onPath = makeProgram("bin", true);
    makeProgram("plain", false);
    std::string searchPath = (dir / "plain").string() + ":" + (dir / "bin").string();
    EXPECT_EQ(FindEncoder((dir / "install").string(), (dir / "program").string(), searchPath),
              install);
    EXPECT_EQ(FindEncoder("", (dir / "program").string(), searchPath), program);
    EXPECT_EQ(FindEncoder((dir / "nothing").string(), (dir / "plain").string(), searchPath),
              onPath);
    EXPECT_EQ(FindEncoder("", "", (dir / "plain").string()), "");
    EXPECT_FALSE(ProgramFolder().empty());
}

// A program that does not exist cannot be started; writing to an encoder that has ended fails
// without killing this process.
TEST_F(EncoderTest, MissingProgramAndEndedEncoder) {
    EncoderProcess missing;
    EXPECT_FALSE(missing.Start({(dir / "no-such-lame").string(), "-"}));
    EXPECT_FALSE(missing.IsActive());

    EncoderProcess ended;
    ASSERT_TRUE(ended.Start({"/bin/sh", "-c", "echo bad input >&2; exit 3"}));
    std::vector<std::uint8_t> block(4 << 20, 0);
    EXPECT_FALSE(ended.Write(block.data(), block.size()));
    EXPECT_FALSE(ended.IsActive());
    EXPECT_FALSE(ended.Finish());
    EXPECT_NE(ended.Output().find("bad input"), std::string::npos);
}

// A 440 Hz tone piped as raw PCM comes back as 440 Hz at its level and length, mono at the rate
// given.
TEST_F(EncoderTest, ToneThroughTheEncoder) {
    std::string lame = FindEncoder("", "", std::getenv("PATH") ? std::getenv("PATH") : "");
    ASSERT_FALSE(lame.empty());
    auto pcm = test::SynthesizePcm({{440, 2000, 0.5}}, 22050, 1);
    std::string out = (dir / "tone.mp3").string();
    EncoderProcess encoder;
    ASSERT_TRUE(encoder.Start(MakeEncoderCommand(lame, out, 22050, 1).arguments));
    EXPECT_TRUE(encoder.IsActive());
    ASSERT_TRUE(encoder.Write(reinterpret_cast<const std::uint8_t*>(pcm.data()), pcm.size() * 2));
    ASSERT_TRUE(encoder.Finish()) << encoder.Output();

    test::DecodedAudio decoded = test::DecodeWithFfmpeg(out);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_GE(decoded.DurationMs(), 2000 - 1);
    EXPECT_LE(decoded.DurationMs(), 2000 + test::EncoderSlackMs(22050));
    EXPECT_NEAR(test::ToneFrequency(decoded, 200, 1800), 440, 2);
    EXPECT_NEAR(test::RmsLevel(decoded, 200, 1800), 0.5 / std::sqrt(2.0), 0.02);
}

}  // namespace
}  // namespace partita
