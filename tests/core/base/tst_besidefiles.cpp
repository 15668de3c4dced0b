// What a writer that died leaves beside the user's files: the copy of the
// old contents of a file it was writing in place must be put back by the
// next program that opens the file, and its other hidden files removed at
// the next write in their folder; what a live writer holds, and files that
// are not ours, stay.

#include "scripteddesktopservices.h"
#include "testsupport.h"

#include "core/base/besidefiles.h"
#include "core/base/filereplacement.h"
#include "core/base/regularfile.h"
#include "core/files/sparsefiledevice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QByteArray OldContents = "the old contents, complete";
const QByteArray HalfWritten = "new conten";

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

bool makeHardLink(const QString &from, const QString &to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Holds a lock on a file as its writer does while it lives.
class TLiveWriter {
public:
    explicit TLiveWriter(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~TLiveWriter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool holds() const { return m_fd >= 0; }

private:
    int m_fd;
};

// How a program comes to open the file.
enum class Opener { Read, Scan, Write };

// Opens the file as the opener does; for a write, the old contents it
// reads (from its own copy) are returned in `seenOld`.
bool openAs(Opener opener, const QString &path, QByteArray &seenOld)
{
    switch (opener) {
    case Opener::Read: {
        QFile file;
        if (!OpenRegularFile(file, path, QIODevice::ReadOnly))
            return false;
        seenOld = file.readAll();
        return true;
    }
    case Opener::Scan: {
        TSparseFileDevice file;
        if (!file.openFile(path))
            return false;
        seenOld = file.read(file.size());
        return true;
    }
    case Opener::Write: {
        TFileReplacement replacement(path);
        if (!replacement.open())
            return false;
        seenOld = readFile(replacement.oldContentsPath());
        return replacement.device().write("written after") > 0 && replacement.commit();
    }
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestBesideFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A folder of its own for each case: a folder is tidied once a minute.
    QString newFolder()
    {
        const QString folder = m_dir.filePath(QStringLiteral("f%1").arg(++m_folders));
        QDir().mkpath(folder);
        return folder;
    }

    // What a writer killed in the middle of an in-place write leaves: the
    // file half-written (with a second name) and the complete copy of its
    // old contents beside it, locked by nobody.
    struct KilledWrite {
        QString file;
        QString otherName;
        QString backup;
    };
    KilledWrite killedWrite(const QString &folder)
    {
        KilledWrite left;
        left.file = QDir(folder).filePath(QStringLiteral("song.mp3"));
        left.otherName = QDir(folder).filePath(QStringLiteral("same song.mp3"));
        writeFile(left.file, HalfWritten);
        makeHardLink(left.file, left.otherName);
        left.backup = BackupPathOf(left.file, inodeOf(left.file));
        writeFile(left.backup, OldContents);
        return left;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void killedInPlaceWriteIsPutBack_data()
    {
        QTest::addColumn<Opener>("opener");
        QTest::addColumn<QString>("openedName");  // "file", "other name" or "link"
        QTest::newRow("read") << Opener::Read << QStringLiteral("file");
        QTest::newRow("scan") << Opener::Scan << QStringLiteral("file");
        QTest::newRow("write") << Opener::Write << QStringLiteral("file");
        QTest::newRow("read through a symbolic link") << Opener::Read << QStringLiteral("link");
        // The copy is named after the other name: found when the folder is
        // tidied before the write.
        QTest::newRow("write through the other name") << Opener::Write << QStringLiteral("other name");
    }
    void killedInPlaceWriteIsPutBack()
    {
        QFETCH(Opener, opener);
        QFETCH(QString, openedName);
        const QString folder = newFolder();
        const KilledWrite left = killedWrite(folder);
        QString opened = openedName == QLatin1String("other name") ? left.otherName : left.file;
        if (openedName == QLatin1String("link")) {
            opened = QDir(folder).filePath(QStringLiteral("link.mp3"));
            QVERIFY(QFile::link(left.file, opened));
        }

        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral(
                                            "The last write to \".*song.mp3\" was interrupted .* put back")));
        QByteArray seenOld;
        QVERIFY(openAs(opener, opened, seenOld));
        QCOMPARE(seenOld, OldContents);
        const QByteArray now = opener == Opener::Write ? QByteArray("written after") : OldContents;
        QCOMPARE(readFile(left.file), now);
        QCOMPARE(readFile(left.otherName), now);
        QCOMPARE(inodeOf(left.file), inodeOf(left.otherName));
        QVERIFY(!QFile::exists(left.backup));
    }

    // In the desktop program the message comes up once the event loop
    // runs again, also when a scan found the file on a worker thread.
    void desktopHearsOfItOnceIdle()
    {
        const KilledWrite left = killedWrite(newFolder());
        ScriptedDesktopServices desktop;
        bool opened = false;
        std::thread scan([&] {
            QFile file;
            opened = OpenRegularFile(file, left.file, QIODevice::ReadOnly);
        });
        scan.join();
        QVERIFY(opened);
        QCOMPARE(desktop.messages, QStringList());
        QTRY_COMPARE(desktop.messages.size(), 1);
        QVERIFY2(desktop.messages.first().contains(QLatin1String("put back")), qPrintable(desktop.messages.first()));
        QCOMPARE(readFile(left.file), OldContents);
    }

    // The writer of the copy is still at work: its file is left as it is
    // until the writer is gone.
    void liveWritersCopyIsLeftAlone()
    {
        const KilledWrite left = killedWrite(newFolder());
        {
            TLiveWriter writer(left.backup);
            QVERIFY(writer.holds());
            QFile file;
            QVERIFY(OpenRegularFile(file, left.file, QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), HalfWritten);
            QVERIFY(QFile::exists(left.backup));
            // A second in-place write must not start over it.
            TFileReplacement replacement(left.file);
            QVERIFY(!replacement.open());
            QVERIFY2(replacement.errorString().contains(QLatin1String("Another program is writing")),
                     qPrintable(replacement.errorString()));
        }
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("was interrupted")));
        QFile file;
        QVERIFY(OpenRegularFile(file, left.file, QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), OldContents);
    }

    // A copy that cannot be put back (the owner protected the file since)
    // keeps the file from being read as if it were whole, and stays.
    void copyThatCannotBePutBackIsKept()
    {
        const KilledWrite left = killedWrite(newFolder());
        QVERIFY(QFile::setPermissions(left.file, QFileDevice::ReadOwner));
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("could not be put back")));
        QFile file;
        QString problem;
        QVERIFY(!OpenRegularFile(file, left.file, QIODevice::ReadOnly, &problem));
        QVERIFY2(problem.contains(QLatin1String("half-written")), qPrintable(problem));
        QCOMPARE(readFile(left.backup), OldContents);
    }

    void leftoversAreTidiedBeforeWriting_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("held");        // a live writer holds it
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        QTest::newRow("new contents, writer dead") << ".song.mp3.k2x9.tunebase-new" << false << 0 << true;
        QTest::newRow("new contents, writer alive") << ".song.mp3.k2x9.tunebase-new" << true << 0 << false;
        QTest::newRow("partial copy, writer dead") << ".song.mp3.1ab.tunebase-partial" << false << 0 << true;
        QTest::newRow("partial copy, writer alive") << ".song.mp3.1ab.tunebase-partial" << true << 0 << false;
        QTest::newRow("older version's new file, long ago") << ".song.mp3.k2x9.new" << false << 7200 << true;
        QTest::newRow("older version's new file, just now") << ".song.mp3.k2x9.new" << false << 0 << false;
        QTest::newRow("user's own .new file") << ".notes.k2x9.new" << false << 7200 << false;
        QTest::newRow("user's own .new file, named like the start of a file")
            << ".song.bak.new" << false << 7200 << false;
        QTest::newRow("user's own visible file") << "song.mp3.tunebase-new" << false << 7200 << false;
    }
    void leftoversAreTidiedBeforeWriting()
    {
        QFETCH(QString, name);
        QFETCH(bool, held);
        QFETCH(int, ageSeconds);
        QFETCH(bool, removed);
        const QString folder = newFolder();
        const QString song = QDir(folder).filePath(QStringLiteral("song.mp3"));
        const QString leftover = QDir(folder).filePath(name);
        QVERIFY(writeFile(song, "song") && writeFile(leftover, QByteArray(5000, 'x')));
        if (ageSeconds > 0) {
            const struct utimbuf times {::time(nullptr) - ageSeconds, ::time(nullptr) - ageSeconds};
            QCOMPARE(::utime(QFile::encodeName(leftover).constData(), &times), 0);
        }
        TLiveWriter writer(held ? leftover : QString());

        TFileReplacement replacement(song);
        QVERIFY(replacement.open());
        QVERIFY(replacement.device().write("new song") > 0 && replacement.commit());
        QCOMPARE(readFile(song), QByteArray("new song"));
        QCOMPARE(QFile::exists(leftover), !removed);
    }

    // A link planted where a leftover's name is: the link goes, never the
    // file it names.
    void linkWithALeftoversNameIsNotFollowed()
    {
        const QString folder = newFolder();
        const QString victim = QDir(folder).filePath(QStringLiteral("victim.txt"));
        QVERIFY(writeFile(victim, "keep me"));
        QVERIFY(QFile::link(victim, QDir(folder).filePath(QStringLiteral(".song.mp3.1.tunebase-new"))));
        QVERIFY(QFile::link(victim, QDir(folder).filePath(QStringLiteral(".song.mp3.1.tunebase-backup"))));
        TFileReplacement replacement(QDir(folder).filePath(QStringLiteral("song.mp3")));
        QVERIFY(replacement.open());
        QVERIFY(replacement.device().write("song") > 0 && replacement.commit());
        QCOMPARE(readFile(victim), QByteArray("keep me"));
    }

    // The hidden files a write makes are of the kinds tidied (a write
    // killed now leaves nothing that stays for ever), and a finished write
    // leaves none.
    void writesLeaveOnlyTidiableFiles_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::newRow("one name") << false;
        QTest::newRow("hard linked") << true;
    }
    void writesLeaveOnlyTidiableFiles()
    {
        QFETCH(bool, hardLinked);
        const QString folder = newFolder();
        const QString song = QDir(folder).filePath(QStringLiteral("song.mp3"));
        QVERIFY(writeFile(song, OldContents));
        if (hardLinked)
            QVERIFY(makeHardLink(song, QDir(folder).filePath(QStringLiteral("again.mp3"))));
        const auto hidden = [&] {
            return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QRegularExpression("^\\."));
        };
        {
            TFileReplacement replacement(song);
            QVERIFY(replacement.open());
            const QStringList during = hidden();
            QCOMPARE(during.size(), 1);
            QVERIFY2(during.first().endsWith(hardLinked ? QLatin1String(".tunebase-backup")
                                                        : QLatin1String(".tunebase-new")),
                     qPrintable(during.first()));
            QVERIFY(replacement.device().write("new") > 0 && replacement.commit());
        }
        QCOMPARE(hidden(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBesideFiles)
#include "tst_besidefiles.moc"
