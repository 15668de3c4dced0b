#include "deepfolder.h"

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LevelName = QStringLiteral("level-") + QString(120, QLatin1Char('d'));

} // namespace

DeepFolder::DeepFolder(const QString &base, int minimumPathLength)
    : m_base(base)
    , m_path(base)
{
    m_fd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const QByteArray level = QFile::encodeName(LevelName);
    while (m_fd >= 0 && m_path.size() < minimumPathLength) {
        const int next = ::mkdirat(m_fd, level.constData(), 0755) == 0
                             ? ::openat(m_fd, level.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                             : -1;
        ::close(m_fd);
        m_fd = next;
        m_path += QLatin1Char('/') + LevelName;
    }
}

DeepFolder::~DeepFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
    // rm walks the tree relative to each folder, as the program does.
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QStringLiteral("--"), m_base + QLatin1Char('/') + LevelName});
}

bool DeepFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    const int fd = ::openat(m_fd, QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}
