#include "app/output_file.h"

#include "support/test_support.h"

namespace partita {
namespace {

using OutputFileTest = test::TempDirTest;
namespace fs = std::filesystem;

std::size_t CountFiles(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

// An existing file is replaced only when the new one is committed.
TEST_F(OutputFileTest, ReplacesOnlyOnCommit) {
    fs::path target = dir / "out.mp3";
    test::WriteFileText(target, "old");
    {
        OutputFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("new!", 4));
        EXPECT_EQ(file.TempPath().parent_path(), dir.Path());
        EXPECT_NE(file.TempPath(), target);
        EXPECT_EQ(test::ReadFileBytes(target).size(), 3u);  // untouched while writing
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(test::ReadFileBytes(target).size(), 4u);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);
}

// An abandoned write leaves neither a half file nor a temporary one.
TEST_F(OutputFileTest, AbandonedWriteLeavesNothing) {
    fs::path target = dir / "out.mp3";
    {
        OutputFile file;
        ASSERT_TRUE(file.Open(target));
        file.Write("partial", 7);
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(CountFiles(dir.Path()), 0u);
}

// Without replacing, the file goes in place only while the name is free: a file that another
// program wrote under the name after the check stays (until leave to replace it is given).
TEST_F(OutputFileTest, KeepsFileThatAppearedMeanwhile) {
    fs::path target = dir / "out.mp3";
    OutputFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Write("mine", 4));
    test::WriteFileText(target, "theirs");
    EXPECT_EQ(file.Commit(ExistingOutput::Keep), CommitResult::Kept);
    EXPECT_EQ(test::ReadFileBytes(target).size(), 6u);
    EXPECT_EQ(file.Commit(ExistingOutput::Replace), CommitResult::Done);
    EXPECT_EQ(test::ReadFileBytes(target).size(), 4u);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);

    ASSERT_TRUE(file.Open(dir / "free.mp3"));
    ASSERT_TRUE(file.Write("mine", 4));
    EXPECT_EQ(file.Commit(ExistingOutput::Keep), CommitResult::Done);
    EXPECT_EQ(test::ReadFileBytes(dir / "free.mp3").size(), 4u);
}

// Names as long as the file system allows (255 bytes) are written: the temporary name does not
// grow with them.
TEST_F(OutputFileTest, LongestNames) {
    for (std::size_t length : {238u, 255u}) {
        fs::path target = dir / (std::string(length - 4, 'n') + ".mp3");
        OutputFile file;
        ASSERT_TRUE(file.Open(target)) << length;
        ASSERT_TRUE(file.Write("x", 1));
        EXPECT_TRUE(file.Commit()) << length;
        EXPECT_TRUE(fs::exists(target));
    }
}

// A folder that does not exist fails to open, and commit then fails too.
TEST_F(OutputFileTest, MissingFolderFails) {
    OutputFile file;
    EXPECT_FALSE(file.Open(dir / "no" / "out.mp3"));
    EXPECT_FALSE(file.Commit());
}

// Links, relative and absolute paths of one file are the same file.
TEST_F(OutputFileTest, SameFileComparesFiles) {
    fs::path a = dir / "a.mp3";
    test::WriteFileText(a, "x");
    fs::create_symlink(a, dir / "link.mp3");
    EXPECT_TRUE(IsSameFile(a, dir / "link.mp3"));
    EXPECT_TRUE(IsSameFile(a, dir / "." / "a.mp3"));
    EXPECT_FALSE(IsSameFile(a, dir / "b.mp3"));
    test::WriteFileText(dir / "b.mp3", "x");
    EXPECT_FALSE(IsSameFile(a, dir / "b.mp3"));
}

}  // namespace
}  // namespace partita
