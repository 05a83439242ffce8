#include <CLI/CLI.hpp>
#include <sstream>

#include "app/time_text.h"
#include "audio/open_error.h"
#include "audio/pcm_check.h"
#include "cli_context.h"
#include "commands.h"
#include "mpeg/stream_check.h"
#include "report_writer.h"

namespace partita::cli {
namespace {

// One line of a file's report: a finding, or a problem (marked "!").
struct ReportLines {
    std::ostringstream text;
    nlohmann::json problems = nlohmann::json::array();

    void Line(const std::string& line) { text << "  " << line << "\n"; }
    void Problem(const std::string& line) {
        text << "! " << line << "\n";
        problems.push_back(line);
    }
};

std::string Plural(std::uint64_t count, const char* one) {
    return std::to_string(count) + " " + one + (count == 1 ? "" : "s");
}

void ReportFrames(const StreamCheck& c, nlohmann::json& item, ReportLines& out) {
    const FrameTable& f = c.frames;
    item["frames"] = f.Count();
    item["junkBytes"] = f.junkBytes;
    item["trailingBytes"] = f.trailingBytes;
    std::ostringstream line;
    line << Plural(f.Count(), "frame") << " (" << VersionText(c.header.version) << " Layer "
         << ToInt(c.header.layer) << ", " << c.header.sampleRate << " Hz) from byte "
         << c.audioStart;
    out.Line(line.str());
    if (f.trailingBytes > 0)
        out.Line(Plural(f.trailingBytes, "byte") + " after the last frame");
}

void ReportHeaderFrame(const StreamCheck& c, nlohmann::json& item, ReportLines& out) {
    if (c.headerTag.empty()) {
        out.Line("no header frame");
        return;
    }
    nlohmann::json header{{"tag", c.headerTag}};
    std::ostringstream line;
    line << c.headerTag << " header";
    const char* separator = ": ";
    if (c.statedFrames) {
        header["frames"] = *c.statedFrames;
        line << separator << Plural(*c.statedFrames, "frame");
        separator = ", ";
    }
    if (c.statedBytes) {
        header["bytes"] = *c.statedBytes;
        line << separator << Plural(*c.statedBytes, "byte");
    }
    item["header"] = header;
    out.Line(line.str());
}

void ReportLameTag(const StreamCheck& c, nlohmann::json& item, ReportLines& out) {
    if (!c.lame)
        return;
    const LameTag& t = *c.lame;
    item["lame"] = {{"encoder", t.encoder},
                    {"delay", t.delay},
                    {"padding", t.padding},
                    {"musicLength", t.musicLength},
                    {"tagCrcValid", t.crcMatches}};
    std::ostringstream line;
    line << "LAME tag (" << t.encoder << "): delay " << t.delay << ", padding " << t.padding
         << ", music length " << t.musicLength << ", tag CRC "
         << (t.crcMatches ? "valid" : "wrong");
    out.Line(line.str());
}

void ReportReservoir(const StreamCheck& c, nlohmann::json& item, ReportLines& out) {
    item["reservoirComplete"] = c.borrowingFrame < 0;
    if (c.borrowingFrame >= 0) {
        item["borrowingFrame"] = c.borrowingFrame;
        item["borrowedBytes"] = c.borrowedBytes;
    } else if (c.header.layer == MpegLayer::Layer3) {
        out.Line("every frame finds its main data in the file");
    }
}

std::string ProblemText(StreamProblem problem, const StreamCheck& c) {
    switch (problem) {
        case StreamProblem::NoStream:
            return "no MPEG audio stream found";
        case StreamProblem::Junk:
            return Plural(c.frames.junkBytes, "byte") +
                   " of junk before or between frames, the first at byte " +
                   std::to_string(c.frames.firstJunk);
        case StreamProblem::LastFrameCutShort:
            return "the last frame is cut short";
        case StreamProblem::FrameCount:
            return "the header frame's frame count is not the " +
                   Plural(c.frames.Count(), "frame") + " walked";
        case StreamProblem::ByteCount:
            return "the header frame's byte count is not the " + Plural(c.CountedBytes(), "byte") +
                   " of header frame and audio";
        case StreamProblem::TagCrc:
            return "the LAME tag's CRC is not its frame's: decoders that check it ignore the tag";
        case StreamProblem::MusicLength:
            return "the LAME tag's music length is not the " + Plural(c.CountedBytes(), "byte") +
                   " of header frame and audio";
        case StreamProblem::DelayAndPadding:
            return "the LAME delay and padding are more samples than the frames hold";
        case StreamProblem::FirstFrameBorrows:
            return (c.borrowingFrame == 0 ? std::string("the first frame")
                                          : "frame " + std::to_string(c.borrowingFrame)) +
                   " needs " + Plural(c.borrowedBytes, "byte") +
                   " of main data from before the file: it does not decode from the file alone";
    }
    return {};
}

// Decodes the file through the audio layer.
void ReportDecoding(const std::string& path, const StreamCheck& c, nlohmann::json& item,
                    ReportLines& out) {
    const auto ms = static_cast<std::uint64_t>(c.DurationMs() + 0.5);
    item["samples"] = c.samples;
    item["durationMs"] = ms;
    audio::DecodeResult decoded = audio::DecodeWhole(path);
    std::ostringstream line;
    line << "plays " << c.samples << " samples (" << FormatTime(ms, kTimeList) << ")";
    if (decoded.error != audio::OpenError::None) {
        out.Line(line.str());
        out.Problem("not decoded: " + audio::OpenErrorMessage(path, decoded.error).Text());
        return;
    }
    item["decodedSamples"] = decoded.samples;
    item["decodeErrors"] = decoded.errors;
    line << "; decoded " << decoded.samples << ", " << Plural(decoded.errors, "decode error");
    out.Line(line.str());
    if (decoded.errors > 0)
        out.Problem(Plural(decoded.errors, "packet") + " could not be decoded");
    if (decoded.samples != c.samples)
        out.Problem("the decoder made " + std::to_string(decoded.samples) + " samples, not " +
                    std::to_string(c.samples));
}

// Reports one file; false when something is wrong with it.
bool Verify(const std::string& path, nlohmann::json& item, std::string& text) {
    item = nlohmann::json{{"path", path}};
    ReportLines out;
    StreamCheck check = CheckStream(path);
    if (check.streamFound) {
        ReportFrames(check, item, out);
        ReportHeaderFrame(check, item, out);
        ReportLameTag(check, item, out);
        ReportReservoir(check, item, out);
    }
    for (StreamProblem problem : check.problems)
        out.Problem(ProblemText(problem, check));
    if (check.streamFound)
        ReportDecoding(path, check, item, out);
    const bool ok = out.problems.empty();
    item["problems"] = out.problems;
    item["ok"] = ok;
    text = path + (ok ? ": OK\n" : ": " + Plural(out.problems.size(), "problem") + "\n") +
           out.text.str();
    return ok;
}

// Whether the pieces make up the source: their frames are its frames, or else their decoded
// samples are its samples.
bool VerifyPieces(const std::string& source, const std::vector<std::string>& pieces,
                  nlohmann::json& item, std::string& text) {
    item = nlohmann::json{{"source", source}, {"pieces", pieces}};
    std::ostringstream out;
    out << "pieces of " << source << ": ";
    FramePartition frames = CheckFramePartition(source, pieces);
    item["framesPartition"] = frames.holds;
    if (frames.holds) {
        out << "their " << Plural(frames.pieceFrames, "frame") << " are the source's\n";
        item["ok"] = true;
        text = out.str();
        return true;
    }
    if (frames.piece >= 0) {
        out << "their frames are not the source's (piece " << frames.piece + 1 << ", frame "
            << frames.frame << ")";
    } else {
        out << "their " << frames.pieceFrames << " frames are not the source's "
            << frames.sourceFrames;
    }
    std::vector<std::filesystem::path> paths(pieces.begin(), pieces.end());
    audio::PcmComparison samples = audio::ComparePcm(source, paths);
    item["samplesEqual"] = samples.Equal();
    if (samples.Equal()) {
        out << "; their decoded " << samples.pieceSamples << " samples are the source's\n";
    } else if (!samples.decoded) {
        out << "; they could not all be decoded like the source\n";
    } else {
        item["sourceSamples"] = samples.sourceSamples;
        item["pieceSamples"] = samples.pieceSamples;
        if (samples.firstDifference)
            item["firstDifference"] = *samples.firstDifference;
        out << "; their decoded samples (" << samples.pieceSamples << ") differ from the source's ("
            << samples.sourceSamples << ") from sample " << samples.firstDifference.value_or(0)
            << "\n";
    }
    item["ok"] = samples.Equal();
    text = out.str();
    return samples.Equal();
}

}  // namespace

CommandRunner AddVerifyCommand(CLI::App& app, Context& context) {
    struct Options {
        std::vector<std::string> files;
        std::string source;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "verify", "Check MPEG audio files: frames, header frame, LAME tag, reservoir, decoding");
    command->add_option("FILE", options->files, "MPEG audio files (the pieces, with --source)")
        ->required();
    command
        ->add_option("--source", options->source,
                     "Also check that the FILEs, in order, make up this file: its frames, or "
                     "(sample-accurate pieces) its decoded samples")
        ->type_name("SRC");
    command->add_flag("--json", options->json, "One JSON array, an object per file");

    return [options, &context]() {
        ReportWriter report(*context.out, options->json);
        int code = kExitOk;
        for (const std::string& path : options->files) {
            nlohmann::json item;
            std::string text;
            if (!Verify(path, item, text))
                code = kExitFailed;
            report.Add(std::move(item), text);
        }
        if (!options->source.empty()) {
            nlohmann::json item;
            std::string text;
            if (!VerifyPieces(options->source, options->files, item, text))
                code = kExitFailed;
            report.Add(std::move(item), text);
        }
        return code;
    };
}

}  // namespace partita::cli
