#include <cstdlib>
#include <optional>

#include "app/user_message.h"
#include "audio/audio_engine.h"
#include "audio/audio_type.h"
#include "audio_fixtures.h"
#include "tags/tag_reader.h"

// How the audio module is found and when it is loaded. Loading happens once per process, so
// these tests run the test program itself (or the command line) as a child with the module
// replaced: missing, or a poison module that ends the process with code 97 when it is loaded.

namespace partita {
namespace {

constexpr int kPoisoned = 97;
constexpr const char* kChildVariable = "PARTITA_AUDIO_TEST_CHILD";

// Sets an environment variable for the children started in its lifetime.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs one test of this program in a child process with the module at `module`.
int RunChildTest(const std::string& test, const std::string& module, std::string* output) {
    ScopedEnvironment child(kChildVariable, "1");
    ScopedEnvironment chosen(audio::kAudioModuleEnvironment, module);
    std::error_code ec;
    auto self = test::fs::read_symlink("/proc/self/exe", ec);
    return test::RunProgram({self.string(), "--gtest_filter=" + test}, output);
}

class ModuleChild : public test::TempDirTest {
  protected:
    void SetUp() override {
        if (!std::getenv(kChildVariable))
            GTEST_SKIP() << "runs only as a child of ModuleLoadingTest";
    }
};

// (Child) Without the module the start-up check fails with AudioModuleFailed and decoding reports
// the module as unavailable; classification by extension and tags still work.
TEST_F(ModuleChild, WithoutTheModule) {
    Status status = audio::CheckAudioEngine();
    EXPECT_EQ(status.code, ErrorCode::Internal);
    EXPECT_EQ(status.message.Text(), Message(Msg::AudioModuleFailed));
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    EXPECT_EQ(audio::OpenAudioStream(dir / "a.wav").error, audio::OpenError::ModuleUnavailable);
    EXPECT_EQ(audio::OpenAudioStream(dir / "none.wav").error, audio::OpenError::FileNotFound);
    EXPECT_EQ(audio::ClassifyAudioFile(dir / "a.wav"), audio::AudioType::Wav);
    EXPECT_EQ(audio::ClassifyAudioFile(dir / "a.dat"), audio::AudioType::Unknown);
    TagTexts tags;
    EXPECT_TRUE(ReadTags(dir / "a.wav", "ISO-8859-1", tags));
    EXPECT_FALSE(audio::AudioEngineLoaded());
}

// (Child) Classifying MPEG and WAV files by extension and reading their tags never load the
// module; the first decode does (and the poison module ends the process there).
TEST_F(ModuleChild, OnlyDecodingLoadsTheModule) {
    auto mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    for (const char* name : {"a.mp3", "a.mp2", "a.mp1", "a.wav"})
        EXPECT_NE(audio::ClassifyAudioFile(dir / name), audio::AudioType::Unknown);
    TagTexts tags;
    EXPECT_TRUE(ReadTags(mp3, "ISO-8859-1", tags));
    EXPECT_TRUE(ReadTags(dir / "a.wav", "ISO-8859-1", tags));
    EXPECT_FALSE(audio::AudioEngineLoaded());
    std::fflush(nullptr);
    audio::OpenAudioStream(dir / "a.wav");
    ADD_FAILURE() << "the module was not loaded";
}

using ModuleLoadingTest = test::TempDirTest;

TEST_F(ModuleLoadingTest, MissingModuleGivesString263) {
    std::string output;
    int code = RunChildTest("ModuleChild.WithoutTheModule", (dir / "none.so").string(), &output);
    EXPECT_EQ(code, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

TEST_F(ModuleLoadingTest, ModuleIsLoadedOnlyToDecode) {
    std::string output;
    EXPECT_EQ(
        RunChildTest("ModuleChild.OnlyDecodingLoadsTheModule", PARTITA_POISON_MODULE, &output),
        kPoisoned)
        << output;
}

// A module file that is not a module, or of no use, is refused like a missing one.
TEST_F(ModuleLoadingTest, BrokenModuleIsRefused) {
    test::WriteFileText(dir / "broken.so", "not a shared library");
    std::string output;
    EXPECT_EQ(RunChildTest("ModuleChild.WithoutTheModule", (dir / "broken.so").string(), &output),
              0)
        << output;
}

// The command line's help and its report on an MPEG file never load the module; its report on
// a WAV file does (the poison module ends it), and without a module it says so.
TEST_F(ModuleLoadingTest, CommandLineRoadsWithoutDecoding) {
    ScopedEnvironment poison(audio::kAudioModuleEnvironment, PARTITA_POISON_MODULE);
    auto mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    std::string ini = (dir / "settings.ini").string();
    std::string output;
    EXPECT_EQ(test::RunProgram({PARTITA_CLI_PATH, "--help"}, &output), 0) << output;
    EXPECT_EQ(
        test::RunProgram({PARTITA_CLI_PATH, "--settings", ini, "info", mp3.string()}, &output), 0)
        << output;
    EXPECT_EQ(test::RunProgram(
                  {PARTITA_CLI_PATH, "--settings", ini, "info", "--json", mp3.string()}, &output),
              0)
        << output;
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    std::string wav = (dir / "a.wav").string();
    EXPECT_EQ(test::RunProgram({PARTITA_CLI_PATH, "--settings", ini, "info", wav}, &output),
              kPoisoned)
        << output;

    ScopedEnvironment missing(audio::kAudioModuleEnvironment, (dir / "none.so").string());
    EXPECT_EQ(test::RunProgram({PARTITA_CLI_PATH, "--settings", ini, "--lang", "en", "info", wav},
                               &output),
              1)
        << output;
    EXPECT_NE(output.find("Failed to initialize the audio playback module"), std::string::npos)
        << output;
}

// The module is found in the build tree without any setting.
TEST(ModuleSearchTest, BuildTreeModuleIsFound) {
    EXPECT_TRUE(audio::CheckAudioEngine().ok());
    EXPECT_TRUE(audio::AudioEngineLoaded());
}

}  // namespace
}  // namespace partita
