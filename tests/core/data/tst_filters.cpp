#include "fakesettingsstore.h"

#include "core/data/datafield.h"
#include "core/data/fielddefaults.h"
#include "core/data/fieldlists.h"
#include "core/data/filterfieldlist.h"
#include "core/data/filterfields.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "core/settings/updatecheck.h"

#include <QLocale>
#include <QtTest>

#include <limits>

// A small collection whose items hold one value of every kind a filter can
// test, each read through the field descriptors.
namespace {

constexpr qint32 TitleField = 3;
constexpr qint32 ArtistField = 6;    // person lookup, text conditions
constexpr qint32 GenreField = 7;     // several values, chosen by items
constexpr qint32 YearField = 9;      // one value, chosen by items
constexpr qint32 BitrateField = 19;  // integer
constexpr qint32 AddedField = 21;    // date
constexpr qint32 GainField = 22;     // float
constexpr qint32 VbrField = 20;      // boolean
constexpr qint32 ComposerField = 62; // person lookup chosen by items
constexpr qint32 PerformerField = 70; // credits

class TFilterItem : public TDataItem {
public:
    explicit TFilterItem(TDataObject *owner)
        : TDataItem(owner)
        , Genres(std::make_unique<TLookupItemRefList>(this, GenreField))
    {
    }

    QString Title;
    TLookupItem *Artist = nullptr;
    TLookupItem *Year = nullptr;
    TLookupItem *Composer = nullptr;
    std::unique_ptr<TLookupItemRefList> Genres;
    qint32 Bitrate = -1;
    double Added = -1.0;
    double Gain = -1.0;
    quint8 VBR = BoolValue::No;
    TCreditList Credits;

    void ReadFromStream(TDataReader &, qint32, qint32) override {}

    QString GetValueAsString(const TDataField *field) const override
    {
        switch (field->ID) {
        case TitleField:
            return Title;
        case ArtistField:
            return GetLookupDisplayName(Artist);
        case GenreField:
            return Genres->GetText();
        case BitrateField:
            return QString::number(Bitrate);
        default:
            return TDataItem::GetValueAsString(field);
        }
    }
    qint32 GetValueAsInteger(const TDataField *field) const override
    {
        return field->ID == BitrateField ? Bitrate : TDataItem::GetValueAsInteger(field);
    }
    TLookupItem *GetValueAsLookupItem(const TDataField *field, bool) const override
    {
        switch (field->ID) {
        case ArtistField:
            return Artist;
        case YearField:
            return Year;
        case ComposerField:
            return Composer;
        case GenreField:
            return Genres->First();
        default:
            return nullptr;
        }
    }
    TLookupItemRefList *GetValueAsLookupItemRefList(const TDataField *field, bool) const override
    {
        return field->ID == GenreField ? Genres.get() : nullptr;
    }
    const TCreditList *GetValueAsCredits(const TDataField *field, bool) const override
    {
        return field->ID == PerformerField ? &Credits : nullptr;
    }
    double GetValueAsDate(const TDataField *field) const override
    {
        return field->ID == AddedField ? Added : TDataItem::GetValueAsDate(field);
    }
    double GetValueAsFloat(const TDataField *field) const override
    {
        return field->ID == GainField ? Gain : TDataItem::GetValueAsFloat(field);
    }
    quint8 GetValueAsBoolean(const TDataField *field) const override
    {
        return field->ID == VbrField ? VBR : TDataItem::GetValueAsBoolean(field);
    }
    // Like a track: a genre condition asks the whole genre list.
    bool HasLookupItem(const TDataField *field, const TLookupItem *item) const override
    {
        if (field->ID == GenreField)
            return Genres->ContainsOrEmpty(item);
        return TDataItem::HasLookupItem(field, item);
    }
};

class TFilterItemList : public TMainDataList {
public:
    using TMainDataList::TMainDataList;
    TDataItem *CreateItem() override
    {
        auto *item = new TFilterItem(this);
        Add(item);
        return item;
    }
};

class TFilterFieldCatalogue : public TGlobalDataFieldList {
public:
    explicit TFilterFieldCatalogue(TDataObject *owner)
        : TGlobalDataFieldList(owner, false)
    {
        CreateFields();
    }
    void CreateFields() override
    {
        TGlobalDataFieldList::CreateFields();
        const TListKinds items{ListKind::MainItems};
        Add(std::make_unique<TStringDataField>(this, TitleField, "Title", false, 100, 1, 1, items));
        Add(std::make_unique<TPersonLookupDataField>(this, ArtistField, "&Artist", false, 100, 1, 1, items, false, 1));
        Add(std::make_unique<TLookupDataField>(this, GenreField, "Genre", false, 100, 1, 1, items, true, 0));
        Add(std::make_unique<TLookupDataField>(this, YearField, "Year", false, 50, 1, 1, items, true, 1));
        Add(std::make_unique<TIntegerDataField>(this, BitrateField, "Bitrate", false, 50, 1, 1, items));
        Add(std::make_unique<TDateDataField>(this, AddedField, "Added", false, 50, 1, 1, items));
        Add(std::make_unique<TFloatDataField>(this, GainField, "Gain", false, 50, 1, 1, items));
        Add(std::make_unique<TBooleanDataField>(this, VbrField, "VBR", false, 50, 1, 1, items));
        Add(std::make_unique<TPersonLookupDataField>(this, ComposerField, "Composer", false, 100, 1, 1, items, true, 1));
        Add(std::make_unique<TCreditDataField>(this, PerformerField, "Performer", false, 100, 1, 1, items, true, 0));
    }
};

class TFilterRoot : public TRootItem {
public:
    TFilterRoot()
    {
        Fields = std::make_unique<TFilterFieldCatalogue>(this);
        Defaults = std::make_unique<TFieldDefaults>();
        Artists = std::make_unique<TPersonLookupList>(this, false, ArtistField);
        GenreList = std::make_unique<TLookupList>(this, false, GenreField);
        Years = std::make_unique<TLookupList>(this, false, YearField);
        Persons = std::make_unique<TPersonLookupList>(this, false, ComposerField);
        Items = std::make_unique<TFilterItemList>(this);
    }
    ~TFilterRoot() override
    {
        Items.reset();
        Artists.reset();
        GenreList.reset();
        Years.reset();
        Persons.reset();
    }

