#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/result.h"
#include "join/merge_list.h"

namespace partita {

// One entry of a merge list file: a path and, from the M3U extension lines "#EXTMERGEBEGIN:",
// "#EXTMERGEEND:" and "#EXTSILENCE:" before it, its range and silence (0 = not set).
struct MergeListEntry {
    std::string path;
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
    int silenceSeconds = 0;
};

// The entries of an M3U text. Lines end at CR, LF, CR LF or LF CR; empty lines are skipped and
// each line is trimmed. The three extension prefixes are matched in any letter case and apply
// to the next path line only; every other line starting with "#" is skipped.
std::vector<MergeListEntry> ParseM3u(std::string_view text);

// The "File1".."FileN" paths of a PLS text when its section "playlist" has a "NumberOfEntries"
// of 1 or more (section and key names in any letter case); false when the text is not such a
// list. Empty or missing entries are skipped, and values are cut to 1024 characters.
bool ParsePls(std::string_view text, std::vector<std::string>& paths);

// Reads a list file: PLS when it is one, M3U text otherwise. Text that is not valid UTF-8 is
// read in `legacyCodePage`. Relative paths are taken from the list file's folder. Fails with
// CannotOpenListFile when the file cannot be read.
Status ReadMergeListFile(const std::string& path, std::string_view legacyCodePage,
                         std::vector<MergeListEntry>& entries);

// The M3U text of a list: "#EXTM3U", then per row its extension lines (start and end when set,
// silence when above 0) and its full path; every line ends with CR LF.
std::string FormatM3u(const MergeList& list);

// Asked before a list file replaces an existing file (ConfirmReplaceFile with its path); true
// replaces it.
using ConfirmReplace = std::function<bool(const UserMessage& question)>;

// Saves the list as M3U at a path the user named. An empty list saves nothing (ListEmpty); a
// path that is one of the list's own files is refused (OutputIsSource); an existing file is
// replaced only when `confirmReplace` says yes (else ListFileKept, code Stopped). The file is
// written under a temporary name and replaces the old one only once complete;
// CannotCreateListFile when that fails.
Status SaveMergeList(const MergeList& list, const std::string& path,
                     const ConfirmReplace& confirmReplace);

// Loading a list file into the merge list: the rows added from `firstRow` on, and the files
// that could not be added (or lost their tags), with their messages.
struct MergeListLoad {
    std::size_t firstRow = 0;
    std::size_t added = 0;
    std::vector<MergeAddOutcome> messages;
};

// Appends the entries of a list file after the existing rows with the add step and writes each
// added entry's range and silence into its row; the list is not re-sorted. A list file that is
// not UTF-8 is read in the defaults' legacy code page.
Status LoadMergeList(MergeList& list, const std::string& path, MergeFileInspector& inspector,
                     const MergeListDefaults& defaults, MergeListLoad* load = nullptr);

}  // namespace partita
