#include "split/stream_peak_source.h"

#include <algorithm>

#include "audio/audio_engine.h"
#include "audio/open_error.h"

namespace partita {

bool StreamPeakSource::NextBlock(PeakBlock& block) {
    audio::PeakLevel level;
    if (!stream_->ReadPeakLevel(level))
        return false;
    block.peak = std::max(level.left, level.right);
    block.endMs = stream_->PositionMs();
    return true;
}

std::unique_ptr<StreamPeakSource> OpenPeakSource(const std::string& path, bool prescan,
                                                 UserMessage* failure) {
    audio::OpenOptions options;
    options.prescan = prescan;
    audio::OpenResult opened = audio::OpenAudioStream(path, options);
    if (!opened) {
        if (failure)
            *failure = audio::OpenErrorMessage(path, opened.error);
        return nullptr;
    }
    return std::make_unique<StreamPeakSource>(std::move(opened.stream));
}

}  // namespace partita
