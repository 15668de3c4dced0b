// Removing unused lookup values and merging values: every track that used a
// merged value is rewritten, a multi-valued field holds the target once,
// the counts are taken again before deciding, and the caller hears of it
// before anything is freed.

#include "core/data/fieldlists.h"
#include "core/data/lookupmaintenance.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QtTest>

namespace {

struct Collection {
    TMp3Root root;
    TPersonLookupItem *lanterns = artist("Lanterns");
    TPersonLookupItem *theLanterns = artist("The Lanterns");
    TPersonLookupItem *target = artist("Lanterns, The");
    TPersonLookupItem *other = artist("Zoe Hart");
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *popMusic = root.GenreList->AddNew(QStringLiteral("Pop Music"));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));

    TPersonLookupItem *artist(const char *name)
    {
        return static_cast<TPersonLookupItem *>(root.Artists->AddNew(QLatin1String(name)));
    }
    TMp3Track *track(TPersonLookupItem *artist, std::initializer_list<TLookupItem *> genres = {})
    {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Artist = artist;
        for (TLookupItem *genre : genres)
            track->Genres->Add(genre);
        return track;
    }
    const TDataField *field(qint32 id) const { return root.Fields->FindByID(id); }
    QStringList genres(const TMp3Track *track) const { return track->Genres->GetText().split(QStringLiteral("; ")); }
};

} // namespace

class TestLookupMaintenance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mergeRewritesEveryTrack();
    void mergeIntoAMultiValuedFieldHoldsTheTargetOnce();
    void mergePassesOverWhatIsNotASource();
    void removeFreesOnlyUnusedValues();
    void removeCountsAgainFirst();
    void nothingFreedMeansNoWarning();
};

void TestLookupMaintenance::mergeRewritesEveryTrack()
{
    Collection c;
    QList<TMp3Track *> first;
    QList<TMp3Track *> second;
    for (int i = 0; i < 3; ++i) {
        first << c.track(c.lanterns);
        second << c.track(c.theLanterns);
    }
    TMp3Track *untouched = c.track(c.other);
    TMp3Track *already = c.track(c.target);
    int beforeFreeCalls = 0;
    int countWhenWarned = 0;
    const int merged = MergeLookupItems(c.root, c.field(Mp3FieldIds::Artist), *c.root.Artists,
                                        {c.lanterns, c.theLanterns}, c.target, [&] {
                                            ++beforeFreeCalls;
                                            countWhenWarned = c.root.Artists->Count();
                                        });
    QCOMPARE(merged, 2);
    QCOMPARE(beforeFreeCalls, 1);
    QCOMPARE(countWhenWarned, 4);   // told before anything was freed
    QCOMPARE(c.root.Artists->Count(), 2);
    for (const TMp3Track *track : first + second)
        QCOMPARE(track->Artist, c.target);
    QCOMPARE(untouched->Artist, c.other);
    QCOMPARE(already->Artist, c.target);
    QCOMPARE(c.target->UseCount, 7);
    QCOMPARE(c.other->UseCount, 1);
}

void TestLookupMaintenance::mergeIntoAMultiValuedFieldHoldsTheTargetOnce()
{
    Collection c;
    TMp3Track *both = c.track(nullptr, {c.popMusic, c.rock, c.pop});
    TMp3Track *sourceOnly = c.track(nullptr, {c.rock, c.popMusic});
    TMp3Track *twice = c.track(nullptr, {c.popMusic, c.popMusic});
    MergeLookupItems(c.root, c.field(Mp3FieldIds::Genre), *c.root.GenreList, {c.popMusic}, c.pop);
    QCOMPARE(c.genres(both), (QStringList{"Pop", "Rock"}));
    QCOMPARE(c.genres(sourceOnly), (QStringList{"Rock", "Pop"}));
    QCOMPARE(c.genres(twice), QStringList{"Pop"});
    QCOMPARE(c.root.GenreList->IndexOf(c.popMusic), -1);
    QCOMPARE(c.pop->UseCount, 3);
}

void TestLookupMaintenance::mergePassesOverWhatIsNotASource()
{
    Collection c;
    TMp3Track *track = c.track(c.lanterns, {c.rock});
    const TDataField *artist = c.field(Mp3FieldIds::Artist);
    bool warned = false;
    const auto warn = [&] { warned = true; };
    // The target among the sources, a value of another list, nothing at all.
    QCOMPARE(MergeLookupItems(c.root, artist, *c.root.Artists, {c.target, c.rock, nullptr}, c.target, warn), 0);
    // No target, or a target of another list.
    QCOMPARE(MergeLookupItems(c.root, artist, *c.root.Artists, {c.lanterns}, nullptr, warn), 0);
    QCOMPARE(MergeLookupItems(c.root, artist, *c.root.Artists, {c.lanterns}, c.rock, warn), 0);
    QVERIFY(!warned);
    QCOMPARE(c.root.Artists->Count(), 4);
    QCOMPARE(track->Artist, c.lanterns);
    // A source named twice is merged once.
    QCOMPARE(MergeLookupItems(c.root, artist, *c.root.Artists, {c.lanterns, c.lanterns}, c.other, warn), 1);
    QCOMPARE(track->Artist, c.other);
}

void TestLookupMaintenance::removeFreesOnlyUnusedValues()
{
    Collection c;
    c.track(c.other, {c.rock});
    c.track(c.other, {c.pop, c.rock});
    const QList<TLookupItem *> kept = RemoveUnusedLookupItems(
        c.root, c.field(Mp3FieldIds::Genre), *c.root.GenreList, {c.pop, c.popMusic, c.rock, c.lanterns});
    QCOMPARE(kept, (QList<TLookupItem *>{c.pop, c.rock}));
    QCOMPARE(c.pop->UseCount, 1);   // a value used in second place counts
    QCOMPARE(c.rock->UseCount, 2);
    QCOMPARE(c.root.GenreList->IndexOf(c.popMusic), -1);
    QCOMPARE(c.root.Artists->IndexOf(c.lanterns), 0);   // not a genre: passed over
}

void TestLookupMaintenance::removeCountsAgainFirst()
{
    Collection c;
    const TDataField *artist = c.field(Mp3FieldIds::Artist);
    RecountLookupUsage(c.root, artist);
    QCOMPARE(c.lanterns->UseCount, 0);
    // A track gets the value after the count was shown.
    TMp3Track *track = c.track(c.lanterns);
    const QList<TLookupItem *> kept = RemoveUnusedLookupItems(c.root, artist, *c.root.Artists, {c.lanterns});
    QCOMPARE(kept, QList<TLookupItem *>{c.lanterns});
    QCOMPARE(track->Artist, c.lanterns);
    QCOMPARE(c.lanterns->UseCount, 1);
}

void TestLookupMaintenance::nothingFreedMeansNoWarning()
{
    Collection c;
    c.track(c.lanterns);
    int warnings = 0;
    RemoveUnusedLookupItems(c.root, c.field(Mp3FieldIds::Artist), *c.root.Artists, {c.lanterns}, [&] { ++warnings; });
    QCOMPARE(warnings, 0);
    RemoveUnusedLookupItems(c.root, c.field(Mp3FieldIds::Artist), *c.root.Artists, {c.other, c.target},
                            [&] { ++warnings; });
    QCOMPARE(warnings, 1);
    QCOMPARE(c.root.Artists->Count(), 2);
}

QTEST_GUILESS_MAIN(TestLookupMaintenance)
#include "tst_lookupmaintenance.moc"
