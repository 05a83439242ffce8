#pragma once

#include <string>

namespace partita::gui {

// The manual page partita-studio(1) in roff, written from the table the program parses its
// options with.
std::string DesktopManPage();

}  // namespace partita::gui
