// Stress run of concurrent collection writers: in each round dozens of
// `tunebase-cli add` runs add folders of their own to one collection at
// once, each through one of the collection's names (the file, a symbolic
// link to it, a hard link, the file through a linked folder); some are
// killed at random moments.  Afterwards the collection must open undamaged
// and hold every track of every add that reported success; a killed add's
// tracks are all there or none.  Prints its figures and exits 1 when
// anything was lost.
//
//   tunebase-stress-writers [--rounds N] [--writers N] [--files N] [--kill-percent P] [--seed S]
//                           [--no-hard-link] [--cli PROGRAM]
//
// A collection with a hard link is rewritten in place; --no-hard-link
// leaves that name out, so that kills hit only saves by rename.
//
// The test suite runs a few short rounds; a long run, e.g.
//   build/tests/tunebase-stress-writers --rounds 200 --writers 30 --kill-percent 10
// is for a developer who changed how collections are locked or saved.

#include "mp3builder.h"
#include "testsupport.h"

#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <memory>
#include <vector>

#include <unistd.h>

namespace {

QString cliPath = QStringLiteral(TUNEBASE_CLI_PATH);

struct TFigures {
    int Rounds = 0;
    int Adds = 0;
    int Succeeded = 0;
    int GaveUp = 0;      // waited for the lock too long and said so
    int Failed = 0;      // any other failure
    int Killed = 0;
    int KilledKept = 0;  // killed after its save: its tracks are in
    int PartlyKept = 0;  // a killed add of which only some tracks are in
    qint64 TracksLost = 0;
    int Damaged = 0;     // rounds after which the collection did not open whole
};

struct TWriter {
    QString Folder;
    QSet<QString> Paths;
    std::unique_ptr<QProcess> Process;
    bool Killed = false;
};

QSet<QString> trackPaths(const QString &collection, bool &whole)
{
    TMp3Root root;
    const TCollectionLoadResult loaded = loadCollection(root, collection);
    whole = loaded.opened() && !loaded.Recovered && !loaded.readOnly();
    QSet<QString> paths;
    for (int i = 0; whole && i < root.GetTracks()->Count(); ++i)
        paths.insert(static_cast<TMp3Track *>(root.GetTracks()->Get(i))->FilePath);
    return paths;
}

class TStressRun {
public:
    TStressRun(int writers, int files, int killPercent, bool hardLink, quint32 seed)
        : m_writers(writers), m_files(files), m_killPercent(killPercent), m_hardLink(hardLink), m_random(seed)
    {
    }

    bool prepare()
    {
        if (!m_dir.isValid())
            return false;
        m_collection = m_dir.filePath(QStringLiteral("c.tbx"));
        QProcess made;
        made.start(cliPath, {QStringLiteral("new"), m_collection});
        if (!made.waitForFinished(60000) || made.exitCode() != 0)
            return false;
        const QByteArray folder = QFile::encodeName(m_dir.path());
        if (::symlink("c.tbx", (folder + "/alias.tbx").constData()) != 0
            || ::symlink(".", (folder + "/linked").constData()) != 0)
            return false;
        m_names = {m_collection, m_dir.filePath(QStringLiteral("alias.tbx")), m_dir.filePath(QStringLiteral("linked/c.tbx"))};
        if (m_hardLink) {
            if (::link((folder + "/c.tbx").constData(), (folder + "/hard.tbx").constData()) != 0)
                return false;
            m_names << m_dir.filePath(QStringLiteral("hard.tbx"));
        }
        return true;
    }

    qsizetype nameCount() const { return m_names.size(); }

    // Copies of the collection a killed add left beside it.
    int leftovers() const
    {
        const QStringList hidden = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        return int(std::count_if(hidden.cbegin(), hidden.cend(),
                                 [](const QString &name) { return name.startsWith(QLatin1Char('.')); }));
    }

