#include "filelistfixture.h"

#include "gui/filelist/fileproperties.h"

#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>

class TestFileProperties : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void okWritesThenUpdatesTrack();
    void failingWriteLeavesTrackUnchanged();
    void readOnlyFile_data();
    void readOnlyFile();
    void refusesUnusableNames_data();
    void refusesUnusableNames();
    void renameToTakenNameKeepsOtherFile();
    void caseOnlyRenameWorks();
    void onlyV1TagLeavesV2Off();
    void untickingV1RemovesIt();
    void copyV1ToV2WritesNewTag();
    void parseNeedsATag();
    void cancelWritesNothing();
};

namespace {

QString songPath(FileListFixture &f, const SongTags &tags, const QString &name = QStringLiteral("Abe - One.mp3"))
{
    return f.addSong(name, tags);
}

} // namespace

void TestFileProperties::okWritesThenUpdatesTrack()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}, true});
    TMp3Track *track = f.addTrack(path, QStringLiteral("One"));
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    QVERIFY(window.ckID3v2->isChecked());
    QCOMPARE(qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->text(), QStringLiteral("One"));
    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    window.edFilename->setText(QStringLiteral("Uno.mp3"));
    window.btOK->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    const QString newPath = f.dir.filePath(QStringLiteral("Uno.mp3"));
    TMP3File written(newPath);
    QVERIFY(written.ReadInfo({}));
    QCOMPARE(written.ID3v2.Title, QStringLiteral("Uno"));
    QCOMPARE(FileListFixture::audioOf(newPath), FileListFixture::audio());
    QCOMPARE(track->Title, QStringLiteral("Uno"));
    QCOMPARE(track->FilePath, newPath);
    QVERIFY(f.services.messages.isEmpty());
}

void TestFileProperties::failingWriteLeavesTrackUnchanged()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}});
    TMp3Track *track = f.addTrack(path, QStringLiteral("One"));
    track->Size = 777;
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, track);
    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    // The file goes away under the window: the write fails whoever runs it.
    QVERIFY(QFile::remove(path));
    window.btOK->click();
    QCOMPARE(f.services.messages.last(), QStringLiteral("Could not write to file. This may be because the file is "
                                                        "read-only"));
    QVERIFY(window.result() != QDialog::Accepted);
    QCOMPARE(track->Title, QStringLiteral("One"));
    QCOMPARE(track->Size, 777);
    QCOMPARE(track->FilePath, path);
}

void TestFileProperties::readOnlyFile_data()
{
    QTest::addColumn<bool>("withTrack");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("linked to a track") << true << false;
    QTest::newRow("linked to a track, renamed") << true << true;
    QTest::newRow("no track") << false << false;
}

// The window says before OK that the tags of a read-only file cannot be
// written.  A track linked to the file takes the edits all the same; with no
// track there is nothing to keep, and the window stays open.
void TestFileProperties::readOnlyFile()
{
    QFETCH(bool, withTrack);
    QFETCH(bool, renamed);
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}, true});
    TMp3Track *track = withTrack ? f.addTrack(path, QStringLiteral("One")) : nullptr;
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    const QByteArray before = testsupport::readFile(path);
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    window.show();
    QVERIFY(window.ckReadOnly->isChecked());
    QVERIFY(window.laReadOnlyFile->isVisible());
    QVERIFY2(window.laReadOnlyFile->text().contains(QStringLiteral("read-only")),
             qPrintable(window.laReadOnlyFile->text()));
    // Unticking "Read Only" would make the file writable first.
    window.ckReadOnly->setChecked(false);
    QVERIFY(!window.laReadOnlyFile->isVisible());
    window.ckReadOnly->setChecked(true);
    QVERIFY(window.laReadOnlyFile->isVisible());

    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    if (renamed)
        window.edFilename->setText(QStringLiteral("uno.mp3"));
    window.btOK->click();
    QCOMPARE(testsupport::readFile(path), before);
    if (withTrack) {
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(track->Title, QStringLiteral("Uno"));
        QCOMPARE(track->FilePath, path);
        // Told once: by the window, before OK; a rename it did not make
        // is told too.
        QCOMPARE(f.services.messages,
                 renamed ? QStringList{QStringLiteral("Unable to rename file")} : QStringList());
    } else {
        QVERIFY(window.isVisible());
        QCOMPARE(f.services.messages, QStringList{QStringLiteral("Could not write to file. This may be because "
                                                                 "the file is read-only")});
    }
}

void TestFileProperties::refusesUnusableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("slash") << QStringLiteral("sub/name.mp3");
    QTest::newRow("up") << QStringLiteral("../name.mp3");
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b.mp3");
    QTest::newRow("too long") << QString(300, QLatin1Char('x')) + QStringLiteral(".mp3");
}

void TestFileProperties::refusesUnusableNames()
{
    QFETCH(QString, name);
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}});
    const QByteArray before = testsupport::readFile(path);
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    window.edFilename->setText(name);
    window.btOK->click();
    QVERIFY(window.result() != QDialog::Accepted);
    QCOMPARE(f.services.messages.size(), 1);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Abe - One.mp3"});
    // Nothing was written either: the user corrects the name first.
    QCOMPARE(testsupport::readFile(path), before);
}

