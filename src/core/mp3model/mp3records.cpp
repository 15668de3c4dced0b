// The collection file records of the MP3 model.  They follow the value
// reader and writer of the collection file; until those exist they report,
// as the generic records do, that the format is unavailable.

#include "mp3model/mp3lookups.h"
#include "mp3model/mp3track.h"

void TMp3Track::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    TDataItem::ReadFromStream(reader, fileVersion, dataVersion);
}

void TMp3Track::WriteToStream(TDataWriter &writer)
{
    TDataItem::WriteToStream(writer);
}

void TLocationLookupItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    TSortLookupItem::ReadFromStream(reader, fileVersion, dataVersion);
}

void TLocationLookupItem::WriteToStream(TDataWriter &writer)
{
    TSortLookupItem::WriteToStream(writer);
}
