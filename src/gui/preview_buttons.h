#pragma once

#include <QWidget>
#include <array>

#include "preview_player.h"

class QAbstractButton;
class QLabel;

namespace partita::gui {

// The row of preview buttons: play, pause, track preview, the two seconds before and after the
// position, fast forward with its speed step, and the four plays at the selected track's edges.
// Each shows its tooltip; the row shows what the player's controls say.
class PreviewButtons : public QWidget {
    Q_OBJECT

  public:
    explicit PreviewButtons(QWidget* parent = nullptr);

    // The player's controls, all off when `usable` is false (no output, or a job runs).
    void Show(const PreviewControls& controls, bool usable);
    QAbstractButton* Button(PreviewButton button) const;

  signals:
    void pressed(partita::gui::PreviewButton button);

  private:
    static constexpr std::size_t kCount =
        static_cast<std::size_t>(PreviewButton::AfterTrackEnd) + 1;
    std::array<QAbstractButton*, kCount> buttons_{};
    QLabel* speed_ = nullptr;
};

}  // namespace partita::gui
