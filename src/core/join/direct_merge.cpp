#include "join/direct_merge.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app/user_message.h"
#include "join/frame_counter.h"
#include "join/gapless_ends.h"
#include "join/silent_frame.h"
#include "mpeg/frame_header.h"
#include "mpeg/frame_times.h"
#include "mpeg/header_frame.h"
#include "mpeg/mpeg_analysis.h"
#include "mpeg/vbr_header.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

enum class Opened { Ok, Skip, Abort };

// Analyses and opens one source, asking Abort, Retry or Ignore while either fails.
Opened OpenSource(const MergeSource& source, MpegAnalysis& info, FilePtr& file, JobHost& host) {
    for (;;) {
        // Any name: the list took the file as MPEG by its content when its extension said
        // nothing.
        BufferedFile in;
        if (!in.Open(source.path) || !info.OpenFile(in, source.path) || !info.streamFound) {
            FailureAnswer answer = host.AskFailure({Msg::CannotLoadFile, source.path});
            if (answer == FailureAnswer::Retry)
                continue;
            return answer == FailureAnswer::Ignore ? Opened::Skip : Opened::Abort;
        }
        file.reset(std::fopen(source.path.c_str(), "rb"));
        if (file)
            return Opened::Ok;
        FailureAnswer answer = host.AskFailure({Msg::CannotOpenFile, source.path});
        if (answer != FailureAnswer::Retry)
            return answer == FailureAnswer::Ignore ? Opened::Skip : Opened::Abort;
    }
}

// The frame boundary nearest to the time `ms`, within the file's audio: frames counted from
// the frame index when the file has a header frame, else from its first frame (a bitrate says
// nothing of the frames' times in a VBR stream without a header frame).
std::uint64_t FrameStartAt(MpegAnalysis& info, std::uint64_t ms, std::uint64_t audioEnd) {
    BufferedFile file;
    if (info.vbrType != VbrHeaderType::None)
        info.EnsureFrameIndex();
    if (!file.Open(info.path))
        return info.dataStart;
    return std::clamp(FrameBoundaryAt(info, file, ms), info.dataStart, audioEnd);
}

// The state of one run.
class DirectRun {
  public:
    DirectRun(std::FILE* output, const std::string& outputPath, JobHost& host,
              const DirectMergeOptions& options)
        : output_(output),
          outputPath_(outputPath),
          host_(host),
          bufferSize_(std::max<std::size_t>(options.bufferBytes, 1)),
          // Left uninitialised: pages the copy never uses cost nothing.
          buffer_(new std::uint8_t[bufferSize_]) {}

    bool Write(const std::uint8_t* data, std::size_t size) {
        if (size != 0 && std::fwrite(data, 1, size, output_) != size) {
            host_.ShowMessage(MessageKind::Error,
                              UserMessage(Msg::CannotWriteFile, outputPath_).WithReason(errno));
            result_ = MergeResult::Failed;
            return false;
        }
        return true;
    }

    // Copies source bytes [from, to) to the output, counting frames when asked; returns the
    // bytes copied.
    std::uint64_t Copy(std::FILE* source, std::uint64_t from, std::uint64_t to,
                       FrameCounter* counter) {
        if (to <= from)
            return 0;
        std::uint64_t copied = 0;
        copyFrom_ = from;
        copyTo_ = to;
        if (!counter && KernelCopy(source, from, to, copied))
            return copied;
        return copied + BufferedCopy(source, from + copied, to, counter);
    }

    // Writes `seconds` of silence as silent frames of the stream of `firstHeader`; returns the
    // frames and bytes written.
    void Silence(std::uint32_t firstHeader, int seconds, std::uint64_t& frames,
                 std::uint64_t& bytes) {
        std::vector<std::uint8_t> frame = SilentFrame(firstHeader);
        if (frame.empty())
            return;
        std::uint32_t count = SilentFrameCount(firstHeader, seconds);
        std::size_t perBlock = std::max<std::size_t>(1, bufferSize_ / frame.size());
        for (std::uint32_t done = 0; done < count && result_ == MergeResult::Done;) {
            std::size_t n = std::min<std::size_t>(perBlock, count - done);
            for (std::size_t k = 0; k < n; ++k)
                std::memcpy(buffer_.get() + k * frame.size(), frame.data(), frame.size());
            if (!Write(buffer_.get(), n * frame.size()))
                break;
            done += static_cast<std::uint32_t>(n);
            frames += n;
            bytes += n * frame.size();
        }
    }

    MergeResult& Result() { return result_; }

