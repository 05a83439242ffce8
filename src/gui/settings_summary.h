#pragma once

#include <QString>

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The two summaries of the settings/about pane, read from the store each time they are made:
// JoinerOptionsSummary for the joiner and SplitterOptionsSummary for the splitter, with "是"/"否"
// for the switches, the last opened folder named in place of a folder when the folder mode is 1,
// and "选定"/"全部" for the track-number counting.
QString JoinerSummary(SettingsStore& store);
QString SplitterSummary(SettingsStore& store);

// Stores the source-folder values the summaries show where they are missing: the two folder
// modes with their default 1 and the two fixed folders empty.
void StoreSourceFolderDefaults(SettingsStore& store);

}  // namespace partita::gui
