#include "core/files/foldersafety.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QDir>
#include <QFile>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <array>

namespace {

// Not every magic number is in every kernel's headers.
constexpr unsigned long CgroupV1Magic = 0x27e0eb;
constexpr unsigned long SecurityFsMagic = 0x73636673;
constexpr unsigned long BpfFsMagic = 0xcafe4a11;
constexpr unsigned long ConfigFsMagic = 0x62656570;
constexpr unsigned long PstoreFsMagic = 0x6165676c;
constexpr unsigned long BinfmtFsMagic = 0x42494e4d;
constexpr unsigned long FuseCtlMagic = 0x65735543;

constexpr std::array<unsigned long, 13> PseudoFileSystems = {
    PROC_SUPER_MAGIC, SYSFS_MAGIC,    DEVPTS_SUPER_MAGIC, DEBUGFS_MAGIC, TRACEFS_MAGIC,
    CGROUP2_SUPER_MAGIC, CgroupV1Magic, SecurityFsMagic, BpfFsMagic,    ConfigFsMagic,
    PstoreFsMagic,    BinfmtFsMagic,  FuseCtlMagic,
};

// /dev itself is an ordinary-looking tmpfs, so it is known by its place.
const std::array<QString, 3> PseudoFolders = {
    QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")};

bool isInsideFolder(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

QByteArray nativePath(const QString &path)
{
    return LocalPathBytes(path);
}

} // namespace

bool IsPseudoFileSystemFolder(const QString &path)
{
    const QString clean = AbsoluteLocalPath(path);
    for (const QString &folder : PseudoFolders)
        if (isInsideFolder(clean, folder))
            return true;
    struct statfs fs {};
    if (::statfs(nativePath(clean).constData(), &fs) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    for (const unsigned long magic : PseudoFileSystems)
        if (type == magic)
            return true;
    return false;
}

bool IsRegularFile(const QString &path, bool followLinks)
{
    struct stat st {};
    const QByteArray native = nativePath(path);
    return StatLocalPath(native, st, followLinks) == 0 && S_ISREG(st.st_mode);
}

bool IsSymbolicLink(const QString &path)
{
    struct stat st {};
    return StatLocalPath(nativePath(path), st, false) == 0 && S_ISLNK(st.st_mode);
}

bool TVisitedFolders::enter(const QString &path)
{
    struct stat st {};
    if (StatLocalPath(nativePath(path), st, true) != 0 || !S_ISDIR(st.st_mode))
        return false;
    const QPair<quint64, quint64> key(quint64(st.st_dev), quint64(st.st_ino));
    if (m_seen.contains(key))
        return false;
    m_seen.insert(key);
    return true;
}
