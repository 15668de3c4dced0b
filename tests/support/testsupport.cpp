#include "testsupport.h"

#include <QFile>

#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>
#include <cstdio>

namespace testsupport {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFileAt(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

QByteArray readFileAt(const QByteArray &path)
{
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QByteArray();
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QByteArray();
    }
    return file.readAll();
}

void emptyFolderAt(const QByteArray &folder)
{
    const auto removeOne = [](const char *path, const struct stat *, int, struct FTW *where) {
        return where->level == 0 ? 0 : std::remove(path);
    };
    ::nftw(folder.constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace testsupport
