// The member table of the collection track: every value a track stores is
// one row, and clearing, cloning, comparing and the collection file all
// carry each row.  A member added to the track but not to the table, or a
// row one of them skips, fails here.

#include "tracksamples.h"

#include "core/data/collectionfile.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackmembers.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(const TTrackMember *)

class TestTrackMembers : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void everyTrackFieldHasAMember();
    void eachMemberIsCarried_data();
    void eachMemberIsCarried();
};

void TestTrackMembers::everyTrackFieldHasAMember()
{
    TMp3Root root;
    QSet<qint32> shown;
    QSet<QString> names;
    for (const TTrackMember &row : TrackMembers()) {
        QVERIFY2(!names.contains(QString::fromLatin1(row.Name)), row.Name);
        names.insert(QString::fromLatin1(row.Name));
        if (row.FieldID == 0)
            continue;
        QVERIFY2(root.Fields->FindByID(row.FieldID), row.Name);
        QCOMPARE(TrackMemberOf(row.FieldID), &row);
        shown.insert(row.FieldID);
    }
    // Every field a track list offers shows a member, but the identifier
    // and index every item has and the file name, the last part of the path.
    const QSet<qint32> notMembers{FieldIds::ID, FieldIds::Index, Mp3FieldIds::Filename};
    for (int i = 0; i < root.Fields->Count(); ++i) {
        const TDataField *field = root.Fields->Get(i);
        if (!field->ListKinds.contains(ListKind::MainItems) || notMembers.contains(field->ID))
            continue;
        QVERIFY2(shown.contains(field->ID), qPrintable(field->Name));
    }
}

void TestTrackMembers::eachMemberIsCarried_data()
{
    QTest::addColumn<const TTrackMember *>("row");
    for (const TTrackMember &row : TrackMembers())
        QTest::newRow(row.Name) << &row;
}

void TestTrackMembers::eachMemberIsCarried()
{
    QFETCH(const TTrackMember *, row);
    TMp3Root root;
    const auto *blank = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    auto *sample = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    SetSampleValue(*sample, *row, root);
    QVERIFY(!SameTrackMember(*blank, *sample, *row));

    const std::unique_ptr<TDataItem> clone = sample->Clone(nullptr, true);
    auto &cloned = static_cast<TMp3Track &>(*clone);
    QVERIFY(SameTrackMember(*sample, cloned, *row));
    QVERIFY(cloned.IsEqual(sample));

    // The clone without the value is another track unless the member is
    // one the comparison leaves out.
    ClearTrackMember(cloned, *row);
    QVERIFY(SameTrackMember(*blank, cloned, *row));
    QCOMPARE(cloned.IsEqual(sample), !row->Compared);

    const std::unique_ptr<TDataItem> cleared = sample->Clone(nullptr, true);
    cleared->Clear();
    QVERIFY(SameTrackMember(*blank, static_cast<TMp3Track &>(*cleared), *row));

    // Through the collection file: the value comes back unless the member
    // is kept elsewhere.
    const QString file = m_dir.filePath(QString::fromLatin1(row->Name) + QStringLiteral(".tbx"));
    QVERIFY(saveCollection(root, file).Saved);
    TMp3Root loaded;
    QVERIFY(loadCollection(loaded, file).opened());
    QCOMPARE(loaded.GetTracks()->Count(), 2);
    const auto *read = static_cast<const TMp3Track *>(loaded.GetTracks()->Get(1));
    const QString expected = TrackMemberText(row->InRecord ? *sample : *blank, *row);
    QCOMPARE(TrackMemberText(*read, *row), expected);
}

QTEST_GUILESS_MAIN(TestTrackMembers)
#include "tst_trackmembers.moc"
