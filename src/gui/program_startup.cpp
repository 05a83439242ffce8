#include "program_startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "app/setting_values.h"
#include "app/string_table.h"
#include "desktop_man_page.h"
#include "help_manual.h"
#include "program_info.h"
#include "settings_location.h"
#include "startup_arguments.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintLine(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

ProgramStartup::ProgramStartup(AudioLayerHooks audio, UserMessages& messages)
    : audio_(std::move(audio)), messages_(messages) {}

ProgramStartup::~ProgramStartup() {
    if (qtTranslator_)
        QCoreApplication::removeTranslator(qtTranslator_.get());
}

SettingsStore& ProgramStartup::Settings() {
    return settings_->Store();
}

std::optional<int> ProgramStartup::Start(const QString& programPath, const QStringList& arguments) {
    StartupArguments parsed = ParseStartupArguments(arguments);
    if (parsed.manPage) {
        std::fputs(DesktopManPage().c_str(), stdout);
        return 0;
    }

    // The settings: the per-user store named after the program, or the file of --settings.
    std::string badOverride;
    settings_ = ProgramSettings::Open(ProgramBaseName(programPath.toStdString()),
                                      parsed.settingsFile, parsed.overrides, &badOverride);

    // The language: --lang, else the setting, else the locale.
    std::string language = parsed.language;
    if (language.empty() && settings_)
        language = settings::Language.Read(settings_->Store());
    SetCurrentLanguage(ResolveLanguage(language, QLocale::system().name().toStdString()));
    if (CurrentLanguage() == Language::Chinese && QCoreApplication::instance()) {
        qtTranslator_ = std::make_unique<QTranslator>();
        if (qtTranslator_->load(QStringLiteral("qtbase_zh_CN"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qtTranslator_.get());
    }

    // The manual lives under the install folder when the installer recorded one, else beside
    // the program.
    QString installPath = settings_ ? ToQString(settings::InstallPath.Read(Settings())) : "";
    helpFilePath_ =
        FindManual(installPath, QFileInfo(programPath).absolutePath(), CurrentLanguage());

    if (parsed.help || parsed.version) {
        QString answer = parsed.version ? WindowTitle()
                                        : Text(UiText::UsageText) + '\n' +
                                              Text(UiText::ManualPlace).arg(helpFilePath_);
        std::printf("%s\n", answer.toLocal8Bit().constData());
        return 0;
    }
    if (!parsed.error.empty()) {
        PrintLine(ToQString(parsed.error));
        PrintLine(Text(UiText::UsageText));
        return kExitUsage;
    }
    if (!settings_) {
        PrintLine(Text(UiText::BadOverride).arg(ToQString(badOverride)));
        return kExitUsage;
    }

    command_ = ParseActionCommandLine(parsed.commandLine);
    startFolder_ = QDir::currentPath();

    if (!audio_.load()) {
        messages_.Show(nullptr, UserMessages::Icon::Error, Msg::AudioModuleFailed);
        return kExitFailure;
    }
    previewAvailable_ = audio_.hasOutput();
    return std::nullopt;
}

std::unique_ptr<MainWindow> ProgramStartup::MakeWindow(MainWindowOptions options) {
    options.command = command_;
    options.previewAvailable = previewAvailable_;
    options.helpFilePath = helpFilePath_;
    options.settingsLocation = settings_->Backing().Location();
    return std::make_unique<MainWindow>(Settings(), messages_, std::move(options));
}

int ProgramStartup::Run() {
    QApplication::setWindowIcon(ProgramIcon());
    int code = 0;
    {
        std::unique_ptr<MainWindow> window = MakeWindow();
        window->show();
        code = QApplication::exec();
    }
    audio_.release();
    if (!settings_->Backing().Sync())
        code = code == 0 ? kExitFailure : code;
    return code;
}

}  // namespace partita::gui
