#include "track_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <ostream>

#include "app/user_message.h"
#include "cli_time.h"
#include "cue/cue_list.h"
#include "split/add_source.h"
#include "split/chapter_split.h"
#include "split/silence_split.h"
#include "split/track_tools.h"

namespace partita::cli {

void AddTrackOptions(CLI::App& command, TrackOptions& o) {
    auto* parts = command.add_option("--parts", o.parts, "Divide each source into N equal parts")
                      ->type_name("N");
    auto* every = command
                      .add_option("--every", o.every,
                                  "Divide each source into parts of this length "
                                  "(h:mm:ss.fff, m:ss.fff or seconds)")
                      ->type_name("T");
    auto* silence = command.add_flag("--silence", o.silence,
                                     "Split each source at its silences (replaces its tracks)");
    command
        .add_option("--silence-level", o.silenceLevelDb,
                    "Silence threshold in dB below full scale, 10 to 90 (default: the stored "
                    "value, 30)")
        ->type_name("DB")
        ->needs(silence);
    command
        .add_option("--silence-length", o.silenceLengthMs,
                    "Shortest silence in ms, 100 to 10000 (default: the stored value, 1500)")
        ->type_name("MS")
        ->needs(silence);
    command
        .add_flag("--exclude-silence", o.excludeSilence,
                  "Leave the silences out: each becomes an unchecked track")
        ->needs(silence);
    auto* chapters = command.add_flag(
        "--chapters", o.chapters,
        "Make a track of each chapter of a source's ID3v2 tag, titled after it (a source "
        "without chapters is left out)");
    parts->excludes(every)->excludes(silence)->excludes(chapters);
    every->excludes(silence)->excludes(chapters);
    silence->excludes(chapters);
    command
        .add_option("--overlap-before", o.overlapBefore,
                    "Start every track this much earlier (backward overlap)")
        ->type_name("T");
    command
        .add_option("--overlap-after", o.overlapAfter,
                    "End every track this much later (forward overlap)")
        ->type_name("T");
}

std::optional<TrackPlan> ReadTrackOptions(const TrackOptions& o, SettingsStore& settings,
                                          std::ostream& err, const std::string& name) {
    TrackPlan plan;
    plan.chapters = o.chapters;
    if (o.parts) {
        if (*o.parts < 1 || *o.parts > kMaxSpecialParts) {
            err << name << ": --parts: " << Message(Msg::InvalidPartCount, kMaxSpecialParts)
                << "\n";
            return std::nullopt;
        }
        SpecialSplitRequest request;
        request.type = SpecialSplitType::EqualParts;
        request.count = *o.parts;
        plan.special = request;
    }
    if (o.every) {
        auto ms = ParseCommandLineTime(*o.every);
        if (!ms || *ms == 0) {
            err << name << ": --every: " << Message(Msg::InvalidPartLength, *o.every) << "\n";
            return std::nullopt;
        }
        SpecialSplitRequest request;
        request.type = SpecialSplitType::FixedTime;
        request.stepMs = *ms;
        plan.special = request;
    }
    if (o.silence) {
        plan.silence = true;
        plan.silenceOptions = SilenceOptions::Read(settings);
        if (o.silenceLevelDb) {
            double level = std::fabs(*o.silenceLevelDb);
            if (!(level >= 10.0 && level <= 90.0)) {
                err << name << ": --silence-level: give 10 to 90 dB below full scale\n";
                return std::nullopt;
            }
            plan.silenceOptions.levelTenthsDb = static_cast<int>(std::lround(level * 10));
        }
        if (o.silenceLengthMs) {
            if (*o.silenceLengthMs < 100 || *o.silenceLengthMs > 10000) {
                err << name << ": --silence-length: give 100 to 10000 ms\n";
                return std::nullopt;
            }
            plan.silenceOptions.minLengthMs = *o.silenceLengthMs;
        }
        if (o.excludeSilence)
            plan.silenceOptions.excludeSilence = true;
    }
    if (o.overlapBefore || o.overlapAfter) {
        Overlaps overlaps;
        for (auto [text, option, field] :
             {std::tuple{&o.overlapBefore, "--overlap-before", &overlaps.backwardMs},
              std::tuple{&o.overlapAfter, "--overlap-after", &overlaps.forwardMs}}) {
            if (!*text)
                continue;
            auto ms = ParseCommandLineTime(**text);
            if (!ms) {
                err << name << ": " << option << ": not a time: \"" << **text << "\"\n";
                return std::nullopt;
            }
            *field = *ms;
        }
        plan.overlaps = overlaps;
    }
    return plan;
}

namespace {

// Gives an added source the plan's tracks and overlaps.
TrackSourceResult Shape(SplitList& list, RowId source, const TrackPlan& plan, JobHost& host) {
    if (plan.chapters) {
        if (SplitSourceAtChapters(list, source, host, true) != ChapterSplit::Split)
            return TrackSourceResult::Failed;
    } else if (plan.silence) {
        SilenceRun run = DetectSilence(list, source, plan.silenceOptions, host);
        if (run == SilenceRun::Cancelled)
            return TrackSourceResult::Stopped;
        if (run == SilenceRun::NotOpened)
            return TrackSourceResult::Failed;
    } else if (plan.special) {
        SpecialSplitRequest request = *plan.special;
        request.scopeLengthMs = list.SourceDuration(source);
        if (auto refusal = ValidateSpecialSplit(request)) {
            host.ShowMessage(MessageKind::Error, UserMessage::Plain(list.SourcePath(source) + ": " +
                                                                    refusal->message.Text()));
            return TrackSourceResult::Failed;
        }
        ApplySpecialSplit(list, source, request, host);
    }
    if (plan.overlaps)
        ApplyOverlaps(list, source, *plan.overlaps, OverlapScope::Whole);
    return TrackSourceResult::Added;
}

}  // namespace

TrackSourceResult AddTrackSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                                 SourceProbe& probe, const std::string& path, const TrackPlan& plan,
                                 RowId& source) {
    bool cancelled = false;
    SourceLoadDefaults load = defaults;
    if (plan.chapters) {
        load.splitAtChapters = false;  // the plan splits it, reporting once
        load.autoSpecial.reset();
    }
    source = AddSourcePath(list, load, host, probe, path, {}, &cancelled);
    if (source == kNoRow)
        return cancelled ? TrackSourceResult::Stopped : TrackSourceResult::Failed;
    TrackSourceResult result = Shape(list, source, plan, host);
    if (result == TrackSourceResult::Failed) {
        list.Remove(source);
        source = kNoRow;
    }
    return result;
}

}  // namespace partita::cli
