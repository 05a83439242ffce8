#include "tag_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "dialog_buttons.h"
#include "dialog_text.h"
#include "naming_rule_help.h"
#include "split_dialog_text.h"
#include "tags/genre_list.h"
#include "tags/tag_reader.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

QLineEdit* TextEdit(const std::string& text, const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(360);
    return edit;
}

std::string Cut(const QString& text) {
    return text.left(kMaxTagTextLength).toStdString();
}

}  // namespace

TagEditorDialog::TagEditorDialog(const TagTemplates& tags, SettingsStore& settings,
                                 UserMessages& messages, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      messages_(messages),
      title_(TextEdit(tags.title, "Title", this)),
      artist_(TextEdit(tags.artist, "Artist", this)),
      album_(TextEdit(tags.album, "Album", this)),
      year_(TextEdit(tags.year, "Year", this)),
      comment_(TextEdit(tags.comment, "Comment", this)),
      track_(TextEdit(tags.trackNumber, "Track", this)),
      genre_(new QComboBox(this)),
      autoSequence_(new QCheckBox(Text(SplitDialogText::AutoSequence), this)),
      autoTrack_(new QCheckBox(Text(SplitDialogText::AutoTrack), this)),
      autoTrackIfEmpty_(new QCheckBox(Text(SplitDialogText::AutoTrackIfEmpty), this)) {
    setWindowTitle(Text(SplitDialogText::TagEditorTitle));
    // A genre outside the ID3v1 list (read from another kind of file) stays as typed.
    genre_->setEditable(true);
    genre_->setObjectName(QStringLiteral("Genre"));
    genre_->lineEdit()->setAccessibleName(AccessibleText(SplitDialogText::TagGenre));
    genre_->addItem(QString());
    for (int number = 0; number < kGenreCount; ++number)
        genre_->addItem(QString::fromStdString(GenreName(number)));
    genre_->setInsertPolicy(QComboBox::NoInsert);
    genre_->setCurrentText(QString::fromStdString(tags.genre));

    auto* form = new QFormLayout;
    form->addRow(Text(SplitDialogText::TagTitle), title_);
    form->addRow(Text(SplitDialogText::TagArtist), artist_);
    form->addRow(Text(SplitDialogText::TagAlbum), album_);
    form->addRow(Text(SplitDialogText::TagYear), year_);
    form->addRow(Text(SplitDialogText::TagTrack), track_);
    form->addRow(Text(SplitDialogText::TagGenre), genre_);
    form->addRow(Text(SplitDialogText::TagComment), comment_);

    autoSequence_->setObjectName(QStringLiteral("AutoSequence"));
    autoSequence_->setChecked(settings::SplitId3AutoSequence.Read(settings) != 0);
    autoTrack_->setObjectName(QStringLiteral("AutoTrack"));
    autoTrack_->setChecked(settings::SplitId3AutoTrack.Read(settings) != 0);
    autoTrackIfEmpty_->setObjectName(QStringLiteral("AutoTrackIfEmpty"));
    autoTrackIfEmpty_->setChecked(settings::SplitId3AutoTrackIfNull.Read(settings) != 0);
    autoTrackIfEmpty_->setEnabled(autoTrack_->isChecked());
    connect(autoTrack_, &QCheckBox::toggled, autoTrackIfEmpty_, &QCheckBox::setEnabled);
    auto* numbering = new QGroupBox(Text(SplitDialogText::AutoNumbering), this);
    auto* numberingLayout = new QVBoxLayout(numbering);
    numberingLayout->addWidget(autoSequence_);
    numberingLayout->addWidget(autoTrack_);
    auto* ifEmptyRow = new QHBoxLayout;
    ifEmptyRow->addSpacing(20);
    ifEmptyRow->addWidget(autoTrackIfEmpty_);
    numberingLayout->addLayout(ifEmptyRow);

    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* help = new QPushButton(Text(SplitDialogText::Wildcards), this);
    help->setObjectName(QStringLiteral("Wildcards"));
    help->setAutoDefault(false);
    buttons->addButton(help, QDialogButtonBox::HelpRole);
    auto* load = new QPushButton(Text(SplitDialogText::LoadFromFile), this);
    load->setObjectName(QStringLiteral("LoadFromFile"));
    load->setAutoDefault(false);
    buttons->addButton(load, QDialogButtonBox::ActionRole);
    // The help role would close the dialog through helpRequested; it only opens the list.
    disconnect(buttons, &QDialogButtonBox::helpRequested, nullptr, nullptr);
    connect(help, &QPushButton::clicked, this,
            [this] { NamingRuleHelp::Show(NamingRuleHelp::Topic::TagFields, this); });
    connect(load, &QPushButton::clicked, this, &TagEditorDialog::PickFile);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(numbering);
    layout->addWidget(buttons);
}

TagTemplates TagEditorDialog::Tags() const {
    TagTemplates tags;
    tags.title = Cut(title_->text());
    tags.artist = Cut(artist_->text());
    tags.album = Cut(album_->text());
    tags.year = Cut(year_->text());
    tags.comment = Cut(comment_->text());
    tags.trackNumber = Cut(track_->text());
    tags.genre = Cut(genre_->currentText().trimmed());
    return tags;
}

bool TagEditorDialog::LoadFromFile(const QString& path) {
    TagTexts read;
    if (!ReadTags(path.toStdString(), settings_, read)) {
        messages_.Show(this, UserMessages::Icon::Error,
                       UserMessage(Msg::CannotLoadFile, path.toStdString()));
        return false;
    }
    TagTemplates tags;
    tags.title = read.title;
    tags.artist = read.artist;
    tags.album = read.album;
    tags.year = read.year;
    tags.comment = read.comment;
    tags.trackNumber = read.track;
    tags.genre = read.genre;
    SetTags(tags);
    return true;
}

void TagEditorDialog::accept() {
    settings::SplitId3AutoSequence.Write(settings_, autoSequence_->isChecked() ? 1 : 0);
    settings::SplitId3AutoTrack.Write(settings_, autoTrack_->isChecked() ? 1 : 0);
    settings::SplitId3AutoTrackIfNull.Write(settings_, autoTrackIfEmpty_->isChecked() ? 1 : 0);
    QDialog::accept();
}

void TagEditorDialog::PickFile() {
    QString folder = QString::fromStdString(settings::MergeId3FileLastFolder.Read(settings_));
    QString path = QFileDialog::getOpenFileName(this, MessageText(Msg::LoadTagsFromFileTitle),
                                                folder, Text(DialogText::Mp3Files));
    if (path.isEmpty())
        return;
    settings::MergeId3FileLastFolder.Write(settings_, QFileInfo(path).absolutePath().toStdString());
    LoadFromFile(path);
}

void TagEditorDialog::SetTags(const TagTemplates& tags) {
    title_->setText(QString::fromStdString(tags.title));
    artist_->setText(QString::fromStdString(tags.artist));
    album_->setText(QString::fromStdString(tags.album));
    year_->setText(QString::fromStdString(tags.year));
    comment_->setText(QString::fromStdString(tags.comment));
    track_->setText(QString::fromStdString(tags.trackNumber));
    genre_->setCurrentText(QString::fromStdString(tags.genre));
}

}  // namespace partita::gui
