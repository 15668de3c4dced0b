// The lock that keeps two programs from saving over each other's changes
// to one collection, whatever name each reaches the file by, and the save
// of the desktop program that looks for another program's change in the
// same hold of the lock as it writes.

#include "testsupport.h"

#include "core/base/filelock.h"
#include "core/data/collectionfile.h"
#include "core/data/collectionlock.h"
#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

void addTrack(TRootItem &root, const QString &title)
{
    static_cast<TMp3Track *>(root.Items->CreateItem())->Title = title;
}

QStringList titles(const QString &collection)
{
    TMp3Root root;
    if (!loadCollection(root, collection).opened())
        return {};
    QStringList result;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        result << static_cast<TMp3Track *>(root.GetTracks()->Get(i))->Title;
    return result;
}

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

// Another writer: holds the collection's lock (taken already), and after a
// while loads the collection, adds a track and saves under its hold, then
// lets go.  The caller waits for the returned thread.
std::unique_ptr<QThread> startDelayedSave(std::unique_ptr<TCollectionLock> holder, const QString &collection,
                                          const QString &title)
{
    std::unique_ptr<QThread> writer(QThread::create([holder = std::move(holder), collection, title]() mutable {
        QThread::msleep(300);
        TMp3Root root;
        loadCollection(root, collection);
        addTrack(root, title);
        saveCollection(root, collection, {}, holder.get());
        holder.reset();
    }));
    writer->start();
    return writer;
}

} // namespace

