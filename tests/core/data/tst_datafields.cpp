#include "core/data/textcompare.h"
#include "memorysettingsstore.h"
#include "testroot.h"

#include <QtTest>

#include <limits>

using namespace testroot;

class TestDataFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commonCatalogue_data();
    void commonCatalogue();
    void findByID();
    void customNames_data();
    void customNames();
    void fieldNamesInStore();
    void twinWithoutCustomNameKeepsSharedName();
    void textComparison_data();
    void textComparison();
    void sortingOrder_data();
    void sortingOrder();
    void stringFieldUsesSortField();
    void lookupComparison_data();
    void lookupComparison();
    void numericComparison();
    void maxValuesWithoutLimit();
    void lookupColumns_data();
    void lookupColumns();
};

void TestDataFields::commonCatalogue_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<qint32>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint32>("width");
    QTest::addColumn<qint32>("category");
    QTest::addColumn<int>("listKind");
    QTest::addColumn<bool>("isString");
    QTest::newRow("ID") << 0 << 1 << "ID" << 20 << 0 << 2 << false;
    QTest::newRow("Index") << 1 << 2 << "Index" << 20 << 0 << 2 << false;
    QTest::newRow("Used") << 2 << 1000 << "Used" << 20 << -1 << 1 << false;
    QTest::newRow("Display Name") << 3 << 1001 << "Display Name" << 100 << -1 << 1 << true;
    QTest::newRow("Name") << 4 << 1002 << "Name" << 100 << -1 << 1 << true;
    QTest::newRow("First Name") << 5 << 1003 << "First Name" << 100 << -1 << 1 << true;
    QTest::newRow("The") << 6 << 1004 << "The" << 100 << -1 << 1 << true;
    QTest::newRow("Sort Name") << 7 << 1005 << "Sort Name" << 100 << -1 << 1 << true;
}

void TestDataFields::commonCatalogue()
{
    QFETCH(int, position);
    QFETCH(qint32, id);
    QFETCH(QString, name);
    QFETCH(qint32, width);
    QFETCH(qint32, category);
    QFETCH(int, listKind);
    QFETCH(bool, isString);
    TGlobalDataFieldList catalogue;
    QCOMPARE(catalogue.Count(), 8);
    QCOMPARE(catalogue.Categories, (QStringList{QStringLiteral("ID"), QStringLiteral("Main")}));
    const TDataField *field = catalogue.Get(position);
    QCOMPARE(field->ID, id);
    QCOMPARE(field->GetID(), id);
    QCOMPARE(field->Name, name);
    QCOMPARE(field->DefaultWidth, width);
    QCOMPARE(field->Category, category);
    QCOMPARE(field->DefaultOrder, 1);
    QVERIFY(!field->Inheritable);
    QVERIFY(field->ListKinds.contains(listKind));
    QCOMPARE(field->ListKinds, TListKinds{listKind});
    QCOMPARE(field->Owner, &catalogue);
    const auto *stringField = dynamic_cast<const TStringDataField *>(field);
    QCOMPARE(stringField != nullptr, isString);
    if (stringField)
        QCOMPARE(stringField->SortFieldID, -1);
    else
        QVERIFY(dynamic_cast<const TIntegerDataField *>(field));
}

void TestDataFields::findByID()
{
    TTestRoot root;
    QCOMPARE(root.Fields->FindByID(1005)->Name, QStringLiteral("Sort Name"));
    QCOMPARE(root.Fields->FindByID(ArtistTextField)->Name, QStringLiteral("Artist"));
    QVERIFY(!root.Fields->FindByID(-1));
    QVERIFY(!root.Fields->FindByID(9999));
    QVERIFY(!root.Fields->CreateItem());
}

void TestDataFields::customNames_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("customName");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("displayName");
    QTest::newRow("default name clears") << "Sort Name" << "" << "Sort Name" << "Sort Name";
    QTest::newRow("other case is kept") << "sort name" << "sort name" << "sort name" << "sort name";
    QTest::newRow("accelerators hidden") << "&Artist" << "&Artist" << "&Artist" << "Artist";
    QTest::newRow("every ampersand") << "R&&B &Style" << "R&&B &Style" << "R&&B &Style" << "RB Style";
    QTest::newRow("empty clears") << "" << "" << "Sort Name" << "Sort Name";
}

