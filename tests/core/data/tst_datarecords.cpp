// Records of the generic model in the collection file: lookup items in the
// current and every older form, lookup reference lists, custom field names.

#include "collectionbytes.h"
#include "testroot.h"

#include "core/data/dataexceptions.h"
#include "core/data/datastream.h"

#include <QBuffer>
#include <QtTest>

using namespace testroot;

namespace {

// Reads bytes into one lookup list of the root, which is emptied first.
void readList(TLookupList &list, const QByteArray &bytes, qint32 fileVersion, qint32 dataVersion)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TDataReader reader(buffer);
    list.FreeAll();
    list.ReadFromStream(reader, fileVersion, dataVersion);
    QVERIFY2(buffer.atEnd(), "the record was not read to its end");
}

QByteArray writtenBy(TDataObject &object)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TDataWriter writer(buffer);
    object.WriteToStream(writer);
    writer.FlushBuffer();
    return buffer.data();
}

} // namespace

class TestDataRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookupRecordsOfEveryVersion_data();
    void lookupRecordsOfEveryVersion();
    void lookupRecordsAreWrittenInTheCurrentForm();
    void itemHeadersRaiseTheCounter();
    void damagedRecordIsDropped();
    void genreReferences();
    void customNames();
};

void TestDataRecords::lookupRecordsOfEveryVersion_data()
{
    QTest::addColumn<int>("fieldID");
    QTest::addColumn<int>("fileVersion");
    QTest::addColumn<int>("dataVersion");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("names"); // DisplayName, LastName, The, FirstName

    auto one = [](const TCollectionBytes &record) { return TCollectionBytes().list().bytes(record).end().data(); };

    QTest::newRow("genre 120") << GenreField << 120 << 100
                               << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("Pop")))
                               << 3 << QStringList{QStringLiteral("Pop"), {}, {}, {}};
    QTest::newRow("genre 110, three names dropped")
        << GenreField << 110 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("Pop")).scrambled(QStringLiteral("x"))
                   .scrambled(QStringLiteral("y")).scrambled(QStringLiteral("z")))
        << 3 << QStringList{QStringLiteral("Pop"), {}, {}, {}};
    QTest::newRow("genre below 100, no index")
        << GenreField << 90 << 100
        << one(TCollectionBytes().integer(40).scrambled(QStringLiteral("Pop")).scrambled({}).scrambled({}).scrambled({}))
        << 0 << QStringList{QStringLiteral("Pop"), {}, {}, {}};
    QTest::newRow("genre data 300, plain pair")
        << GenreField << 115 << 300
        << one(TCollectionBytes().integer(40).integer(3).string(QStringLiteral("Pop")).string({}))
        << 3 << QStringList{QStringLiteral("Pop"), {}, {}, {}};

    QTest::newRow("label 120")
        << LabelField << 120 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("The Wire")).scrambled(QStringLiteral("Wire"))
                   .scrambled(QStringLiteral("The")))
        << 3 << QStringList{QStringLiteral("The Wire"), QStringLiteral("Wire"), QStringLiteral("The"), {}};
    QTest::newRow("label 110, second name fills an empty last name")
        << LabelField << 110 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("The Wire")).scrambled(QStringLiteral("Wire"))
                   .scrambled({}).scrambled(QStringLiteral("The")))
        << 3 << QStringList{QStringLiteral("The Wire"), QStringLiteral("Wire"), QStringLiteral("The"), {}};
    QTest::newRow("label 110, own last name kept")
        << LabelField << 110 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("Wire Co")).scrambled(QStringLiteral("x"))
                   .scrambled(QStringLiteral("Wire")).scrambled({}))
        << 3 << QStringList{QStringLiteral("Wire Co"), QStringLiteral("Wire"), {}, {}};
    QTest::newRow("label 115 holds no names")
        << LabelField << 115 << 100 << one(TCollectionBytes().integer(40).integer(3)) << 3
        << QStringList{{}, {}, {}, {}};
    QTest::newRow("label data 300")
        << LabelField << 119 << 300
        << one(TCollectionBytes().integer(40).integer(3).string(QStringLiteral("Wire, The")).string({}))
        << 3 << QStringList{QStringLiteral("The Wire"), QStringLiteral("Wire"), QStringLiteral("The"), {}};

    QTest::newRow("artist 120")
        << ArtistField << 120 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("Anna Kestrel"))
                   .scrambled(QStringLiteral("Kestrel")).scrambled({}).scrambled(QStringLiteral("Anna")))
        << 3 << QStringList{QStringLiteral("Anna Kestrel"), QStringLiteral("Kestrel"), {}, QStringLiteral("Anna")};
    QTest::newRow("artist 110, first name before last")
        << ArtistField << 110 << 100
        << one(TCollectionBytes().integer(40).integer(3).scrambled(QStringLiteral("Anna Kestrel"))
                   .scrambled(QStringLiteral("Anna")).scrambled(QStringLiteral("Kestrel")).scrambled({}))
        << 3 << QStringList{QStringLiteral("Anna Kestrel"), QStringLiteral("Kestrel"), {}, QStringLiteral("Anna")};
    QTest::newRow("artist below 100")
        << ArtistField << 99 << 100
        << one(TCollectionBytes().integer(40).scrambled(QStringLiteral("Anna Kestrel"))
                   .scrambled(QStringLiteral("Anna")).scrambled(QStringLiteral("Kestrel")).scrambled({}))
        << 0 << QStringList{QStringLiteral("Anna Kestrel"), QStringLiteral("Kestrel"), {}, QStringLiteral("Anna")};
    // The family name is the part before the comma.
    QTest::newRow("artist data 300, sort form")
        << ArtistField << 110 << 300
        << one(TCollectionBytes().integer(40).integer(3).string(QStringLiteral("Kestrel, Anna")).string({}))
        << 3 << QStringList{QStringLiteral("Anna Kestrel"), QStringLiteral("Kestrel"), {}, QStringLiteral("Anna")};
    QTest::newRow("artist data 300, article")
        << ArtistField << 115 << 300
        << one(TCollectionBytes().integer(40).integer(3).string(QStringLiteral("Lanterns, The")).string({}))
        << 3 << QStringList{QStringLiteral("The Lanterns"), QStringLiteral("Lanterns"), QStringLiteral("The"), {}};
    QTest::newRow("artist data 300, display name given")
        << ArtistField << 115 << 300
        << one(TCollectionBytes().integer(40).integer(3).string(QStringLiteral("Kestrel, Anna")).string(QStringLiteral("A. Kestrel")))
        << 3 << QStringList{QStringLiteral("A. Kestrel"), QStringLiteral("Kestrel"), {}, QStringLiteral("Anna")};
    QTest::newRow("artist 115 holds no names")
        << ArtistField << 115 << 100 << one(TCollectionBytes().integer(40).integer(3)) << 3
        << QStringList{{}, {}, {}, {}};
    QTest::newRow("artist code page name")
        << ArtistField << 120 << 100
        << one(TCollectionBytes().integer(40).integer(3).rawScrambled("Bj\xf6rk").scrambled(QStringLiteral("Bj\u00f6rk"))
                   .scrambled({}).scrambled({}))
        << 3 << QStringList{QStringLiteral("Bj\u00f6rk"), QStringLiteral("Bj\u00f6rk"), {}, {}};
}