    std::unique_ptr<TPersonLookupList> Artists;
    std::unique_ptr<TLookupList> GenreList;
    std::unique_ptr<TLookupList> Years;
    // Composers and performers alike.
    std::unique_ptr<TPersonLookupList> Persons;

    void ReadLookupLists(TDataReader &, qint32, qint32) override {}
    void WriteLookupLists(TDataWriter &) override {}
    bool ImportFromFile(const QString &) override { return false; }
    void MergeLookupLists(TRootItem &) override {}
    TLookupList *GetLookupList(const TDataField *field) const override
    {
        switch (field ? field->ID : -1) {
        case ArtistField:
            return Artists.get();
        case GenreField:
            return GenreList.get();
        case YearField:
            return Years.get();
        case ComposerField:
        case PerformerField:
            return Persons.get();
        default:
            return nullptr;
        }
    }

    const TDataField *field(qint32 id) const { return Fields->FindByID(id); }
    TFilterItem *addItem(const QString &title)
    {
        auto *item = static_cast<TFilterItem *>(Items->CreateItem());
        item->Title = title;
        return item;
    }
};

// Which of the items (by title) the filter accepts, in list order.
QStringList acceptedTitles(const TFilterRoot &root, const TItemFilter &filter)
{
    QStringList titles;
    for (TDataItem *item : *root.Items) {
        if (filter.Matches(item))
            titles << static_cast<TFilterItem *>(item)->Title;
    }
    return titles;
}

QStringList conditionDescriptions(const TFilterFieldRefList &list)
{
    QStringList descriptions;
    for (int i = 0; i < list.Count(); ++i)
        descriptions << list.Get(i)->GetDescription();
    return descriptions;
}

const QString section = QStringLiteral("ItemFilterFields");

} // namespace

class TestFilters : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TFilterRoot> m_root;
    // Artists and genres of the fixture.
    TLookupItem *m_lanterns = nullptr;
    TLookupItem *m_kestrel = nullptr;
    TLookupItem *m_pop = nullptr;
    TLookupItem *m_rock = nullptr;
    TLookupItem *m_jazz = nullptr;
    TLookupItem *m_year1999 = nullptr;
    TLookupItem *m_composer = nullptr;

    const TDataField *field(qint32 id) const { return m_root->field(id); }
    TFilterItem *item(const QString &title) const
    {
        for (TDataItem *i : *m_root->Items) {
            if (static_cast<TFilterItem *>(i)->Title == title)
                return static_cast<TFilterItem *>(i);
        }
        return nullptr;
    }
    TFilterFieldRefList newList() const { return TFilterFieldRefList(ListKind::MainItems, m_root.get()); }

