#include "core/data/dataexceptions.h"
#include "core/data/datasettings.h"
#include "core/data/itemfilter.h"
#include "memorytree.h"
#include "testroot.h"

#include <QtTest>

using namespace testroot;

namespace {

// Accepts the items whose title starts with a given text.
class TTitleFilter : public TItemFilter {
public:
    explicit TTitleFilter(QString prefix, bool active = true)
        : m_prefix(std::move(prefix))
        , m_active(active)
    {
    }
    bool IsActive() const override { return m_active; }
    bool Matches(const TDataItem *item) const override
    {
        return static_cast<const TTestItem *>(item)->Title.startsWith(m_prefix);
    }

private:
    QString m_prefix;
    bool m_active;
};

// An object that only names itself, to probe the display helpers.
class TNamedObject : public TDataItem {
public:
    explicit TNamedObject(QString name)
        : m_name(std::move(name))
    {
    }
    QString GetDisplayName() const override { return m_name; }

private:
    QString m_name;
};

} // namespace

class TestDataItems : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void identifiersAreAssignedLazilyFromTheRoot();
    void itemWithoutRootKeepsNoIdentifier();
    void baseValues_data();
    void baseValues();
    void shortDisplayName_data();
    void shortDisplayName();
    void imageIndexes();
    void rootTexts();
    void insertBefore();
    void removeAndDeleteDoNotFree();
    void findByID();
    void addItemsOfClonesIntoOwningList();
    void autoIncrementIndex_data();
    void autoIncrementIndex();
    void renumber();
    void importItemsMovesEveryItemWithFreshIdentifiers();
    void setValueOnNonLookupFieldRaises();
    void replaceLookupItem();
    void countUsageCountsEveryGenre();
    void countUsageHonoursFilter();
    void valueInheritance();
    void treeNodes();
    void currentRootIsClearedOnDestruction();
};

void TestDataItems::identifiersAreAssignedLazilyFromTheRoot()
{
    TTestRoot root;
    const qint32 before = root.NextID;
    TTestItem *item = root.addItem(QStringLiteral("a"));
    QCOMPARE(item->ID, -1);
    QCOMPARE(item->GetID(), before);
    QCOMPARE(root.NextID, before + 1);
    QCOMPARE(item->GetID(), before); // asked again: unchanged

    // Creating the default lookup entries assigns no identifiers.
    TTestRoot fresh;
    QCOMPARE(fresh.NextID, 0);
    TTestItem *first = fresh.addItem(QStringLiteral("b"));
    QCOMPARE(first->GetID(), 0);
    QCOMPARE(fresh.NextID, 1);
}

void TestDataItems::itemWithoutRootKeepsNoIdentifier()
{
    TDataItem loose;
    QCOMPARE(loose.GetID(), -1);
    QCOMPARE(loose.GetDisplayName(), QStringLiteral("-1"));
}

void TestDataItems::baseValues_data()
{
    QTest::addColumn<qint32>("fieldID");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("integer");
    QTest::newRow("ID") << 1 << "5" << 5;
    QTest::newRow("Index") << 2 << "42" << 42;
    QTest::newRow("other") << 7 << "" << -1;
}

void TestDataItems::baseValues()
{
    QFETCH(qint32, fieldID);
    QFETCH(QString, text);
    QFETCH(qint32, integer);
    TTestRoot root;
    root.NextID = 5;
    TDataItem item(root.Items.get());
    item.Index = 42;
    TIntegerDataField field(nullptr, fieldID, QStringLiteral("f"), false, 20, 1, 0, {});
    QCOMPARE(item.GetValueAsString(&field), text);
    QCOMPARE(item.GetValueAsInteger(&field), integer);
    QCOMPARE(item.GetValueAsDate(&field), -1.0);
    QCOMPARE(item.GetValueAsFloat(&field), -1.0);
    QCOMPARE(item.GetValueAsBoolean(&field), BoolValue::NotApplicable);
    QVERIFY(!item.GetValueAsLookupItem(&field, true));
    QVERIFY(!item.GetValueAsLookupItemRefList(&field, true));
    QVERIFY(!item.GetValueAsCredits(&field, true));
}

void TestDataItems::shortDisplayName_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("shownLength");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("253 shown whole") << 253 << 253;
    QTest::newRow("254 cut") << 254 << 253;
    QTest::newRow("1000 cut") << 1000 << 253;
}

void TestDataItems::shortDisplayName()
{
    QFETCH(int, length);
    QFETCH(int, shownLength);
    QString name;
    for (int i = 0; i < length; ++i)
        name.append(QChar(u'a' + i % 26));
    TNamedObject object(name);
    const QString shown = object.GetShortDisplayName();
    QCOMPARE(shown.size(), shownLength);
    if (length > 253) {
        QCOMPARE(shown.left(250), name.left(250));
        QVERIFY(shown.endsWith(QStringLiteral("...")));
    } else {
        QCOMPARE(shown, name);
    }
}

