#include "core/base/filereplacement.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

bool statFile(const QString &path, struct stat &st)
{
    return ::stat(LocalPathBytes(path).constData(), &st) == 0;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Extended attributes go with the file where the file systems have them;
// those the user may not set (or the target cannot hold) are left behind.
void copyExtendedAttributes(const QString &source, int targetFd)
{
    const QByteArray path = LocalPathBytes(source);
    const ssize_t listSize = ::listxattr(path.constData(), nullptr, 0);
    if (listSize <= 0)
        return;
    QByteArray names(listSize, Qt::Uninitialized);
    const ssize_t got = ::listxattr(path.constData(), names.data(), names.size());
    if (got <= 0)
        return;
    names.truncate(got);
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t valueSize = ::getxattr(path.constData(), name.constData(), nullptr, 0);
        if (valueSize < 0)
            continue;
        QByteArray value(valueSize, Qt::Uninitialized);
        const ssize_t read = ::getxattr(path.constData(), name.constData(), value.data(), value.size());
        if (read >= 0)
            (void)::fsetxattr(targetFd, name.constData(), value.constData(), size_t(read), 0);
    }
}

// Owner and group first: changing them clears the set-ID bits, which the
// mode then restores.
void copyOwnerAndMode(const struct stat &original, int targetFd)
{
    if (::fchown(targetFd, original.st_uid, original.st_gid) != 0)
        (void)::fchown(targetFd, uid_t(-1), original.st_gid);  // a group of the user's own
    (void)::fchmod(targetFd, original.st_mode & 07777);
}

bool copyContents(QFile &from, QFile &to)
{
    constexpr qint64 BlockSize = 256 * 1024;
    QByteArray block(BlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 n = from.read(block.data(), BlockSize);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (to.write(block.constData(), n) != n)
            return false;
    }
}

bool syncToDisk(QFile &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

// Creates a new hidden file in the target's folder (so that a rename can
// put it in place) and opens it for reading and writing.  The name is
// made here rather than by QTemporaryFile: the target's path may hold
// bytes Qt cannot name.  A new file gets the mode the user's umask gives.
bool createBeside(const QString &target, const QString &suffix, QFile &file, QString &createdPath, QString &error)
{
    const QFileInfo info(target);
    // The start of the name says whose file it is; all of it could make the
    // new name longer than a name may be.
    constexpr qsizetype NameStart = 40;
    QString start = info.fileName().left(NameStart);
    if (!start.isEmpty() && start.back().isHighSurrogate())
        start.chop(1);
    const QString stem = info.path() + QStringLiteral("/.") + start + QLatin1Char('.');
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const QString candidate = stem + QString::number(QRandomGenerator::global()->generate(), 36) + suffix;
        const int fd = ::open(LocalPathBytes(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error = systemError();
            return false;
        }
        if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
            error = file.errorString();
            ::close(fd);
            ::unlink(LocalPathBytes(candidate).constData());
            return false;
        }
        createdPath = candidate;
        return true;
    }
    error = QStringLiteral("No free name for a file beside %1.").arg(ReadablePath(target));
    return false;
}

// A file that remembers a write that did not take all its bytes, as
// QSaveFile does: a full disk or a file size limit shows as a short write
// of a large block, which QFile does not count as an error.
class TCheckedFile : public QFile {
public:
    bool writeFailed() const { return m_shortWrite || error() != QFileDevice::NoError; }
    QString writeError() const
    {
        return error() != QFileDevice::NoError ? errorString()
                                               : QStringLiteral("Not all of the new contents could be written "
                                                                "(the disk may be full).");
    }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 written = QFile::writeData(data, length);
        if (written != length)
            m_shortWrite = true;
        return written;
    }

private:
    bool m_shortWrite = false;
};

} // namespace

bool OwnerMayWrite(const QString &fileName)
{
    struct stat st;
    return statFile(fileName, st) && (st.st_mode & S_IWUSR);
}

// ---- the ways of replacing ------------------------------------------------

class TFileReplacement::TWay {
public:
    virtual ~TWay() = default;
    virtual QIODevice &device() = 0;
    virtual QString oldContentsPath() const = 0;
    virtual bool commit(QString &error) = 0;
    virtual void cancel() = 0;
};

// The new contents are written beside the file and renamed over it.
class TFileReplacement::TBesideWay : public TWay {
public:
    TBesideWay(const QString &target, const struct stat *original)
        : m_target(target)
        , m_hasOriginal(original != nullptr)
    {
        if (original)
            m_original = *original;
    }
    ~TBesideWay() override { cancel(); }

    bool open(QString &error) { return createBeside(m_target, QStringLiteral(".new"), m_file, m_newPath, error); }
    QIODevice &device() override { return m_file; }
    QString oldContentsPath() const override { return m_target; }
    bool commit(QString &error) override
    {
        // A write that failed before (a full disk) fails the commit, even
        // when the caller did not look.
        if (m_file.writeFailed() || !syncToDisk(m_file)) {
            error = m_file.writeFailed() ? m_file.writeError() : systemError();
            cancel();
            return false;
        }
        if (m_hasOriginal) {
            copyOwnerAndMode(m_original, m_file.handle());
            copyExtendedAttributes(m_target, m_file.handle());
        }
        m_file.close();
        if (::rename(LocalPathBytes(m_newPath).constData(), LocalPathBytes(m_target).constData()) != 0) {
            error = systemError();
            cancel();
            return false;
        }
        m_newPath.clear();
        return true;
    }
    void cancel() override
    {
        m_file.close();
        if (!m_newPath.isEmpty())
            RemoveLocalFile(m_newPath);
        m_newPath.clear();
    }

private:
    TCheckedFile m_file;
    QString m_target;
    QString m_newPath;
    bool m_hasOriginal = false;
    struct stat m_original {};
};

