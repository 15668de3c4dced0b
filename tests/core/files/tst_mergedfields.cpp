#include "core/audio/mergedfields.h"
#include "core/files/mp3file.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackfields.h"

#include "mp3builder.h"
#include "testsupport.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(TMergedField)

namespace {

// A value for the field that every record holds whole, the ID3v1 tag too.
QString sampleText(const TMergedFieldRow &row)
{
    switch (row.Field) {
    case TMergedField::Year: return QStringLiteral("1987");
    case TMergedField::Genre: return QStringLiteral("Jazz");
    case TMergedField::AudioURL:
    case TMergedField::ArtistURL:
    case TMergedField::GeneralURL: return QStringLiteral("http://example.com/") + QLatin1String(row.Name);
    default: return QStringLiteral("Value of ") + QLatin1String(row.Name);
    }
}

qint32 sampleNumber(const TMergedFieldRow &row)
{
    return row.Field == TMergedField::BPM ? 120 : 7;
}

TMp3Track *newTrack(TMp3Root &root)
{
    return static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
}

// The track's value of every field, as tags and exports take it.
QStringList values(const TMp3Track &track)
{
    QStringList all;
    for (const TMergedFieldRow &row : MergedFieldRows())
        all << TrackFieldOwnText(track, TrackFieldRow(row.Field));
    return all;
}

// What a track with only field set should hold: the sample there, nothing
// elsewhere ("0" for the numbers).
QStringList expectedValues(TMergedField field, const QString &value, const QStringList &untouched)
{
    QStringList all = untouched;
    for (int i = 0; i < MergedFieldCount; ++i)
        if (MergedFieldRows()[size_t(i)].Field == field)
            all[i] = value;
    return all;
}

} // namespace

class TestMergedFields : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyFieldOnceInEachTable();
    void roundTrip_data();
    void roundTrip();
};

void TestMergedFields::everyFieldOnceInEachTable()
{
    QSet<int> tagFields;
    QSet<int> trackFields;
    QSet<QString> names;
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        tagFields.insert(int(row.Field));
        names.insert(QString::fromLatin1(row.Name).toLower());
        QVERIFY2(row.V2.Holds(), row.Name);
        QCOMPARE(&MergedFieldRow(row.Field), &row);
        QCOMPARE(FindMergedFieldRow(QString::fromLatin1(row.Name).toUpper()), &row);
        // A number is a number in every record that holds the field.
        QCOMPARE(bool(row.V2.Number), IsMergedNumberField(row.Field));
        QCOMPARE(bool(TrackFieldRow(row.Field).Number), IsMergedNumberField(row.Field));
    }
    for (const TTrackFieldRow &row : TrackFieldRows())
        trackFields.insert(int(row.Field));
    QCOMPARE(tagFields.size(), MergedFieldCount);
    QCOMPARE(trackFields.size(), MergedFieldCount);
    QCOMPARE(names.size(), MergedFieldCount);
}

void TestMergedFields::roundTrip_data()
{
    QTest::addColumn<TMergedField>("field");
    for (const TMergedFieldRow &row : MergedFieldRows())
        QTest::newRow(row.Name) << row.Field;
}

// One field set on a track goes into both tags, into the file, and back
// into a new track of another collection: into the same field and no
// other.  The ID3v1 tag carries back the fields it holds.  A clone holds
// it too and is equal until the field changes.
void TestMergedFields::roundTrip()
{
    QFETCH(TMergedField, field);
    const TMergedFieldRow &row = MergedFieldRow(field);
    const TTrackFieldRow &trackRow = TrackFieldRow(field);
    const QString text = sampleText(row);
    const qint32 number = sampleNumber(row);
    const QString expected = IsMergedNumberField(field) ? QString::number(number) : text;

    TMp3Root root;
    TMp3Track &track = *newTrack(root);
    const QStringList empty = values(track);
    TakeTrackField(track, trackRow, text, number, &root);
    QCOMPARE(values(track), expectedValues(field, expected, empty));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    QVERIFY(testsupport::writeFile(path, mp3::Frame().stream(12)));
    TMP3File file(path);
    QVERIFY(file.ReadInfo({}));
    file.ID3v1.Enabled = true;
    file.ID3v2.Enabled = true;
    CopyTrackToTags(track, file);
    QVERIFY(file.ID3v2.WriteToFile(path));
    QVERIFY(file.ID3v1.WriteToFile(path));

    TMP3File reread(path);
    QVERIFY(reread.ReadInfo({}));
    TMp3Root other;
    reread.SetInfoSources(false, false, true, false, false);
    TMp3Track &fromV2 = *newTrack(other);
    CopyFileToTrack(fromV2, reread);
    QCOMPARE(values(fromV2), expectedValues(field, expected, empty));

    reread.SetInfoSources(false, false, false, true, false);
    TMp3Track &fromV1 = *newTrack(other);
    CopyFileToTrack(fromV1, reread);
    // A tag without a genre of its list says "Other".
    const QStringList v1Empty = expectedValues(TMergedField::Genre, QStringLiteral("Other"), empty);
    const bool inV1 = row.V1.Holds() || row.IsGenre;
    QCOMPARE(values(fromV1), inV1 ? expectedValues(field, expected, v1Empty) : v1Empty);

    const std::unique_ptr<TDataItem> clone = track.Clone(root.GetTracks(), true);
    auto &copy = static_cast<TMp3Track &>(*clone);
    QCOMPARE(values(copy), values(track));
    QVERIFY(track.IsEqual(&copy));
    TakeTrackField(copy, trackRow, text + QStringLiteral("2"), number + 1, &root);
    QVERIFY(!track.IsEqual(&copy));
}

QTEST_GUILESS_MAIN(TestMergedFields)
#include "tst_mergedfields.moc"
