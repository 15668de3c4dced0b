// Writers that run at the same time, in separate processes, through
// different names of one file (the name itself, a symbolic link, a hard
// link, a path through a linked folder), must see each other: every
// collection change of every writer arrives, a save that waited for another
// writer notices its change, and tag rewrites never copy one writer's tag
// into the other's audio.

#include "childprocess.h"
#include "id3v2builder.h"
#include "safetyfixtures.h"
#include "testsupport.h"

#include "core/audio/id3v2tag.h"
#include "core/audio/prefixrewrite.h"
#include "core/base/filelock.h"
#include "core/data/collectionfile.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <unistd.h>

using namespace std::chrono_literals;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString childPath = QStringLiteral(TUNEBASE_SAFETY_CHILD_PATH);

QSet<QString> titles(const QString &collection)
{
    TMp3Root root;
    const TCollectionLoadResult loaded = loadCollection(root, collection);
    QSet<QString> result;
    if (!loaded.opened() || loaded.Recovered)
        return result;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        result.insert(static_cast<TMp3Track *>(root.GetTracks()->Get(i))->Title);
    return result;
}

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

// About 4 MB of audio: a rewrite takes long enough for writers to overlap.
const QByteArray &audio()
{
    static const QByteArray frames = safety::audioFrames(10000);
    return frames;
}

} // namespace