  private:
    // Lets the kernel copy from file to file, without passing the bytes through this process,
    // in chunks of the buffer's size. False (with `copied` telling how far it got) when the
    // file systems do not allow it; the caller copies the rest itself.
    bool KernelCopy(std::FILE* source, std::uint64_t from, std::uint64_t to,
                    std::uint64_t& copied) {
        if (std::fflush(output_) != 0)
            return false;
        const int in = ::fileno(source);
        const int out = ::fileno(output_);
        auto inOffset = static_cast<off_t>(from);
        bool done = true;
        while (from + copied < to && result_ == MergeResult::Done) {
            std::size_t request =
                static_cast<std::size_t>(std::min<std::uint64_t>(to - from - copied, bufferSize_));
            ssize_t n = ::copy_file_range(in, &inOffset, out, nullptr, request, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                if (copied > 0 || (errno != EXDEV && errno != EINVAL && errno != ENOSYS &&
                                   errno != EOPNOTSUPP && errno != EBADF)) {
                    host_.ShowMessage(
                        MessageKind::Error,
                        UserMessage(Msg::CannotWriteFile, outputPath_).WithReason(errno));
                    result_ = MergeResult::Failed;
                } else {
                    done = false;
                }
                break;
            }
            if (n == 0)
                break;
            copied += static_cast<std::uint64_t>(n);
            ReportProgress(from + copied);
            if (StopConfirmed(host_))
                result_ = MergeResult::Stopped;
        }
        // The stream goes on where the kernel left the file.
        off_t end = ::lseek(out, 0, SEEK_CUR);
        if (end < 0 || ::fseeko(output_, end, SEEK_SET) != 0) {
            if (result_ == MergeResult::Done) {
                host_.ShowMessage(MessageKind::Error,
                                  UserMessage(Msg::CannotWriteFile, outputPath_).WithReason(errno));
                result_ = MergeResult::Failed;
            }
        }
        return done;
    }

    std::uint64_t BufferedCopy(std::FILE* source, std::uint64_t from, std::uint64_t to,
                               FrameCounter* counter) {
        const std::uint64_t start = from;
        if (to <= from || ::fseeko(source, static_cast<off_t>(from), SEEK_SET) != 0)
            return 0;
        while (from < to && result_ == MergeResult::Done) {
            std::size_t request =
                static_cast<std::size_t>(std::min<std::uint64_t>(to - from, bufferSize_));
            std::size_t got = std::fread(buffer_.get(), 1, request, source);
            if (got == 0)
                break;
            if (!Write(buffer_.get(), got))
                break;
            if (counter)
                counter->Feed(buffer_.get(), got);
            from += got;
            ReportProgress(from);
            if (StopConfirmed(host_))
                result_ = MergeResult::Stopped;
            if (got < request)
                break;
        }
        return from - start;
    }

    // How far the copy of the current file has come, for a file that takes long.
    void ReportProgress(std::uint64_t position) {
        host_.SetFileProgress(position - copyFrom_, copyTo_ - copyFrom_);
    }

    std::FILE* output_;
    std::uint64_t copyFrom_ = 0, copyTo_ = 0;
    const std::string& outputPath_;
    JobHost& host_;
    std::size_t bufferSize_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    MergeResult result_ = MergeResult::Done;
};

}  // namespace

