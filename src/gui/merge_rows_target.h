#pragma once

namespace partita::gui {

// The rows a joiner dialog's answer is for: none (the settings were only stored, or the dialog
// was cancelled), the selected rows, or every row of the list.
enum class MergeRowsTarget { None, Selected, All };

}  // namespace partita::gui
