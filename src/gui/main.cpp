#include <QApplication>

#include "audio/audio_engine.h"
#include "program_startup.h"
#include "startup_arguments.h"
#include "user_messages.h"

int main(int argc, char** argv) {
    auto programArguments = [&] {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        return arguments;
    };
    // An answer printed on the terminal (--help, --version) needs no display.
    if (partita::gui::ParseStartupArguments(programArguments()).PrintsOnly())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);  // takes the options Qt knows out of argv
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PARTITA_APP_ID));
    QStringList arguments = programArguments();

    partita::gui::MessageBoxes messages;
    // The decoding layer is loaded and checked before the window opens.
    partita::gui::AudioLayerHooks audio;
    audio.load = [] { return partita::audio::CheckAudioEngine().ok(); };
    partita::gui::ProgramStartup studio(audio, messages);
    // The program's own file, also when PATH found it: its manual is looked for beside it.
    if (std::optional<int> code = studio.Start(QCoreApplication::applicationFilePath(), arguments))
        return *code;
    return studio.Run();
}