private Q_SLOTS:
    void init();
    void cleanup();

    void emptyOrDisabledFilterAcceptsEverything();
    void stringCondition_data();
    void stringCondition();
    void lookupStringCondition_data();
    void lookupStringCondition();
    void lookupCondition_data();
    void lookupCondition();
    void lookupConditionFollowsListChanges();
    void multiLookupCondition_data();
    void multiLookupCondition();
    void creditCondition();
    void rangeConditions_data();
    void rangeConditions();
    void boolCondition_data();
    void boolCondition();
    void combination_data();
    void combination();
    void listDescription();
    void clonesKeepTheirValues();
    void folderFilterSelectsItemsWithoutValue();
    void countUsageCountsAcceptedItemsOnly();
    void filterWindowQueries();

    void settingsRoundTrip();
    void settingsLayout();
    void loadFromSettings_data();
    void loadFromSettings();
    void resavingLeavesNoStaleValues();
};

void TestFilters::init()
{
    m_root = std::make_unique<TFilterRoot>();
    m_lanterns = m_root->Artists->FindOrAdd("The Lanterns");
    m_kestrel = m_root->Artists->FindOrAdd("Anna Kestrel");
    for (TLookupItem *artist : {m_lanterns, m_kestrel}) {
        artist->GenerateNamePartsFromName();
        m_root->Artists->ItemChanged(artist);
    }
    m_pop = m_root->GenreList->FindOrAdd("Pop");
    m_rock = m_root->GenreList->FindOrAdd("Rock");
    m_jazz = m_root->GenreList->FindOrAdd("Jazz");
    m_year1999 = m_root->Years->FindOrAdd("1999");
    m_composer = m_root->Persons->FindOrAdd("Ivo Brandt");

    // Title, artist, genres, bitrate.
    TFilterItem *lovesong = m_root->addItem("Lovesong");
    lovesong->Artist = m_lanterns;
    lovesong->Genres->Add(m_rock);
    lovesong->Bitrate = 128;
    lovesong->Year = m_year1999;
    lovesong->Added = 36526.0; // 1 January 2000
    lovesong->Gain = 1.5;
    lovesong->VBR = BoolValue::Yes;
    lovesong->Composer = m_composer;
    lovesong->Credits.append({static_cast<TPersonLookupItem *>(m_composer), field(PerformerField)});

    TFilterItem *glove = m_root->addItem("Glove Box");
    glove->Artist = m_kestrel;
    glove->Genres->Add(m_pop);
    glove->Genres->Add(m_jazz);
    glove->Bitrate = 192;
    glove->Added = 36891.75; // 31 December 2000, evening
    glove->Gain = 2.0;
    // A credit in another role does not count for the performer.
    glove->Credits.append({static_cast<TPersonLookupItem *>(m_composer), field(ComposerField)});

    TFilterItem *silent = m_root->addItem("Silent Night");
    silent->Bitrate = 128;
}

void TestFilters::cleanup()
{
    m_root.reset();
}

void TestFilters::emptyOrDisabledFilterAcceptsEverything()
{
    const QStringList all{"Lovesong", "Glove Box", "Silent Night"};
    TFilterFieldRefList list = newList();
    QVERIFY(!list.IsActive());
    QCOMPARE(list.GetDescription(), QStringLiteral("[None]"));
    QCOMPARE(acceptedTitles(*m_root, list), all);

    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "nothing like it"));
    QVERIFY(list.IsActive());
    QCOMPARE(acceptedTitles(*m_root, list), QStringList());

    list.Enabled = false;
    QVERIFY(!list.IsActive());
    QCOMPARE(acceptedTitles(*m_root, list), all);
    QCOMPARE(list.GetDescription(), QStringLiteral("(\"nothing like it\" in Title)"));
}

void TestFilters::stringCondition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("accepted");

    QTest::newRow("any case") << "love" << false << QStringList{"Lovesong", "Glove Box"};
    QTest::newRow("exact case") << "love" << true << QStringList{"Glove Box"};
    QTest::newRow("upper text, any case") << "LOVE" << false << QStringList{"Lovesong", "Glove Box"};
    QTest::newRow("empty text") << "" << false << QStringList();
    QTest::newRow("contiguous only") << "lvs" << false << QStringList();
    QTest::newRow("whole title") << "Silent Night" << true << QStringList{"Silent Night"};
}

void TestFilters::stringCondition()
{
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, accepted);

    TFilterFieldRefList list = newList();
    list.CaseSensitive = caseSensitive;
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), text));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(), QStringLiteral("(\"%1\" in Title)").arg(text));
}

void TestFilters::lookupStringCondition_data()
{
    QTest::addColumn<qint32>("fieldID");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("accepted");

    // "The Lanterns" sorts as "Lanterns, The".
    QTest::newRow("display name") << ArtistField << "the lan" << false << QStringList{"Lovesong"};
    QTest::newRow("sort name") << ArtistField << "lanterns, the" << false << QStringList{"Lovesong"};
    QTest::newRow("sort name, case") << ArtistField << "lanterns, the" << true << QStringList();
    QTest::newRow("person sort name") << ArtistField << "Kestrel, Anna" << true << QStringList{"Glove Box"};
    QTest::newRow("no value never matches") << ArtistField << "" << false << QStringList();
    QTest::newRow("first genre") << GenreField << "pop" << false << QStringList{"Glove Box"};
    QTest::newRow("second genre") << GenreField << "jazz" << false << QStringList{"Glove Box"};
}

