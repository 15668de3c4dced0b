// A writer killed at a random moment (SIGKILL, as by a crash or a power
// cut of the program) must leave the complete old or the complete new file,
// never a mixture, a truncated file or a lost one.  A file with a second
// name is written in place: once the next program has opened it (which puts
// the old contents back when the write was cut short), both names show the
// old or the new file.  What a killed writer leaves beside the file goes at
// the next write there.

#include "childprocess.h"
#include "id3v2builder.h"
#include "safetyfixtures.h"
#include "testsupport.h"

#include "core/audio/id3v2tag.h"
#include "core/base/regularfile.h"
#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString childPath = QStringLiteral(TUNEBASE_SAFETY_CHILD_PATH);

// Big enough that saving takes a good part of a second; the sanitizer
// build runs several times slower, so fewer tracks keep the trials short.
#if defined(__SANITIZE_ADDRESS__)
constexpr int CollectionTracks = 10000;
#else
constexpr int CollectionTracks = 50000;
#endif
constexpr int Trials = 50;
// About 8 MB of audio: copying it behind a grown tag takes a while.
constexpr int AudioFrames = 20000;

enum class Kind { Collection, Mp3 };

QByteArray collectionBytes(int tracks, int seed)
{
    QTemporaryDir dir;
    TMp3Root root;
    safety::fillCollection(root, tracks, seed);
    const QString path = dir.filePath(QStringLiteral("c.tbx"));
    return saveCollection(root, path).Saved ? readFile(path) : QByteArray();
}

const QByteArray &audio()
{
    static const QByteArray bytes = safety::audioFrames(AudioFrames);
    return bytes;
}

// The file must open as what it claims to be: the collection with all its
// tracks, or the tag with the title and all the audio after it.
void verifyComplete(Kind kind, const QString &path, const QString &title, int tracks)
{
    if (kind == Kind::Collection) {
        TMp3Root root;
        const TCollectionLoadResult loaded = loadCollection(root, path);
        QVERIFY2(loaded.opened() && !loaded.Recovered, qPrintable(loaded.Message));
        QCOMPARE(root.GetTracks()->Count(), tracks);
        return;
    }
    QCOMPARE(viewTag(readFile(path)).audio, audio());
    TID3v2Tag tag;
    QVERIFY2(tag.ReadFromFile(path), qPrintable(tag.errorString()));
    QCOMPARE(tag.Title, title);
}

} // namespace

class TestKilledWrites : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLeavesOldOrNew_data();
    void killedWriterLeavesOldOrNew();
};

void TestKilledWrites::killedWriterLeavesOldOrNew_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("oldBytes");
    QTest::addColumn<QStringList>("command");  // the child's command, the file inserted after the first word
    QTest::addColumn<bool>("hardLinked");      // a second name in another folder

    const QByteArray oldCollection = collectionBytes(CollectionTracks / 2, 1);
    const QStringList saveCommand{QStringLiteral("save-collection"), QString::number(CollectionTracks),
                                  QStringLiteral("2")};
    QTest::newRow("collection save") << Kind::Collection << QStringLiteral("music.tbx") << oldCollection
                                     << saveCommand << false;
    QTest::newRow("collection save, hard linked")
        << Kind::Collection << QStringLiteral("music.tbx") << oldCollection << saveCommand << true;
    // The new tag does not fit the old one's room: the file is rewritten.
    const QByteArray smallTag = Id3v2Builder(3).text("TIT2", QStringLiteral("Old title")).padding(16).build();
    const QStringList growCommand{QStringLiteral("id3v2"), QStringLiteral("New title"), QStringLiteral("4000")};
    QTest::newRow("ID3v2 rewrite") << Kind::Mp3 << QStringLiteral("song.mp3") << smallTag + audio() << growCommand
                                   << false;
    QTest::newRow("ID3v2 rewrite, hard linked")
        << Kind::Mp3 << QStringLiteral("song.mp3") << smallTag + audio() << growCommand << true;
    // The new tag fits into the padding: it is written over the old one.
    const QByteArray roomyTag = Id3v2Builder(3)
                                    .text("TIT2", QStringLiteral("Old title"))
                                    .text("TALB", QStringLiteral("Album"))
                                    .padding(8192)
                                    .build();
    QTest::newRow("ID3v2 in place")
        << Kind::Mp3 << QStringLiteral("song.mp3") << roomyTag + audio()
        << QStringList{QStringLiteral("id3v2"), QStringLiteral("New title"), QStringLiteral("1000")} << false;
    // The same over a big picture: the write spans many pages of the file.
    const QByteArray pictureTag = Id3v2Builder(3)
                                      .text("TIT2", QStringLiteral("Old title"))
                                      .frame("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + mp3::randomBytes(300'000, 3))
                                      .padding(8192)
                                      .build();
    QTest::newRow("ID3v2 in place, big picture")
        << Kind::Mp3 << QStringLiteral("song.mp3") << pictureTag + audio()
        << QStringList{QStringLiteral("id3v2"), QStringLiteral("New title"), QStringLiteral("1000")} << false;
}

