#include "fuzzsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

const QTemporaryDir &scratchDir()
{
    static const QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder: %s\n", qPrintable(dir.errorString()));
        std::abort();
    }
    return dir;
}

void writeOrDie(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        std::abort();
    }
}

// Readers warn about damaged input; thousands of warnings a second would
// only slow the run and bury the sanitizer's report.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

[[maybe_unused]] const bool messagesQuiet = [] {
    qInstallMessageHandler(quietMessages);
    return true;
}();

} // namespace

QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString freshScratchPath(const QString &name)
{
    const QString path = scratchDir().filePath(name);
    QFile::remove(path);
    return path;
}

QString scratchFile(const QByteArray &bytes, const QString &name)
{
    const QString path = scratchDir().filePath(name);
    writeOrDie(path, bytes);
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

} // namespace fuzz
