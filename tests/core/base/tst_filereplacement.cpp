// Replacing a file's contents must leave everything else about the file as
// it was: owner, group, mode bits, extended attributes, every hard link.
// Protected files (owner write bit clear) and special files are refused.

#include "testsupport.h"

#include "core/base/filereplacement.h"
#include "core/base/regularfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool replaceWith(const QString &path, const QByteArray &bytes, QString *error = nullptr)
{
    TFileReplacement replacement(path);
    if (!replacement.open()) {
        if (error)
            *error = replacement.errorString();
        return false;
    }
    if (replacement.device().write(bytes) != bytes.size())
        return false;
    const bool committed = replacement.commit();
    if (error)
        *error = replacement.errorString();
    return committed;
}

} // namespace

class tst_FileReplacement : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    QString newFile(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.bin").arg(++m_count));
        writeFile(path, bytes);
        return path;
    }
    // A file with one name, and one with a second hard link.
    static void addLinkRows()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::newRow("one name") << false;
        QTest::newRow("hard linked") << true;
    }
    QStringList strayFiles() const
    {
        QStringList names = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.removeIf([](const QString &name) { return !name.contains(QLatin1String("backup")); });
        return names;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void keepsModeBits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0644") << 0644;
        QTest::newRow("0600") << 0600;
        QTest::newRow("0640") << 0640;
        QTest::newRow("set-user-ID") << 04755;
        QTest::newRow("set-group-ID") << 02750;
        QTest::newRow("sticky") << 01644;
    }
    void keepsModeBits()
    {
        QFETCH(int, mode);
        const QString path = newFile("old");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        QVERIFY(replaceWith(path, "new contents"));
        QCOMPARE(readFile(path), QByteArray("new contents"));
        QCOMPARE(int(statOf(path).st_mode & 07777), mode);
    }

    void keepsOwnerAndGroup()
    {
        if (::geteuid() != 0)
            QSKIP("only root may give a file to another user");
        const QString path = newFile("old");
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 06755), 0);
        QVERIFY(replaceWith(path, "new"));
        const struct stat st = statOf(path);
        QCOMPARE(st.st_uid, uid_t(4321));
        QCOMPARE(st.st_gid, gid_t(4322));
        QCOMPARE(int(st.st_mode & 07777), 06755);  // the change of owner cleared nothing
    }

    void keepsExtendedAttributes()
    {
        const QString path = newFile("old");
        const QByteArray native = QFile::encodeName(path);
        if (::setxattr(native.constData(), "user.tunebase.test", "kept", 4, 0) != 0)
            QSKIP("the file system of the temporary folder has no user attributes");
        QVERIFY(replaceWith(path, "new"));
        char value[16] = {};
        QCOMPARE(::getxattr(native.constData(), "user.tunebase.test", value, sizeof value), ssize_t(4));
        QCOMPARE(QByteArray(value), QByteArray("kept"));
    }

    // Every name of a file with hard links sees the new contents; the copy
    // of the old contents is gone afterwards.
    void hardLinksSeeNewContents()
    {
        const QString path = newFile("old contents, longer than the new");
        const QString other = m_dir.filePath(QStringLiteral("other-name.bin"));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        const ino_t inode = statOf(path).st_ino;
        QVERIFY(replaceWith(path, "new"));
        QCOMPARE(readFile(other), QByteArray("new"));
        QCOMPARE(readFile(path), QByteArray("new"));
        QCOMPARE(statOf(path).st_ino, inode);
        QCOMPARE(statOf(other).st_nlink, nlink_t(2));
        QCOMPARE(strayFiles(), QStringList());
        QFile::remove(other);
    }

    // A write given up part-way puts the old contents back.
    void cancelledInPlaceWriteRestores()
    {
        const QByteArray old = QByteArray(100000, 'o');
        const QString path = newFile(old);
        const QString other = m_dir.filePath(QStringLiteral("second-name.bin"));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        {
            TFileReplacement replacement(path);
            QVERIFY(replacement.open());
            QVERIFY(replacement.oldContentsPath() != path);
            QCOMPARE(readFile(replacement.oldContentsPath()), old);
            replacement.device().write(QByteArray(300000, 'n'));
            // Ends without commit.
        }
        QCOMPARE(readFile(other), old);
        QCOMPARE(strayFiles(), QStringList());
        QFile::remove(other);
    }

    void symbolicLinkStaysALink()
    {
        const QString target = newFile("old");
        const QString link = m_dir.filePath(QStringLiteral("link.bin"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(replaceWith(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(target), QByteArray("new"));
    }

    // A file the program names for itself (a scan index) is never written
    // through a link planted in its place.
    void ownFileIsNotWrittenThroughLinks_data()
    {
        QTest::addColumn<bool>("symbolic");
        QTest::newRow("symbolic link") << true;
        QTest::newRow("hard link") << false;
    }
    void ownFileIsNotWrittenThroughLinks()
    {
        QFETCH(bool, symbolic);
        const QString victim = newFile("victim");
        const QString own = m_dir.filePath(QStringLiteral("own-%1").arg(++m_count));
        if (symbolic)
            QVERIFY(QFile::link(victim, own));
        else
            QCOMPARE(::link(QFile::encodeName(victim).constData(), QFile::encodeName(own).constData()), 0);
        TFileReplacement replacement(own, TFileReplacement::TNamedBy::Program);
        if (symbolic) {
            QVERIFY(!replacement.open());
            QVERIFY2(replacement.errorString().contains(QLatin1String("is a symbolic link")),
                     qPrintable(replacement.errorString()));
            QVERIFY(QFileInfo(own).isSymLink());
        } else {
            QVERIFY(replacement.open());
            QVERIFY(replacement.device().write("own contents") > 0 && replacement.commit());
            QCOMPARE(readFile(own), QByteArray("own contents"));
        }
        QCOMPARE(readFile(victim), QByteArray("victim"));
    }

    // The owner protected the file: refused even where root could write it.
    void protectedFileIsRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0444") << 0444;
        QTest::newRow("0400") << 0400;
        QTest::newRow("0464 (group may write)") << 0464;
    }
    void protectedFileIsRefused()
    {
        QFETCH(int, mode);
        const QString path = newFile("protected");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        QVERIFY(!OwnerMayWrite(path));
        QString error;
        QVERIFY(!replaceWith(path, "new", &error));
        QCOMPARE(error, QStringLiteral("The file is read-only."));
        QCOMPARE(readFile(path), QByteArray("protected"));
        QCOMPARE(int(statOf(path).st_mode & 07777), mode);
    }

    // A name as long as a name may be (a long title in a script of three
    // UTF-8 bytes a character): the new contents are made under a shorter
    // name beside it, for a file with one name and one with two.
    void longestNameIsReplaced_data() { addLinkRows(); }

    void longestNameIsReplaced()
    {
        QFETCH(bool, hardLinked);
        const QString name = QString(83, QChar(0x65E5)) + QStringLiteral(".mp3");  // 253 bytes
        QCOMPARE(name.toUtf8().size(), 253);
        const QString path = m_dir.filePath(name);
        writeFile(path, "old");
        const QString other = m_dir.filePath(QStringLiteral("long-link.bin"));
        if (hardLinked)
            QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        QString error;
        QVERIFY2(replaceWith(path, "new", &error), qPrintable(error));
        QCOMPARE(readFile(path), QByteArray("new"));
        QCOMPARE(strayFiles(), QStringList());
        QFile::remove(path);
        QFile::remove(other);
    }

    // A write that fails part-way (here past a file size limit, as on a
    // full disk) fails the commit even when the caller did not look at it:
    // the file keeps its old contents.
    void failedWriteFailsTheCommit_data() { addLinkRows(); }

    void failedWriteFailsTheCommit()
    {
        QFETCH(bool, hardLinked);
        const QString path = newFile("old contents");
        const QString other = m_dir.filePath(QStringLiteral("limit-link.bin"));
        if (hardLinked)
            QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        TFileReplacement replacement(path);
        QVERIFY(replacement.open());
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const qint64 written = replacement.device().write(QByteArray(100000, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(written != 100000);
        QVERIFY(!replacement.commit());
        QCOMPARE(readFile(path), QByteArray("old contents"));
        QCOMPARE(strayFiles(), QStringList());
        QFile::remove(other);
    }

    void newFileIsCreated()
    {
        const QString path = m_dir.filePath(QStringLiteral("fresh.bin"));
        QVERIFY(replaceWith(path, "fresh"));
        QCOMPARE(readFile(path), QByteArray("fresh"));
    }

    // FIFOs, folders and devices are refused at once, never waited on (a
    // blocking open of the FIFO would hang here).
    void specialFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("FIFO") << "fifo" << "is not a regular file (a FIFO, device or socket)";
        QTest::newRow("folder") << "folder" << "is a folder";
        QTest::newRow("device") << "device" << "is not a regular file (a FIFO, device or socket)";
        QTest::newRow("missing") << "missing" << "does not exist";
    }
    void specialFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        QString path = m_dir.filePath(kind + QStringLiteral(".mp3"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("device"))
            path = QStringLiteral("/dev/null");
        QFile file;
        QString why;
        QVERIFY(!OpenRegularFile(file, path, QIODevice::ReadOnly, &why));
        QCOMPARE(why, problem);
        QCOMPARE(RegularFileProblem(path), problem);
        QVERIFY(!file.isOpen());
        if (kind != QLatin1String("missing") && kind != QLatin1String("device")) {
            TFileReplacement replacement(path);
            QVERIFY(!replacement.open());
        }
    }
};

QTEST_MAIN(tst_FileReplacement)
#include "tst_filereplacement.moc"