void TestKilledWrites::killedWriterLeavesOldOrNew()
{
    QFETCH(Kind, kind);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, oldBytes);
    QFETCH(QStringList, command);
    QFETCH(bool, hardLinked);
    QVERIFY(!oldBytes.isEmpty());

    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("target"));
    const QString reference = scratch.filePath(QStringLiteral("reference"));
    const QString elsewhere = scratch.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(reference) && QDir().mkpath(elsewhere));
    const QString path = QDir(folder).filePath(fileName);
    const QString otherName = QDir(elsewhere).filePath(fileName);
    const auto argsFor = [&](const QString &file) {
        QStringList args = command;
        args.insert(1, file);
        return args;
    };

    // One complete write shows what the new file holds and how long the
    // write takes.
    const QString newPath = QDir(reference).filePath(fileName);
    QVERIFY(writeFile(newPath, oldBytes));
    QElapsedTimer clock;
    {
        TChildRun child(childPath, argsFor(newPath));
        QVERIFY(child.waitUntilWriting());
        clock.start();
        QVERIFY(child.finish());
        QVERIFY2(child.exitedNormally() && child.exitCode() == 0, child.errors().constData());
    }
    const qint64 writeMicros = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);
    const QByteArray newBytes = readFile(newPath);
    QVERIFY(newBytes != oldBytes);
    QVERIFY(writeFile(path, oldBytes));
    if (hardLinked)
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()), 0);
    verifyComplete(kind, path, QStringLiteral("Old title"), CollectionTracks / 2);
    verifyComplete(kind, newPath, QStringLiteral("New title"), CollectionTracks);
    if (kind == Kind::Mp3 && command.last() == QLatin1String("1000"))
        QCOMPARE(newBytes.size(), oldBytes.size());  // really written in place

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int olds = 0;
    int news = 0;
    int leftovers = 0;
    QString leftoverExample;
    for (int trial = 0; trial < Trials; ++trial) {
        // Up to a fifth past the measured time, so some kills come late.
        const qint64 delay = random.bounded(writeMicros * 6 / 5);
        {
            TChildRun child(childPath, argsFor(path));
            QVERIFY(child.waitUntilWriting());
            QThread::usleep(quint64(delay));
            child.kill();
        }
        const QString where = QStringLiteral("trial %1, killed %2 us into a %3 us write (seed %4)")
                                  .arg(trial).arg(delay).arg(writeMicros).arg(seed);
        if (hardLinked) {
            // The next program to open the file (here: this one) puts back
            // what a write cut short left.
            QFile opened;
            QVERIFY2(OpenRegularFile(opened, path, QIODevice::ReadOnly), qPrintable(where));
        }
        const QByteArray now = readFile(path);
        QVERIFY2(now == oldBytes || now == newBytes, qPrintable(where));
        if (hardLinked)
            QVERIFY2(readFile(otherName) == now, qPrintable(where));
        ++(now == oldBytes ? olds : news);

        // A killed writer may leave its temporary file: it must never look
        // like the file it was to replace (another name and extension), and
        // the next write there removes it (so there is never more than one
        // writer's).
        const QStringList entries = folderEntries(folder).filter(QRegularExpression(QStringLiteral("^\\.")));
        QVERIFY2(entries.size() <= 2, qPrintable(entries.join(QLatin1String(", ")) + QLatin1String(": ") + where));
        for (const QString &entry : entries)
            QVERIFY2(QFileInfo(entry).suffix().compare(QFileInfo(fileName).suffix(), Qt::CaseInsensitive) != 0,
                     qPrintable(entry + QLatin1String(": ") + where));
        leftovers += int(entries.size());
        if (!entries.isEmpty())
            leftoverExample = entries.first();
        if (now != oldBytes)
            QVERIFY(writeFile(path, oldBytes));  // in place: a second name stays one
    }
    // A write that completes leaves nothing beside the file, not even what
    // the killed ones left.
    {
        TChildRun child(childPath, argsFor(path));
        QVERIFY(child.waitUntilWriting());
        QVERIFY(child.finish());
        QVERIFY2(child.exitedNormally() && child.exitCode() == 0, child.errors().constData());
    }
    QCOMPARE(folderEntries(folder), QStringList{fileName});
    if (hardLinked)
        QCOMPARE(readFile(otherName), newBytes);
    qInfo("%d kills: %d left the old file, %d the new one; %d files of killed writers found beside it%s%s", Trials,
          olds, news, leftovers, leftovers == 0 ? "" : ", e.g. ", qPrintable(leftoverExample));
}

QTEST_APPLESS_MAIN(TestKilledWrites)
#include "tst_killedwrites.moc"
