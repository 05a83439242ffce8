#include "main_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "help_manual.h"
#include "program_info.h"
#include "settings_about_page.h"
#include "ui_text.h"
#include "user_messages.h"
#include "window_placement.h"

namespace partita::gui {
namespace {

QRect DesktopArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, UserMessages& messages, MainWindowOptions options,
                       QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      messages_(messages),
      options_(std::move(options)),
      stack_(new QStackedWidget(this)),
      buttons_(new QButtonGroup(this)),
      status_(new QLabel(this)) {
    setWindowTitle(WindowTitle());
    setWindowIcon(ProgramIcon());
    status_->setObjectName("StatusText");
    // Long texts are cut at the window's edge instead of widening the window past the screen.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(status_, 1);

    // The pane buttons, in the order of the panes.
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* buttonRow = new QHBoxLayout;
    for (int panel = 0; panel < kPanelCount; ++panel) {
        static constexpr Msg kButtonText[kPanelCount] = {Msg::SplitterPanel, Msg::JoinerPanel,
                                                         Msg::SettingsPanel};
        auto* button = new QToolButton(central);
        button->setText(MessageText(kButtonText[panel]));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(120);
        button->setObjectName(QStringLiteral("PanelButton%1").arg(panel));
        buttons_->addButton(button, panel);
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch(1);
    buttons_->setExclusive(true);
    connect(buttons_, &QButtonGroup::idClicked, this, &MainWindow::ShowPanel);
    layout->addLayout(buttonRow);
    layout->addWidget(stack_, 1);
    setCentralWidget(central);

    PageContext context{settings_, messages_};
    pages_[kSplitter] = options_.splitPage(context, stack_);
    pages_[kJoiner] = options_.joinerPage(context, stack_);
    auto* settingsPage =
        new SettingsAboutPage(context, options_.settingsLocation, stack_, options_.folderPicker);
    connect(settingsPage, &SettingsAboutPage::HelpRequested, this, &MainWindow::ShowHelp);
    pages_[kSettings] = settingsPage;
    for (Page* page : pages_) {
        stack_->addWidget(page);
        page->SetPreviewAvailable(options_.previewAvailable);
        connect(page, &Page::StatusTextChanged, this, &MainWindow::UpdateStatusBar);
    }

    auto* stepPanel = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(stepPanel, &QShortcut::activated, this, &MainWindow::StepPanel);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &MainWindow::ShowHelp);

    RestorePlacement();

    // The first pane: the stored one, or the one that took the command line's source; a MERGE
    // command line always opens the joiner.
    int panel = settings::InitialPanel.Read(settings_);
    const ActionCommand& command = options_.command;
    for (int working : {kSplitter, kJoiner}) {
        if (pages_[static_cast<std::size_t>(working)]->ApplyCommand(command.action, command.source))
            panel = working;
    }
    if (command.action == CommandAction::Merge)
        panel = kJoiner;
    ShowPanel(panel);
}

SettingsAboutPage* MainWindow::SettingsPage() const {
    return static_cast<SettingsAboutPage*>(pages_[kSettings]);
}

void MainWindow::ShowPanel(int panel) {
    if (panel < 0 || panel >= kPanelCount)
        panel = kSplitter;
    currentPanel_ = panel;
    Page* page = PageAt(panel);
    stack_->setCurrentWidget(page);
    buttons_->button(panel)->setChecked(true);
    page->setFocus(Qt::OtherFocusReason);
    settings::InitialPanel.Write(settings_, panel);
    UpdateStatusBar();
}

void MainWindow::StepPanel() {
    static constexpr int kNext[kPanelCount] = {kSettings, kSplitter, kJoiner};
    ShowPanel(kNext[currentPanel_]);
}

void MainWindow::ShowHelp() {
    const QString& path = options_.helpFilePath;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        messages_.Show(this, UserMessages::Icon::Warning, Text(UiText::ManualMissing).arg(path));
        return;
    }
    static constexpr ManualPage kPages[kPanelCount] = {ManualPage::Splitter, ManualPage::Joiner,
                                                       ManualPage::Settings};
    QUrl url = ManualPageUrl(path, kPages[currentPanel_]);
    bool opened = options_.openUrl ? options_.openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        messages_.Show(this, UserMessages::Icon::Warning, Text(UiText::ManualNotOpened).arg(path));
}

QString MainWindow::StatusBarText() const {
    return status_->text();
}

void MainWindow::UpdateStatusBar() {
    QStringList parts;
    if (!PageAt(currentPanel_)->StatusText().isEmpty())
        parts << PageAt(currentPanel_)->StatusText();
    if (!options_.previewAvailable)
        parts << Text(UiText::NoAudioOutput);
    status_->setText(parts.join(QStringLiteral("  |  ")));
}

void MainWindow::RestorePlacement() {
    QRect desktop = options_.desktop.isEmpty() ? DesktopArea() : options_.desktop;
    std::optional<QRect> geometry = RestoredGeometry(ReadPlacement(settings_), desktop);
    if (!geometry) {
        resize(900, 620);
        return;
    }
    move(geometry->topLeft());
    resize(geometry->size());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    for (Page* page : pages_) {
        if (page->IsBusy()) {
            messages_.Show(this, UserMessages::Icon::Information, Msg::JobRunningOnExit);
            event->ignore();
            return;
        }
    }
    if (!isMinimized()) {
        // A maximised window stores the place it returns to; positions are the frame's.
        QRect normal(pos(), size());
        if (isMaximized())
            normal = normalGeometry().translated(pos() - geometry().topLeft());
        StorePlacement(settings_, {normal.x(), normal.y(), normal.width(), normal.height()});
    }
    for (Page* page : pages_)
        page->SaveState();
    event->accept();
}

}  // namespace partita::gui
