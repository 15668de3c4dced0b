#include "core/base/localfiles.h"

#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QDir>

#include <cstdlib>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 modifiedMs(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

// From the stat of the path with links followed (when there is one) and
// whether the path itself is a link.
TLocalFileInfo infoOf(const struct stat *followed, bool isLink)
{
    TLocalFileInfo info;
    info.IsSymLink = isLink;
    if (!followed)
        return info;
    info.Exists = true;
    info.IsFolder = S_ISDIR(followed->st_mode);
    info.IsFile = S_ISREG(followed->st_mode);
    info.Size = followed->st_size;
    info.ModifiedMs = modifiedMs(*followed);
    return info;
}

// stat with symbolic links followed; false for an empty path.
bool statFollowed(const QString &path, struct stat &st)
{
    return !path.isEmpty() && StatLocalPath(LocalPathBytes(path), st, true) == 0;
}

struct TDirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// Opens a folder for listing, however long its path.
std::unique_ptr<DIR, TDirCloser> openFolder(const QString &folder)
{
    const int fd = OpenLocalPath(LocalPathBytes(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DIR *dir = ::fdopendir(fd);
    if (!dir)
        ::close(fd);
    return std::unique_ptr<DIR, TDirCloser>(dir);
}

} // namespace

TLocalFileInfo LocalFileInfo(const QString &path)
{
    const QByteArray bytes = LocalPathBytes(path);
    struct stat link;
    if (StatLocalPath(bytes, link, false) != 0)
        return {};
    if (!S_ISLNK(link.st_mode))
        return infoOf(&link, false);
    struct stat target;
    return infoOf(StatLocalPath(bytes, target, true) == 0 ? &target : nullptr, true);
}

bool LocalPathExists(const QString &path)
{
    struct stat st;
    return statFollowed(path, st);
}

bool IsLocalFolder(const QString &path)
{
    struct stat st;
    return statFollowed(path, st) && S_ISDIR(st.st_mode);
}

bool IsLocalFile(const QString &path)
{
    struct stat st;
    return statFollowed(path, st) && S_ISREG(st.st_mode);
}

QString LocalCanonicalPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(LocalPathBytes(path).constData(), nullptr),
                                                         &std::free);
    return resolved ? PathFromLocalBytes(resolved.get()) : QString();
}

bool RemoveLocalFile(const QString &path)
{
    return !path.isEmpty() && ::unlink(LocalPathBytes(path).constData()) == 0;
}

QList<TLocalFolderEntry> LocalFolderEntries(const QString &folder)
{
    QList<TLocalFolderEntry> entries;
    const std::unique_ptr<DIR, TDirCloser> dir = openFolder(folder);
    if (!dir)
        return entries;
    const int folderFd = ::dirfd(dir.get());
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArrayView name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat link;
        if (::fstatat(folderFd, entry->d_name, &link, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const bool isLink = S_ISLNK(link.st_mode);
        struct stat target;
        if (isLink && ::fstatat(folderFd, entry->d_name, &target, 0) != 0)
            continue;
        TLocalFileInfo info = infoOf(isLink ? &target : &link, isLink);
        if (!info.IsFolder && !info.IsFile)
            continue;
        TLocalFolderEntry item;
        item.Name = PathFromLocalBytes(name);
        item.Path = prefix + item.Name;
        item.Info = info;
        entries.append(std::move(item));
    }
    return entries;
}

bool HasVisibleSubfolder(const QString &folder)
{
    const std::unique_ptr<DIR, TDirCloser> dir = openFolder(folder);
    if (!dir)
        return false;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            return true;
        struct stat st;
        // Links, and file systems that do not give the type, need a look.
        if ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            && ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            return true;
    }
    return false;
}

bool MayWriteLocal(const QString &path)
{
    return !path.isEmpty() && ::access(LocalPathBytes(path).constData(), W_OK) == 0;
}

QString AbsoluteLocalPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(path))
        return QDir::cleanPath(path);
    std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    const QString folder = current ? PathFromLocalBytes(current.get()) : QDir::currentPath();
    return QDir::cleanPath(folder + QLatin1Char('/') + path);
}

QString LocalParentFolder(const QString &path)
{
    const QString absolute = AbsoluteLocalPath(path);
    if (absolute.isEmpty())
        return QString();
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : absolute.left(slash);
}