void TestFilters::lookupStringCondition()
{
    QFETCH(qint32, fieldID);
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, accepted);

    TFilterFieldRefList list = newList();
    list.CaseSensitive = caseSensitive;
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(fieldID), text));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(),
             QStringLiteral("(\"%1\" in %2)").arg(text, GetFieldDisplayName(field(fieldID))));
}

void TestFilters::lookupCondition_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QString>("description");

    // The accelerator mark of "&Artist" is not shown.
    QTest::newRow("existing item") << "lanterns" << QStringList{"Lovesong"}
                                   << "(Artist is The Lanterns)";
    QTest::newRow("[None] folder") << "none" << QStringList{"Silent Night"} << "(Artist is [item not found])";
    QTest::newRow("unknown identifier") << "unknown" << QStringList{"Silent Night"}
                                        << "(Artist is [item not found])";
}

void TestFilters::lookupCondition()
{
    QFETCH(QString, which);
    QFETCH(QStringList, accepted);
    QFETCH(QString, description);

    qint32 id = 0;
    if (which == "lanterns")
        id = m_lanterns->GetID();
    else if (which == "none")
        id = TLookupItemNone::NoneID;
    else
        id = 9999;
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TLookupFilterField>(field(ArtistField), id));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(), description);
}

void TestFilters::lookupConditionFollowsListChanges()
{
    // The condition remembers where it found its item; removing, re-sorting
    // and freeing lookup items must not make it use a stale position.
    TFilterFieldRefList list = newList();
    auto *byKestrel = static_cast<TLookupFilterField *>(
        list.addCondition(std::make_unique<TLookupFilterField>(field(ArtistField), m_kestrel->GetID())));
    QCOMPARE(acceptedTitles(*m_root, list), QStringList{"Glove Box"});

    // A new artist sorts before Kestrel and moves it down the list.
    m_root->Artists->FindOrAdd("Aaron Abbot");
    QCOMPARE(acceptedTitles(*m_root, list), QStringList{"Glove Box"});
    QCOMPARE(byKestrel->GetDescription(), QStringLiteral("(Artist is Anna Kestrel)"));

    // Kestrel leaves the list (its items let go of it first).
    item("Glove Box")->Artist = nullptr;
    std::unique_ptr<TDataItem> removed = m_root->Artists->takeItem(m_kestrel);
    removed.reset();
    m_kestrel = nullptr;
    QCOMPARE(byKestrel->GetDescription(), QStringLiteral("(Artist is [item not found])"));
    QCOMPARE(acceptedTitles(*m_root, list), (QStringList{"Glove Box", "Silent Night"}));
}

void TestFilters::multiLookupCondition_data()
{
    QTest::addColumn<QStringList>("genres");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QString>("description");

    QTest::newRow("pop or rock") << QStringList{"Pop", "Rock"} << QStringList{"Lovesong", "Glove Box"}
                                 << "(Genre is \"Pop\" OR \"Rock\")";
    QTest::newRow("only rock") << QStringList{"Rock"} << QStringList{"Lovesong"} << "(Genre is \"Rock\")";
    QTest::newRow("second genre") << QStringList{"Jazz"} << QStringList{"Glove Box"}
                                  << "(Genre is \"Jazz\")";
    QTest::newRow("nothing chosen") << QStringList() << QStringList() << "(Genre is )";
    QTest::newRow("missing item stands for no value")
        << QStringList{"Rock", "?"} << QStringList{"Lovesong", "Silent Night"}
        << "(Genre is \"Rock\" OR [item not found])";
}

void TestFilters::multiLookupCondition()
{
    QFETCH(QStringList, genres);
    QFETCH(QStringList, accepted);
    QFETCH(QString, description);

    QList<qint32> ids;
    for (const QString &name : genres) {
        TLookupItem *genre = m_root->GenreList->FindByName(name);
        ids << (genre ? genre->GetID() : 4711);
    }
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TMultiLookupFilterField>(field(GenreField), ids));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(), description);
}

void TestFilters::creditCondition()
{
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TMultiCreditFilterField>(field(PerformerField),
                                                                QList<qint32>{m_composer->GetID()}));
    // Glove Box credits the same person, but as composer.
    QCOMPARE(acceptedTitles(*m_root, list), QStringList{"Lovesong"});
    QCOMPARE(list.GetDescription(), QStringLiteral("(Performer is \"Ivo Brandt\")"));
}

