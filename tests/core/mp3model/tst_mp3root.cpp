#include "core/data/datafield.h"
#include "fakemounttable.h"
#include "memorysettingsstore.h"
#include "memorytree.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3root.h"

#include <QTest>

#include <memory>

using namespace Mp3FieldIds;

namespace {

QStringList names(const TLookupList &list)
{
    QStringList result;
    for (int i = 0; i < list.Count(); ++i)
        result.append(list.Get(i)->DisplayName);
    return result;
}

QList<qint32> columnIDs(const TLookupColumns &columns)
{
    QList<qint32> ids;
    for (const TLookupColumn &column : columns)
        ids.append(column.Field->ID);
    return ids;
}

} // namespace

class tst_Mp3Root : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookupListsOfNewRoot_data();
    void lookupListsOfNewRoot();
    void classificationEntries();
    void getLookupList();
    void collectionTexts();
    void clearResetsListsAndTracks();

    void catalogueHoldsAllFields();
    void catalogueCategories();
    void catalogueFieldDetails_data();
    void catalogueFieldDetails();
    void defaultColumns_data();
    void defaultColumns();
    void groupPresets();
    void lookupFieldColumns();

    void locationImages_data();
    void locationImages();
    void locationFromPath_data();
    void locationFromPath();
    void locationDriveLabel();
    void albumChildren();

    void filePathList();
    void mergeAndImportItems();
    void importOfUnreadableFileChangesNothing();
    void defaultsInSettings();
};

void tst_Mp3Root::lookupListsOfNewRoot_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("fieldID");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    QTest::newRow("Artists") << 0 << Artist << 0 << "" << "";
    QTest::newRow("OriginalArtists") << 1 << OriginalArtist << 0 << "" << "";
    QTest::newRow("Lyricists") << 2 << Lyricist << 0 << "" << "";
    QTest::newRow("Conductors") << 3 << Conductor << 0 << "" << "";
    QTest::newRow("Composers") << 4 << Composer << 0 << "" << "";
    QTest::newRow("GenreList") << 5 << Genre << 0 << "" << "";
    QTest::newRow("Labels") << 6 << Label << 0 << "" << "";
    QTest::newRow("Orchestras") << 7 << Orchestra << 0 << "" << "";
    QTest::newRow("Years") << 8 << Year << 56 << "1950" << "2005";
    QTest::newRow("Tempos") << 9 << Tempo << 6 << "Fast" << "Slow";
    QTest::newRow("Moods") << 10 << Mood << 7 << "Comatose" << "Wild";
    QTest::newRow("Situations") << 11 << Situation << 10 << "Any" << "Seasonal";
    QTest::newRow("Preferences") << 12 << Preference << 7 << "Bad Taste" << "Very Good";
    QTest::newRow("Locations") << 13 << Location << 0 << "" << "";
    QTest::newRow("Albums") << 14 << Album << 0 << "" << "";
}

void tst_Mp3Root::lookupListsOfNewRoot()
{
    QFETCH(int, position);
    QFETCH(int, fieldID);
    QFETCH(int, count);
    TMp3Root root;
    const QList<TLookupList *> lists = root.lookupLists();
    QCOMPARE(lists.size(), 15);
    TLookupList *list = lists.at(position);
    QCOMPARE(list->FieldID, fieldID);
    QCOMPARE(list->Owner, &root);
    QCOMPARE(list->Count(), count);
    if (count > 0) {
        QTEST(list->Get(0)->DisplayName, "first");
        QTEST(list->Get(count - 1)->DisplayName, "last");
    }
}

void tst_Mp3Root::classificationEntries()
{
    TMp3Root root;
    QCOMPARE(names(*root.Tempos), QStringList({"Fast", "Moderate", "None", "Pretty Fast", "Pretty Slow", "Slow"}));
    QCOMPARE(names(*root.Situations),
             QStringList({"Any", "Background", "Dance", "Dinner", "Drunken Brawl", "None", "Party", "Rave",
                          "Romantic", "Seasonal"}));
    QCOMPARE(names(*root.Preferences),
             QStringList({"Bad Taste", "Excellent", "Fair", "Good", "None", "Poor", "Very Good"}));
    // The lists' item classes.
    QVERIFY(dynamic_cast<TPersonLookupItem *>(root.Artists->CreateItem()));
    QVERIFY(dynamic_cast<TAlbumLookupItem *>(root.Albums->CreateItem()));
    QVERIFY(dynamic_cast<TLocationLookupItem *>(root.Locations->CreateItem()));
    QVERIFY(dynamic_cast<TSortLookupItem *>(root.Labels->CreateItem()));
    QVERIFY(dynamic_cast<TMp3Track *>(root.GetTracks()->CreateItem()));
}

