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

QUrl ManualPageUrl(const QString& indexPath, ManualPage page) {
    struct Place {
        const char* file;
        const char* fragment;
    };
    static constexpr Place kPlaces[] = {
        {"splitter.html", nullptr}, {"joiner.html", nullptr}, {"index.html", "settings"}};
    const Place& place = kPlaces[static_cast<int>(page)];
    QString path = QFileInfo(indexPath).dir().filePath(place.file);
    if (!QFileInfo(path).isFile())
        return QUrl::fromLocalFile(indexPath);
    QUrl url = QUrl::fromLocalFile(QDir::cleanPath(path));
    if (place.fragment)
        url.setFragment(place.fragment);
    return url;
}

}  // namespace partita::gui
