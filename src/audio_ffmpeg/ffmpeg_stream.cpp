#include "ffmpeg_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace partita::audio::ffmpeg {
namespace {

// The readers the layer opens: MPEG audio, WAV (and RF64), Ogg, ASF and AIFF. Everything else
// (playlists, network protocols, video containers) is refused before it is parsed.
constexpr const char* kReaders = "mp3,wav,ogg,asf,aiff";
// Audio decoded before a seek target so that the decoder's state (the MP3 bit reservoir, the
// overlap of transform windows) is complete at the target; it is not delivered.
constexpr int kPrerollMs = 200;
// Packets kept while reading forward to a seek target.
constexpr std::size_t kMaxQueued = 64;
// Answers that are neither data nor an end, in a row, before a stream is taken as ended.
constexpr int kMaxStalls = 1000;

OpenError ErrorFromOpen(int code) {
    if (code == AVERROR(ENOENT))
        return OpenError::FileNotFound;
    if (code == AVERROR(EACCES) || code == AVERROR(EPERM) || code == AVERROR(EISDIR) ||
        code == AVERROR(EIO))
        return OpenError::FileUnreadable;
    if (code == AVERROR(ENOMEM))
        return OpenError::OutOfMemory;
    // Not recognised, recognised as a reader we do not open, or refused while reading its
    // header: the core tells damaged files of known kinds apart by their names.
    return OpenError::UnknownFormat;
}

bool HasId3v1(const std::string& path, std::uint64_t fileSize) {
    if (fileSize < 128)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char marker[3] = {};
    bool found = std::fseek(file, static_cast<long>(fileSize - 128), SEEK_SET) == 0 &&
                 std::fread(marker, 1, 3, file) == 3 && std::memcmp(marker, "TAG", 3) == 0;
    std::fclose(file);
    return found;
}

}  // namespace

FfmpegStream::FfmpegStream(std::string path, const OpenOptions& options)
    : path_(std::move(path)), options_(options) {}

std::unique_ptr<AudioStream> FfmpegStream::Open(const std::string& path, const OpenOptions& options,
                                                OpenError& error) {
    std::unique_ptr<FfmpegStream> stream(new FfmpegStream(path, options));
    error = stream->OpenContainer();
    if (error == OpenError::None)
        error = stream->OpenDecoder();
    if (error != OpenError::None)
        return nullptr;
    return stream;
}

OpenError FfmpegStream::OpenContainer() {
    container_.reset();
    queued_.clear();
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return OpenError::OutOfMemory;
    if (options_.prescan)
        raw->max_index_size = 32 << 20;  // room for an entry per frame of a long file
    else
        raw->flags |= AVFMT_FLAG_FAST_SEEK;  // seek MPEG by its TOC or bitrate, not by a scan
    AVDictionary* settings = nullptr;
    av_dict_set(&settings, "format_whitelist", kReaders, 0);
    av_dict_set(&settings, "protocol_whitelist", "file", 0);
    // "file:" keeps a name with a colon from being taken for another protocol.
    std::string url = "file:" + path_;
    int result = avformat_open_input(&raw, url.c_str(), nullptr, &settings);
    av_dict_free(&settings);
    if (result < 0)
        return ErrorFromOpen(result);  // FFmpeg has freed the context
    container_.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return OpenError::Damaged;
    int index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return OpenError::NoAudio;
    streamIndex_ = index;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (static_cast<int>(i) != index)
            raw->streams[i]->discard = AVDISCARD_ALL;
    }
    const AVStream* stream = raw->streams[index];
    if (stream->time_base.num <= 0 || stream->time_base.den <= 0)
        return OpenError::Damaged;
    timeBase_ = stream->time_base;
    startTimestamp_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    return OpenError::None;
}