void tst_Mp3Root::getLookupList()
{
    TMp3Root root;
    QVERIFY(!root.GetLookupList(root.Fields->FindByID(ArtistText)));
    QVERIFY(!root.GetLookupList(root.Fields->FindByID(Title)));
    QVERIFY(!root.GetLookupList(nullptr));
    QCOMPARE(root.GetLookupList(root.Fields->FindByID(OriginalArtist)), root.OriginalArtists.get());
    for (TLookupList *list : root.lookupLists())
        QCOMPARE(root.GetLookupList(root.Fields->FindByID(list->FieldID)), list);
}

void tst_Mp3Root::collectionTexts()
{
    TMp3Root root;
    QCOMPARE(root.GetFileFilter(), QStringLiteral("MP3 Collections (*.tbx)"));
    QCOMPARE(root.GetCollectionName(), QStringLiteral("MP3 Collection"));
    QCOMPARE(root.GetTypeName(), QStringLiteral("MP3"));
    QCOMPARE(root.GetDataVersion(), 100);
    QCOMPARE(root.GetDisplayName(), QStringLiteral("[New Collection]"));
    QVERIFY(dynamic_cast<TMp3GlobalDataFieldList *>(root.Fields.get()));
    QVERIFY(dynamic_cast<TMP3Defaults *>(root.Defaults.get()));
}

void tst_Mp3Root::clearResetsListsAndTracks()
{
    TMp3Root root;
    root.FileName = QStringLiteral("/tmp/x.tbx");
    root.Artists->FindOrAdd(QStringLiteral("Anna"));
    root.Tempos->FindByName(QStringLiteral("Fast"))->GetID();
    root.Tempos->AddNew(QStringLiteral("Very Fast"));
    root.GetTracks()->CreateItem()->GetID();
    QVERIFY(root.NextID > 0);

    root.Clear();
    QCOMPARE(root.FileName, QString());
    QCOMPARE(root.NextID, 0);
    QCOMPARE(root.GetTracks()->Count(), 0);
    QCOMPARE(root.Artists->Count(), 0);
    QCOMPARE(root.Tempos->Count(), 6);
    QCOMPARE(root.Years->Count(), 56);
}

void tst_Mp3Root::catalogueHoldsAllFields()
{
    TMp3Root root;
    const TGlobalDataFieldList &fields = *root.Fields;
    QCOMPARE(fields.Count(), 73);
    QSet<qint32> ids;
    for (int i = 0; i < fields.Count(); ++i)
        ids.insert(fields.Get(i)->ID);
    QCOMPARE(ids.size(), 73);
    for (qint32 id = 1; id <= 66; ++id)
        QVERIFY2(ids.contains(id), qPrintable(QString::number(id)));
    QCOMPARE(fields.FindByID(2000)->Name, QStringLiteral("Drive Label"));
    QCOMPARE(fields.FindByID(4)->Name, QStringLiteral("Title The"));
    // The common fields come first, the MP3 fields in catalogue order.
    QCOMPARE(fields.Get(7)->ID, FieldIds::SortName);
    QCOMPARE(fields.Get(8)->ID, Title);
    QCOMPARE(fields.Get(72)->ID, PreferenceText);
}

void tst_Mp3Root::catalogueCategories()
{
    TMp3Root root;
    QCOMPARE(root.Fields->Categories,
             QStringList({"ID", "Main", "File", "Credits", "URL", "MusicMatch"}));
    QCOMPARE(root.Fields->FindByID(AudioURL)->Category, 4);
    QCOMPARE(root.Fields->FindByID(DriveLabel)->Category, -1);
    QCOMPARE(root.Fields->FindByID(Location)->Category, 2);
    QCOMPARE(root.Fields->FindByID(ArtistText)->Category, 1);
    QCOMPARE(root.Fields->FindByID(ComposerText)->Category, 3);
    QCOMPARE(root.Fields->FindByID(PreferenceText)->Category, 5);
}

