#pragma once

#include <QDialog>
#include <array>

#include "tags/tag_info.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class UserMessages;

// The tag of a merged file: the two write ticks, the tick that keeps the texts for the next
// start ("Save ID3 TAG", stored at each click), the seven texts (the year at most 4 characters,
// the genre from the genre list or typed), a clear button, a button that loads the texts from an
// MP3 file, and the tick that writes one chapter per input. The texts are off while neither tag
// is written. OK stores the seven texts in section "Joiner MP3 ID3"; the caller takes the record
// and the chapter tick and stores the two write switches.
class OutputTagDialog : public QDialog {
    Q_OBJECT

  public:
    OutputTagDialog(const TagInfo& tags, bool chapterPerInput, SettingsStore& settings,
                    UserMessages& messages, QWidget* parent);

    TagInfo Tags() const;
    bool ChapterPerInput() const;

  private:
    enum Field { kTitle, kArtist, kAlbum, kYear, kComment, kTrack, kFieldCount };

    void UpdateEnabled();
    void Clear();
    void LoadFromFile();
    void StoreTexts();

    SettingsStore& settings_;
    UserMessages& messages_;
    QCheckBox* writeV1_ = nullptr;
    QCheckBox* writeV2_ = nullptr;
    QCheckBox* saveTag_ = nullptr;
    QCheckBox* chapters_ = nullptr;
    std::array<QLineEdit*, kFieldCount> fields_{};
    QComboBox* genre_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* load_ = nullptr;
};

}  // namespace partita::gui
