#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QRadioButton;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// Where the CUE sheets of a group's sources go: each next to its audio file (option 0) or into
// a folder (option 1). It starts from "Save CUE Option" and "Save CUE Target Folder" (section
// "MP3 Splitter"; the folder defaults to the page's output folder) and stores both on OK.
class SaveGroupsDialog : public QDialog {
    Q_OBJECT

  public:
    SaveGroupsDialog(SettingsStore& settings, const QString& outputFolder, QWidget* parent);

    // 0: beside each audio file; 1: into Folder().
    int Option() const;
    QString Folder() const;

    void accept() override;

  private:
    void Browse();
    void UpdateEnabled();

    SettingsStore& settings_;
    QRadioButton* beside_;
    QRadioButton* intoFolder_;
    QLineEdit* folder_;
    QWidget* browse_;
};

// The folder the sheets of `group` go to: empty (beside each audio file) for option 0; for
// option 1 the chosen folder's sub-folder named after the group, created here, or the chosen
// folder itself when it cannot be created.
std::string GroupCueFolder(int option, const std::string& folder, const std::string& group);

}  // namespace partita::gui