class TestConcurrentWriters : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    // Other names for `file`: "alias" (a symbolic link), "hard" (a hard
    // link) and the file's own name through "folder", a link to the folder.
    QStringList namesOf(const QString &file, bool exists)
    {
        QStringList names{path(file)};
        if (::symlink(".", bytes(path(QStringLiteral("folder"))).constData()) == 0)
            names << path(QStringLiteral("folder/") + file);
        if (!exists)
            return names;
        const QString alias = path(QStringLiteral("alias.") + QFileInfo(file).suffix());
        const QString hard = path(QStringLiteral("hard.") + QFileInfo(file).suffix());
        if (::symlink(bytes(file).constData(), bytes(alias).constData()) == 0)
            names << alias;
        if (::link(bytes(path(file)).constData(), bytes(hard).constData()) == 0)
            names << hard;
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Writers each add a track through one of the names, all at once.
    void addsThroughEveryNameLoseNothing_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("existing collection") << true;
        QTest::newRow("new collection") << false;
    }
    void addsThroughEveryNameLoseNothing()
    {
        QFETCH(bool, exists);
        constexpr int Writers = 12;
        const QString file = QStringLiteral("c.tbx");
        QSet<QString> expected;
        if (exists) {
            TMp3Root root;
            static_cast<TMp3Track *>(root.GetTracks()->CreateItem())->Title = QStringLiteral("first");
            QVERIFY(saveCollection(root, path(file)).Saved);
            expected << QStringLiteral("first");
        }
        const QStringList names = namesOf(file, exists);
        QVERIFY(names.size() >= (exists ? 4 : 2));
        std::vector<std::unique_ptr<TChildRun>> children;
        for (int i = 0; i < Writers; ++i) {
            const QString title = QStringLiteral("track %1").arg(i);
            expected << title;
            const QString hold = QString::number(QRandomGenerator::global()->bounded(30));
            children.push_back(std::make_unique<TChildRun>(
                childPath, QStringList{QStringLiteral("add-track"), names.at(i % names.size()), title, hold}));
        }
        for (const auto &child : children) {
            QVERIFY(child->finish());
            QVERIFY2(child->exitedNormally() && child->exitCode() == 0, child->errors().constData());
        }
        QCOMPARE(titles(path(file)), expected);
        // Nothing is left beside the collection: no lock files, no copies.
        QStringList entries = folderEntries(m_dir->path());
        for (const QString &name : names)
            entries.removeAll(QFileInfo(name).fileName());
        entries.removeAll(QStringLiteral("folder"));
        QVERIFY2(entries.isEmpty(), qPrintable(entries.join(QLatin1Char(' '))));
    }

    // The desktop program's save waits for a command-line add that holds
    // the lock, then finds the file changed and writes nothing.
    void saveAfterWaitingSeesTheOtherAdd()
    {
        const QString file = path(QStringLiteral("c.tbx"));
        TMp3Root mine;
        static_cast<TMp3Track *>(mine.GetTracks()->CreateItem())->Title = QStringLiteral("mine");
        QVERIFY(saveCollection(mine, file).Saved);
        static_cast<TMp3Track *>(mine.GetTracks()->CreateItem())->Title = QStringLiteral("mine too");

        const QString alias = path(QStringLiteral("alias.tbx"));
        QCOMPARE(::symlink("c.tbx", bytes(alias).constData()), 0);
        TChildRun child(childPath, {QStringLiteral("add-track"), alias, QStringLiteral("theirs"), QStringLiteral("500")});
        QVERIFY(child.waitUntilWriting());
        const TCollectionSaveResult saved = saveOverOwnFile(mine, std::nullopt, 60s);
        QVERIFY(child.finish());
        QVERIFY2(child.exitCode() == 0, child.errors().constData());
        QVERIFY(!saved.Saved);
        QVERIFY2(saved.ChangedOnDisk, qPrintable(saved.Message));
        QCOMPARE(titles(file), (QSet<QString>{QStringLiteral("mine"), QStringLiteral("theirs")}));

        // Overwriting the change seen is the user's choice; it works.
        QVERIFY(saveOverOwnFile(mine, saved.OnDisk, 0ms).Saved);
        QCOMPARE(titles(file), (QSet<QString>{QStringLiteral("mine"), QStringLiteral("mine too")}));
    }

    // A tag writer waits while another holds the MP3 (by another name), and
    // then reads the tag that one wrote: the audio after it stays the audio.
    void tagWriterWaitsAndRereadsTheTag()
    {
        const QString file = path(QStringLiteral("song.mp3"));
        QVERIFY(writeFile(file, Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).padding(16).build() + audio()));
        const QStringList names = namesOf(QStringLiteral("song.mp3"), true);

        TFileLock lock;
        QCOMPARE(lock.acquire(names.last(), 0ms), TFileLock::TOutcome::Held);
        const QByteArray before = readFile(file);
        TChildRun child(childPath, {QStringLiteral("id3v2"), names.at(1), QStringLiteral("Child"), QStringLiteral("3000")});
        QVERIFY(child.waitUntilWriting());
        QThread::msleep(300);
        QCOMPARE(readFile(file), before);  // it waits
        // The holder grows the tag meanwhile, rewriting the file.
        const QByteArray grown = Id3v2Builder(3).text("TIT2", QStringLiteral("Holder")).padding(20000).build();
        QString error;
        QVERIFY2(rewriteFilePrefix(file, grown, before.size() - audio().size(), &error, &lock), qPrintable(error));
        lock.release();
        QVERIFY(child.finish());
        QVERIFY2(child.exitCode() == 0, child.errors().constData());

        for (const QString &name : names) {
            QCOMPARE(viewTag(readFile(name)).audio, audio());
            TID3v2Tag tag;
            QVERIFY2(tag.ReadFromFile(name), qPrintable(tag.errorString()));
            QCOMPARE(tag.Title, QStringLiteral("Child"));
        }
    }

    // Many tag writers at once through every name: each rewrite is whole,
    // and the audio follows the last writer's tag unchanged.
    void simultaneousTagWritesKeepTheAudio()
    {
        constexpr int Rounds = 3;
        constexpr int Writers = 6;
        const QString file = path(QStringLiteral("song.mp3"));
        QVERIFY(writeFile(file, Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).padding(16).build() + audio()));
        const QStringList names = namesOf(QStringLiteral("song.mp3"), true);
        for (int round = 0; round < Rounds; ++round) {
            std::vector<std::unique_ptr<TChildRun>> children;
            QSet<QString> written;
            for (int i = 0; i < Writers; ++i) {
                const QString title = QStringLiteral("round %1 writer %2").arg(round).arg(i);
                written << title;
                // Each comment outgrows the tags before it: every write
                // rewrites the whole file.
                const QString comment = QString::number(2000 * (round * Writers + i + 1));
                children.push_back(std::make_unique<TChildRun>(
                    childPath, QStringList{QStringLiteral("id3v2"), names.at(i % names.size()), title, comment}));
            }
            for (const auto &child : children) {
                QVERIFY(child->finish());
                QVERIFY2(child->exitedNormally() && child->exitCode() == 0, child->errors().constData());
            }
            QCOMPARE(viewTag(readFile(file)).audio, audio());
            TID3v2Tag tag;
            QVERIFY2(tag.ReadFromFile(file), qPrintable(tag.errorString()));
            QVERIFY2(written.contains(tag.Title), qPrintable(tag.Title));
        }
    }
};

QTEST_APPLESS_MAIN(TestConcurrentWriters)
#include "tst_concurrentwriters.moc"
