#include <QApplication>

#include "audio/audio_engine.h"
#include "program_startup.h"
#include "user_messages.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes the options Qt knows out of argv
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    partita::gui::MessageBoxes messages;
    // The decoding layer is loaded and checked before the window opens.
    partita::gui::AudioLayerHooks audio;
    audio.load = [] { return partita::audio::CheckAudioEngine().ok(); };
    partita::gui::ProgramStartup studio(audio, messages);
    if (std::optional<int> code = studio.Start(QString::fromLocal8Bit(argv[0]), arguments))
        return *code;
    return studio.Run();
}