void TestDataItems::imageIndexes()
{
    TDataItem item;
    QCOMPARE(item.GetImageIndex(), 2);
    QCOMPARE(item.GetSelectedImageIndex(), 3);
    QCOMPARE(item.GetLargeImageIndex(), 0);
    TLookupItemNone none;
    QCOMPARE(none.GetImageIndex(), 5);
    QCOMPARE(none.GetSelectedImageIndex(), 6);
    QCOMPARE(none.GetLargeImageIndex(), 1);
    QCOMPARE(none.GetID(), -2);
    QCOMPARE(none.GetDisplayName(), QStringLiteral("[None]"));
    TDataRefList list;
    QCOMPARE(list.GetDisplayName(), QStringLiteral("-"));
}

void TestDataItems::rootTexts()
{
    TTestRoot root;
    QCOMPARE(root.GetDisplayName(), QStringLiteral("[New Collection]"));
    root.FileName = QStringLiteral("/home/anna/Music/Data/pop.col");
    QCOMPARE(root.GetDisplayName(), QStringLiteral("pop.col"));
    QCOMPARE(root.GetFileFilter(), QStringLiteral("Collections (*.col)"));
    QCOMPARE(root.GetCollectionName(), QStringLiteral("Object Collection"));
    QCOMPARE(root.GetTypeName(), QStringLiteral("Object"));
    QCOMPARE(root.GetDataVersion(), 100);
    QCOMPARE(root.GetRoot(), &root);
    QCOMPARE(root.Items->GetRoot(), &root);
}

void TestDataItems::insertBefore()
{
    TDataItem a, b, c, stranger;
    TDataRefList list;
    list.Add(&a);
    list.Add(&b);
    QCOMPARE(list.InsertBefore(&c, &b), 1);
    QCOMPARE(list.IndexOf(&c), 1);
    QCOMPARE(list.IndexOf(&b), 2);
    QCOMPARE(list.InsertBefore(&c, &stranger), -1);
    QCOMPARE(list.Count(), 3);
    QCOMPARE(list.Get(0), &a);
    QCOMPARE(list.Get(1), &c);
    QCOMPARE(list.Get(2), &b);
}

void TestDataItems::removeAndDeleteDoNotFree()
{
    TTestRoot root;
    TTestItem *a = root.addItem(QStringLiteral("a"));
    TTestItem *b = root.addItem(QStringLiteral("b"));
    QCOMPARE(root.Items->Remove(a), 0);
    QCOMPARE(root.Items->Remove(a), -1);
    std::unique_ptr<TDataItem> owned(a); // still alive: we free it
    QCOMPARE(static_cast<TTestItem *>(owned.get())->Title, QStringLiteral("a"));
    std::unique_ptr<TDataItem> taken = root.Items->takeItem(b);
    QCOMPARE(taken.get(), b);
    QCOMPARE(root.Items->Count(), 0);
    QVERIFY(!root.Items->takeItem(b));
}

void TestDataItems::findByID()
{
    TTestRoot root;
    TTestItem *a = root.addItem(QStringLiteral("a"));
    TTestItem *b = root.addItem(QStringLiteral("b"));
    QCOMPARE(root.Items->FindByID(b->GetID()), b);
    QCOMPARE(root.Items->FindByID(a->GetID()), a);
    QVERIFY(!root.Items->FindByID(-1));
    QVERIFY(!root.Items->FindByID(99999));
}

void TestDataItems::addItemsOfClonesIntoOwningList()
{
    TTestRoot root;
    TTestItem *a = root.addItem(QStringLiteral("a"));
    a->Artist = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Anna Kestrel")));
    a->Genres->Add(root.GenreList->AddNew(QStringLiteral("Pop")));
    a->Index = 7;
    const qint32 id = a->GetID();

    TTestItemList copies(&root);
    copies.AddItemsOf(*root.Items, &copies, true);
    copies.AddItemsOf(*root.Items, &copies, false);
    QCOMPARE(copies.Count(), 2);
    auto *kept = copies.Get(0);
    QVERIFY(kept != a);
    QCOMPARE(kept->GetID(), id);
    QVERIFY(kept->IsEqual(a));
    QCOMPARE(kept->Artist, a->Artist); // lookups are shared, not copied
    QCOMPARE(kept->Genres->First(), a->Genres->First());
    QCOMPARE(copies.Get(1)->ID, -1);

    TDataRefList refs;
    refs.AddItemsOf(*root.Items);
    QCOMPARE(refs.Get(0), a);
}

void TestDataItems::autoIncrementIndex_data()
{
    QTest::addColumn<bool>("autoIncrement");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("nextIndex");
    QTest::newRow("on") << true << 5 << 6;
    QTest::newRow("off") << false << 0 << 5;
}