MergeResult DirectMerge(const std::vector<MergeSource>& sources, std::FILE* output,
                        const std::string& outputPath, const TagInfo& tags, JobHost& host,
                        const DirectMergeOptions& options) {
    DirectRun run(output, outputPath, host, options);
    if (options.pieces)
        options.pieces->clear();
    if (tags.writeId3v2) {
        std::vector<std::uint8_t> tag = MakeId3v2Tag(tags);
        if (!run.Write(tag.data(), tag.size()))
            return run.Result();
    }

    // The header frame of the first source, when it has one: where it landed in the output and
    // its bytes, rewritten at the end for the frames written after it (their offsets from it).
    bool pending = false;
    VbrHeaderType pendingType = VbrHeaderType::None;
    std::int64_t pendingOffset = 0;
    std::uint64_t pendingTagOffset = 0;
    std::vector<std::uint8_t> pendingFrame;
    std::vector<std::uint64_t> frameStarts;
    GaplessEnds ends;
    std::uint64_t totalBytes = 0;
    // The bitrate index of every frame after the header frame: 0 none yet, -1 more than one.
    int bitrateIndex = 0;
    auto noteBitrate = [&bitrateIndex](int index) {
        if (index < 0 || (bitrateIndex != 0 && index != 0 && index != bitrateIndex))
            bitrateIndex = -1;
        else if (bitrateIndex == 0)
            bitrateIndex = index;
    };

    const std::size_t n = sources.size();
    host.SetProgress(0, n);
    for (std::size_t i = 0; i < n && run.Result() == MergeResult::Done; ++i) {
        const MergeSource& source = sources[i];
        host.SetStatus(MergeStatusText(i, n, source));
        MpegAnalysis info({}, options.legacyCodePage);
        FilePtr file;
        Opened opened = OpenSource(source, info, file, host);
        if (opened == Opened::Abort) {
            run.Result() = MergeResult::Stopped;
            break;
        }
        if (opened == Opened::Skip) {
            host.SetProgress(i + 1, n);
            continue;
        }

        const std::uint64_t audioEnd = info.audioEnd;
        std::uint64_t from = std::min(info.dataStart, audioEnd);
        std::uint64_t to = audioEnd;
        const PartialRange& range = source.range;
        if (range.startMs > 0)
            from = FrameStartAt(info, range.startMs, audioEnd);
        if (range.endMs > 0 && range.startMs < range.endMs)
            to = std::max(from, FrameStartAt(info, range.endMs, audioEnd));

        if (i == 0 && info.vbrType != VbrHeaderType::None && info.dataStart > info.vbrFramePos) {
            // The header frame first, whatever the range; it is rewritten at the end.
            std::vector<std::uint8_t> frame(info.dataStart - info.vbrFramePos);
            std::uint64_t tagOffset = info.vbrTagPos - info.vbrFramePos;
            std::int64_t here = ::ftello(output);
            if (::fseeko(file.get(), static_cast<off_t>(info.vbrFramePos), SEEK_SET) == 0 &&
                std::fread(frame.data(), 1, frame.size(), file.get()) == frame.size() &&
                tagOffset + kVbrTagBytes <= frame.size() && here >= 0) {
                if (!run.Write(frame.data(), frame.size()))
                    break;
                pending = true;
                pendingType = info.vbrType;
                pendingOffset = here;
                pendingTagOffset = tagOffset;
                pendingFrame = std::move(frame);
                totalBytes += pendingFrame.size();
                ends.First(info, from);
            }
        }

        std::uint64_t copied = 0;
        std::uint64_t framesCopied = 0;
        if (pending) {
            FrameCounter counter(info.firstHeader, &frameStarts, totalBytes);
            copied = run.Copy(file.get(), from, to, &counter);
            totalBytes += copied;
            noteBitrate(counter.BitrateIndex());
            ends.Next(info, to, source.silenceSeconds);
            framesCopied = counter.Frames();
        } else if (options.pieces) {
            FrameCounter counter(info.firstHeader);
            copied = run.Copy(file.get(), from, to, &counter);
            framesCopied = counter.Frames();
        } else {
            copied = run.Copy(file.get(), from, to, nullptr);
        }
        file.reset();
        if (run.Result() == MergeResult::Done && copied < to - from) {
            // The file ended early: it shrank since it was analysed.
            host.ShowMessage(MessageKind::Error, {Msg::CannotLoadFile, source.path});
            run.Result() = MergeResult::Failed;
        }

        std::uint64_t silentFrames = 0;
        if (run.Result() == MergeResult::Done && source.silenceSeconds > 0) {
            const std::uint64_t before = totalBytes;
            run.Silence(info.firstHeader, source.silenceSeconds, silentFrames, totalBytes);
            const std::uint64_t size = SilentFrame(info.firstHeader).size();
            for (std::uint64_t at = before; pending && size > 0 && at < totalBytes; at += size)
                frameStarts.push_back(at);
            if (totalBytes > before)
                noteBitrate(static_cast<int>((info.firstHeader >> 12) & 0xF));
        }
        if (options.pieces && run.Result() == MergeResult::Done) {
            const FrameHeaderInfo header = DecodeHeader(info.firstHeader);
            const double frameMs =
                header.sampleRate > 0 ? 1000.0 * SamplesPerFrame(header) / header.sampleRate : 0;
            options.pieces->push_back({i, static_cast<double>(framesCopied) * frameMs,
                                       static_cast<double>(silentFrames) * frameMs});
        }
        host.SetProgress(i + 1, n);
    }

    if (run.Result() == MergeResult::Done && pending) {
        // "Info" marks a stream of one bitrate; readers take its duration and seek points from
        // that bitrate, so a join of several bitrates says "Xing".
        std::uint8_t* tag = pendingFrame.data() + pendingTagOffset;
        if (pendingType == VbrHeaderType::Xing && bitrateIndex < 0 &&
            std::memcmp(tag, "Info", 4) == 0) {
            std::memcpy(tag, "Xing", 4);
        }
        FinishHeaderFrame(pendingFrame, pendingTagOffset, pendingType,
                          {frameStarts, totalBytes, ends.Delay(), ends.Padding()});
        if (::fseeko(output, static_cast<off_t>(pendingOffset), SEEK_SET) != 0 ||
            !run.Write(pendingFrame.data(), pendingFrame.size()) ||
            ::fseeko(output, 0, SEEK_END) != 0) {
            if (run.Result() == MergeResult::Done) {
                host.ShowMessage(MessageKind::Error,
                                 UserMessage(Msg::CannotWriteFile, outputPath).WithReason(errno));
                run.Result() = MergeResult::Failed;
            }
        }
    }
    return run.Result();
}

}  // namespace partita