void TestDataFields::customNames()
{
    QFETCH(QString, given);
    QFETCH(QString, customName);
    QFETCH(QString, fieldName);
    QFETCH(QString, displayName);
    TGlobalDataFieldList catalogue;
    TDataField *field = catalogue.FindByID(1005);
    field->CustomName = QStringLiteral("old");
    SetFieldCustomName(field, given);
    QCOMPARE(field->CustomName, customName);
    QCOMPARE(GetFieldName(field), fieldName);
    QCOMPARE(GetFieldDisplayName(field), displayName);
}

void TestDataFields::fieldNamesInStore()
{
    TTestRoot root;
    TMemorySettingsStore store;
    store.WriteString(QStringLiteral("FieldNames\\"), QStringLiteral("title"), QStringLiteral("Song"));
    store.WriteString(QStringLiteral("FieldNames"), QStringLiteral("Genre"), QStringLiteral("Style"));
    root.Fields->FindByID(SizeField)->CustomName = QStringLiteral("stale");
    root.Fields->LoadFieldNames(store);
    QCOMPARE(GetFieldName(root.Fields->FindByID(TitleField)), QStringLiteral("Song"));
    QCOMPARE(GetFieldName(root.Fields->FindByID(GenreField)), QStringLiteral("Style"));
    QCOMPARE(root.Fields->FindByID(SizeField)->CustomName, QString()); // missing: empty

    // Saving writes custom names and removes the ones cleared since.
    SetFieldCustomName(root.Fields->FindByID(GenreField), QStringLiteral("Genre"));
    SetFieldCustomName(root.Fields->FindByID(YearField), QStringLiteral("When"));
    root.Fields->SaveFieldNames(store);
    QVERIFY(!store.ValueExists(QStringLiteral("FieldNames"), QStringLiteral("Genre")));
    QCOMPARE(store.ReadString(QStringLiteral("FieldNames"), QStringLiteral("Year")), QStringLiteral("When"));
    QCOMPARE(store.ReadString(QStringLiteral("FieldNames"), QStringLiteral("Title")), QStringLiteral("Song"));
    QCOMPARE(store.ValueNames(QStringLiteral("FieldNames")).size(), 2);

    // Twins share one value: the custom name written last wins for both.
    SetFieldCustomName(root.Fields->FindByID(ArtistField), QStringLiteral("Performer"));
    SetFieldCustomName(root.Fields->FindByID(ArtistTextField), QStringLiteral("Singer"));
    root.Fields->SaveFieldNames(store);
    root.Fields->LoadFieldNames(store);
    QCOMPARE(root.Fields->FindByID(ArtistField)->CustomName, QStringLiteral("Singer"));
    QCOMPARE(root.Fields->FindByID(ArtistTextField)->CustomName, QStringLiteral("Singer"));
}

void TestDataFields::twinWithoutCustomNameKeepsSharedName()
{
    // The field names window renames only the collection's fields; the
    // file-tag twin of the same name has no custom name of its own and must
    // not delete the shared value when the names are saved.
    TTestRoot root;
    TMemorySettingsStore store;
    SetFieldCustomName(root.Fields->FindByID(ArtistField), QStringLiteral("Performer"));
    root.Fields->SaveFieldNames(store);
    QCOMPARE(store.ReadString(QStringLiteral("FieldNames"), QStringLiteral("Artist")),
             QStringLiteral("Performer"));

    TTestRoot restarted;
    restarted.Fields->LoadFieldNames(store);
    QCOMPARE(GetFieldName(restarted.Fields->FindByID(ArtistField)), QStringLiteral("Performer"));
}

void TestDataFields::textComparison_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("equal") << "Pop" << "Pop" << 0;
    QTest::newRow("A-Z case ignored") << "LANTERNS" << "lanterns" << 0;
    QTest::newRow("order") << "Abba" << "beatles" << -1;
    QTest::newRow("prefix first") << "Pop" << "pop rock" << -1;
    QTest::newRow("empty first") << "" << "a" << -1;
    QTest::newRow("accented case kept") << QString::fromUtf8("\xc3\x89") << QString::fromUtf8("\xc3\xa9") << -1;
    QTest::newRow("accented after z") << QString::fromUtf8("\xc3\xa9") << "z" << 1;
    QTest::newRow("astral after BMP") << QString::fromUtf8("\xf0\x9f\x8e\xb5") << QString::fromUtf8("\xef\xbc\xa1") << 1;
    QTest::newRow("bracket vs letters") << "[" << "a" << -1; // '[' (0x5B) < 'a', though > 'Z'
}

