#pragma once

#include <QString>
#include <QtGlobal>

class TDataItem;
class TDataReader;
class TDataWriter;

// Versions and markers of the collection file, shared by the records.
namespace CollectionFormat {
inline const QString FileMarker = QStringLiteral("Brimlow");
// The layout this program writes.  Other readers rely on these numbers, so
// they stay as they are.
constexpr qint32 CurrentFormatVersion = 120;
// From this format on lookup items store their Index after the identifier.
constexpr qint32 LookupIndexVersion = 100;
// From this format on the identifier counters follow the tracks (before
// it, NextID follows the data version).
constexpr qint32 CountersAtEndVersion = 110;
// The last format whose name items store their names in the old four-string
// form.
constexpr qint32 OldNamesLastVersion = 110;
// Below format 120, files of this data version store lookup names as a
// plain name pair.
constexpr qint32 PlainNamesDataVersion = 300;
// Identifiers are handed out from 0 upwards, one per item ever created: one
// above this (or a counter above it) comes from damage, and trusting it
// would leave the counter no room before it overflows.
constexpr qint32 MaxStoredID = 0x3FFFFFFF;
} // namespace CollectionFormat

// The start of every record: the identifier and (unless withIndex is false)
// the Index.  Reading raises the root's NextID above the identifier.
void readItemHeader(TDataItem &item, TDataReader &reader, bool withIndex);
void writeItemHeader(const TDataItem &item, TDataWriter &writer);

// Reads an integer stored for an 8-bit enumeration.  Values that do not fit
// in a byte become 255, which no name table holds, so they show as unknown.
quint8 readEnumByte(TDataReader &reader);
