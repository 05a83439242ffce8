#pragma once

#include <QMessageBox>

namespace partita::gui {

// A question of a job or a list command: Yes and No, or OK and Cancel where the question asks
// to confirm a stop (the merge's stop question). Escape answers No or Cancel.
class QuestionBox : public QMessageBox {
    Q_OBJECT

  public:
    enum class Buttons { YesNo, OkCancel };

    QuestionBox(const QString& text, Buttons buttons, QWidget* parent);

    // True once the box is closed with Yes or OK.
    bool Confirmed() const { return clickedButton() == yes_; }

  private:
    QAbstractButton* yes_;
};

}  // namespace partita::gui
