#include "split/source_loader.h"

#include <algorithm>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "app/user_message.h"

namespace partita {

SourceRowValues NewSourceValues(SettingsStore& settings, const SourceFacts& facts,
                                const SourcePreset& preset) {
    SourceRowValues values;
    values.title = facts.tags.title;
    values.artist = facts.tags.artist;
    values.album = facts.tags.album;
    values.year = facts.tags.year;
    values.comment = facts.tags.comment;
    values.genre = facts.tags.genre;
    values.trackNumber = facts.tags.track;

    std::uint64_t before = 0, after = 0;
    if (settings::AutoOverlap.Read(settings) != 0) {
        before = static_cast<std::uint64_t>(std::max(0, settings::BackwardOverlap.Read(settings)));
        after = static_cast<std::uint64_t>(std::max(0, settings::ForwardOverlap.Read(settings)));
    }
    values.backOverlap = preset.backOverlap.value_or(FormatTime(before, kTimeList));
    values.fwdOverlap = preset.fwdOverlap.value_or(FormatTime(after, kTimeList));

    if (facts.audioType == audio::AudioType::Mpeg) {
        if (settings::SplitId3AutoSequence.Read(settings) != 0)
            values.title += kAutoSequenceTitle;
        if (settings::SplitId3AutoTrack.Read(settings) != 0) {
            bool onlyIfEmpty = settings::SplitId3AutoTrackIfNull.Read(settings) != 0;
            if (!onlyIfEmpty || values.trackNumber.empty())
                values.trackNumber = "%S";
        }
    }

    values.modeText = preset.modeText.value_or(
        SplitModeText(SplitModeFromNumber(settings::SplitMode.Read(settings))));
    return values;
}

RowId AddLoadedSource(SplitList& list, SettingsStore& settings, const std::string& path,
                      const SourceFacts& facts, const SourcePreset& preset) {
    RowId source = list.AddSource(path, facts.durationMs, NewSourceValues(settings, facts, preset));
    list.InsertSplitPoint(source, 0);
    return source;
}

RowId LoadSource(SplitList& list, SettingsStore& settings, JobHost& host, SourceProbe& probe,
                 const std::string& path, const SourcePreset& preset) {
    UserMessage failure(Msg::CannotLoadFile, path);
    std::optional<SourceFacts> facts = probe.Probe(path, &failure);
    if (!facts) {
        host.ShowMessage(MessageKind::Error, failure);
        return kNoRow;
    }
    if (!facts->tagsRead)
        host.ShowMessage(MessageKind::Warning, Msg::TagsUnreadable);
    return AddLoadedSource(list, settings, path, *facts, preset);
}

}  // namespace partita
