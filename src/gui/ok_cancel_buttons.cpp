#include "ok_cancel_buttons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "dialog_text.h"

namespace partita::gui {

OkCancelButtons MakeOkCancelButtons(QDialog* dialog, std::function<void()> beforeAccept) {
    auto* box = new QDialogButtonBox(dialog);
    QPushButton* ok = box->addButton(Text(DialogText::Ok), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Ok"));
    ok->setDefault(true);
    QPushButton* cancel = box->addButton(Text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    QObject::connect(ok, &QPushButton::clicked, dialog,
                     [dialog, beforeAccept = std::move(beforeAccept)] {
                         beforeAccept();
                         dialog->accept();
                     });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {box, ok, cancel};
}

}  // namespace partita::gui
