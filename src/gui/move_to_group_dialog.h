#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace partita::gui {

// Where a source file goes: the list of every group's name with its own group chosen first. The
// caller moves it to the group whose name equals the choice exactly.
class MoveToGroupDialog : public QDialog {
    Q_OBJECT

  public:
    // `currentGroup` indexes `groupNames`.
    MoveToGroupDialog(const QString& fileName, const QStringList& groupNames, int currentGroup,
                      QWidget* parent);

    QString GroupName() const;
    // The index of the chosen group in the names given; -1 when there is none.
    int GroupIndex() const;

  private:
    QComboBox* groups_;
};

}  // namespace partita::gui
