#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "memorysettingsstore.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include <QTest>

using namespace Mp3FieldIds;

namespace {

QList<qint32> fieldIDs(const TDataFieldRefList &list)
{
    QList<qint32> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids.append(list.Get(i)->Field->ID);
    return ids;
}

// Titles of the tracks in list order.
QStringList titles(const TDataRefList &list)
{
    QStringList result;
    for (TDataItem *item : list)
        result.append(static_cast<TMp3Track *>(item)->Title);
    return result;
}

const QString columnsSection = QStringLiteral("ItemColumnFields");

} // namespace

class tst_FieldRefs : public QObject {
    Q_OBJECT

private:
    TMp3Root root;

    TDataField *field(qint32 id) const { return root.Fields->FindByID(id); }
    // A track with the given artist and title; identifiers are drawn in the
    // order given by id.
    TMp3Track *addTrack(const QString &artist, const QString &title, int bitrate = 0);

private Q_SLOTS:
    void cleanup();

    void sortTiesByIdentifierAscending_data();
    void sortTiesByIdentifierAscending();
    void sortByTwoFields();
    void sortByFieldTiesFollowDirection_data();
    void sortByFieldTiesFollowDirection();
    void sortSkipsEmptyReference();
    void sortOrdersAsPairwiseComparison_data();
    void sortOrdersAsPairwiseComparison();

    void referencesCloneTheirValues();
    void indexOfFieldAndAssign();

    void freshStoreYieldsDefaults();
    void storedColumnsSkipUnknownFields();
    void missingEntryValuesHaveDefaults();
    void savingFewerEntriesLeavesStaleOnes();
    void roundTrips();
    void damagedCounts_data();
    void damagedCounts();
    void listWithoutRootLoadsNothing();
};

void tst_FieldRefs::cleanup()
{
    root.Clear();
}

TMp3Track *tst_FieldRefs::addTrack(const QString &artist, const QString &title, int bitrate)
{
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->Title = title;
    track->Bitrate = bitrate;
    if (!artist.isEmpty())
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
    track->GetID();
    return track;
}

void tst_FieldRefs::sortTiesByIdentifierAscending_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ascending") << 1 << QStringList({"a1", "a2", "b1"});
    QTest::newRow("descending") << -1 << QStringList({"b1", "a1", "a2"});
}

void tst_FieldRefs::sortTiesByIdentifierAscending()
{
    QFETCH(int, order);
    // Created in reverse, then listed so that a plain stable sort would keep
    // the wrong order for the tie.
    TMp3Track *b1 = addTrack(QStringLiteral("Bea"), QStringLiteral("b1"));
    TMp3Track *a1 = addTrack(QStringLiteral("Anna"), QStringLiteral("a1"));
    TMp3Track *a2 = addTrack(QStringLiteral("anna"), QStringLiteral("a2"));
    QVERIFY(a1->GetID() < a2->GetID());
    TDataRefList list;
    list.Add(a2);
    list.Add(b1);
    list.Add(a1);

    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.Add(std::make_unique<TSortField>(field(Artist), order, &sortFields));
    list.SortByFields(sortFields);
    QTEST(titles(list), "expected");
}

void tst_FieldRefs::sortByTwoFields()
{
    addTrack(QStringLiteral("Bea"), QStringLiteral("x"), 128);
    addTrack(QStringLiteral("Anna"), QStringLiteral("y"), 128);
    addTrack(QStringLiteral("Anna"), QStringLiteral("z"), 320);
    addTrack(QStringLiteral("Anna"), QStringLiteral("w"), 64);

    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.Add(std::make_unique<TSortField>(field(Bitrate), -1, &sortFields));
    sortFields.Add(std::make_unique<TSortField>(field(Artist), 1, &sortFields));
    root.GetTracks()->SortByFields(sortFields);
    QCOMPARE(titles(*root.GetTracks()), QStringList({"z", "y", "x", "w"}));

    const TSortKeys keys = sortFields.sortKeys();
    QCOMPARE(keys.size(), 2);
    QCOMPARE(keys[0].Field, field(Bitrate));
    QCOMPARE(keys[0].Order, -1);
}

