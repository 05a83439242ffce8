#pragma once

#include <QDialog>

#include "split/split_row.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class UserMessages;

// The tag texts of the selected rows of the split list (the caller shows the first row's and
// writes the result to every selected row), with the automatic numbering of newly loaded sources
// ("Splitter ID3 Auto Sequence", "Splitter ID3 Auto Track", "Splitter ID3 Auto Track if null"),
// the placeholder help and a load-from-file action. OK stores the three options and cuts every
// text to 1000 characters.
class TagEditorDialog : public QDialog {
    Q_OBJECT

  public:
    TagEditorDialog(const TagTemplates& tags, SettingsStore& settings, UserMessages& messages,
                    QWidget* parent);

    TagTemplates Tags() const;

    // Fills the fields from the tags of an audio file; shows string 125 when they cannot be read.
    bool LoadFromFile(const QString& path);

    void accept() override;

  private:
    void PickFile();
    void SetTags(const TagTemplates& tags);

    SettingsStore& settings_;
    UserMessages& messages_;
    QLineEdit* title_;
    QLineEdit* artist_;
    QLineEdit* album_;
    QLineEdit* year_;
    QLineEdit* comment_;
    QLineEdit* track_;
    QComboBox* genre_;
    QCheckBox* autoSequence_;
    QCheckBox* autoTrack_;
    QCheckBox* autoTrackIfEmpty_;
};

// Texts longer than this are cut when the tag editor closes with OK.
inline constexpr int kMaxTagTextLength = 1000;

}  // namespace partita::gui
