#include "preview_buttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace partita::gui {
namespace {

// The buttons without a worded label: a standard picture, or a sign that needs no language.
struct Face {
    PreviewButton button;
    QStyle::StandardPixmap icon;
    const char* sign;
};

constexpr std::array kFaces{
    Face{PreviewButton::Pause, QStyle::SP_MediaPause, ""},
    Face{PreviewButton::PlayBefore, QStyle::SP_CustomBase, "\u25C2 2s"},
    Face{PreviewButton::PlayAfter, QStyle::SP_CustomBase, "2s \u25B8"},
    Face{PreviewButton::FastForward, QStyle::SP_MediaSeekForward, ""},
    Face{PreviewButton::BeforeTrackStart, QStyle::SP_CustomBase, "\u25C2["},
    Face{PreviewButton::AfterTrackStart, QStyle::SP_CustomBase, "[\u25B8"},
    Face{PreviewButton::BeforeTrackEnd, QStyle::SP_CustomBase, "\u25C2]"},
    Face{PreviewButton::AfterTrackEnd, QStyle::SP_CustomBase, "]\u25B8"},
};

}  // namespace

PreviewButtons::PreviewButtons(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < kCount; ++i) {
        const auto id = static_cast<PreviewButton>(i);
        QAbstractButton* button = nullptr;
        if (id == PreviewButton::Play || id == PreviewButton::PreviewTrack) {
            button = new QPushButton(this);
        } else {
            auto* tool = new QToolButton(this);
            tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button = tool;
        }
        button->setToolTip(PreviewToolTip(id));
        button->setAccessibleName(PreviewToolTip(id));
        button->setEnabled(false);
        connect(button, &QAbstractButton::clicked, this, [this, id] { emit pressed(id); });
        buttons_[i] = button;
    }
    for (const Face& face : kFaces) {
        auto* tool = static_cast<QToolButton*>(Button(face.button));
        if (face.icon != QStyle::SP_CustomBase) {
            tool->setIcon(style()->standardIcon(face.icon));
            tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
        } else {
            tool->setText(QString::fromUtf8(face.sign));
        }
    }
    // The pause and fast-forward buttons show their state pressed.
    Button(PreviewButton::Pause)->setCheckable(true);
    Button(PreviewButton::FastForward)->setCheckable(true);

    speed_ = new QLabel(this);
    speed_->setMinimumWidth(speed_->fontMetrics().horizontalAdvance(QStringLiteral("0")) + 4);
    for (PreviewButton id :
         {PreviewButton::Play, PreviewButton::Pause, PreviewButton::PreviewTrack,
          PreviewButton::PlayBefore, PreviewButton::PlayAfter, PreviewButton::FastForward})
        row->addWidget(Button(id));
    row->addWidget(speed_);
    row->addSpacing(12);
    for (PreviewButton id : {PreviewButton::BeforeTrackStart, PreviewButton::AfterTrackStart,
                             PreviewButton::BeforeTrackEnd, PreviewButton::AfterTrackEnd})
        row->addWidget(Button(id));
    row->addStretch(1);
}

QAbstractButton* PreviewButtons::Button(PreviewButton button) const {
    return buttons_[static_cast<std::size_t>(button)];
}

void PreviewButtons::Show(const PreviewControls& controls, bool usable) {
    const bool enabled[kCount] = {controls.play,       controls.pause,      controls.previewTrack,
                                  controls.playBefore, controls.playAfter,  controls.fastForward,
                                  controls.trackEdges, controls.trackEdges, controls.trackEdges,
                                  controls.trackEdges};
    for (std::size_t i = 0; i < kCount; ++i)
        buttons_[i]->setEnabled(usable && enabled[i]);
    Button(PreviewButton::Play)->setText(controls.playLabel);
    Button(PreviewButton::PreviewTrack)->setText(controls.previewLabel);
    Button(PreviewButton::Pause)->setChecked(controls.pausePressed);
    Button(PreviewButton::FastForward)->setChecked(controls.fastForwardPressed);
    speed_->setText(controls.speedLabel);
}

}  // namespace partita::gui
