#include "pcm_converter.h"

#include <cstring>

namespace partita::audio::ffmpeg {
namespace {

// A layout FFmpeg can mix from: the frame's own, or the usual one for its channel count when
// the decoder left the order unspecified.
AVChannelLayout UsableLayout(const AVChannelLayout& layout) {
    AVChannelLayout result{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&layout) == 0 ||
        av_channel_layout_copy(&result, &layout) < 0) {
        av_channel_layout_default(&result, layout.nb_channels);
    }
    return result;
}

}  // namespace

PcmConverter::~PcmConverter() {
    av_channel_layout_uninit(&inLayout_);
}

bool PcmConverter::Matches(const AVFrame& frame) const {
    return frame.format == inFormat_ && frame.sample_rate == inRate_ &&
           av_channel_layout_compare(&frame.ch_layout, &inLayout_) == 0;
}

bool PcmConverter::Configure(const AVFrame& frame) {
    resampler_.reset();
    direct_ = false;
    av_channel_layout_uninit(&inLayout_);
    inFormat_ = frame.format;
    inRate_ = frame.sample_rate;
    if (av_channel_layout_copy(&inLayout_, &frame.ch_layout) < 0)
        return false;
    int inChannels = frame.ch_layout.nb_channels;
    if (inChannels <= 0 || frame.sample_rate <= 0 || frame.format < 0)
        return false;
    if (frame.format == AV_SAMPLE_FMT_S16 && frame.sample_rate == rate_ &&
        inChannels == channels_) {
        direct_ = true;
        return true;
    }
    AVChannelLayout in = UsableLayout(frame.ch_layout);
    AVChannelLayout out{};
    av_channel_layout_default(&out, channels_);
    SwrContext* raw = nullptr;
    int result = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, rate_, &in,
                                     static_cast<AVSampleFormat>(frame.format), frame.sample_rate,
                                     0, nullptr);
    ResamplerPtr resampler(raw);
    if (result >= 0) {
        // matrix[in + stride × out] is the weight of an input channel in an output channel.
        if (inChannels == 1 && channels_ == 2) {
            const double copyToBoth[2] = {1.0, 1.0};
            result = swr_set_matrix(raw, copyToBoth, 1);
        } else if (inChannels == 2 && channels_ == 1) {
            const double average[2] = {0.5, 0.5};
            result = swr_set_matrix(raw, average, 2);
        }
    }
    if (result >= 0)
        result = swr_init(raw);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (result < 0)
        return false;
    resampler_ = std::move(resampler);
    return true;
}

bool PcmConverter::Convert(const AVFrame& frame, int skip, std::vector<std::int16_t>& out) {
    if (skip < 0)
        skip = 0;
    if (frame.nb_samples <= skip)
        return true;
    if ((!resampler_ && !direct_) || !Matches(frame)) {
        Flush(out);
        if (!Configure(frame))
            return false;
    }
    const int count = frame.nb_samples - skip;
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int bytes = av_get_bytes_per_sample(format);
    const int inChannels = frame.ch_layout.nb_channels;
    if (direct_) {
        const std::uint8_t* from = frame.extended_data[0] + std::size_t(skip) * bytes * inChannels;
        std::size_t old = out.size();
        out.resize(old + std::size_t(count) * inChannels);
        std::memcpy(out.data() + old, from, std::size_t(count) * bytes * inChannels);
        return true;
    }
    std::vector<const std::uint8_t*> input;
    if (av_sample_fmt_is_planar(format)) {
        for (int channel = 0; channel < inChannels; ++channel)
            input.push_back(frame.extended_data[channel] + std::size_t(skip) * bytes);
    } else {
        input.push_back(frame.extended_data[0] + std::size_t(skip) * bytes * inChannels);
    }
    Drain(input.data(), count, out);
    return true;
}

void PcmConverter::Drain(const std::uint8_t* const* input, int count,
                         std::vector<std::int16_t>& out) {
    for (;;) {
        int capacity = swr_get_out_samples(resampler_.get(), count);
        if (capacity <= 0)
            return;
        std::size_t old = out.size();
        out.resize(old + std::size_t(capacity) * channels_);
        auto* target = reinterpret_cast<std::uint8_t*>(out.data() + old);
        int got = swr_convert(resampler_.get(), &target, capacity,
                              const_cast<const std::uint8_t**>(input), count);
        out.resize(old + std::size_t(got > 0 ? got : 0) * channels_);
        // Input is taken whole in one call; only a flush (no input) needs more rounds.
        if (input || got <= 0)
            return;
    }
}

void PcmConverter::Flush(std::vector<std::int16_t>& out) {
    if (resampler_)
        Drain(nullptr, 0, out);
}

void PcmConverter::Reset() {
    resampler_.reset();
    direct_ = false;
    inFormat_ = -1;
    inRate_ = 0;
    av_channel_layout_uninit(&inLayout_);
}

}  // namespace partita::audio::ffmpeg
