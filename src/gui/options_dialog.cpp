#include "options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui_text.h"

namespace partita::gui {
namespace {

QString NameOf(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QString PickFolderWithDialog(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start);
}

OptionsDialog::OptionsDialog(SettingsStore& store, QWidget* parent, FolderPicker picker)
    : QDialog(parent),
      store_(store),
      picker_(std::move(picker)),
      joinerFolder_{&settings::MergeSourceFolderMode, &settings::MergeSourceFolder,
                    Msg::ChooseMergeSourceFolder},
      splitterFolder_{&settings::SplitSourceFolderMode, &settings::SplitSourceFolder,
                      Msg::ChooseSplitSourceFolder} {
    using namespace settings;
    setWindowTitle(MessageText(Msg::OptionsDialogTitle));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeGroup(Text(UiText::JoinerOptions), joinerFolder_,
                                {{&JoinConfirmOverwrite, UiText::ConfirmOverwrite},
                                 {&JoinShowSuccess, UiText::ShowSuccess},
                                 {&JoinAutoOpenFolder, UiText::OpenFolderWhenDone},
                                 {&JoinPlayResult, UiText::PlayMergedFile},
                                 {&StartNewMerge, UiText::StartNewMerge}}));
    layout->addWidget(MakeGroup(Text(UiText::SplitterOptions), splitterFolder_,
                                {{&SplitOutputFolderConfirmation, UiText::ConfirmOutputFolder},
                                 {&SplitConfirmOverwrite, UiText::ConfirmOverwrite},
                                 {&SplitCountGeneratedTrackNumber, UiText::CountGeneratedOnly},
                                 {&SplitShowSuccess, UiText::ShowSuccess},
                                 {&SplitAutoOpenFolder, UiText::OpenFolderWhenDone},
                                 {&ExportCue, UiText::ExportCue},
                                 {&StartNewSplit, UiText::StartNewSplit},
                                 {&WriteVbrHeader, UiText::WriteVbrHeader},
                                 {&SampleAccurate, UiText::SampleAccurate},
                                 {&SplitAtChapters, UiText::SplitAtChapters}}));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);
    layout->addWidget(buttons);

    // The values, read with -1 as "not stored"; a missing one gets its default, stored now.
    for (FolderChoice* folder : {&joinerFolder_, &splitterFolder_}) {
        bool fixed = ReadWithDefault(*folder->mode) == 0;
        (fixed ? folder->fixed : folder->last)->setChecked(true);
        folder->edit->setEnabled(fixed);
        folder->browse->setEnabled(fixed);
        if (!store_.Contains(folder->folder->section, folder->folder->name))
            folder->folder->Write(store_, std::string_view{});
        folder->edit->setText(ToQString(folder->folder->Read(store_)));
    }
    for (Switch& item : switches_)
        item.box->setChecked(ReadWithDefault(*item.setting) != 0);
}

QGroupBox* OptionsDialog::MakeGroup(
    const QString& title, FolderChoice& folder,
    const std::vector<std::pair<const IntSetting*, UiText>>& switches) {
    auto* group = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(group);
    AddFolderChoice(layout, folder);
    for (const auto& [setting, label] : switches) {
        auto* box = new QCheckBox(Text(label), group);
        box->setObjectName(NameOf(setting->name));
        layout->addWidget(box);
        switches_.push_back({setting, box});
    }
    return group;
}

void OptionsDialog::AddFolderChoice(QVBoxLayout* layout, FolderChoice& folder) {
    QWidget* group = layout->parentWidget();
    QString modeName = NameOf(folder.mode->name);
    folder.fixed = new QRadioButton(Text(UiText::AlwaysUseFolder), group);
    folder.fixed->setObjectName(modeName + "/0");
    folder.last = new QRadioButton(Text(UiText::RememberLastFolder), group);
    folder.last->setObjectName(modeName + "/1");
    folder.edit = new QLineEdit(group);
    folder.edit->setObjectName(NameOf(folder.folder->name));
    folder.browse = new QPushButton(Text(UiText::Browse), group);
    folder.browse->setObjectName(NameOf(folder.folder->name) + "/Browse");

    auto* row = new QHBoxLayout;
    row->addWidget(folder.fixed);
    row->addWidget(folder.edit, 1);
    row->addWidget(folder.browse);
    layout->addLayout(row);
    layout->addWidget(folder.last);

    connect(folder.fixed, &QRadioButton::toggled, this, [&folder](bool fixed) {
        folder.edit->setEnabled(fixed);
        folder.browse->setEnabled(fixed);
    });
    connect(folder.browse, &QPushButton::clicked, this, [this, &folder] { Browse(folder); });
}

void OptionsDialog::Browse(FolderChoice& folder) {
    QString chosen = picker_(this, MessageText(folder.pickerTitle), folder.edit->text());
    if (chosen.isEmpty())
        return;
    folder.edit->setText(chosen);
    folder.fixed->setChecked(true);
}

int OptionsDialog::ReadWithDefault(const IntSetting& setting) {
    int value = setting.ReadRaw(store_, -1);
    if (value == -1) {
        value = setting.defaultValue;
        setting.Write(store_, value);
    }
    return value;
}

void OptionsDialog::accept() {
    for (FolderChoice* folder : {&joinerFolder_, &splitterFolder_}) {
        folder->mode->Write(store_, folder->fixed->isChecked() ? 0 : 1);
        folder->folder->Write(store_, folder->edit->text().trimmed().toStdString());
    }
    for (const Switch& item : switches_)
        item.setting->Write(store_, item.box->isChecked() ? 1 : 0);
    QDialog::accept();
}

}  // namespace partita::gui
