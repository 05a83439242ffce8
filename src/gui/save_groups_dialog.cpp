#include "save_groups_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "app/setting_values.h"
#include "dialog_buttons.h"
#include "options_dialog.h"
#include "split_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {

SaveGroupsDialog::SaveGroupsDialog(SettingsStore& settings, const QString& outputFolder,
                                   QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      beside_(new QRadioButton(Text(SplitDialogText::BesideAudio), this)),
      intoFolder_(new QRadioButton(Text(SplitDialogText::IntoFolder), this)),
      folder_(new QLineEdit(this)) {
    setWindowTitle(Text(SplitDialogText::SaveGroupsTitle));
    beside_->setObjectName(QStringLiteral("BesideAudio"));
    intoFolder_->setObjectName(QStringLiteral("IntoFolder"));
    (settings::SaveCueOption.Read(settings) == 1 ? intoFolder_ : beside_)->setChecked(true);
    folder_->setObjectName(QStringLiteral("Folder"));
    folder_->setAccessibleName(Text(SplitDialogText::TargetFolder));
    folder_->setMinimumWidth(360);
    folder_->setText(QString::fromStdString(
        settings::SaveCueTargetFolder.Read(settings, outputFolder.toStdString())));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("Browse"));
    browse->setAccessibleName(Text(SplitDialogText::BrowseFolder));
    browse->setToolTip(Text(SplitDialogText::BrowseFolder));
    browse->setAutoDefault(false);
    browse_ = browse;

    auto* folderRow = new QHBoxLayout;
    folderRow->addSpacing(20);
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(beside_);
    layout->addWidget(intoFolder_);
    layout->addLayout(folderRow);
    layout->addWidget(OkCancelButtons(this));

    connect(intoFolder_, &QRadioButton::toggled, this, &SaveGroupsDialog::UpdateEnabled);
    connect(browse, &QPushButton::clicked, this, &SaveGroupsDialog::Browse);
    UpdateEnabled();
}

int SaveGroupsDialog::Option() const {
    return intoFolder_->isChecked() ? 1 : 0;
}

QString SaveGroupsDialog::Folder() const {
    return folder_->text().trimmed();
}

void SaveGroupsDialog::accept() {
    settings::SaveCueOption.Write(settings_, Option());
    settings::SaveCueTargetFolder.Write(settings_, Folder().toStdString());
    QDialog::accept();
}

void SaveGroupsDialog::Browse() {
    QString chosen =
        PickFolderWithDialog(this, MessageText(Msg::ChooseSplitOutputFolder), Folder());
    if (!chosen.isEmpty())
        folder_->setText(chosen);
}

void SaveGroupsDialog::UpdateEnabled() {
    folder_->setEnabled(intoFolder_->isChecked());
    browse_->setEnabled(intoFolder_->isChecked());
}

std::string GroupCueFolder(int option, const std::string& folder, const std::string& group) {
    if (option != 1 || folder.empty())
        return option == 1 ? folder : std::string();
    std::filesystem::path target = std::filesystem::path(folder) / group;
    std::error_code error;
    std::filesystem::create_directory(target, error);
    if (!std::filesystem::is_directory(target, error))
        return folder;
    return target.string();
}

}  // namespace partita::gui
