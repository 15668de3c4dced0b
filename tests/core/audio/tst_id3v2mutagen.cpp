// Round trips through mutagen, an independent ID3 implementation: what we
// write must read correctly there, and tags it writes must survive our
// writes with every frame.

#include "core/audio/id3v2tag.h"

#include "id3v2builder.h"
#include "mutagentool.h"
#include "scratchfolder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QByteArray Audio = fakeAudio(4000, 5);
const QByteArray PictureBytes = fakeAudio(300, 9);
const QByteArray Picture = bytes("\x00image/png\x00\x03\x00") + PictureBytes;
const QByteArray Private = bytes("owner@example\x00") + bytes("\xFF\x00\xFF\xE0\x01");

QJsonArray framesWithId(const QJsonObject &tag, const QString &id)
{
    QJsonArray out;
    for (const QJsonValue &f : tag["frames"].toArray())
        if (f["id"].toString() == id)
            out.append(f);
    return out;
}

QJsonObject describedFrame(const QJsonObject &tag, const QString &id, const QString &desc)
{
    for (const QJsonValue &f : framesWithId(tag, id))
        if (f["desc"].toString() == desc)
            return f.toObject();
    return QJsonObject();
}

QString firstText(const QJsonObject &tag, const QString &id)
{
    const QJsonArray frames = framesWithId(tag, id);
    return frames.isEmpty() ? QString() : frames.first()["text"].toArray().first().toString();
}

QStringList ids(const QJsonObject &tag)
{
    QStringList out;
    for (const QJsonValue &f : tag["frames"].toArray())
        out << f["id"].toString();
    return out;
}

void fillAllFields(TID3v2Tag &t)
{
    t.Artist = "Björk";
    t.Title = "Ωmega ☃";
    t.Album = "Album";
    t.Year = "2003";
    t.Track = 7;
    t.Genre = "(17)";
    t.Comment = "Grüße";
    t.Label = "Label";
    t.OrigArtist = "Orig";
    t.Composer = "Сергей";
    t.Lyricist = "Lyricist";
    t.Orchestra = "Orchestra";
    t.Conductor = "Conductor";
    t.EncodedBy = "Encoder";
    t.CopyrightBy = "(c) 2003";
    t.BPM = 128;
    t.Subtitle = "Subtitle";
    t.Tempo = "Fast";
    t.Mood = "Calm ☾";
    t.Situation = "Night";
    t.Preference = "High";
    t.Bio = "Born somewhere";
    t.AudioURL = "http://audio.example/";
    t.ArtistURL = "http://artist.example/";
    t.GeneralURL = "http://general.example/";
    t.Lyrics = "Line one\nLine two";
}


} // namespace

class tst_ID3v2Mutagen : public QObject {
    Q_OBJECT

private:
    ScratchFolder m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        if (mutagentool::python().isEmpty())
            QSKIP("python3-mutagen is not installed");
        QVERIFY(m_dir.isValid());
    }

    void ourTagsReadByMutagen_data();
    void ourTagsReadByMutagen();
    void mutagenTagsSurviveOurWrites_data();
    void mutagenTagsSurviveOurWrites();
    void severalGenresReadByMutagen_data();
    void severalGenresReadByMutagen();
};

void tst_ID3v2Mutagen::ourTagsReadByMutagen_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("unknownIds");

    const auto withUnknowns = [](int version) {
        Id3v2Builder b(version);
        b.frame("APIC", Picture).text("TIT2", "Old", 1).frame("PRIV", Private)
            .frame("TXXX", bytes("\x00" "KEY\x00value"));
        return b;
    };
    QTest::newRow("no tag") << QByteArray() << 3 << QStringList();
    QTest::newRow("v2.3, rewritten") << withUnknowns(3).build() << 3 << QStringList{"APIC", "PRIV", "TXXX"};
    QTest::newRow("v2.3, in place") << withUnknowns(3).padding(2000).build() << 3
                                    << QStringList{"APIC", "PRIV", "TXXX"};
    QTest::newRow("v2.4 unsynchronised, footer")
        << withUnknowns(4).unsynchronised().dataLengthIndicators().footer().build() << 4
        << QStringList{"APIC", "PRIV", "TXXX"};
    QTest::newRow("v2.4 in place") << withUnknowns(4).padding(2000).build() << 4
                                   << QStringList{"APIC", "PRIV", "TXXX"};
    QTest::newRow("v2.2") << Id3v2Builder(2).frame("PIC", bytes("\x00PNG\x03\x00") + PictureBytes)
                                 .text("TT2", "Old").build()
                          << 3 << QStringList{"APIC"};
}

