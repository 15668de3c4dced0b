#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/shellstuff.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include "memorytree.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace {

QStringList namesOf(const QList<TShellEntry> &entries)
{
    QStringList names;
    for (const TShellEntry &e : entries)
        names << e.Name;
    return names;
}

QStringList namesOf(const TMp3FileItemList &list)
{
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.item(i)->Name;
    return names;
}

std::unique_ptr<TMP3Folder> folderNamed(const QString &name)
{
    auto folder = std::make_unique<TMP3Folder>();
    folder->Name = name;
    folder->Path = QStringLiteral("/m/") + name;
    return folder;
}

std::unique_ptr<TMP3File> fileTitled(const QString &name, const QString &title)
{
    auto file = std::make_unique<TMP3File>(QStringLiteral("/m/") + name);
    file->SetInfoSources(false, false, true, false, false);
    file->ID3v2.Exists = true;
    file->ID3v2.Title = title;
    return file;
}

class FakeIcons : public TFileIconProvider {
public:
    int IconIndex(const QString &, TIconKind kind) override { return 20 + int(kind); }
};

} // namespace

class TestMp3Folder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void listHidesDotFilesAndOrdersNaturally();
    void listShowsHiddenWhenAsked();
    void listMarksLinks();
    void listFindsNamesThatAreNotUtf8();
    void hasSubfolders_data();
    void hasSubfolders();
    void names();
    void shellInfoAndIcons();
    void childrenAndCollectFiles();
    void treeNodeOffersExpandButton();
    void infoSourcesReachEveryFile();
    void sortByFields();
    void sortByKeysAsTheFieldsCompare_data();
    void sortByKeysAsTheFieldsCompare();
    void sortByShellOrder();
    void clearReadOnlyAll();
    void mappingList();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void touch(const QString &name) { QVERIFY(testsupport::writeFile(path(name), "x")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMp3Folder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestMp3Folder::listHidesDotFilesAndOrdersNaturally()
{
    QDir dir(m_dir->path());
    dir.mkdir(QStringLiteral("b folder"));
    dir.mkdir(QStringLiteral("A folder"));
    dir.mkdir(QStringLiteral(".hidden folder"));
    touch(QStringLiteral("Track 10.mp3"));
    touch(QStringLiteral("track 2.mp3"));
    touch(QStringLiteral(".hidden.mp3"));
    QCOMPARE(namesOf(TShellStuff::ListFolder(m_dir->path())),
             (QStringList{"A folder", "b folder", "track 2.mp3", "Track 10.mp3"}));
}

void TestMp3Folder::listShowsHiddenWhenAsked()
{
    touch(QStringLiteral(".hidden.mp3"));
    touch(QStringLiteral("shown.mp3"));
    const QList<TShellEntry> entries = TShellStuff::ListFolder(m_dir->path(), true);
    QCOMPARE(namesOf(entries), (QStringList{".hidden.mp3", "shown.mp3"}));
    QVERIFY(entries.first().IsHidden);
    QVERIFY(!entries.last().IsHidden);
}

void TestMp3Folder::listMarksLinks()
{
    QDir(m_dir->path()).mkdir(QStringLiteral("real"));
    touch(QStringLiteral("song.mp3"));
    QVERIFY(QFile::link(path(QStringLiteral("real")), path(QStringLiteral("linked folder"))));
    QVERIFY(QFile::link(path(QStringLiteral("song.mp3")), path(QStringLiteral("linked.mp3"))));
    QVERIFY(QFile::link(path(QStringLiteral("gone.mp3")), path(QStringLiteral("dangling.mp3"))));
    QVERIFY(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.mp3"))).constData(), 0600) == 0);

    // Dangling links and pipes are left out: reading them fails or blocks.
    const QList<TShellEntry> entries = TShellStuff::ListFolder(m_dir->path());
    QCOMPARE(namesOf(entries), (QStringList{"linked folder", "real", "linked.mp3", "song.mp3"}));
    QVERIFY(entries.at(0).IsFolder && entries.at(0).IsLink);
    QVERIFY(entries.at(1).IsFolder && !entries.at(1).IsLink);
    QVERIFY(!entries.at(2).IsFolder && entries.at(2).IsLink);
    QCOMPARE(entries.at(2).Path, path(QStringLiteral("linked.mp3")));
}

// "Bj\xf6rk" from an old disk: found, opened by its own bytes, shown with
// U+FFFD.
void TestMp3Folder::listFindsNamesThatAreNotUtf8()
{
    const QByteArray folder = QFile::encodeName(m_dir->path());
    QVERIFY(::mkdir(folder + "/Bj\xf6rk", 0755) == 0);
    QVERIFY(testsupport::writeFileAt(folder + "/caf\xe9.mp3", "x"));
    const QList<TShellEntry> entries = TShellStuff::ListFolder(m_dir->path());
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries.at(0).IsFolder);
    QCOMPARE(LocalPathBytes(entries.at(0).Path), folder + "/Bj\xf6rk");
    QCOMPARE(LocalPathBytes(entries.at(1).Path), folder + "/caf\xe9.mp3");
    QVERIFY(TShellStuff::HasSubfolders(m_dir->path()));
    const TMP3File file(entries.at(1).Path);
    QCOMPARE(file.GetDisplayName(), QStringLiteral("caf\uFFFD.mp3"));
    testsupport::emptyFolderAt(folder);
}

void TestMp3Folder::hasSubfolders_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("linkToFolder");
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty") << QStringList() << QStringList() << false << false;
    QTest::newRow("files only") << QStringList() << QStringList{"a.mp3"} << false << false;
    QTest::newRow("hidden folder only") << QStringList{".cache"} << QStringList() << false << false;
    QTest::newRow("folder") << QStringList{"sub"} << QStringList() << false << true;
    QTest::newRow("link to a folder") << QStringList() << QStringList() << true << true;
}

void TestMp3Folder::hasSubfolders()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(bool, linkToFolder);
    QFETCH(bool, expected);
    QDir dir(m_dir->path());
    dir.mkdir(QStringLiteral("probe"));
    for (const QString &f : folders)
        dir.mkpath(QStringLiteral("probe/") + f);
    for (const QString &f : files)
        touch(QStringLiteral("probe/") + f);
    if (linkToFolder) {
        dir.mkdir(QStringLiteral("elsewhere"));
        QVERIFY(QFile::link(path(QStringLiteral("elsewhere")), path(QStringLiteral("probe/link"))));
    }
    QCOMPARE(TShellStuff::HasSubfolders(path(QStringLiteral("probe"))), expected);
}

