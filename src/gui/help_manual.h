#pragma once

#include <QString>
#include <QUrl>

#include "app/string_table.h"

namespace partita::gui {

// The start page of the bundled HTML manual for a language: "manual/<language>/index.html"
// under the install folder when one is set, else beside the program (the build tree) or in
// the shared data folder of an installed program ("../share/partita-studio/manual"). The other
// language's manual stands in when one is missing. When none exists, the path where the manual
// was expected first, so a message can name it.
QString FindManual(const QString& installPath, const QString& programFolder, Language language);

// The manual's pages that F1 opens for the pane in front.
enum class ManualPage { Splitter, Joiner, Settings };

// The address of a pane's page beside the start page `indexPath`; the start page itself when
// that page is missing (a manual of an older layout still opens).
QUrl ManualPageUrl(const QString& indexPath, ManualPage page);

}  // namespace partita::gui
