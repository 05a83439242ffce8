#include "mpeg/mpeg_analysis.h"
#include "support/test_support.h"

namespace partita {
namespace {

namespace fs = std::filesystem;

// Every file of the corpus of real files (odd headers, tags, damage, other formats) goes
// through both analyses, the index, the time mapping and snapping without a crash, a hang or a
// sanitizer report, and what is found stays inside the file.
TEST(Corpus, EveryFileAnalyses) {
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(test::CorpusFile(""))) {
        const fs::path& path = entry.path();
        SCOPED_TRACE(path.filename().string());
        ++files;
        BufferedFile file;
        ASSERT_TRUE(file.Open(path));
        MpegAnalysis info;
        ASSERT_TRUE(info.OpenFile(file, path.string(), 0, true));
        if (info.streamFound) {
            EXPECT_LT(info.dataStart, info.fileLength);
            EXPECT_LE(info.vbrFramePos, info.dataStart);
            if (info.vbrType != VbrHeaderType::None) {
                EXPECT_LE(info.vbrFramePos, info.vbrTagPos);
                EXPECT_LT(info.vbrTagPos, info.dataStart);
                EXPECT_EQ(info.indexBuilt, 1);
            }
        }
        for (std::uint64_t ms : {0, 1, 100, 1000, 60000}) {
            info.LocateTime(ms, file);
            EXPECT_LE(info.TimeToOffset(ms, 0, false), info.fileLength);
            info.TimeToOffset(ms, 1000, true);
        }
        for (std::uint64_t offset :
             {std::uint64_t{0}, std::uint64_t{1}, info.fileLength / 2, info.fileLength}) {
            std::uint64_t snapped = info.SnapToFrame(file, offset);
            EXPECT_GE(snapped, offset);
        }
        MpegAnalysis lazy;
        ASSERT_TRUE(lazy.OpenFile(file, path.string()));
        EXPECT_TRUE(lazy.EnsureFrameIndex());
        EXPECT_EQ(lazy.index, info.index);

        MpegAnalysis analysed;
        ASSERT_TRUE(analysed.AnalyseFile(file, path.string()));
        EXPECT_EQ(analysed.hasId3v1, info.hasId3v1);
    }
    EXPECT_GT(files, 40u);
}

// What the corpus's MPEG files are known to hold.
TEST(Corpus, KnownFiles) {
    struct Known {
        const char* name;
        const char* vbrTag;
        int version;
        int layer;
    };
    for (const Known& k : {Known{"xing.mp3", "", 3, 3}, Known{"lame_vbr.mp3", "Xing", 3, 3},
                           Known{"lame_cbr.mp3", "Info", 3, 3}, Known{"mpeg2.mp3", "Xing", 2, 3},
                           Known{"bladeenc.mp3", "", 3, 3}}) {
        SCOPED_TRACE(k.name);
        MpegAnalysis info;
        ASSERT_TRUE(info.Open(test::CorpusFile(k.name).string()));
        EXPECT_TRUE(info.streamFound);
        EXPECT_EQ(info.vbrTag, k.vbrTag);
        EXPECT_EQ(ToInt(info.header.version), k.version);
        EXPECT_EQ(ToInt(info.header.layer), k.layer);
    }
    MpegAnalysis garbage;
    ASSERT_TRUE(garbage.Open(test::CorpusFile("garbage.mp3").string()));
}

}  // namespace
}  // namespace partita
