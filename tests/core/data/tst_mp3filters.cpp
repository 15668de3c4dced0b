#include "fakesettingsstore.h"

#include "core/data/fieldlists.h"
#include "core/data/filterfieldlist.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include <QtTest>

// Filters on real tracks of an MP3 collection.
class TestMp3Filters : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TMp3Root> m_root;

    const TDataField *field(qint32 id) const { return m_root->Fields->FindByID(id); }
    TMp3Track *addTrack(const QString &title, qint32 bitrate, const QStringList &genres)
    {
        auto *track = static_cast<TMp3Track *>(m_root->Items->CreateItem());
        track->Title = title;
        track->Bitrate = bitrate;
        for (const QString &genre : genres)
            track->Genres->Add(m_root->GenreList->FindOrAdd(genre));
        return track;
    }
    QStringList accepted(const TFilterFieldRefList &filter) const
    {
        QStringList titles;
        for (TDataItem *item : *m_root->Items) {
            if (filter.Matches(item))
                titles << static_cast<TMp3Track *>(item)->Title;
        }
        return titles;
    }
    qint32 genreID(const QString &name) const { return m_root->GenreList->FindByName(name)->GetID(); }

private Q_SLOTS:
    void init()
    {
        m_root = std::make_unique<TMp3Root>();
        addTrack("Lovesong", 128, {"Rock"});
        addTrack("Harbour Lights", 192, {"Pop", "Jazz"});
        addTrack("No Genre", 128, {});
        m_root->GetTracks()->Get(1)->VBR = true;
    }
    void cleanup() { m_root.reset(); }

    void titleText_data()
    {
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("any case") << false << QStringList{"Lovesong"};
        QTest::newRow("case-sensitive") << true << QStringList();
    }
    void titleText()
    {
        QFETCH(bool, caseSensitive);
        QFETCH(QStringList, titles);
        TFilterFieldRefList filter(ListKind::MainItems, m_root.get());
        filter.CaseSensitive = caseSensitive;
        filter.addCondition(std::make_unique<TStringFilterField>(field(Mp3FieldIds::Title), "love"));
        QCOMPARE(accepted(filter), titles);
    }

    void genreChoice()
    {
        TFilterFieldRefList filter(ListKind::MainItems, m_root.get());
        filter.addCondition(std::make_unique<TMultiLookupFilterField>(
            field(Mp3FieldIds::Genre), QList<qint32>{genreID("Pop"), genreID("Rock")}));
        QCOMPARE(accepted(filter), (QStringList{"Lovesong", "Harbour Lights"}));
        QCOMPARE(filter.GetDescription(), QStringLiteral("(Genre is \"Pop\" OR \"Rock\")"));
    }

    void genreNoneFolder()
    {
        TFilterFieldRefList filter(ListKind::MainItems, m_root.get());
        filter.addCondition(std::make_unique<TLookupFilterField>(field(Mp3FieldIds::Genre), TLookupItemNone::NoneID));
        QCOMPARE(accepted(filter), QStringList{"No Genre"});
    }

    void bitrateAndVbr()
    {
        TFilterFieldRefList filter(ListKind::MainItems, m_root.get());
        filter.addCondition(std::make_unique<TIntegerFilterField>(field(Mp3FieldIds::Bitrate), 128, 128));
        QCOMPARE(accepted(filter), (QStringList{"Lovesong", "No Genre"}));
        QCOMPARE(filter.GetDescription(), QStringLiteral("(Bitrate between 128 and 128)"));

        filter.Combination = TFilterFieldRefList::CombinationOr;
        filter.addCondition(std::make_unique<TBoolFilterField>(field(Mp3FieldIds::VBR), BoolValue::Yes));
        QCOMPARE(accepted(filter), (QStringList{"Lovesong", "Harbour Lights", "No Genre"}));
        filter.Combination = TFilterFieldRefList::CombinationAnd;
        QCOMPARE(accepted(filter), QStringList());
    }

    // The conditions the filter window makes survive the settings, with the
    // condition class chosen by the MP3 field's kind.
    void settingsRoundTrip()
    {
        TFilterFieldRefList filter(ListKind::MainItems, m_root.get());
        filter.addCondition(std::make_unique<TStringFilterField>(field(Mp3FieldIds::Title), "love"));
        filter.addCondition(std::make_unique<TMultiLookupFilterField>(field(Mp3FieldIds::Genre),
                                                                      QList<qint32>{genreID("Rock")}));
        filter.addCondition(std::make_unique<TLookupStringFilterField>(field(Mp3FieldIds::Artist), "Kestrel"));
        filter.addCondition(std::make_unique<TLookupStringFilterField>(field(Mp3FieldIds::Composer), "Brandt"));
        filter.addCondition(std::make_unique<TIntegerFilterField>(field(Mp3FieldIds::Bitrate), 128, 320));
        FakeSettingsStore store;
        filter.SaveToSettings(store, "ItemFilterFields");

        TFilterFieldRefList loaded(ListKind::MainItems, m_root.get());
        loaded.LoadFromSettings(store, "ItemFilterFields");
        QVERIFY(loaded.IsActive());
        QCOMPARE(loaded.GetDescription(), filter.GetDescription());
        QCOMPARE(loaded.GetFilterText(field(Mp3FieldIds::Composer)), QStringLiteral("Brandt"));
        QCOMPARE(accepted(loaded), QStringList());
    }
};

QTEST_APPLESS_MAIN(TestMp3Filters)
#include "tst_mp3filters.moc"