void tst_FieldRefs::sortByFieldTiesFollowDirection_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ascending") << 1 << QStringList({"first", "second", "third"});
    QTest::newRow("descending") << -1 << QStringList({"third", "second", "first"});
}

void tst_FieldRefs::sortByFieldTiesFollowDirection()
{
    QFETCH(int, direction);
    TMp3Track *first = addTrack(QStringLiteral("Anna"), QStringLiteral("first"));
    TMp3Track *second = addTrack(QStringLiteral("Anna"), QStringLiteral("second"));
    TMp3Track *third = addTrack(QStringLiteral("Bea"), QStringLiteral("third"));
    TDataRefList list;
    list.Add(second);
    list.Add(third);
    list.Add(first);
    list.SortByField(field(Artist), direction);
    QTEST(titles(list), "expected");
}

void tst_FieldRefs::sortSkipsEmptyReference()
{
    addTrack(QString(), QStringLiteral("b"));
    addTrack(QString(), QStringLiteral("a"));
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.Add(std::make_unique<TSortField>(nullptr, 1, &sortFields));
    sortFields.Add(std::make_unique<TSortField>(field(Title), 1, &sortFields));
    root.GetTracks()->SortByFields(sortFields);
    QCOMPARE(titles(*root.GetTracks()), QStringList({"a", "b"}));
}

void tst_FieldRefs::sortOrdersAsPairwiseComparison_data()
{
    QTest::addColumn<QList<qint32>>("fields");
    QTest::addColumn<QList<qint32>>("orders");
    QTest::newRow("artist, title") << QList<qint32>{Artist, Title} << QList<qint32>{1, 1};
    QTest::newRow("artist descending, bitrate") << QList<qint32>{Artist, Bitrate} << QList<qint32>{-1, 1};
    QTest::newRow("genres, title descending") << QList<qint32>{Genre, Title} << QList<qint32>{1, -1};
    QTest::newRow("file name") << QList<qint32>{Filename} << QList<qint32>{1};
    QTest::newRow("album, track number") << QList<qint32>{Album, TrackIndex} << QList<qint32>{1, 1};
    QTest::newRow("composer, size descending") << QList<qint32>{Composer, Size} << QList<qint32>{1, -1};
}

void tst_FieldRefs::sortOrdersAsPairwiseComparison()
{
    // Values are taken once per track before sorting; the order must be the
    // one the fields' own comparisons give, ties and case included.
    QFETCH(QList<qint32>, fields);
    QFETCH(QList<qint32>, orders);
    const QStringList people{"Anna Kestrel", "anna kestrel", "The Lanterns", "Bea", "", "Kestrel, Anna", "\u00c9mile"};
    const QStringList texts{"b", "B", "a", "", "\u00e9t\u00e9", "a b", "ab"};
    for (int i = 0; i < 60; ++i) {
        TMp3Track *track = addTrack(people.at(i * 7 % people.size()), texts.at(i * 5 % texts.size()), 64 << (i % 3));
        if (TLookupItem *artist = track->Artist)
            static_cast<TPersonLookupItem *>(artist)->GenerateNamePartsFromName();
        if (!people.at(i % people.size()).isEmpty())
            track->Composer = static_cast<TPersonLookupItem *>(root.Composers->FindOrAdd(people.at(i % people.size())));
        track->Album = static_cast<TAlbumLookupItem *>(root.Albums->FindOrAdd(texts.at(i % 4 + 1)));
        // Distinct values that sort alike tie.
        if (i % 6 == 0)
            track->Album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(i % 12 ? QStringLiteral("b") : QStringLiteral("B")));
        for (int g = 0; g < i % 3; ++g)
            track->Genres->Add(root.GenreList->FindOrAdd(texts.at((i + g) % texts.size())));
        track->FilePath = QStringLiteral("/music/%1/%2.mp3").arg(i % 4).arg(texts.at(i * 3 % texts.size()));
        track->TrackIndex = i % 9;
        track->Size = (i % 5) * 1000 - 2000;
    }
    TSortKeys keys;
    for (int i = 0; i < fields.size(); ++i)
        keys.append({field(fields.at(i)), orders.at(i)});
    QList<TDataItem *> expected(root.GetTracks()->begin(), root.GetTracks()->end());
    std::sort(expected.begin(), expected.end(), [&keys](const TDataItem *a, const TDataItem *b) {
        for (const TSortKey &key : keys) {
            if (const int result = key.Field->Compare(a, b) * key.Order)
                return result < 0;
        }
        return a->GetID() < b->GetID();
    });
    root.GetTracks()->SortByFields(keys);
    QCOMPARE(QList<TDataItem *>(root.GetTracks()->begin(), root.GetTracks()->end()), expected);
}

