#include "placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui_text.h"

namespace partita::gui {

PlaceholderPage::PlaceholderPage(const QString& heading, const QString& description,
                                 CommandAction takes, QWidget* parent)
    : Page(parent), takes_(takes), sourceLabel_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(heading, this);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    auto* text = new QLabel(description, this);
    text->setWordWrap(true);
    sourceLabel_->setWordWrap(true);
    sourceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sourceLabel_->hide();
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(sourceLabel_);
    layout->addStretch(1);
    setFocusPolicy(Qt::StrongFocus);
}

bool PlaceholderPage::ApplyCommand(CommandAction action, const std::string& source) {
    if (action != takes_ || source.empty())
        return false;
    commandSource_ = source;
    QString line = Text(UiText::CommandLineSource).arg(ToQString(source));
    sourceLabel_->setText(line);
    sourceLabel_->show();
    SetStatusText(line);
    return true;
}

}  // namespace partita::gui
