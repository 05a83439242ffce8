#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

using InfoTest = test::TempDirTest;
using test::RunCli;
namespace fs = std::filesystem;

nlohmann::json Json(const test::CliResult& r) {
    return nlohmann::json::parse(r.output.substr(r.output.find('[')));
}

// A VBR file with both tags: every field of the report, in numbers an independent reader
// confirms.
TEST_F(InfoTest, ReportsEveryField) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 2000}, {880, 2000}}, {"-V", "4"});
    TagInfo tags;
    tags.title = "Title";
    tags.artist = "Artist";
    tags.track = "5";
    tags.genre = "Jazz";
    ASSERT_TRUE(WriteId3v2(mp3, tags));
    ASSERT_TRUE(WriteId3v1(mp3, tags, "ISO-8859-1"));
    std::string packets;
    ASSERT_EQ(test::RunProgram({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                                "stream=nb_read_packets", "-of", "csv=p=0", mp3.string()},
                               &packets),
              0);

    auto r =
        RunCli({"--settings", (dir / "s.ini").string(), "info", "--json", "--full", mp3.string()});
    ASSERT_EQ(r.code, 0) << r.output;
    auto json = Json(r);
    ASSERT_EQ(json.size(), 1u);
    const auto& o = json[0];
    EXPECT_EQ(o["path"], mp3.string());
    EXPECT_EQ(o["audioType"], 1);
    EXPECT_EQ(o["streamFound"], true);
    EXPECT_EQ(o["fileLength"], fs::file_size(mp3));
    const std::size_t tagSize = MakeId3v2Tag(tags).size();
    EXPECT_EQ(o["id3v2Size"], tagSize);
    EXPECT_EQ(o["vbrFramePos"], tagSize);
    EXPECT_EQ(o["vbrTagPos"], tagSize + 36);
    EXPECT_GT(o["dataStart"], tagSize + 36);
    EXPECT_EQ(o["vbrType"], 1);
    EXPECT_EQ(o["vbrTag"], "Xing");
    EXPECT_EQ(o["vbrFrames"], std::stoi(packets));
    EXPECT_EQ(o["frameCount"], std::stoi(packets));
    EXPECT_EQ(o["scannedFrames"], std::stoi(packets));
    // Open's estimate counts the Xing frame's bytes in the average: a few percent of a short
    // file; the full scan is exact to a frame.
    EXPECT_NEAR(o["durationMs"].get<double>(), test::ProbeDurationMs(mp3),
                test::ProbeDurationMs(mp3) * 0.05);
    EXPECT_NEAR(o["analysedDurationMs"].get<double>(), test::ProbeDurationMs(mp3), 30);
    EXPECT_GT(o["avgBitrate"].get<double>(), 8);
    EXPECT_EQ(o["version"], 3);
    EXPECT_EQ(o["layer"], 3);
    EXPECT_EQ(o["sampleRate"], 44100);
    EXPECT_GT(o["bitrateKbps"], 0);
    EXPECT_GT(o["frameLength"], 0);
    EXPECT_TRUE(o.contains("channelMode"));
    EXPECT_EQ(o["hasId3v1"], true);
    EXPECT_EQ(o["id3v1"]["title"], "Title");
    EXPECT_EQ(o["id3v1"]["artist"], "Artist");
    EXPECT_EQ(o["id3v1"]["track"], 5);
    EXPECT_EQ(o["id3v1"]["genre"], 8);
    for (const char* key : {"album", "year", "comment"})
        EXPECT_EQ(o["id3v1"][key], "") << key;

    auto text = RunCli({"--settings", (dir / "s.ini").string(), "info", mp3.string()});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.output.find("MPEG 1.0 Layer 3, VBR"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("Xing header"), std::string::npos);
    EXPECT_NE(text.output.find("\"Title\""), std::string::npos);
}

// ID3v1 texts are read in the "Legacy Code Page" setting.
TEST_F(InfoTest, ReadsId3v1InTheLegacyCodePage) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "cn.mp3", {{440, 500}}, {"-b", "64"});
    TagInfo tags;
    tags.title = "中文标题";
    ASSERT_TRUE(WriteId3v1(mp3, tags, "GBK"));
    std::string ini = (dir / "s.ini").string();
    auto gbk = RunCli({"--settings", ini, "--set", "Settings/Legacy Code Page=GBK", "info",
                       "--json", mp3.string()});
    EXPECT_EQ(Json(gbk)[0]["id3v1"]["title"], "中文标题");
    auto latin = RunCli({"--settings", ini, "info", "--json", mp3.string()});
    EXPECT_EQ(Json(latin)[0]["id3v1"]["title"], "ÖÐÎÄ±êÌâ");
}

// Files that are not MPEG audio are reported without a stream; the type follows the extension
// or, for other names, whether a stream was found; an unreadable file gives its error and
// exit code 1 while the others are still reported.
TEST_F(InfoTest, OtherFilesAndErrors) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 500}}, {"-b", "128"});
    fs::copy_file(mp3, dir / "stream.mpa");
    fs::copy_file(mp3, dir / "noname");
    test::WriteWav(dir / "pcm.wav", test::SynthesizePcm({{0, 300}}, 44100, 2), 44100, 2);
    test::WriteFileText(dir / "notes.txt", "nothing to hear");
    fs::create_directory(dir / "folder.mp3");
    auto r = RunCli({"--settings", (dir / "s.ini").string(), "info", "--json",
                     (dir / "stream.mpa").string(), (dir / "noname").string(),
                     (dir / "pcm.wav").string(), (dir / "notes.txt").string(),
                     (dir / "missing.mp3").string(), (dir / "folder.mp3").string()});
    EXPECT_EQ(r.code, 1);
    auto json = Json(r);
    ASSERT_EQ(json.size(), 6u);
    EXPECT_EQ(json[0]["audioType"], 1);
    EXPECT_EQ(json[0]["vbrTag"], "Info");
    EXPECT_EQ(json[1]["audioType"], 1);
    EXPECT_EQ(json[2]["audioType"], 2);
    EXPECT_EQ(json[2]["streamFound"], false);
    EXPECT_EQ(json[3]["audioType"], -1);
    EXPECT_EQ(json[3]["streamFound"], false);
    EXPECT_EQ(json[3]["frameCount"], 0);
    EXPECT_FALSE(json[3].contains("id3v1"));
    for (int i : {4, 5}) {
        EXPECT_FALSE(json[i].contains("streamFound")) << i;
        EXPECT_NE(json[i]["error"].get<std::string>().find(json[i]["path"].get<std::string>()),
                  std::string::npos);
    }
}

// A named pipe given as a source is refused at once by info, split and merge: nothing waits for
// a writer that never comes.
TEST_F(InfoTest, PipesAreRefused) {
    const fs::path pipe = dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::path mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 500}}, {"-b", "128"});
    const std::string settings = (dir / "s.ini").string();
    for (std::vector<std::string> args :
         {std::vector<std::string>{"info", pipe.string()},
          {"split", "--dry-run", "-o", dir.Path().string(), pipe.string()},
          {"merge", "--mode", "direct", "-o", (dir / "m.mp3").string(), pipe.string(),
           mp3.string()}}) {
        args.insert(args.begin(), {"timeout", "20", PARTITA_CLI_PATH, "--settings", settings});
        std::string output;
        EXPECT_EQ(test::RunProgram(args, &output), 1) << args[5] << output;
    }
}

}  // namespace
}  // namespace partita
