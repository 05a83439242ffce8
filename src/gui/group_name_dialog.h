#pragma once

#include <QDialog>

class QLineEdit;

namespace partita::gui {

// The name of a new split group, proposed by the caller and edited by the user. An empty name is
// the caller's to replace (it numbers the group).
class GroupNameDialog : public QDialog {
    Q_OBJECT

  public:
    GroupNameDialog(const QString& proposedName, QWidget* parent);

    // The name typed, trimmed.
    QString Name() const;

  private:
    QLineEdit* name_;
};

}  // namespace partita::gui
