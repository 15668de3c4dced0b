#include "core/data/dataexceptions.h"
#include "core/data/datasettings.h"
#include "core/data/textcompare.h"
#include "testroot.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace testroot;

namespace {

QStringList displayNames(const TLookupList &list)
{
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names.append(list.Get(i)->DisplayName);
    return names;
}

// Whether the list is in the order a full re-sort would give.
bool isInSortOrder(const TLookupList &list)
{
    for (int i = 1; i < list.Count(); ++i) {
        const TLookupItem *a = list.Get(i - 1);
        const TLookupItem *b = list.Get(i);
        const int byName = compareForSorting(a->GetSortName(), b->GetSortName());
        if (byName > 0 || (byName == 0 && a->GetID() > b->GetID()))
            return false;
    }
    return true;
}

} // namespace

class TestLookups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sortNamePartsFromName_data();
    void sortNamePartsFromName();
    void personNamePartsFromName_data();
    void personNamePartsFromName();
    void personSortName_data();
    void personSortName();
    void setNames_data();
    void setNames();
    void lookupValues();
    void clonesCopyNames();
    void displayNameFollowsSetting();
    void findByName_data();
    void findByName();
    void findByNameFirstInListOrder();
    void emptyNamesAreNeverAdded();
    void addNewKeepsSortOrderWithIdentifierTieBreak();
    void manyNamesKeepTheOrderOfAFullSort();
    void listChangedBehindTheIndexIsStillFound();
    void itemChanged();
    void fillStringsTellsTwinsApart();
    void yearList();
    void resetToDefaults();
    void mergeFrom();
    void refListAdd();
    void setLookupItem_data();
    void setLookupItem();
    void containsOrEmpty();
    void getText();
    void refListEquality();
};

void TestLookups::sortNamePartsFromName_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("oldThe");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("the");
    QTest::addColumn<QString>("sortName");
    QTest::addColumn<QString>("rebuilt");
    QTest::newRow("leading article") << "The Lanterns" << "" << "Lanterns" << "The" << "Lanterns, The" << "The Lanterns";
    QTest::newRow("article after comma keeps case") << "Lanterns, the" << "" << "Lanterns" << "the" << "Lanterns, the" << "the Lanterns";
    QTest::newRow("single word keeps old article") << "Zephyr" << "A" << "Zephyr" << "A" << "Zephyr, A" << "A Zephyr";
    QTest::newRow("no article") << "Blue Owls" << "" << "Blue Owls" << "" << "Blue Owls" << "Blue Owls";
    QTest::newRow("comma without article") << "Owls, Blue" << "" << "Owls, Blue" << "" << "Owls, Blue" << "Owls, Blue";
    QTest::newRow("article in capitals") << "THE Moles" << "" << "Moles" << "THE" << "Moles, THE" << "THE Moles";
    QTest::newRow("non-ASCII article is not folded") << QString::fromUtf8("TH\xc3\x89 Moles") << "" << QString::fromUtf8("TH\xc3\x89 Moles") << "" << QString::fromUtf8("TH\xc3\x89 Moles") << QString::fromUtf8("TH\xc3\x89 Moles");
}

void TestLookups::sortNamePartsFromName()
{
    QFETCH(QString, display);
    QFETCH(QString, oldThe);
    QFETCH(QString, lastName);
    QFETCH(QString, the);
    QFETCH(QString, sortName);
    QFETCH(QString, rebuilt);
    TSortLookupItem item;
    item.DisplayName = display;
    item.The = oldThe;
    item.GenerateNamePartsFromName();
    QCOMPARE(item.LastName, lastName);
    QCOMPARE(item.The, the);
    QCOMPARE(item.GetSortName(), sortName);
    item.GenerateNameFromNameParts();
    QCOMPARE(item.DisplayName, rebuilt);
}

void TestLookups::personNamePartsFromName_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("the");
    QTest::addColumn<QString>("sortName");
    QTest::addColumn<QString>("rebuilt");
    QTest::newRow("first last") << "Anna Kestrel" << "Anna" << "Kestrel" << "" << "Kestrel, Anna" << "Anna Kestrel";
    QTest::newRow("last, first") << "Kestrel, Anna" << "Anna" << "Kestrel" << "" << "Kestrel, Anna" << "Anna Kestrel";
    QTest::newRow("split at first blank") << "Anna Maria Kestrel" << "Anna" << "Maria Kestrel" << "" << "Maria Kestrel, Anna" << "Anna Maria Kestrel";
    QTest::newRow("band with article") << "The Owls" << "" << "Owls" << "The" << "Owls, The" << "The Owls";
    QTest::newRow("band, article") << "Owls, The" << "" << "Owls" << "The" << "Owls, The" << "The Owls";
    QTest::newRow("one word") << "Zephyr" << "" << "Zephyr" << "" << "Zephyr" << "Zephyr";
}

