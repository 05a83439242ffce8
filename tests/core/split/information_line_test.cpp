#include "split/information_line.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "split/source_loader.h"
#include "split/source_probe.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

class InformationLineTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    RowId AddMpeg(const std::string& name, VbrHeaderType header, double kbps) {
        SourceRowValues values;
        SourceFormat& f = values.format;
        f.type = audio::AudioType::Mpeg;
        f.version = MpegVersion::Mpeg1;
        f.layer = MpegLayer::Layer3;
        f.bitrateKbps = kbps;
        f.vbrHeader = header;
        f.channelMode = 1;  // joint stereo
        f.sampleRate = 44100;
        return list.AddSource("/m/" + name, 60'000, values);
    }

    SplitList list;
};

const char* kModeLine =
    "\r\n[Split mode] - Auto Detect (click the \"Split Mode\" button to change it)";

// Each kind of row has its line: the group, MPEG sources with a Xing, VBRI or no VBR header, and
// no row at all.
TEST_F(InformationLineTest, GroupAndMpegSources) {
    EXPECT_EQ(InformationLine(list, kNoRow), "No track loaded or selected");
    RowId vbr = AddMpeg("vbr.mp3", VbrHeaderType::Xing, 190.4);
    list.InsertSplitPoint(vbr, 0);
    list.InsertSplitPoint(vbr, 1000);
    RowId vbri = AddMpeg("vbri.mp3", VbrHeaderType::Vbri, 100);
    RowId cbr = AddMpeg("cbr.mp3", VbrHeaderType::None, 128);
    EXPECT_EQ(InformationLine(list, list.Groups()[0]),
              "[Split group] - Default Split Group\r\nA total of [ 3 ] audio files have been "
              "loaded into this group");
    EXPECT_EQ(InformationLine(list, vbr),
              std::string("[vbr.mp3] - split into 2 tracks\r\n[Audio info] - MPEG 1.0 Layer 3, "
                          "44100Hz, 190kbps VBR, Joint Stereo") +
                  kModeLine);
    EXPECT_NE(InformationLine(list, vbri).find("100kbps VBRI, Joint Stereo"), std::string::npos);
    EXPECT_EQ(InformationLine(list, cbr),
              std::string("[cbr.mp3] - split into 0 tracks\r\n[Audio info] - MPEG 1.0 Layer 3, "
                          "44100Hz, 128kbps CBR, Joint Stereo") +
                  kModeLine);
}

// A WAV source's line comes from its format; a track's from its times, overlaps and the bytes
// its cut copies (KB below 1024 KB, else MB), without analysing the file again.
TEST_F(InformationLineTest, WavSourceAndTracks) {
    const auto path = dir / "talk.wav";
    test::WriteWav(path, test::SynthesizePcm({{440, 70'000}}, 8000, 1), 8000, 1);
    FileSourceProbe probe;
    test::ScriptedHost host;
    RowId source = LoadSource(list, SourceLoadDefaults{}, host, probe, path.string());
    ASSERT_NE(source, kNoRow);
    list.InsertSplitPoint(source, 1000);
    list.InsertSplitPoint(source, 2500);
    RowId second = list.Children(source)[1];
    list.SetOverlaps(second, {250, 0});
    std::filesystem::remove(path);  // the kept analysis answers

    EXPECT_EQ(InformationLine(list, source),
              std::string("[talk.wav] - split into 3 tracks\r\n[Audio info] - WAV 8000Hz, 16-bit "
                          "Mono") +
                  kModeLine);
    EXPECT_EQ(InformationLine(list, second),
              "[Track 02] 0:01.000-0:02.500\r\nBackward overlap: 0:00.250; approximate file size: "
              "27.3 KB");
    EXPECT_EQ(InformationLine(list, list.Children(source)[2]),
              "[Track 03] 0:02.500-1:10.000\r\nNo overlap; approximate file size: 1.0 MB");
}

}  // namespace
}  // namespace partita