void tst_Mp3Root::catalogueFieldDetails_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("inheritable");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("listKinds");
    QTest::addColumn<bool>("filterByItems");
    QTest::addColumn<int>("maxValues");

    using L = QList<int>;
    QTest::newRow("Title") << Title << "Title" << "string" << false << 100 << L{2, 3, 4} << false << 0;
    QTest::newRow("Artist") << Artist << "Artist" << "person" << true << 100 << L{2} << false << 1;
    QTest::newRow("Genre") << Genre << "Genre" << "lookup" << false << 100 << L{2} << true << 2;
    QTest::newRow("Label") << Label << "Label" << "sort" << false << 100 << L{2} << false << 1;
    QTest::newRow("Year") << Year << "Year" << "lookup" << false << 50 << L{2} << true << 1;
    QTest::newRow("Album") << Album << "Album" << "album" << false << 150 << L{2} << false << 1;
    QTest::newRow("Location") << Location << "Location" << "location" << false << 100 << L{2} << true << 1;
    QTest::newRow("Filename") << Filename << "Filename" << "string" << false << 150 << L{2, 3, 4, 5} << false
                              << 0;
    QTest::newRow("Length") << Length << "Length" << "integer" << false << 60 << L{2, 3, 5} << false << 0;
    QTest::newRow("Header") << HeaderPosition << "Header found at" << "integer" << false << 50 << L{3}
                            << false << 0;
    QTest::newRow("Format") << FilenameFormat << "Filename Format" << "string" << false << 100 << L{3}
                            << false << 0;
    QTest::newRow("VBR") << VBR << "VBR" << "boolean" << true << 50 << L{2, 3} << false << 0;
    QTest::newRow("Emphasis") << Emphasis << "Emphasis" << "string" << false << 50 << L{2, 3} << false << 0;
    QTest::newRow("Drive Label") << DriveLabel << "Drive Label" << "string" << false << 50 << L{1} << false
                                 << 0;
    QTest::newRow("tag Artist") << ArtistText << "Artist" << "string" << true << 100 << L{3, 4} << false << 0;
    QTest::newRow("New Filename") << NewFilename << "New Filename" << "string" << false << 150 << L{}
                                  << false << 0;
    QTest::newRow("Playlist Index") << PlaylistIndex << "Playlist Index" << "integer" << false << 80 << L{5}
                                    << false << 0;
    QTest::newRow("Composer") << Composer << "Composer" << "person" << true << 100 << L{2} << true << 1;
    QTest::newRow("Orchestra") << Orchestra << "Orchestra" << "sort" << false << 100 << L{2} << true << 1;
    QTest::newRow("Tempo") << Tempo << "Tempo" << "lookup" << false << 50 << L{2} << true << 1;
    QTest::newRow("tag Tempo") << TempoText << "Tempo" << "string" << false << 50 << L{3, 4} << false << 0;
}

void tst_Mp3Root::catalogueFieldDetails()
{
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QList<int>, listKinds);
    TMp3Root root;
    const TDataField *field = root.Fields->FindByID(id);
    QVERIFY(field);
    QTEST(field->Name, "name");
    QTEST(field->Inheritable, "inheritable");
    QTEST(int(field->DefaultWidth), "width");
    QCOMPARE(field->DefaultOrder, 1);
    for (int listKind = 0; listKind < 256; ++listKind)
        QCOMPARE(field->ListKinds.contains(listKind), listKinds.contains(listKind));

    const char *actualKind = dynamic_cast<const TLocationLookupDataField *>(field) ? "location"
                             : dynamic_cast<const TAlbumLookupDataField *>(field)  ? "album"
                             : dynamic_cast<const TPersonLookupDataField *>(field) ? "person"
                             : dynamic_cast<const TSortLookupDataField *>(field)   ? "sort"
                             : dynamic_cast<const TLookupDataField *>(field)       ? "lookup"
                             : dynamic_cast<const TBooleanDataField *>(field)      ? "boolean"
                             : dynamic_cast<const TStringDataField *>(field)       ? "string"
                             : dynamic_cast<const TIntegerDataField *>(field)      ? "integer"
                                                                                   : "other";
    QCOMPARE(QString::fromLatin1(actualKind), kind);
    if (const auto *text = dynamic_cast<const TStringDataField *>(field))
        QCOMPARE(text->SortFieldID, -1);
    if (const auto *lookup = dynamic_cast<const TLookupDataField *>(field)) {
        QTEST(lookup->FilterByItems, "filterByItems");
        QTEST(int(lookup->MaxValues), "maxValues");
    }
}