void TestLookups::personNamePartsFromName()
{
    QFETCH(QString, display);
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);
    QFETCH(QString, the);
    QFETCH(QString, sortName);
    QFETCH(QString, rebuilt);
    TPersonLookupItem item;
    item.DisplayName = display;
    item.GenerateNamePartsFromName();
    QCOMPARE(item.FirstName, firstName);
    QCOMPARE(item.LastName, lastName);
    QCOMPARE(item.The, the);
    QCOMPARE(item.GetSortName(), sortName);
    item.GenerateNameFromNameParts();
    QCOMPARE(item.DisplayName, rebuilt);
}

void TestLookups::personSortName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("the");
    QTest::addColumn<QString>("sortName");
    QTest::addColumn<QString>("rebuilt");
    QTest::newRow("first name hides article") << "Anna" << "Kestrel" << "The" << "Kestrel, Anna" << "The Anna Kestrel";
    QTest::newRow("last and article") << "" << "Owls" << "The" << "Owls, The" << "The Owls";
    QTest::newRow("first and article") << "Owls" << "" << "The" << "Owls, The" << "The Owls ";
    QTest::newRow("first only") << "Anna" << "" << "" << "Anna" << "Anna ";
    QTest::newRow("nothing") << "" << "" << "" << "shown" << "";
}

void TestLookups::personSortName()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, the);
    QFETCH(QString, sortName);
    QFETCH(QString, rebuilt);
    TPersonLookupItem item;
    item.DisplayName = QStringLiteral("shown");
    item.FirstName = first;
    item.LastName = last;
    item.The = the;
    QCOMPARE(item.GetSortName(), sortName);
    item.GenerateNameFromNameParts();
    QCOMPARE(item.DisplayName, rebuilt);
}

void TestLookups::setNames_data()
{
    QTest::addColumn<bool>("person");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("the");
    QTest::newRow("sort: article after comma") << false << "Lanterns, The" << "" << "The Lanterns" << "" << "Lanterns" << "The";
    QTest::newRow("sort: comma, no article") << false << "Owls, Blue" << "" << "Owls, Blue" << "" << "Owls, Blue" << "";
    QTest::newRow("sort: leading article") << false << "The Lanterns" << "" << "The Lanterns" << "" << "Lanterns" << "The";
    QTest::newRow("sort: blank, no article") << false << "Blue Owls" << "" << "Blue Owls" << "" << "" << "";
    QTest::newRow("sort: one word") << false << "Zephyr" << "" << "Zephyr" << "" << "Zephyr" << "";
    QTest::newRow("sort: display name wins") << false << "Lanterns, The" << "THE LANTERNS" << "THE LANTERNS" << "" << "Lanterns" << "The";
    QTest::newRow("person: last, first") << true << "Kestrel, Anna" << "" << "Anna Kestrel" << "Anna" << "Kestrel" << "";
    QTest::newRow("person: last, article") << true << "Owls, The" << "" << "The Owls" << "" << "Owls" << "The";
    QTest::newRow("person: display name wins") << true << "Kestrel, Anna" << "A. Kestrel" << "A. Kestrel" << "Anna" << "Kestrel" << "";
    QTest::newRow("person: leading article") << true << "The Owls" << "" << "The Owls" << "" << "Owls" << "The";
}

void TestLookups::setNames()
{
    QFETCH(bool, person);
    QFETCH(QString, name);
    QFETCH(QString, display);
    QFETCH(QString, displayName);
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);
    QFETCH(QString, the);
    std::unique_ptr<TSortLookupItem> item = person ? std::make_unique<TPersonLookupItem>()
                                                   : std::make_unique<TSortLookupItem>();
    item->SetNames(name, display);
    QCOMPARE(item->DisplayName, displayName);
    QCOMPARE(item->LastName, lastName);
    QCOMPARE(item->The, the);
    if (person)
        QCOMPARE(static_cast<TPersonLookupItem *>(item.get())->FirstName, firstName);

    TLookupItem plain;
    plain.SetNames(name, display);
    QCOMPARE(plain.DisplayName, name);
}