void TestFilters::rangeConditions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QStringList>("accepted");

    QTest::newRow("bitrate 128") << "integer" << 128.0 << 128.0 << QStringList{"Lovesong", "Silent Night"};
    QTest::newRow("bitrate 129-192") << "integer" << 129.0 << 192.0 << QStringList{"Glove Box"};
    QTest::newRow("bitrate reversed") << "integer" << 192.0 << 128.0 << QStringList();
    QTest::newRow("date, whole day") << "date" << 36526.0 << 36526.0 << QStringList{"Lovesong"};
    // An evening on the last day is past a bound at midnight.
    QTest::newRow("date, time of day") << "date" << 36000.0 << 36891.0 << QStringList{"Lovesong"};
    QTest::newRow("no date") << "date" << -1.0 << -1.0 << QStringList{"Silent Night"};
    QTest::newRow("gain") << "float" << 1.5 << 2.0 << QStringList{"Lovesong", "Glove Box"};
}

void TestFilters::rangeConditions()
{
    QFETCH(QString, kind);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(QStringList, accepted);

    TFilterFieldRefList list = newList();
    QString description;
    if (kind == "integer") {
        list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), qint32(min), qint32(max)));
        description = QStringLiteral("(Bitrate between %1 and %2)").arg(qint32(min)).arg(qint32(max));
    } else if (kind == "date") {
        list.addCondition(std::make_unique<TDateFilterField>(field(AddedField), min, max));
        const auto date = [](double day) {
            return QLocale().toString(DateOfDayNumber(day), QLocale::ShortFormat);
        };
        description = QStringLiteral("(Added between %1 and %2)").arg(date(min), date(max));
    } else {
        list.addCondition(std::make_unique<TFloatFilterField>(field(GainField), min, max));
        description = QStringLiteral("(Gain between %1 and %2)")
                          .arg(QString::asprintf("%f", min), QString::asprintf("%f", max));
    }
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(), description);
}

void TestFilters::boolCondition_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QString>("description");

    QTest::newRow("no") << 0 << QStringList{"Glove Box", "Silent Night"} << "(VBR is No)";
    QTest::newRow("yes") << 1 << QStringList{"Lovesong"} << "(VBR is Yes)";
    QTest::newRow("yes or no") << 2 << QStringList{"Lovesong", "Glove Box", "Silent Night"}
                               << "(VBR is Yes or No)";
}

void TestFilters::boolCondition()
{
    QFETCH(int, value);
    QFETCH(QStringList, accepted);
    QFETCH(QString, description);

    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TBoolFilterField>(field(VbrField), quint8(value)));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
    QCOMPARE(list.GetDescription(), description);
}

void TestFilters::combination_data()
{
    QTest::addColumn<int>("combination");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("accepted");

    // Conditions: title contains "Love" / bitrate 128.
    QTest::newRow("and") << 0 << false << QStringList{"Lovesong"};
    QTest::newRow("or") << 1 << false << QStringList{"Lovesong", "Glove Box", "Silent Night"};
    QTest::newRow("and, case-sensitive") << 0 << true << QStringList{"Lovesong"};
    QTest::newRow("or, case-sensitive") << 1 << true << QStringList{"Lovesong", "Silent Night"};
}

void TestFilters::combination()
{
    QFETCH(int, combination);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, accepted);

    TFilterFieldRefList list = newList();
    list.Combination = quint8(combination);
    list.CaseSensitive = caseSensitive;
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "Love"));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 128));
    QCOMPARE(acceptedTitles(*m_root, list), accepted);
}

void TestFilters::listDescription()
{
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "love"));
    list.addCondition(std::make_unique<TMultiLookupFilterField>(
        field(GenreField), QList<qint32>{m_pop->GetID(), m_rock->GetID()}));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 128));
    QCOMPARE(list.GetDescription(),
             QStringLiteral("(\"love\" in Title) AND (Genre is \"Pop\" OR \"Rock\") AND (Bitrate between 128 and 128)"));
    list.Combination = TFilterFieldRefList::CombinationOr;
    QCOMPARE(list.GetDescription(),
             QStringLiteral("(\"love\" in Title) OR (Genre is \"Pop\" OR \"Rock\") OR (Bitrate between 128 and 128)"));
}

