#include "cue/cue_list.h"

#include <algorithm>
#include <limits>

#include "app/time_text.h"
#include "app/user_message.h"
#include "cue/cue_time.h"
#include "cue/cue_writer.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

std::int32_t OverlapMs(std::uint64_t ms) {
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(ms, std::numeric_limits<std::int32_t>::max()));
}

std::uint64_t OverlapFromSheet(std::int32_t ms) {
    return ms > 0 ? static_cast<std::uint64_t>(ms) : 0;
}

// The fields a sheet record gives a list row where its present bit is set.
void SetRowFields(SplitList& list, RowId row, const CueTrackRecord& r) {
    using R = CueTrackRecord;
    TagTemplates tags = list.Row(row).tags;
    const struct {
        R::Present bit;
        std::string* tag;
        const std::string* text;
    } texts[] = {
        {R::kTitle, &tags.title, &r.title},       {R::kPerformer, &tags.artist, &r.performer},
        {R::kAlbum, &tags.album, &r.album},       {R::kGenre, &tags.genre, &r.genre},
        {R::kYear, &tags.year, &r.year},          {R::kTrack, &tags.trackNumber, &r.track},
        {R::kComment, &tags.comment, &r.comment},
    };
    for (const auto& t : texts) {
        if (r.Has(t.bit))
            *t.tag = *t.text;
    }
    list.SetTags(row, std::move(tags));
    Overlaps overlaps = list.Row(row).overlaps;
    if (r.Has(R::kBwOverlap))
        overlaps.backwardMs = OverlapFromSheet(r.bwOverlapMs);
    if (r.Has(R::kFwOverlap))
        overlaps.forwardMs = OverlapFromSheet(r.fwOverlapMs);
    list.SetOverlaps(row, overlaps);
}

// The record of a list row's fields.
void FillRecord(const SplitList& list, RowId row, CueTrackRecord& r) {
    const SplitRow& info = list.Row(row);
    r.title = DropAutoSequenceTitle(info.tags.title);
    r.performer = info.tags.artist;
    r.album = info.tags.album;
    r.year = info.tags.year;
    r.comment = info.tags.comment;
    r.track = info.tags.trackNumber;
    r.genre = info.tags.genre;
    r.bwOverlapMs = OverlapMs(info.overlaps.backwardMs);
    r.fwOverlapMs = OverlapMs(info.overlaps.forwardMs);
    r.selected = info.checked ? 1 : 0;
}

// Two folders are one when they name the same place (a trailing separator or a "." aside).
bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    fs::path ca = fs::weakly_canonical(a.empty() ? fs::path(".") : a, ec1);
    fs::path cb = fs::weakly_canonical(b.empty() ? fs::path(".") : b, ec2);
    if (ec1 || ec2)
        return a.lexically_normal() == b.lexically_normal();
    auto strip = [](fs::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/')
            s.pop_back();
        return s;
    };
    return strip(ca) == strip(cb);
}

// A group's name as one folder name: separators and the dot names cannot make it another
// folder.
std::string FolderNameOf(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\\', '_');
    if (name.empty() || name == "." || name == "..")
        name = "_";
    return name;
}

// The time of the CD frame nearest to `ms` whose cut begins where a cut at `ms` does: an INDEX
// holds whole frames of 1/75 s, and the one below `ms` may fall nearer the frame boundary
// before the cut's.
std::uint64_t IndexTimeOfCut(std::uint64_t ms, const CutPosition& cutAt) {
    const std::optional<std::uint64_t> target = cutAt(ms);
    const std::uint64_t frame = ms * kCueFramesPerSecond / 1000;
    std::uint64_t best = CueFramesToMs((ms * kCueFramesPerSecond + 500) / 1000);
    if (!target)
        return best;
    bool found = false;
    for (std::uint64_t f = frame > 2 ? frame - 2 : 0; f <= frame + 2; ++f) {
        const std::uint64_t t = CueFramesToMs(f);
        const std::uint64_t distance = t > ms ? t - ms : ms - t;
        const std::uint64_t bestDistance = best > ms ? best - ms : ms - best;
        if (cutAt(t) == target && (!found || distance < bestDistance)) {
            best = t;
            found = true;
        }
    }
    return best;
}

}  // namespace

std::string DropAutoSequenceTitle(std::string title) {
    // Either language's pattern: a list made in one language may be saved in the other.
    for (std::string_view pattern : {kAutoSequenceTitle, kAutoSequenceTitleEnglish}) {
        if (std::string_view(title).ends_with(pattern)) {
            title.resize(title.size() - pattern.size());
            break;
        }
    }
    return title;
}

