#pragma once

#include <QIcon>
#include <QString>

namespace partita::gui {

// "Partita Studio".
QString ProgramName();
// The version of the build, such as "0.1.0".
QString ProgramVersion();
// The main window's title: "Partita Studio v0.1.0".
QString WindowTitle();
// The program's icon, drawn in code: a waveform cut by a vertical split line.
QIcon ProgramIcon();

}  // namespace partita::gui
