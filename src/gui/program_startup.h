#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "app/action_command_line.h"
#include "audio_layer_hooks.h"
#include "main_window.h"

class QTranslator;

namespace partita {
class ProgramSettings;
}

namespace partita::gui {

class UserMessages;

// The program's start: the settings location, the language, the command line, the manual's
// place and the audio layer, then the main window until it closes.
class ProgramStartup {
  public:
    ProgramStartup(AudioLayerHooks audio, UserMessages& messages);
    ~ProgramStartup();

    // Everything before the window. `arguments` are the program's arguments after its path,
    // without the options Qt took; `programPath` is the program file. Returns the exit code
    // when the program ends here (help, bad options, the audio layer failing to load).
    std::optional<int> Start(const QString& programPath, const QStringList& arguments);
    // Builds the main window from what Start gathered.
    std::unique_ptr<MainWindow> MakeWindow(MainWindowOptions options = {});
    // Shows the window and runs until it closes; then releases the audio layer and writes
    // the settings out. Returns the exit code.
    int Run();

    const ActionCommand& Command() const { return command_; }
    CommandAction CommandActionValue() const { return command_.action; }
    const std::string& CommandSource() const { return command_.source; }
    const QString& StartFolder() const { return startFolder_; }
    const QString& HelpFilePath() const { return helpFilePath_; }
    bool PreviewAvailable() const { return previewAvailable_; }
    SettingsStore& Settings();

  private:
    AudioLayerHooks audio_;
    UserMessages& messages_;
    std::unique_ptr<ProgramSettings> settings_;
    std::unique_ptr<QTranslator> qtTranslator_;
    ActionCommand command_;
    QString startFolder_;
    QString helpFilePath_;
    bool previewAvailable_ = true;
};

}  // namespace partita::gui