void TestFilters::clonesKeepTheirValues()
{
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "love"));
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ArtistField), "lan"));
    list.addCondition(std::make_unique<TLookupFilterField>(field(ArtistField), m_lanterns->GetID()));
    list.addCondition(std::make_unique<TMultiLookupFilterField>(field(GenreField), QList<qint32>{m_rock->GetID()}));
    list.addCondition(std::make_unique<TMultiCreditFilterField>(field(PerformerField),
                                                                QList<qint32>{m_composer->GetID()}));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 100, 200));
    list.addCondition(std::make_unique<TDateFilterField>(field(AddedField), 36000.0, 37000.0));
    list.addCondition(std::make_unique<TFloatFilterField>(field(GainField), 1.0, 1.75));
    list.addCondition(std::make_unique<TBoolFilterField>(field(VbrField), BoolValue::Yes));

    TFilterFieldRefList copy = newList();
    copy.AddItemsOf(list);
    QCOMPARE(copy.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        QCOMPARE(typeid(*copy.Get(i)).name(), typeid(*list.Get(i)).name());
        QCOMPARE(copy.Get(i)->Field, list.Get(i)->Field);
        QVERIFY(copy.Get(i) != list.Get(i));
    }
    QCOMPARE(conditionDescriptions(copy), conditionDescriptions(list));
    QCOMPARE(acceptedTitles(*m_root, copy), QStringList{"Lovesong"});
}

void TestFilters::folderFilterSelectsItemsWithoutValue()
{
    // The main window's filter for a folder: the grouping levels as lookup
    // conditions, then the user's active conditions.
    TFilterFieldRefList user = newList();
    user.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 128));

    TLookupItemNone none;
    QCOMPARE(none.ID, TLookupItemNone::NoneID);
    TFilterFieldRefList folder = newList();
    folder.addCondition(std::make_unique<TLookupFilterField>(field(ArtistField), none.ID));
    QCOMPARE(acceptedTitles(*m_root, folder), QStringList{"Silent Night"});

    // "[None]" of the genres: the items without any genre.
    TFilterFieldRefList genreFolder = newList();
    genreFolder.addCondition(std::make_unique<TLookupFilterField>(field(GenreField), none.ID));
    genreFolder.AddItemsOf(user);
    QCOMPARE(acceptedTitles(*m_root, genreFolder), QStringList{"Silent Night"});

    TFilterFieldRefList artistFolder = newList();
    artistFolder.addCondition(std::make_unique<TLookupFilterField>(field(ArtistField), m_kestrel->GetID()));
    QCOMPARE(acceptedTitles(*m_root, artistFolder), QStringList{"Glove Box"});
    artistFolder.AddItemsOf(user);
    QCOMPARE(acceptedTitles(*m_root, artistFolder), QStringList());
}

void TestFilters::countUsageCountsAcceptedItemsOnly()
{
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 128));
    qint32 noValue = -1;
    m_root->CountUsage(field(ArtistField), &list, noValue, true);
    QCOMPARE(m_lanterns->UseCount, 1);
    QCOMPARE(m_kestrel->UseCount, 0);
    QCOMPARE(noValue, 1);

    list.Enabled = false;
    m_root->CountUsage(field(ArtistField), &list, noValue, true);
    QCOMPARE(m_kestrel->UseCount, 1);
}

void TestFilters::filterWindowQueries()
{
    TFilterFieldRefList list = newList();
    qint32 min = 0;
    qint32 max = 0;
    QCOMPARE(list.GetFilterText(field(TitleField)), QString());
    QVERIFY(!list.GetFilterRange(field(BitrateField), min, max));
    QCOMPARE(min, -1);
    QCOMPARE(max, -1);
    QVERIFY(list.GetFilterItemIDs(field(GenreField)).isEmpty());

    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ArtistField), "lan"));
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ArtistField), "second"));
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "love"));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 320));
    list.addCondition(std::make_unique<TMultiLookupFilterField>(field(GenreField), QList<qint32>{5, 6}));
    list.addCondition(std::make_unique<TMultiCreditFilterField>(field(PerformerField), QList<qint32>{7}));

    QCOMPARE(list.GetFilterText(field(ArtistField)), QStringLiteral("lan"));
    QCOMPARE(list.GetFilterText(field(TitleField)), QStringLiteral("love"));
    QCOMPARE(list.GetFilterText(field(BitrateField)), QString());
    QVERIFY(list.GetFilterRange(field(BitrateField), min, max));
    QCOMPARE(min, 128);
    QCOMPARE(max, 320);
    QVERIFY(!list.GetFilterRange(field(TitleField), min, max));
    QCOMPARE(list.GetFilterItemIDs(field(GenreField)), (QList<qint32>{5, 6}));
    QVERIFY(list.GetFilterItemIDs(field(YearField)).isEmpty());
    QCOMPARE(list.GetFilterCreditIDs(field(PerformerField)), QList<qint32>{7});
    QVERIFY(list.GetFilterCreditIDs(field(GenreField)).isEmpty());
}

