#include "preview_sink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <cstring>
#include <vector>

namespace partita::gui {
namespace {

QAudioFormat ToQt(const audio::PcmFormat& format) {
    QAudioFormat qt;
    qt.setSampleRate(format.sampleRate);
    qt.setChannelCount(format.channels);
    qt.setSampleFormat(QAudioFormat::Int16);
    return qt;
}

// Hands the sink's reads to a PCM source.
class PullDevice : public QIODevice {
  public:
    PullDevice(PcmSource& source, std::size_t bytesPerFrame)
        : source_(source), bytesPerFrame_(bytesPerFrame) {}

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return (ended_ ? 0 : 1 << 20) + QIODevice::bytesAvailable();
    }
    bool Ended() const { return ended_; }
    std::uint64_t FramesGiven() const { return given_; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        std::size_t frames = static_cast<std::size_t>(maxSize) / bytesPerFrame_;
        scratch_.resize(frames * bytesPerFrame_ / 2);
        std::size_t got = ended_ ? 0 : source_.Pull(scratch_.data(), frames);
        if (got < frames)
            ended_ = true;
        given_ += got;
        std::memcpy(data, scratch_.data(), got * bytesPerFrame_);
        return static_cast<qint64>(got * bytesPerFrame_);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    PcmSource& source_;
    std::size_t bytesPerFrame_;
    std::vector<std::int16_t> scratch_;
    std::uint64_t given_ = 0;
    bool ended_ = false;
};

class DeviceSink : public PreviewSink {
  public:
    DeviceSink() : device_(QMediaDevices::defaultAudioOutput()) {}
    ~DeviceSink() override { DeviceSink::Stop(); }

    bool Available() const override { return !device_.isNull(); }

    audio::PcmFormat FormatFor(const audio::PcmFormat& source) const override {
        if (device_.isNull() || device_.isFormatSupported(ToQt(source)))
            return source;
        QAudioFormat preferred = device_.preferredFormat();
        return {preferred.sampleRate(), std::min(2, std::max(1, preferred.channelCount()))};
    }

    bool Start(const audio::PcmFormat& format, PcmSource& source) override {
        Stop();
        rate_ = format.sampleRate;
        sink_ = std::make_unique<QAudioSink>(device_, ToQt(format));
        // A short buffer, so that a stop or a seek is heard at once.
        sink_->setBufferSize(static_cast<qsizetype>(format.BytesForMs(200)));
        pull_ = std::make_unique<PullDevice>(source, format.BytesPerFrame());
        pull_->open(QIODevice::ReadOnly);
        sink_->start(pull_.get());
        return sink_->error() == QAudio::NoError;
    }

    void Stop() override {
        if (sink_)
            sink_->stop();
        sink_.reset();
        pull_.reset();
    }

    void SetPaused(bool paused) override {
        if (!sink_)
            return;
        if (paused)
            sink_->suspend();
        else
            sink_->resume();
    }

    // The output's own clock of what it has played, not what it has been handed.
    std::uint64_t PlayedFrames() const override {
        if (!sink_ || rate_ <= 0)
            return 0;
        auto frames = static_cast<std::uint64_t>(sink_->processedUSecs()) *
                      static_cast<std::uint64_t>(rate_) / 1'000'000;
        return pull_ ? std::min(frames, pull_->FramesGiven()) : frames;
    }

    bool Drained() const override {
        return pull_ && pull_->Ended() &&
               (sink_->state() == QAudio::IdleState || PlayedFrames() >= pull_->FramesGiven());
    }

  private:
    QAudioDevice device_;
    int rate_ = 0;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<PullDevice> pull_;
};

}  // namespace

std::unique_ptr<PreviewSink> MakeDeviceSink() {
    return std::make_unique<DeviceSink>();
}

}  // namespace partita::gui
