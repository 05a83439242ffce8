#include "audio/open_error.h"

#include "app/string_table.h"
#include "audio/asf_protection.h"
#include "audio/audio_engine.h"
#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::OpenAudioStream;
using audio::OpenError;

class OpenErrorTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::Chinese); }
    void TearDown() override { SetCurrentLanguage(Language::Chinese); }
};

// Each reason becomes the message the lists show: 125 without a reason, 312 for protected
// files, 313 for missing Windows Media support, 263 without the module, 311 with the code and
// its reason in words (the system's for a file that cannot be opened).
TEST_F(OpenErrorTest, ReasonsBecomeMessages) {
    EXPECT_EQ(audio::OpenErrorMessage("a.wav", OpenError::None).Text(), "未能载入文件“a.wav”");
    EXPECT_EQ(audio::OpenErrorMessage("a.wav", OpenError::FileNotFound).Text(),
              "未能载入文件“a.wav” (错误代码: 2) 原因: 文件或文件夹不存在");
    EXPECT_EQ(audio::OpenErrorMessage("b.ogg", OpenError::Damaged).Text(),
              "未能载入文件“b.ogg” (错误代码: 45) 原因: 其音频数据已损坏");
    EXPECT_NE(audio::OpenErrorMessage("c.wma", OpenError::Protected).Text().find("c.wma"),
              std::string::npos);
    EXPECT_EQ(audio::OpenErrorMessage("c.wma", OpenError::WmaCodecMissing).Text(),
              CurrentStrings().Get(Msg::WmaSupportMissing));
    EXPECT_EQ(audio::OpenErrorMessage("c.wma", OpenError::ModuleUnavailable).Text(),
              CurrentStrings().Get(Msg::AudioModuleFailed));
    SetCurrentLanguage(Language::English);
    EXPECT_EQ(audio::OpenErrorMessage("d.wav", OpenError::UnknownFormat).Text(),
              "Failed to load the file \"d.wav\" (error code: 41) Reason: the file's format is not "
              "recognised");

    EXPECT_EQ(audio::OpenErrorKind(OpenError::FileNotFound), ErrorCode::NotFound);
    EXPECT_EQ(audio::OpenErrorKind(OpenError::FileUnreadable), ErrorCode::Unreadable);
    EXPECT_EQ(audio::OpenErrorKind(OpenError::Damaged), ErrorCode::Damaged);
    EXPECT_EQ(audio::OpenErrorKind(OpenError::UnknownFormat), ErrorCode::Unsupported);
    EXPECT_EQ(audio::OpenErrorKind(OpenError::ModuleUnavailable), ErrorCode::Internal);
    Status status = audio::OpenErrorStatus("e.wav", OpenError::FileUnreadable);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.code, ErrorCode::Unreadable);
}

// Opening tells a missing file, a folder, something that is not audio and a damaged file of a
// known kind apart.
TEST_F(OpenErrorTest, OpeningGivesTheReason) {
    EXPECT_EQ(OpenAudioStream(dir / "missing.wav").error, OpenError::FileNotFound);
    test::fs::create_directory(dir / "folder.wav");
    EXPECT_EQ(OpenAudioStream(dir / "folder.wav").error, OpenError::FileUnreadable);
    test::WriteFileText(dir / "text.bin", std::string(4000, 'x'));
    EXPECT_EQ(OpenAudioStream(dir / "text.bin").error, OpenError::UnknownFormat);
    test::WriteFileText(dir / "text.wav", std::string(4000, 'x'));
    EXPECT_EQ(OpenAudioStream(dir / "text.wav").error, OpenError::Damaged);
    EXPECT_EQ(OpenAudioStream(test::CorpusFile("invalid-chunk.wav")).error, OpenError::Damaged);
    EXPECT_EQ(OpenAudioStream(test::CorpusFile("segfault.aif")).error, OpenError::Damaged);
    // A playlist is not opened, even though FFmpeg could follow it.
    test::MakeWavFile(dir.Path(), "x.wav", {{440, 200}});
    test::WriteFileText(dir / "list.m3u8", "#EXTM3U\n#EXTINF:1,\nx.wav\n");
    EXPECT_EQ(OpenAudioStream(dir / "list.m3u8").error, OpenError::UnknownFormat);
    test::WriteFileText(dir / "list.ffconcat", "ffconcat version 1.0\nfile x.wav\n");
    EXPECT_EQ(OpenAudioStream(dir / "list.ffconcat").error, OpenError::UnknownFormat);
    // A name with a colon is a file, not a protocol.
    test::fs::copy_file(dir / "x.wav", dir / "http:x.wav");
    EXPECT_TRUE(OpenAudioStream(dir / "http:x.wav"));
}

// An ASF header with an encryption object marks a protected file; opening such a file gives
// the protected reason instead of noise.
TEST_F(OpenErrorTest, ProtectedWindowsMediaFiles) {
    auto wma = test::MakeEncodedFile(dir.Path(), "a.wma", {{440, 500, 0.5}}, {"-c:a", "wmav2"});
    auto bytes = test::ReadFileBytes(wma);
    EXPECT_FALSE(audio::IsProtectedAsf(bytes));
    EXPECT_FALSE(audio::IsProtectedAsfFile(wma));
    EXPECT_FALSE(audio::IsProtectedAsfFile(test::CorpusFile("lossless.wma")));
    EXPECT_FALSE(audio::IsProtectedAsf(std::vector<std::uint8_t>(10, 0x30)));

    // Insert a Content Encryption Object (four empty fields) after the header's fixed part.
    std::vector<std::uint8_t> object{0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                     0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E,
                                     40,   0,    0,    0,    0,    0,    0,    0};
    object.resize(40, 0);
    auto patched = bytes;
    patched.insert(patched.begin() + 30, object.begin(), object.end());
    std::uint64_t size = 0;  // header size, 64-bit little-endian at 16
    for (int i = 7; i >= 0; --i)
        size = size << 8 | bytes[16 + i];
    size += 40;
    for (int i = 0; i < 8; ++i)
        patched[16 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    patched[24] = static_cast<std::uint8_t>(patched[24] + 1);  // object count
    EXPECT_TRUE(audio::IsProtectedAsf(patched));
    test::WriteFileBytes(dir / "p.wma", patched);
    EXPECT_TRUE(audio::IsProtectedAsfFile(dir / "p.wma"));
    EXPECT_EQ(OpenAudioStream(dir / "p.wma").error, OpenError::Protected);
    // An encryption GUID past the header's end is sample data, not a declaration.
    auto trailing = bytes;
    trailing.insert(trailing.end(), object.begin(), object.end());
    EXPECT_FALSE(audio::IsProtectedAsf(trailing));
}

}  // namespace
}  // namespace partita
