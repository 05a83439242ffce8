#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_backend.h"
#include "ffmpeg_handles.h"
#include "pcm_converter.h"

namespace partita::audio::ffmpeg {

// A decoding stream over FFmpeg: demuxer, decoder and converter of one file.
//
// Times inside are counted in samples of the source's rate from the first sample the decoder
// delivers (the stream's start time, which for a LAME-encoded MP3 lies after the encoder's
// delay); packets and frames carry timestamps in the stream's time base from which that start
// is subtracted.
class FfmpegStream final : public AudioStream {
  public:
    static std::unique_ptr<AudioStream> Open(const std::string& path, const OpenOptions& options,
                                             OpenError& error);

    const StreamInfo& Info() const override { return info_; }
    PcmFormat Format() const override { return output_; }
    std::size_t ReadPcm(std::int16_t* samples, std::size_t frames) override;
    bool ReadPeakLevel(PeakLevel& level) override;
    bool Seek(std::uint64_t ms) override;
    std::uint64_t SeekFileOffset() const override { return seekOffset_; }
    std::uint64_t PositionFrames() const override { return position_; }
    bool AtEnd() const override { return ended_ && pendingAt_ >= pending_.size(); }
    std::uint64_t DecodeErrors() const override { return decodeErrors_; }

  private:
    FfmpegStream(std::string path, const OpenOptions& options);

    OpenError OpenContainer();
    OpenError OpenDecoder();
    void Prescan();
    void EstimateLength();
    std::int64_t StatedSamples() const;
    bool Rewind();
    bool SeekContainer(std::int64_t sample);

    PacketPtr ReadPacket();
    PacketPtr NextPacket();
    bool FillPending();
    void FeedDecoder();
    void TakeFrame();
    void ResetDecoding();

    std::int64_t SampleOf(std::int64_t timestamp) const;
    std::int64_t TimestampOf(std::int64_t sample) const;
    std::int64_t SamplesIn(std::int64_t duration) const;

    std::string path_;
    OpenOptions options_;
    StreamInfo info_;
    PcmFormat output_;

    FormatContextPtr container_;
    CodecContextPtr decoder_;
    PacketPtr scratch_;
    FramePtr frame_;
    std::unique_ptr<PcmConverter> converter_;
    int streamIndex_ = -1;
    AVRational timeBase_{1, 1};
    std::int64_t startTimestamp_ = 0;
    std::uint64_t lengthSamples_ = 0;  // source samples the stream delivers

    std::deque<PacketPtr> queued_;       // packets read ahead, decoded before the demuxer's next
    std::vector<std::int16_t> pending_;  // converted PCM not yet delivered
    std::size_t pendingAt_ = 0;
    std::vector<std::int16_t> levelBlock_;

    std::uint64_t position_ = 0;    // frames of output_ delivered since the start
    std::uint64_t seekOffset_ = 0;  // file offset the last seek landed on
    std::int64_t dropBefore_ = -1;  // source samples before this one are not delivered
    std::int64_t nextSample_ = 0;   // where the next frame without timestamp starts
    bool inputEnded_ = false;       // the demuxer has nothing more
    bool drainSent_ = false;        // the decoder was told that input ended
    bool ended_ = false;            // the decoder and converter are empty

    // Packets the decoder refused and frames it could not decode.
    std::uint64_t decodeErrors_ = 0;
};

}  // namespace partita::audio::ffmpeg
