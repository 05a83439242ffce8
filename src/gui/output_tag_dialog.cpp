#include "output_tag_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/setting_values.h"
#include "dialog_text.h"
#include "join_dialog_text.h"
#include "ok_cancel_buttons.h"
#include "owned_dialog.h"
#include "tags/genre_list.h"
#include "tags/tag_reader.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

// A year field takes four characters, as the ID3v1 tag holds them.
constexpr int kYearLength = 4;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

OutputTagDialog::OutputTagDialog(const TagInfo& tags, bool chapterPerInput, SettingsStore& settings,
                                 UserMessages& messages, QWidget* parent)
    : QDialog(parent), settings_(settings), messages_(messages) {
    setWindowTitle(Text(JoinDialogText::OutputTagTitle));

    writeV1_ = new QCheckBox(Text(JoinDialogText::WriteId3v1), this);
    writeV1_->setObjectName(QStringLiteral("WriteId3v1"));
    writeV1_->setChecked(tags.writeId3v1);
    writeV2_ = new QCheckBox(Text(JoinDialogText::WriteId3v2), this);
    writeV2_->setObjectName(QStringLiteral("WriteId3v2"));
    writeV2_->setChecked(tags.writeId3v2);

    const JoinDialogText labels[kFieldCount] = {
        JoinDialogText::TagTitle, JoinDialogText::TagArtist,  JoinDialogText::TagAlbum,
        JoinDialogText::TagYear,  JoinDialogText::TagComment, JoinDialogText::TagTrack};
    const QString names[kFieldCount] = {QStringLiteral("Title"),   QStringLiteral("Artist"),
                                        QStringLiteral("Album"),   QStringLiteral("Year"),
                                        QStringLiteral("Comment"), QStringLiteral("Track")};
    const std::string* texts[kFieldCount] = {&tags.title, &tags.artist,  &tags.album,
                                             &tags.year,  &tags.comment, &tags.track};
    QLabel* fieldLabels[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) {
        fields_[i] = new QLineEdit(FromUtf8(*texts[i]), this);
        fields_[i]->setObjectName(names[i]);
        fields_[i]->setAccessibleName(AccessibleText(labels[i]));
        fieldLabels[i] = new QLabel(Text(labels[i]), this);
        fieldLabels[i]->setBuddy(fields_[i]);
    }
    fields_[kYear]->setMaxLength(kYearLength);
    fields_[kYear]->setText(FromUtf8(tags.year).left(kYearLength));
    const int shortWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000/0000")) + 16;
    fields_[kYear]->setFixedWidth(shortWidth);
    fields_[kTrack]->setFixedWidth(shortWidth);

    genre_ = new QComboBox(this);
    genre_->setObjectName(QStringLiteral("Genre"));
    genre_->setAccessibleName(AccessibleText(JoinDialogText::TagGenre));
    // Typed names are kept too: a file's tag may carry a genre outside the list, and the ID3v2
    // tag writes the name as text.
    genre_->setEditable(true);
    genre_->setInsertPolicy(QComboBox::NoInsert);
    genre_->lineEdit()->setAccessibleName(genre_->accessibleName());
    genre_->addItem(QString());
    for (int i = 0; i < kGenreCount; ++i)
        genre_->addItem(FromUtf8(GenreName(i)));
    genre_->setCurrentText(FromUtf8(tags.genre));
    auto* genreLabel = new QLabel(Text(JoinDialogText::TagGenre), this);
    genreLabel->setBuddy(genre_);

    saveTag_ = new QCheckBox(Text(JoinDialogText::KeepTag), this);
    saveTag_->setObjectName(QStringLiteral("KeepTag"));
    saveTag_->setChecked(settings::JoinSaveId3Tag.Read(settings) != 0);
    connect(saveTag_, &QCheckBox::toggled, this,
            [this](bool on) { settings::JoinSaveId3Tag.Write(settings_, on ? 1 : 0); });
    chapters_ = new QCheckBox(Text(JoinDialogText::ChapterPerInput), this);
    chapters_->setObjectName(QStringLiteral("ChapterPerInput"));
    chapters_->setChecked(chapterPerInput);

    clear_ = new QPushButton(Text(JoinDialogText::ClearTags), this);
    clear_->setObjectName(QStringLiteral("Clear"));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, &OutputTagDialog::Clear);
    load_ = new QPushButton(Text(JoinDialogText::LoadTags), this);
    load_->setObjectName(QStringLiteral("Load"));
    load_->setAutoDefault(false);
    connect(load_, &QPushButton::clicked, this, &OutputTagDialog::LoadFromFile);

    OkCancelButtons buttons = MakeOkCancelButtons(this, [this] { StoreTexts(); });
    connect(writeV1_, &QCheckBox::toggled, this, &OutputTagDialog::UpdateEnabled);
    connect(writeV2_, &QCheckBox::toggled, this, &OutputTagDialog::UpdateEnabled);

    auto* ticks = new QHBoxLayout;
    ticks->addWidget(writeV1_);
    ticks->addWidget(writeV2_);
    ticks->addStretch();

    auto* grid = new QGridLayout;
    int row = 0;
    for (int field : {kTitle, kArtist, kAlbum}) {
        grid->addWidget(fieldLabels[field], row, 0);
        grid->addWidget(fields_[field], row++, 1, 1, 5);
    }
    grid->addWidget(fieldLabels[kYear], row, 0);
    grid->addWidget(fields_[kYear], row, 1);
    grid->addWidget(fieldLabels[kTrack], row, 2, Qt::AlignRight);
    grid->addWidget(fields_[kTrack], row, 3);
    grid->addWidget(genreLabel, row, 4, Qt::AlignRight);
    grid->addWidget(genre_, row++, 5);
    grid->addWidget(fieldLabels[kComment], row, 0);
    grid->addWidget(fields_[kComment], row++, 1, 1, 5);
    grid->setColumnStretch(5, 1);
    grid->setColumnMinimumWidth(5, fontMetrics().horizontalAdvance(QStringLiteral("M")) * 14);

    auto* actions = new QHBoxLayout;
    actions->addWidget(clear_);
    actions->addWidget(load_);
    actions->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ticks);
    layout->addLayout(grid);
    layout->addWidget(saveTag_);
    layout->addWidget(chapters_);
    layout->addLayout(actions);
    layout->addWidget(buttons.box);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("M")) * 36);

    // The tab order follows what the user fills in, top to bottom, then the actions.
    QWidget* order[] = {
        writeV1_,       writeV2_,        fields_[kTitle], fields_[kArtist],  fields_[kAlbum],
        fields_[kYear], fields_[kTrack], genre_,          fields_[kComment], saveTag_,
        chapters_,      clear_,          load_,           buttons.ok,        buttons.cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    UpdateEnabled();
}