void TestLookups::lookupValues()
{
    TTestRoot root;
    auto *person = static_cast<TPersonLookupItem *>(root.Artists->CreateItem());
    person->DisplayName = QStringLiteral("Anna Kestrel");
    person->FirstName = QStringLiteral("Anna");
    person->LastName = QStringLiteral("Kestrel");
    person->The = QStringLiteral("x");
    person->UseCount = 12;
    const QList<std::pair<qint32, QString>> expected{
        {1000, "12"}, {1001, "Anna Kestrel"}, {1002, "Kestrel"}, {1003, "Anna"}, {1004, "x"}, {1005, "Kestrel, Anna"}};
    for (const auto &[id, text] : expected)
        QCOMPARE(person->GetValueAsString(root.field(id)), text);
    QCOMPARE(person->GetValueAsInteger(root.field(1000)), 12);
    QCOMPARE(person->GetValueAsString(root.field(2)), QStringLiteral("0"));

    TLookupItem plain;
    plain.DisplayName = QStringLiteral("Pop");
    QCOMPARE(plain.GetValueAsString(root.field(1002)), QString()); // no name parts
    QCOMPARE(plain.GetValueAsString(root.field(1005)), QStringLiteral("Pop"));
    QCOMPARE(GetLookupDisplayName(nullptr), QString());
    QCOMPARE(GetLookupID(nullptr), -1);
    QCOMPARE(GetLookupID(person), person->GetID());
    QVERIFY(person->IsSameItem(person));
    QVERIFY(!person->IsSameItem(&plain));
}

void TestLookups::clonesCopyNames()
{
    TTestRoot root;
    auto *person = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Anna Kestrel")));
    person->GenerateNamePartsFromName();
    person->Index = 3;
    std::unique_ptr<TDataItem> clone = person->Clone(nullptr, true);
    auto *copy = dynamic_cast<TPersonLookupItem *>(clone.get());
    QVERIFY(copy);
    QCOMPARE(copy->DisplayName, person->DisplayName);
    QCOMPARE(copy->FirstName, QStringLiteral("Anna"));
    QCOMPARE(copy->LastName, QStringLiteral("Kestrel"));
    QCOMPARE(copy->Index, 3);
    QCOMPARE(copy->ID, person->GetID());
    QVERIFY(!copy->IsSameItem(person)); // a copy is not the same value
}

void TestLookups::displayNameFollowsSetting()
{
    TSortLookupItem item;
    item.DisplayName = QStringLiteral("The Lanterns");
    item.GenerateNamePartsFromName();
    QCOMPARE(item.GetDisplayName(), QStringLiteral("The Lanterns"));
    TDataSettings settings;
    settings.ShowLookupSortNames = true;
    TDataSettingsScope scope(settings);
    QCOMPARE(item.GetDisplayName(), QStringLiteral("Lanterns, The"));
    QCOMPARE(GetLookupDisplayName(&item), QStringLiteral("Lanterns, The"));
}

void TestLookups::findByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found");
    QTest::newRow("sort name, other case") << "lanterns, the" << "The Lanterns";
    QTest::newRow("display name, capitals") << "THE LANTERNS" << "The Lanterns";
    QTest::newRow("person by sort name") << "kestrel, anna" << "Anna Kestrel";
    QTest::newRow("no partial match") << "Lanterns" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("non-ASCII case differs") << QString::fromUtf8("\xc3\x89" "CHO") << "";
    QTest::newRow("non-ASCII exact") << QString::fromUtf8("\xc3\xa9" "cho") << QString::fromUtf8("\xc3\xa9" "cho");
}

void TestLookups::findByName()
{
    QFETCH(QString, name);
    QFETCH(QString, found);
    TTestRoot root;
    for (const QString &display : {QStringLiteral("The Lanterns"), QStringLiteral("Anna Kestrel"),
                                   QString::fromUtf8("\xc3\xa9" "cho")}) {
        TLookupItem *item = root.Artists->AddNew(display);
        item->GenerateNamePartsFromName();
        root.Artists->ItemChanged(item);
    }
    TLookupItem *item = root.Artists->FindByName(name);
    QCOMPARE(item ? item->DisplayName : QString(), found);
}

