#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "page.h"
#include "settings_location.h"
#include "support/test_support.h"
#include "user_messages.h"

class QDialog;

namespace partita::gui::test {

// Records the message boxes instead of showing them.
class RecordedMessages : public UserMessages {
  public:
    void Show(QWidget* parent, Icon icon, const QString& text) override {
        (void)parent;
        shown.emplace_back(icon, text);
    }
    std::vector<std::pair<Icon, QString>> shown;
};

// A working page whose hooks record what the window hands them.
class RecordingPage : public Page {
  public:
    RecordingPage(CommandAction takes, QWidget* parent) : Page(parent), takes_(takes) {
        setFocusPolicy(Qt::StrongFocus);
    }
    bool IsBusy() const override { return busy; }
    bool ApplyCommand(CommandAction action, const std::string& source) override {
        commands.emplace_back(action, source);
        return action == takes_ && !source.empty();
    }
    void SetPreviewAvailable(bool available) override { previewAvailable = available; }
    void SaveState() override { ++saveStateCalls; }
    void Status(const QString& text) { SetStatusText(text); }

    bool busy = false;
    bool previewAvailable = true;
    int saveStateCalls = 0;
    std::vector<std::pair<CommandAction, std::string>> commands;

  private:
    CommandAction takes_;
};

// A test's own settings INI file (never the user's settings).
class IniFileTest : public partita::test::TempDirTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string IniPath() const { return (dir / "settings.ini").string(); }
    // Opens the INI file afresh, as a new start of the program does.
    std::unique_ptr<ProgramSettings> OpenSettings(const std::vector<std::string>& overrides = {});
};

// Every column header of `widget`'s item views shows its whole text.
void ExpectWholeColumnNames(QWidget* widget);

// A folder in the build tree for pictures the tests take.
std::string ScreenshotFolder();

// Checks a dialog that is shown as every dialog's picture test does: every control a user can
// reach has a name, every button and tick has a key of its own (a default button that Enter
// presses may have none), and its picture is saved as dialog_<name>_<suffix>.png.
void CheckAndPictureDialog(QDialog* dialog, const QString& name, const QString& suffix,
                           bool accessKeys = true);

// A dialog's picture name and how to make it.
using NamedDialog = std::pair<const char*, std::function<QDialog*()>>;
// Shows every dialog in Chinese and in English and checks and pictures it as above; with
// `accessKeys` false, buttons may keep their exact texts without keys.
void CheckAndPictureDialogs(std::span<const NamedDialog> dialogs, bool accessKeys = true);

}  // namespace partita::gui::test