void tst_FieldRefs::referencesCloneTheirValues()
{
    const TSortField sort(field(Title), -1);
    std::unique_ptr<TDataItem> sortClone = sort.Clone(nullptr, false);
    auto *sortCopy = dynamic_cast<TSortField *>(sortClone.get());
    QVERIFY(sortCopy);
    QCOMPARE(sortCopy->Field, field(Title));
    QCOMPARE(sortCopy->Order, -1);

    const TColumnField column(field(Size), 77);
    std::unique_ptr<TDataItem> columnClone = column.Clone(nullptr, false);
    auto *columnCopy = dynamic_cast<TColumnField *>(columnClone.get());
    QVERIFY(columnCopy);
    QCOMPARE(columnCopy->Width, 77);
    QCOMPARE(columnCopy->Field, field(Size));

    std::unique_ptr<TDataItem> emptySort = sort.CreateNew(nullptr);
    QCOMPARE(static_cast<TSortField *>(emptySort.get())->Order, 1);
    QVERIFY(!static_cast<TSortField *>(emptySort.get())->Field);
    std::unique_ptr<TDataItem> emptyColumn = column.CreateNew(nullptr);
    QCOMPARE(static_cast<TColumnField *>(emptyColumn.get())->Width, 0);

    const TGroupField group(field(Album));
    std::unique_ptr<TDataItem> groupClone = group.Clone(nullptr, false);
    QVERIFY(dynamic_cast<TGroupField *>(groupClone.get()));
    QCOMPARE(static_cast<TGroupField *>(groupClone.get())->Field, field(Album));
}

void tst_FieldRefs::indexOfFieldAndAssign()
{
    TGroupFieldRefList groups(ListKind::MainItems, &root);
    groups.Add(std::make_unique<TGroupField>(field(Artist), &groups));
    groups.Add(std::make_unique<TGroupField>(field(Album), &groups));
    QCOMPARE(groups.IndexOfField(field(Album)), 1);
    QCOMPARE(groups.IndexOfField(field(Genre)), -1);
    QCOMPARE(groups.IndexOfField(nullptr), -1);

    TGroupFieldRefList other(ListKind::MainItems, &root);
    other.Add(std::make_unique<TGroupField>(field(Genre), &other));
    other.Assign(groups);
    QCOMPARE(fieldIDs(other), QList<qint32>({Genre, Artist, Album}));
    QVERIFY(other.Get(1) != groups.Get(0));
    QCOMPARE(other.Get(1)->Owner, &other);
}

