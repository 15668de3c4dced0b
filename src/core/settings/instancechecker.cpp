#include "core/settings/instancechecker.h"

#include "core/base/localpath.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {
const QByteArray Magic("TUNEBASE-HANDOVER 1");
const QByteArray OpenKey("open ");
const QByteArray ActivateKey("activate");
} // namespace

TInstanceChecker::TInstanceChecker(QString runtimeFolder)
    : m_runtimeFolder(std::move(runtimeFolder))
{
    if (m_runtimeFolder.isEmpty())
        m_runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (m_runtimeFolder.isEmpty())
        m_runtimeFolder = QDir::tempPath();
}

TInstanceChecker::~TInstanceChecker() = default;

QString TInstanceChecker::fileStem(const QString &name) const
{
    QString stem;
    for (QChar c : name)
        stem += (c.isLetterOrNumber() || c == QLatin1Char('-')) ? c : QLatin1Char('-');
    return m_runtimeFolder + QLatin1Char('/') + stem;
}

QString TInstanceChecker::ServerName(const QString &name) const
{
    return fileStem(name) + QLatin1String(".socket");
}

QString TInstanceChecker::LockFileName(const QString &name) const
{
    return fileStem(name) + QLatin1String(".lock");
}

bool TInstanceChecker::IsFirstInstance(const QString &name)
{
    if (m_lock && m_lock->isLocked())
        return true;
    QDir().mkpath(m_runtimeFolder);
    m_lock = std::make_unique<QLockFile>(LockFileName(name));
    // A running first copy never becomes stale by age; a lock whose process
    // is gone is still recognised and removed by QLockFile.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // Only a lock held by another live process makes this the second copy;
    // when the runtime folder is unusable, run rather than refuse to start.
    const bool heldByOther = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    return !heldByOther;
}

QByteArray THandover::Encode() const
{
    QByteArray message = Magic + '\n';
    if (!FileName.isEmpty())
        message += OpenKey + LocalPathBytes(FileName).toPercentEncoding() + '\n';
    if (Activate)
        message += ActivateKey + '\n';
    return message;
}

std::optional<THandover> THandover::Decode(const QByteArray &message)
{
    if (message.size() > MaxSize)
        return std::nullopt;
    const QList<QByteArray> lines = message.split('\n');
    if (lines.isEmpty() || lines.first() != Magic)
        return std::nullopt;
    THandover handover;
    handover.Activate = false;
    for (const QByteArray &line : lines.mid(1)) {
        if (line.startsWith(OpenKey))
            handover.FileName = PathFromLocalBytes(QByteArray::fromPercentEncoding(line.mid(OpenKey.size())));
        else if (line == ActivateKey)
            handover.Activate = true;
    }
    return handover;
}