class tst_CollectionLock : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString collection() const { return path(QStringLiteral("songs.tbx")); }

    void saveTitles(const QStringList &list)
    {
        TMp3Root root;
        for (const QString &title : list)
            addTrack(root, title);
        QVERIFY(saveCollection(root, collection()).Saved);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void secondHolderWaitsThenGivesUp()
    {
        saveTitles({QStringLiteral("a")});
        TCollectionLock first;
        QVERIFY2(first.acquire(collection(), 0ms), qPrintable(first.errorString()));

        TCollectionLock second;
        QVERIFY(!second.acquire(collection(), 200ms));
        QVERIFY(!second.isHeld());
        QVERIFY(second.heldElsewhere());
        QVERIFY2(second.errorString().contains(QLatin1String("Another program is changing the collection")),
                 qPrintable(second.errorString()));

        first.release();
        QVERIFY(second.acquire(collection(), 0ms));
        // Nothing is left beside the collection.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("songs.tbx")});
    }

    // Every name of one collection leads to the one lock: the same name, a
    // symbolic link, a hard link, a path through a linked folder; also for
    // a collection that does not exist yet.
    void everyNameSharesTheLock_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("exists");
        QTest::newRow("same name") << "songs.tbx" << true;
        QTest::newRow("symbolic link") << "alias.tbx" << true;
        QTest::newRow("hard link") << "hard.tbx" << true;
        QTest::newRow("linked folder") << "folder/songs.tbx" << true;
        QTest::newRow("new: same name") << "songs.tbx" << false;
        QTest::newRow("new: linked folder") << "folder/songs.tbx" << false;
    }
    void everyNameSharesTheLock()
    {
        QFETCH(QString, other);
        QFETCH(bool, exists);
        if (exists) {
            saveTitles({QStringLiteral("a")});
            QCOMPARE(::symlink("songs.tbx", bytes(path(QStringLiteral("alias.tbx"))).constData()), 0);
            QCOMPARE(::link(bytes(collection()).constData(), bytes(path(QStringLiteral("hard.tbx"))).constData()), 0);
        }
        QCOMPARE(::symlink(".", bytes(path(QStringLiteral("folder"))).constData()), 0);

        TCollectionLock first;
        QVERIFY2(first.acquire(collection(), 0ms), qPrintable(first.errorString()));
        TCollectionLock second;
        QVERIFY(!second.acquire(path(other), 100ms));
        QVERIFY2(second.heldElsewhere(), qPrintable(second.errorString()));
        first.release();
        QVERIFY2(second.acquire(path(other), 0ms), qPrintable(second.errorString()));
    }

    // A save replaces the file by a new one; the lock goes with it, so that
    // a program that opens the name after the save still waits.
    void holdGoesOnAcrossASave()
    {
        saveTitles({QStringLiteral("a")});
        TCollectionLock holder;
        QVERIFY(holder.acquire(collection(), 0ms));
        TMp3Root root;
        QVERIFY(loadCollection(root, collection()).opened());
        addTrack(root, QStringLiteral("b"));
        QVERIFY(saveCollection(root, collection(), {}, &holder).Saved);

        TCollectionLock next;
        QVERIFY(!next.acquire(collection(), 100ms));
        QVERIFY(next.heldElsewhere());
        holder.release();
        QVERIFY(next.acquire(collection(), 0ms));
    }

    // A writer waiting for the old file gets, when the holder has saved and
    // let go, the lock of the file that holds the name now.
    void waiterFollowsTheSavedFile()
    {
        saveTitles({QStringLiteral("a")});
        auto holder = std::make_unique<TCollectionLock>();
        QVERIFY(holder->acquire(collection(), 0ms));
        const std::unique_ptr<QThread> saver = startDelayedSave(std::move(holder), collection(), QStringLiteral("b"));
        TCollectionLock waiter;
        const bool got = waiter.acquire(collection(), 20s);
        saver->wait();
        QVERIFY2(got, qPrintable(waiter.errorString()));
        QCOMPARE(titles(collection()), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        TCollectionLock third;
        QVERIFY(!third.acquire(collection(), 0ms));
    }

    // A reader waits while a writer holds the collection (a file with
    // several names is rewritten in place) and reads what it saved.
    void readerWaitsForTheWriter()
    {
        saveTitles({QStringLiteral("a")});
        QCOMPARE(::link(bytes(collection()).constData(), bytes(path(QStringLiteral("hard.tbx"))).constData()), 0);
        auto holder = std::make_unique<TCollectionLock>();
        QVERIFY(holder->acquire(collection(), 0ms));
        const std::unique_ptr<QThread> saver = startDelayedSave(std::move(holder), collection(), QStringLiteral("b"));
        TMp3Root read;
        const TCollectionLoadResult loaded = loadCollectionWhenFree(read, path(QStringLiteral("hard.tbx")), 20s);
        saver->wait();
        QVERIFY(loaded.opened() && !loaded.Recovered);
        QCOMPARE(read.GetTracks()->Count(), 2);
    }

    void unlockableFolderIsReported()
    {
        TCollectionLock lock;
        QVERIFY(!lock.acquire(QStringLiteral("/proc/no-such-folder/songs.tbx"), 0ms));
        QVERIFY(!lock.heldElsewhere());
        QVERIFY2(lock.errorString().startsWith(QLatin1String("Cannot lock the collection")),
                 qPrintable(lock.errorString()));
    }

    // Lock files of earlier versions left by killed programs go; what is
    // still held, has contents or is a link stays.
    void staleOldLockFilesAreRemoved_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left behind") << "stale" << true;
        QTest::newRow("beside the link's target") << "target" << true;
        QTest::newRow("held by a running program") << "held" << false;
        QTest::newRow("has contents") << "contents" << false;
        QTest::newRow("symbolic link") << "link" << false;
    }
    void staleOldLockFilesAreRemoved()
    {
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        saveTitles({QStringLiteral("a")});
        QString name = collection();
        QString lockFile = TCollectionLock::OldLockFilePath(collection());
        int heldFd = -1;
        if (kind == QLatin1String("target")) {
            name = path(QStringLiteral("alias.tbx"));
            QCOMPARE(::symlink("songs.tbx", bytes(name).constData()), 0);
        }
        if (kind == QLatin1String("link")) {
            writeFile(path(QStringLiteral("elsewhere")), QByteArray());
            QCOMPARE(::symlink("elsewhere", bytes(lockFile).constData()), 0);
        } else {
            writeFile(lockFile, kind == QLatin1String("contents") ? QByteArray("mine") : QByteArray());
        }
        if (kind == QLatin1String("held")) {
            heldFd = ::open(bytes(lockFile).constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(heldFd >= 0);
            QCOMPARE(::flock(heldFd, LOCK_EX), 0);
        }
        TCollectionLock lock;
        QVERIFY(lock.acquire(name, 0ms));
        QCOMPARE(QFileInfo(lockFile).isSymLink() || QFileInfo::exists(lockFile), !removed);
        if (heldFd >= 0)
            ::close(heldFd);
    }

    // The desktop program's save: saved when the file is as read; refused
    // (nothing written) when another program has saved since; saved over
    // the change once the user accepted it as it was, not over a later one.
    void saveOverOwnFileSeesOtherSaves()
    {
        saveTitles({QStringLiteral("mine")});
        TMp3Root root;
        QVERIFY(loadCollection(root, collection()).opened());
        addTrack(root, QStringLiteral("mine too"));
        QVERIFY(saveOverOwnFile(root, std::nullopt, 0ms).Saved);

        saveTitles({QStringLiteral("theirs")});
        const QByteArray theirs = readFile(collection());
        const TCollectionSaveResult refused = saveOverOwnFile(root, std::nullopt, 0ms);
        QVERIFY(!refused.Saved);
        QVERIFY(refused.ChangedOnDisk);
        QCOMPARE(readFile(collection()), theirs);

        saveTitles({QStringLiteral("theirs again")});
        QVERIFY(saveOverOwnFile(root, refused.OnDisk, 0ms).ChangedOnDisk);
        const TCollectionSaveResult overwritten = saveOverOwnFile(root, TFileStamp::OfPath(collection()), 0ms);
        QVERIFY2(overwritten.Saved, qPrintable(overwritten.Message));
        QCOMPARE(titles(collection()), (QStringList{QStringLiteral("mine"), QStringLiteral("mine too")}));

        QVERIFY(QFile::remove(collection()));
        QVERIFY(saveOverOwnFile(root, std::nullopt, 0ms).ChangedOnDisk);
    }

    // The fault this hold mends: the change is looked for under the lock,
    // so a save that had to wait for another writer sees what it saved.
    void saveThatWaitedSeesTheChange()
    {
        saveTitles({QStringLiteral("mine")});
        TMp3Root root;
        QVERIFY(loadCollection(root, collection()).opened());
        addTrack(root, QStringLiteral("mine too"));

        auto other = std::make_unique<TCollectionLock>();
        QVERIFY(other->acquire(collection(), 0ms));
        const std::unique_ptr<QThread> writer =
            startDelayedSave(std::move(other), collection(), QStringLiteral("theirs"));
        const TCollectionSaveResult result = saveOverOwnFile(root, std::nullopt, 20s);
        writer->wait();
        QVERIFY(!result.Saved);
        QVERIFY(result.ChangedOnDisk);
        QCOMPARE(titles(collection()), (QStringList{QStringLiteral("mine"), QStringLiteral("theirs")}));
    }
};

QTEST_MAIN(tst_CollectionLock)
#include "tst_collectionlock.moc"
