// Paths whose bytes are not UTF-8: the text the program keeps for them
// gives the bytes back exactly, and the file operations reach the file.

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/files/renamenoreplace.h"

#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using testsupport::emptyFolderAt;
using testsupport::readFileAt;
using testsupport::writeFileAt;

class TestLocalPath : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    // The folder's bytes and a name in it that is not UTF-8.
    QByteArray folderBytes() const { return QFile::encodeName(m_dir->path()); }
    QByteArray foreignBytes() const { return folderBytes() + "/caf\xe9.mp3"; }

private Q_SLOTS:
    void cleanup() { emptyFolderAt(QFile::encodeName(m_dir->path())); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void bytesComeBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<QString>("readable");
        QTest::newRow("ascii") << QByteArray("/music/a.mp3") << false << QStringLiteral("/music/a.mp3");
        QTest::newRow("utf-8") << QByteArray("/m/caf\xc3\xa9 \xf0\x9f\x8e\xb5.mp3") << false
                               << QString::fromUtf8("/m/café 🎵.mp3");
        QTest::newRow("latin-1") << QByteArray("/m/caf\xe9.mp3") << true << QString::fromUtf8("/m/caf\uFFFD.mp3");
        QTest::newRow("lone continuation") << QByteArray("\x80x") << true << QString::fromUtf8("\uFFFDx");
        QTest::newRow("cut sequence at end") << QByteArray("a\xe2\x82") << true << QString::fromUtf8("a\uFFFD\uFFFD");
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb3\xa9") << true
                                           << QString::fromUtf8("\uFFFD\uFFFD\uFFFD");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << true << QString::fromUtf8("\uFFFD\uFFFD");
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << true
                                         << QString::fromUtf8("\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf" "a.mp3") << false << QChar(0xFEFF) + QStringLiteral("a.mp3");
        QTest::newRow("mixed") << QByteArray("Bj\xf6rk/\xc3\xa9t\xe9") << true << QString::fromUtf8("Bj\uFFFDrk/ét\uFFFD");
    }

    void bytesComeBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, foreign);
        QFETCH(QString, readable);
        const QString path = PathFromLocalBytes(bytes);
        QCOMPARE(LocalPathBytes(path), bytes);
        QCOMPARE(HasForeignBytes(path), foreign);
        QCOMPARE(ReadablePath(path), readable);
        if (!foreign)
            QCOMPARE(path, readable);
    }

    // A supplementary character's own low surrogate is no escaped byte.
    void surrogatePairsAreText()
    {
        const QString path = QString::fromUtf8("/m/\xf0\x9f\x8e\xb5");
        QVERIFY(!HasForeignBytes(path));
        QCOMPARE(LocalPathBytes(path), QByteArray("/m/\xf0\x9f\x8e\xb5"));
    }

    void fileUrlKeepsBytes()
    {
        QCOMPARE(LocalFileUrl(PathFromLocalBytes("/m/caf\xe9 1.mp3")), QStringLiteral("file:///m/caf%E9%201.mp3"));
    }

    // Made as text: QFileInfo's absolute paths would lose the stray bytes.
    void absolutePathsKeepBytes()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        const QString relative = AbsoluteLocalPath(PathFromLocalBytes("Bj\xf6rk/./caf\xe9.mp3"));
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(LocalPathBytes(relative), QFile::encodeName(QDir(m_dir->path()).canonicalPath()) + "/Bj\xf6rk/caf\xe9.mp3");
        QCOMPARE(LocalPathBytes(LocalParentFolder(PathFromLocalBytes("/m//Bj\xf6rk/../d\xe9/caf\xe9.mp3"))),
                 QByteArray("/m/d\xe9"));
        QCOMPARE(LocalParentFolder(QStringLiteral("/a.mp3")), QStringLiteral("/"));
    }

    // The folder listing, the file questions and opening reach the file.
    void foreignFileIsFoundAndOpened()
    {
        QVERIFY(writeFileAt(foreignBytes(), "abc"));
        const QList<TLocalFolderEntry> entries = LocalFolderEntries(m_dir->path());
        QCOMPARE(entries.size(), 1);
        const QString path = entries.constFirst().Path;
        QCOMPARE(LocalPathBytes(path), foreignBytes());
        QVERIFY(entries.constFirst().Info.IsFile);
        QCOMPARE(entries.constFirst().Info.Size, 3);
        QVERIFY(IsLocalFile(path));
        QCOMPARE(LocalCanonicalPath(path), path);
        QFile file;
        QVERIFY(OpenRegularFile(file, path, QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("abc"));
    }

    // Both ways of replacing contents: beside the file, and in place for a
    // file with a second hard link.
    void foreignFileIsReplaced_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::newRow("one name") << false;
        QTest::newRow("hard linked") << true;
    }

    void foreignFileIsReplaced()
    {
        QFETCH(bool, hardLinked);
        QVERIFY(writeFileAt(foreignBytes(), "old"));
        const QByteArray link = folderBytes() + "/link.mp3";
        if (hardLinked)
            QCOMPARE(::link(foreignBytes().constData(), link.constData()), 0);
        TFileReplacement replacement(PathFromLocalBytes(foreignBytes()));
        QVERIFY2(replacement.open(), qPrintable(replacement.errorString()));
        replacement.device().write("new contents");
        QVERIFY2(replacement.commit(), qPrintable(replacement.errorString()));
        QCOMPARE(readFileAt(foreignBytes()), QByteArray("new contents"));
        if (hardLinked)
            QCOMPARE(readFileAt(link), QByteArray("new contents"));
        // Nothing left beside it, and no file of a mangled name.
        QCOMPARE(LocalFolderEntries(m_dir->path()).size(), hardLinked ? 2 : 1);
    }

    void foreignFileIsRenamed()
    {
        QVERIFY(writeFileAt(foreignBytes(), "x"));
        const QString from = PathFromLocalBytes(foreignBytes());
        const QString to = PathFromLocalBytes(folderBytes() + "/Caf\xe9 2.mp3");
        QString error;
        QVERIFY2(RenameNoReplace(from, to, &error), qPrintable(error));
        QVERIFY(!LocalPathExists(from));
        QCOMPARE(readFileAt(folderBytes() + "/Caf\xe9 2.mp3"), QByteArray("x"));
        QVERIFY(RemoveLocalFile(to));
        QVERIFY(!LocalPathExists(to));
    }
};

QTEST_GUILESS_MAIN(TestLocalPath)
#include "tst_localpath.moc"