void ImportCueTracks(SplitList& list, RowId source, const std::vector<CueTrackRecord>& tracks,
                     PregapMode pregaps, JobHost* host) {
    list.InsertSplitPoint(source, 0);
    RowId current = list.TrackCount(source) > 0 ? list.Children(source).front() : kNoRow;
    bool first = true;
    for (const CueTrackRecord& track : tracks) {
        const std::uint64_t end = ParseTime(track.endText, kTimeList);
        // A track whose time cannot be read, or one past the end, is left out with a word:
        // its fields never go to the track before it.
        bool leftOut = track.indexUnreadable;
        if (!leftOut && (end != 0 || !first)) {
            int before = list.TrackCount(source);
            int index = list.InsertSplitPoint(source, end);
            leftOut = index < 0 || list.TrackCount(source) == before;
            if (!leftOut)
                current = list.Children(source)[static_cast<std::size_t>(index)];
        }
        first = false;
        if (leftOut) {
            if (host)
                host->ShowMessage(MessageKind::Warning, {Msg::CueTrackLeftOut, track.indexLine});
            continue;
        }
        if (current != kNoRow) {
            SetRowFields(list, current, track);
            list.SetChecked(current, track.selected != 0);
        }
        // INDEX 00 before INDEX 01: the pregap becomes a track of its own, left out unless
        // asked otherwise, or stays the end of the track before.
        const std::uint64_t start = ParseTime(track.startText, kTimeList);
        if (track.startText != track.endText && start != 0 && pregaps != PregapMode::Previous) {
            int before = list.TrackCount(source);
            int index = list.InsertSplitPoint(source, start);
            if (index >= 0 && list.TrackCount(source) > before) {
                RowId gap = list.Children(source)[static_cast<std::size_t>(index)];
                list.SetChecked(gap, pregaps == PregapMode::Separate);
                TagTemplates tags = list.Row(gap).tags;
                tags.title.clear();
                tags.artist.clear();
                list.SetTags(gap, std::move(tags));
            }
        }
    }
}

RowId AddCueSheetSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                        SourceProbe& probe, const std::string& path,
                        const AudioFileChooser& chooseAudio, bool* cancelled) {
    if (cancelled)
        *cancelled = false;
    CueSheet cue(defaults.codePage);
    if (!cue.Load(path)) {
        host.ShowMessage(MessageKind::Error, cue.Error().message);
        host.ShowMessage(MessageKind::Error, {Msg::CannotLoadFile, path});
        return kNoRow;
    }

    using R = CueTrackRecord;
    const CueTrackRecord& header = cue.Header();
    SourcePreset preset;
    if (header.Has(R::kBwOverlap))
        preset.backOverlapMs = OverlapFromSheet(header.bwOverlapMs);
    if (header.Has(R::kFwOverlap))
        preset.fwdOverlapMs = OverlapFromSheet(header.fwOverlapMs);
    if (header.Has(R::kSplitMode))
        preset.mode = SplitModeFromNumber(header.splitMode);

    // One source per FILE of the sheet, with the tracks below that FILE.
    RowId first = kNoRow;
    const auto& paths = cue.AudioPaths();
    for (std::size_t k = 0; k < paths.size(); ++k) {
        std::vector<CueTrackRecord> tracks;
        for (const CueTrackRecord& track : cue.Tracks()) {
            if (track.fileIndex == static_cast<int>(k))
                tracks.push_back(track);
        }
        if (tracks.empty())
            continue;
        std::string audio = paths[k].string();
        std::optional<SourceFacts> facts;
        for (;;) {
            ProbeFailure failure{UserMessage(Msg::CannotLoadFile, audio)};
            facts =
                ProbeWithHost(probe, host, audio, preset.mode.value_or(defaults.mode), &failure);
            if (facts)
                break;
            if (failure.cancelled) {
                if (cancelled)
                    *cancelled = true;
                break;
            }
            UserMessage question(Msg::CueAudioNotLoaded, audio);
            if (!chooseAudio) {
                host.ShowMessage(MessageKind::Error, question);
                break;
            }
            if (!host.AskYesNo(question))
                break;
            std::optional<std::string> chosen = chooseAudio(audio);
            if (!chosen)
                break;
            audio = *chosen;
        }
        if (!facts)
            break;
        if (!facts->tagsRead)
            host.ShowMessage(MessageKind::Warning, Msg::TagsUnreadable);

        // The sheet's header wins over the audio file's own tags, key by key.
        TagTexts& tags = facts->tags;
        const struct {
            R::Present bit;
            const std::string* value;
            std::string* tag;
        } fields[] = {
            {R::kTitle, &header.title, &tags.title},
            {R::kPerformer, &header.performer, &tags.artist},
            {R::kAlbum, &header.album, &tags.album},
            {R::kYear, &header.year, &tags.year},
            {R::kComment, &header.comment, &tags.comment},
            {R::kTrack, &header.track, &tags.track},
            {R::kGenre, &header.genre, &tags.genre},
        };
        for (const auto& f : fields) {
            if (header.Has(f.bit))
                *f.tag = *f.value;
        }
        // A sheet of other programs names its album by the header's TITLE.
        if (header.Has(R::kTitle) && !header.Has(R::kAlbum))
            tags.album = header.title;

        RowId source = AddLoadedSource(list, defaults, audio, *facts, preset);
        ImportCueTracks(list, source, tracks, defaults.pregaps, &host);
        if (first == kNoRow)
            first = source;
    }
    if (first != kNoRow)
        list.SetCurrent(first);
    return first;
}