void tst_FieldRefs::freshStoreYieldsDefaults()
{
    TMemorySettingsStore store;
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    columns.LoadFromSettings(store, columnsSection);
    QCOMPARE(fieldIDs(columns), QList<qint32>({66, 6, 3, 11, 15, 14, 19}));
    for (int i = 0; i < columns.Count(); ++i)
        QCOMPARE(columns.Get(i)->Width, columns.Get(i)->Field->DefaultWidth);

    TColumnFieldRefList playlist(ListKind::Playlist, &root);
    playlist.LoadFromSettings(store, QStringLiteral("PlaylistColumns"));
    QCOMPARE(fieldIDs(playlist), QList<qint32>({35, 36, 15, 66}));

    TColumnFieldRefList lookups(ListKind::Lookups, &root);
    lookups.LoadFromSettings(store, QStringLiteral("LookupColumns"));
    QCOMPARE(lookups.Count(), 0);

    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.LoadFromSettings(store, QStringLiteral("ItemSortFields"));
    QCOMPARE(sortFields.Count(), 0);
    TGroupFieldRefList groups(ListKind::MainItems, &root);
    groups.LoadFromSettings(store, QStringLiteral("CustomGroupFields"));
    QCOMPARE(groups.Count(), 0);
    QVERIFY(store.dump().isEmpty());
}

