#include "core/files/fingerprintcache.h"

#include "core/base/filereplacement.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/base/writeall.h"

#include <QFile>

#include <algorithm>

namespace {

// First line of the file; a different one means another format.  A later
// layout gets a new number, and an old program then ignores the file.
const QByteArray CacheMarker = "Tunebase fingerprint cache 1";
constexpr qint64 MaxCacheBytes = 256 * 1024 * 1024;
constexpr int Sha1Bytes = 20;

// "modified size start bytes sampled full path", tab-separated; the hashes
// in hex, full empty when not known.  The path comes last: it may hold tabs.
constexpr int FieldsBeforePath = 6;

bool parseHash(const QByteArray &hex, QByteArray &hash, bool mayBeEmpty)
{
    hash = QByteArray::fromHex(hex);
    if (hex.isEmpty())
        return mayBeEmpty;
    return hash.size() == Sha1Bytes && hash.toHex() == hex;
}

} // namespace

QString TFingerprintCache::PathFor(const QString &collectionPath)
{
    return collectionPath + QStringLiteral("-fingerprints");
}

bool TFingerprintCache::load(const QString &cachePath)
{
    m_entries.clear();
    m_changed = false;
    QFile file;
    if (!OpenOwnFile(file, cachePath, QIODevice::ReadOnly) || file.size() > MaxCacheBytes)
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines.first() != CacheMarker)
        return false;
    QHash<QString, Entry> entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() <= FieldsBeforePath)
            return false;
        bool ok[4] = {};
        Entry entry;
        entry.modifiedMs = fields.at(0).toLongLong(&ok[0]);
        entry.size = fields.at(1).toLongLong(&ok[1]);
        entry.print.AudioStart = fields.at(2).toLongLong(&ok[2]);
        entry.print.AudioBytes = fields.at(3).toLongLong(&ok[3]);
        // The audio must lie within the file the entry records: a later
        // full read goes by these numbers.
        if (!(ok[0] && ok[1] && ok[2] && ok[3]) || entry.print.AudioStart < 0 || entry.print.AudioBytes <= 0
            || entry.print.AudioStart > entry.size || entry.print.AudioBytes > entry.size - entry.print.AudioStart
            || !parseHash(fields.at(4), entry.print.Sampled, false)
            || !parseHash(fields.at(5), entry.print.Full, true))
            return false;
        qsizetype pathStart = 0;
        for (int f = 0; f < FieldsBeforePath; ++f)
            pathStart += fields.at(f).size() + 1;
        entries.insert(PathFromLocalBytes(QByteArrayView(line).sliced(pathStart)), entry);
    }
    m_entries = std::move(entries);
    return true;
}

bool TFingerprintCache::save(const QString &cachePath) const
{
    QByteArray bytes = CacheMarker + '\n';
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        const Entry &e = it.value();
        // A path with a line break cannot be written as a line: its file
        // is simply read again next time.
        if (!e.stored || it.key().contains(QLatin1Char('\n')))
            continue;
        bytes += QByteArray::number(e.modifiedMs) + '\t' + QByteArray::number(e.size) + '\t'
                 + QByteArray::number(e.print.AudioStart) + '\t' + QByteArray::number(e.print.AudioBytes) + '\t'
                 + e.print.Sampled.toHex() + '\t' + e.print.Full.toHex() + '\t' + LocalPathBytes(it.key())
                 + '\n';
    }
    // The cache's name is the program's own, like the scan index's: a link
    // planted in its place is not written through.
    TFileReplacement file(cachePath, TFileReplacement::TNamedBy::Program);
    return file.open() && writeAll(file.device(), bytes) && file.commit();
}

std::optional<TAudioFingerprint> TFingerprintCache::find(const QString &path, qint64 size,
                                                         qint64 modifiedMs) const
{
    const auto found = m_entries.constFind(path);
    if (found == m_entries.constEnd() || found->size != size || found->modifiedMs != modifiedMs)
        return std::nullopt;
    return found->print;
}

void TFingerprintCache::store(const QString &path, qint64 size, qint64 modifiedMs, const TAudioFingerprint &print)
{
    Entry &entry = m_entries[path];
    const bool same = entry.size == size && entry.modifiedMs == modifiedMs && entry.print.AudioStart == print.AudioStart
                      && entry.print.AudioBytes == print.AudioBytes && entry.print.Sampled == print.Sampled
                      && entry.print.Full == print.Full;
    m_changed = m_changed || !same;
    entry = Entry{size, modifiedMs, print, true};
}

bool TFingerprintCache::changedSinceLoad() const
{
    return m_changed || std::any_of(m_entries.cbegin(), m_entries.cend(), [](const Entry &e) { return !e.stored; });
}
