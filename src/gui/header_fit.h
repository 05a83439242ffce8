#pragma once

class QHeaderView;

namespace partita::gui {

// Widens every shown column that is narrower than its header's text (with room for the sort
// mark), so that a list never arranged by its user shows whole column names in either language.
void WidenToHeaderTexts(QHeaderView* header);

}  // namespace partita::gui
