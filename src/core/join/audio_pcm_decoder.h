#pragma once

#include "join/pcm_stream.h"

namespace partita {

// Sources of a convert merge decoded by the audio layer, converted to the output's rate and
// channel count.
class AudioPcmDecoder : public PcmDecoder {
  public:
    std::unique_ptr<PcmSource> Open(const std::string& path, int sampleRate, int channels,
                                    UserMessage& failure) override;
};

}  // namespace partita
