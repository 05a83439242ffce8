#pragma once

#include <functional>

namespace partita::gui {

// The program's ties to the audio layer at start and end. The layer is loaded before the main
// window opens; when that fails the program shows AudioModuleFailed and ends. A machine without an
// audio output device still runs: only preview is turned off.
struct AudioLayerHooks {
    // Loads and checks the audio layer; false ends the program.
    std::function<bool()> load = [] { return true; };
    // Releases the audio layer when the window has closed.
    std::function<void()> release = [] {};
    // Whether an audio output device exists.
    std::function<bool()> hasOutput = HasAudioOutputDevice;

    static bool HasAudioOutputDevice();
};

}  // namespace partita::gui