OpenError FfmpegStream::OpenDecoder() {
    const AVStream* stream = container_->streams[streamIndex_];
    const AVCodecParameters* parameters = stream->codecpar;
    info_.container = container_->iformat->name;
    info_.codec = avcodec_get_name(parameters->codec_id);
    const bool asf = info_.container == "asf";
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        return asf ? OpenError::WmaCodecMissing : OpenError::UnsupportedCodec;
    decoder_.reset(avcodec_alloc_context3(codec));
    scratch_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!decoder_ || !scratch_ || !frame_)
        return OpenError::OutOfMemory;
    if (avcodec_parameters_to_context(decoder_.get(), parameters) < 0)
        return OpenError::Damaged;
    decoder_->pkt_timebase = timeBase_;
    if (avcodec_open2(decoder_.get(), codec, nullptr) < 0)
        return OpenError::Damaged;

    info_.sampleRate = parameters->sample_rate;
    info_.channels = parameters->ch_layout.nb_channels;
    if (info_.sampleRate <= 0 || info_.channels <= 0)
        return OpenError::Damaged;
    if (info_.codec.rfind("pcm_", 0) == 0) {
        int bits = av_get_bits_per_sample(parameters->codec_id);
        info_.blockAlign =
            parameters->block_align > 0 ? parameters->block_align : info_.channels * bits / 8;
        info_.pcm = info_.blockAlign > 0;
    }
    info_.bitrate = parameters->bit_rate > 0 ? parameters->bit_rate : container_->bit_rate;
    if (info_.bitrate < 0)
        info_.bitrate = 0;
    std::int64_t size = avio_size(container_->pb);
    info_.fileSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;

    bool rateAsked = options_.sampleRate > 0 && options_.sampleRate <= 768000;
    output_.sampleRate = rateAsked ? options_.sampleRate : info_.sampleRate;
    output_.channels = options_.channels > 0 ? std::min(options_.channels, 2) : info_.channels;
    converter_ = std::make_unique<PcmConverter>(output_.sampleRate, output_.channels);

    PacketPtr first = ReadPacket();
    if (!first)
        return OpenError::Damaged;
    info_.dataStart = first->pos >= 0 ? static_cast<std::uint64_t>(first->pos) : 0;
    queued_.push_back(std::move(first));
    inputEnded_ = false;

    if (options_.prescan && !info_.pcm)
        Prescan();
    else
        EstimateLength();
    if (!container_)
        return OpenError::Damaged;
    info_.durationMs = lengthSamples_ * 1000 / static_cast<std::uint64_t>(info_.sampleRate);
    seekOffset_ = info_.dataStart;
    return OpenError::None;
}

void FfmpegStream::EstimateLength() {
    const AVStream* stream = container_->streams[streamIndex_];
    if (info_.pcm) {
        // Whole sample frames between the start of the data and the end of the file; a data
        // chunk that claims more than the file holds ends at the file's end.
        std::uint64_t blockAlign = static_cast<std::uint64_t>(info_.blockAlign);
        std::uint64_t available =
            info_.fileSize > info_.dataStart ? (info_.fileSize - info_.dataStart) / blockAlign : 0;
        std::uint64_t stated = stream->duration != AV_NOPTS_VALUE && stream->duration > 0
                                   ? static_cast<std::uint64_t>(SamplesIn(stream->duration))
                                   : available;
        lengthSamples_ = std::min(stated, available);
        info_.dataEnd = info_.dataStart + lengthSamples_ * blockAlign;
        info_.exactLength = true;
        return;
    }
    std::int64_t samples = StatedSamples();
    if (samples <= 0) {
        Prescan();  // the container does not say: count
        return;
    }
    lengthSamples_ = static_cast<std::uint64_t>(samples);
    info_.dataEnd = info_.fileSize;
    if (info_.container == "mp3" && HasId3v1(path_, info_.fileSize))
        info_.dataEnd -= 128;
    if (info_.dataEnd < info_.dataStart)
        info_.dataEnd = info_.dataStart;
}

