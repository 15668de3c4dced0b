#include "core/base/filereplacement.h"

#include "core/base/besidefiles.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"

#include <QFile>

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

// Puts the folder's list of names on the disk: a name made or removed
// there (a copy of the old contents) is then there after a power cut too.
void syncFolder(const QString &path)
{
    const int fd = ::open(LocalPathBytes(LocalParentFolder(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
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

QString LinkInPlaceOfOwnFile(const QString &fileName)
{
    return QStringLiteral("\"%1\" is a symbolic link; the program writes its own files under their own names "
                          "only, never through a link.")
        .arg(ReadablePath(fileName));
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

    bool open(QString &error)
    {
        // Over an existing file nobody else may read the new contents
        // before they get the file's mode; a new file gets what the
        // user's umask gives.
        const mode_t mode = m_hasOriginal ? 0600 : 0666;
        return CreateBesideFile(m_target, TBesideKind::NewContents, mode, m_file, m_newPath, error);
    }
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
        // Renamed while still open, and so locked: until it is in place
        // nobody takes it for what a killed writer left.
        if (::rename(LocalPathBytes(m_newPath).constData(), LocalPathBytes(m_target).constData()) != 0) {
            error = systemError();
            cancel();
            return false;
        }
        m_newPath.clear();
        m_file.close();
        return true;
    }
    void cancel() override
    {
        if (!m_newPath.isEmpty())
            RemoveLocalFile(m_newPath);
        m_newPath.clear();
        m_file.close();
    }

private:
    TCheckedFile m_file;
    QString m_target;
    QString m_newPath;
    bool m_hasOriginal = false;
    struct stat m_original {};
};

// The file is written in place (its other names must see the new
// contents).  First a complete copy of the old contents goes beside it:
// made under a name of its own, put on the disk, then given the name that
// says it is complete and whose file it holds (BackupPathOf).  The copy is
// locked for as long as this write lives.  It is removed once the new
// contents are on the disk, and put back when the writing fails; when the
// writer is killed, the next program to open the file puts it back
// (RecoverInterruptedWrite).
class TFileReplacement::TInPlaceWay : public TWay {
public:
    explicit TInPlaceWay(const QString &target)
        : m_target(target)
    {
    }
    ~TInPlaceWay() override { putBack(); }

    bool open(QString &error)
    {
        QString partialPath;
        if (!CreateBesideFile(m_target, TBesideKind::PartialBackup, 0600, m_backup, partialPath, error))
            return false;
        QFile source;
        struct stat st;
        if (!OpenRegularFile(source, m_target, QIODevice::ReadOnly, &error) || ::fstat(source.handle(), &st) != 0
            || !copyContents(source, m_backup) || !syncToDisk(m_backup)) {
            if (error.isEmpty())
                error = m_backup.errorString().isEmpty() ? source.errorString() : m_backup.errorString();
            dropBackup(partialPath);
            return false;
        }
        const QString backupPath = BackupPathOf(m_target, st.st_ino);
        // A copy under that name is another writer's that is still at work:
        // one that ended was put back when the file was opened.
        if (::link(LocalPathBytes(partialPath).constData(), LocalPathBytes(backupPath).constData()) != 0) {
            error = errno == EEXIST
                        ? QStringLiteral("Another program is writing %1 at the moment.").arg(ReadablePath(m_target))
                        : systemError();
            dropBackup(partialPath);
            return false;
        }
        RemoveLocalFile(partialPath);
        syncFolder(m_target);
        m_backupPath = backupPath;
        if (!OpenRegularFile(m_file, m_target, QIODevice::ReadWrite, &error)) {
            dropBackup(m_backupPath);
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
        dropBackup(m_backupPath);
        m_backupPath.clear();
        return true;
    }
    void cancel() override { putBack(); }

private:
    void dropBackup(const QString &path)
    {
        RemoveLocalFile(path);
        m_backup.close();
    }

    // Puts the old contents back and removes the copy; false (the copy
    // kept, for the next program that opens the file) when they could not
    // be put back.
    bool putBack()
    {
        if (m_backupPath.isEmpty())
            return true;
        const bool restored = restore();
        m_file.close();
        if (restored)
            RemoveLocalFile(m_backupPath);
        m_backup.close();
        m_backupPath.clear();
        return restored;
    }

    bool restore()
    {
        if (!m_file.isOpen())
            return true;  // not touched yet
        // Unwritten buffered bytes must not land after the restore.
        m_file.flush();
        return m_backup.seek(0) && m_file.seek(0) && copyContents(m_backup, m_file)
               && m_file.resize(m_backup.size()) && syncToDisk(m_file);
    }

    QString m_target;
    TCheckedFile m_file;
    QFile m_backup;  // open, and so locked, while the write lives
    QString m_backupPath;
};

// ---- TFileReplacement -----------------------------------------------------

TFileReplacement::TFileReplacement(const QString &fileName, TNamedBy namedBy)
    : m_fileName(fileName)
    , m_namedBy(namedBy)
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
    const bool namedByProgram = m_namedBy == TNamedBy::Program;
    struct stat st;
    if (namedByProgram && ::lstat(LocalPathBytes(m_fileName).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return fail(LinkInPlaceOfOwnFile(m_fileName));
    if (!statFile(m_fileName, st)) {
        if (errno != ENOENT)
            return fail(systemError());
        TidyFolderBeforeWriting(LocalParentFolder(m_fileName));
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
    // A symbolic link the user named stays one: its target gets the new
    // contents.
    const QString target = namedByProgram ? m_fileName : LocalCanonicalPath(m_fileName);
    if (target.isEmpty())
        return fail(QStringLiteral("The file does not exist."));
    // A write that was killed half-way is undone before this one reads the
    // file or copies it.
    QString problem;
    if (!RecoverInterruptedWrite(target, st.st_ino, &problem))
        return fail(QStringLiteral("%1 %2.").arg(ReadablePath(target), problem));
    TidyFolderBeforeWriting(LocalParentFolder(target));
    // The program's own files get a new file under their name: a hard
    // link planted there must not carry the write to another file.
    if (st.st_nlink > 1 && !namedByProgram) {
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
