#pragma once

#include <QString>

class QWidget;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The splitter's questions. Each returns true when the user agrees; a box closed otherwise (or
// gone with its window) agrees to nothing.

// Remove a group with all its sources and tracks? (string 288, Yes/No)
bool ConfirmRemoveGroup(QWidget* parent);
// Clear the whole split list? (string 290 in the information box with the toggle "Split Clear
// All Dlg"; true without asking once the user has turned it off.)
bool ConfirmClearSplitList(SettingsStore& settings, QWidget* parent);
// The audio file of a CUE sheet cannot be loaded: choose another one? (string 277, OK/Cancel)
bool AskForOtherCueAudio(const QString& audioPath, QWidget* parent);

}  // namespace partita::gui
