#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "tags/chapter_frames.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

using InfoChaptersTest = test::TempDirTest;
using test::RunCli;
namespace fs = std::filesystem;

// The chapters of a file in playing order, the ones left out with their reasons, in JSON and
// text; the frame scan finds the same audio right after the larger tag.
TEST_F(InfoChaptersTest, ListsChaptersAndTheOnesLeftOut) {
    fs::path plain = test::MakeMp3(dir.Path(), "plain.mp3", {{440, 4000}}, {"-b", "128"});
    fs::path book = dir / "book.mp3";
    fs::copy_file(plain, book);
    const std::vector<Chapter> chapters = {
        {"", "One", "Reader", 0, 2000},
        {"", "Two", "", 2000, 3900},
        {"", "Echo", "", 3000, 3500},
        {"", "Far", "", 3900, 60000},
    };
    TagInfo tags;
    tags.title = "Book";
    const std::vector<std::uint8_t> frames = MakeChapterFrames(chapters);
    ASSERT_TRUE(WriteId3v2(book, tags, frames));
    ASSERT_TRUE(WriteId3v2(plain, tags));

    auto r = RunCli(
        {"--settings", (dir / "s.ini").string(), "info", "--json", plain.string(), book.string()});
    ASSERT_EQ(r.code, 0) << r.output;
    auto json = nlohmann::json::parse(r.output.substr(r.output.find('[')));
    const auto& none = json[0];
    const auto& o = json[1];
    EXPECT_EQ(none["chapters"], nlohmann::json::array());
    EXPECT_EQ(o["chapters"], nlohmann::json::parse(R"([
        {"id": "chp1", "title": "One", "artist": "Reader", "startMs": 0, "endMs": 2000},
        {"id": "chp2", "title": "Two", "artist": "", "startMs": 2000, "endMs": 3900}])"));
    ASSERT_EQ(o["skippedChapters"].size(), 2u);
    EXPECT_EQ(o["skippedChapters"][0]["title"], "Echo");
    EXPECT_EQ(o["skippedChapters"][0]["reason"], "overlapsPrevious");
    EXPECT_EQ(o["skippedChapters"][1]["id"], "chp4");
    EXPECT_EQ(o["skippedChapters"][1]["reason"], "pastEndOfAudio");
    EXPECT_EQ(o["frameCount"], none["frameCount"]);
    EXPECT_EQ(o["dataStart"].get<std::uint64_t>(),
              none["dataStart"].get<std::uint64_t>() + frames.size());

    auto text = RunCli({"--settings", (dir / "s.ini").string(), "info", book.string()});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.output.find("0:00.000 - 0:02.000  \"One\" by \"Reader\" (chp1)"),
              std::string::npos)
        << text.output;
    EXPECT_NE(text.output.find("chapter \"Far\" (chp4, 0:03.900 - 1:00.000) left out"),
              std::string::npos);
}

}  // namespace
}  // namespace partita