void tst_Mp3Root::defaultColumns_data()
{
    QTest::addColumn<int>("listKind");
    QTest::addColumn<QList<qint32>>("columns");
    QTest::newRow("none") << 0 << QList<qint32>{};
    QTest::newRow("lookups") << 1 << QList<qint32>{};
    QTest::newRow("tracks") << 2 << QList<qint32>{66, 6, 3, 11, 15, 14, 19};
    QTest::newRow("files") << 3 << QList<qint32>{12, 29, 3, 33, 15, 14, 19};
    QTest::newRow("files with tags") << 4 << QList<qint32>{12, 29, 3, 33, 27, 30, 32};
    QTest::newRow("playlist") << 5 << QList<qint32>{35, 36, 15, 66};
}

void tst_Mp3Root::defaultColumns()
{
    QFETCH(int, listKind);
    TMp3Root root;
    QTEST(root.Fields->DefaultColumns[size_t(listKind)], "columns");
    // Every default column may be chosen in its list kind.
    for (qint32 id : root.Fields->DefaultColumns[size_t(listKind)])
        QVERIFY(root.Fields->FindByID(id)->ListKinds.contains(listKind));
}

void tst_Mp3Root::groupPresets()
{
    TMp3Root root;
    const QList<QList<qint32>> expected = {{13, 6, 11}, {7, 6, 11}, {6, 11}, {6}, {11}, {13}, {7}};
    QCOMPARE(root.Fields->GroupPresets[ListKind::MainItems], expected);
    for (int kind : {0, 1, 3, 4, 5})
        QVERIFY(root.Fields->GroupPresets[size_t(kind)].isEmpty());
}

void tst_Mp3Root::lookupFieldColumns()
{
    TMp3Root root;
    auto *location = static_cast<TLookupDataField *>(root.Fields->FindByID(Location));
    auto *album = static_cast<TLookupDataField *>(root.Fields->FindByID(Album));
    auto *artist = static_cast<TLookupDataField *>(root.Fields->FindByID(Artist));
    QCOMPARE(columnIDs(location->GetColumns()), QList<qint32>({1005, 1001, 1002, 1004, 2000, 1000, 1}));
    QCOMPARE(columnIDs(album->GetColumns()), QList<qint32>({1005, 1001, 1002, 1004, 6, 1000, 1}));
    QCOMPARE(album->GetColumns().at(4).Width, 100);
    QCOMPARE(location->GetColumns().at(4).Width, 70);
    QCOMPARE(columnIDs(artist->GetColumns()), QList<qint32>({1005, 1001, 1003, 1002, 1004, 1000, 1}));

    // Album items hold no artist: that column is empty.
    TLookupItem *item = root.Albums->FindOrAdd(QStringLiteral("Glow"));
    QCOMPARE(item->GetValueAsString(root.Fields->FindByID(Artist)), QString());
}

void tst_Mp3Root::locationImages_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("large");
    QTest::newRow("unknown") << 0 << 2 << 3 << -1;
    QTest::newRow("no root") << 1 << 2 << 3 << -1;
    QTest::newRow("removable") << 2 << 23 << 24 << 9;
    QTest::newRow("fixed") << 3 << 19 << 20 << 7;
    QTest::newRow("network") << 4 << 21 << 22 << 8;
    QTest::newRow("cd") << 5 << 17 << 18 << 6;
    QTest::newRow("ram") << 6 << 2 << 3 << -1;
}

void tst_Mp3Root::locationImages()
{
    QFETCH(int, driveType);
    TLocationLookupItem item;
    item.DriveType = quint8(driveType);
    QTEST(item.GetImageIndex(), "image");
    QTEST(item.GetSelectedImageIndex(), "selected");
    QTEST(item.GetLargeImageIndex(), "large");
}

void tst_Mp3Root::locationFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QString>("label");
    QTest::newRow("share") << "\\\\srv\\mp3\\pop\\x.mp3" << 4 << "srv\\mp3";
    QTest::newRow("server only") << "\\\\srv" << 4 << "srv";
    QTest::newRow("cd") << "/media/anna/DISC1/a.mp3" << 5 << "DISC1";
    QTest::newRow("fixed") << "/home/anna/Music/a.mp3" << 3 << "home";
}