void TestFilters::settingsRoundTrip()
{
    TFilterFieldRefList list = newList();
    list.Combination = TFilterFieldRefList::CombinationOr;
    list.CaseSensitive = true;
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "Love \"quoted\" %1"));
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ArtistField), "Lantern"));
    list.addCondition(std::make_unique<TMultiLookupFilterField>(
        field(GenreField), QList<qint32>{m_pop->GetID(), m_rock->GetID(), 4711}));
    list.addCondition(std::make_unique<TMultiCreditFilterField>(field(PerformerField),
                                                                QList<qint32>{m_composer->GetID()}));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 128));
    list.addCondition(std::make_unique<TDateFilterField>(field(AddedField), 36526.25, 36891.5));
    list.addCondition(std::make_unique<TFloatFilterField>(field(GainField), -0.125, 1e-7));
    list.addCondition(std::make_unique<TBoolFilterField>(field(VbrField), BoolValue::No));
    // A text condition on a field chosen by items, as the filter window makes
    // for composers.
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ComposerField), "Brandt"));

    for (bool enabled : {true, false}) {
        list.Enabled = enabled;
        FakeSettingsStore store;
        list.SaveToSettings(store, section);

        TFilterFieldRefList loaded = newList();
        loaded.LoadFromSettings(store, section);
        QCOMPARE(loaded.Enabled, enabled);
        QCOMPARE(loaded.Combination, list.Combination);
        QCOMPARE(loaded.CaseSensitive, true);
        QCOMPARE(loaded.Count(), list.Count());
        for (int i = 0; i < list.Count(); ++i) {
            QCOMPARE(typeid(*loaded.Get(i)).name(), typeid(*list.Get(i)).name());
            QCOMPARE(loaded.Get(i)->Field, list.Get(i)->Field);
        }
        QCOMPARE(conditionDescriptions(loaded), conditionDescriptions(list));
        const auto *date = static_cast<const TDateFilterField *>(loaded.Get(5));
        QCOMPARE(date->Min, 36526.25);
        QCOMPARE(date->Max, 36891.5);
        const auto *gain = static_cast<const TFloatFilterField *>(loaded.Get(6));
        QCOMPARE(gain->Max, 1e-7);
    }
}

void TestFilters::settingsLayout()
{
    TFilterFieldRefList list = newList();
    list.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "love"));
    list.addCondition(std::make_unique<TMultiLookupFilterField>(field(GenreField), QList<qint32>{11, 12}));
    list.addCondition(std::make_unique<TLookupStringFilterField>(field(ArtistField), "lan"));
    list.addCondition(std::make_unique<TIntegerFilterField>(field(BitrateField), 128, 256));
    list.addCondition(std::make_unique<TBoolFilterField>(field(VbrField), BoolValue::Yes));
    list.addCondition(std::make_unique<TStringFilterField>(nullptr, "no field, not stored"));
    FakeSettingsStore store;
    list.SaveToSettings(store, section);

    QCOMPARE(store.ValueNames(section),
             (QStringList{"Combination", "CaseSensitive", "Enabled", "Count"}));
    QCOMPARE(store.ReadString(section, "Combination"), QStringLiteral("0"));
    QCOMPARE(store.ReadString(section, "CaseSensitive"), QStringLiteral("0"));
    QCOMPARE(store.ReadString(section, "Enabled"), QStringLiteral("1"));
    QCOMPARE(store.ReadString(section, "Count"), QStringLiteral("5"));

    const auto values = [&store](int entry) {
        const QString entrySection = section + "\\" + QString::number(entry);
        QStringList lines;
        for (const QString &name : store.ValueNames(entrySection))
            lines << name + "=" + store.ReadString(entrySection, name);
        return lines;
    };
    QCOMPARE(values(0), (QStringList{"Field=3", "StringValue=love"}));
    QCOMPARE(values(1), (QStringList{"Field=7", "Count=2", "LookupValue0=11", "LookupValue1=12"}));
    QCOMPARE(values(2), (QStringList{"Field=6", "LookupValue=lan"}));
    QCOMPARE(values(3), (QStringList{"Field=19", "IntValue1=128", "IntValue2=256"}));
    QCOMPARE(values(4), (QStringList{"Field=20", "BoolValue=1"}));
    QVERIFY(!store.SectionExists(section + "\\5"));
}

