#include "core/data/collectionupdate.h"

#include "core/base/localfiles.h"
#include "core/data/collectionfile.h"
#include "core/data/rootitem.h"

namespace {

QString lines(QString message)
{
    return message.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString damagedComplaint(const QString &fileName)
{
    return QStringLiteral("%1 is damaged; nothing was added or changed, so that the file stays as it is "
                          "(saving would replace it by the part that could be read).\nOpen it in Brimlow "
                          "Tunebase and save what could be read as a new file.")
        .arg(fileName);
}

QString convertComplaint(const QString &fileName)
{
    return QStringLiteral("%1 was made by an older version of Tunebase; saving would convert it to the new "
                          "format, which older versions cannot open.\nIt was left as it is: give --convert "
                          "NEWFILE to save the converted collection as a new file.")
        .arg(fileName);
}

QString newerComplaint(const QString &fileName)
{
    return QStringLiteral("%1 was made by a newer version of Tunebase; saving it would drop what this version "
                          "does not know, so nothing was added or changed.\nUse the version that made it.")
        .arg(fileName);
}

QString trailingDataComplaint(const QString &fileName)
{
    return QStringLiteral("%1 goes on after its last record with data this version does not know; saving it "
                          "would drop that data, so nothing was added or changed.")
        .arg(fileName);
}

} // namespace

TCollectionUpdate::TCollectionUpdate(TRootItem &root, const QString &fileName)
    : m_root(root)
    , m_fileName(fileName)
{
}

QString TCollectionUpdate::targetFile() const
{
    return m_convertTo.isEmpty() ? m_fileName : m_convertTo;
}

bool TCollectionUpdate::open(bool allowNew, QString *complaint)
{
    m_isNew = false;
    if (!m_convertTo.isEmpty()) {
        if (const TLocalFileInfo target = LocalFileInfo(m_convertTo); target.Exists || target.IsSymLink) {
            *complaint = QStringLiteral("%1 exists already; the converted collection goes to a new file.")
                             .arg(m_convertTo);
            return false;
        }
        if (!m_targetLock.acquire(m_convertTo, m_wait)) {
            *complaint = m_targetLock.errorString();
            return false;
        }
    }
    if (!m_lock.acquire(m_fileName, m_wait)) {
        *complaint = m_lock.errorString();
        release();
        return false;
    }
    const TCollectionLoadResult loaded = loadCollection(m_root, m_fileName);
    QString refusal;
    if (loaded.Status == TCollectionLoadResult::TStatus::NotFound) {
        m_isNew = allowNew;
        if (!allowNew)
            refusal = QStringLiteral("no such collection file '%1'").arg(m_fileName);
    } else if (!loaded.opened()) {
        refusal = lines(loaded.Message);
    } else if (loaded.Newer) {
        refusal = newerComplaint(m_fileName);
    } else if (loaded.Recovered) {
        refusal = damagedComplaint(m_fileName);
    } else if (loaded.TrailingData) {
        refusal = trailingDataComplaint(m_fileName);
    } else if (loaded.Converted && m_convertTo.isEmpty()) {
        refusal = convertComplaint(m_fileName);
    }
    if (!refusal.isEmpty()) {
        *complaint = refusal;
        release();
        return false;
    }
    return true;
}

bool TCollectionUpdate::save(QString *complaint)
{
    TCollectionLock &hold = m_convertTo.isEmpty() ? m_lock : m_targetLock;
    const TCollectionSaveResult saved = saveCollection(m_root, targetFile(), {}, &hold);
    if (!saved.Saved) {
        *complaint = lines(saved.Message);
        return false;
    }
    return true;
}

void TCollectionUpdate::release()
{
    m_lock.release();
    m_targetLock.release();
}
