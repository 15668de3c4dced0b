#include "core/files/desktopplaces.h"

#include "core/settings/drives.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TDesktopPlaces", text);
}

QString cleanFolder(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

bool isShownVolume(int kind)
{
    return kind == dkRemovable || kind == dkCDRom || kind == dkNetwork;
}

} // namespace

TStandardFolders TStandardFolders::OfUser()
{
    TStandardFolders folders;
    folders.Home = QDir::homePath();
    folders.Music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    folders.Desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return folders;
}

QList<TDesktopPlace> DesktopPlaces(const TStandardFolders &folders, const TMountTable &mounts)
{
    QList<TDesktopPlace> places;
    const QString home = cleanFolder(folders.Home);
    if (!home.isEmpty())
        places.append({tr("Home"), home, dkFixed});
    // Without their own folder the system names home as music and desktop
    // folder: home is listed once.
    const std::pair<QString, QString> standard[] = {{tr("Music"), cleanFolder(folders.Music)},
                                                    {tr("Desktop"), cleanFolder(folders.Desktop)}};
    for (const auto &[name, path] : standard) {
        if (!path.isEmpty() && path != home && QFileInfo(path).isDir())
            places.append({name, path, dkFixed});
    }
    places.append({tr("File System"), QStringLiteral("/"), dkFixed});
    for (const TMountInfo &mount : mounts.Mounts()) {
        const int kind = DriveKindOfMount(mount);
        const QString root = cleanFolder(mount.RootPath);
        if (isShownVolume(kind) && root != QStringLiteral("/"))
            places.append({VolumeNameOfMount(mount), root, kind});
    }
    return places;
}

bool IsPathWithin(const QString &path, const QString &folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    const QString p = QDir::cleanPath(path);
    const QString f = QDir::cleanPath(folder);
    if (p == f || f == QStringLiteral("/"))
        return p.startsWith(QLatin1Char('/')) || p == f;
    return p.startsWith(f) && p.at(f.size()) == QLatin1Char('/');
}
