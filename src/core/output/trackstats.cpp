#include "core/output/trackstats.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"

TTrackTotals TTrackTotals::Of(const TMp3TrackList &tracks)
{
    TTrackTotals totals;
    for (int i = 0; i < tracks.Count(); ++i) {
        const TMp3Track *track = tracks.Get(i);
        ++totals.Count;
        totals.Length += track->Length;
        totals.Size += track->Size;
        totals.Bitrate += track->Bitrate;
    }
    return totals;
}

QList<QPair<QString, QString>> TTrackTotals::Rows() const
{
    const qint64 averageLength = Count > 0 ? Length / Count : 0;
    const qint64 averageSize = Count > 0 ? Size / Count : 0;
    const qint64 averageBitrate = Count > 0 ? Bitrate / Count : 0;
    return {
        {QStringLiteral("# Tracks"), QString::number(Count)},
        {QStringLiteral("Total Length"),
         QStringLiteral("%1 hrs, %2 mins").arg(Length / 3600).arg(Length % 3600 / 60)},
        {QStringLiteral("Avg Length"),
         QStringLiteral("%1 mins, %2 sec").arg(averageLength / 60).arg(averageLength % 60)},
        {QStringLiteral("Total Size"), QStringLiteral("%1 MB").arg(Size / 1048576)},
        {QStringLiteral("Avg Size"), QStringLiteral("%1 KB").arg(averageSize / 1024)},
        {QStringLiteral("Avg Bitrate"), QStringLiteral("%1 kbps").arg(averageBitrate)},
    };
}

QList<TValueCount> CountLookupValues(TRootItem &root, const TDataField *field, TValueOrder order,
                                     qint32 &noValueCount)
{
    noValueCount = 0;
    TLookupList *values = root.GetLookupList(field);
    if (!values)
        return {};
    root.CountUsage(field, nullptr, noValueCount, true);
    TDataRefList used;
    for (int i = 0; i < values->Count(); ++i)
        if (values->Get(i)->UseCount > 0)
            used.Add(values->Get(i));
    if (order == TValueOrder::ByCount) {
        if (const TDataField *useCount = root.Fields->FindByID(FieldIds::Used))
            used.SortByField(useCount, -1);
    } else if (const TDataField *sortName = root.Fields->FindByID(FieldIds::SortName)) {
        used.SortByField(sortName, 1);
    }
    QList<TValueCount> counts;
    counts.reserve(used.Count());
    for (TDataItem *item : used) {
        auto *value = static_cast<TLookupItem *>(item);
        counts.append({value, value->UseCount});
    }
    return counts;
}
