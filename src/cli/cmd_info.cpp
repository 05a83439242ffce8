#include <CLI/CLI.hpp>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "app/user_message.h"
#include "cli_context.h"
#include "commands.h"
#include "info_audio.h"
#include "info_chapters.h"
#include "mpeg/mpeg_analysis.h"
#include "report_writer.h"
#include "tags/genre_list.h"

namespace partita::cli {
namespace {

namespace fs = std::filesystem;

std::string VbrText(const MpegAnalysis& info) {
    if (info.vbrType == VbrHeaderType::None)
        return "no VBR header";
    std::ostringstream text;
    text << info.vbrTag << " header at byte " << info.vbrFramePos << " (" << info.vbrFrames
         << " frames" << (info.IsVbr() ? "" : ", constant bitrate") << ")";
    return text.str();
}

// Reports one file; false when it cannot be read.
bool Describe(const std::string& path, bool full, const std::string& codePage, nlohmann::json& item,
              std::string& text) {
    item = nlohmann::json{{"path", path}};
    BufferedFile file;
    if (!file.Open(path)) {
        UserMessage failure = UserMessage(Msg::CannotOpenFile, path).WithReason(ReadErrorOf(path));
        std::string message = failure.Text();
        item["error"] = message;
        item["reason"] = failure.ReasonText();
        text = path + "\n  " + message + "\n";
        return false;
    }
    // Any file is scanned, whatever its name: the report shows what the analysis finds.
    MpegAnalysis info(std::string(), codePage);
    info.OpenFile(file, path);
    const FrameHeaderInfo& h = info.header;

    const audio::AudioType type = ClassifyForInfo(path, info.streamFound);
    item["audioType"] = audio::ToInt(type);
    item["streamFound"] = info.streamFound;
    item["fileLength"] = info.fileLength;
    item["dataStart"] = info.dataStart;
    item["vbrFramePos"] = info.vbrFramePos;
    item["vbrTagPos"] = info.vbrTagPos;
    item["vbrType"] = static_cast<int>(info.vbrType);
    item["vbrTag"] = info.vbrTag;
    item["vbrFrames"] = info.vbrFrames;
    item["frameCount"] = info.GetFrameCount();
    item["durationMs"] = info.durationMs;
    item["avgBitrate"] = info.avgBitrate;
    item["version"] = ToInt(h.version);
    item["layer"] = ToInt(h.layer);
    item["bitrateKbps"] = h.bitrateKbps;
    item["sampleRate"] = h.sampleRate;
    item["channelMode"] = h.channelMode;
    item["frameLength"] = h.frameLength;
    item["hasId3v1"] = info.hasId3v1;
    item["id3v2Size"] = info.GetId3v2Size(file);
    if (info.hasId3v1) {
        item["id3v1"] = {{"title", info.title},     {"artist", info.artist},
                         {"album", info.album},     {"year", info.year},
                         {"comment", info.comment}, {"track", info.track},
                         {"genre", info.genre},     {"genreName", GenreName(info.genre)}};
    }

    std::ostringstream out;
    out << path << "\n";
    if (info.streamFound) {
        out << "  " << VersionText(h.version) << " Layer " << ToInt(h.layer) << ", ";
        if (info.IsVbr()) {
            out << "VBR, average " << std::fixed << std::setprecision(1) << info.avgBitrate
                << " kbit/s";
        } else {
            out << h.bitrateKbps << " kbit/s";
        }
        out << ", " << h.sampleRate << " Hz, " << ModeText(h.channelMode) << "\n";
        out << "  " << info.GetFrameCount() << " frames, " << FormatTime(info.durationMs, kTimeList)
            << " (" << info.durationMs << " ms), " << VbrText(info) << "\n";
        out << "  audio from byte " << info.dataStart << " of " << info.fileLength << "\n";
    } else {
        out << "  no MPEG audio stream found (" << info.fileLength << " bytes)\n";
    }
    if (std::uint32_t tag = info.GetId3v2Size(file))
        out << "  ID3v2 tag: " << tag << " bytes\n";
    if (info.hasId3v1) {
        out << "  ID3v1:";
        const std::pair<const char*, std::string> fields[] = {
            {"title", info.title},
            {"artist", info.artist},
            {"album", info.album},
            {"year", info.year},
            {"comment", info.comment},
            {"track", info.track ? std::to_string(info.track) : std::string()},
            {"genre", GenreName(info.genre)}};
        const char* separator = " ";
        for (const auto& [name, value] : fields) {
            if (!value.empty()) {
                out << separator << name << " \"" << value << "\"";
                separator = ", ";
            }
        }
        out << "\n";
    }

    if (full) {
        MpegAnalysis analysed(std::string(), codePage);
        analysed.AnalyseFile(file, path);
        item["scannedFrames"] = analysed.scannedFrames;
        item["analysedDurationMs"] = analysed.durationMs;
        out << "  full scan: " << analysed.scannedFrames << " frames, "
            << FormatTime(analysed.durationMs, kTimeList) << " (" << analysed.durationMs
            << " ms)\n";
    }
    text = out.str();
    if (type == audio::AudioType::Mpeg && info.streamFound)
        AddChapterInfo(item, text, path, info.durationMs);
    // Tags of every audio file, and what the audio layer reads of files that are not MPEG.
    return AddAudioInfo(item, text, path, type, codePage);
}

}  // namespace

CommandRunner AddInfoCommand(CLI::App& app, Context& context) {
    struct Options {
        std::vector<std::string> files;
        bool json = false;
        bool full = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("info", "Show what the program reads from audio files");
    command->add_option("FILE", options->files, "Audio files")->required();
    command->add_flag("--json", options->json, "One JSON array, an object per file");
    command->add_flag("--full", options->full,
                      "Also walk every frame (frame count and duration of the full scan)");

    return [options, &context]() {
        const std::string codePage = settings::LegacyCodePage.Read(context.Settings());
        ReportWriter report(*context.out, options->json);
        int code = kExitOk;
        for (const std::string& path : options->files) {
            nlohmann::json item;
            std::string text;
            if (!Describe(path, options->full, codePage, item, text))
                code = kExitFailed;
            report.Add(std::move(item), text);
        }
        return code;
    };
}

}  // namespace partita::cli
