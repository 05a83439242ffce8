#include "split/silence_detector.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/job_host.h"
#include "app/user_message.h"

namespace partita {
namespace {

// The block length the detection takes each reading to cover.
constexpr std::uint64_t kBlockMs = 20;
// Sound has to last longer than this to end a silence.
constexpr std::uint64_t kSoundMs = 40;
// The most a split point is placed before the sound that ends a silence.
constexpr std::uint64_t kMaxPreRollMs = 300;

}  // namespace

SilenceOptions SilenceOptions::Clamped() const {
    SilenceOptions options = *this;
    options.levelTenthsDb = std::clamp(levelTenthsDb, 100, 900);
    options.minLengthMs = std::clamp(minLengthMs, 100, 10000);
    return options;
}

double PeakLevelDb(std::uint32_t peak) {
    if (peak == 0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(static_cast<double>(peak)) - 91.0;
}

SilenceScan DetectSilence(PeakBlockSource& source, const SilenceOptions& options, JobHost& host,
                          const std::string& fileName) {
    const double threshold = -options.levelTenthsDb / 10.0;
    const std::uint64_t minLength = static_cast<std::uint64_t>(std::max(options.minLengthMs, 0));
    const std::uint64_t preRoll = std::min(minLength, kMaxPreRollMs);
    const std::uint64_t total = source.LengthMs();

    // The level of a peak only depends on the peak: remember the two answers per peak value
    // seen last, as consecutive blocks of quiet or steady audio repeat their peaks.
    std::uint32_t lastPeak = std::numeric_limits<std::uint32_t>::max();
    double lastLevel = 0;

    SilenceScan scan;
    bool inSilence = false;
    bool silenceCandidate = false;
    bool soundCandidate = false;
    std::uint64_t silenceStart = 0;
    std::uint64_t soundStart = 0;
    std::uint64_t shownPercent = std::numeric_limits<std::uint64_t>::max();

    host.SetProgress(0, 100);
    host.SetStatus(Message(Msg::DetectingSilence, 0, fileName));
    PeakBlock block;
    while (source.NextBlock(block)) {
        if (block.peak != lastPeak) {
            lastPeak = block.peak;
            lastLevel = PeakLevelDb(block.peak);
        }
        const double level = lastLevel;
        const std::uint64_t t = block.endMs;
        const std::uint64_t b = t > kBlockMs ? t - kBlockMs : 0;

        std::uint64_t percent = total ? std::min<std::uint64_t>(t * 100 / total, 100) : 0;
        if (percent != shownPercent) {
            shownPercent = percent;
            host.SetProgress(percent, 100);
        }

        if (!inSilence) {
            if (!silenceCandidate) {
                if (level <= threshold) {
                    silenceCandidate = true;
                    silenceStart = b;
                }
            } else if (level > threshold) {
                silenceCandidate = false;
            } else if (b - std::min(b, silenceStart) > minLength) {
                if (options.excludeSilence)
                    scan.points.push_back({silenceStart, true});
                inSilence = true;
                soundCandidate = false;
                ++scan.silenceCount;
                host.SetStatus(Message(Msg::DetectingSilence, scan.silenceCount, fileName));
            }
        } else {
            if (!soundCandidate) {
                if (level >= threshold) {
                    soundCandidate = true;
                    soundStart = b;
                }
            } else if (level < threshold) {
                soundCandidate = false;
            } else if (b - std::min(b, soundStart) > kSoundMs) {
                // A silence at the very start of the file stays in the first track unless
                // silences are left out.
                if (options.excludeSilence || silenceStart != 0)
                    scan.points.push_back({soundStart - std::min(soundStart, preRoll), false});
                inSilence = false;
                silenceCandidate = false;
            }
        }

        if (host.TakeStopRequest() && host.AskYesNo(Msg::ConfirmStopSilenceDetection)) {
            scan.completed = false;
            return scan;
        }
    }
    host.SetProgress(100, 100);
    return scan;
}

}  // namespace partita