std::int64_t FfmpegStream::StatedSamples() const {
    const AVStream* stream = container_->streams[streamIndex_];
    std::int64_t samples = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        samples = SamplesIn(stream->duration);
        // An MP3 with a LAME header states the length with the encoder's delay, which the
        // decoder leaves out (the stream starts after it).
        if (info_.container == "mp3" && startTimestamp_ > 0)
            samples -= SamplesIn(startTimestamp_);
    } else if (container_->duration != AV_NOPTS_VALUE && container_->duration > 0) {
        samples = av_rescale_q(container_->duration, AV_TIME_BASE_Q, {1, info_.sampleRate});
    }
    return std::max<std::int64_t>(samples, 0);
}

void FfmpegStream::Prescan() {
    std::uint64_t total = 0;    // samples of every packet
    std::uint64_t trimmed = 0;  // samples the decoder is told to drop (encoder delay, padding)
    std::int64_t lastEnd = 0;   // the latest packet end seen, from timestamps
    bool everyDuration = true;
    std::uint64_t end = info_.dataStart;
    auto count = [&](const AVPacket& packet) {
        std::int64_t samples = packet.duration > 0 ? SamplesIn(packet.duration) : 0;
        if (samples > 0)
            total += static_cast<std::uint64_t>(samples);
        else
            everyDuration = false;
        std::size_t size = 0;
        const std::uint8_t* skip =
            av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
        if (skip && size >= 8) {
            std::uint32_t atStart =
                skip[0] | skip[1] << 8 | skip[2] << 16 | std::uint32_t(skip[3]) << 24;
            std::uint32_t atEnd =
                skip[4] | skip[5] << 8 | skip[6] << 16 | std::uint32_t(skip[7]) << 24;
            trimmed += std::uint64_t(atStart) + atEnd;
        }
        if (packet.pts != AV_NOPTS_VALUE)
            lastEnd = std::max(lastEnd, SampleOf(packet.pts) + std::max<std::int64_t>(samples, 0));
        if (packet.pos >= 0)
            end = std::max(end, static_cast<std::uint64_t>(packet.pos) + packet.size);
    };
    for (const PacketPtr& packet : queued_)
        count(*packet);
    while (PacketPtr packet = ReadPacket())
        count(*packet);
    // MPEG packets are whole frames whose trims (encoder delay and padding) are announced
    // apart from their durations; other readers (Ogg) shorten the last packet themselves, so
    // there the end of the last packet is the length.
    // Where packets carry no durations (WMA lossless) the container's own length, when it
    // states one, is the better of the two.
    const bool mpeg = info_.container == "mp3";
    if (mpeg && everyDuration)
        lengthSamples_ = total - std::min(total, trimmed);
    else
        lengthSamples_ = static_cast<std::uint64_t>(std::max(lastEnd, StatedSamples()));
    // The end of the last frame is exact for MPEG; other containers end with their file.
    info_.dataEnd =
        mpeg ? std::max(end, info_.dataStart) : std::max(info_.fileSize, info_.dataStart);
    info_.exactLength = true;
    if (!Rewind())
        container_.reset();
}

bool FfmpegStream::Rewind() {
    ResetDecoding();
    if (SeekContainer(0))
        return true;
    // The reader cannot go back: open the file again.
    if (OpenContainer() != OpenError::None)
        return false;
    if (PacketPtr first = ReadPacket())
        queued_.push_back(std::move(first));
    return true;
}

bool FfmpegStream::SeekContainer(std::int64_t sample) {
    // The start is the first packet, which may lie before the first delivered sample (an MP3's
    // encoder delay can span two frames); going there also lets the decoder drop that delay.
    std::int64_t timestamp =
        sample > 0 ? TimestampOf(sample) : std::min<std::int64_t>(0, startTimestamp_);
    if (av_seek_frame(container_.get(), streamIndex_, timestamp, AVSEEK_FLAG_BACKWARD) >= 0)
        return true;
    return avformat_seek_file(container_.get(), streamIndex_, INT64_MIN, timestamp, timestamp, 0) >=
           0;
}

