#include "split/source_loader.h"

#include "app/string_table.h"
#include "app/user_message.h"

namespace partita {

std::string_view AutoSequenceTitle() {
    return CurrentLanguage() == Language::English ? kAutoSequenceTitleEnglish : kAutoSequenceTitle;
}

SourceRowValues NewSourceValues(const SourceLoadDefaults& defaults, const SourceFacts& facts,
                                const SourcePreset& preset) {
    SourceRowValues values;
    values.tags.title = facts.tags.title;
    values.tags.artist = facts.tags.artist;
    values.tags.album = facts.tags.album;
    values.tags.year = facts.tags.year;
    values.tags.comment = facts.tags.comment;
    values.tags.genre = facts.tags.genre;
    values.tags.trackNumber = facts.tags.track;

    values.overlaps.backwardMs = preset.backOverlapMs.value_or(defaults.overlaps.backwardMs);
    values.overlaps.forwardMs = preset.fwdOverlapMs.value_or(defaults.overlaps.forwardMs);

    // WAV pieces carry tags too (an ID3v2 chunk and an INFO list): each gets its own title and
    // number as MPEG pieces do, not the source's texts unchanged.
    if (facts.audioType == audio::AudioType::Mpeg || facts.audioType == audio::AudioType::Wav) {
        if (defaults.autoSequenceTitle)
            values.tags.title += AutoSequenceTitle();
        if (defaults.autoTrackNumber &&
            (!defaults.autoTrackOnlyIfEmpty || values.tags.trackNumber.empty()))
            values.tags.trackNumber = "%S";
    }

    values.mode = preset.mode.value_or(defaults.mode);
    values.format = facts.format;
    values.analysis = facts.analysis;
    return values;
}

RowId AddLoadedSource(SplitList& list, const SourceLoadDefaults& defaults, const std::string& path,
                      const SourceFacts& facts, const SourcePreset& preset) {
    RowId source = list.AddSource(path, facts.durationMs, NewSourceValues(defaults, facts, preset));
    list.InsertSplitPoint(source, 0);
    return source;
}

std::optional<SourceFacts> ProbeWithHost(SourceProbe& probe, JobHost& host, const std::string& path,
                                         SplitMode mode, ProbeFailure* failure) {
    bool shown = false;
    LoadProgress progress = [&](int percent) {
        if (!shown) {
            shown = true;
            host.SetStatus(Message(Msg::LoadingFramesTip));
        }
        host.SetProgress(static_cast<std::uint64_t>(percent), 100);
        return !host.TakeStopRequest();
    };
    std::optional<SourceFacts> facts = probe.Probe(path, mode, progress, failure);
    if (shown)
        host.SetProgress(0, 0);
    return facts;
}

std::optional<SourceFacts> ProbeTelling(SourceProbe& probe, JobHost& host, const std::string& path,
                                        SplitMode mode, bool* cancelled) {
    ProbeFailure failure{UserMessage(Msg::CannotLoadFile, path).WithReason(ReadErrorOf(path))};
    std::optional<SourceFacts> facts = ProbeWithHost(probe, host, path, mode, &failure);
    if (cancelled)
        *cancelled = !facts && failure.cancelled;
    if (!facts && !failure.cancelled)
        host.ShowMessage(MessageKind::Error, failure.message);
    return facts;
}

RowId LoadSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                 SourceProbe& probe, const std::string& path, const SourcePreset& preset,
                 bool* cancelled) {
    std::optional<SourceFacts> facts =
        ProbeTelling(probe, host, path, preset.mode.value_or(defaults.mode), cancelled);
    if (!facts)
        return kNoRow;
    if (!facts->tagsRead)
        host.ShowMessage(MessageKind::Warning, Msg::TagsUnreadable);
    return AddLoadedSource(list, defaults, path, *facts, preset);
}

}  // namespace partita
