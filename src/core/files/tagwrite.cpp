#include "core/files/tagwrite.h"

#include "core/audio/mergedfields.h"
#include "core/base/localfiles.h"
#include "core/base/regularfile.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackfields.h"

#include <QFile>

#include <algorithm>
#include <limits>

namespace {

using TFailure = TTagWriteResult::TFailure;

qint32 clampedToInt32(qint64 value)
{
    return qint32(std::min<qint64>(value, std::numeric_limits<qint32>::max()));
}

// Why the ID3v1 tag could not be written, in the system's words where it
// has any (its writer keeps no complaint of its own).
QString v1Problem(const QString &path)
{
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, path, QIODevice::ReadWrite, &problem))
        return problem;
    return QStringLiteral("The ID3v1 tag could not be written.");
}

bool readyToWrite(TMP3File &file, TReadOnlyFiles readOnly)
{
    if (readOnly == TReadOnlyFiles::Try || !file.IsReadOnly())
        return true;
    return readOnly == TReadOnlyFiles::MakeWritable && file.SetReadOnly(false);
}

// Set switches the tag on and fills it, Remove switches it off; a tag left
// alone is not touched at all (writing it back would re-encode it).
template <typename Tag>
void prepareTag(TMP3File &file, Tag &tag, TTagAction action, const TTagWriteRequest &request)
{
    if (action == TTagAction::NoChange)
        return;
    tag.Enabled = action == TTagAction::Set;
    if (!tag.Enabled)
        return;
    if (request.MergedValues)
        MergedTagValues(file).PutInto(tag);
    else
        request.Values.PutInto(tag);
}

void refreshTrack(TMP3File &file, const TTagWriteRequest &request)
{
    TMp3Track &track = *request.Track;
    switch (request.Refresh) {
    case TTrackRefresh::None:
        return;
    case TTrackRefresh::FileValues: {
        // The track shows what is now in the file, sizes and stream
        // position included.  The track is the file's link while its values
        // are taken: it is one of the sources the file's values merge.
        file.ReadInfo(request.ParseFormats);
        TMp3Track *previousLink = file.TrackInfo.LinkedTrack;
        file.LinkTrack(&track);
        CopyFileToTrack(track, file);
        file.LinkTrack(previousLink);
        return;
    }
    case TTrackRefresh::FilePlace:
        if (file.ReadInfo(request.ParseFormats)) {
            track.Size = clampedToInt32(file.FileSize);
            track.HeaderPosition = clampedToInt32(file.MpegInfo.HeaderPosition);
            track.FileModified = file.ModifiedTime;
        }
        return;
    }
}

} // namespace

TTagWriteResult WriteFileTags(TMP3File &file, const TTagWriteRequest &request)
{
    TTagWriteResult result;
    if (!IsLocalFile(file.Path)) {
        result.Failure = TFailure::NotAFile;
        return result;
    }
    if (!readyToWrite(file, request.ReadOnly)) {
        result.Failure = TFailure::ReadOnly;
        return result;
    }
    prepareTag(file, file.ID3v1, request.V1, request);
    prepareTag(file, file.ID3v2, request.V2, request);
    if (request.V1 == TTagAction::Set)
        result.V1LeftOut = file.ID3v1.UnwritableFields();

    if (request.V2 != TTagAction::NoChange) {
        if (!file.ID3v2.WriteToFile(file.Path)) {
            result.Failure = TFailure::V2;
            result.Error = file.ID3v2.errorString();
            return result;
        }
        result.V2Done = request.V2;
    }
    if (request.V1 != TTagAction::NoChange) {
        if (!file.ID3v1.WriteToFile(file.Path)) {
            result.Failure = TFailure::V1;
            result.Error = v1Problem(file.Path);
            return result;
        }
        result.V1Done = request.V1;
    }

    if (!request.NewName.isEmpty() && request.NewName != file.Name && !file.Rename(request.NewName))
        result.RenameFailed = true;
    if (request.MakeReadOnly && !file.IsReadOnly())
        file.SetReadOnly(true);
    if (request.Track)
        refreshTrack(file, request);
    return result;
}

TTagValues MergedTagValues(const TMP3File &file)
{
    const TInfoSourceSet sources = file.Sources();
    TTagValues values;
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        if (IsMergedNumberField(row.Field)) {
            if (const qint32 number = sources.GetMergedNumber(row.Field); number != 0)
                values.Set(row.Field, QString(), number);
        } else if (const QString text = sources.GetMergedText(row.Field); !text.isEmpty()) {
            values.Set(row.Field, text);
        }
    }
    return values;
}

TTagValues TrackTagValues(const TMp3Track &track)
{
    TTagValues values;
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        const TTrackFieldRow &trackRow = TrackFieldRow(row.Field);
        values.Set(row.Field, TrackFieldOwnText(track, trackRow), TrackFieldNumber(track, trackRow));
    }
    return values;
}
