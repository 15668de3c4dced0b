#include "core/files/mp3process.h"
#include "core/files/relink.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "recordingprocesswindow.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

// Cancels its process as soon as a run with the given caption starts.
class TCancelOnCaption : public TRecordingProcessWindow {
public:
    TCancelOnCaption(TProcessWindowRecord &record, TProcess *&process, QString caption)
        : TRecordingProcessWindow(record), m_process(process), m_caption(std::move(caption))
    {
    }
    void setCaption(const QString &caption) override
    {
        TRecordingProcessWindow::setCaption(caption);
        if (caption == m_caption && m_process)
            m_process->Cancel();
    }

private:
    TProcess *&m_process;
    QString m_caption;
};

} // namespace

class TestRelink : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    TMp3Root m_root;
    TMp3Track *m_first = nullptr;
    TMp3Track *m_second = nullptr;
    TMp3Track *m_lost = nullptr;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    void makeFile(const QString &name, int size)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).absolutePath()));
        QVERIFY(testsupport::writeFile(path(name), QByteArray(size, 'x')));
    }
    TMp3Track *track(const QString &filePath, qint32 size)
    {
        auto *t = static_cast<TMp3Track *>(m_root.GetTracks()->CreateItem());
        t->FilePath = filePath;
        t->Size = size;
        return t;
    }
    TFileMatchList missing() const { return MissingFileMatches(*m_root.GetTracks(), false, false); }

private Q_SLOTS:
    void init();
    void cleanup() { m_root.Clear(); }
    void contestedFileGoesToOneTrack_data();
    void contestedFileGoesToOneTrack();
    void filesOfTracksAreNoCandidates();
    void cancelLeavesTracksWithoutFiles();
    void repointTakesPathAndSize();
};

void TestRelink::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Two tracks lost the same file name; one fits the file in "a" exactly,
    // the other only by name.  A third file belongs to a track already.
    makeFile(QStringLiteral("search/a/song.mp3"), 1000);
    makeFile(QStringLiteral("search/b/song.mp3"), 3000);
    makeFile(QStringLiteral("search/c/present.mp3"), 500);
    m_first = track(path(QStringLiteral("old/one/song.mp3")), 1000);
    m_second = track(path(QStringLiteral("old/two/song.mp3")), 1000);
    m_lost = track(path(QStringLiteral("old/gone.mp3")), 77);
    track(path(QStringLiteral("search/c/present.mp3")), 500);
}

void TestRelink::contestedFileGoesToOneTrack_data()
{
    QTest::addColumn<int>("minimumScore");
    QTest::addColumn<QString>("secondFile");
    QTest::addColumn<int>("secondScore");
    // The second track loses the exact file to the first and is matched
    // again with what is left: the file of the same name in "b".
    QTest::newRow("default score") << DefaultRelinkMinimumScore << QStringLiteral("search/b/song.mp3") << 50;
    QTest::newRow("names alone too little") << 60 << QString() << 50;
}

void TestRelink::contestedFileGoesToOneTrack()
{
    QFETCH(int, minimumScore);
    QFETCH(QString, secondFile);
    QFETCH(int, secondScore);
    TMP3Process process;
    const TRelinkPlan plan =
        PlanRelink(process, m_root, missing(), path(QStringLiteral("search")), TMatchingType::Exact, minimumScore);
    QVERIFY(!plan.Cancelled);
    QCOMPARE(plan.Decisions.size(), 3);
    QCOMPARE(plan.Repairable(), secondFile.isEmpty() ? 1 : 2);
    // The best match comes first and gets the exact file.
    QCOMPARE(plan.Decisions.at(0).Track, m_first);
    QCOMPARE(plan.Decisions.at(0).Score, PerfectMatchScore);
    QCOMPARE(plan.Found.at(plan.Decisions.at(0).FileIndex).Path, path(QStringLiteral("search/a/song.mp3")));
    bool secondSeen = false;
    for (const TRelinkDecision &decision : plan.Decisions) {
        if (decision.Track == m_lost)
            QVERIFY(!decision.HasFile());
        if (decision.Track != m_second)
            continue;
        secondSeen = true;
        QCOMPARE(decision.Score, secondScore);
        QCOMPARE(decision.HasFile() ? plan.Found.at(decision.FileIndex).Path : QString(),
                 secondFile.isEmpty() ? QString() : path(secondFile));
    }
    QVERIFY(secondSeen);
    // Planning changes no track.
    QCOMPARE(m_first->FilePath, path(QStringLiteral("old/one/song.mp3")));
}

void TestRelink::filesOfTracksAreNoCandidates()
{
    TMP3Process process;
    const TRelinkPlan plan = PlanRelink(process, m_root, missing(), path(QStringLiteral("search")),
                                        TMatchingType::Fuzzy, DefaultRelinkMinimumScore);
    QCOMPARE(plan.Found.size(), 2);
    for (const TFoundFile &file : plan.Found)
        QVERIFY(!file.Path.endsWith(QLatin1String("present.mp3")));
}

void TestRelink::cancelLeavesTracksWithoutFiles()
{
    for (const QString &caption :
         {QStringLiteral("Search system for MP3 files"), QStringLiteral("Match tracks with MP3 files")}) {
        TProcessWindowRecord record;
        TProcess *self = nullptr;
        TMP3Process process(std::make_unique<TCancelOnCaption>(record, self, caption));
        self = &process;
        const TFileMatchList tracks = missing();
        const TRelinkPlan plan = PlanRelink(process, m_root, tracks, path(QStringLiteral("search")),
                                            TMatchingType::Exact, DefaultRelinkMinimumScore);
        QVERIFY2(plan.Cancelled, qPrintable(caption));
        // Every missing track has its decision, none a file: nothing is
        // repointed by a cancelled search.
        QCOMPARE(plan.Decisions.size(), tracks.size());
        QCOMPARE(plan.Repairable(), 0);
    }
}

void TestRelink::repointTakesPathAndSize()
{
    RepointTrack(*m_lost, {QStringLiteral("/music/found.mp3"), 4321});
    QCOMPARE(m_lost->FilePath, QStringLiteral("/music/found.mp3"));
    QCOMPARE(m_lost->Size, 4321);
    // A file of 2 GB or more keeps the largest size a track can hold.
    RepointTrack(*m_lost, {QStringLiteral("/music/huge.mp3"), qint64(5) << 30});
    QCOMPARE(m_lost->Size, std::numeric_limits<qint32>::max());
}

QTEST_GUILESS_MAIN(TestRelink)
#include "tst_relink.moc"
