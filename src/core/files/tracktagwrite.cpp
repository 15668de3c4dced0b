#include "core/files/tracktagwrite.h"

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3track.h"

#include <QFile>

#include <algorithm>
#include <limits>

#include <sys/statvfs.h>

namespace {

TTrackTagWrite failure(const QString &reason)
{
    return {TTrackTagWrite::TResult::Failed, reason};
}

// Why a file cannot be written, in the system's words where it has any.
QString writeProblem(const QString &path)
{
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, path, QIODevice::ReadWrite, &problem))
        return problem;
    return QStringLiteral("The ID3v1 tag could not be written.");
}

} // namespace

TTagWriteObstacle TagWriteObstacleOf(const QString &path)
{
    if (path.isEmpty() || !IsLocalFile(path))
        return TTagWriteObstacle::None;
    struct statvfs volume;
    if (::statvfs(LocalPathBytes(path).constData(), &volume) == 0 && (volume.f_flag & ST_RDONLY))
        return TTagWriteObstacle::ReadOnlyMedia;
    if (!OwnerMayWrite(path))
        return TTagWriteObstacle::ReadOnlyFile;
    return TTagWriteObstacle::None;
}

QString TagWriteObstacleText(TTagWriteObstacle obstacle)
{
    switch (obstacle) {
    case TTagWriteObstacle::ReadOnlyMedia:
        return QStringLiteral("The file is on read-only media.");
    case TTagWriteObstacle::ReadOnlyFile:
        return QStringLiteral("The file is read-only.");
    case TTagWriteObstacle::None:
        break;
    }
    return QString();
}

TTrackTagWrite WriteTrackToFileTags(TMp3Track &track)
{
    const QString path = track.FilePath;
    const TLocalFileInfo info = LocalFileInfo(path);
    if (path.isEmpty() || !info.Exists)
        return {};
    // Only regular files: a device or a pipe of the same name is no MP3 file
    // and reading it could block.
    if (!info.IsFile)
        return failure(QStringLiteral("It is not a regular file."));
    TMP3File file(path);
    if (!file.ReadInfo({})) {
        QFile probe;
        QString problem;
        return failure(OpenRegularFile(probe, path, QIODevice::ReadOnly, &problem)
                           ? QStringLiteral("The file could not be read.")
                           : problem);
    }
    if (!file.ID3v2.Exists && !file.ID3v1.Exists)
        return {TTrackTagWrite::TResult::NoTags, {}};
    file.ID3v2.Enabled = file.ID3v2.Exists;
    file.ID3v1.Enabled = file.ID3v1.Exists;
    CopyTrackToTags(track, file);
    if (file.ID3v2.Exists && !file.ID3v2.WriteToFile(path))
        return failure(file.ID3v2.errorString());
    if (file.ID3v1.Exists && !file.ID3v1.WriteToFile(path))
        return failure(writeProblem(path));
    TMP3File written(path);
    if (written.ReadInfo({})) {
        track.Size = qint32(std::min<qint64>(written.FileSize, std::numeric_limits<qint32>::max()));
        track.HeaderPosition = qint32(std::min<qint64>(written.MpegInfo.HeaderPosition, std::numeric_limits<qint32>::max()));
        track.FileModified = written.ModifiedTime;
    }
    return {TTrackTagWrite::TResult::Written, {}};
}