TagInfo OutputTagDialog::Tags() const {
    auto text = [this](int field) { return fields_[field]->text().toStdString(); };
    TagInfo tags;
    tags.writeId3v1 = writeV1_->isChecked();
    tags.writeId3v2 = writeV2_->isChecked();
    tags.title = text(kTitle);
    tags.artist = text(kArtist);
    tags.album = text(kAlbum);
    tags.year = text(kYear);
    tags.comment = text(kComment);
    tags.track = text(kTrack);
    tags.genre = genre_->currentText().trimmed().toStdString();
    return tags;
}

bool OutputTagDialog::ChapterPerInput() const {
    return chapters_->isChecked();
}

void OutputTagDialog::UpdateEnabled() {
    const bool writing = writeV1_->isChecked() || writeV2_->isChecked();
    for (QLineEdit* field : fields_)
        field->setEnabled(writing);
    genre_->setEnabled(writing);
    saveTag_->setEnabled(writing);
    clear_->setEnabled(writing);
    load_->setEnabled(writing);
    // Chapters live in the ID3v2 tag.
    chapters_->setEnabled(writeV2_->isChecked());
}

void OutputTagDialog::Clear() {
    for (QLineEdit* field : fields_)
        field->clear();
    genre_->setCurrentIndex(0);
    genre_->setEditText(QString());
}

void OutputTagDialog::LoadFromFile() {
    const QString folder = FromUtf8(settings::MergeId3FileLastFolder.Read(settings_));
    auto* dialog = new QFileDialog(this, MessageText(Msg::LoadTagsFromFileTitle), folder);
    dialog->setObjectName(QStringLiteral("TagFileDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({Text(DialogText::Mp3Files), Text(DialogText::AllFiles)});
    const QString path = RunOwnedDialog(
        dialog,
        [](QFileDialog& done, bool accepted) {
            return accepted && !done.selectedFiles().isEmpty() ? done.selectedFiles().first()
                                                               : QString();
        },
        QString());
    if (path.isEmpty())
        return;
    settings::MergeId3FileLastFolder.Write(
        settings_, QDir::toNativeSeparators(QFileInfo(path).absolutePath()).toStdString());

    TagTexts read;
    if (!ReadTags(std::filesystem::path(path.toStdU16String()), settings_, read)) {
        messages_.Show(this, UserMessages::Icon::Error,
                       UserMessage(Msg::CannotLoadFile, path.toStdString()));
        return;
    }
    fields_[kTitle]->setText(FromUtf8(read.title));
    fields_[kArtist]->setText(FromUtf8(read.artist));
    fields_[kAlbum]->setText(FromUtf8(read.album));
    fields_[kYear]->setText(FromUtf8(read.year));
    fields_[kComment]->setText(FromUtf8(read.comment));
    fields_[kTrack]->setText(FromUtf8(read.track));
    genre_->setCurrentText(FromUtf8(read.genre));
}

void OutputTagDialog::StoreTexts() {
    const TagInfo tags = Tags();
    using namespace settings;
    JoinTagTitle.Write(settings_, tags.title);
    JoinTagYear.Write(settings_, tags.year);
    JoinTagAlbum.Write(settings_, tags.album);
    JoinTagArtist.Write(settings_, tags.artist);
    JoinTagComment.Write(settings_, tags.comment);
    JoinTagTrack.Write(settings_, tags.track);
    JoinTagGenre.Write(settings_, tags.genre);
}

}  // namespace partita::gui