// The file is written in place (its other names must see the new
// contents); the old contents wait in a copy beside it until the new ones
// are on the disk, and are put back when the writing fails.
class TFileReplacement::TInPlaceWay : public TWay {
public:
    explicit TInPlaceWay(const QString &target)
        : m_target(target)
    {
    }
    ~TInPlaceWay() override { putBack(); }

    bool open(QString &error)
    {
        QFile backup;
        QString backupPath;
        if (!createBeside(m_target, QStringLiteral(".backup"), backup, backupPath, error))
            return false;
        QFile source;
        if (!OpenRegularFile(source, m_target, QIODevice::ReadOnly, &error) || !copyContents(source, backup)
            || !syncToDisk(backup)) {
            if (error.isEmpty())
                error = backup.errorString().isEmpty() ? source.errorString() : backup.errorString();
            backup.close();
            RemoveLocalFile(backupPath);
            return false;
        }
        m_backupPath = backupPath;
        if (!OpenRegularFile(m_file, m_target, QIODevice::ReadWrite, &error)) {
            RemoveLocalFile(m_backupPath);
            m_backupPath.clear();
            return false;
        }
        return true;
    }
    QIODevice &device() override { return m_file; }
    QString oldContentsPath() const override { return m_backupPath; }
    bool commit(QString &error) override
    {
        if (m_file.writeFailed() || !m_file.flush() || !m_file.resize(m_file.pos()) || !syncToDisk(m_file)) {
            error = m_file.writeFailed() ? m_file.writeError() : systemError();
            const QString kept = m_backupPath;
            if (!putBack())
                error += QStringLiteral(" The old contents are kept in %1.").arg(ReadablePath(kept));
            return false;
        }
        m_file.close();
        RemoveLocalFile(m_backupPath);
        m_backupPath.clear();
        return true;
    }
    void cancel() override { putBack(); }

private:
    // Puts the old contents back and removes the copy; false (the copy
    // kept) when they could not be put back.
    bool putBack()
    {
        if (m_backupPath.isEmpty())
            return true;
        const bool restored = restore();
        m_file.close();
        if (restored)
            RemoveLocalFile(m_backupPath);
        m_backupPath.clear();
        return restored;
    }

    bool restore()
    {
        if (!m_file.isOpen())
            return true;  // not touched yet
        QFile backup;
        // Unwritten buffered bytes must not land after the restore.
        m_file.flush();
        return OpenRegularFile(backup, m_backupPath, QIODevice::ReadOnly) && m_file.seek(0) && copyContents(backup, m_file)
               && m_file.resize(backup.size()) && syncToDisk(m_file);
    }

    QString m_target;
    TCheckedFile m_file;
    QString m_backupPath;
};

// ---- TFileReplacement -----------------------------------------------------

TFileReplacement::TFileReplacement(const QString &fileName)
    : m_fileName(fileName)
{
}

TFileReplacement::~TFileReplacement()
{
    cancel();
}

bool TFileReplacement::fail(const QString &message)
{
    m_error = message;
    m_way.reset();
    return false;
}

bool TFileReplacement::open()
{
    m_error.clear();
    m_way.reset();
    struct stat st;
    if (!statFile(m_fileName, st)) {
        if (errno != ENOENT)
            return fail(systemError());
        auto way = std::make_unique<TBesideWay>(m_fileName, nullptr);
        if (!way->open(m_error))
            return fail(m_error);
        m_way = std::move(way);
        return true;
    }
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("%1 is not a regular file.").arg(ReadablePath(m_fileName)));
    if (!(st.st_mode & S_IWUSR))
        return fail(QStringLiteral("The file is read-only."));
    // A symbolic link stays one: its target gets the new contents.
    const QString target = LocalCanonicalPath(m_fileName);
    if (target.isEmpty())
        return fail(QStringLiteral("The file does not exist."));
    if (st.st_nlink > 1) {
        auto way = std::make_unique<TInPlaceWay>(target);
        if (!way->open(m_error))
            return fail(m_error);
        m_way = std::move(way);
        return true;
    }
    auto way = std::make_unique<TBesideWay>(target, &st);
    if (!way->open(m_error))
        return fail(m_error);
    m_way = std::move(way);
    return true;
}

QIODevice &TFileReplacement::device()
{
    Q_ASSERT(m_way);
    return m_way->device();
}

QString TFileReplacement::oldContentsPath() const
{
    return m_way ? m_way->oldContentsPath() : QString();
}

bool TFileReplacement::commit()
{
    if (!m_way)
        return false;
    const bool committed = m_way->commit(m_error);
    m_way.reset();
    return committed;
}

void TFileReplacement::cancel()
{
    if (m_way)
        m_way->cancel();
    m_way.reset();
}

QString TFileReplacement::errorString() const
{
    return m_error;
}