void FfmpegStream::ResetDecoding() {
    queued_.clear();
    pending_.clear();
    pendingAt_ = 0;
    if (decoder_)
        avcodec_flush_buffers(decoder_.get());
    if (converter_)
        converter_->Reset();
    inputEnded_ = false;
    drainSent_ = false;
    ended_ = false;
    dropBefore_ = -1;
}

bool FfmpegStream::Seek(std::uint64_t ms) {
    if (!container_)
        return false;
    const std::int64_t rate = info_.sampleRate;
    // Far past any end; keeps the sample arithmetic below from overflowing.
    ms = std::min<std::uint64_t>(ms, UINT64_MAX / 768000 / 4);
    const auto target = static_cast<std::int64_t>(ms * static_cast<std::uint64_t>(rate) / 1000);
    ResetDecoding();
    const bool pastEnd = info_.exactLength && static_cast<std::uint64_t>(target) >= lengthSamples_;
    position_ = output_.FramesForMs(pastEnd ? info_.durationMs : ms);

    if (info_.pcm) {
        std::uint64_t frame = std::min(static_cast<std::uint64_t>(target), lengthSamples_);
        seekOffset_ = info_.dataStart + frame * static_cast<std::uint64_t>(info_.blockAlign);
        dropBefore_ = target;
        nextSample_ = target;
        if (pastEnd) {
            inputEnded_ = true;
            ended_ = true;
            return true;
        }
        return SeekContainer(target);
    }

    const std::int64_t from = std::max<std::int64_t>(0, target - rate * kPrerollMs / 1000);
    if (!SeekContainer(from) && !Rewind()) {
        ended_ = true;
        return false;
    }
    dropBefore_ = target;
    nextSample_ = target;
    // Read ahead to the packet that holds the target; the packets read stay queued for
    // decoding (those before the target prime the decoder and are then dropped).
    std::int64_t lastBefore = -1;  // offset of the latest packet that starts at or before it
    while (PacketPtr packet = ReadPacket()) {
        std::int64_t timestamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        std::int64_t offset = packet->pos >= 0 ? packet->pos : lastBefore;
        if (timestamp == AV_NOPTS_VALUE) {
            seekOffset_ = offset >= 0 ? static_cast<std::uint64_t>(offset) : info_.dataStart;
            queued_.push_back(std::move(packet));
            return true;
        }
        std::int64_t start = SampleOf(timestamp);
        std::int64_t end = start + (packet->duration > 0 ? SamplesIn(packet->duration) : 0);
        if (start > target || end > target) {
            if (start > target && lastBefore >= 0)
                offset = lastBefore;
            seekOffset_ = offset >= 0 ? static_cast<std::uint64_t>(offset) : info_.dataStart;
            queued_.push_back(std::move(packet));
            return true;
        }
        lastBefore = offset;
        queued_.push_back(std::move(packet));
        if (queued_.size() > kMaxQueued)
            queued_.pop_front();
    }
    seekOffset_ = info_.dataEnd;  // the target lies at or past the end
    return true;
}

PacketPtr FfmpegStream::ReadPacket() {
    if (inputEnded_ || !container_)
        return nullptr;
    for (int stalls = 0; stalls < kMaxStalls;) {
        int result = av_read_frame(container_.get(), scratch_.get());
        if (result == AVERROR(EAGAIN)) {
            ++stalls;
            continue;
        }
        if (result < 0)
            break;
        if (scratch_->stream_index != streamIndex_) {
            av_packet_unref(scratch_.get());
            continue;
        }
        PacketPtr packet(av_packet_alloc());
        if (!packet) {
            av_packet_unref(scratch_.get());
            break;
        }
        av_packet_move_ref(packet.get(), scratch_.get());
        return packet;
    }
    inputEnded_ = true;
    return nullptr;
}

PacketPtr FfmpegStream::NextPacket() {
    if (!queued_.empty()) {
        PacketPtr packet = std::move(queued_.front());
        queued_.pop_front();
        return packet;
    }
    return ReadPacket();
}