void tst_ID3v2Mutagen::ourTagsReadByMutagen()
{
    QFETCH(QByteArray, tag);
    QFETCH(int, version);
    QFETCH(QStringList, unknownIds);
    const QString path = m_dir.newFile(tag + Audio);
    TID3v2Tag t;
    t.ReadFromFile(path);
    fillAllFields(t);
    QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
    QCOMPARE(viewTag(readFile(path)).audio, Audio);

    QJsonObject m;
    QString error;
    QVERIFY2(mutagentool::dump(path, &m, &error), qPrintable(error));
    QCOMPARE(m["version"].toArray()[1].toInt(), version);
    QCOMPARE(firstText(m, "TPE1"), QStringLiteral("Björk"));
    QCOMPARE(firstText(m, "TIT2"), QStringLiteral("Ωmega ☃"));
    QCOMPARE(firstText(m, "TALB"), QStringLiteral("Album"));
    QCOMPARE(firstText(m, version >= 4 ? "TDRC" : "TYER"), QStringLiteral("2003"));
    QCOMPARE(firstText(m, "TRCK"), QStringLiteral("7"));
    QCOMPARE(firstText(m, "TCON"), QStringLiteral("(17)"));
    QCOMPARE(firstText(m, "TCOM"), QStringLiteral("Сергей"));
    QCOMPARE(firstText(m, "TBPM"), QStringLiteral("128"));
    QCOMPARE(describedFrame(m, "COMM", "")["text"].toArray().first().toString(), QStringLiteral("Grüße"));
    QCOMPARE(describedFrame(m, "COMM", "MusicMatch_Mood")["text"].toArray().first().toString(),
             QStringLiteral("Calm ☾"));
    QCOMPARE(describedFrame(m, "USLT", "")["text"].toString(), QStringLiteral("Line one\nLine two"));
    QCOMPARE(framesWithId(m, "WOAF").first()["url"].toString(), QStringLiteral("http://audio.example/"));
    QCOMPARE(framesWithId(m, "WXXX").first()["url"].toString(), QStringLiteral("http://general.example/"));

    QStringList unknownsFound;
    for (const QString &id : ids(m))
        if (unknownIds.contains(id))
            unknownsFound << id;
    QCOMPARE(unknownsFound, unknownIds);
    if (unknownIds.contains("PRIV"))
        QCOMPARE(framesWithId(m, "PRIV").first()["data"].toString(), Private.mid(14).toHex());
    if (unknownIds.contains("APIC"))
        QCOMPARE(framesWithId(m, "APIC").first()["data"].toString(), PictureBytes.toHex());
}

void tst_ID3v2Mutagen::severalGenresReadByMutagen_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("genre");
    for (int version : {3, 4}) {
        const QByteArray v = "v2." + QByteArray::number(version) + " ";
        QTest::newRow(v + "list genres") << version << "Disco; Rock";
        QTest::newRow(v + "refinement") << version << "Disco; Eurodisco";
        QTest::newRow(v + "other genres") << version << "Eurodisco; Italo Disco; Rock";
    }
}

// Several genres are several for mutagen too, in the same order.
void tst_ID3v2Mutagen::severalGenresReadByMutagen()
{
    QFETCH(int, version);
    QFETCH(QString, genre);
    const QString path = m_dir.newFile(Id3v2Builder(version).text("TIT2", "Song").build() + Audio);
    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    t.Genre = genre;
    QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
    QByteArray output;
    QString error;
    const QString script = QStringLiteral("import sys, mutagen.id3\n"
                                          "print('; '.join(mutagen.id3.ID3(sys.argv[1], translate=False)['TCON'].genres))\n");
    QVERIFY2(mutagentool::run(script, {path}, &output, &error), qPrintable(error));
    QCOMPARE(QString::fromUtf8(output).trimmed(), genre);
}

void tst_ID3v2Mutagen::mutagenTagsSurviveOurWrites_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("year");

    // v2.3 joins several values with "/"; mutagen stores the date as TYER and TDAT.
    QTest::newRow("v2.3") << 3 << "Björk/Guest" << "2004";
    QTest::newRow("v2.4") << 4 << "Björk" << "2004";
}

void tst_ID3v2Mutagen::mutagenTagsSurviveOurWrites()
{
    QFETCH(int, version);
    const QString path = m_dir.newFile(Audio);
    QString error;
    QVERIFY2(mutagentool::writeSampleTag(path, version, &error), qPrintable(error));
    QJsonObject before;
    QVERIFY2(mutagentool::dump(path, &before, &error), qPrintable(error));

    TID3v2Tag t;
    QVERIFY(t.ReadFromFile(path));
    QCOMPARE(t.MajorVersion, version);
    QCOMPARE(t.Title, QStringLiteral("Ωmega"));
    QTEST(t.Artist, "artist");
    QTEST(t.Year, "year");
    QCOMPARE(t.Track, 3);
    QCOMPARE(t.Genre, QStringLiteral("Rock"));
    QCOMPARE(t.Comment, QStringLiteral("Comment ☃"));
    QCOMPARE(t.Mood, QStringLiteral("Calm"));
    QCOMPARE(t.Lyrics, QStringLiteral("La la\nla"));
    QCOMPARE(t.ArtistURL, QStringLiteral("http://artist.example/"));
    QCOMPARE(t.GeneralURL, QStringLiteral("http://general.example/"));

    t.Title = "Changed ☂";
    t.Track = 4;
    t.Comment = "New comment";
    QVERIFY2(t.WriteToFile(path), qPrintable(t.errorString()));
    QCOMPARE(viewTag(readFile(path)).audio, Audio);

    QJsonObject after;
    QVERIFY2(mutagentool::dump(path, &after, &error), qPrintable(error));
    QCOMPARE(ids(after), ids(before));
    QCOMPARE(firstText(after, "TIT2"), QStringLiteral("Changed ☂"));
    QCOMPARE(firstText(after, "TRCK"), QStringLiteral("4/12"));
    QCOMPARE(describedFrame(after, "COMM", "")["text"].toArray().first().toString(),
             QStringLiteral("New comment"));
    // Every frame we did not change is exactly as mutagen wrote it.
    const QJsonArray a = before["frames"].toArray();
    const QJsonArray b = after["frames"].toArray();
    for (int i = 0; i < a.size(); ++i) {
        const QString id = a[i]["id"].toString();
        const bool edited = id == "TIT2" || id == "TRCK" || (id == "COMM" && a[i]["desc"].toString().isEmpty());
        if (!edited)
            QCOMPARE(b[i].toObject(), a[i].toObject());
    }
}

QTEST_GUILESS_MAIN(tst_ID3v2Mutagen)
#include "tst_id3v2mutagen.moc"
