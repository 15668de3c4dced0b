#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

class TDataField;
class TLookupItem;
class TRootItem;
class TMp3TrackList;

// Totals and averages over the tracks of a collection.  Every track counts,
// also those whose length, size or bitrate is 0 (files that could not be
// analysed): they pull the averages down.
struct TTrackTotals {
    qint64 Count = 0;
    qint64 Length = 0;   // seconds
    qint64 Size = 0;     // bytes
    qint64 Bitrate = 0;  // sum of kbit/s

    static TTrackTotals Of(const TMp3TrackList &tracks);

    // The rows of the statistics table, (statistic, value) in order:
    // "# Tracks", "Total Length", "Avg Length", "Total Size", "Avg Size",
    // "Avg Bitrate".
    QList<QPair<QString, QString>> Rows() const;
};

// How many main items of the collection carry one value of a lookup field.
struct TValueCount {
    TLookupItem *Value = nullptr;  // not owned
    qint32 Count = 0;
};

enum class TValueOrder { ByCount, ByName };

// Counts the collection's items per value of the lookup field (inherited
// values included) and returns the values used at least once: by count,
// the most used first, or by sort name.  noValueCount receives the number
// of items without a value.  The lookup list keeps its own order.
QList<TValueCount> CountLookupValues(TRootItem &root, const TDataField *field, TValueOrder order,
                                     qint32 &noValueCount);
