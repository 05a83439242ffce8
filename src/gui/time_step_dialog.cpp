#include "time_step_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "split_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

// One hour: a larger step would jump past most sources at once.
constexpr int kLargestStepMs = 3'600'000;

QSpinBox* StepBox(int value, const char* name, SplitDialogText label, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    // The box reads its name to the edit inside it, which a user reaches by Tab.
    box->findChild<QLineEdit*>()->setAccessibleName(AccessibleText(label));
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, kLargestStepMs);
    box->setValue(std::clamp(value, 1, kLargestStepMs));
    box->setMinimumWidth(120);
    return box;
}

}  // namespace

TimeStepDialog::TimeStepDialog(int stepMs, int pageMs, QWidget* parent)
    : QDialog(parent),
      step_(StepBox(stepMs, "Step", SplitDialogText::TimeStep, this)),
      page_(StepBox(pageMs, "Page", SplitDialogText::PageSize, this)) {
    setWindowTitle(MessageText(Msg::TimeStepTitle));
    auto* help = new QLabel(MessageText(Msg::TimeStepHelp), this);
    help->setWordWrap(true);
    help->setMinimumWidth(380);
    auto* form = new QFormLayout;
    form->addRow(Text(SplitDialogText::TimeStep), step_);
    form->addRow(Text(SplitDialogText::PageSize), page_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(help);
    layout->addWidget(OkCancelButtons(this));
}

int TimeStepDialog::StepMs() const {
    return step_->value();
}

int TimeStepDialog::PageMs() const {
    return page_->value();
}

}  // namespace partita::gui
