#include "core/audio/prefixrewrite.h"

#include "core/base/filelock.h"
#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/regularfile.h"
#include "core/base/writeall.h"

#include <QFile>

namespace {

bool failWith(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool copyRest(QFile &source, QIODevice &target)
{
    constexpr qint64 BlockSize = 256 * 1024;
    QByteArray block(BlockSize, Qt::Uninitialized);
    while (!source.atEnd()) {
        const qint64 n = source.read(block.data(), BlockSize);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (!writeAll(target, QByteArray::fromRawData(block.constData(), n)))
            return false;
    }
    return true;
}

} // namespace

bool rewriteFilePrefix(const QString &fileName, const QByteArray &newPrefix,
                       qint64 oldPrefixLength, QString *error, TFileLock *hold)
{
    const QString target = LocalCanonicalPath(fileName);  // follows symbolic links
    if (target.isEmpty() || !IsLocalFile(target))
        return failWith(error, QStringLiteral("The file does not exist."));
    if (!MayWriteLocal(target) || !OwnerMayWrite(target))
        return failWith(error, QStringLiteral("The file is read-only."));

    TFileReplacement out(target);
    if (!out.open())
        return failWith(error, out.errorString());
    // Written in place, the file's old bytes are read from their copy.
    QFile source;
    QString problem;
    if (!OpenRegularFile(source, out.oldContentsPath(), QIODevice::ReadOnly, &problem))
        return failWith(error, problem);
    const qint64 sourceSize = source.size();
    if (oldPrefixLength < 0 || oldPrefixLength > sourceSize || !source.seek(oldPrefixLength))
        return failWith(error, QStringLiteral("The tag reaches beyond the end of the file."));

    QIODevice &device = out.device();
    if (!writeAll(device, newPrefix) || !copyRest(source, device)
        || device.pos() != newPrefix.size() + sourceSize - oldPrefixLength) {
        const QString message = writeErrorOf(device);
        out.cancel();
        return failWith(error, message.isEmpty() ? QStringLiteral("Reading the file failed.") : message);
    }
    source.close();
    if (hold)
        hold->holdAlso(device);
    if (!out.commit())
        return failWith(error, out.errorString());
    return true;
}