void TestLookups::findByNameFirstInListOrder()
{
    TTestRoot root;
    TLookupItem *second = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *first = root.GenreList->AddNew(QStringLiteral("pop"));
    // Equal sort names: the older identifier comes first.
    QVERIFY(second->GetID() < first->GetID());
    QCOMPARE(root.GenreList->Get(0), second);
    QCOMPARE(root.GenreList->FindByName(QStringLiteral("POP")), second);
    root.GenreList->Exchange(0, 1);
    QCOMPARE(root.GenreList->FindByName(QStringLiteral("POP")), first);
}

void TestLookups::emptyNamesAreNeverAdded()
{
    TTestRoot root;
    const int count = root.Years->Count();
    QVERIFY(!root.Years->AddNew(QString()));
    QVERIFY(!root.Years->FindOrAdd(QString()));
    QVERIFY(!root.Years->FindByName(QString()));
    QCOMPARE(root.Years->Count(), count);
}

void TestLookups::addNewKeepsSortOrderWithIdentifierTieBreak()
{
    TTestRoot root;
    TLookupList &list = *root.Labels;
    for (const char *name : {"Moss", "alder", "Birch", "moss", "Zelkova", "Ash"})
        list.AddNew(QString::fromLatin1(name));
    QCOMPARE(displayNames(list),
             (QStringList{"alder", "Ash", "Birch", "Moss", "moss", "Zelkova"}));
    QVERIFY(isInSortOrder(list));
    QCOMPARE(list.FindOrAdd(QStringLiteral("BIRCH")), list.Get(2));
    QCOMPARE(list.Count(), 6);
    TLookupItem *added = list.FindOrAdd(QStringLiteral("Beech"));
    QCOMPARE(list.IndexOf(added), 2);
    QCOMPARE(added->Owner, &list);
}

void TestLookups::manyNamesKeepTheOrderOfAFullSort()
{
    // Incremental insertion must give the list the order a full sort gives,
    // including after outside changes that the list cannot see coming.
    TTestRoot root;
    TLookupList &list = *root.GenreList;
    QRandomGenerator random(42);
    QStringList added;
    for (int i = 0; i < 600; ++i) {
        QString name;
        const int length = 1 + int(random.bounded(3));
        for (int c = 0; c < length; ++c)
            name.append(QChar(u"abAB zZ[e"[random.bounded(9)]));
        name = name.trimmed();
        TLookupItem *item = list.FindOrAdd(name);
        if (name.isEmpty()) {
            QVERIFY(!item);
            continue;
        }
        QVERIFY(item);
        QVERIFY(equalsAsciiNoCase(item->DisplayName, name));
        added.append(name);
        if (i == 300) {
            list.Exchange(0, list.Count() - 1); // outside reordering
            list.Add(list.Get(0)->Clone(&list, false)); // outside append
        }
    }
    QVERIFY(isInSortOrder(list));
    for (const QString &name : std::as_const(added))
        QVERIFY2(list.FindByName(name), qPrintable(name));
    // No name is held twice, except the one cloned behind the list's back.
    QSet<QString> folded;
    for (int i = 0; i < list.Count(); ++i)
        folded.insert(foldAsciiCase(list.Get(i)->DisplayName));
    QCOMPARE(folded.size(), list.Count() - 1);
}

void TestLookups::listChangedBehindTheIndexIsStillFound()
{
    TTestRoot root;
    TLookupList &list = *root.GenreList;
    TLookupItem *pop = list.AddNew(QStringLiteral("Pop"));
    QCOMPARE(list.FindByName(QStringLiteral("pop")), pop);
    // A value removed from the list is no longer found.
    std::unique_ptr<TDataItem> removed = list.takeItem(pop);
    QVERIFY(!list.FindByName(QStringLiteral("pop")));
    // A value renamed without ItemChanged is not found under its old name.
    TLookupItem *rock = list.AddNew(QStringLiteral("Rock"));
    rock->DisplayName = QStringLiteral("Soul");
    QVERIFY(!list.FindByName(QStringLiteral("rock")));
    list.ItemChanged(rock);
    QCOMPARE(list.FindByName(QStringLiteral("soul")), rock);
}

void TestLookups::itemChanged()
{
    TTestRoot root;
    TLookupList &list = *root.Labels;
    TLookupItem *a = list.AddNew(QStringLiteral("Alder"));
    list.AddNew(QStringLiteral("Birch"));
    a->DisplayName = QStringLiteral("Yew");
    list.ItemChanged(a);
    QCOMPARE(displayNames(list), (QStringList{"Birch", "Yew"}));
    list.ItemChanged(nullptr); // nothing
    TSortLookupItem stranger;
    try {
        list.ItemChanged(&stranger);
        QFAIL("no exception");
    } catch (const EData &error) {
        QCOMPARE(error.Message(), QStringLiteral("TLookupList.ItemChanged : item not found in list"));
    }
    QCOMPARE(displayNames(list), (QStringList{"Birch", "Yew"}));
}