void TestDataItems::autoIncrementIndex()
{
    QFETCH(bool, autoIncrement);
    QFETCH(qint32, index);
    QFETCH(qint32, nextIndex);
    TDataSettings settings;
    settings.AutoIncrementIndex = autoIncrement;
    TDataSettingsScope scope(settings);
    TTestRoot root;
    root.NextIndex = 5;
    auto *item = static_cast<TTestItem *>(root.Items->CreateItem());
    root.Items->AssignNextIndex(item);
    QCOMPARE(root.NextIndex, 5); // assigning does not advance
    root.IncrementNextIndex();
    QCOMPARE(item->Index, index);
    QCOMPARE(root.NextIndex, nextIndex);

    // Inserting numbers the item; appending does not.
    TTestItem inserted(root.Items.get());
    root.Items->InsertBefore(&inserted, item);
    QCOMPARE(inserted.Index, autoIncrement ? nextIndex : 0);
    TTestItem appended(root.Items.get());
    // The items live on the stack: appended through the list's plain
    // reference interface, and removed again below.
    static_cast<TDataRefList &>(*root.Items).Add(&appended);
    QCOMPARE(appended.Index, 0);
    root.Items->Remove(&inserted);
    root.Items->Remove(&appended);
}

void TestDataItems::renumber()
{
    TTestRoot root;
    for (const char *title : {"c", "a", "b"})
        root.addItem(QString::fromLatin1(title))->Index = 40;
    root.Renumber();
    QCOMPARE(root.items()->Get(0)->Index, 1);
    QCOMPARE(root.items()->Get(2)->Index, 3);
    QCOMPARE(root.NextIndex, 4);
}

void TestDataItems::importItemsMovesEveryItemWithFreshIdentifiers()
{
    TTestRoot root;
    TTestItem *own = root.addItem(QStringLiteral("own"));
    const qint32 ownID = own->GetID();

    TTestRoot other;
    other.NextID = 0;
    QList<TTestItem *> imported;
    for (const char *title : {"x", "y", "z"}) {
        TTestItem *item = other.addItem(QString::fromLatin1(title));
        item->Index = 9;
        item->GetID();
        imported.append(item);
    }
    QCOMPARE(imported.first()->ID, 0); // clashes with nothing yet, but may

    root.ImportItems(other);
    QCOMPARE(other.Items->Count(), 0);
    QCOMPARE(root.Items->Count(), 4);
    QSet<qint32> ids{ownID};
    for (TTestItem *item : imported) {
        QCOMPARE(item->Owner, root.Items.get());
        QCOMPARE(item->Index, 9);
        QVERIFY2(!ids.contains(item->GetID()), "identifier not unique after import");
        ids.insert(item->GetID());
        QVERIFY(item->GetID() < root.NextID);
    }
}

void TestDataItems::setValueOnNonLookupFieldRaises()
{
    TTestRoot root;
    TTestItem *item = root.addItem(QStringLiteral("a"));
    TDataField *title = root.Fields->FindByID(TitleField);
    SetFieldCustomName(title, QStringLiteral("&Name"));
    try {
        item->SetValueAsLookupItem(title, nullptr, LookupSetMode::Replace, nullptr);
        QFAIL("no exception");
    } catch (const EData &error) {
        QCOMPARE(error.Message(), QStringLiteral("Invalid field \"Name\"in setValueAsLookupItem"));
        QCOMPARE(QString::fromUtf8(error.what()), error.Message());
    }
}

void TestDataItems::replaceLookupItem()
{
    TTestRoot root;
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    TLookupItem *jazz = root.GenreList->AddNew(QStringLiteral("Jazz"));
    TLookupItem *y1 = root.Years->FindByName(QStringLiteral("1990"));
    TLookupItem *y2 = root.Years->FindByName(QStringLiteral("1991"));
    TTestItem *item = root.addItem(QStringLiteral("a"));
    item->Genres->Add(pop);
    item->Genres->Add(rock);
    item->Genres->Add(pop);
    item->Year = y1;

    item->ReplaceLookupItem(root.field(GenreField), pop, jazz);
    QCOMPARE(item->Genres->Count(), 3);
    QCOMPARE(item->Genres->Get(0), jazz);
    QCOMPARE(item->Genres->Get(1), rock);
    QCOMPARE(item->Genres->Get(2), jazz);

    item->ReplaceLookupItem(root.field(YearField), y2, y1); // not its value
    QCOMPARE(item->Year, y1);
    item->ReplaceLookupItem(root.field(YearField), y1, y2);
    QCOMPARE(item->Year, y2);
    item->ReplaceLookupItem(root.field(TitleField), y2, y1); // not a lookup field
    QCOMPARE(item->Year, y2);
}

