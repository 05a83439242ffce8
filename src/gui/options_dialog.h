#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "app/setting_values.h"
#include "ui_text.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace partita::gui {

// Asks for a folder: the picker's title and the folder it starts in; an empty answer means
// the user cancelled.
using FolderPicker =
    std::function<QString(QWidget* parent, const QString& title, const QString& start)>;
QString PickFolderWithDialog(QWidget* parent, const QString& title, const QString& start);

// The options dialog of the settings/about pane: the joiner's and the splitter's source folder
// and after-job switches. On open it reads every value with -1 standing for "not stored",
// applies the table's default for a missing one and stores it at once; OK stores them all,
// Cancel nothing more. Each control's object name is the name of the value it edits.
class OptionsDialog : public QDialog {
    Q_OBJECT

  public:
    OptionsDialog(SettingsStore& store, QWidget* parent,
                  FolderPicker picker = PickFolderWithDialog);

    void accept() override;

  private:
    // A folder-mode radio pair with its folder edit and browse button.
    struct FolderChoice {
        const IntSetting* mode;
        const StringSetting* folder;
        Msg pickerTitle;
        QRadioButton* fixed = nullptr;
        QRadioButton* last = nullptr;
        QLineEdit* edit = nullptr;
        QPushButton* browse = nullptr;
    };
    struct Switch {
        const IntSetting* setting;
        QCheckBox* box = nullptr;
    };

    QGroupBox* MakeGroup(const QString& title, FolderChoice& folder,
                         const std::vector<std::pair<const IntSetting*, UiText>>& switches);
    void AddFolderChoice(QVBoxLayout* layout, FolderChoice& folder);
    void Browse(FolderChoice& folder);
    int ReadWithDefault(const IntSetting& setting);

    SettingsStore& store_;
    FolderPicker picker_;
    FolderChoice joinerFolder_;
    FolderChoice splitterFolder_;
    std::vector<Switch> switches_;
};

}  // namespace partita::gui
