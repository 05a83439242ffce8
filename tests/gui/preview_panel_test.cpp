#include "preview_panel.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "app/memory_settings_store.h"
#include "app/string_table.h"
#include "gui_test_support.h"
#include "manual_sink.h"
#include "preview_buttons.h"
#include "scripted_user.h"
#include "time_entry_box.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using partita::test::ToneSegment;

constexpr int kRate = 8000;
constexpr std::uint64_t kLengthMs = 10000;

class PreviewPanelTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        path = (dir / "count.wav").string();
        samples = WriteCountingWav(path, kLengthMs, kRate);
    }

    // A shown panel whose output is a manual sink (none when `withOutput` is false).
    void MakePanel(bool withOutput = true) {
        std::unique_ptr<ManualSink> owned;
        if (withOutput) {
            owned = std::make_unique<ManualSink>();
            sink = owned.get();
        }
        panel = std::make_unique<PreviewPanel>(std::move(owned), settings);
        panel->resize(760, 300);
        panel->show();
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
        panel->ShowSource(path, kLengthMs, false);
        timeBox = panel->findChild<TimeEntryBox*>();
        slider = panel->findChild<QSlider*>("positionSlider");
        ASSERT_TRUE(timeBox && slider);
    }

    std::vector<std::int16_t> Source(std::uint64_t fromMs, std::uint64_t toMs) const {
        return {samples.begin() + fromMs * kRate / 1000, samples.begin() + toMs * kRate / 1000};
    }
    // Whether the time box and the slider both show `ms` within `withinMs`.
    bool Shows(std::uint64_t ms, int withinMs = 2000) {
        return QTest::qWaitFor(
            [&] {
                return timeBox->text() == TimeBoxText(ms) &&
                       slider->value() == SliderValueForTime(ms, kLengthMs);
            },
            withinMs);
    }
    QAbstractButton* Button(PreviewButton id) {
        return panel->findChild<PreviewButtons*>()->Button(id);
    }

    std::vector<std::int16_t> samples;
    std::string path;
    MemorySettingsStore settings;
    ManualSink* sink = nullptr;
    std::unique_ptr<PreviewPanel> panel;
    TimeEntryBox* timeBox = nullptr;
    QSlider* slider = nullptr;
};

// The position keys step within [0, duration] in the slider and the time box; a typed time
// moves the position and Enter asks for a split point there.
TEST_F(PreviewPanelTest, PositionKeysAndTypedTimes) {
    MakePanel();
    panel->SetStepSizes(100, 1000);
    QSignalSpy positions(panel.get(), &PreviewPanel::positionChanged);
    slider->setFocus();
    panel->SetPosition(600);
    QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_EQ(panel->Position(), 0u);
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(panel->Position(), 0u);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(panel->Position(), kLengthMs);
    EXPECT_TRUE(Shows(kLengthMs, 0));
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(panel->Position(), kLengthMs);
    QTest::keyClick(slider, Qt::Key_Home);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(panel->Position(), 100u);
    EXPECT_EQ(positions.last().at(0).toULongLong(), 100u);

    timeBox->setFocus();
    QTest::keyClick(timeBox, Qt::Key_PageUp);
    QTest::keyClick(timeBox, Qt::Key_Up);
    EXPECT_EQ(panel->Position(), 1200u);
    EXPECT_EQ(timeBox->text(), QStringLiteral("000:00:01.200"));

    QSignalSpy inserts(panel.get(), &PreviewPanel::insertPointRequested);
    timeBox->setCursorPosition(0);
    QTest::keyClicks(timeBox, QStringLiteral("0000007234"));
    EXPECT_EQ(panel->Position(), 7234u);
    EXPECT_EQ(slider->value(), SliderValueForTime(7234, kLengthMs));
    QTest::keyClick(timeBox, Qt::Key_Return);
    EXPECT_EQ(inserts.size(), 1);
    // A time past the end is not taken and gives way to the position when the box is left.
    timeBox->setCursorPosition(4);
    QTest::keyClicks(timeBox, QStringLiteral("59"));
    EXPECT_EQ(panel->Position(), 7234u);
    slider->setFocus();
    EXPECT_EQ(timeBox->text(), TimeBoxText(7234));
}

