#include "core/base/besidefiles.h"

#include "core/base/anythreadinfo.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1StringView NewSuffix(".tunebase-new");
const QLatin1StringView PartialSuffix(".tunebase-partial");
const QLatin1StringView BackupSuffix(".tunebase-backup");

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A descriptor closed when it goes out of scope.
class TFd {
public:
    explicit TFd(int fd)
        : m_fd(fd)
    {
    }
    ~TFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFd(const TFd &) = delete;
    TFd &operator=(const TFd &) = delete;
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

constexpr qsizetype NameStart = 40;

// "FOLDER/.NAME." for a file beside target.  The start of the name says
// whose file it is; all of it could make the new name longer than a name
// may be.
QString besideStem(const QString &target)
{
    QString start = fileNameOf(target).left(NameStart);
    if (!start.isEmpty() && start.back().isHighSurrogate())
        start.chop(1);
    const QString folder = folderOf(target);
    return (folder == QLatin1String("/") ? QString() : folder) + QStringLiteral("/.") + start + QLatin1Char('.');
}

// A lock on a file of ours can be had only when its writer is gone.
bool lockIfAbandoned(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies all of `from` over `to` from the start, cuts `to` to its size and
// puts it on the disk.
bool copyBack(int from, int to)
{
    constexpr size_t BlockSize = 256 * 1024;
    QByteArray block(BlockSize, Qt::Uninitialized);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(from, block.data(), BlockSize, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(to, block.constData() + done, size_t(got - done), offset + done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            done += put;
        }
        offset += got;
    }
    return ::ftruncate(to, offset) == 0 && ::fsync(to) == 0;
}

enum class TRestore { Nothing, Restored, Failed };

// Puts the old contents of the file at `target` (inode `inode`) back from
// the copy at `backup`, when the copy's writer is gone.
TRestore restoreFromBackup(const QString &target, const QString &backup, ino_t inode, QString &problem)
{
    const TFd copy(OpenLocalPath(LocalPathBytes(backup), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat copyStat;
    if (!copy.isOpen() || ::fstat(copy.get(), &copyStat) != 0 || !S_ISREG(copyStat.st_mode))
        return TRestore::Nothing;
    // Held by its writer: the write is still going on (and will put the
    // file back itself should it fail).
    if (!lockIfAbandoned(copy.get()))
        return TRestore::Nothing;
    // Another program put the file back and removed the copy meanwhile.
    if (::fstat(copy.get(), &copyStat) != 0 || copyStat.st_nlink == 0)
        return TRestore::Nothing;

    const TFd file(OpenLocalPath(LocalPathBytes(target), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat fileStat;
    if (!file.isOpen()) {
        problem = systemError();
        return TRestore::Failed;
    }
    if (::fstat(file.get(), &fileStat) != 0 || !S_ISREG(fileStat.st_mode) || fileStat.st_ino != inode)
        return TRestore::Nothing;  // not the file the copy was made of
    // Protected by its owner since: left alone, even by root.
    if (!(fileStat.st_mode & S_IWUSR)) {
        problem = QStringLiteral("the file is read-only");
        return TRestore::Failed;
    }
    if (!copyBack(copy.get(), file.get())) {
        problem = systemError();
        return TRestore::Failed;
    }
    (void)::unlink(LocalPathBytes(backup).constData());
    return TRestore::Restored;
}

void reportRestore(TRestore outcome, const QString &target, const QString &backup, const QString &problem)
{
    if (outcome == TRestore::Restored)
        ShowInfoFromAnyThread(QStringLiteral("The last write to \"%1\" was interrupted before it was done; "
                                             "its earlier contents have been put back.")
                                  .arg(ReadablePath(target)));
    else if (outcome == TRestore::Failed)
        ShowInfoFromAnyThread(QStringLiteral("The last write to \"%1\" was interrupted before it was done, and "
                                             "its earlier contents could not be put back (%2); they are kept "
                                             "in \"%3\".")
                                  .arg(ReadablePath(target), problem, ReadablePath(backup)));
}

// Removes a new or partial file of ours that no writer holds any more.
void removeIfAbandoned(int folderFd, const char *name)
{
    const TFd file(::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened;
    struct stat named;
    if (!file.isOpen() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)
        || !lockIfAbandoned(file.get()))
        return;
    // Still under that name (not renamed into place meanwhile): removed
    // while locked, so that a writer that made it this very moment sees it
    // gone once it has its lock (CreateBesideFile).
    if (::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(opened, named))
        (void)::unlinkat(folderFd, name, 0);
}

// New-contents files of the versions before the lock was kept on them:
// ".NAME.RANDOM.new" beside a file NAME starts.  Those are removed only
// when no write could still be at them, long after they were written.
void removeOldNewFile(int folderFd, const QByteArray &name, const QList<QByteArray> &names)
{
    static const QRegularExpression oldNew(QStringLiteral("^\\.(.+)\\.[0-9a-z]{1,7}\\.new$"));
    const QRegularExpressionMatch match = oldNew.match(PathFromLocalBytes(name));
    if (!match.hasMatch())
        return;
    // Its NAME is all of its file's name, or the first NameStart characters
    // of a longer one (one fewer where that cut a character in two); a
    // shorter start of a name is a user's file.
    const QString start = match.captured(1);
    const bool besideItsFile = std::any_of(names.cbegin(), names.cend(), [&](const QByteArray &other) {
        if (other.startsWith('.'))
            return false;
        const QString otherName = PathFromLocalBytes(other);
        return otherName == start || (start.size() >= NameStart - 1 && otherName.startsWith(start));
    });
    constexpr qint64 LongAgoSecs = 60 * 60;
    struct stat st;
    if (besideItsFile && ::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(st.st_mode) && st.st_mtim.tv_sec < QDateTime::currentSecsSinceEpoch() - LongAgoSecs)
        (void)::unlinkat(folderFd, name.constData(), 0);
}

// The inode a backup's name gives, or 0.
ino_t inodeOfBackup(const QByteArray &name)
{
    const QByteArray stem = name.chopped(BackupSuffix.size());
    const qsizetype dot = stem.lastIndexOf('.');
    bool ok = false;
    const qulonglong inode = dot < 0 ? 0 : stem.mid(dot + 1).toULongLong(&ok, 16);
    return ok ? ino_t(inode) : 0;
}

// Whether the folder was not looked at in the last minute (and is now).
bool dueForTidying(const QString &folder)
{
    using Clock = std::chrono::steady_clock;
    static QMutex mutex;
    static QHash<QString, Clock::time_point> lastTidied;
    const QMutexLocker locker(&mutex);
    const Clock::time_point now = Clock::now();
    const auto found = lastTidied.constFind(folder);
    if (found != lastTidied.constEnd() && now - *found < std::chrono::minutes(1))
        return false;
    lastTidied.insert(folder, now);
    return true;
}

struct TDirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

} // namespace

bool CreateBesideFile(const QString &target, TBesideKind kind, mode_t mode, QFile &file, QString &createdPath,
                      QString &error)
{
    const QString stem = besideStem(target);
    const QLatin1StringView suffix = kind == TBesideKind::NewContents ? NewSuffix : PartialSuffix;
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const QString candidate = stem + QString::number(QRandomGenerator::global()->generate(), 36) + suffix;
        const int fd = OpenLocalPath(LocalPathBytes(candidate), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                     mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = systemError();
            return false;
        }
        // Between its creation and the lock another program tidying the
        // folder may have taken the file for a dead writer's and removed it.
        struct stat st;
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
            error = file.errorString();
            ::close(fd);
            RemoveLocalFile(candidate);
            return false;
        }
        createdPath = candidate;
        return true;
    }
    error = QStringLiteral("No free name for a file beside %1.").arg(ReadablePath(target));
    return false;
}

QString BackupPathOf(const QString &target, ino_t inode)
{
    return besideStem(target) + QString::number(qulonglong(inode), 16) + BackupSuffix;
}

bool RecoverInterruptedWrite(const QString &path, ino_t inode, QString *problem)
{
    const QByteArray bytes = LocalPathBytes(path);
    struct stat link;
    if (bytes.isEmpty() || StatLocalPath(bytes, link, false) != 0)
        return true;
    // The copy waits beside the file the program wrote: a symbolic link's
    // target.
    const QString target = S_ISLNK(link.st_mode) ? LocalCanonicalPath(path) : path;
    if (target.isEmpty())
        return true;
    const QString backup = BackupPathOf(target, inode);
    struct stat copy;
    if (StatLocalPath(LocalPathBytes(backup), copy, false) != 0)
        return true;
    QString why;
    const TRestore outcome = restoreFromBackup(target, backup, inode, why);
    reportRestore(outcome, target, backup, why);
    if (outcome != TRestore::Failed)
        return true;
    if (problem)
        *problem = QStringLiteral("was left half-written by an interrupted write, and its earlier contents "
                                  "could not be put back (%1)")
                       .arg(why);
    return false;
}

void TidyFolderBeforeWriting(const QString &folder)
{
    if (folder.isEmpty() || !dueForTidying(folder))
        return;
    const int fd = OpenLocalPath(LocalPathBytes(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const std::unique_ptr<DIR, TDirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return;
    }
    QList<QByteArray> names;
    QHash<ino_t, QList<QByteArray>> namesOfInode;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        names.append(name);
        namesOfInode[entry->d_ino].append(name);
    }
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const QByteArray &name : std::as_const(names)) {
        if (!name.startsWith('.'))
            continue;
        if (name.endsWith(NewSuffix.data()) || name.endsWith(PartialSuffix.data())) {
            removeIfAbandoned(::dirfd(dir.get()), name.constData());
        } else if (name.endsWith(BackupSuffix.data())) {
            // Its file is the other name of that inode (the one whose
            // name the copy's starts with, when the file has several).
            const ino_t inode = inodeOfBackup(name);
            QList<QByteArray> targets = namesOfInode.value(inode);
            targets.removeAll(name);
            if (inode == 0 || targets.isEmpty())
                continue;
            const QString backup = prefix + PathFromLocalBytes(name);
            const auto named = std::find_if(targets.cbegin(), targets.cend(), [&](const QByteArray &target) {
                return BackupPathOf(prefix + PathFromLocalBytes(target), inode) == backup;
            });
            const QString target = prefix + PathFromLocalBytes(named != targets.cend() ? *named : targets.first());
            QString problem;
            reportRestore(restoreFromBackup(target, backup, inode, problem), target, backup, problem);
        } else if (name.endsWith(".new")) {
            removeOldNewFile(::dirfd(dir.get()), name, names);
        }
    }
}
