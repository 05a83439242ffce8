#include "help_manual.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace partita::gui {

QString FindManual(const QString& installPath, const QString& programFolder, Language language) {
    QStringList folders;
    if (!installPath.isEmpty())
        folders << QDir(installPath).filePath("manual");
    folders << QDir(programFolder).filePath("manual")
            << QDir(programFolder).filePath("../share/partita-studio/manual");
    QStringList languages =
        language == Language::Chinese ? QStringList{"zh_CN", "en"} : QStringList{"en", "zh_CN"};
    for (const QString& folder : folders) {
        for (const QString& name : languages) {
            QString page = QDir(folder).filePath(name + "/index.html");
            if (QFileInfo(page).isFile())
                return QDir::cleanPath(QFileInfo(page).absoluteFilePath());
        }
    }
    return QDir::cleanPath(QDir(folders.front()).filePath(languages.front() + "/index.html"));
}

}  // namespace partita::gui