void TestDataRecords::lookupRecordsOfEveryVersion()
{
    QFETCH(int, fieldID);
    QFETCH(int, fileVersion);
    QFETCH(int, dataVersion);
    QFETCH(QByteArray, bytes);
    QFETCH(int, index);
    QFETCH(QStringList, names);

    TTestRoot root;
    TLookupList *list = root.GetLookupList(root.field(fieldID));
    readList(*list, bytes, fileVersion, dataVersion);
    QCOMPARE(list->Count(), 1);
    const TLookupItem *item = list->Get(0);
    QCOMPARE(item->ID, 40);
    QCOMPARE(item->Index, index);
    QCOMPARE(item->DisplayName, names.at(0));
    if (auto *sortItem = dynamic_cast<const TSortLookupItem *>(item)) {
        QCOMPARE(sortItem->LastName, names.at(1));
        QCOMPARE(sortItem->The, names.at(2));
    }
    if (auto *person = dynamic_cast<const TPersonLookupItem *>(item))
        QCOMPARE(person->FirstName, names.at(3));
    QVERIFY(root.NextID >= 41);
}

void TestDataRecords::lookupRecordsAreWrittenInTheCurrentForm()
{
    TTestRoot root;
    auto *artist = static_cast<TPersonLookupItem *>(root.Artists->CreateItem());
    artist->ID = 7;
    artist->Index = 2;
    artist->DisplayName = QStringLiteral("Anna Kestrel");
    artist->LastName = QStringLiteral("Kestrel");
    artist->FirstName = QStringLiteral("Anna");
    QCOMPARE(writtenBy(*root.Artists),
             TCollectionBytes()
                 .list()
                 .integer(7)
                 .integer(2)
                 .scrambled(QStringLiteral("Anna Kestrel"))
                 .scrambled(QStringLiteral("Kestrel"))
                 .scrambled({})
                 .scrambled(QStringLiteral("Anna"))
                 .end()
                 .data());

    // An item that never had an identifier receives one as it is written.
    root.NextID = 300;
    auto *genre = static_cast<TLookupItem *>(root.GenreList->CreateItem());
    genre->DisplayName = QStringLiteral("Pop");
    QCOMPARE(writtenBy(*root.GenreList),
             TCollectionBytes().list().integer(300).integer(0).scrambled(QStringLiteral("Pop")).end().data());
    QCOMPARE(genre->ID, 300);
    QCOMPARE(root.NextID, 301);
}

