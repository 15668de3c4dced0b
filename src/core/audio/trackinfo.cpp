#include "audio/infosources.h"

// The collection track answers nothing until the track record is linked in.
std::optional<QString> TTrackInfo::GetText(TMergedField) const
{
    return std::nullopt;
}

std::optional<qint32> TTrackInfo::GetNumber(TMergedField) const
{
    return std::nullopt;
}

void TTrackInfo::SetFilePath(const QString &) const
{
}