void FfmpegStream::FeedDecoder() {
    PacketPtr packet = NextPacket();
    if (!packet) {
        avcodec_send_packet(decoder_.get(), nullptr);
        drainSent_ = true;
        return;
    }
    // A packet the decoder refuses (damaged data) is skipped.
    const int result = avcodec_send_packet(decoder_.get(), packet.get());
    if (result == AVERROR(EAGAIN))
        queued_.push_front(std::move(packet));
    else if (result < 0)
        ++decodeErrors_;
}

bool FfmpegStream::FillPending() {
    int stalls = 0;
    while (pendingAt_ >= pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        if (ended_ || !container_)
            return false;
        int result = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (result == 0) {
            TakeFrame();
            av_frame_unref(frame_.get());
            stalls = 0;
            continue;
        }
        if (result == AVERROR_EOF || drainSent_ || ++stalls > kMaxStalls) {
            converter_->Flush(pending_);
            ended_ = true;
            continue;
        }
        // EAGAIN wants input; any other answer was a frame that failed to decode.
        if (result != AVERROR(EAGAIN))
            ++decodeErrors_;
        FeedDecoder();
    }
    return true;
}

void FfmpegStream::TakeFrame() {
    const AVFrame& frame = *frame_;
    std::int64_t timestamp = frame.best_effort_timestamp;
    std::int64_t start = timestamp != AV_NOPTS_VALUE ? SampleOf(timestamp) : nextSample_;
    nextSample_ = start + frame.nb_samples;
    std::int64_t skip = 0;
    if (dropBefore_ >= 0) {
        if (nextSample_ <= dropBefore_)
            return;
        skip = std::max<std::int64_t>(0, dropBefore_ - start);
        dropBefore_ = -1;
    }
    converter_->Convert(frame, static_cast<int>(skip), pending_);
}

std::size_t FfmpegStream::ReadPcm(std::int16_t* samples, std::size_t frames) {
    const std::size_t channels = static_cast<std::size_t>(output_.channels);
    std::size_t done = 0;
    while (done < frames && FillPending()) {
        std::size_t available = (pending_.size() - pendingAt_) / channels;
        std::size_t take = std::min(available, frames - done);
        std::memcpy(samples + done * channels, pending_.data() + pendingAt_,
                    take * channels * sizeof(std::int16_t));
        pendingAt_ += take * channels;
        done += take;
    }
    position_ += done;
    return done;
}

bool FfmpegStream::ReadPeakLevel(PeakLevel& level) {
    const std::size_t frames = static_cast<std::size_t>(std::max(1, output_.sampleRate / 50));
    const std::size_t channels = static_cast<std::size_t>(output_.channels);
    levelBlock_.resize(frames * channels);
    std::size_t got = ReadPcm(levelBlock_.data(), frames);
    if (got == 0)
        return false;
    level = {};
    for (std::size_t i = 0; i < got; ++i) {
        const std::int16_t* frame = levelBlock_.data() + i * channels;
        level.left = std::max<std::uint32_t>(level.left, std::abs(int(frame[0])));
        if (channels > 1)
            level.right = std::max<std::uint32_t>(level.right, std::abs(int(frame[1])));
    }
    if (channels == 1)
        level.right = level.left;
    return true;
}

std::int64_t FfmpegStream::SampleOf(std::int64_t timestamp) const {
    return av_rescale_q(timestamp - startTimestamp_, timeBase_, {1, info_.sampleRate});
}

std::int64_t FfmpegStream::TimestampOf(std::int64_t sample) const {
    return startTimestamp_ + av_rescale_q(sample, {1, info_.sampleRate}, timeBase_);
}

std::int64_t FfmpegStream::SamplesIn(std::int64_t duration) const {
    return av_rescale_q(duration, timeBase_, {1, info_.sampleRate});
}

}  // namespace partita::audio::ffmpeg
