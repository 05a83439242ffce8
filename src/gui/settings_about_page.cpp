#include "settings_about_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "program_info.h"
#include "settings_summary.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

QLabel* SummaryLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QGroupBox* Group(const QString& title, QLabel* content, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return group;
}

}  // namespace

SettingsAboutPage::SettingsAboutPage(const PageContext& context, const QString& settingsLocation,
                                     QWidget* parent, FolderPicker picker)
    : Page(parent),
      store_(context.settings),
      picker_(std::move(picker)),
      joinerSummary_(SummaryLabel(this)),
      splitterSummary_(SummaryLabel(this)) {
    joinerSummary_->setObjectName("JoinerSummary");
    splitterSummary_->setObjectName("SplitterSummary");
    StoreSourceFolderDefaults(store_);

    auto* about = new QGroupBox(Text(UiText::AboutHeading), this);
    auto* aboutLayout = new QHBoxLayout(about);
    auto* icon = new QLabel(about);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto* aboutText = new QVBoxLayout;
    auto* name = new QLabel(WindowTitle(), about);
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    name->setFont(font);
    auto* blurb = new QLabel(Text(UiText::AboutText), about);
    blurb->setWordWrap(true);
    aboutText->addWidget(name);
    aboutText->addWidget(blurb);
    if (!settingsLocation.isEmpty()) {
        auto* where = new QLabel(Text(UiText::SettingsFile).arg(settingsLocation), about);
        where->setWordWrap(true);
        where->setTextInteractionFlags(Qt::TextSelectableByMouse);
        aboutText->addWidget(where);
    }
    aboutLayout->addWidget(icon);
    aboutLayout->addLayout(aboutText, 1);

    auto* summaries = new QHBoxLayout;
    summaries->addWidget(Group(Text(UiText::JoinerOptions), joinerSummary_, this), 1);
    summaries->addWidget(Group(Text(UiText::SplitterOptions), splitterSummary_, this), 1);

    auto* buttons = new QHBoxLayout;
    auto* manual = new QPushButton(Text(UiText::OpenManual), this);
    manual->setObjectName("OpenManual");
    auto* options = new QPushButton(Text(UiText::MoreSettings), this);
    options->setObjectName("MoreSettings");
    buttons->addWidget(manual);
    buttons->addStretch(1);
    buttons->addWidget(options);
    connect(manual, &QPushButton::clicked, this, &SettingsAboutPage::HelpRequested);
    connect(options, &QPushButton::clicked, this, &SettingsAboutPage::OpenOptions);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(summaries);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setFocusPolicy(Qt::StrongFocus);
    RefreshSummaries();
}

void SettingsAboutPage::RefreshSummaries() {
    joinerSummary_->setText(JoinerSummary(store_));
    splitterSummary_->setText(SplitterSummary(store_));
}

bool SettingsAboutPage::OpenOptions() {
    OptionsDialog dialog(store_, this, picker_);
    bool accepted = dialog.exec() == QDialog::Accepted;
    RefreshSummaries();
    return accepted;
}

QString SettingsAboutPage::JoinerSummaryText() const {
    return joinerSummary_->text();
}

QString SettingsAboutPage::SplitterSummaryText() const {
    return splitterSummary_->text();
}

void SettingsAboutPage::showEvent(QShowEvent* event) {
    RefreshSummaries();
    Page::showEvent(event);
}

}  // namespace partita::gui