void TestMp3Folder::names()
{
    QCOMPARE(TShellStuff::DisplayName(QStringLiteral("/")), QStringLiteral("/"));
    QCOMPARE(TShellStuff::DisplayName(QStringLiteral("/music/rock/")), QStringLiteral("rock"));
    QCOMPARE(TShellStuff::ParsingName(QStringLiteral("/music/./rock/../pop/")), QStringLiteral("/music/pop"));

    TMP3Folder folder;
    folder.SetPath(QStringLiteral("/music/pop/"));
    QCOMPARE(folder.Path, QStringLiteral("/music/pop"));
    QCOMPARE(folder.Name, QStringLiteral("pop"));
    QCOMPARE(folder.GetDisplayName(), QStringLiteral("pop"));
}

void TestMp3Folder::shellInfoAndIcons()
{
    QDir(m_dir->path()).mkpath(QStringLiteral("a/b"));
    TMP3Folder folder;
    QVERIFY(folder.HasSubfolders);
    folder.SetShellInfo(TShellStuff::Entry(path(QStringLiteral("a/b"))));
    QCOMPARE(folder.Name, QStringLiteral("b"));
    QCOMPARE(folder.Path, path(QStringLiteral("a/b")));
    QVERIFY(!folder.HasSubfolders);

    FakeIcons icons;
    folder.SetIcons(icons);
    QCOMPARE(folder.GetImageIndex(), 20);
    QCOMPARE(folder.GetSelectedImageIndex(), 21);
    QCOMPARE(folder.GetLargeImageIndex(), 22);
}