    void round(int number, TFigures &figures)
    {
        std::vector<TWriter> writers(static_cast<size_t>(m_writers));
        for (int w = 0; w < m_writers; ++w) {
            TWriter &writer = writers[size_t(w)];
            writer.Folder = m_dir.filePath(QStringLiteral("music/r%1w%2").arg(number).arg(w));
            QDir().mkpath(writer.Folder);
            for (int f = 0; f < m_files; ++f) {
                const QString file = writer.Folder + QStringLiteral("/song %1.mp3").arg(f);
                testsupport::writeFile(file, mp3::Frame().stream(4 + f));
                writer.Paths.insert(file);
            }
        }
        for (int w = 0; w < m_writers; ++w) {
            TWriter &writer = writers[size_t(w)];
            writer.Process = std::make_unique<QProcess>();
            writer.Process->start(cliPath, {QStringLiteral("add"), m_names.at(w % m_names.size()), writer.Folder});
        }
        for (TWriter &writer : writers) {
            if (int(m_random.bounded(100)) < m_killPercent) {
                QThread::usleep(m_random.bounded(200000));
                writer.Process->kill();
                writer.Killed = true;
            }
        }
        for (TWriter &writer : writers)
            writer.Process->waitForFinished(300000);

        bool whole = false;
        const QSet<QString> paths = trackPaths(m_collection, whole);
        ++figures.Rounds;
        if (!whole)
            ++figures.Damaged;
        for (TWriter &writer : writers) {
            ++figures.Adds;
            const qsizetype kept = std::count_if(writer.Paths.cbegin(), writer.Paths.cend(),
                                                 [&paths](const QString &p) { return paths.contains(p); });
            const bool exited = writer.Process->exitStatus() == QProcess::NormalExit;
            if (writer.Killed && !exited) {
                ++figures.Killed;
                if (kept == writer.Paths.size())
                    ++figures.KilledKept;
                else if (kept > 0)
                    ++figures.PartlyKept;
                continue;
            }
            if (exited && writer.Process->exitCode() == 0) {
                ++figures.Succeeded;
                figures.TracksLost += writer.Paths.size() - kept;
                continue;
            }
            const QByteArray errors = writer.Process->readAllStandardError();
            if (errors.contains("Another program is changing the collection")) {
                ++figures.GaveUp;
            } else {
                ++figures.Failed;
                QTextStream(stderr) << "add failed: " << errors << "\n";
            }
        }
    }

private:
    int m_writers;
    int m_files;
    int m_killPercent;
    bool m_hardLink;
    QRandomGenerator m_random;
    QTemporaryDir m_dir;
    QString m_collection;
    QStringList m_names;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("Rounds."), QStringLiteral("N"), QStringLiteral("3"));
    const QCommandLineOption writers(QStringLiteral("writers"), QStringLiteral("Adds at once per round."), QStringLiteral("N"),
                                     QStringLiteral("24"));
    const QCommandLineOption files(QStringLiteral("files"), QStringLiteral("MP3 files per add."), QStringLiteral("N"),
                                   QStringLiteral("5"));
    const QCommandLineOption kill(QStringLiteral("kill-percent"), QStringLiteral("Share of adds killed."),
                                  QStringLiteral("P"), QStringLiteral("10"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("S"));
    const QCommandLineOption noHardLink(QStringLiteral("no-hard-link"), QStringLiteral("No hard link among the names."));
    const QCommandLineOption cli(QStringLiteral("cli"), QStringLiteral("The tunebase-cli to run (another build)."),
                                 QStringLiteral("PROGRAM"));
    parser.addOptions({rounds, writers, files, kill, seed, noHardLink, cli});
    parser.process(app);
    if (parser.isSet(cli))
        cliPath = parser.value(cli);

    const quint32 seedValue = parser.isSet(seed) ? parser.value(seed).toUInt() : QRandomGenerator::global()->generate();
    TStressRun run(std::max(parser.value(writers).toInt(), 1), std::max(parser.value(files).toInt(), 1),
                   parser.value(kill).toInt(), !parser.isSet(noHardLink), seedValue);
    QTextStream out(stdout);
    if (!run.prepare()) {
        out << "could not prepare the collection and its names\n";
        return 2;
    }
    TFigures figures;
    const int roundCount = std::max(parser.value(rounds).toInt(), 1);
    for (int r = 0; r < roundCount; ++r)
        run.round(r, figures);

    out << "seed " << seedValue << ": " << figures.Rounds << " rounds, " << figures.Adds << " adds through "
        << run.nameCount() << " names ("
        << figures.Succeeded << " succeeded, " << figures.GaveUp << " gave up waiting, " << figures.Failed
        << " failed otherwise, " << figures.Killed << " killed: " << figures.KilledKept << " of them after saving, "
        << figures.PartlyKept << " partly kept); tracks lost: " << figures.TracksLost
        << "; rounds that left a damaged collection: " << figures.Damaged << "; copies left by killed adds: "
        << run.leftovers() << "\n";
    return figures.TracksLost == 0 && figures.Damaged == 0 && figures.PartlyKept == 0 && figures.Failed == 0 ? 0 : 1;
}
