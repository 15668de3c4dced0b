#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/playlist.h"
#include "core/mp3model/mp3root.h"

#include "mp3builder.h"
#include "scripteddesktopservices.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

class TestPlayList : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void fill(TPlayList &list, int count)
    {
        for (int i = 1; i <= count; ++i)
            list.AddEntry(QStringLiteral("/music/%1.mp3").arg(i), QStringLiteral("T%1").arg(i), i * 10);
    }
    static QStringList titles(const TPlayList &list)
    {
        QStringList result;
        for (int i = 0; i < list.Count(); ++i)
            result.append(list.Get(i)->Title);
        return result;
    }

private Q_SLOTS:
    void changesSetModified()
    {
        TPlayList list;
        QVERIFY(!list.Modified);
        list.NewEntry();
        QVERIFY(!list.Modified); // the readers' way in
        list.AddEntry(QStringLiteral("a.mp3"), QStringLiteral("A"), 1);
        QVERIFY(list.Modified);

        TPlayList other;
        other.AddEntries(list);
        QCOMPARE(other.Count(), 2);
        QCOMPARE(other.Get(1)->Title, QStringLiteral("A"));
        QVERIFY(other.Get(1) != list.Get(1));
        QVERIFY(other.Modified);
    }

    void moving()
    {
        TPlayList list;
        fill(list, 3);
        list.Modified = false;
        QVERIFY(!list.MoveUp(0));
        QVERIFY(!list.MoveDown(2));
        QVERIFY(!list.MoveUp(7));
        QVERIFY(!list.Modified);
        QVERIFY(list.MoveDown(0));
        QVERIFY(list.Modified);
        QVERIFY(list.MoveUp(2));
        QCOMPARE(titles(list), (QStringList{QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T1")}));
    }

    void removing()
    {
        TPlayList list;
        fill(list, 2);
        list.Modified = false;
        TPlayListEntry stranger;
        QCOMPARE(list.Remove(&stranger), -1);
        QVERIFY(!list.Modified);
        std::unique_ptr<TDataItem> taken = list.takeItem(list.Get(0));
        QVERIFY(taken);
        QVERIFY(list.Modified);
        QCOMPARE(titles(list), QStringList{QStringLiteral("T2")});
        QCOMPARE(list.TotalLength(), 20);
    }

    void clearForgetsEverything()
    {
        TPlayList list;
        fill(list, 2);
        list.FileName = QStringLiteral("x.m3u");
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QVERIFY(list.FileName.isEmpty());
        QVERIFY(!list.Modified);
    }

    void entriesFromTracks_data()
    {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both") << "A" << "T" << "A - T";
        QTest::newRow("artist only") << "X" << "" << "X";
        QTest::newRow("title only") << "" << "Y" << "Y";
        QTest::newRow("neither") << "" << "" << "";
    }
    void entriesFromTracks()
    {
        QFETCH(QString, artist);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        TMp3Root root;
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Title = title;
        if (!artist.isEmpty())
            track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
        track->FilePath = QStringLiteral("/music/t.mp3");
        track->Length = 245;
        TPlayList list(&root);
        list.AddTracks(*root.GetTracks());
        QCOMPARE(list.Count(), 1);
        QCOMPARE(list.Get(0)->Title, expected);
        QCOMPARE(list.Get(0)->FileName, track->FilePath);
        QCOMPARE(list.Get(0)->Length, 245);
        QVERIFY(list.Modified);
    }

    // An MP3 file of about ten seconds, with an ID3v1 tag when artist or
    // title is given.
    std::unique_ptr<TMP3File> mp3File(const QString &name, const QByteArray &artist = {},
                                      const QByteArray &title = {})
    {
        mp3::Frame frame;
        QByteArray bytes = frame.stream(383);
        if (!artist.isEmpty() || !title.isEmpty()) {
            mp3::Id3v1 tag;
            tag.artist = artist;
            tag.title = title;
            bytes += tag.bytes();
        }
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!writeFile(file, bytes))
            return nullptr;
        auto mp3 = std::make_unique<TMP3File>(file);
        mp3->SetInfoSources(false, false, true, true, false);
        if (!mp3->ReadInfo({QStringLiteral("%ar - %t")}))
            return nullptr;
        return mp3;
    }

    void entriesFromFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("artist");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("artist without title") << "f1.mp3" << QByteArray("X") << QByteArray() << "X";
        QTest::newRow("artist and title") << "f2.mp3" << QByteArray("X") << QByteArray("Y") << "X - Y";
        QTest::newRow("values of the path count") << "Band - Song.mp3" << QByteArray() << QByteArray()
                                                  << "Band - Song";
    }
    void entriesFromFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, artist);
        QFETCH(QByteArray, title);
        QFETCH(QString, expected);
        const std::unique_ptr<TMP3File> file = mp3File(name, artist, title);
        QVERIFY(file);
        TPlayList list;
        TPlayListEntry *entry = list.AddFile(*file);
        QCOMPARE(entry->Title, expected);
        QCOMPARE(entry->FileName, path(name));
        QVERIFY(file->MpegInfo.Length >= 9 && file->MpegInfo.Length <= 10);
        QCOMPARE(entry->Length, file->MpegInfo.Length);
        QVERIFY(!file->FilenameInfo.Enabled); // switched on only for the title
        QVERIFY(list.Modified);
    }

    void entriesFromFolders()
    {
        TMP3Folder top;
        top.SetPath(path(QStringLiteral("tree")));
        auto sub = std::make_unique<TMP3Folder>();
        sub->SetPath(path(QStringLiteral("tree/sub")));
        sub->AddChild(mp3File(QStringLiteral("tree/sub/b.mp3"), "B"));
        top.AddChild(mp3File(QStringLiteral("tree/a.mp3"), "A"));
        top.AddChild(std::move(sub));
        top.AddChild(mp3File(QStringLiteral("tree/c.mp3"), "C"));

        TPlayList flat;
        flat.AddFolder(top, false);
        QCOMPARE(titles(flat), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
        TPlayList deep;
        deep.AddFolder(top, true);
        QCOMPARE(titles(deep), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));

        TDataRefList items;
        items.Add(top.Child(1)); // the subfolder
        items.Add(top.Child(2));
        TPlayList some;
        some.AddItems(items, false);
        QCOMPARE(titles(some), QStringList{QStringLiteral("C")});
        some.AddItems(items, true);
        QCOMPARE(titles(some), (QStringList{QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("C")}));
    }

    void entryValues()
    {
        TDataFieldList fields;
        auto field = [&fields](qint32 id) { return std::make_unique<TStringDataField>(&fields, id, QString(), false, 0, 1, 0, TListKinds{5}); };
        const auto filename = field(12), length = field(15), index = field(35), title = field(36), filepath = field(66),
                   artist = field(6);
        TPlayList list;
        fill(list, 1);
        TPlayListEntry *entry = list.AddEntry(QStringLiteral("/music/a b/x.mp3"), QStringLiteral("A - B"), 3725);
        QCOMPARE(entry->GetValueAsString(length.get()), QStringLiteral("62:05"));
        QCOMPARE(entry->GetValueAsInteger(length.get()), 3725);
        QCOMPARE(entry->GetValueAsString(filename.get()), QStringLiteral("x.mp3"));
        QCOMPARE(entry->GetValueAsString(filepath.get()), QStringLiteral("/music/a b/x.mp3"));
        QCOMPARE(entry->GetValueAsString(title.get()), QStringLiteral("A - B"));
        QCOMPARE(entry->GetValueAsString(index.get()), QStringLiteral("2"));
        QCOMPARE(entry->GetValueAsInteger(index.get()), 2);
        QVERIFY(entry->GetValueAsString(artist.get()).isEmpty());
        QCOMPARE(entry->GetDisplayName(), QStringLiteral("2: A - B"));
        TPlayListEntry loose;
        QCOMPARE(loose.Position(), 0);
    }

    void saveAndLoadBothFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("m3u") << "list.m3u";
        QTest::newRow("pls") << "list.pls";
    }
    void saveAndLoadBothFormats()
    {
        QFETCH(QString, name);
        TPlayList list;
        fill(list, 3);
        list.AddEntry(QStringLiteral("/music/Björk/") + QString(300, QLatin1Char('x')) + QStringLiteral(".mp3"),
                      QStringLiteral("Björk - line\r\nbreak"), 7);
        QVERIFY2(list.SaveToFile(path(name)), qPrintable(list.lastError()));
        QVERIFY(!list.Modified);
        QCOMPARE(list.FileName, path(name));

        TPlayList back;
        back.AddEntry(QStringLiteral("old.mp3"), QString(), 0);
        QVERIFY2(back.LoadFromFile(path(name)), qPrintable(back.lastError()));
        QCOMPARE(back.Count(), 4);
        QVERIFY(!back.Modified);
        QCOMPARE(back.FileName, path(name));
        QCOMPARE(back.Get(3)->FileName, list.Get(3)->FileName);
        QCOMPARE(back.Get(3)->Title, QStringLiteral("Björk - line break"));
        QCOMPARE(back.Get(2)->Length, 30);
    }

    void failuresAreReturned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown extension") << "list.txt" << "not an M3U or PLS playlist";
        QTest::newRow("m3u in a file, not a folder") << "afile/list.m3u" << "could not be written";
        QTest::newRow("pls in a file, not a folder") << "afile/list.pls" << "could not be written";
    }
    void failuresAreReturned()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(writeFile(path(QStringLiteral("afile")), "x"));
        TPlayList list;
        fill(list, 1);
        QVERIFY(!list.SaveToFile(path(name)));
        QVERIFY2(list.lastError().contains(message), qPrintable(list.lastError()));
        QVERIFY(list.Modified);
        QVERIFY(list.FileName.isEmpty());

        QVERIFY(!list.LoadFromFile(path(name)));
        QCOMPARE(list.Count(), 0); // loading empties the list first
        QVERIFY(!list.lastError().isEmpty());
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString file = path(QStringLiteral("keep.m3u"));
        QVERIFY(writeFile(file, "#EXTM3U\r\nold.mp3\r\n"));
        TPlayList list;
        QVERIFY(list.LoadFromFile(file));
        fill(list, 2);
        // A folder where the temporary file would go cannot be written:
        // replace the file by a folder of the same name.
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkdir(file));
        QVERIFY(!list.SaveToFile(file));
        QVERIFY(list.Modified);
        QVERIFY(QFileInfo(file).isDir());
        QVERIFY(QDir().rmdir(file));
    }

    void loadingMissingFileFails()
    {
        TPlayList list;
        QVERIFY(!list.LoadFromFile(path(QStringLiteral("gone.pls"))));
        QVERIFY(list.lastError().contains(QStringLiteral("does not exist")));
        QVERIFY(list.FileName.isEmpty());
    }

    void defaultPlayFileInDataFolder()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
        QCOMPARE(TPlayList::DefaultPlayFileName(0), path(QStringLiteral("data/Brimlow/Tunebase/[Playlist].m3u")));
        QCOMPARE(TPlayList::DefaultPlayFileName(1), path(QStringLiteral("data/Brimlow/Tunebase/[Playlist].pls")));

        ScriptedDesktopServices desktop;
        TPlayList list;
        fill(list, 2);
        QVERIFY(list.Play(1));
        QCOMPARE(desktop.opened, QStringList{TPlayList::DefaultPlayFileName(1)});
        QVERIFY(readFile(TPlayList::DefaultPlayFileName(1)).startsWith("[playlist]\r\nNumberOfEntries=2"));
        // Playing does not make the play file the user's playlist.
        QVERIFY(list.FileName.isEmpty());
        QVERIFY(list.Modified);

        const QString own = path(QStringLiteral("own.m3u"));
        QVERIFY(list.SaveToFile(own));
        QVERIFY(list.Play(1));
        QCOMPARE(desktop.opened.last(), own);
        QCOMPARE(list.FileName, own);
        if (saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", saved);
    }

    // The play file's name is the program's own: a link planted in its
    // place is refused, and the file it names stays as it was.
    void playFileIsNotWrittenThroughALink()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("linkeddata"))));
        const QString victim = path(QStringLiteral("victim.txt"));
        QVERIFY(writeFile(victim, "keep me"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("linkeddata/Brimlow/Tunebase"))));
        QVERIFY(QFile::link(victim, TPlayList::DefaultPlayFileName(0)));

        ScriptedDesktopServices desktop;
        TPlayList list;
        fill(list, 2);
        QVERIFY(!list.Play(0));
        QVERIFY2(list.lastError().contains(QLatin1String("is a symbolic link")), qPrintable(list.lastError()));
        QCOMPARE(readFile(victim), QByteArray("keep me"));
        QCOMPARE(desktop.opened, QStringList());
        if (saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", saved);
    }
};

QTEST_APPLESS_MAIN(TestPlayList)
#include "tst_playlist.moc"
