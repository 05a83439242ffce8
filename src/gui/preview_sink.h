#pragma once

#include <cstdint>
#include <memory>

#include "audio/audio_stream.h"
#include "playback_feed.h"

namespace partita::gui {

// Where preview PCM is heard. The player hands it a source to pull from and asks how much of
// it has been heard; the program's sink plays on the default output device, tests use one whose
// pace they set.
class PreviewSink {
  public:
    virtual ~PreviewSink() = default;

    // Whether there is an output to play on; without one, preview is off.
    virtual bool Available() const = 0;
    // The PCM this sink plays for a source of `source`'s shape: the same where the output takes
    // it, else one it takes (the stream then converts).
    virtual audio::PcmFormat FormatFor(const audio::PcmFormat& source) const { return source; }
    // Starts pulling PCM of `format` from `source` at the output's pace, from nothing heard;
    // false when the output refuses.
    virtual bool Start(const audio::PcmFormat& format, PcmSource& source) = 0;
    // Stops at once; what was pulled and not yet heard is dropped.
    virtual void Stop() = 0;
    virtual void SetPaused(bool paused) = 0;
    // Sample frames heard since Start.
    virtual std::uint64_t PlayedFrames() const = 0;
    // The source has ended and all it gave has been heard.
    virtual bool Drained() const = 0;
};

// The sink on the system's default audio output (Qt Multimedia); unavailable when the machine
// has no output device.
std::unique_ptr<PreviewSink> MakeDeviceSink();

}  // namespace partita::gui
