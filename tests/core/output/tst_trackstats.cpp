#include "core/data/fieldlists.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/output/trackstats.h"

#include <QtTest>

namespace {

TMp3Track *addTrack(TMp3Root &root, qint32 length, qint32 size, qint32 bitrate, const QString &artist = QString())
{
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->Length = length;
    track->Size = size;
    track->Bitrate = bitrate;
    if (!artist.isEmpty())
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
    return track;
}

QString rowValue(const TTrackTotals &totals, const QString &statistic)
{
    for (const auto &row : totals.Rows())
        if (row.first == statistic)
            return row.second;
    return QStringLiteral("<missing>");
}

} // namespace

class TestTrackStats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void totals()
    {
        TMp3Root root;
        addTrack(root, 200, 4'000'000, 128);
        addTrack(root, 250, 4'000'000, 192);
        addTrack(root, 100, 4'000'000, 0);  // not analysed: still counts
        const TTrackTotals totals = TTrackTotals::Of(*root.GetTracks());
        QCOMPARE(rowValue(totals, QStringLiteral("# Tracks")), QStringLiteral("3"));
        QCOMPARE(rowValue(totals, QStringLiteral("Total Length")), QStringLiteral("0 hrs, 9 mins"));
        QCOMPARE(rowValue(totals, QStringLiteral("Avg Length")), QStringLiteral("3 mins, 3 sec"));
        QCOMPARE(rowValue(totals, QStringLiteral("Total Size")), QStringLiteral("11 MB"));
        QCOMPARE(rowValue(totals, QStringLiteral("Avg Size")), QStringLiteral("3906 KB"));
        QCOMPARE(rowValue(totals, QStringLiteral("Avg Bitrate")), QStringLiteral("106 kbps"));
    }

    void emptyCollection()
    {
        TMp3Root root;
        const auto rows = TTrackTotals::Of(*root.GetTracks()).Rows();
        const QStringList values = [&] {
            QStringList v;
            for (const auto &row : rows)
                v.append(row.second);
            return v;
        }();
        QCOMPARE(values, (QStringList{QStringLiteral("0"), QStringLiteral("0 hrs, 0 mins"),
                                      QStringLiteral("0 mins, 0 sec"), QStringLiteral("0 MB"),
                                      QStringLiteral("0 KB"), QStringLiteral("0 kbps")}));
    }

    // Sums that pass 2^31 (a large collection) stay right.
    void largeSums()
    {
        TMp3Root root;
        for (int i = 0; i < 3; ++i)
            addTrack(root, 0, 2'000'000'000, 0);
        QCOMPARE(rowValue(TTrackTotals::Of(*root.GetTracks()), QStringLiteral("Total Size")),
                 QStringLiteral("5722 MB"));
    }

    void valuesByCountAndByName()
    {
        TMp3Root root;
        addTrack(root, 1, 1, 1, QStringLiteral("Zebra"));
        addTrack(root, 1, 1, 1, QStringLiteral("Apple"));
        addTrack(root, 1, 1, 1, QStringLiteral("Zebra"));
        addTrack(root, 1, 1, 1);
        root.Artists->FindOrAdd(QStringLiteral("Unused"));
        const TDataField *artist = root.Fields->FindByID(Mp3FieldIds::Artist);

        qint32 noValue = -1;
        QList<TValueCount> counts = CountLookupValues(root, artist, TValueOrder::ByCount, noValue);
        QCOMPARE(noValue, 1);
        QCOMPARE(counts.size(), 2);  // the unused value is left out
        QCOMPARE(counts.at(0).Value->DisplayName, QStringLiteral("Zebra"));
        QCOMPARE(counts.at(0).Count, 2);
        QCOMPARE(counts.at(1).Value->DisplayName, QStringLiteral("Apple"));

        counts = CountLookupValues(root, artist, TValueOrder::ByName, noValue);
        QCOMPARE(counts.at(0).Value->DisplayName, QStringLiteral("Apple"));
        QCOMPARE(counts.at(1).Value->DisplayName, QStringLiteral("Zebra"));
        // The lookup list itself keeps its order.
        QCOMPARE(root.Artists->Get(root.Artists->Count() - 1)->DisplayName, QStringLiteral("Zebra"));
    }

    void notALookupField()
    {
        TMp3Root root;
        addTrack(root, 1, 1, 1, QStringLiteral("Zebra"));
        qint32 noValue = -1;
        QVERIFY(CountLookupValues(root, root.Fields->FindByID(Mp3FieldIds::Title), TValueOrder::ByCount, noValue)
                    .isEmpty());
        QCOMPARE(noValue, 0);
    }
};

QTEST_APPLESS_MAIN(TestTrackStats)
#include "tst_trackstats.moc"
