// The lock that keeps two programs from saving over each other's changes
// to one collection, and the check that tells the desktop program another
// program has written its file.

#include "testsupport.h"

#include "core/data/collectionfile.h"
#include "core/data/collectionlock.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/data/datalists.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace std::chrono_literals;

class tst_CollectionLock : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString collection() const { return m_dir.filePath(QStringLiteral("songs.tbx")); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void secondHolderWaitsThenGivesUp()
    {
        TCollectionLock first;
        QVERIFY2(first.acquire(collection(), 0ms), qPrintable(first.errorString()));
        QVERIFY(QFileInfo::exists(TCollectionLock::LockFilePath(collection())));

        TCollectionLock second;
        QVERIFY(!second.acquire(collection(), 200ms));
        QVERIFY(!second.isHeld());
        QVERIFY2(second.errorString().contains(QLatin1String("Another program is changing the collection")),
                 qPrintable(second.errorString()));

        first.release();
        QVERIFY(!QFileInfo::exists(TCollectionLock::LockFilePath(collection())));
        QVERIFY(second.acquire(collection(), 0ms));
    }

    // A waiting writer gets the lock as soon as the holder lets go, even
    // though the holder removes the lock file as it does.
    void waiterTakesOverAfterRelease()
    {
        auto first = std::make_unique<TCollectionLock>();
        QVERIFY(first->acquire(collection(), 0ms));
        QThread *releaser = QThread::create([&first] {
            QThread::msleep(300);
            first.reset();
        });
        releaser->start();
        TCollectionLock second;
        const bool got = second.acquire(collection(), 20s);
        releaser->wait();
        delete releaser;
        QVERIFY2(got, qPrintable(second.errorString()));
        QVERIFY(QFileInfo::exists(TCollectionLock::LockFilePath(collection())));
        TCollectionLock third;
        QVERIFY(!third.acquire(collection(), 0ms));
    }

    void unwritableFolderIsReported()
    {
        TCollectionLock lock;
        QVERIFY(!lock.acquire(QStringLiteral("/proc/no-such-folder/songs.tbx"), 0ms));
        QVERIFY(lock.errorString().startsWith(QLatin1String("Cannot make the lock file")));
    }

    void fileChangedByAnotherProgram()
    {
        TMp3Root root;
        static_cast<TMp3Track *>(root.GetTracks()->CreateItem())->Title = QStringLiteral("Mine");
        QVERIFY(saveCollection(root, collection()).Saved);
        QVERIFY(!collectionFileChanged(root));

        // Another program saves one more track.
        {
            TMp3Root other;
            QVERIFY(loadCollection(other, collection()).opened());
            QVERIFY(!collectionFileChanged(other));
            static_cast<TMp3Track *>(other.GetTracks()->CreateItem())->Title = QStringLiteral("Theirs");
            QVERIFY(saveCollection(other, collection()).Saved);
        }
        QVERIFY(collectionFileChanged(root));
        QVERIFY(saveCollection(root, collection()).Saved);
        QVERIFY(!collectionFileChanged(root));

        QVERIFY(QFile::remove(collection()));
        QVERIFY(collectionFileChanged(root));
        root.FileName.clear();  // a new collection has no file to compare
        QVERIFY(!collectionFileChanged(root));
    }
};

QTEST_MAIN(tst_CollectionLock)
#include "tst_collectionlock.moc"