void tst_FieldRefs::storedColumnsSkipUnknownFields()
{
    TMemorySettingsStore store;
    store.WriteInteger(columnsSection, QStringLiteral("Count"), 2);
    store.WriteInteger(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Field"), 3);
    store.WriteInteger(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Width"), 123);
    store.WriteInteger(QStringLiteral("ItemColumnFields\\1"), QStringLiteral("Field"), 9999);
    store.WriteInteger(QStringLiteral("ItemColumnFields\\1"), QStringLiteral("Width"), 50);

    TColumnFieldRefList columns(ListKind::MainItems, &root);
    columns.LoadFromSettings(store, columnsSection);
    QCOMPARE(fieldIDs(columns), QList<qint32>({Title}));
    QCOMPARE(columns.Get(0)->Width, 123);

    // The same for sort and group lists.
    store.WriteInteger(QStringLiteral("Sort"), QStringLiteral("Count"), 2);
    store.WriteInteger(QStringLiteral("Sort\\0"), QStringLiteral("Field"), 9999);
    store.WriteInteger(QStringLiteral("Sort\\1"), QStringLiteral("Field"), Album);
    store.WriteInteger(QStringLiteral("Sort\\1"), QStringLiteral("Order"), -1);
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.LoadFromSettings(store, QStringLiteral("Sort"));
    QCOMPARE(fieldIDs(sortFields), QList<qint32>({Album}));
    QCOMPARE(sortFields.Get(0)->Order, -1);
    TGroupFieldRefList groups(ListKind::MainItems, &root);
    groups.LoadFromSettings(store, QStringLiteral("Sort"));
    QCOMPARE(fieldIDs(groups), QList<qint32>({Album}));
}

void tst_FieldRefs::missingEntryValuesHaveDefaults()
{
    TMemorySettingsStore store;
    store.WriteInteger(columnsSection, QStringLiteral("Count"), 1);
    store.WriteInteger(QStringLiteral("Sort"), QStringLiteral("Count"), 1);
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    columns.LoadFromSettings(store, columnsSection);
    QCOMPARE(fieldIDs(columns), QList<qint32>({FieldIds::ID}));
    QCOMPARE(columns.Get(0)->Width, 100);
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.LoadFromSettings(store, QStringLiteral("Sort"));
    QCOMPARE(fieldIDs(sortFields), QList<qint32>({FieldIds::ID}));
    QCOMPARE(sortFields.Get(0)->Order, 1);
}

void tst_FieldRefs::savingFewerEntriesLeavesStaleOnes()
{
    TMemorySettingsStore store;
    TColumnFieldRefList three(ListKind::MainItems, &root);
    for (qint32 id : {Title, Artist, Album})
        three.Add(std::make_unique<TColumnField>(field(id), 80, &three));
    three.SaveToSettings(store, columnsSection);

    TColumnFieldRefList one(ListKind::MainItems, &root);
    one.Add(std::make_unique<TColumnField>(field(Length), 40, &one));
    one.SaveToSettings(store, columnsSection);

    QCOMPARE(store.ReadInteger(columnsSection, QStringLiteral("Count"), -1), 1);
    QCOMPARE(store.SubSectionNames(columnsSection), QStringList({"0", "1", "2"}));
    QCOMPARE(store.ReadInteger(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Field"), -1), Length);
    QCOMPARE(store.ReadInteger(QStringLiteral("ItemColumnFields\\2"), QStringLiteral("Field"), -1), Album);

    TColumnFieldRefList loaded(ListKind::MainItems, &root);
    loaded.LoadFromSettings(store, columnsSection);
    QCOMPARE(fieldIDs(loaded), QList<qint32>({Length}));
    QCOMPARE(loaded.Get(0)->Width, 40);
}

void tst_FieldRefs::roundTrips()
{
    TMemorySettingsStore store;
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.Add(std::make_unique<TSortField>(field(Artist), 1, &sortFields));
    sortFields.Add(std::make_unique<TSortField>(field(TrackIndex), -1, &sortFields));
    sortFields.SaveToSettings(store, QStringLiteral("ItemSortFields"));
    QCOMPARE(store.ReadString(QStringLiteral("ItemSortFields\\1"), QStringLiteral("Order")), QStringLiteral("-1"));
    TSortFieldRefList sortLoaded(ListKind::MainItems, &root);
    sortLoaded.LoadFromSettings(store, QStringLiteral("ItemSortFields"));
    QCOMPARE(fieldIDs(sortLoaded), QList<qint32>({Artist, TrackIndex}));
    QCOMPARE(sortLoaded.Get(1)->Order, -1);

    TGroupFieldRefList groups(ListKind::MainItems, &root);
    groups.Add(std::make_unique<TGroupField>(field(Genre), &groups));
    groups.SaveToSettings(store, QStringLiteral("CustomGroupFields"));
    QCOMPARE(store.ValueNames(QStringLiteral("CustomGroupFields\\0")), QStringList({"Field"}));
    TGroupFieldRefList groupsLoaded(ListKind::MainItems, &root);
    groupsLoaded.LoadFromSettings(store, QStringLiteral("CustomGroupFields"));
    QCOMPARE(fieldIDs(groupsLoaded), QList<qint32>({Genre}));

    // An empty column list is stored as "Count" 0 and comes back with the
    // defaults.
    TColumnFieldRefList empty(ListKind::MainItems, &root);
    empty.SaveToSettings(store, columnsSection);
    QCOMPARE(store.ReadInteger(columnsSection, QStringLiteral("Count"), -1), 0);
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    columns.LoadFromSettings(store, columnsSection);
    QCOMPARE(columns.Count(), 7);
}

void tst_FieldRefs::damagedCounts_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("sortFields");
    QTest::newRow("negative") << "-5" << 7 << 0;
    QTest::newRow("not a number") << "many" << 7 << 0;
    QTest::newRow("huge") << "2000000000" << int(MaxStoredFieldRefs)
                          << int(MaxStoredFieldRefs);
}

void tst_FieldRefs::damagedCounts()
{
    QFETCH(QString, count);
    TMemorySettingsStore store;
    store.WriteString(columnsSection, QStringLiteral("Count"), count);
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    columns.LoadFromSettings(store, columnsSection);
    QTEST(columns.Count(), "columns");
    TSortFieldRefList sortFields(ListKind::MainItems, &root);
    sortFields.LoadFromSettings(store, columnsSection);
    QTEST(sortFields.Count(), "sortFields");
}

void tst_FieldRefs::listWithoutRootLoadsNothing()
{
    TMemorySettingsStore store;
    TColumnFieldRefList columns(ListKind::MainItems, nullptr);
    columns.LoadFromSettings(store, columnsSection);
    QCOMPARE(columns.Count(), 0);
    QVERIFY(!columns.catalogue());
}

QTEST_APPLESS_MAIN(tst_FieldRefs)
#include "tst_fieldrefs.moc"
