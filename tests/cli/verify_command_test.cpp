// `partita split --sample-accurate`, the dry run's word on borrowing first frames, and
// `partita verify` on the outputs, alone and against their source.

#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace partita {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

class VerifyCommandTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        ini = (dir / "s.ini").string();
        source = test::MakeMp3(dir.Path(), "song.mp3", {{440, 1500}, {660, 1500}}, {"-V", "2"});
    }

    test::CliResult Run(const std::string& command, std::vector<std::string> args) {
        std::vector<std::string> all{"--settings", ini, "--lang", "en", command};
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all);
    }
    std::vector<std::string> Split(const std::string& folder, std::vector<std::string> more) {
        std::vector<std::string> args{
            source.string(), "-o", (dir / folder).string(), "--rule", "%S", "--at", "1,2.05", "-q"};
        args.insert(args.end(), more.begin(), more.end());
        auto r = Run("split", args);
        EXPECT_EQ(r.code, 0) << r.output;
        return {(dir / folder / "1.mp3").string(), (dir / folder / "2.mp3").string(),
                (dir / folder / "3.mp3").string()};
    }

    std::string ini;
    fs::path source;
};

// A plain cut's inner tracks begin on frames that borrow: the dry run says so and verify fails
// them, while their frames make up the source. Sample-accurate tracks pass alone and decode to
// the source's samples.
TEST_F(VerifyCommandTest, BorrowedFramesAndSampleAccurateTracks) {
    auto plan = Run("split", {source.string(), "-o", (dir / "x").string(), "--at", "1,2.05",
                              "--dry-run", "--json"});
    auto json = nlohmann::json::parse(plan.output.substr(plan.output.find('[')));
    ASSERT_EQ(json.size(), 3u);
    EXPECT_FALSE(json[0].contains("firstFrameBorrows"));
    EXPECT_GT(json[1].value("firstFrameBorrows", 0), 0) << json[1];
    plan = Run("split", {source.string(), "-o", (dir / "x").string(), "--at", "1,2.05", "--dry-run",
                         "--sample-accurate"});
    EXPECT_EQ(plan.output.find("first frame needs"), std::string::npos) << plan.output;

    std::vector<std::string> plain = Split("plain", {});
    auto r = Run("verify", {plain[1]});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("the first frame needs"), std::string::npos) << r.output;
    std::vector<std::string> args{"--source", source.string()};
    args.insert(args.end(), plain.begin(), plain.end());
    r = Run("verify", args);
    EXPECT_NE(r.output.find("frames are the source's"), std::string::npos) << r.output;

    std::vector<std::string> exact = Split("exact", {"--sample-accurate"});
    args = {"--json", "--source", source.string()};
    args.insert(args.end(), exact.begin(), exact.end());
    r = Run("verify", args);
    EXPECT_EQ(r.code, 0) << r.output;
    json = nlohmann::json::parse(r.output);
    ASSERT_EQ(json.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(json[i]["ok"]) << json[i];
        EXPECT_EQ(json[i]["decodedSamples"], json[i]["samples"]);
    }
    EXPECT_FALSE(json[3]["framesPartition"]);
    EXPECT_TRUE(json[3]["samplesEqual"]);
}

// The LAME tag is what sample-accurate cuts live on: leaving out the header frame as well is
// refused; a file that is no MPEG audio fails verification.
TEST_F(VerifyCommandTest, Refusals) {
    auto r = Run("split", {source.string(), "-o", (dir / "x").string(), "--sample-accurate",
                           "--no-vbr-header"});
    EXPECT_EQ(r.code, 64) << r.output;
    test::WriteFileText(dir / "text.mp3", "not audio at all");
    r = Run("verify", {(dir / "text.mp3").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("no MPEG audio stream found"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace partita
