#include "cue/cue_list.h"

#include <algorithm>
#include <limits>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "app/trim.h"
#include "app/user_message.h"
#include "cue/cue_writer.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

std::int32_t OverlapMs(const std::string& text) {
    std::uint64_t ms = ParseTime(Trim(text, kSpacesAndTabs), kTimeList);
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(ms, std::numeric_limits<std::int32_t>::max()));
}

std::string OverlapText(std::int32_t ms) {
    return FormatTime(ms > 0 ? static_cast<std::uint64_t>(ms) : 0, kTimeList);
}

// The fields a sheet record gives a list row where its present bit is set.
void SetRowFields(SplitList& list, RowId row, const CueTrackRecord& r) {
    using R = CueTrackRecord;
    const struct {
        R::Present bit;
        int column;
        const std::string* text;
    } texts[] = {
        {R::kTitle, kColTitle, &r.title},       {R::kPerformer, kColArtist, &r.performer},
        {R::kAlbum, kColAlbum, &r.album},       {R::kGenre, kColGenre, &r.genre},
        {R::kYear, kColYear, &r.year},          {R::kTrack, kColTrackNumber, &r.track},
        {R::kComment, kColComment, &r.comment},
    };
    for (const auto& t : texts) {
        if (r.Has(t.bit))
            list.SetText(row, t.column, *t.text);
    }
    if (r.Has(R::kBwOverlap))
        list.SetText(row, kColBackOverlap, OverlapText(r.bwOverlapMs));
    if (r.Has(R::kFwOverlap))
        list.SetText(row, kColFwdOverlap, OverlapText(r.fwOverlapMs));
}

// The record of a list row's fields.
void FillRecord(const SplitList& list, RowId row, CueTrackRecord& r) {
    r.title = DropAutoSequenceTitle(list.Text(row, kColTitle));
    r.performer = list.Text(row, kColArtist);
    r.album = list.Text(row, kColAlbum);
    r.year = list.Text(row, kColYear);
    r.comment = list.Text(row, kColComment);
    r.track = list.Text(row, kColTrackNumber);
    r.genre = list.Text(row, kColGenre);
    r.bwOverlapMs = OverlapMs(list.Text(row, kColBackOverlap));
    r.fwOverlapMs = OverlapMs(list.Text(row, kColFwdOverlap));
    r.selected = list.Row(row).selected ? 1 : 0;
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

}  // namespace

std::string DropAutoSequenceTitle(std::string title) {
    if (title.size() >= kAutoSequenceTitle.size() &&
        std::string_view(title).substr(title.size() - kAutoSequenceTitle.size()) ==
            kAutoSequenceTitle) {
        title.resize(title.size() - kAutoSequenceTitle.size());
    }
    return title;
}

void ImportCueTracks(SplitList& list, RowId source, const CueSheet& cue) {
    list.InsertSplitPoint(source, 0);
    RowId current = list.TrackCount(source) > 0 ? list.Children(source).front() : kNoRow;
    for (const CueTrackRecord& track : cue.Tracks()) {
        const std::uint64_t end = ParseTime(track.endText, kTimeList);
        if (end != 0) {
            int index = list.InsertSplitPoint(source, end);
            current = index < 0 ? kNoRow : list.Children(source)[static_cast<std::size_t>(index)];
        }
        if (current != kNoRow) {
            SetRowFields(list, current, track);
            list.SetSelected(current, track.selected != 0);
        }
        // INDEX 00 before INDEX 01: the pregap becomes a track of its own, left out.
        const std::uint64_t start = ParseTime(track.startText, kTimeList);
        if (track.startText != track.endText && start != 0) {
            int before = list.TrackCount(source);
            int index = list.InsertSplitPoint(source, start);
            if (index >= 0 && list.TrackCount(source) > before) {
                RowId gap = list.Children(source)[static_cast<std::size_t>(index)];
                list.SetSelected(gap, false);
                list.SetText(gap, kColTitle, "");
                list.SetText(gap, kColArtist, "");
            }
        }
    }
}

RowId AddCueSheetSource(SplitList& list, SettingsStore& settings, JobHost& host, SourceProbe& probe,
                        const std::string& path, const AudioFileChooser& chooseAudio) {
    CueSheet cue(settings::LegacyCodePage.Read(settings));
    if (!cue.Load(path)) {
        host.ShowMessage(MessageKind::Error, cue.Error().message);
        host.ShowMessage(MessageKind::Error, {Msg::CannotLoadFile, path});
        return kNoRow;
    }

    std::string audio = cue.AudioPath().string();
    std::optional<SourceFacts> facts;
    for (;;) {
        UserMessage failure(Msg::CannotLoadFile, audio);
        facts = probe.Probe(audio, &failure);
        if (facts)
            break;
        UserMessage question(Msg::CueAudioNotLoaded, audio);
        if (!chooseAudio) {
            host.ShowMessage(MessageKind::Error, question);
            return kNoRow;
        }
        if (!host.AskYesNo(question))
            return kNoRow;
        std::optional<std::string> chosen = chooseAudio(audio);
        if (!chosen)
            return kNoRow;
        audio = *chosen;
    }
    if (!facts->tagsRead)
        host.ShowMessage(MessageKind::Warning, Msg::TagsUnreadable);

    // The sheet's header wins over the audio file's own tags, key by key.
    using R = CueTrackRecord;
    const CueTrackRecord& header = cue.Header();
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
    SourcePreset preset;
    if (header.Has(R::kBwOverlap))
        preset.backOverlap = OverlapText(header.bwOverlapMs);
    if (header.Has(R::kFwOverlap))
        preset.fwdOverlap = OverlapText(header.fwOverlapMs);
    if (header.Has(R::kSplitMode)) {
        preset.modeText = SplitModeText(SplitModeFromNumber(header.splitMode));
    }

    RowId source = AddLoadedSource(list, settings, audio, *facts, preset);
    ImportCueTracks(list, source, cue);
    list.SetCurrent(source);
    return source;
}

CueSheetContent CueContentForSource(const SplitList& list, RowId source,
                                    const std::string& sheetPath) {
    CueSheetContent content;
    FillRecord(list, source, content.header);
    content.header.splitMode = static_cast<int>(ParseSplitModeText(list.Text(source, kColMode)));
    for (RowId track : list.Children(source)) {
        CueTrackRecord record;
        FillRecord(list, track, record);
        record.splitMode = content.header.splitMode;
        TrackTimes times = list.GetTrackTimes(track, false);
        record.startText = FormatTime(times.start, kTimeList);
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
                      JobHost& host) {
    std::error_code ec;
    if (fs::exists(sheetPath, ec) && !host.AskYesNo({Msg::ConfirmReplaceFile, sheetPath}))
        return false;
    CueSheetContent content = CueContentForSource(list, source, sheetPath);
    Status written = WriteCueSheet(sheetPath, content.fileValue, content.header, content.tracks);
    if (!written.ok()) {
        host.ShowMessage(MessageKind::Error, written.message);
        return false;
    }
    return true;
}

std::function<bool(const SplitList&, RowId, const std::string&)> CueExporter(JobHost& host) {
    return [&host](const SplitList& list, RowId source, const std::string& sheetPath) {
        return SaveCueForSource(list, source, sheetPath, host);
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
            fs::path sub = fs::path(groupTarget.folder) / FolderNameOf(list.Text(item, kColTrack));
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