void TestDataFields::textComparison()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(qBound(-1, compareAsciiNoCase(a, b), 1), expected);
    QCOMPARE(qBound(-1, compareAsciiNoCase(b, a), 1), -expected);
}

// Pairs in the order a reader expects, or equal (0) where only case differs.
void TestDataFields::sortingOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("equal") << "Pop" << "Pop" << 0;
    QTest::newRow("case ignored") << "LANTERNS" << "lanterns" << 0;
    QTest::newRow("accented case ignored") << QStringLiteral("ÉMILE") << QStringLiteral("émile") << 0;
    QTest::newRow("order") << "Abba" << "beatles" << -1;
    QTest::newRow("prefix first") << "Pop" << "pop rock" << -1;
    QTest::newRow("empty first") << "" << "a" << -1;
    QTest::newRow("É with the E's") << QStringLiteral("Émile") << "Eve" << -1;
    QTest::newRow("É before F") << QStringLiteral("Émile") << "Fado" << -1;
    QTest::newRow("É after E") << "Emil" << QStringLiteral("Émile") << -1;
    QTest::newRow("Ä with the A's") << QStringLiteral("Ärzte") << "Aztec" << -1;
    QTest::newRow("Ä before Z") << QStringLiteral("Ärzte") << "Zappa" << -1;
    QTest::newRow("ø before z") << QStringLiteral("Mø") << "Mz" << -1;
    QTest::newRow("numbers by value") << "Track 2" << "Track 10" << -1;
    QTest::newRow("numbers then text") << "Opus 9b" << "Opus 10a" << -1;
    QTest::newRow("symbols before letters") << QStringLiteral("\U0001F3B5") << "a" << -1;
}

void TestDataFields::sortingOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(qBound(-1, compareForSorting(a, b), 1), expected);
    QCOMPARE(qBound(-1, compareForSorting(b, a), 1), -expected);
    // Keys agree with the comparison: sorts use them.
    QCOMPARE(qBound(-1, sortingKey(a).compare(sortingKey(b)), 1), expected);

    TTestRoot root;
    TTestItem *x = root.addItem(a);
    TTestItem *y = root.addItem(b);
    const TDataField *title = root.field(TitleField);
    QCOMPARE(qBound(-1, title->Compare(x, y), 1), expected);
    // Sorting a list by the field takes the keys' path.
    TDataRefList list;
    list.Add(y);
    list.Add(x);
    TSortKeys keys;
    keys.push_back({title, 1});
    list.SortByFields(keys);
    if (expected < 0)
        QCOMPARE(list.Get(0), x);
    else if (expected > 0)
        QCOMPARE(list.Get(0), y);
}

void TestDataFields::stringFieldUsesSortField()
{
    TTestRoot root;
    // A field sorted by the items' titles.
    TStringDataField sorted(static_cast<TDataFieldList *>(root.Fields.get()), 500, QStringLiteral("Sorted"),
                            false, 100, 1, 1, {}, TitleField);
    TTestItem *a = root.addItem(QStringLiteral("b"));
    TTestItem *b = root.addItem(QStringLiteral("a"));
    QVERIFY(sorted.Compare(a, b) > 0);
    QCOMPARE(sorted.SortField, root.field(TitleField));
    b->Title.clear();
    // Without a title an item falls back to its own (here empty) text.
    QVERIFY(sorted.Compare(a, b) > 0);
}

void TestDataFields::lookupComparison_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<int>("genreOrder");
    QTest::addColumn<int>("artistOrder");
    QTest::newRow("both absent") << QStringList() << QStringList() << 0 << 0;
    QTest::newRow("absent before value") << QStringList() << QStringList{"Pop"} << -1 << -1;
    QTest::newRow("shorter list first") << QStringList{"Pop"} << QStringList{"Pop", "Rock"} << -1 << 0;
    QTest::newRow("second position decides") << QStringList{"Pop", "Soul"} << QStringList{"pop", "Rock"} << 1 << 0;
    QTest::newRow("first position decides") << QStringList{"Jazz", "Zydeco"} << QStringList{"Pop"} << -1 << -1;
}

