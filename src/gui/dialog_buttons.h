#pragma once

#include <QDialogButtonBox>
#include <QString>

class QDialog;

namespace partita::gui {

// The OK and Cancel row of a dialog (named "Ok" and "Cancel"), tied to its accept and reject;
// `okText` replaces OK's label where a dialog names its action.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, const QString& okText = {});

}  // namespace partita::gui
