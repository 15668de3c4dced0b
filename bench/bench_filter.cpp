// Speed of applying filters to a generated library of 100,000 tracks: the
// folder filter of one artist (its lookup item is found once, not once per
// track), the "[None]" folder of tracks without a composer, a choice of two
// genres among several per track, and text conditions on the title and the
// artist's name.
//
//   bench_filter                 print the figures
//   bench_filter --tracks N      another collection size

#include "benchcollection.h"

#include "core/data/fieldlists.h"
#include "core/data/filterfieldlist.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

namespace {

// A user notices a wait beyond a tenth of a second.
constexpr double targetSeconds = 0.1;

// Seconds for one pass of the filter over every track, and how many matched.
double filterSeconds(TMp3Root &root, const std::function<void(TFilterFieldRefList &)> &build, int &matched)
{
    TFilterFieldRefList filter(ListKind::MainItems, &root);
    build(filter);
    QElapsedTimer timer;
    timer.start();
    matched = 0;
    for (TDataItem *track : *root.Items)
        matched += filter.Matches(track) ? 1 : 0;
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trackCount = benchTrackCount(args, 100000);

    QTextStream out(stdout);
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    using namespace Mp3FieldIds;
    TDataField *artist = root.Fields->FindByID(Artist);
    TDataField *composer = root.Fields->FindByID(Composer);
    TDataField *genre = root.Fields->FindByID(Genre);
    TDataField *title = root.Fields->FindByID(Title);
    // An artist late in the list: a search per track would walk most of it.
    const qint32 artistID = root.Artists->Get(root.Artists->Count() - 10)->GetID();
    const QList<qint32> genreIDs{root.GenreList->FindByName(QStringLiteral("Rock"))->GetID(),
                                 root.GenreList->FindByName(QStringLiteral("Jazz"))->GetID()};

    out << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists, " << shape.Genres
        << " genres" << Qt::endl;
    const auto report = [&out](const char *what, double seconds, int matched) {
        out << QString::fromLatin1(what).leftJustified(24) << QString::number(seconds, 'f', 4) << " s (target < "
            << targetSeconds << " s) " << (seconds < targetSeconds ? "ok" : "MISSED") << ", " << matched
            << " tracks" << Qt::endl;
    };
    int matched = 0;
    double seconds = filterSeconds(root, [&](TFilterFieldRefList &f) {
        f.addCondition(std::make_unique<TLookupFilterField>(artist, artistID));
    }, matched);
    report("artist folder:", seconds, matched);
    seconds = filterSeconds(root, [&](TFilterFieldRefList &f) {
        f.addCondition(std::make_unique<TLookupFilterField>(composer, TLookupItemNone::NoneID));
    }, matched);
    report("[None] composer folder:", seconds, matched);
    seconds = filterSeconds(root, [&](TFilterFieldRefList &f) {
        f.addCondition(std::make_unique<TMultiLookupFilterField>(genre, genreIDs));
    }, matched);
    report("two genres:", seconds, matched);
    seconds = filterSeconds(root, [&](TFilterFieldRefList &f) {
        f.addCondition(std::make_unique<TStringFilterField>(title, QStringLiteral("NIGHT")));
        f.addCondition(std::make_unique<TLookupStringFilterField>(artist, QStringLiteral("the")));
    }, matched);
    report("title and artist text:", seconds, matched);
    return 0;
}
