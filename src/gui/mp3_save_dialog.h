#pragma once

#include <QString>

class QWidget;

namespace partita::gui {

// The save dialog of an MP3 output: a title, the folder it opens in and the name it proposes (a
// whole path works too). A name typed without an extension gets ".mp3"; an existing file is not
// questioned here, the job asks its own question. Empty when cancelled.
QString PickMp3SaveFile(QWidget* parent, const QString& title, const QString& folder,
                        const QString& name);

}  // namespace partita::gui
