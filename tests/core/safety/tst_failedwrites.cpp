// Every writer of the program, run where it cannot write (a read-only
// folder and file, a file size limit, a full file system), must say it
// failed and leave the old file byte for byte as it was, with no stray file
// beside it.  The writers run in a child process, so that the limit or the
// other user applies to them alone.

#include "childprocess.h"
#include "id3v2builder.h"
#include "safetyfixtures.h"
#include "testsupport.h"

#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString childPath = QStringLiteral(TUNEBASE_SAFETY_CHILD_PATH);
const QString cliPath = QStringLiteral(TUNEBASE_CLI_PATH);

// The writes below all need more than this many bytes in one file.
constexpr rlim_t FileSizeLimit = 64 * 1024;
// The user a root test drops to, so that permissions apply to it.
constexpr uid_t Nobody = 65534;

enum class Place {
    ReadOnly,   // folder and file without write permission for the writer
    SizeLimit,  // RLIMIT_FSIZE below the size of the new file
    FullDisk,   // a small tmpfs filled up (only as root)
};

struct Operation {
    QString fileName;
    QByteArray oldBytes;
    // The program and its arguments; "%f" stands for the file.
    QString program;
    QStringList args;
};

// longNotes: the last track's notes make one row longer than any buffer.
QByteArray collectionBytes(int tracks, int longNotes = 0)
{
    QTemporaryDir dir;
    TMp3Root root;
    safety::fillCollection(root, tracks, 1);
    if (longNotes > 0)
        root.GetTracks()->Get(tracks - 1)->Notes = QString(longNotes, u'n');
    const QString path = dir.filePath(QStringLiteral("c.tbx"));
    return saveCollection(root, path).Saved ? readFile(path) : QByteArray();
}

// Ends on a page boundary, so that no slack in the file system's last
// page takes an appended tag.
QByteArray mp3WithTag()
{
    QByteArray bytes = Id3v2Builder(3).text("TIT2", QStringLiteral("Old title")).padding(16).build()
        + safety::audioFrames(500);
    bytes.append(4096 - bytes.size() % 4096, '\0');
    return bytes;
}

void dropToNobody()
{
    if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
        ::_exit(99);
}

void limitFileSize()
{
    const rlimit limit{FileSizeLimit, FileSizeLimit};
    // Without the signal ignored, going past the limit kills the writer
    // instead of failing its write.
    std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        ::_exit(99);
}

// Fills the file system of folder until it refuses more.
bool fillUp(const QString &folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

// What the system says when a write fails at place.
QString systemReason(Place place)
{
    switch (place) {
    case Place::ReadOnly:
        return QString::fromLocal8Bit(std::strerror(EACCES));
    case Place::SizeLimit:
        return QString::fromLocal8Bit(std::strerror(EFBIG));
    case Place::FullDisk:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}

} // namespace

class TestFailedWrites : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

private:
    bool m_canMount = false;
    QString m_whyNoMount;
    QTemporaryDir m_scratch;
    // Copies of the programs another user can run wherever the build
    // tree lies (a home folder is often closed to others).
    QHash<QString, QString> m_runnableCopies;
    QString m_collection;  // for the export
    QString m_longRowCollection;
};