void TestDataItems::countUsageCountsEveryGenre()
{
    TTestRoot root;
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    TLookupItem *jazz = root.GenreList->AddNew(QStringLiteral("Jazz"));
    root.addItem(QStringLiteral("a"))->Genres->Add(pop);
    TTestItem *b = root.addItem(QStringLiteral("b"));
    b->Genres->Add(pop);
    b->Genres->Add(rock); // only ever a second genre
    b->Genres->Add(pop);  // the same value twice counts once
    root.addItem(QStringLiteral("c"));

    jazz->UseCount = 17; // stale counts are reset
    qint32 none = -5;
    root.CountUsage(root.field(GenreField), nullptr, none, true);
    QCOMPARE(pop->UseCount, 2);
    QCOMPARE(rock->UseCount, 1);
    QCOMPARE(jazz->UseCount, 0);
    QCOMPARE(none, 1);
}

void TestDataItems::countUsageHonoursFilter()
{
    TTestRoot root;
    TLookupItem *y1 = root.Years->FindByName(QStringLiteral("1990"));
    root.addItem(QStringLiteral("keep 1"))->Year = y1;
    root.addItem(QStringLiteral("keep 2"));
    root.addItem(QStringLiteral("drop"))->Year = y1;

    qint32 none = 0;
    const TTitleFilter filter(QStringLiteral("keep"));
    root.CountUsage(root.field(YearField), &filter, none, false);
    QCOMPARE(y1->UseCount, 1);
    QCOMPARE(none, 1);

    const TTitleFilter inactive(QStringLiteral("keep"), false);
    root.CountUsage(root.field(YearField), &inactive, none, false);
    QCOMPARE(y1->UseCount, 2);
}

void TestDataItems::valueInheritance()
{
    // An item owned by another item takes the owner's value for inheritable
    // fields when its own is empty.
    TTestRoot root;
    TTestItem *parent = root.addItem(QStringLiteral("parent"));
    parent->Artist = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Owls")));
    parent->Year = root.Years->FindByName(QStringLiteral("1999"));
    parent->VBR = true;
    TTestItem child(parent);

    const TDataField *artist = root.field(ArtistField);
    const TDataField *year = root.field(YearField);
    QCOMPARE(child.GetValueAsLookupItem(artist, true), parent->Artist);
    QVERIFY(!child.GetValueAsLookupItem(artist, false));
    QCOMPARE(child.GetValueAsString(artist), QStringLiteral("Owls"));
    QVERIFY(!child.GetValueAsLookupItem(year, true)); // not inheritable
    QCOMPARE(child.GetValueAsString(year), QString());

    child.Artist = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Mole")));
    QCOMPARE(child.GetValueAsString(artist), QStringLiteral("Mole"));
    QVERIFY(child.HasLookupItem(artist, child.Artist));
}

void TestDataItems::treeNodes()
{
    TTestRoot root;
    TTestItem *a = root.addItem(QStringLiteral("a"));
    root.addItem(QStringLiteral("b"));
    TMemoryTree tree;
    TTreeNode *top = root.AddToTree(tree, nullptr);
    root.Items->AddChildNodes(tree, top);
    auto *topNode = static_cast<TMemoryTreeNode *>(top);
    QCOMPARE(topNode->text, QStringLiteral("[New Collection]"));
    QCOMPARE(tree.childTexts(topNode), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(topNode->hasChildren);
    QCOMPARE(topNode->children.first()->object, a);
    QCOMPARE(topNode->children.first()->imageIndex, 2);
    QCOMPARE(topNode->children.first()->selectedImageIndex, 3);
    QVERIFY(!topNode->children.first()->hasChildren);

    TDataRefList empty;
    TTreeNode *emptyNode = tree.addNode(nullptr, QStringLiteral("e"), nullptr, 0, 0);
    emptyNode->setHasChildren(true);
    empty.AddChildNodes(tree, emptyNode);
    QVERIFY(!static_cast<TMemoryTreeNode *>(emptyNode)->hasChildren);

    // Lookup values can be expanded into the items that use them.
    TLookupItem *genre = root.GenreList->AddNew(QStringLiteral("Pop"));
    auto *genreNode = static_cast<TMemoryTreeNode *>(genre->AddToTree(tree, nullptr));
    QVERIFY(genreNode->hasChildren);
    QCOMPARE(genreNode->text, QStringLiteral("Pop"));

    TDataRefList collected;
    root.Items->GetItems(collected);
    QCOMPARE(collected.Count(), 2);
}

void TestDataItems::currentRootIsClearedOnDestruction()
{
    {
        TTestRoot root;
        TRootItem::SetCurrent(&root);
        QCOMPARE(TRootItem::Current(), &root);
    }
    QVERIFY(!TRootItem::Current());
}

QTEST_APPLESS_MAIN(TestDataItems)
#include "tst_dataitems.moc"