void TestDataFields::lookupComparison()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(int, genreOrder);
    QFETCH(int, artistOrder);
    TTestRoot root;
    auto fill = [&root](TTestItem *item, const QStringList &names) {
        for (const QString &name : names)
            item->Genres->Add(root.GenreList->FindOrAdd(name));
        if (!names.isEmpty())
            item->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(names.first()));
    };
    TTestItem *a = root.addItem(QStringLiteral("a"));
    TTestItem *b = root.addItem(QStringLiteral("b"));
    fill(a, first);
    fill(b, second);
    QCOMPARE(qBound(-1, root.field(GenreField)->Compare(a, b), 1), genreOrder);
    QCOMPARE(qBound(-1, root.field(GenreField)->Compare(b, a), 1), -genreOrder);
    QCOMPARE(qBound(-1, root.field(ArtistField)->Compare(a, b), 1), artistOrder);
}

void TestDataFields::numericComparison()
{
    TTestRoot root;
    TTestItem *small = root.addItem(QStringLiteral("s"));
    TTestItem *large = root.addItem(QStringLiteral("l"));
    small->Size = 5;
    large->Size = 500;
    QCOMPARE(root.field(SizeField)->Compare(small, large), -1);
    QCOMPARE(root.field(SizeField)->Compare(large, small), 1);
    QCOMPARE(root.field(SizeField)->Compare(small, small), 0);
    // Booleans compare by their text: "No" before "Yes".
    large->VBR = true;
    QVERIFY(root.field(VbrField)->Compare(small, large) < 0);
    TDateDataField date(nullptr, 600, QStringLiteral("Date"), false, 50, 1, -1, {});
    TFloatDataField real(nullptr, 601, QStringLiteral("Real"), false, 50, 1, -1, {});
    QCOMPARE(date.Compare(small, large), 0);
    QCOMPARE(real.Compare(small, large), 0);
}

void TestDataFields::maxValuesWithoutLimit()
{
    TLookupDataField unlimited(nullptr, 700, QStringLiteral("Tags"), false, 100, 1, 1, {}, true, 0);
    QCOMPARE(unlimited.MaxValues, std::numeric_limits<qint32>::max());
    QVERIFY(unlimited.isMultiValued());
    TLookupDataField single(nullptr, 701, QStringLiteral("One"), false, 100, 1, 1, {}, false, 1);
    QVERIFY(!single.isMultiValued());
    QVERIFY(single.isLookupField());
}

void TestDataFields::lookupColumns_data()
{
    QTest::addColumn<qint32>("fieldID");
    QTest::addColumn<QList<qint32>>("ids");
    QTest::addColumn<QList<qint32>>("widths");
    QTest::newRow("lookup") << GenreField << QList<qint32>{1005, 1001, 1000, 1} << QList<qint32>{100, 100, 70, 70};
    QTest::newRow("sort lookup") << LabelField << QList<qint32>{1005, 1001, 1002, 1004, 1000, 1}
                                 << QList<qint32>{100, 100, 100, 70, 70, 70};
    QTest::newRow("person lookup") << ArtistField << QList<qint32>{1005, 1001, 1003, 1002, 1004, 1000, 1}
                                   << QList<qint32>{100, 100, 70, 100, 70, 70, 70};
}

void TestDataFields::lookupColumns()
{
    QFETCH(qint32, fieldID);
    QFETCH(QList<qint32>, ids);
    QFETCH(QList<qint32>, widths);
    TTestRoot root;
    auto *field = static_cast<TLookupDataField *>(root.Fields->FindByID(fieldID));
    QVERIFY(field->Columns.isEmpty()); // built on first use
    const TLookupColumns &columns = field->GetColumns();
    QList<qint32> gotIDs, gotWidths;
    for (const TLookupColumn &column : columns) {
        gotIDs.append(column.Field->ID);
        gotWidths.append(column.Width);
    }
    QCOMPARE(gotIDs, ids);
    QCOMPARE(gotWidths, widths);
    field->BuildColumns(); // rebuilding does not duplicate
    QCOMPARE(field->Columns.size(), ids.size());
}

QTEST_APPLESS_MAIN(TestDataFields)
#include "tst_datafields.moc"