void TestFileProperties::renameToTakenNameKeepsOtherFile()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}});
    const QString other = f.addSong(QStringLiteral("Other.mp3"), {QStringLiteral("Other"), {}, {}});
    const QByteArray otherBytes = testsupport::readFile(other);
    TMp3Track *track = f.addTrack(path, QStringLiteral("One"));
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    window.edFilename->setText(QStringLiteral("Other.mp3"));
    window.btOK->click();
    QCOMPARE(f.services.messages.last(), QStringLiteral("Unable to rename file"));
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(testsupport::readFile(other), otherBytes);
    TMP3File written(path);
    QVERIFY(written.ReadInfo({}));
    QCOMPARE(written.ID3v2.Title, QStringLiteral("Uno"));
    QCOMPARE(track->FilePath, path);
    QCOMPARE(track->Title, QStringLiteral("Uno"));
}

void TestFileProperties::caseOnlyRenameWorks()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), {}, {}}, QStringLiteral("one.mp3"));
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    window.edFilename->setText(QStringLiteral("ONE.mp3"));
    window.btOK->click();
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"ONE.mp3"});
    QVERIFY(f.services.messages.isEmpty());
}

void TestFileProperties::onlyV1TagLeavesV2Off()
{
    FileListFixture f;
    const QString path = f.dir.filePath(QStringLiteral("v1.mp3"));
    mp3::Id3v1 v1;
    v1.title = "Old";
    testsupport::writeFile(path, FileListFixture::audio() + v1.bytes());
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    QVERIFY(window.ckID3v1->isChecked());
    QVERIFY(!window.ckID3v2->isChecked());
    QVERIFY(!window.pcV2->isEnabled());
    QCOMPARE(window.edTitlev1->text(), QStringLiteral("Old"));
    window.edTitlev1->setText(QStringLiteral("New"));
    window.btOK->click();
    TMP3File written(path);
    QVERIFY(written.ReadInfo({}));
    QVERIFY(!written.ID3v2.Exists);
    QCOMPARE(written.ID3v1.Title, QStringLiteral("New"));
}

void TestFileProperties::untickingV1RemovesIt()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}, true});
    const qint64 size = QFileInfo(path).size();
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    QVERIFY(window.ckID3v1->isChecked());
    window.ckID3v1->click();
    QVERIFY(!window.edTitlev1->isEnabled());
    window.btOK->click();
    QCOMPARE(QFileInfo(path).size(), size - 128);
    QCOMPARE(FileListFixture::audioOf(path), FileListFixture::audio());
}

void TestFileProperties::copyV1ToV2WritesNewTag()
{
    FileListFixture f;
    const QString path = f.dir.filePath(QStringLiteral("v1.mp3"));
    mp3::Id3v1 v1;
    v1.title = "Tune";
    v1.artist = "Abe";
    testsupport::writeFile(path, FileListFixture::audio() + v1.bytes());
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    window.btCopyv1tov2->click();
    // The box shows what OK will do: write the new tag.
    QVERIFY(window.ckID3v2->isChecked());
    QVERIFY(window.pcV2->isEnabled());
    QCOMPARE(qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->text(), QStringLiteral("Tune"));
    window.btOK->click();
    TMP3File written(path);
    QVERIFY(written.ReadInfo({}));
    QVERIFY(written.ID3v2.Exists);
    QCOMPARE(written.ID3v2.Artist, QStringLiteral("Abe"));
    QCOMPARE(FileListFixture::audioOf(path), FileListFixture::audio());
}

void TestFileProperties::parseNeedsATag()
{
    FileListFixture f;
    const QString path = f.dir.filePath(QStringLiteral("Abe - One.mp3"));
    testsupport::writeFile(path, FileListFixture::audio());
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    QVERIFY(!window.ckID3v1->isChecked() && !window.ckID3v2->isChecked());
    window.btParse->click();
    QCOMPARE(f.services.messages.last(),
             QStringLiteral("No tag selected. Check one or both of the \"Use this Tag\" checkboxes"));
    window.ckID3v2->click();
    window.btParse->click();
    QCOMPARE(qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edArtistv2")))->text(), QStringLiteral("Abe"));
    QCOMPARE(qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->text(), QStringLiteral("One"));
}

void TestFileProperties::cancelWritesNothing()
{
    FileListFixture f;
    const QString path = songPath(f, {QStringLiteral("One"), QStringLiteral("Abe"), {}});
    const QByteArray before = testsupport::readFile(path);
    TMP3File file(path);
    TfmFileProperties window(nullptr, f.context(), file, nullptr);
    qobject_cast<QLineEdit *>(window.V2Control(QStringLiteral("edTitlev2")))->setText(QStringLiteral("Uno"));
    window.btCopyv2tov1->click();
    window.btCancel->click();
    QCOMPARE(testsupport::readFile(path), before);
    QCOMPARE(file.ID3v2.Title, QStringLiteral("One"));
    QVERIFY(!file.ID3v1.Exists);
}

QTEST_MAIN(TestFileProperties)
#include "tst_fileproperties.moc"
