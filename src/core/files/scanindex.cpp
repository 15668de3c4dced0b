#include "core/files/scanindex.h"

#include "core/base/filereplacement.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/base/writeall.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QFile>
#include <QHash>

namespace {

// First line of the file; a different one means another format.
const QByteArray IndexMarker = "Tunebase scan index 1";
// An index is small beside its collection; anything far larger is no index.
constexpr qint64 MaxIndexBytes = 256 * 1024 * 1024;

struct Entry {
    qint64 size = 0;
    qint64 modifiedMs = 0;
};

// "modified<TAB>size<TAB>path" lines after the marker; false when any line
// is damaged, so that a damaged index is ignored as a whole.
bool parseIndex(const QByteArray &bytes, QHash<QString, Entry> &entries)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != IndexMarker)
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const qsizetype firstTab = line.indexOf('\t');
        const qsizetype secondTab = firstTab < 0 ? -1 : line.indexOf('\t', firstTab + 1);
        if (secondTab < 0)
            return false;
        bool modifiedOk = false;
        bool sizeOk = false;
        const Entry entry{line.mid(firstTab + 1, secondTab - firstTab - 1).toLongLong(&sizeOk),
                          line.left(firstTab).toLongLong(&modifiedOk)};
        if (!modifiedOk || !sizeOk || entry.modifiedMs <= 0 || secondTab + 1 >= line.size())
            return false;
        entries.insert(PathFromLocalBytes(QByteArrayView(line).sliced(secondTab + 1)), entry);
    }
    return true;
}

template <typename Visit>
void forEachTrack(const TMp3Root &root, Visit visit)
{
    const TMp3TrackList *tracks = root.GetTracks();
    for (int i = 0; i < tracks->Count(); ++i)
        if (TMp3Track *track = tracks->Get(i))
            visit(*track);
}

} // namespace

QString ScanIndexPath(const QString &collectionPath)
{
    return collectionPath + QStringLiteral("-index");
}

int LoadScanIndex(TMp3Root &root, const QString &collectionPath)
{
    QFile file;
    if (!OpenOwnFile(file, ScanIndexPath(collectionPath), QIODevice::ReadOnly) || file.size() > MaxIndexBytes)
        return 0;
    QHash<QString, Entry> entries;
    if (!parseIndex(file.readAll(), entries))
        return 0;
    int known = 0;
    forEachTrack(root, [&](TMp3Track &track) {
        const auto found = entries.constFind(track.FilePath);
        if (found != entries.constEnd() && found->size == track.Size) {
            track.FileModified = found->modifiedMs;
            ++known;
        }
    });
    return known;
}

bool SaveScanIndex(const TMp3Root &root, const QString &collectionPath, QString *problem)
{
    QByteArray bytes = IndexMarker + '\n';
    forEachTrack(root, [&](const TMp3Track &track) {
        // A path with a line break cannot be written as a line: its file
        // is simply read again by the next rescan.
        if (track.FileModified <= 0 || track.FilePath.isEmpty() || track.FilePath.contains(QLatin1Char('\n')))
            return;
        bytes += QByteArray::number(track.FileModified) + '\t' + QByteArray::number(track.Size) + '\t'
                 + LocalPathBytes(track.FilePath) + '\n';
    });
    TFileReplacement file(ScanIndexPath(collectionPath), TFileReplacement::TNamedBy::Program);
    QString why;
    if (!file.open())
        why = file.errorString();
    else if (!writeAll(file.device(), bytes))
        why = file.device().errorString();
    else if (!file.commit())
        why = file.errorString();
    else
        return true;
    if (problem)
        *problem = why;
    return false;
}

TFileStates FileStatesOfTracks(const TMp3Root &root)
{
    TFileStates states;
    forEachTrack(root, [&](const TMp3Track &track) {
        if (track.FileModified > 0 && !track.FilePath.isEmpty())
            states.insert(track.FilePath, track.Size, track.FileModified);
    });
    return states;
}
