#include "waveform_view.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <thread>

#include "app/string_table.h"
#include "envelope_loader.h"
#include "gui_test_support.h"

namespace partita::gui::test {
namespace {

using partita::test::ToneSegment;

class WaveformViewTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        view.resize(1000, 120);
        view.SetDuration(10000);  // 10 ms a pixel
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void Wheel(int x, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QPointF at(x, 50);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }

    // Loads a file's envelope into the view as the page does, and waits for all of it.
    void LoadEnvelope(EnvelopeLoader& loader, const std::string& path) {
        QObject::connect(&loader, &EnvelopeLoader::chunkArrived, &view,
                         &WaveformView::AddEnvelopeChunk, Qt::UniqueConnection);
        QSignalSpy chunks(&loader, &EnvelopeLoader::chunkArrived);
        loader.Show(path);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return !chunks.isEmpty() &&
                       chunks.last().at(0).value<audio::EnvelopeChunk>().finished;
            },
            30000));
    }

    WaveformView view;
};

// A click asks for its time; a marker dragged asks for its boundary to move (not past its
// neighbours); a marker clicked without moving asks for its own time.
TEST_F(WaveformViewTest, ClicksAndMarkerDragsBecomeRequests) {
    view.SetMarkers({2000, 5000});
    QSignalSpy clicked(&view, &WaveformView::positionClicked);
    QSignalSpy moved(&view, &WaveformView::markerMoveRequested);

    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(250, 60));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.takeFirst().at(0).toULongLong(), 2500u);

    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(502, 60));
    QTest::mouseMove(&view, QPoint(560, 60));
    QTest::mouseMove(&view, QPoint(620, 60));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(620, 60));
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved.first().at(0).toInt(), 1);
    EXPECT_EQ(moved.takeFirst().at(1).toULongLong(), 6200u);

    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(200, 60));
    QTest::mouseMove(&view, QPoint(800, 60));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(800, 60));
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved.first().at(0).toInt(), 0);
    EXPECT_EQ(moved.takeFirst().at(1).toULongLong(), 5000u);

    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(499, 60));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.takeFirst().at(0).toULongLong(), 5000u);
    EXPECT_TRUE(moved.isEmpty());
}

// The wheel zooms around the pointer (the time under it stays), a zoomed view scrolls sideways
// and follows the playhead, and zooming stops at half a second.
TEST_F(WaveformViewTest, WheelZoomsAroundThePointer) {
    Wheel(250, {0, 3 * 120});
    EXPECT_NEAR(view.VisibleSpanMs(), 10000 / std::pow(1.25, 3), 1);
    EXPECT_NEAR(view.TimeAtX(250), 2500, 1);
    auto* bar = view.findChild<QScrollBar*>();
    EXPECT_TRUE(bar->isVisible());

    const double start = view.VisibleStartMs();
    Wheel(250, {0, -120}, Qt::ShiftModifier);
    EXPECT_GT(view.VisibleStartMs(), start);
    EXPECT_EQ(bar->value(), int(view.VisibleStartMs()));

    view.SetPlayhead(9500);
    EXPECT_LE(view.VisibleStartMs(), 9500);
    EXPECT_GE(view.VisibleStartMs() + view.VisibleSpanMs(), 9500);

    for (int i = 0; i < 20; ++i)
        Wheel(500, {0, 120});
    EXPECT_EQ(view.VisibleSpanMs(), WaveformView::kMinimumSpanMs);
    view.ShowWhole();
    EXPECT_EQ(view.VisibleSpanMs(), 10000);
    EXPECT_FALSE(bar->isVisible());
}

// Only the shown source's chunks reach the view: those of a source left behind, already on
// their way to the window thread, are dropped.
TEST_F(WaveformViewTest, LoaderPassesOnlyTheShownSource) {
    partita::test::WriteWav(dir / "long.wav", std::vector<std::int16_t>(5 * 60 * 8000, 500), 8000,
                            1);
    partita::test::WriteWav(dir / "short.wav", partita::test::SynthesizePcm({{440, 8000}}, 8000, 1),
                            8000, 1);
    EnvelopeLoader loader;
    QSignalSpy chunks(&loader, &EnvelopeLoader::chunkArrived);
    loader.Show((dir / "long.wav").string());
    // The worker queues chunks of the long file while the window thread is busy.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    loader.Show((dir / "short.wav").string());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !chunks.isEmpty() && chunks.last().at(0).value<audio::EnvelopeChunk>().finished;
        },
        30000));
    std::size_t blocks = 0;
    for (const auto& arguments : chunks) {
        auto chunk = arguments.at(0).value<audio::EnvelopeChunk>();
        EXPECT_EQ(chunk.path, (dir / "short.wav").string());
        blocks += chunk.levels.size();
    }
    EXPECT_EQ(blocks, 400u);
}

// Pictures of the view with a loaded envelope, markers, a selected track, shaded silences and
// the playhead: left and right apart, both mixed, and zoomed in; and the note while reading.
TEST_F(WaveformViewTest, SavesScreenshots) {
    std::vector<ToneSegment> segments{{220, 4000, 0.8}, {0, 1500}, {330, 5000, 0.4}, {0, 800},
                                      {440, 6000, 0.9}, {0, 1200}, {550, 3500, 0.2}};
    auto left = partita::test::SynthesizePcm(segments, 8000, 1);
    std::vector<std::int16_t> stereo;
    for (std::size_t i = 0; i < left.size(); ++i)
        stereo.insert(stereo.end(),
                      {left[i], static_cast<std::int16_t>(left[i] * (i % 16000) / 16000)});
    partita::test::WriteWav(dir / "song.wav", stereo, 8000, 2);

    const QString folder = QString::fromStdString(ScreenshotFolder());
    for (Language language : {Language::Chinese, Language::English}) {
        SetCurrentLanguage(language);
        WaveformView reading;
        reading.resize(600, 100);
        reading.SetDuration(22000);
        EXPECT_TRUE(
            reading.grab().save(folder + QStringLiteral("/waveform_reading_%1.png")
                                             .arg(language == Language::Chinese ? "zh_CN" : "en")));
    }

    view.resize(900, 160);
    view.SetDuration(22000);
    EnvelopeLoader loader;
    LoadEnvelope(loader, (dir / "song.wav").string());
    EXPECT_EQ(view.BlockCount(), 1100u);
    view.SetMarkers({0, 4000, 11300, 18500});
    view.SetSelectedRange(TimeRange{4000, 11300});
    view.SetSilences({{4000, 5500}, {10500, 11300}, {17300, 18500}});
    view.SetPlayhead(7250);
    EXPECT_TRUE(view.grab().save(folder + "/waveform_left_right.png"));
    view.SetChannels(WaveformView::Channels::Mixed);
    EXPECT_TRUE(view.grab().save(folder + "/waveform_mixed.png"));
    view.ZoomAt(4, 300);
    EXPECT_TRUE(view.grab().save(folder + "/waveform_zoomed.png"));

    // The bundled sample, a real recording.
    view.SetDuration(32026);
    view.SetMarkers({});
    view.SetSelectedRange(std::nullopt);
    view.SetSilences({});
    view.SetChannels(WaveformView::Channels::LeftAndRight);
    LoadEnvelope(loader, PARTITA_SOURCE_DIR "/res/sample/sample.mp3");
    EXPECT_TRUE(view.grab().save(folder + "/waveform_sample.png"));
}

}  // namespace
}  // namespace partita::gui::test