void TestDataRecords::itemHeadersRaiseTheCounter()
{
    // Every identifier read raises the counter, whatever the version.
    TTestRoot root;
    root.NextID = 5;
    readList(*root.GenreList,
             TCollectionBytes()
                 .list()
                 .integer(1000).integer(1).scrambled(QStringLiteral("a"))
                 .integer(12).integer(2).scrambled(QStringLiteral("b"))
                 .end(),
             120, 100);
    QCOMPARE(root.NextID, 1001);
}

void TestDataRecords::damagedRecordIsDropped()
{
    TTestRoot root;
    QByteArray data = TCollectionBytes()
                          .list()
                          .integer(1).integer(1).scrambled(QStringLiteral("Pop"))
                          .integer(2).integer(2) // the name is missing
                          .data();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TDataReader reader(buffer);
    root.GenreList->FreeAll();
    QVERIFY_THROWS_EXCEPTION(EDataRead, root.GenreList->ReadFromStream(reader, 120, 100));
    QCOMPARE(root.GenreList->Count(), 1);
    QCOMPARE(root.GenreList->Get(0)->DisplayName, QStringLiteral("Pop"));
    QCOMPARE(root.NextID, 3);
}

void TestDataRecords::genreReferences()
{
    TTestRoot root;
    readList(*root.GenreList,
             TCollectionBytes()
                 .list()
                 .integer(3).integer(1).scrambled(QStringLiteral("Pop"))
                 .integer(4).integer(2).scrambled(QStringLiteral("Rock"))
                 .end(),
             120, 100);
    TTestItem *item = root.addItem(QStringLiteral("x"));
    // Unknown identifiers and -1 are dropped; the order is the file's.
    QByteArray data = TCollectionBytes().list().integer(4).integer(9999).integer(-1).integer(3).end().data();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TDataReader reader(buffer);
    item->Genres->ReadFromStream(reader, 120, 100);
    QCOMPARE(item->Genres->GetText(), QStringLiteral("Rock; Pop"));
    QCOMPARE(writtenBy(*item->Genres), TCollectionBytes().list().integer(4).integer(3).end().data());
}

void TestDataRecords::customNames()
{
    TTestRoot root;
    root.Fields->FindByID(TitleField)->CustomName = QStringLiteral("Song");
    root.Fields->FindByID(SizeField)->CustomName = QStringLiteral("Bytes");
    // Catalogue order: Title before Size.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TDataWriter writer(out);
    root.Fields->WriteCustomNames(writer);
    writer.FlushBuffer();
    QCOMPARE(out.data(), TCollectionBytes()
                             .list()
                             .integer(TitleField).scrambled(QStringLiteral("Song"))
                             .integer(SizeField).scrambled(QStringLiteral("Bytes"))
                             .end()
                             .data());

    // Reading empties every name first; a pair for a field the catalogue
    // lacks is ignored.
    QByteArray data = TCollectionBytes()
                          .list()
                          .integer(ArtistField).scrambled(QStringLiteral("Performer"))
                          .integer(4711).scrambled(QStringLiteral("Unknown"))
                          .end()
                          .data();
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    TDataReader reader(in);
    root.Fields->ReadCustomNames(reader, 120, 100);
    QVERIFY(in.atEnd());
    QCOMPARE(root.Fields->FindByID(ArtistField)->CustomName, QStringLiteral("Performer"));
    QVERIFY(root.Fields->FindByID(TitleField)->CustomName.isEmpty());
    QVERIFY(root.Fields->FindByID(SizeField)->CustomName.isEmpty());
}

QTEST_APPLESS_MAIN(TestDataRecords)
#include "tst_datarecords.moc"