CueSheetContent CueContentForSource(const SplitList& list, RowId source,
                                    const std::string& sheetPath, const CutPosition& cutAt) {
    CueSheetContent content;
    FillRecord(list, source, content.header);
    content.header.splitMode = static_cast<int>(list.Row(source).mode);
    for (RowId track : list.Children(source)) {
        CueTrackRecord record;
        FillRecord(list, track, record);
        record.splitMode = content.header.splitMode;
        TrackTimes times = list.Row(track).times;
        record.startText =
            FormatTime(cutAt ? IndexTimeOfCut(times.start, cutAt) : times.start, kTimeList);
        record.endText = FormatTime(times.end, kTimeList);
        content.tracks.push_back(std::move(record));
    }
    const std::string audio = list.SourcePath(source);
    const fs::path sheetFolder = fs::path(sheetPath).parent_path();
    const fs::path audioFolder = fs::path(audio).parent_path();
    // A sheet elsewhere names the audio file by its full path: a relative one would be read
    // from the sheet's folder.
    std::error_code ec;
    fs::path absolute = fs::absolute(audio, ec).lexically_normal();
    content.fileValue = SameFolder(sheetFolder, audioFolder) ? fs::path(audio).filename().string()
                        : ec                                 ? audio
                                                             : absolute.string();
    return content;
}

bool SaveCueForSource(const SplitList& list, RowId source, const std::string& sheetPath,
                      JobHost& host, const CutPosition& cutAt) {
    std::error_code ec;
    if (fs::exists(sheetPath, ec) && !host.AskYesNo({Msg::ConfirmReplaceFile, sheetPath}))
        return false;
    CueSheetContent content = CueContentForSource(list, source, sheetPath, cutAt);
    Status written = WriteCueSheet(sheetPath, content.fileValue, content.header, content.tracks);
    if (!written.ok()) {
        host.ShowMessage(MessageKind::Error, written.message);
        return false;
    }
    return true;
}

decltype(SplitJobOptions::writeCueSheet) CueExporter(JobHost& host) {
    return [&host](const SplitList& list, RowId source, const std::string& sheetPath,
                   const CutPosition& cutAt) {
        return SaveCueForSource(list, source, sheetPath, host, cutAt);
    };
}

std::string SaveCueForItem(
    const SplitList& list, RowId item, const std::string& folder, bool askName, JobHost& host,
    const GroupCueTarget& groupTarget,
    const std::function<std::optional<std::string>(const std::string&)>& chooseSheet) {
    if (item == kNoRow)
        item = list.Current();
    if (item == kNoRow || !list.Contains(item))
        return {};

    if (list.Kind(item) == SplitNodeKind::Group) {
        std::string target;
        if (groupTarget.toFolder) {
            fs::path sub = fs::path(groupTarget.folder) / FolderNameOf(list.Row(item).name);
            std::error_code ec;
            fs::create_directories(sub, ec);
            target = fs::is_directory(sub, ec) ? sub.string() : groupTarget.folder;
        }
        std::string last;
        for (RowId source : list.Children(item)) {
            std::string written = SaveCueForItem(list, source, target, false, host);
            if (!written.empty())
                last = written;
        }
        return last;
    }

    RowId source = list.SourceOf(item);
    const fs::path audio = list.SourcePath(source);
    fs::path sheet = (folder.empty() ? audio.parent_path() : fs::path(folder)) /
                     (audio.stem().string() + ".cue");
    if (askName) {
        if (!chooseSheet)
            return {};
        std::optional<std::string> chosen = chooseSheet(sheet.string());
        if (!chosen)
            return {};
        sheet = *chosen;
    }
    return SaveCueForSource(list, source, sheet.string(), host) ? sheet.string() : std::string();
}

}  // namespace partita
