#include "core/files/tracktagwrite.h"

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/files/mp3file.h"
#include "core/files/tagwrite.h"
#include "core/mp3model/mp3track.h"

#include <QFile>

#include <sys/statvfs.h>

namespace {

TTrackTagWrite failure(const QString &reason)
{
    return {TTrackTagWrite::TResult::Failed, reason};
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
    // The tags the file has, neither more nor fewer.
    TTagWriteRequest request;
    request.V2 = file.ID3v2.Exists ? TTagAction::Set : TTagAction::NoChange;
    request.V1 = file.ID3v1.Exists ? TTagAction::Set : TTagAction::NoChange;
    request.Values = TrackTagValues(track);
    request.Track = &track;
    request.Refresh = TTrackRefresh::FilePlace;
    const TTagWriteResult result = WriteFileTags(file, request);
    if (!result.Written())
        return failure(result.Error);
    return {TTrackTagWrite::TResult::Written, {}};
}
