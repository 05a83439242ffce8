#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "app/message_format.h"
#include "app/setting_values.h"
#include "app/time_text.h"
#include "cli_context.h"
#include "commands.h"
#include "mpeg/mp3_info.h"
#include "report_writer.h"
#include "tags/genre_list.h"

namespace partita::cli {
namespace {

namespace fs = std::filesystem;

// The audio type of a file for this report, from its extension alone (1 MPEG audio, 2 WAV,
// 3 Ogg Vorbis, 4 Windows Media, 5 AIFF); a file with no or another extension, or ".mpa",
// counts as MPEG audio when the stream scan found a stream and as unknown (-1) otherwise. The
// classifier that opens such files with the audio library can take this function's place;
// MPEG files are always classified without it.
int ClassifyForInfo(const fs::path& path, bool streamFound) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".mp3" || ext == ".mp2" || ext == ".mp1")
        return 1;
    if (ext == ".wav")
        return 2;
    if (ext == ".ogg")
        return 3;
    if (ext == ".wma" || ext == ".asf")
        return 4;
    if (ext == ".aif" || ext == ".aiff")
        return 5;
    return streamFound ? 1 : -1;
}

std::string VbrText(const CMP3Info& info) {
    if (info.vbrType == kNoVbrHeader)
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
        std::string message = Message(126, path);
        item["error"] = message;
        text = path + "\n  " + message + "\n";
        return false;
    }
    // Any file is scanned, whatever its name: the report shows what the analysis finds.
    CMP3Info info(std::string(), codePage);
    info.OpenFile(file, path);
    const FrameHeaderInfo& h = info.header;

    item["audioType"] = ClassifyForInfo(path, info.streamFound);
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
    item["version"] = h.version;
    item["layer"] = h.layer;
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
        out << "  " << VersionText(h.version) << " Layer " << h.layer << ", ";
        if (info.IsVbr()) {
            out << "VBR, average " << static_cast<int>(info.avgBitrate + 0.5) << " kbit/s";
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
        out << "  ID3v1: \"" << info.title << "\" by \"" << info.artist << "\", album \""
            << info.album << "\", " << info.year;
        if (info.track)
            out << ", track " << info.track;
        if (!GenreName(info.genre).empty())
            out << ", " << GenreName(info.genre);
        out << "\n";
    }

    if (full) {
        CMP3Info analysed(std::string(), codePage);
        analysed.AnalyseFile(file, path);
        item["scannedFrames"] = analysed.scannedFrames;
        item["analysedDurationMs"] = analysed.durationMs;
        out << "  full scan: " << analysed.scannedFrames << " frames, "
            << FormatTime(analysed.durationMs, kTimeList) << " (" << analysed.durationMs
            << " ms)\n";
    }
    text = out.str();
    return true;
}

}  // namespace

CommandRunner AddInfoCommand(CLI::App& app, Context& context) {
    struct Options {
        std::vector<std::string> files;
        bool json = false;
        bool full = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command =
        app.add_subcommand("info", "Show what the MPEG analysis reads from audio files");
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
