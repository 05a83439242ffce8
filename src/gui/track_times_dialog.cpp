#include "track_times_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "split_dialog_text.h"
#include "split_time_edit.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {

TrackTimesDialog::TrackTimesDialog(int trackNumber, int trackCount, TrackTimes times,
                                   UserMessages& messages, QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      original_(times),
      start_(new SplitTimeEdit(this)),
      end_(new SplitTimeEdit(this)) {
    setWindowTitle(Text(SplitDialogText::TrackTimesTitle));
    auto* caption = new QLabel(MessageText(Msg::TrackNumberLabel, trackNumber, trackCount), this);
    start_->setObjectName(QStringLiteral("Start"));
    start_->SetMs(times.start);
    end_->setObjectName(QStringLiteral("End"));
    end_->SetMs(times.end);

    auto* form = new QFormLayout;
    form->addRow(Text(SplitDialogText::TrackStart), start_);
    form->addRow(Text(SplitDialogText::TrackEnd), end_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(300);
}

TrackTimes TrackTimesDialog::Times() const {
    return {start_->Ms().value_or(original_.start), end_->Ms().value_or(original_.end)};
}

void TrackTimesDialog::accept() {
    if (!SplitTimeEdit::AllTimes({start_, end_}, messages_, this))
        return;
    QDialog::accept();
}

}  // namespace partita::gui