void TestFilters::loadFromSettings_data()
{
    // Store lines "Section|Name=Value", the section relative to the filter's.
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QStringList>("descriptions");

    QTest::newRow("nothing stored") << QStringList() << false << QStringList();
    QTest::newRow("unknown field skipped")
        << QStringList{"|Count=1", "|Enabled=1", "0|Field=9999", "0|StringValue=x"} << false << QStringList();
    QTest::newRow("no Enabled: not active")
        << QStringList{"|Count=1", "0|Field=3", "0|StringValue=love"} << false
        << QStringList{"(\"love\" in Title)"};
    QTest::newRow("kinds by field")
        << QStringList{"|Count=6", "|Enabled=1", "0|Field=19", "0|IntValue1=1", "1|Field=20",
                       "2|Field=3", "3|Field=6", "3|LookupValue=lan", "4|Field=21", "5|Field=22"}
        << true
        << QStringList{"(Bitrate between 1 and -1)", "(VBR is Yes or No)", "(\"\" in Title)",
                       "(\"lan\" in Artist)",
                       QStringLiteral("(Added between %1 and %1)")
                           .arg(QLocale().toString(QDate(1899, 12, 29), QLocale::ShortFormat)),
                       "(Gain between -1.000000 and -1.000000)"};
    QTest::newRow("missing Field reads as ID")
        << QStringList{"|Count=1", "|Enabled=1", "0|IntValue1=0", "0|IntValue2=5"} << true
        << QStringList{"(ID between 0 and 5)"};
    QTest::newRow("choice without identifiers")
        << QStringList{"|Count=1", "|Enabled=1", "0|Field=7", "0|Count=0", "0|LookupValue0=1"} << false
        << QStringList();
    QTest::newRow("choice with identifiers")
        << QStringList{"|Count=1", "0|Field=7", "0|Count=2", "0|LookupValue0=4711", "0|LookupValue1=4712"}
        << false << QStringList{"(Genre is [item not found] OR [item not found])"};
    QTest::newRow("text on a choice field")
        << QStringList{"|Count=1", "0|Field=62", "0|LookupValue=Brandt"} << false
        << QStringList{"(\"Brandt\" in Composer)"};
    QTest::newRow("credit choice") << QStringList{"|Count=1", "0|Field=70", "0|Count=1", "0|LookupValue0=4711"}
                                   << false << QStringList{"(Performer is [item not found])"};
    QTest::newRow("bool value out of range")
        << QStringList{"|Count=1", "0|Field=20", "0|BoolValue=7"} << false << QStringList{"(VBR is Yes or No)"};
    QTest::newRow("entries beyond Count ignored")
        << QStringList{"|Count=1", "0|Field=3", "0|StringValue=a", "1|Field=3", "1|StringValue=b"} << false
        << QStringList{"(\"a\" in Title)"};
    QTest::newRow("missing entry skipped")
        << QStringList{"|Count=3", "0|Field=3", "0|StringValue=a", "2|Field=3", "2|StringValue=c"} << false
        << QStringList{"(\"a\" in Title)", "(\"c\" in Title)"};
    QTest::newRow("damaged counts")
        << QStringList{"|Count=2147483647", "0|Field=7", "0|Count=2000000000", "0|LookupValue0=4711"}
        << false << QStringList{"(Genre is [item not found])"};
    QTest::newRow("negative count") << QStringList{"|Count=-3", "0|Field=3", "0|StringValue=a"} << false
                                    << QStringList();
}

void TestFilters::loadFromSettings()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, active);
    QFETCH(QStringList, descriptions);

    FakeSettingsStore store;
    for (const QString &line : stored) {
        const QString entry = line.section('|', 0, 0);
        const QString assignment = line.section('|', 1);
        store.WriteString(entry.isEmpty() ? section : section + "\\" + entry, assignment.section('=', 0, 0),
                          assignment.section('=', 1));
    }
    TFilterFieldRefList list = newList();
    list.LoadFromSettings(store, section);
    QCOMPARE(list.IsActive(), active);
    QCOMPARE(conditionDescriptions(list), descriptions);
}

void TestFilters::resavingLeavesNoStaleValues()
{
    FakeSettingsStore store;
    TFilterFieldRefList first = newList();
    first.addCondition(std::make_unique<TMultiLookupFilterField>(field(ComposerField), QList<qint32>{1, 2, 3}));
    first.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "a"));
    first.addCondition(std::make_unique<TStringFilterField>(field(TitleField), "b"));
    first.SaveToSettings(store, section);

    // The same entry now holds a text condition: the old identifiers must
    // not come back with it.
    TFilterFieldRefList second = newList();
    second.addCondition(std::make_unique<TLookupStringFilterField>(field(ComposerField), "Brandt"));
    second.SaveToSettings(store, section);

    TFilterFieldRefList loaded = newList();
    loaded.LoadFromSettings(store, section);
    QCOMPARE(conditionDescriptions(loaded), QStringList{"(\"Brandt\" in Composer)"});
    QCOMPARE(store.ReadString(section, "Count"), QStringLiteral("1"));
}

QTEST_APPLESS_MAIN(TestFilters)
#include "tst_filters.moc"
