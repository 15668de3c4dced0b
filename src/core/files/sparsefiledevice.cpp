#include "core/files/sparsefiledevice.h"

#include "core/base/besidefiles.h"
#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The least a read from the file takes: a tag's first frames, or the
// first two frames of the stream, come in one read.
constexpr qint64 MinimumRead = 4096;
// The ranges kept: the start of the tag, the frames after a picture, the
// start of the stream and the end of the file.
constexpr size_t MaxChunks = 4;
// A range grows while a tag or the first frames are read on from it; a walk
// over every frame of a long stream takes new ranges instead, so that what
// is kept stays small however long the file.
constexpr qint64 MaxGrownChunk = 64 * 1024;

} // namespace

TSparseFileDevice::~TSparseFileDevice()
{
    close();
}

bool TSparseFileDevice::openFile(const QString &path)
{
    close();
    // Non-blocking: opening a FIFO must not wait for a writer.  A scan
    // leaves the access times alone where it may (the owner's files), so
    // that reading a library writes nothing to the disk.
    const QByteArray native = LocalPathBytes(path);
    constexpr int Flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    m_fd = OpenLocalPath(native, Flags | O_NOATIME);
    if (m_fd < 0 && errno == EPERM)
        m_fd = OpenLocalPath(native, Flags);
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setErrorString(QString::fromLocal8Bit(std::strerror(m_fd < 0 ? errno : EISDIR)));
        close();
        return false;
    }
    // A write killed half-way is undone before the file is read.
    QString problem;
    if (!RecoverInterruptedWrite(path, st.st_ino, &problem) || ::fstat(m_fd, &st) != 0) {
        setErrorString(problem.isEmpty() ? QString::fromLocal8Bit(std::strerror(errno)) : problem);
        close();
        return false;
    }
    m_size = st.st_size;
    m_modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    m_ownerMayWrite = (st.st_mode & S_IWUSR) != 0;
    m_readFailed = false;
    m_bytesFetched = 0;
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void TSparseFileDevice::close()
{
    if (isOpen())
        QIODevice::close();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_chunks.clear();
}

qint64 TSparseFileDevice::readData(char *data, qint64 maxSize)
{
    const qint64 at = pos();
    const qint64 length = std::min(maxSize, m_size - at);
    if (length <= 0)
        return 0;
    const Chunk *chunk = chunkFor(at, length);
    if (!chunk)
        return -1;
    std::memcpy(data, chunk->bytes.constData() + (at - chunk->start), size_t(length));
    return length;
}

const TSparseFileDevice::Chunk *TSparseFileDevice::chunkFor(qint64 pos, qint64 length)
{
    for (Chunk &chunk : m_chunks) {
        if (pos < chunk.start || pos > chunk.end())
            continue;
        if (pos + length <= chunk.end())
            return &chunk;
        if (chunk.bytes.size() >= MaxGrownChunk)
            break;
        // Reading on from a kept range extends it.
        const qint64 more = std::min(std::max(pos + length - chunk.end(), MinimumRead), m_size - chunk.end());
        QByteArray tail;
        if (!fetch(chunk.end(), more, tail))
            return nullptr;
        chunk.bytes += tail;
        return pos + length <= chunk.end() ? &chunk : nullptr;
    }
    Chunk chunk;
    chunk.start = pos;
    if (!fetch(pos, std::min(std::max(length, MinimumRead), m_size - pos), chunk.bytes)
        || chunk.bytes.size() < length)
        return nullptr;
    if (m_chunks.size() >= MaxChunks)
        m_chunks.erase(m_chunks.begin());
    m_chunks.push_back(std::move(chunk));
    return &m_chunks.back();
}

bool TSparseFileDevice::fetch(qint64 pos, qint64 length, QByteArray &into)
{
    into.resize(length);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, into.data() + done, size_t(length - done), off_t(pos + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // an error, or the file has shrunk since it was opened
        done += n;
    }
    m_bytesFetched += done;
    into.resize(done);
    if (done < length)
        m_readFailed = true;
    return done == length;
}
