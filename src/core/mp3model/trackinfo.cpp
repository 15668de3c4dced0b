#include "core/mp3model/trackinfo.h"

#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackfields.h"

std::optional<QString> TTrackInfo::GetText(TMergedField field) const
{
    if (!LinkedTrack || IsMergedNumberField(field))
        return std::nullopt;
    return TrackFieldText(*LinkedTrack, TrackFieldRow(field));
}

std::optional<qint32> TTrackInfo::GetNumber(TMergedField field) const
{
    if (!LinkedTrack || !IsMergedNumberField(field))
        return std::nullopt;
    return TrackFieldNumber(*LinkedTrack, TrackFieldRow(field));
}

void TTrackInfo::SetFilePath(const QString &path) const
{
    if (LinkedTrack)
        LinkedTrack->FilePath = path;
}
