#include "core/files/filematchindex.h"
#include "core/files/mp3process.h"
#include "core/files/relink.h"
#include "core/mp3model/mp3track.h"

#include "recordingprocesswindow.h"
#include "relinkscenario.h"
#include "straightrelink.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(TMatchingType)
Q_DECLARE_METATYPE(TScenarioSizes)

// The index only saves work: on generated libraries its decisions must be
// those of scoring every track against every file.
class TestFileMatchIndex : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameDecisionsAsScoringEveryPair_data()
    {
        QTest::addColumn<TMatchingType>("matching");
        QTest::addColumn<TScenarioSizes>("sizes");
        QTest::addColumn<int>("minimumScore");
        const struct {
            const char *name;
            TScenarioSizes sizes;
        } spreads[] = {{"realistic sizes", TScenarioSizes::Realistic},
                       {"few sizes", TScenarioSizes::FewDistinct},
                       {"one size", TScenarioSizes::AllEqual}};
        for (const auto &spread : spreads) {
            for (const int minimumScore : {1, DefaultRelinkMinimumScore}) {
                QTest::addRow("exact, %s, at least %d", spread.name, minimumScore)
                    << TMatchingType::Exact << spread.sizes << minimumScore;
                QTest::addRow("fuzzy, %s, at least %d", spread.name, minimumScore)
                    << TMatchingType::Fuzzy << spread.sizes << minimumScore;
            }
        }
    }
    void sameDecisionsAsScoringEveryPair()
    {
        QFETCH(TMatchingType, matching);
        QFETCH(TScenarioSizes, sizes);
        QFETCH(int, minimumScore);
        for (const quint32 seed : {1u, 2u, 3u}) {
            TRelinkScenario scenario;
            BuildRelinkScenario(scenario, seed, 40, 400, sizes);
            const TRelinkDecisionList expected =
                StraightRelinkDecisions(scenario.Found, scenario.Missing, matching, minimumScore);

            TProcessWindowRecord record;
            TMP3Process process(std::make_unique<TRecordingProcessWindow>(record));
            const TRelinkDecisionList decisions =
                DecideRelinks(process, scenario.Found, scenario.Missing, matching, minimumScore);
            QCOMPARE(decisions.size(), expected.size());
            for (qsizetype i = 0; i < decisions.size(); ++i) {
                QCOMPARE(decisions.at(i).Track, expected.at(i).Track);
                QCOMPARE(decisions.at(i).FileIndex, expected.at(i).FileIndex);
                QCOMPARE(decisions.at(i).Score, expected.at(i).Score);
            }
            // Each round shows its progress track by track.
            QVERIFY(record.PercentsSet.size() >= 20);
        }
    }

    // A match that has a file already keeps it against files of equal
    // score, and a perfect one is not searched again.
    void improvingKeepsTheScanRules()
    {
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = QStringLiteral("/old/Song.mp3");
        track->Size = 1000;
        const TFoundFileList found{{QStringLiteral("/a/Other.mp3"), 1000},
                                   {QStringLiteral("/b/Song.mp3"), 1000},
                                   {QStringLiteral("/c/Song.mp3"), 1000}};
        const TFoundFileIndex index(found);

        TFileMatch match(track);
        match.Score = 50;
        match.FileIndex = 0;
        index.Improve(match, TMatchingType::Exact, {false, false, true});
        QCOMPARE(match.FileIndex, 1);
        QCOMPARE(match.Score, PerfectMatchScore);

        TFileMatch kept(track);
        kept.Score = 50;
        kept.FileIndex = 2;
        index.Improve(kept, TMatchingType::Exact, {false, true, true});
        QCOMPARE(kept.FileIndex, 2);

        index.Improve(match, TMatchingType::Exact);
        QCOMPARE(match.FileIndex, 1);
    }
};

QTEST_APPLESS_MAIN(TestFileMatchIndex)
#include "tst_filematchindex.moc"