void TestMp3Folder::childrenAndCollectFiles()
{
    auto root = folderNamed(QStringLiteral("root"));
    root->AddChild(fileTitled(QStringLiteral("1.mp3"), {}));
    auto *sub = static_cast<TMP3Folder *>(root->AddChild(folderNamed(QStringLiteral("sub"))));
    sub->AddChild(fileTitled(QStringLiteral("2.mp3"), {}));
    root->AddChild(fileTitled(QStringLiteral("3.mp3"), {}));
    root->IsRead = root->IsReadRecursive = true;

    QCOMPARE(root->ChildCount(), 3);
    QCOMPARE(sub->Folder, root.get());
    QCOMPARE(root->Child(0)->Folder, root.get());

    TMp3FileItemList flat;
    root->CollectFiles(flat, false);
    QCOMPARE(namesOf(flat), (QStringList{"1.mp3", "3.mp3"}));
    TMp3FileItemList deep;
    root->CollectFiles(deep, true);
    QCOMPARE(namesOf(deep), (QStringList{"1.mp3", "2.mp3", "3.mp3"}));
    QCOMPARE(root->Children.FileCount(), 2);
    QCOMPARE(root->Children.FolderCount(), 1);

    TMp3FileItemList items;
    root->GetItems(items);
    QCOMPARE(namesOf(items), (QStringList{"1.mp3", "sub", "3.mp3"}));

    root->ClearChildren();  // frees them (the sanitizer build checks)
    QCOMPARE(root->ChildCount(), 0);
    QVERIFY(!root->IsRead && !root->IsReadRecursive);
}

void TestMp3Folder::treeNodeOffersExpandButton()
{
    TMemoryTree tree;
    auto folder = folderNamed(QStringLiteral("f"));
    folder->HasSubfolders = false;
    auto *node = static_cast<TMemoryTreeNode *>(folder->AddToTree(tree, nullptr));
    QVERIFY(node);
    QCOMPARE(node->text, QStringLiteral("f"));
    QVERIFY(!node->hasChildren);
    folder->HasSubfolders = true;
    node = static_cast<TMemoryTreeNode *>(folder->AddToTree(tree, nullptr));
    QVERIFY(node->hasChildren);
}

void TestMp3Folder::infoSourcesReachEveryFile()
{
    auto root = folderNamed(QStringLiteral("root"));
    auto *sub = static_cast<TMP3Folder *>(root->AddChild(folderNamed(QStringLiteral("sub"))));
    auto *deep = static_cast<TMP3File *>(sub->AddChild(fileTitled(QStringLiteral("a.mp3"), {})));
    root->SetInfoSources(true, true, false, true, false);
    QVERIFY(deep->ManualEntryInfo.Enabled);
    QVERIFY(deep->TrackInfo.Enabled);
    QVERIFY(!deep->ID3v2.Enabled);
    QVERIFY(deep->ID3v1.Enabled);
    QVERIFY(!deep->FilenameInfo.Enabled);
}

void TestMp3Folder::sortByFields()
{
    auto root = folderNamed(QStringLiteral("root"));
    root->AddChild(fileTitled(QStringLiteral("x.mp3"), QStringLiteral("Beta")));
    root->AddChild(folderNamed(QStringLiteral("zeta")));
    root->AddChild(fileTitled(QStringLiteral("y.mp3"), QStringLiteral("alpha")));
    root->AddChild(folderNamed(QStringLiteral("Alpha")));
    root->AddChild(fileTitled(QStringLiteral("z.mp3"), QStringLiteral("Gamma")));

    const TStringDataField title(nullptr, 3, QStringLiteral("Title"), false, 100, 1, -1, TListKinds{3});
    TMp3FileItemList list;
    root->GetItems(list);
    list.SortByFields({{&title, 1}});
    QCOMPARE(namesOf(list), (QStringList{"Alpha", "zeta", "y.mp3", "x.mp3", "z.mp3"}));
    list.SortByFields({{&title, -1}});
    QCOMPARE(namesOf(list), (QStringList{"z.mp3", "x.mp3", "y.mp3", "zeta", "Alpha"}));
    list.SortByFields({});
    QCOMPARE(namesOf(list), (QStringList{"Alpha", "zeta", "x.mp3", "y.mp3", "z.mp3"}));
}

void TestMp3Folder::sortByKeysAsTheFieldsCompare_data()
{
    QTest::addColumn<QList<qint32>>("fieldIDs");
    QTest::addColumn<QList<qint32>>("orders");
    QTest::newRow("title") << QList<qint32>{Mp3FieldIds::Title} << QList<qint32>{1};
    QTest::newRow("artist lookup down, title") << QList<qint32>{Mp3FieldIds::Artist, Mp3FieldIds::Title}
                                               << QList<qint32>{-1, 1};
    QTest::newRow("track number, artist text down")
        << QList<qint32>{Mp3FieldIds::TrackIndex, Mp3FieldIds::ArtistText} << QList<qint32>{1, -1};
    QTest::newRow("year, file name") << QList<qint32>{Mp3FieldIds::Year, Mp3FieldIds::Filename}
                                     << QList<qint32>{1, 1};
    QTest::newRow("no keys") << QList<qint32>{} << QList<qint32>{};
}

