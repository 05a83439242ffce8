#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace partita::gui {

// The file dialogs of the joiner page; each takes a typed path and opens in `folder`.

// Audio files to add to the merge list: several existing files, the supported types first.
// Empty when cancelled.
QStringList PickMergeSourceFiles(QWidget* parent, const QString& folder);

// A merge list to load (PLS or M3U); an existing file, or empty when cancelled.
QString PickMergeListToOpen(QWidget* parent, const QString& folder);

// Where to save the merge list (M3U; ".m3u" is added to a name without an extension). An
// existing file is not questioned here. Empty when cancelled.
QString PickMergeListToSave(QWidget* parent, const QString& folder);

}  // namespace partita::gui