// The keys reach the player from anywhere in the panel: what plays is shown where it was heard,
// Space pauses and resumes (also from the time box, which takes the focus while paused), F3 hears
// the two seconds before the position, and a track preview plays the selected span with its overlap
// or asks for a selection.
TEST_F(PreviewPanelTest, KeysPlayAndTheControlsFollowWhatIsHeard) {
    MakePanel();
    panel->SetPosition(1000);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_F2);
    EXPECT_EQ(Button(PreviewButton::Play)->text(), MessageText(Msg::StopLabel));
    EXPECT_FALSE(Button(PreviewButton::PlayBefore)->isEnabled());
    // What was heard, not what the sink has read ahead; one 50 ms tick on an idle machine.
    sink->Consume(500);
    EXPECT_TRUE(Shows(1500));

    QTest::keyClick(slider, Qt::Key_Space);
    EXPECT_TRUE(Button(PreviewButton::Pause)->isChecked());
    EXPECT_TRUE(timeBox->hasFocus());
    sink->Consume(1000);
    QTest::qWait(3 * PreviewPlayer::kTickMs);
    EXPECT_EQ(panel->Position(), 1500u);
    QTest::keyClick(timeBox, Qt::Key_Space);
    EXPECT_FALSE(Button(PreviewButton::Pause)->isChecked());
    sink->Consume(500);
    EXPECT_TRUE(Shows(2000));
    EXPECT_EQ(sink->Heard(), Source(1000, 2000));
    QTest::keyClick(timeBox, Qt::Key_F2);
    EXPECT_EQ(panel->Position(), 1000u);

    sink->ForgetHeard();
    panel->SetPosition(1500);
    QTest::keyClick(timeBox, Qt::Key_F3);
    sink->Consume(3000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sink->Playing(); }, 2000));
    EXPECT_EQ(sink->Heard(), Source(0, 1500));
    EXPECT_TRUE(Shows(1500, 0));

    QSignalSpy needed(panel.get(), &PreviewPanel::selectionNeeded);
    QTest::keyClick(timeBox, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(needed.size(), 1);
    QTest::mouseClick(Button(PreviewButton::AfterTrackEnd), Qt::LeftButton);
    EXPECT_EQ(needed.size(), 2);
    sink->ForgetHeard();
    panel->SetTracks({{0, 2000}, {2000, 4000}, {4000, kLengthMs}});
    panel->SetSelectedTrack(1, TrackSpan{2000, 6000});
    QTest::keyClick(timeBox, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(Button(PreviewButton::PreviewTrack)->text(), MessageText(Msg::StopLabel));
    sink->Consume(5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sink->Playing(); }, 2000));
    EXPECT_EQ(sink->Heard(), Source(2000, 6000));
    EXPECT_EQ(needed.size(), 2);
}

// A dragged marker asks for the boundary it stands for: a boundary two tracks share is the
// later track's start (what Ctrl+Home on it does), the last one the last track's end, and one
// before a gap the earlier track's end.
TEST_F(PreviewPanelTest, MarkerDragsBecomeTrackEdges) {
    MakePanel();
    auto* view = panel->findChild<WaveformView*>();
    QSignalSpy edges(panel.get(), &PreviewPanel::trackEdgeMoveRequested);
    auto drag = [&](std::uint64_t fromMs, std::uint64_t toMs) {
        const int y = view->height() / 2;
        QPoint from(int(std::lround(view->XForTime(double(fromMs)))), y);
        QPoint to(int(std::lround(view->XForTime(double(toMs)))), y);
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        EXPECT_EQ(edges.size(), 1);
        return edges.isEmpty() ? QList<QVariant>{} : edges.takeFirst();
    };
    panel->SetTracks({{0, 3000}, {3000, 6000}, {7000, kLengthMs}});
    QList<QVariant> edge = drag(3000, 4000);
    EXPECT_EQ(edge.at(0).toInt(), 1);
    EXPECT_TRUE(edge.at(1).toBool());
    EXPECT_NEAR(double(edge.at(2).toULongLong()), 4000, 20);
    edge = drag(6000, 5000);
    EXPECT_EQ(edge.at(0).toInt(), 1);
    EXPECT_FALSE(edge.at(1).toBool());
    edge = drag(kLengthMs, 9000);
    EXPECT_EQ(edge.at(0).toInt(), 2);
    EXPECT_FALSE(edge.at(1).toBool());
}

