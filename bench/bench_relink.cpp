// Speed of relinking a moved library: 200 tracks whose files are gone
// against the 50,000 files found in the folder searched, fuzzy and exact,
// with realistic sizes and with every file of one size (copies of one
// recording: every file passes the size test and the names decide).  The
// plain way (every track against every file in every round, as relink did
// before the files were indexed) is timed beside it with --every-pair, and
// both must decide alike; it takes minutes, so it is left out by default.
// Measured on the 2-core development machine:
//   fuzzy, realistic sizes: every pair 0.17 s, indexed 0.20 s
//   fuzzy, one size:        every pair 215 s,  indexed 2.6 s
//   exact, realistic sizes: every pair 1.4 s,  indexed 0.12 s
//   exact, one size:        every pair 21 s,   indexed 0.10 s

#include "core/files/mp3process.h"
#include "core/files/relink.h"

#include "relinkscenario.h"
#include "straightrelink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr int TrackCount = 200;
constexpr int FileCount = 50'000;

bool sameDecisions(const TRelinkDecisionList &a, const TRelinkDecisionList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i).Track != b.at(i).Track || a.at(i).FileIndex != b.at(i).FileIndex || a.at(i).Score != b.at(i).Score)
            return false;
    return true;
}

QString seconds(const QElapsedTimer &timer)
{
    return QString::number(double(timer.nsecsElapsed()) / 1e9, 'f', 3) + QStringLiteral(" s");
}

void run(QTextStream &out, const char *name, TScenarioSizes sizes, TMatchingType matching, bool plainToo)
{
    TRelinkScenario scenario;
    BuildRelinkScenario(scenario, 11, TrackCount, FileCount, sizes);
    TMP3Process process;
    QElapsedTimer timer;
    timer.start();
    const TRelinkDecisionList indexed =
        DecideRelinks(process, scenario.Found, scenario.Missing, matching, DefaultRelinkMinimumScore);
    const QString indexedTime = seconds(timer);
    const auto repaired = std::count_if(indexed.cbegin(), indexed.cend(),
                                        [](const TRelinkDecision &d) { return d.HasFile(); });
    out << (matching == TMatchingType::Fuzzy ? "fuzzy" : "exact") << ", " << name << ", " << TrackCount
        << " tracks x " << scenario.Found.size() << " files: indexed " << indexedTime;
    if (plainToo) {
        timer.restart();
        const TRelinkDecisionList plain =
            StraightRelinkDecisions(scenario.Found, scenario.Missing, matching, DefaultRelinkMinimumScore);
        out << ", every pair " << seconds(timer) << (sameDecisions(indexed, plain) ? ", same" : ", DIFFERENT")
            << " decisions";
    }
    out << " (" << repaired << " repaired)\n";
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool plainToo = QCoreApplication::arguments().contains(QStringLiteral("--every-pair"));
    QTextStream out(stdout);
    run(out, "realistic sizes", TScenarioSizes::Realistic, TMatchingType::Fuzzy, plainToo);
    run(out, "one size", TScenarioSizes::AllEqual, TMatchingType::Fuzzy, plainToo);
    run(out, "realistic sizes", TScenarioSizes::Realistic, TMatchingType::Exact, plainToo);
    run(out, "one size", TScenarioSizes::AllEqual, TMatchingType::Exact, plainToo);
    return 0;
}