void tst_Mp3Root::locationFromPath()
{
    QFETCH(QString, path);
    TFakeMountTable mounts;
    mounts.add(QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/home"), QStringLiteral("/dev/sda2"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/media/anna/DISC1"), QStringLiteral("/dev/sr0"), QStringLiteral("iso9660"),
               QStringLiteral("DISC1"), true);
    TLocationLookupItem item;
    item.SetFromPath(path, mounts);
    QTEST(int(item.DriveType), "driveType");
    QTEST(item.DriveLabel, "label");
}

void tst_Mp3Root::locationDriveLabel()
{
    TMp3Root root;
    auto *music = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(QStringLiteral("Music")));
    music->DriveLabel = QStringLiteral("DISC1");
    music->DriveType = 5;
    QCOMPARE(root.Locations->FindByDriveLabel(QStringLiteral("DISC1")), music);
    QVERIFY(!root.Locations->FindByDriveLabel(QStringLiteral("disc1")));
    QCOMPARE(music->GetValueAsString(root.Fields->FindByID(DriveLabel)), QStringLiteral("DISC1"));
    QCOMPARE(music->GetValueAsString(root.Fields->FindByID(FieldIds::DisplayName)), QStringLiteral("Music"));

    std::unique_ptr<TDataItem> clone = music->Clone(nullptr, true);
    auto *copy = dynamic_cast<TLocationLookupItem *>(clone.get());
    QVERIFY(copy);
    QCOMPARE(copy->DriveLabel, QStringLiteral("DISC1"));
    QCOMPARE(copy->DriveType, quint8(5));
    QCOMPARE(copy->GetID(), music->GetID());
}

void tst_Mp3Root::albumChildren()
{
    TMp3Root root;
    auto *glow = static_cast<TAlbumLookupItem *>(root.Albums->FindOrAdd(QStringLiteral("Glow")));
    auto *other = static_cast<TAlbumLookupItem *>(root.Albums->FindOrAdd(QStringLiteral("Other")));
    QCOMPARE(glow->GetImageIndex(), 9);
    QCOMPARE(glow->GetSelectedImageIndex(), 10);
    for (const char *title : {"One", "Two", "Three"}) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Title = QString::fromLatin1(title);
        track->Album = qstrcmp(title, "Two") == 0 ? other : glow;
    }

    TMemoryTree tree;
    auto *node = static_cast<TMemoryTreeNode *>(glow->AddToTree(tree, nullptr));
    QVERIFY(node->hasChildren);
    QCOMPARE(node->imageIndex, 9);
    glow->AddChildNodes(tree, node);
    QCOMPARE(tree.childTexts(node), QStringList({" - One", " - Three"}));
    QCOMPARE(node->children.at(1)->object, root.GetTracks()->Get(2));
    QCOMPARE(node->children.at(1)->imageIndex, 7);
    QVERIFY(node->hasChildren);

    TDataRefList items;
    other->GetItems(items);
    QCOMPARE(items.Count(), 1);
    QCOMPARE(items.Get(0), root.GetTracks()->Get(1));

    auto *empty = static_cast<TAlbumLookupItem *>(root.Albums->FindOrAdd(QStringLiteral("Empty")));
    auto *emptyNode = static_cast<TMemoryTreeNode *>(empty->AddToTree(tree, nullptr));
    empty->AddChildNodes(tree, emptyNode);
    QVERIFY(emptyNode->children.isEmpty());
    QVERIFY(!emptyNode->hasChildren);
}

void tst_Mp3Root::filePathList()
{
    TMp3Root root;
    auto addTrack = [&root](const QString &path) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->FilePath = path;
        return track;
    };
    TMp3Track *upper = addTrack(QStringLiteral("/m/B/Song.mp3"));
    TMp3Track *lower = addTrack(QStringLiteral("/m/b/song.mp3"));
    TMp3Track *alone = addTrack(QStringLiteral("/m/a/Alone.mp3"));
    TMp3Track *last = addTrack(QStringLiteral("/m/z.mp3"));

    TFilePathList paths;
    paths.append(QStringLiteral("stale"), nullptr);
    root.GetFilePathList(paths);
    QCOMPARE(paths.count(), 4);
    QCOMPARE(paths.at(0).Track, alone);
    QCOMPARE(paths.at(3).Track, last);

    // Exact first; case-insensitive only when that leaves one candidate.
    QCOMPARE(paths.find(QStringLiteral("/m/B/Song.mp3")), upper);
    QCOMPARE(paths.find(QStringLiteral("/m/b/song.mp3")), lower);
    QVERIFY(!paths.find(QStringLiteral("/M/B/SONG.MP3")));
    QCOMPARE(paths.find(QStringLiteral("/M/A/alone.mp3")), alone);
    QCOMPARE(paths.find(QStringLiteral("/m/z.mp3")), last);
    QVERIFY(!paths.find(QStringLiteral("/m/y.mp3")));
    QVERIFY(!paths.find(QString()));
}