// Without an output the preview controls and keys are off and the note shows, while the position
// still moves; a running job stops the play and turns the preview off until it ends.
TEST_F(PreviewPanelTest, PreviewOffWithoutOutputOrDuringAJob) {
    MakePanel(false);
    auto* note = panel->findChild<QLabel*>("noOutputNote");
    EXPECT_TRUE(note->isVisible());
    for (QAction* action : panel->Actions())
        EXPECT_FALSE(action->isEnabled());
    EXPECT_FALSE(Button(PreviewButton::Play)->isEnabled());
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(panel->Position(), kLengthMs);

    MakePanel();
    EXPECT_FALSE(panel->findChild<QLabel*>("noOutputNote")->isVisible());
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_F2);
    EXPECT_TRUE(sink->Playing());
    panel->SetBusy(true);
    EXPECT_FALSE(sink->Playing());
    EXPECT_FALSE(Button(PreviewButton::Play)->isEnabled());
    QTest::keyClick(slider, Qt::Key_F2);
    EXPECT_FALSE(sink->Playing());
    panel->SetBusy(false);
    EXPECT_TRUE(Button(PreviewButton::Play)->isEnabled());
    panel->SetPreviewAvailable(false);
    EXPECT_TRUE(panel->findChild<QLabel*>("noOutputNote")->isVisible());
    EXPECT_FALSE(Button(PreviewButton::Play)->isEnabled());
}

// The envelope of the shown source arrives by itself: its silences are quiet columns. Pictures
// of the panel with a split-marked source in both languages.
TEST_F(PreviewPanelTest, ShowsTheEnvelopeAndSavesScreenshots) {
    std::vector<ToneSegment> segments{
        {220, 4000, 0.8}, {0, 1500}, {330, 5000, 0.5}, {0, 1500}, {440, 4000, 0.9}};
    const std::string song = (dir / "song.wav").string();
    partita::test::WriteWav(song, partita::test::SynthesizePcm(segments, kRate, 2), kRate, 2);
    const QColor wave(48, 112, 184);
    const QString folder = QString::fromStdString(ScreenshotFolder());
    for (Language language : {Language::English, Language::Chinese}) {
        SetCurrentLanguage(language);
        MakePanel();
        panel->ShowSource(song, 16000, false);
        auto* view = panel->findChild<WaveformView*>();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->BlockCount() >= 800; }, 30000));
        const QImage image = view->grab().toImage();
        auto waveRows = [&](std::uint64_t ms) {
            const int x = int(view->XForTime(double(ms)));
            int rows = 0;
            for (int y = 0; y < image.height(); ++y)
                rows += image.pixelColor(x, y) == wave;
            return rows;
        };
        // The two lanes' middle lines only.
        EXPECT_LE(waveRows(4750), 4);
        EXPECT_LE(waveRows(11250), 4);
        EXPECT_GE(waveRows(2000), view->height() / 3);
        EXPECT_GE(waveRows(8000), view->height() / 4);

        panel->SetTracks({{0, 4750}, {4750, 11250}, {11250, 16000}});
        panel->SetSelectedTrack(1, TrackSpan{4750, 11250});
        panel->SetSilences({{4000, 5500}, {10500, 12000}});
        panel->SetPosition(7000);

        ExpectEveryControlNamed(panel.get());
        const char* suffix = language == Language::Chinese ? "zh_CN" : "en";
        EXPECT_TRUE(
            panel->grab().save(folder + QStringLiteral("/panel_preview_%1.png").arg(suffix)));
    }
}

}  // namespace
}  // namespace partita::gui::test