void TestLookups::fillStringsTellsTwinsApart()
{
    TDataSettings settings;
    settings.ShowLookupSortNames = true;
    TDataSettingsScope scope(settings);
    TTestRoot root;
    TLookupList &list = *root.Artists;
    for (const char *display : {"Anna Smith", "A. Smith", "Bo Diddley"}) {
        auto *person = static_cast<TPersonLookupItem *>(list.AddNew(QString::fromLatin1(display)));
        person->FirstName = display[0] == 'B' ? QStringLiteral("Bo") : QStringLiteral("Anna");
        person->LastName = display[0] == 'B' ? QStringLiteral("Diddley") : QStringLiteral("Smith");
    }
    TLookupEntries entries{{QStringLiteral("stale"), nullptr}};
    list.FillStrings(entries);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0].Text, QStringLiteral("Diddley, Bo"));
    QStringList twins{entries[1].Text, entries[2].Text};
    twins.sort();
    QCOMPARE(twins, (QStringList{"Smith, Anna (A. Smith)", "Smith, Anna (Anna Smith)"}));
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(entries[i].Item, list.Get(i));
}

void TestLookups::yearList()
{
    TTestRoot root;
    QCOMPARE(root.Years->Count(), 56);
    QCOMPARE(root.Years->Get(0)->DisplayName, QStringLiteral("1950"));
    QCOMPARE(root.Years->Get(55)->DisplayName, QStringLiteral("2005"));
    QCOMPARE(root.Years->FieldID, YearField);
    TYearLookupList empty(&root, false, YearField);
    QCOMPARE(empty.Count(), 0);
}

void TestLookups::resetToDefaults()
{
    TTestRoot root;
    root.Years->AddNew(QStringLiteral("2024"));
    root.Years->Get(0)->DisplayName = QStringLiteral("changed");
    root.Years->ResetToDefaults();
    QCOMPARE(root.Years->Count(), 56);
    QCOMPARE(root.Years->Get(0)->DisplayName, QStringLiteral("1950"));
    root.GenreList->AddNew(QStringLiteral("Pop"));
    root.Clear();
    QCOMPARE(root.GenreList->Count(), 0);
}

void TestLookups::mergeFrom()
{
    TTestRoot root;
    TLookupItem *lanterns = root.Artists->AddNew(QStringLiteral("The Lanterns"));
    lanterns->GenerateNamePartsFromName();
    root.Artists->ItemChanged(lanterns);
    root.Artists->AddNew(QStringLiteral("Zephyr"));
    const qint32 nextBefore = root.NextID;

    TTestRoot other;
    auto *theirLanterns = static_cast<TPersonLookupItem *>(other.Artists->AddNew(QStringLiteral("Lanterns, The")));
    theirLanterns->GenerateNamePartsFromName();
    TLookupItem *owls = other.Artists->AddNew(QStringLiteral("Owls"));
    owls->GetID();
    TTestItem *track = other.addItem(QStringLiteral("t1"));
    track->Artist = theirLanterns;
    TTestItem *owlTrack = other.addItem(QStringLiteral("t2"));
    owlTrack->Artist = static_cast<TPersonLookupItem *>(owls);

    root.Artists->MergeFrom(*other.Artists, other);
    QCOMPARE(track->Artist, lanterns);        // re-pointed to the existing value
    QCOMPARE(owlTrack->Artist, owls);         // moved value keeps its users
    QCOMPARE(other.Artists->Count(), 1);      // the matched one stays behind
    QCOMPARE(other.Artists->Get(0), theirLanterns);
    QCOMPARE(root.Artists->Count(), 3);
    QCOMPARE(root.Artists->Get(2), owls);     // appended, unsorted
    QCOMPARE(owls->Owner, root.Artists.get());
    QCOMPARE(owls->ID, -1);                   // draws a fresh identifier here
    QCOMPARE(owls->GetID(), nextBefore);
    QCOMPARE(root.Artists->FindByName(QStringLiteral("owls")), owls);
    // Sorted again by the next addition.
    root.Artists->AddNew(QStringLiteral("Moles"));
    QCOMPARE(displayNames(*root.Artists), (QStringList{"The Lanterns", "Moles", "Owls", "Zephyr"}));
}