void tst_Mp3Root::mergeAndImportItems()
{
    TMp3Root root;
    TLookupItem *existing = root.Artists->AddNew(QStringLiteral("Lanterns, The"));
    static_cast<TPersonLookupItem *>(existing)->GenerateNamePartsFromName();
    root.Artists->ItemChanged(existing);
    root.GetTracks()->CreateItem();

    TMp3Root other;
    auto *theirs = static_cast<TPersonLookupItem *>(other.Artists->AddNew(QStringLiteral("The Lanterns")));
    theirs->GenerateNamePartsFromName();
    other.Artists->ItemChanged(theirs);
    QCOMPARE(theirs->GetSortName(), existing->GetSortName());
    TLookupItem *newGenre = other.GenreList->AddNew(QStringLiteral("Folk"));
    for (int i = 0; i < 2; ++i) {
        auto *track = static_cast<TMp3Track *>(other.GetTracks()->CreateItem());
        track->Artist = theirs;
        track->Genres->Add(newGenre);
        track->Year = other.Years->FindByName(QStringLiteral("1999"));
    }

    root.MergeLookupLists(other);
    root.ImportItems(other);

    QCOMPARE(root.Artists->Count(), 1);
    QCOMPARE(root.GenreList->Count(), 1);
    QCOMPARE(root.Years->Count(), 56);
    QCOMPARE(other.GetTracks()->Count(), 0);
    QCOMPARE(root.GetTracks()->Count(), 3);
    for (int i = 1; i < 3; ++i) {
        TMp3Track *track = root.GetTracks()->Get(i);
        QCOMPARE(track->Owner, root.GetTracks());
        QCOMPARE(static_cast<TLookupItem *>(track->Artist), existing);
        QCOMPARE(track->Genres->First(), root.GenreList->Get(0));
        QCOMPARE(track->Year, root.Years->FindByName(QStringLiteral("1999")));
    }
    QCOMPARE(root.GenreList->Get(0)->Owner, root.GenreList.get());
}

void tst_Mp3Root::importOfUnreadableFileChangesNothing()
{
    TMp3Root root;
    root.Artists->AddNew(QStringLiteral("Anna"));
    root.GetTracks()->CreateItem();
    QVERIFY(!root.ImportFromFile(QStringLiteral("/nonexistent/folder/x.tbx")));
    QCOMPARE(root.Artists->Count(), 1);
    QCOMPARE(root.GetTracks()->Count(), 1);
}

void tst_Mp3Root::defaultsInSettings()
{
    TMemorySettingsStore store;
    TMP3Defaults defaults;
    defaults.DefaultYear = QStringLiteral("stale");
    defaults.Load(store);
    QCOMPARE(defaults.DefaultYear, QString());
    QCOMPARE(defaults.DefaultGenre, QString());
    QCOMPARE(defaults.DefaultLocation, QString());

    defaults.DefaultYear = QStringLiteral("2001");
    defaults.DefaultGenre = QStringLiteral("Pop");
    defaults.DefaultLocation = QStringLiteral("Music");
    defaults.Save(store);
    QCOMPARE(store.ReadString(QStringLiteral("Defaults"), QStringLiteral("Genre")), QStringLiteral("Pop"));

    TMP3Defaults loaded;
    loaded.Load(store);
    QCOMPARE(loaded.DefaultYear, QStringLiteral("2001"));
    QCOMPARE(loaded.DefaultGenre, QStringLiteral("Pop"));
    QCOMPARE(loaded.DefaultLocation, QStringLiteral("Music"));
}

QTEST_APPLESS_MAIN(tst_Mp3Root)
#include "tst_mp3root.moc"
