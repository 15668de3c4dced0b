#include "core/settings/drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

bool isUncPath(const QString &path)
{
    return path.startsWith(QLatin1String("\\\\"));
}

bool isDriveLetterPath(const QString &path)
{
    return path.size() >= 2 && path.at(1) == QLatin1Char(':');
}

bool hasType(const QString &type, std::initializer_list<const char *> types)
{
    for (const char *t : types)
        if (type.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isNetworkType(const QString &type)
{
    return hasType(type, {"nfs", "nfs4", "cifs", "smb3", "sshfs", "fuse.sshfs", "9p", "davfs"});
}

bool isUnderMediaFolder(const QString &rootPath)
{
    return rootPath.startsWith(QLatin1String("/media/")) || rootPath.startsWith(QLatin1String("/run/media/"));
}

// "//server/share" -> "server/share", "server:/export/music" -> "server/export/music".
QString networkShareName(const QString &device)
{
    QString name = device;
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const qsizetype rest = name.mid(colon + 1).startsWith(QLatin1Char('/')) ? colon + 2 : colon + 1;
        name = name.left(colon) + QLatin1Char('/') + name.mid(rest);
    }
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name;
}

// "\\server\share\dir\a.mp3" -> "server\share"
QString uncVolumeName(const QString &path)
{
    const qsizetype third = path.indexOf(QLatin1Char('\\'), 2);
    const qsizetype fourth = third < 0 ? -1 : path.indexOf(QLatin1Char('\\'), third + 1);
    return fourth < 0 ? path.mid(2) : path.mid(2, fourth - 2);
}

// The kernel flags removable media on the disk, not on its partitions.
bool blockDeviceIsRemovable(const QString &device)
{
    const QString node = QFileInfo(device).canonicalFilePath();
    if (!node.startsWith(QLatin1String("/dev/")))
        return false;
    QString sysDir = QFileInfo(QStringLiteral("/sys/class/block/") + QFileInfo(node).fileName())
                         .canonicalFilePath();
    if (sysDir.isEmpty())
        return false;
    if (QFileInfo::exists(sysDir + QLatin1String("/partition")))
        sysDir = QFileInfo(sysDir).path();
    QFile flag(sysDir + QLatin1String("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

TMountInfo mountInfoOf(const QStorageInfo &storage)
{
    TMountInfo info;
    info.RootPath = storage.rootPath();
    info.Device = QString::fromLocal8Bit(storage.device());
    info.FileSystemType = QString::fromLatin1(storage.fileSystemType());
    info.Label = storage.name();
    info.Removable = blockDeviceIsRemovable(info.Device);
    return info;
}

class TSystemMountTable final : public TMountTable {
public:
    QList<TMountInfo> Mounts() const override
    {
        QList<TMountInfo> mounts;
        for (const QStorageInfo &storage : QStorageInfo::mountedVolumes())
            if (storage.isValid() && storage.isReady())
                mounts.append(mountInfoOf(storage));
        return mounts;
    }
    std::optional<TMountInfo> MountOf(const QString &path) const override
    {
        const QStorageInfo storage(path);
        if (!storage.isValid() || !storage.isReady())
            return std::nullopt;
        return mountInfoOf(storage);
    }
};

} // namespace

const TMountTable &SystemMountTable()
{
    static const TSystemMountTable table;
    return table;
}

int DriveKindOfMount(const TMountInfo &mount)
{
    const QString &type = mount.FileSystemType;
    if (hasType(type, {"iso9660", "udf"}))
        return dkCDRom;
    if (isNetworkType(type))
        return dkNetwork;
    if (hasType(type, {"tmpfs", "ramfs"}))
        return dkRamDisk;
    if (mount.Removable || isUnderMediaFolder(mount.RootPath))
        return dkRemovable;
    return dkFixed;
}

QString VolumeNameOfMount(const TMountInfo &mount)
{
    if (!mount.Label.isEmpty())
        return mount.Label;
    if (isNetworkType(mount.FileSystemType)) {
        const QString share = networkShareName(mount.Device);
        if (!share.isEmpty())
            return share;
    }
    return QFileInfo(QDir::cleanPath(mount.RootPath)).fileName();
}

int GetDriveKind(const QString &path, const TMountTable &mounts)
{
    if (isUncPath(path))
        return dkNetwork;
    if (path.startsWith(QLatin1Char('/'))) {
        const std::optional<TMountInfo> mount = mounts.MountOf(path);
        return mount ? DriveKindOfMount(*mount) : dkNoRootFolder;
    }
    if (isDriveLetterPath(path))
        return dkNoRootFolder;  // drive letters of other systems name nothing here
    return dkUnknown;
}

QString GetVolumeName(const QString &path, const TMountTable &mounts)
{
    if (isUncPath(path))
        return uncVolumeName(path);
    if (!path.startsWith(QLatin1Char('/')))
        return QString();
    const std::optional<TMountInfo> mount = mounts.MountOf(path);
    return mount ? VolumeNameOfMount(*mount) : QString();
}

QString FindFirstCDDrive(const TMountTable &mounts)
{
    for (const TMountInfo &mount : mounts.Mounts())
        if (DriveKindOfMount(mount) == dkCDRom)
            return mount.RootPath;
    return QString();
}
