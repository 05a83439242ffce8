#include "audio_layer_hooks.h"

#include <QAudioDevice>
#include <QMediaDevices>

namespace partita::gui {

bool AudioLayerHooks::HasAudioOutputDevice() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

}  // namespace partita::gui
