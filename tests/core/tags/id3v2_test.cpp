#include "tags/id3v2.h"

#include <sys/stat.h>

#include <cstring>

#include "support/test_support.h"
#include "tags/id3_versions.h"

namespace partita {
namespace {

using Id3v2Test = test::TempDirTest;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string Text(const Bytes& bytes, std::size_t at, std::size_t n) {
    return std::string(bytes.begin() + static_cast<long>(at),
                       bytes.begin() + static_cast<long>(at + n));
}

std::uint32_t BigEndian(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// A leading ID3v2.3 tag of `size` bytes in all.
Bytes Id3v2Header(std::uint32_t size, std::uint8_t version = 3) {
    std::uint32_t s = size - 10;
    Bytes tag = {'I',
                 'D',
                 '3',
                 version,
                 0,
                 0,
                 static_cast<std::uint8_t>((s >> 21) & 0x7F),
                 static_cast<std::uint8_t>((s >> 14) & 0x7F),
                 static_cast<std::uint8_t>((s >> 7) & 0x7F),
                 static_cast<std::uint8_t>(s & 0x7F)};
    tag.resize(size, 0);
    return tag;
}

// An empty record gives twelve empty frames and the padding: 1112 bytes, size 1102.
TEST(Id3v2, EmptyTagLayout) {
    Bytes tag = MakeId3v2Tag(TagInfo{});
    ASSERT_EQ(tag.size(), 1112u);
    EXPECT_EQ(Text(tag, 0, 3), "ID3");
    EXPECT_EQ(tag[3], 3);
    EXPECT_EQ(tag[4], 0);
    EXPECT_EQ(tag[5], 0);
    EXPECT_EQ(Bytes(tag.begin() + 6, tag.begin() + 10), (Bytes{0x00, 0x00, 0x08, 0x4E}));
    std::size_t at = 10;
    for (const char* id : {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM", "TCOM", "WXXX",
                           "TENC", "TCOP", "TOPE"}) {
        EXPECT_EQ(Text(tag, at, 4), id);
        std::uint32_t size = BigEndian(tag, at + 4);
        EXPECT_EQ(size, std::strcmp(id, "COMM") == 0 ? 5u : 1u) << id;
        EXPECT_EQ(tag[at + 10], 0) << id;  // encoding byte
        at += 10 + size;
    }
    EXPECT_EQ(at, 1112u - 966u);
    EXPECT_EQ(Bytes(tag.begin() + static_cast<long>(at), tag.end()), Bytes(966, 0));
}

// ISO-8859-1 texts are stored with encoding 0 as their Latin-1 bytes; the comment carries the
// language "XXX" (unknown) and an empty description.
TEST(Id3v2, Latin1FramesAreExact) {
    Bytes frame;
    EXPECT_EQ(MakeId3v2Frame(frame, "TIT2", "Café"), 15u);
    EXPECT_EQ(frame, (Bytes{'T', 'I', 'T', '2', 0, 0, 0, 5, 0, 0, 0, 'C', 'a', 'f', 0xE9}));
    Bytes comm;
    EXPECT_EQ(MakeId3v2Frame(comm, "COMM", "hi"), 17u);
    EXPECT_EQ(comm, (Bytes{'C', 'O', 'M', 'M', 0, 0, 0, 7, 0, 0, 0, 'X', 'X', 'X', 0, 'h', 'i'}));
}

// Other texts are stored as UTF-16 with a byte order mark, sizes following.
TEST(Id3v2, NonLatinFramesUseUtf16) {
    Bytes frame;
    EXPECT_EQ(MakeId3v2Frame(frame, "TPE1", "中😀"), 10u + 1 + 2 + 6);
    EXPECT_EQ(BigEndian(frame, 4), 9u);
    EXPECT_EQ(Bytes(frame.begin() + 10, frame.end()),
              (Bytes{1, 0xFF, 0xFE, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE}));
    Bytes comm;
    MakeId3v2Frame(comm, "COMM", "中");
    EXPECT_EQ(Bytes(comm.begin() + 10, comm.end()),
              (Bytes{1, 'X', 'X', 'X', 0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 0x2D, 0x4E}));
    EXPECT_EQ(BigEndian(comm, 4), comm.size() - 10);
}

// Only v2.3 and v2.4 tags that fit the file are measured.
TEST(Id3v2, MeasuresLeadingTags) {
    Bytes tag = Id3v2Header(2048);
    EXPECT_EQ(Id3v2TagSize(tag, 5000), 2048u);
    EXPECT_EQ(Id3v2TagSize(tag, 2048), 2048u);
    EXPECT_EQ(Id3v2TagSize(tag, 2047), 0u);
    EXPECT_EQ(Id3v2TagSize(Id3v2Header(2048, 4), 5000), 2048u);
    EXPECT_EQ(Id3v2TagSize(Id3v2Header(2048, 2), 5000), 0u);
    EXPECT_EQ(Id3v2TagSize(Bytes(tag.begin(), tag.begin() + 9), 5000), 0u);
    EXPECT_EQ(Id3v2TagSize(Bytes(10, 0), 5000), 0u);
}

// Texts of every script come back through an independent reader (ffprobe).
TEST_F(Id3v2Test, IndependentReaderReadsTags) {
    fs::path mp3 =
        test::MakeMp3(dir.Path(), "t.mp3", {{440, 300}}, {"-b", "128", "--noreplaygain"});
    TagInfo tags;
    tags.title = "Café Noir";
    tags.artist = "周杰伦";
    tags.album = "Ελληνικά";
    tags.comment = "Grüße 你好";
    tags.track = "3/12";
    tags.year = "2024";
    tags.genre = "Rock";
    ASSERT_TRUE(WriteId3v2(mp3, tags));
    std::string out;
    ASSERT_EQ(test::RunProgram({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                                "default=noprint_wrappers=1", mp3.string()},
                               &out),
              0);
    for (const char* expected : {"TAG:title=Café Noir", "TAG:artist=周杰伦", "TAG:album=Ελληνικά",
                                 "TAG:comment=Grüße 你好", "TAG:track=3/12", "TAG:genre=Rock"}) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
    }
    EXPECT_TRUE(test::DecodesCleanly(mp3));
}

// An old v2.3 tag is replaced; a v2.2 tag is not recognised and stays behind the new tag.
TEST_F(Id3v2Test, ReplacesOldTagKeepsV22) {
    Bytes audio(5000, 0x77);
    Bytes file = Id3v2Header(2048);
    file.insert(file.end(), audio.begin(), audio.end());
    fs::path path = dir / "a.mp3";
    test::WriteFileBytes(path, file);
    ASSERT_TRUE(WriteId3v2(path, TagInfo{}));
    Bytes written = test::ReadFileBytes(path);
    ASSERT_EQ(written.size(), 1112u + audio.size());
    EXPECT_EQ(Bytes(written.begin() + 1112, written.end()), audio);
    EXPECT_EQ(GetId3v2Size(path), 1112u);

    Bytes v22 = Id3v2Header(100, 2);
    v22.insert(v22.end(), audio.begin(), audio.end());
    test::WriteFileBytes(path, v22);
    ASSERT_TRUE(WriteId3v2(path, TagInfo{}));
    written = test::ReadFileBytes(path);
    EXPECT_EQ(Bytes(written.begin() + 1112, written.end()), v22);
}

// The file is replaced by renaming a complete new file over it: a file under the old fixed
// temporary name is untouched, no temporary file stays, the old contents stay readable through
// an open handle (nothing was rewritten in place), and the permissions carry over.
TEST_F(Id3v2Test, ReplacesByRename) {
    fs::path path = dir / "song.mp3";
    test::WriteFileBytes(path, Bytes(3000, 0x42));
    ::chmod(path.c_str(), 0640);
    test::WriteFileText(dir / "song.mp3.tmp", "someone else's file");
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::FILE* old = std::fopen(path.c_str(), "rb");
    ASSERT_NE(old, nullptr);

    ASSERT_TRUE(WriteId3v2(path, TagInfo{}));

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    unsigned char first = 0;
    ASSERT_EQ(std::fread(&first, 1, 1, old), 1u);
    EXPECT_EQ(first, 0x42);
    std::fclose(old);
    EXPECT_EQ(test::ReadFileBytes(dir / "song.mp3.tmp").size(), 19u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 2u);
    EXPECT_EQ(test::ReadFileBytes(path).size(), 1112u + 3000u);
}

// A missing file or a folder fails and creates nothing.
TEST_F(Id3v2Test, FailuresChangeNothing) {
    EXPECT_FALSE(WriteId3v2(dir / "missing.mp3", TagInfo{}));
    fs::create_directory(dir / "folder.mp3");
    EXPECT_FALSE(WriteId3v2(dir / "folder.mp3", TagInfo{}));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1u);
    EXPECT_EQ(GetId3v2Size(dir / "missing.mp3"), 0u);
}

// The ID3 tags a file carries: an ID3v2 tag of any version from 2 to 4 at its start, an ID3v1
// tag at its end; neither for a damaged or oversized header, nor an ID3v1 tag inside the ID3v2
// tag, nor a file that cannot be read.
TEST_F(Id3v2Test, ReportsTheId3VersionsAFileCarries) {
    fs::path path = dir / "a.mp3";
    auto versions = [&](Bytes file) {
        test::WriteFileBytes(path, file);
        return ReadId3Versions(path);
    };
    Bytes v1(128, 0);
    std::memcpy(v1.data(), "TAG", 3);
    Bytes file = Id3v2Header(300, 4);
    file.resize(2000, 0x55);
    file.insert(file.end(), v1.begin(), v1.end());
    EXPECT_EQ(versions(file), (Id3Versions{true, 4}));
    EXPECT_EQ(versions(Id3v2Header(200, 2)), (Id3Versions{false, 2}));
    Bytes damaged = Id3v2Header(200);
    damaged[8] = 0x80;
    EXPECT_EQ(versions(damaged), Id3Versions{});
    Bytes oversized = Id3v2Header(5000);
    oversized.resize(1000);
    EXPECT_EQ(versions(oversized), Id3Versions{});
    Bytes inside = Id3v2Header(200);
    std::memcpy(inside.data() + 72, "TAG", 3);  // the last 128 bytes belong to the ID3v2 tag
    EXPECT_EQ(versions(inside), (Id3Versions{false, 3}));
    EXPECT_EQ(versions(v1), (Id3Versions{true, 0}));
    EXPECT_EQ(ReadId3Versions(dir / "missing.mp3"), Id3Versions{});
}

}  // namespace
}  // namespace partita
