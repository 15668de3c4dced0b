#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/files/mp3file.h"
#include "core/files/tagwrite.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include "id3v2builder.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

using TFailure = TTagWriteResult::TFailure;

// A file with both tags: "Old" in each, an unknown ID3v2 frame besides.
QByteArray bothTags()
{
    return Id3v2Builder(3).text("TIT2", QStringLiteral("Old")).frame("XYZW", "data").padding(16).build()
        + mp3::Frame().stream(20) + mp3::Id3v1{"Old", {}, {}, {}, {}, 1, 17}.bytes();
}

} // namespace

class TestTagWrite : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString makeFile(const QString &name, const QByteArray &bytes)
    {
        const QString p = m_dir->filePath(name);
        if (!testsupport::writeFile(p, bytes))
            qFatal("cannot write fixture");
        return p;
    }

    static std::unique_ptr<TMP3File> readFile(const QString &path)
    {
        auto file = std::make_unique<TMP3File>(path);
        file->ReadInfo({});
        return file;
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void actions_data()
    {
        QTest::addColumn<TTagAction>("v1");
        QTest::addColumn<TTagAction>("v2");
        QTest::addColumn<bool>("v1There");
        QTest::addColumn<bool>("v2There");
        QTest::addColumn<QString>("v1Title");
        QTest::addColumn<QString>("v2Title");
        QTest::newRow("set both") << TTagAction::Set << TTagAction::Set << true << true << "New" << "New";
        QTest::newRow("set v2 only") << TTagAction::NoChange << TTagAction::Set << true << true << "Old" << "New";
        QTest::newRow("set v1, remove v2") << TTagAction::Set << TTagAction::Remove << true << false << "New" << "";
        QTest::newRow("remove both") << TTagAction::Remove << TTagAction::Remove << false << false << "" << "";
    }
    // Each tag is set, removed or left as it was; what was done is told.
    void actions()
    {
        QFETCH(TTagAction, v1);
        QFETCH(TTagAction, v2);
        QFETCH(bool, v1There);
        QFETCH(bool, v2There);
        QFETCH(QString, v1Title);
        QFETCH(QString, v2Title);
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        TTagWriteRequest request;
        request.V1 = v1;
        request.V2 = v2;
        request.Values.Set(TMergedField::Title, QStringLiteral("New"));

        const TTagWriteResult result = WriteFileTags(file, request);
        QVERIFY(result.Written());
        QCOMPARE(result.V1Done, v1);
        QCOMPARE(result.V2Done, v2);
        const auto again = readFile(p);
        QCOMPARE(again->ID3v1.Exists, v1There);
        QCOMPARE(again->ID3v2.Exists, v2There);
        QCOMPARE(again->ID3v1.Title, v1Title);
        QCOMPARE(again->ID3v2.Title, v2Title);
    }

    // Named fields only; an empty value clears; the ID3v1 tag takes what it
    // has room for, a genre by its name or its reference.
    void values()
    {
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        TTagWriteRequest request;
        request.V1 = request.V2 = TTagAction::Set;
        request.Values.Set(TMergedField::Artist, QStringLiteral("First"));
        request.Values.Set(TMergedField::Artist, QStringLiteral("Band"));  // the later one counts
        request.Values.Set(TMergedField::Title, QString());
        request.Values.Set(TMergedField::Genre, QStringLiteral("(17)"));
        request.Values.Set(TMergedField::TrackIndex, QString(), 7);
        request.Values.Set(TMergedField::Composer, QStringLiteral("Someone"));
        request.Values.Set(TMergedField::Notes, QString(40, u'c'));
        QVERIFY(WriteFileTags(file, request).Written());

        const auto again = readFile(p);
        QCOMPARE(again->ID3v2.Artist, QStringLiteral("Band"));
        QCOMPARE(again->ID3v2.Title, QString());
        QCOMPARE(again->ID3v2.Composer, QStringLiteral("Someone"));
        QCOMPARE(again->ID3v2.Track, 7);
        QCOMPARE(again->ID3v2.Comment, QString(40, u'c'));
        QCOMPARE(again->ID3v1.Artist, QStringLiteral("Band"));
        QCOMPARE(again->ID3v1.Title, QString());
        QCOMPARE(again->ID3v1.GetGenre(), QStringLiteral("Rock"));
        QCOMPARE(again->ID3v1.Track, 7);
        QCOMPARE(again->ID3v1.Comment, QString(28, u'c'));  // beside a track number
        // The unknown frame stays.
        QVERIFY(testsupport::readFile(p).contains("XYZW"));
    }

    void leftOutOfV1()
    {
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        TTagWriteRequest request;
        request.V1 = TTagAction::Set;
        request.Values.Set(TMergedField::Title, QStringLiteral("Ωmega"));
        const TTagWriteResult result = WriteFileTags(file, request);
        QVERIFY(result.Written());
        QCOMPARE(result.V1LeftOut, QStringList{QStringLiteral("title")});
        QCOMPARE(readFile(p)->ID3v1.Title, QString());  // no "?mega"
    }

    void notAFile()
    {
        const QString gone = m_dir->filePath(QStringLiteral("gone.mp3"));
        const QString fifo = m_dir->filePath(QStringLiteral("fifo.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &p : {gone, fifo}) {
            TMP3File file(p);
            TTagWriteRequest request;
            request.V2 = TTagAction::Set;
            QCOMPARE(WriteFileTags(file, request).Failure, TFailure::NotAFile);
        }
        QVERIFY(!QFileInfo::exists(gone));
    }

    void readOnly_data()
    {
        QTest::addColumn<TReadOnlyFiles>("readOnly");
        QTest::addColumn<TFailure>("failure");
        QTest::addColumn<bool>("writable");
        QTest::newRow("try") << TReadOnlyFiles::Try << TFailure::V2 << false;
        QTest::newRow("skip") << TReadOnlyFiles::Skip << TFailure::ReadOnly << false;
        QTest::newRow("make writable") << TReadOnlyFiles::MakeWritable << TFailure::None << true;
    }
    // A failed ID3v2 write leaves the file as it was: the ID3v1 tag is not
    // tried, the name kept, no track touched.
    void readOnly()
    {
        QFETCH(TReadOnlyFiles, readOnly);
        QFETCH(TFailure, failure);
        QFETCH(bool, writable);
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        const QByteArray before = testsupport::readFile(p);
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = p;
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        QVERIFY(file.SetReadOnly(true));
        TTagWriteRequest request;
        request.V1 = request.V2 = TTagAction::Set;
        request.Values.Set(TMergedField::Title, QStringLiteral("New"));
        request.ReadOnly = readOnly;
        request.NewName = QStringLiteral("b.mp3");
        request.Track = track;
        request.Refresh = TTrackRefresh::FilePlace;

        const TTagWriteResult result = WriteFileTags(file, request);
        QCOMPARE(result.Failure, failure);
        QCOMPARE(result.V1Done, writable ? TTagAction::Set : TTagAction::NoChange);
        QCOMPARE(!file.IsReadOnly(), writable);
        const QString now = writable ? m_dir->filePath(QStringLiteral("b.mp3")) : p;
        QCOMPARE(file.Path, now);
        QVERIFY(QFileInfo::exists(now));
        if (writable) {
            QCOMPARE(readFile(now)->ID3v1.Title, QStringLiteral("New"));
            QCOMPARE(qint64(track->Size), QFileInfo(now).size());
        } else {
            QCOMPARE(testsupport::readFile(p), before);
            QCOMPARE(track->Size, 0);
        }
    }

    // Renamed and made read-only only after the tags were written; the
    // track then takes the file's values.
    void renameAndReadOnlyAfterWriting()
    {
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = p;
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        file.SetInfoSources(false, false, true, true, false);
        TTagWriteRequest request;
        request.V2 = TTagAction::Set;
        request.Values.Set(TMergedField::Title, QStringLiteral("New"));
        request.NewName = QStringLiteral("b.mp3");
        request.MakeReadOnly = true;
        request.Track = track;
        request.Refresh = TTrackRefresh::FileValues;

        const TTagWriteResult result = WriteFileTags(file, request);
        QVERIFY(result.Written());
        QVERIFY(!result.RenameFailed);
        const QString renamed = m_dir->filePath(QStringLiteral("b.mp3"));
        QCOMPARE(file.Path, renamed);
        QVERIFY(!QFileInfo::exists(p));
        QVERIFY(file.IsReadOnly());
        QCOMPARE(track->FilePath, renamed);
        QCOMPARE(track->Title, QStringLiteral("New"));
        QCOMPARE(qint64(track->Size), QFileInfo(renamed).size());
    }

    void renameToTakenNameIsTold()
    {
        const QString p = makeFile(QStringLiteral("a.mp3"), bothTags());
        const QString taken = makeFile(QStringLiteral("b.mp3"), QByteArray("other"));
        const auto owned = readFile(p);
        TMP3File &file = *owned;
        TTagWriteRequest request;
        request.V2 = TTagAction::Set;
        request.NewName = QStringLiteral("b.mp3");
        const TTagWriteResult result = WriteFileTags(file, request);
        QVERIFY(result.Written());
        QVERIFY(result.RenameFailed);
        QCOMPARE(file.Path, p);
        QCOMPARE(testsupport::readFile(taken), QByteArray("other"));
    }
};

QTEST_GUILESS_MAIN(TestTagWrite)
#include "tst_tagwrite.moc"
