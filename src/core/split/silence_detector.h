#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace partita {

class JobHost;
class SettingsStore;

// One level reading of a decoded source: the peak of the block just decoded (the larger of the
// channels, on the 16-bit scale where full scale is 32768) and the position after it.
struct PeakBlock {
    std::uint32_t peak = 0;
    std::uint64_t endMs = 0;
};

// Peak readings of a source from its start, one block (20 ms) at a time.
class PeakBlockSource {
  public:
    virtual ~PeakBlockSource() = default;
    virtual std::uint64_t LengthMs() const = 0;
    // The next block; false at the end of the source or when decoding fails.
    virtual bool NextBlock(PeakBlock& block) = 0;
};

// The detection's settings (section "MP3 Splitter"; read and stored in split_options.cpp with
// the split side's other settings).
struct SilenceOptions {
    int levelTenthsDb = 300;  // threshold, tenths of a dB below full scale
    int minLengthMs = 1500;   // a quiet stretch counts once it is longer than this
    bool excludeSilence = false;

    static SilenceOptions Read(SettingsStore& store);
    // Keeps the values in the ranges the dialog allows: -90.0 to -10.0 dB, 100 to 10000 ms.
    SilenceOptions Clamped() const;
    void Write(SettingsStore& store) const;
};

// A split point to insert; `uncheck`: the track starting there is a left-out silence.
struct SilencePoint {
    std::uint64_t ms = 0;
    bool uncheck = false;
};

struct SilenceScan {
    std::vector<SilencePoint> points;  // in the order found, ascending
    int silenceCount = 0;
    bool completed = true;  // false when the user cancelled; the points found so far stand
};

// The level of a peak in dB as the detection measures it: 20·log10(peak) − 91, so full scale
// reads about −0.7 dB and a zero peak is minus infinity.
double PeakLevelDb(std::uint32_t peak);

// Finds the silences of a source. Without "Exclude Silence" every silence but one at the very
// start gives one point shortly (the minimum length, at most 0.3 s) before the sound resumes;
// with it, each silence also gets a point at its start that begins an unchecked track. A burst
// of sound of up to 40 ms inside a silence does not end it. Progress (percent), the status
// text (DetectingSilence with the count and `fileName`) and the cancel request (confirmed with
// ConfirmStopSilenceDetection) go through the host, once per block.
SilenceScan DetectSilence(PeakBlockSource& source, const SilenceOptions& options, JobHost& host,
                          const std::string& fileName);

}  // namespace partita