void TestFailedWrites::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    // Another user must reach the files of a root test.
    QVERIFY(QFile::setPermissions(m_scratch.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                        | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup
                                                        | QFile::ExeGroup));
    if (::geteuid() == 0) {
        const QString bin = m_scratch.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        for (const QString &program : {childPath, cliPath}) {
            const QString copy = QDir(bin).filePath(QFileInfo(program).fileName());
            QVERIFY(QFile::copy(program, copy));
            m_runnableCopies.insert(program, copy);
        }
    }
    m_collection = m_scratch.filePath(QStringLiteral("source.tbx"));
    QVERIFY(writeFile(m_collection, collectionBytes(2000)));
    m_longRowCollection = m_scratch.filePath(QStringLiteral("longrow.tbx"));
    QVERIFY(writeFile(m_longRowCollection, collectionBytes(2, 100'000)));

    // A full disk is a small tmpfs, mounted in a mount namespace of this
    // process alone so that nothing is left mounted whatever happens.
    if (::geteuid() != 0)
        m_whyNoMount = QStringLiteral("mounting a small file system needs root");
    else if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        m_whyNoMount = QStringLiteral("no mount namespace: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    else
        m_canMount = true;
}

void TestFailedWrites::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("oldBytes");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");

    const QByteArray mp3 = mp3WithTag();
    const QList<Operation> operations{
        {QStringLiteral("music.tbx"), collectionBytes(10), childPath,
         {QStringLiteral("save-collection"), QStringLiteral("%f"), QStringLiteral("2000"), QStringLiteral("2")}},
        // A tag too large for the old one's room: the file is rewritten.
        {QStringLiteral("grow.mp3"), mp3, childPath,
         {QStringLiteral("id3v2"), QStringLiteral("%f"), QStringLiteral("New title"), QStringLiteral("4000")}},
        // A new ID3v1 tag is added to the end of the file.
        {QStringLiteral("append.mp3"), mp3, childPath,
         {QStringLiteral("id3v1"), QStringLiteral("%f"), QStringLiteral("New title")}},
        {QStringLiteral("list.m3u"), "#EXTM3U\r\nold.mp3\r\n", childPath,
         {QStringLiteral("m3u"), QStringLiteral("%f"), QStringLiteral("2000")}},
        {QStringLiteral("list.pls"), "[playlist]\r\nFile1=old.mp3\r\nNumberOfEntries=1\r\n", childPath,
         {QStringLiteral("pls"), QStringLiteral("%f"), QStringLiteral("1500")}},
        // An older 8-bit file is converted in a file beside it first.
        {QStringLiteral("old.pls"), "[playlist]\r\nFile1=caf\xE9.mp3\r\nNumberOfEntries=1\r\n", childPath,
         {QStringLiteral("pls"), QStringLiteral("%f"), QStringLiteral("1500")}},
        {QStringLiteral("settings.ini"), "[Old]\r\nValue=1\r\n", childPath,
         {QStringLiteral("ini"), QStringLiteral("%f"), QStringLiteral("1500")}},
        {QStringLiteral("tracks.csv"), "old export\r\n", cliPath,
         {QStringLiteral("export"), QStringLiteral("%c"), QStringLiteral("--format"), QStringLiteral("csv"),
          QStringLiteral("-o"), QStringLiteral("%f")}},
        // A last row too long for the write buffer goes out in one write,
        // which a full disk cuts short without an error.
        {QStringLiteral("notes.csv"), "old export\r\n", cliPath,
         {QStringLiteral("export"), QStringLiteral("%l"), QStringLiteral("--format"), QStringLiteral("csv"),
          QStringLiteral("--fields"), QStringLiteral("Title,Notes"), QStringLiteral("-o"), QStringLiteral("%f")}},
    };
    const QList<QPair<Place, const char *>> places{
        {Place::ReadOnly, "read-only"}, {Place::SizeLimit, "size limit"}, {Place::FullDisk, "full disk"}};
    for (const auto &[place, placeName] : places) {
        for (const Operation &op : operations)
            QTest::addRow("%s, %s", placeName, qPrintable(op.fileName))
                << place << op.fileName << op.oldBytes << op.program << op.args;
    }
    // Over a tag with room, only the writer's own permission stops it.
    const QByteArray roomy = Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).padding(8192).build()
        + safety::audioFrames(50) + mp3::Id3v1{"Old v1", {}, {}, {}, {}, 1, 12}.bytes();
    QTest::newRow("read-only, ID3v2 in place")
        << Place::ReadOnly << QStringLiteral("inplace.mp3") << roomy << childPath
        << QStringList{QStringLiteral("id3v2"), QStringLiteral("%f"), QStringLiteral("New"), QStringLiteral("10")};
    QTest::newRow("read-only, ID3v1 in place")
        << Place::ReadOnly << QStringLiteral("inplace.mp3") << roomy << childPath
        << QStringList{QStringLiteral("id3v1"), QStringLiteral("%f"), QStringLiteral("New")};
}

void TestFailedWrites::failedWriteKeepsOldFile()
{
    QFETCH(Place, place);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, oldBytes);
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QVERIFY(!oldBytes.isEmpty());

    const QString folder = m_scratch.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
    QVERIFY(QDir().mkpath(folder));
    if (place == Place::FullDisk) {
        if (!m_canMount)
            QSKIP(qPrintable(m_whyNoMount));
        if (::mount("tunebase-test", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP(qPrintable(QStringLiteral("no tmpfs: %1").arg(QString::fromLocal8Bit(std::strerror(errno)))));
    }
    const auto unmount = qScopeGuard([&] {
        if (place == Place::FullDisk)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    });
    const QString path = QDir(folder).filePath(fileName);
    QVERIFY(writeFile(path, oldBytes));
    if (place == Place::FullDisk)
        QVERIFY(fillUp(folder));

    TChildRun::Setup setup;
    const bool asRoot = ::geteuid() == 0;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::ExeOther;
    if (place == Place::ReadOnly) {
        // As root the writer runs as another user, to whom root's files
        // are read-only; as a user the permissions say it.
        if (asRoot) {
            setup = dropToNobody;
            program = m_runnableCopies.value(program);
        }
        QVERIFY(QFile::setPermissions(folder, asRoot ? readOnly | QFile::WriteOwner : readOnly));
        QVERIFY(QFile::setPermissions(path, (asRoot ? readOnly | QFile::WriteOwner : readOnly) & ~QFile::Permissions(
                                                QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)));
    } else if (place == Place::SizeLimit) {
        setup = limitFileSize;
    }
    const auto writable = qScopeGuard([&] { QFile::setPermissions(folder, readOnly | QFile::WriteOwner); });

    const QStringList before = folderEntries(folder);
    for (QString &arg : args)
        arg.replace(QLatin1String("%f"), path)
            .replace(QLatin1String("%c"), m_collection)
            .replace(QLatin1String("%l"), m_longRowCollection);
    TChildRun writer(program, args, setup);
    QVERIFY(writer.finish());
    QVERIFY2(writer.exitedNormally(), writer.errors().constData());
    QCOMPARE(writer.exitCode(), 1);  // a reported failure, not success or a crash
    // The message names the file and says why, in the system's words.  (The
    // tag writers leave naming the file to their callers.)
    const QString message = QString::fromLocal8Bit(writer.errors());
    if (!fileName.endsWith(QLatin1String(".mp3"))) {
        QVERIFY2(message.contains(path), qPrintable(message));
        QVERIFY2(message.contains(systemReason(place)), qPrintable(message));
    }
    QVERIFY(readFile(path) == oldBytes);
    QCOMPARE(folderEntries(folder), before);
}

QTEST_APPLESS_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
