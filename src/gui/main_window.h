#pragma once

#include <QMainWindow>
#include <QUrl>
#include <array>
#include <functional>

#include "app/action_command_line.h"
#include "options_dialog.h"
#include "page.h"

class QButtonGroup;
class QLabel;
class QStackedWidget;

namespace partita::gui {

class SettingsAboutPage;

// What the main window is built from besides the settings and the message boxes.
struct MainWindowOptions {
    PageMaker splitPage = CreateSplitPage;
    PageMaker joinerPage = CreateJoinerPage;
    // The start-up command line ("-a SPLIT|MERGE -s PATH").
    ActionCommand command;
    // False when the machine has no audio output device.
    bool previewAvailable = true;
    // The manual's start page, opened by F1.
    QString helpFilePath;
    std::function<bool(const QUrl&)> openUrl;  // empty: the desktop's browser
    QString settingsLocation;
    FolderPicker folderPicker = PickFolderWithDialog;
    // The desktop a stored placement is clamped to; empty: the screens' combined area.
    QRect desktop;
};

// The main window: three panes on one spot (splitter 0, joiner 1, settings/about 2) of which
// one is visible, the pane buttons above them and a one-pane status bar below.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    enum Panel { kSplitter = 0, kJoiner = 1, kSettings = 2, kPanelCount = 3 };

    MainWindow(SettingsStore& settings, UserMessages& messages, MainWindowOptions options,
               QWidget* parent = nullptr);

    // Shows one pane (any number but 0, 1 and 2 means 0), gives it the focus and stores its
    // number as "Initial Panel".
    void ShowPanel(int panel);
    int CurrentPanel() const { return currentPanel_; }
    // F9: splitter → settings/about → joiner → splitter.
    void StepPanel();
    // F1: opens the manual in the desktop's browser.
    void ShowHelp();

    Page* PageAt(int panel) const { return pages_.at(static_cast<std::size_t>(panel)); }
    SettingsAboutPage* SettingsPage() const;
    QString StatusBarText() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void RestorePlacement();
    void UpdateStatusBar();

    SettingsStore& settings_;
    UserMessages& messages_;
    MainWindowOptions options_;
    std::array<Page*, kPanelCount> pages_{};
    QStackedWidget* stack_;
    QButtonGroup* buttons_;
    QLabel* status_;
    int currentPanel_ = kSplitter;
};

}  // namespace partita::gui