void TestLookups::refListAdd()
{
    TTestItem owner;
    TLookupItemRefList list(&owner, GenreField);
    TLookupItem pop, rock;
    QCOMPARE(list.Add(nullptr), -1);
    QCOMPARE(list.Add(&pop), 0);
    QCOMPARE(list.Add(&rock), 0);
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.First(), &pop);
    list.Put(0, &rock);
    QCOMPARE(list.Get(0), &rock);
    QCOMPARE(list.Owner, &owner);
    QCOMPARE(list.FieldID, GenreField);
}

void TestLookups::setLookupItem_data()
{
    // Lists are written with P (pop), R (rock), J (jazz); '-' is none.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QChar>("item");
    QTest::addColumn<QChar>("oldItem");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("after");
    QTest::newRow("append") << "P" << QChar('R') << QChar('-') << 0 << "PR";
    QTest::newRow("append none") << "P" << QChar('-') << QChar('-') << 0 << "P";
    QTest::newRow("replace old") << "PRJ" << QChar('P') << QChar('R') << 1 << "PJP";
    QTest::newRow("replace absent old") << "PJ" << QChar('R') << QChar('R') << 1 << "PJR";
    QTest::newRow("replace, no old") << "P" << QChar('R') << QChar('-') << 1 << "PR";
    QTest::newRow("replace by none empties") << "PRJ" << QChar('-') << QChar('R') << 1 << "";
    QTest::newRow("empty") << "PR" << QChar('J') << QChar('P') << 2 << "";
    QTest::newRow("unknown mode") << "PR" << QChar('J') << QChar('P') << 7 << "PR";
}

void TestLookups::setLookupItem()
{
    QFETCH(QString, before);
    QFETCH(QChar, item);
    QFETCH(QChar, oldItem);
    QFETCH(int, mode);
    QFETCH(QString, after);
    TLookupItem pop, rock, jazz;
    auto lookup = [&](QChar c) -> TLookupItem * {
        switch (c.unicode()) {
        case 'P': return &pop;
        case 'R': return &rock;
        case 'J': return &jazz;
        default: return nullptr;
        }
    };
    TLookupItemRefList list(nullptr, GenreField);
    for (QChar c : before)
        list.Add(lookup(c));
    list.SetLookupItem(lookup(item), lookup(oldItem), mode);
    QString result;
    for (int i = 0; i < list.Count(); ++i)
        result.append(list.Get(i) == &pop ? 'P' : list.Get(i) == &rock ? 'R' : 'J');
    QCOMPARE(result, after);
}

void TestLookups::containsOrEmpty()
{
    TLookupItem pop, rock;
    TLookupItemRefList list(nullptr, GenreField);
    QVERIFY(list.ContainsOrEmpty(nullptr));
    QVERIFY(!list.ContainsOrEmpty(&pop));
    list.Add(&pop);
    QVERIFY(!list.ContainsOrEmpty(nullptr));
    QVERIFY(list.ContainsOrEmpty(&pop));
    QVERIFY(!list.ContainsOrEmpty(&rock));
}

void TestLookups::getText()
{
    TLookupItem pop, rock;
    pop.DisplayName = QStringLiteral("Pop");
    rock.DisplayName = QStringLiteral("Rock");
    TLookupItemRefList list(nullptr, GenreField);
    QCOMPARE(list.GetText(), QString());
    list.Add(&pop);
    QCOMPARE(list.GetText(), QStringLiteral("Pop"));
    list.Add(&rock);
    QCOMPARE(list.GetText(), QStringLiteral("Pop; Rock"));
}

void TestLookups::refListEquality()
{
    TLookupItem pop, rock, popTwin;
    popTwin.DisplayName = pop.DisplayName;
    TLookupItemRefList a(nullptr, GenreField), b(nullptr, GenreField);
    QVERIFY(a.IsEqual(b));
    a.Add(&pop);
    a.Add(&rock);
    b.Add(&pop);
    QVERIFY(!a.IsEqual(b));
    b.Add(&rock);
    QVERIFY(a.IsEqual(b));
    b.Put(0, &popTwin); // equal contents, other object
    QVERIFY(!a.IsEqual(b));
}

QTEST_APPLESS_MAIN(TestLookups)
#include "tst_lookups.moc"