void TestMp3Folder::sortByKeysAsTheFieldsCompare()
{
    // Each item's keys are taken once before sorting; the order must stay
    // exactly the one the fields' own comparisons give, ties by path.
    QFETCH(QList<qint32>, fieldIDs);
    QFETCH(QList<qint32>, orders);
    TMp3Root root;
    TSortKeys keys;
    for (int i = 0; i < fieldIDs.size(); ++i)
        keys.append({root.Fields->FindByID(fieldIDs.at(i)), orders.at(i)});
    auto folder = folderNamed(QStringLiteral("root"));
    const QStringList titles{"b", "A", "the c", "B", "", "a"};
    const QStringList artists{"Moe", "the Abe", "moe", "", "Zed", "Abe"};
    for (int i = 0; i < 24; ++i) {
        auto file = fileTitled(QStringLiteral("f%1.mp3").arg((i * 7) % 24, 2, 10, QLatin1Char('0')),
                               titles.at(i % titles.size()));
        file->ID3v2.Artist = artists.at((i / 2) % artists.size());
        file->ID3v2.Track = (i * 5) % 4;
        file->ID3v2.Year = QString::number(1990 + i % 3);
        folder->AddChild(std::move(file));
        if (i % 9 == 0)
            folder->AddChild(folderNamed(QStringLiteral("Sub%1").arg(i)));
    }
    TMp3FileItemList list;
    folder->GetItems(list);
    QList<TMp3FileItem *> expected;
    for (int i = 0; i < list.Count(); ++i)
        expected << list.item(i);
    const int direction = keys.isEmpty() ? 1 : keys.first().Order;
    std::sort(expected.begin(), expected.end(), [&](const TMp3FileItem *a, const TMp3FileItem *b) {
        if (a->isFolder() != b->isFolder())
            return (a->isFolder() ? -direction : direction) < 0;
        if (a->isFolder())
            return direction * a->Name.compare(b->Name, Qt::CaseInsensitive) < 0;
        for (const TSortKey &key : keys)
            if (const int result = key.Field->Compare(a, b) * key.Order)
                return result < 0;
        return a->Path < b->Path;
    });

    list.SortByFields(keys);
    QStringList got;
    QStringList want;
    for (int i = 0; i < list.Count(); ++i) {
        got << list.item(i)->Name;
        want << expected.at(i)->Name;
    }
    QCOMPARE(got, want);
}

void TestMp3Folder::sortByShellOrder()
{
    auto root = folderNamed(QStringLiteral("root"));
    root->AddChild(fileTitled(QStringLiteral("Track 10.mp3"), {}));
    root->AddChild(folderNamed(QStringLiteral("b")));
    root->AddChild(fileTitled(QStringLiteral("track 9.mp3"), {}));
    root->AddChild(folderNamed(QStringLiteral("A")));
    TMp3FileItemList list;
    root->GetItems(list);
    list.SortByShellOrder();
    QCOMPARE(namesOf(list), (QStringList{"A", "b", "track 9.mp3", "Track 10.mp3"}));
}

void TestMp3Folder::clearReadOnlyAll()
{
    TMP3Folder root;
    root.Path = m_dir->path();
    for (const QString &name : {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}) {
        touch(name);
        auto *file = static_cast<TMP3File *>(root.AddChild(std::make_unique<TMP3File>(path(name))));
        QVERIFY(file->SetReadOnly(true));
    }
    root.AddChild(folderNamed(QStringLiteral("sub")));
    QVERIFY(root.Children.ClearReadOnlyAll());
    for (int i = 0; i < 2; ++i)
        QVERIFY(!static_cast<TMP3File *>(root.Child(i))->IsReadOnly());
}

void TestMp3Folder::mappingList()
{
    TMappingList list;
    list.Add(0, 3);
    list.Add(7, 1);
    list.Add(7, 2);
    QCOMPARE(list.Find(7), 1);
    QCOMPARE(list.Find(0), -1);
    QCOMPARE(list.Find(5), -1);
    QCOMPARE(list.Count(), 3);
}

QTEST_APPLESS_MAIN(TestMp3Folder)
#include "tst_mp3folder.moc"
