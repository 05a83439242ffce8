#include "join/convert_merge.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/user_message.h"
#include "join/encoder_command.h"
#include "join/encoder_process.h"

namespace partita {
namespace {

std::int16_t SampleAt(const std::uint8_t* bytes, std::size_t index) {
    return static_cast<std::int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

// The joins of a gapless merge. Sizes are bytes; W counts bytes and sample values alike, as
// the trimming rule was set out.
class GaplessJoin {
  public:
    GaplessJoin(const ConvertOptions& options)
        : on_(options.gapless),
          w_(static_cast<std::size_t>(options.sampleRate / 10)),
          frameBytes_(static_cast<std::size_t>(2 * options.channels)),
          tail_(2 * w_) {}

    void StartFile() { tailSaved_ = false; }

    // The bytes to hold back at the end of a chunk of a file that is not the last.
    std::size_t TailStep(const std::uint8_t* chunk, std::size_t got, bool finalChunk) {
        if (!on_)
            return 0;
        if (finalChunk) {
            MeasureTail(chunk, got);
            return AlignDown(std::min(w_, got));
        }
        if (got > 2 * w_) {
            std::memcpy(tail_.data(), chunk + got - 2 * w_, 2 * w_);
            tailSaved_ = true;
        }
        return 0;
    }

    // The bytes to skip at the start of the first chunk of a file that is not the first.
    std::size_t LeadStep(const std::uint8_t* chunk, std::size_t got) const {
        if (!on_ || got <= 6 * w_)
            return 0;
        std::size_t k = 0;
        for (std::size_t i = 0; i < 2 * w_; ++i) {
            if (SampleAt(chunk, i) > 0) {
                k = i;
                break;
            }
        }
        std::size_t skip = AlignDown(k & ~std::size_t{1});
        if (tailLevel_ > 0) {
            double threshold = 0.618 * tailLevel_;
            for (std::size_t j = 0; j < 3 * w_ && skip + 2 * j + 1 < got; ++j) {
                if (std::abs(SampleAt(chunk, skip / 2 + j)) > threshold) {
                    skip += 2 * j;
                    break;
                }
            }
        }
        return AlignDown(skip);
    }

  private:
    std::size_t AlignDown(std::size_t bytes) const { return bytes - bytes % frameBytes_; }

    // The mean absolute level of the last W sample values before the end of the file, from the
    // final chunk and, when that is short, the saved end of the chunk before.
    void MeasureTail(const std::uint8_t* chunk, std::size_t got) {
        double sum = 0;
        std::size_t counted = 0;
        if (got > 2 * w_) {
            for (std::size_t i = got / 2 - w_; i < got / 2; ++i)
                sum += std::abs(SampleAt(chunk, i));
            tailLevel_ = w_ ? sum / static_cast<double>(w_) : 0;
            return;
        }
        for (std::size_t i = 0; i < got / 2; ++i)
            sum += std::abs(SampleAt(chunk, i));
        counted = got / 2;
        if (tailSaved_) {
            std::size_t more = (2 * w_ - got) / 2;
            for (std::size_t i = w_ - more; i < w_; ++i)
                sum += std::abs(SampleAt(tail_.data(), i));
            counted += more;
        }
        tailLevel_ = counted ? sum / static_cast<double>(counted) : 0;
    }

    bool on_;
    std::size_t w_;
    std::size_t frameBytes_;
    std::vector<std::uint8_t> tail_;
    bool tailSaved_ = false;
    double tailLevel_ = 0;  // kept from one file to the next
};

// A write the encoder did not take: when the encoder has gone (a broken pipe), what it died of;
// otherwise the pipe's error.
void ReportWriteFailure(PcmSink& sink, std::uint64_t written, JobHost& host) {
    if (sink.LastError() == EPIPE)
        host.ShowMessage(MessageKind::Error, sink.Failure());
    else
        host.ShowMessage(MessageKind::Error, {Msg::EncoderWriteFailed, written, sink.LastError()});
}

}  // namespace

MergeResult ConvertMerge(const std::vector<MergeSource>& sources, const ConvertOptions& options,
                         PcmDecoder& decoder, PcmSink& sink, JobHost& host) {
    const std::size_t n = sources.size();
    const std::uint64_t frameBytes = 2 * static_cast<std::uint64_t>(options.channels);
    const std::size_t chunkBytes =
        std::max<std::size_t>(options.chunkBytes - options.chunkBytes % frameBytes, frameBytes);
    auto bytesOf = [&](std::uint64_t ms) {
        return ms * static_cast<std::uint64_t>(options.sampleRate) / 1000 * frameBytes;
    };
    std::vector<std::uint8_t> chunk(chunkBytes);
    GaplessJoin join(options);
    MergeResult result = MergeResult::Done;
    if (options.pieces)
        options.pieces->clear();
    auto msOf = [&](std::uint64_t bytes) {
        return options.sampleRate > 0
                   ? 1000.0 * static_cast<double>(bytes / frameBytes) / options.sampleRate
                   : 0.0;
    };
    host.SetProgress(0, n);

    for (std::size_t i = 0; i < n && result == MergeResult::Done; ++i) {
        const MergeSource& source = sources[i];
        host.SetStatus(MergeStatusText(i, n, source));
        std::unique_ptr<PcmSource> stream;
        bool skip = false;
        while (!stream) {
            UserMessage failure(Msg::CannotLoadFile, source.path);
            stream = decoder.Open(source.path, options.sampleRate, options.channels, failure);
            if (stream)
                break;
            FailureAnswer answer = host.AskFailure(failure);
            if (answer == FailureAnswer::Abort) {
                result = MergeResult::Stopped;
                break;
            }
            if (answer == FailureAnswer::Ignore) {
                skip = true;
                break;
            }
        }
        if (!stream) {
            if (skip)
                host.SetProgress(i + 1, n);
            continue;
        }

        std::uint64_t written = 0;
        std::uint64_t delivered = 0;
        std::uint64_t limit = 0;
        if (source.range.startMs > 0 && !stream->Seek(source.range.startMs))
            host.ShowMessage(MessageKind::Error, Msg::PartialMergeFailed);
        if (source.range.endMs > 0 && source.range.startMs < source.range.endMs)
            limit = bytesOf(source.range.endMs) - bytesOf(source.range.startMs);
        join.StartFile();
        const bool last = i + 1 == n;
        // What this file delivers, for the progress inside it.
        const std::uint64_t expected =
            limit > 0 ? limit
                      : bytesOf(source.lengthMs) -
                            bytesOf(std::min(source.range.startMs, source.lengthMs));

        for (;;) {
            std::size_t request = chunkBytes;
            if (limit > 0) {
                if (delivered >= limit)
                    break;
                request = static_cast<std::size_t>(
                    std::min<std::uint64_t>(limit - delivered, chunkBytes));
            }
            std::size_t got = stream->Read(chunk.data(), request);
            delivered += got;
            if (got == 0)
                break;
            if (!sink.IsActive()) {
                host.ShowMessage(MessageKind::Error, sink.Failure());
                result = MergeResult::Failed;
                break;
            }
            const bool finalChunk = got < request;
            std::size_t hold = last ? 0 : join.TailStep(chunk.data(), got, finalChunk);
            std::size_t lead = (i > 0 && written == 0) ? join.LeadStep(chunk.data(), got) : 0;
            if (got > hold + lead) {
                std::size_t count = got - hold - lead;
                if (!sink.Write(chunk.data() + lead, count)) {
                    ReportWriteFailure(sink, written, host);
                    result = MergeResult::Failed;
                    break;
                }
                written += count;
            }
            if (expected > 0)
                host.SetFileProgress(std::min(delivered, expected), expected);
            if (StopConfirmed(host)) {
                result = MergeResult::Stopped;
                break;
            }
            if (finalChunk)
                break;
        }

        std::uint64_t silence = 0;
        if (result == MergeResult::Done && source.silenceSeconds > 0 && sink.IsActive()) {
            silence = bytesOf(static_cast<std::uint64_t>(source.silenceSeconds) * 1000);
            std::uint64_t remaining = silence;
            std::fill(chunk.begin(), chunk.end(), 0);
            while (remaining > 0) {
                auto count =
                    static_cast<std::size_t>(std::min<std::uint64_t>(remaining, chunkBytes));
                if (!sink.Write(chunk.data(), count)) {
                    ReportWriteFailure(sink, written, host);
                    result = MergeResult::Failed;
                    break;
                }
                remaining -= count;
            }
        }
        if (options.pieces && result == MergeResult::Done)
            options.pieces->push_back({i, msOf(written), msOf(silence)});
        host.SetProgress(i + 1, n);
    }
    return result;
}

MergeResult RunConvertMerge(const std::string& encoderPath, const std::string& outputPath,
                            const std::vector<MergeSource>& sources, const ConvertOptions& options,
                            PcmDecoder& decoder, JobHost& host) {
    EncoderProcess encoder;
    if (encoderPath.empty() ||
        !encoder.Start(
            MakeEncoderCommand(encoderPath, outputPath, options.sampleRate, options.channels)
                .arguments,
            outputPath)) {
        host.ShowMessage(MessageKind::Error, Msg::EncoderNotStarted);
        return MergeResult::Failed;
    }
    MergeResult result = ConvertMerge(sources, options, decoder, encoder, host);
    if (result != MergeResult::Done) {
        encoder.Kill();
        return result;
    }
    if (!encoder.Finish()) {
        host.ShowMessage(MessageKind::Error, encoder.Failure());
        return MergeResult::Failed;
    }
    return result;
}

}  // namespace partita
