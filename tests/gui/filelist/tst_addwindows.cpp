#include "filelistfixture.h"

#include "core/files/scanindex.h"

#include "core/data/dataexceptions.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/filelist/addfilelist.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/newcollection.h"
#include "gui/filelist/updatetracks.h"
#include "gui/lookups/lookupitem.h"
#include "gui/shell/showhint.h"
#include "core/mp3model/mp3lookups.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

QStringList previewColumn(const TfmFileListBase &window, int column)
{
    QStringList texts;
    const TFilePreviewModel *model = window.Model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, column)).toString();
    return texts;
}

int columnOf(const TfmFileListBase &window, qint32 fieldID)
{
    const auto &columns = window.Model()->Columns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).Field && columns.at(i).Field->ID == fieldID)
            return i;
    return -1;
}

// Answers the next modal window with its OK or Cancel, after setting the
// name of a lookup item window when one is given.
void answerLookupWindow(bool ok, const QString &name, QString *seenName, QString *seenTitle)
{
    QTimer::singleShot(0, [=] {
        auto *window = qobject_cast<TfmLookupItemBase *>(QApplication::activeModalWidget());
        QVERIFY(window);
        *seenName = window->edName->text();
        *seenTitle = window->windowTitle();
        if (!name.isEmpty())
            window->edName->setText(name);
        (ok ? window->btOK : window->btCancel)->click();
    });
}

} // namespace

class TestAddWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openFormRefusesBothOrNoSource();
    void previewListsFilesOfSubfoldersOnlyWhenAsked();
    void headerClicksSortAndReverse();
    void storedColumnWidthBelowZeroOpensAs100();
    void linksFilesToTracksIgnoringCaseWhenUnique();
    void addsWithLocationAndDefaults();
    void summaryThenSaveOverTheFilesAdded();
    void filesInCollectionAreLeftOutUnlessUpdating();
    void updateModeKeepsLocationAndUpdatesAll();
    void updateModeLetsTagsReplaceTrackValues();
    void unreadableFileIsNotAdded();
    void clearNowNeedsTheBox();
    void repairListsNothingMissing();
    void repairFindsMovedFileAndCallerSaves();
    void repairRemovesTracks();
    void newCollectionPromptStoresShowAgain_data();
    void newCollectionPromptStoresShowAgain();
    void previewFillsWhileFilesAreRead();
    void closingWhileReadingCancelsAndCloses_data();
    void closingWhileReadingCancelsAndCloses();
    void locationButtonEditsOrAddsLocation_data();
    void locationButtonEditsOrAddsLocation();
    void locationButtonShowsTipBeforeFirstAdd();
    void rescanPassesOverFilesTheIndexKnows();
};

void TestAddWindows::openFormRefusesBothOrNoSource()
{
    FileListFixture f;
    TMp3FileItemList list;
    auto folder = f.folder();
    QVERIFY_THROWS_EXCEPTION(EData, CheckFileListSource(&list, folder.get()));
    QVERIFY_THROWS_EXCEPTION(EData, CheckFileListSource(nullptr, nullptr));
    CheckFileListSource(&list, nullptr);
    CheckFileListSource(nullptr, folder.get());
}

void TestAddWindows::previewListsFilesOfSubfoldersOnlyWhenAsked()
{
    FileListFixture f;
    f.addSong(QStringLiteral("Top - One.mp3"), {});
    f.addSong(QStringLiteral("sub/Deep - Two.mp3"), {});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.Files.Count(), 2);
    QCOMPARE(window.pnCount->text(), QStringLiteral("2 files in list"));
    QVERIFY(window.windowTitle().endsWith(folder->Path));

    window.ckRecursive->setChecked(false);
    QCOMPARE(window.Files.Count(), 1);
    QCOMPARE(window.Model()->rowCount(), 1);

    // A list holding a folder: the folder counts only with subfolders.
    auto listed = f.folder(QStringLiteral("sub"));
    TMp3FileItemList list;
    list.Add(listed.get());
    TfmAddFilelist second(nullptr, f.context(), false);
    second.SetSource(&list, nullptr);
    second.Open();
    QCOMPARE(second.Files.Count(), 1);
    QCOMPARE(second.windowTitle(), QStringLiteral("Add MP3 Files to Collection - 1 Files"));
    second.ckRecursive->setChecked(false);
    QCOMPARE(second.Files.Count(), 0);
}

void TestAddWindows::headerClicksSortAndReverse()
{
    FileListFixture f;
    f.addSong(QStringLiteral("b.mp3"), {QStringLiteral("Beta"), QStringLiteral("Zed"), {}});
    f.addSong(QStringLiteral("a.mp3"), {QStringLiteral("Alpha"), QStringLiteral("Moe"), {}});
    f.addSong(QStringLiteral("c.mp3"), {QStringLiteral("Gamma"), QStringLiteral("Abe"), {}});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    const int title = columnOf(window, Mp3FieldIds::Title);
    const int artist = columnOf(window, Mp3FieldIds::ArtistText);
    QVERIFY(title >= 0 && artist >= 0);

    window.HeaderClick(title);
    QCOMPARE(previewColumn(window, title), (QStringList{"Alpha", "Beta", "Gamma"}));
    window.HeaderClick(title);
    QCOMPARE(previewColumn(window, title), (QStringList{"Gamma", "Beta", "Alpha"}));
    window.HeaderClick(artist);
    QCOMPARE(previewColumn(window, artist), (QStringList{"Abe", "Moe", "Zed"}));
    QCOMPARE(window.SelectedRow(), 0);
}

void TestAddWindows::storedColumnWidthBelowZeroOpensAs100()
{
    FileListFixture f;
    f.addSong(QStringLiteral("a.mp3"), {});
    TColumnFieldRefList columns(ListKind::Files, &f.root);
    columns.Add(std::make_unique<TColumnField>(f.root.Fields->FindByID(Mp3FieldIds::Title), -1));
    columns.Add(std::make_unique<TColumnField>(f.root.Fields->FindByID(Mp3FieldIds::Filename), 240));
    columns.SaveToSettings(f.store, QStringLiteral("fmAddFilelist\\FilePreviewColumnFields"));
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.Model()->columnCount(), 2);
    QCOMPARE(window.lvPreview->columnWidth(0), 100);
    QCOMPARE(window.lvPreview->columnWidth(1), 240);
}

void TestAddWindows::linksFilesToTracksIgnoringCaseWhenUnique()
{
    FileListFixture f;
    const QString one = f.addSong(QStringLiteral("One.mp3"), {});
    const QString two = f.addSong(QStringLiteral("Two.mp3"), {});
    TMp3Track *first = f.addTrack(QFileInfo(one).absolutePath() + QStringLiteral("/ONE.mp3"), QStringLiteral("x"));
    // Two tracks that differ only in case: neither is taken for "Two.mp3".
    f.addTrack(QFileInfo(two).absolutePath() + QStringLiteral("/TWO.mp3"), QStringLiteral("y"));
    f.addTrack(QFileInfo(two).absolutePath() + QStringLiteral("/two.MP3"), QStringLiteral("z"));
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.Files.Count(), 2);
    TMP3File *fileOne = window.FileAt(0)->Name == QLatin1String("One.mp3") ? window.FileAt(0) : window.FileAt(1);
    TMP3File *fileTwo = fileOne == window.FileAt(0) ? window.FileAt(1) : window.FileAt(0);
    QCOMPARE(fileOne->TrackInfo.LinkedTrack, first);
    QVERIFY(!fileTwo->TrackInfo.HasTrack());
    // The links do not outlive the window: the collection may go first.
    window.reject();
    QVERIFY(!fileOne->TrackInfo.HasTrack());
}

void TestAddWindows::addsWithLocationAndDefaults()
{
    FileListFixture f;
    f.addSong(QStringLiteral("Moe - Alpha.mp3"), {QStringLiteral("Alpha"), {}, QStringLiteral("Best")});
    f.addSong(QStringLiteral("Moe - Beta.mp3"), {QStringLiteral("Beta"), {}, QStringLiteral("Best")});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.cbLocation->setEditText(QStringLiteral("Shelf"));
    window.btOK->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));

    QCOMPARE(f.root.GetTracks()->Count(), 2);
    TLookupItem *shelf = f.root.Locations->FindByName(QStringLiteral("Shelf"));
    QVERIFY(shelf);
    QStringList titles;
    for (int i = 0; i < 2; ++i) {
        const TMp3Track *track = f.root.GetTracks()->Get(i);
        QCOMPARE(static_cast<TLookupItem *>(track->Location), shelf);
        QVERIFY(track->Index > 0);
        QVERIFY(QFileInfo::exists(track->FilePath));
        // The file name supplies the artist the tags lack.
        QCOMPARE(track->Artist ? track->Artist->GetDisplayName() : QString(), QStringLiteral("Moe"));
        titles << track->Title;
    }
    titles.sort();
    QCOMPARE(titles, (QStringList{"Alpha", "Beta"}));
    QVERIFY(f.services.messages.last().startsWith(QStringLiteral("2 files added, 0 updated, 0 failed")));
}

void TestAddWindows::summaryThenSaveOverTheFilesAdded()
{
    FileListFixture f;
    f.addSong(QStringLiteral("Moe - Alpha.mp3"), {QStringLiteral("Alpha"), {}, {}});
    f.addSong(QStringLiteral("Moe - Beta.mp3"), {QStringLiteral("Beta"), {}, {}});
    auto folder = f.folder();
    TFileListContext context = f.context();
    TfmAddFilelist *window = nullptr;
    QStringList messagesAtSave;
    int rowsAtSave = -1;
    context.SaveCollection = [&] {
        messagesAtSave = f.services.messages;
        rowsAtSave = window->Model()->rowCount();
        return true;
    };
    TfmAddFilelist shown(nullptr, context, false);
    window = &shown;
    shown.SetSource(nullptr, folder.get());
    shown.Open();
    shown.btOK->click();
    // The user has read what was added, and the list is still there.
    QCOMPARE(messagesAtSave.size(), 1);
    QVERIFY(messagesAtSave.first().startsWith(QStringLiteral("2 files added")));
    QCOMPARE(rowsAtSave, 2);
    QCOMPARE(f.services.messages.size(), 1);
}

void TestAddWindows::filesInCollectionAreLeftOutUnlessUpdating()
{
    FileListFixture f;
    const QString known = f.addSong(QStringLiteral("known.mp3"), {QStringLiteral("New Title"), {}, {}});
    f.addSong(QStringLiteral("new.mp3"), {});
    TMp3Track *track = f.addTrack(known, QStringLiteral("Old Title"));
    f.store.WriteBool(QStringLiteral("fmAddFilelist"), QStringLiteral("UpdateIfInCollection"), false);
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.Files.Count(), 1);
    QCOMPARE(window.FileAt(0)->Name, QStringLiteral("new.mp3"));

    window.ckUpdateIfInCollection->setChecked(true);
    QCOMPARE(window.Files.Count(), 2);
    window.ckUpdateIfInCollection->setChecked(false);
    window.btOK->click();
    QCOMPARE(f.root.GetTracks()->Count(), 2);
    QCOMPARE(track->Title, QStringLiteral("Old Title"));
}

void TestAddWindows::updateModeKeepsLocationAndUpdatesAll()
{
    FileListFixture f;
    const QString path = f.addSong(QStringLiteral("song.mp3"), {QStringLiteral("Tag Title"), QStringLiteral("Tag Artist"), {}});
    TMp3Track *track = f.addTrack(path, QStringLiteral("Own Title"));
    track->Size = 1;
    auto *home = static_cast<TLocationLookupItem *>(f.root.Locations->FindOrAdd(QStringLiteral("Home")));
    track->Location = home;
    // A stored "no" of the add mode's box must not empty the update list.
    f.store.WriteBool(QStringLiteral("fmAddFilelist"), QStringLiteral("UpdateIfInCollection"), false);

    TDataRefList tracks;
    tracks.Add(track);
    std::vector<std::unique_ptr<TMP3File>> files;
    f.process.FilesForTracks(tracks, files);
    QCOMPARE(files.size(), size_t(1));
    TMp3FileItemList list;
    list.Add(files.front().get());

    TfmAddFilelist window(nullptr, f.context(), true);
    window.SetSource(&list, nullptr);
    window.Open();
    QCOMPARE(window.windowTitle(), QStringLiteral("Update Collection - 1 Files"));
    QVERIFY(window.ckUpdateIfInCollection->isHidden());
    QCOMPARE(window.Files.Count(), 1);
    window.cbLocation->setEditText(QStringLiteral("Elsewhere"));
    window.btOK->click();

    QCOMPARE(f.root.GetTracks()->Count(), 1);
    QCOMPARE(track->Location, home);
    QCOMPARE(track->Title, QStringLiteral("Own Title"));      // the track's own value stays
    QCOMPARE(track->Artist->GetDisplayName(), QStringLiteral("Tag Artist"));  // a value it lacked
    QCOMPARE(track->Size, qint32(QFileInfo(path).size()));
    QVERIFY(f.services.messages.last().contains(QStringLiteral("1 updated")));
}

void TestAddWindows::updateModeLetsTagsReplaceTrackValues()
{
    FileListFixture f;
    const QString path = f.addSong(QStringLiteral("song.mp3"), {QStringLiteral("Tag Title"), {}, QStringLiteral("Tag Album")});
    TMp3Track *track = f.addTrack(path, QStringLiteral("Own Title"));
    track->Notes = QStringLiteral("Own Notes");
    TDataRefList tracks;
    tracks.Add(track);
    std::vector<std::unique_ptr<TMP3File>> files;
    f.process.FilesForTracks(tracks, files);
    TMp3FileItemList list;
    list.Add(files.front().get());

    TfmAddFilelist window(nullptr, f.context(), true);
    window.SetSource(&list, nullptr);
    window.Open();
    QVERIFY(!window.ckTagsReplaceCollection->isHidden());
    QVERIFY(!window.ckTagsReplaceCollection->isChecked());
    const int title = columnOf(window, Mp3FieldIds::Title);
    QCOMPARE(previewColumn(window, title), QStringList{"Own Title"});
    // The preview shows what the track will hold.
    window.ckTagsReplaceCollection->setChecked(true);
    QCOMPARE(previewColumn(window, title), QStringList{"Tag Title"});
    window.btOK->click();

    QCOMPARE(track->Title, QStringLiteral("Tag Title"));
    QCOMPARE(GetLookupDisplayName(track->Album), QStringLiteral("Tag Album"));
    QCOMPARE(track->Notes, QStringLiteral("Own Notes"));
    // The add mode has no tracks to replace values of.
    TfmAddFilelist adding(nullptr, f.context(), false);
    QVERIFY(adding.ckTagsReplaceCollection->isHidden());
}

void TestAddWindows::unreadableFileIsNotAdded()
{
    FileListFixture f;
    const QString path = f.addSong(QStringLiteral("song.mp3"), {QStringLiteral("T"), {}, {}});
    TMp3Track *track = f.addTrack(path, QStringLiteral("Kept"));
    track->Size = 4242;
    // The file went before it could be read: it knows nothing.
    QFile::remove(path);
    auto file = std::make_unique<TMP3File>(path);
    QVERIFY(!file->ReadInfo({}));
    TMp3FileItemList list;
    list.Add(file.get());
    TfmAddFilelist window(nullptr, f.context(), true);
    window.SetSource(&list, nullptr);
    window.Open();
    window.btOK->click();
    // Its update would have wiped the track's size and stream values.
    QCOMPARE(track->Size, 4242);
    QCOMPARE(track->Title, QStringLiteral("Kept"));
    QVERIFY(f.services.messages.last().contains(path));
    QVERIFY(f.services.messages.last().contains(QStringLiteral("1 failed")));
}

void TestAddWindows::clearNowNeedsTheBox()
{
    FileListFixture f;
    const QString path = f.addSong(QStringLiteral("ro.mp3"), {});
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckAutoClearReadOnly->setChecked(false);
    window.btClearReadOnlyflagsClick();
    QVERIFY(window.FileAt(0)->IsReadOnly());
    window.ckAutoClearReadOnly->setChecked(true);
    window.btClearReadOnlyflagsClick();
    QVERIFY(!window.FileAt(0)->IsReadOnly());
}

void TestAddWindows::repairListsNothingMissing()
{
    FileListFixture f;
    f.addTrack(f.addSong(QStringLiteral("here.mp3"), {}), QStringLiteral("Here"));
    TfmUpdateTracks window(nullptr, f.process, f.root, f.store, f.global.ilSmall, *f.root.GetTracks());
    QVERIFY(window.NoneMissing);
    QCOMPARE(window.lvTracks->model()->rowCount(), 1);
    QCOMPARE(window.lvTracks->model()->index(0, 0).data().toString(),
             QStringLiteral("<< No tracks with missing filename found >>"));
    window.lvTracks->selectAll();
    QVERIFY(!window.btRepair->isEnabled());
    QVERIFY(!window.btRemove->isEnabled());
    QVERIFY(!window.btBrowseFile->isEnabled());
}

void TestAddWindows::repairFindsMovedFileAndCallerSaves()
{
    FileListFixture f;
    const QString oldPath = f.dir.filePath(QStringLiteral("old/song.mp3"));
    const QString newPath = f.addSong(QStringLiteral("moved/deeper/song.mp3"), {});
    TMp3Track *track = f.addTrack(oldPath, QStringLiteral("Song"));
    track->Size = qint32(QFileInfo(newPath).size());
    f.addTrack(f.addSong(QStringLiteral("stays.mp3"), {}), QStringLiteral("Stays"));

    bool sawWindow = false;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<TfmUpdateTracks *>(QApplication::activeModalWidget());
        QVERIFY(window);
        sawWindow = true;
        QCOMPARE(window->Matches.size(), 1);
        window->edSearchBasePath->setText(f.dir.filePath(QStringLiteral("moved")));
        QVERIFY(window->btSearch->isEnabled());
        window->btSearch->click();
        QCOMPARE(window->lvTracks->model()->index(0, 2).data().toString(), newPath);
        QCOMPARE(window->lvTracks->model()->index(0, 4).data().toString(), QStringLiteral("100"));
        window->lvTracks->selectRow(0);
        QVERIFY(window->btRepair->isEnabled());
        window->btRepair->click();
        QVERIFY(window->NoneMissing);
        // Closed by Esc: the collection changed all the same.
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QVERIFY(TfmUpdateTracks::Execute(nullptr, f.process, f.root, f.store, f.global.ilSmall, *f.root.GetTracks()));
    QVERIFY(sawWindow);
    QCOMPARE(track->FilePath, newPath);
    QCOMPARE(f.store.ReadString(QStringLiteral("fmUpdateTracks"), QStringLiteral("Search Path")),
             f.dir.filePath(QStringLiteral("moved")));

    // Closed by Esc without a change: nothing to save.
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    QVERIFY(!TfmUpdateTracks::Execute(nullptr, f.process, f.root, f.store, f.global.ilSmall, *f.root.GetTracks()));
}

void TestAddWindows::repairRemovesTracks()
{
    FileListFixture f;
    for (int i = 0; i < 5; ++i)
        f.addTrack(f.dir.filePath(QStringLiteral("gone%1.mp3").arg(i)), QStringLiteral("Gone %1").arg(i));
    TfmUpdateTracks window(nullptr, f.process, f.root, f.store, f.global.ilSmall, *f.root.GetTracks());
    QCOMPARE(window.Matches.size(), 5);
    const QString third = window.Matches.at(2).Track->FilePath;
    window.SelectRows({1, 3});
    QVERIFY(!window.btRepair->isEnabled());   // no candidates yet
    window.btRemove->click();
    QCOMPARE(window.Matches.size(), 3);
    QCOMPARE(f.root.GetTracks()->Count(), 3);
    QCOMPARE(window.Matches.at(1).Track->FilePath, third);
    QVERIFY(window.Changed);
    // Rebuilding the list does not bring the removed tracks back.
    window.ckNetwork->setChecked(!window.ckNetwork->isChecked());
    QCOMPARE(window.Matches.size(), 3);
}

void TestAddWindows::newCollectionPromptStoresShowAgain_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("showAgain");
    QTest::newRow("yes, keep showing") << true << true;
    QTest::newRow("no, stop showing") << false << false;
}

void TestAddWindows::newCollectionPromptStoresShowAgain()
{
    QFETCH(bool, yes);
    QFETCH(bool, showAgain);
    FileListFixture f;
    f.prefs.AutoSelectFolder = true;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<TfmNewCollection *>(QApplication::activeModalWidget());
        QVERIFY(window);
        QVERIFY(window->ckShowAgain->isChecked());
        window->ckShowAgain->setChecked(showAgain);
        (yes ? window->btYes : window->btNo)->click();
    });
    QCOMPARE(TfmNewCollection::Execute(nullptr, f.prefs), yes);
    QCOMPARE(f.prefs.AutoSelectFolder, showAgain);
}


void TestAddWindows::previewFillsWhileFilesAreRead()
{
    FileListFixture f;
    for (const char *name : {"c.mp3", "sub/a.mp3", "b.mp3", "sub/d.mp3"})
        f.addSong(QLatin1String(name), {QFileInfo(QLatin1String(name)).baseName(), {}, {}});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.show();
    // Rows arrive while the process still reads, and meanwhile only the
    // preview and Cancel take input.
    int rowsWhileReading = 0;
    bool inputWhileReading = false;
    connect(window.Model(), &QAbstractItemModel::rowsInserted, &window, [&](const QModelIndex &, int, int last) {
        if (!f.process.Busy)
            return;
        rowsWhileReading = last + 1;
        inputWhileReading = window.btOK->isEnabled() || window.ckRecursive->isEnabled()
                            || window.cbLocation->isEnabled() || window.lvPreview->horizontalHeader()->sectionsClickable()
                            || !window.lvPreview->isEnabled() || !window.btCancel->isEnabled();
    });
    window.Open();
    QVERIFY(rowsWhileReading > 0);
    QVERIFY(!inputWhileReading);
    QVERIFY(window.btOK->isEnabled());
    QVERIFY(window.ckRecursive->isEnabled());
    QVERIFY(window.lvPreview->horizontalHeader()->sectionsClickable());
    // All files in the end, in the window's order (by path without keys).
    QCOMPARE(window.Model()->rowCount(), 4);
    QStringList paths;
    for (int row = 0; row < 4; ++row)
        paths << window.FileAt(row)->Path;
    QStringList sorted = paths;
    sorted.sort();
    QCOMPARE(paths, sorted);
    QCOMPARE(window.pnCount->text(), QStringLiteral("4 files in list"));
}

void TestAddWindows::closingWhileReadingCancelsAndCloses_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Esc key") << true;
}

void TestAddWindows::closingWhileReadingCancelsAndCloses()
{
    QFETCH(bool, escape);
    FileListFixture f;
    for (int i = 0; i < 6; ++i)
        f.addSong(QStringLiteral("song%1.mp3").arg(i), {});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.show();
    bool closedWhileReading = true;
    connect(window.Model(), &QAbstractItemModel::rowsInserted, &window, [&] {
        if (!f.process.Busy || f.process.IsCancelled())
            return;
        if (escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.btCancel->click();
        // The window waits for the reading to stop before it closes.
        closedWhileReading = !window.isVisible();
    });
    window.Open();
    QVERIFY(f.process.IsCancelled());
    QVERIFY(!closedWhileReading);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QVERIFY(window.Files.Count() < 6);
    QCOMPARE(f.root.GetTracks()->Count(), 0);
    // The folder is read afresh next time: what the cancel left out is not
    // taken for all there is.
    QVERIFY(!folder->IsRead);
}

void TestAddWindows::locationButtonEditsOrAddsLocation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("renamed");
    QTest::addColumn<QStringList>("locations");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("edit the chosen one") << "Shelf" << true << "Top Shelf" << QStringList{"Attic", "Top Shelf"}
                                         << "Top Shelf";
    QTest::newRow("edit cancelled") << "Shelf" << false << "Top Shelf" << QStringList{"Attic", "Shelf"} << "Shelf";
    QTest::newRow("add the typed one") << "Basement" << true << QString() << QStringList{"Attic", "Basement", "Shelf"}
                                       << "Basement";
    QTest::newRow("add cancelled") << "Basement" << false << QString() << QStringList{"Attic", "Shelf"}
                                   << "Basement";
}

void TestAddWindows::locationButtonEditsOrAddsLocation()
{
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QString, renamed);
    QFETCH(QStringList, locations);
    QFETCH(QString, chosen);
    FileListFixture f;
    f.addSong(QStringLiteral("a.mp3"), {});
    f.prefs.LookupHintShown = true;
    TLookupItem *shelf = f.root.Locations->FindOrAdd(QStringLiteral("Shelf"));
    f.root.Locations->FindOrAdd(QStringLiteral("Attic"));
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    QVERIFY(window.btLocation->isEnabled());
    window.cbLocation->setEditText(typed);

    QString seenName;
    QString seenTitle;
    answerLookupWindow(ok, renamed, &seenName, &seenTitle);
    window.btLocation->click();
    QCOMPARE(seenName, typed);
    QCOMPARE(seenTitle, (typed == QLatin1String("Shelf") ? QStringLiteral("Edit %1") : QStringLiteral("Add %1"))
                            .arg(GetFieldDisplayName(f.root.Fields->FindByID(Mp3FieldIds::Location))));

    QStringList names;
    for (int i = 0; i < f.root.Locations->Count(); ++i)
        names << f.root.Locations->Get(i)->GetDisplayName();
    names.sort();
    QCOMPARE(names, locations);
    QStringList offered;
    for (int i = 0; i < window.cbLocation->count(); ++i)
        offered << window.cbLocation->itemText(i);
    offered.sort();
    QCOMPARE(offered, locations);
    QCOMPARE(window.cbLocation->currentText(), chosen);
    QCOMPARE(f.root.Locations->FindByName(QStringLiteral("Shelf")) == shelf, !(ok && !renamed.isEmpty()));

    // OK adds with the location chosen now.
    window.btOK->click();
    QCOMPARE(f.root.GetTracks()->Count(), 1);
    const auto *location = f.root.GetTracks()->Get(0)->Location;
    QCOMPARE(location ? location->GetDisplayName() : QString(), chosen);
}

void TestAddWindows::locationButtonShowsTipBeforeFirstAdd()
{
    FileListFixture f;
    f.addSong(QStringLiteral("a.mp3"), {});
    auto folder = f.folder();
    TfmAddFilelist window(nullptr, f.context(), false);
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.cbLocation->setEditText(QStringLiteral("Basement"));
    QString seenName;
    QString seenTitle;
    bool tipShown = false;
    QTimer::singleShot(0, [&] {
        auto *tip = qobject_cast<TfmShowHint *>(QApplication::activeModalWidget());
        tipShown = tip != nullptr;
        if (!tip)
            return;
        tip->ckDontShowAgain->setChecked(true);
        answerLookupWindow(false, QString(), &seenName, &seenTitle);
        tip->accept();
    });
    window.btLocation->click();
    QVERIFY(tipShown);
    QVERIFY(f.prefs.LookupHintShown);
    QCOMPARE(seenName, QStringLiteral("Basement"));
    QVERIFY(!f.root.Locations->FindByName(QStringLiteral("Basement")));
}

void TestAddWindows::rescanPassesOverFilesTheIndexKnows()
{
    FileListFixture f;
    const QString one = f.addSong(QStringLiteral("one.mp3"), {QStringLiteral("One"), {}, {}});
    const QString two = f.addSong(QStringLiteral("two.mp3"), {QStringLiteral("Two"), {}, {}});
    const QString collection = f.dir.filePath(QStringLiteral("music.tbx"));
    f.root.FileName = collection;
    int saves = 0;
    const auto context = [&] {
        TFileListContext result = f.context();
        result.SaveCollection = [&] {
            ++saves;
            return f.root.SaveToFile(collection);
        };
        return result;
    };

    // First add: the window saves the collection, then writes the index.
    {
        auto folder = f.folder();
        TfmAddFilelist window(nullptr, context(), false);
        window.SetSource(nullptr, folder.get());
        window.Open();
        QCOMPARE(window.Files.Count(), 2);
        window.btOK->click();
    }
    QCOMPARE(saves, 1);
    QCOMPARE(f.root.GetTracks()->Count(), 2);
    QVERIFY(QFileInfo::exists(ScanIndexPath(collection)));

    // two.mp3 changes (its size too) and three.mp3 is new.  With the box
    // clear, the files the collection has are left out: the unchanged one
    // is not even read, and the window says how many were left out.
    QByteArray bytes = FileListFixture::songBytes({QStringLiteral("Two Again"), {}, {}});
    testsupport::writeFile(two, bytes + bytes.right(4));
    const QString three = f.addSong(QStringLiteral("three.mp3"), {QStringLiteral("Three"), {}, {}});
    f.store.WriteBool(QStringLiteral("fmAddFilelist"), QStringLiteral("UpdateIfInCollection"), false);
    {
        auto folder = f.folder();
        TfmAddFilelist window(nullptr, context(), false);
        window.SetSource(nullptr, folder.get());
        window.Open();
        QCOMPARE(f.process.Reading().FilesUnchanged, 1);
        QCOMPARE(window.Files.Count(), 1);
        QCOMPARE(window.FileAt(0)->Path, three);
        QVERIFY(!window.laLeftOut->isHidden());
        QCOMPARE(window.laLeftOut->text(), QStringLiteral("2 files already in the collection left out"));

        // Ticking the box lists every file, the unchanged one read now.
        window.ckUpdateIfInCollection->setChecked(true);
        QCOMPARE(window.Files.Count(), 3);
        QVERIFY(window.laLeftOut->isHidden());
        QStringList shown = previewColumn(window, columnOf(window, Mp3FieldIds::Title));
        shown.sort();
        QCOMPARE(shown, (QStringList{"One", "Three", "Two"}));
        window.ckUpdateIfInCollection->setChecked(false);
        window.btOK->click();
        QVERIFY2(f.services.messages.last().startsWith(QStringLiteral("1 file added, 0 updated, 0 failed")),
                 qPrintable(f.services.messages.last()));
        // The folder object holds a file that was not read: it is read
        // afresh when it is shown next.
        QVERIFY(!folder->IsRead);
    }
    QCOMPARE(saves, 2);
    QCOMPARE(f.root.GetTracks()->Count(), 3);

    // With the box ticked, files unchanged since the last scan are listed
    // and read again like the others.
    f.store.WriteBool(QStringLiteral("fmAddFilelist"), QStringLiteral("UpdateIfInCollection"), true);
    {
        auto folder = f.folder();
        TfmAddFilelist window(nullptr, context(), false);
        window.SetSource(nullptr, folder.get());
        window.Open();
        QCOMPARE(f.process.Reading().FilesUnchanged, 0);
        QCOMPARE(window.Files.Count(), 3);
        QVERIFY(window.laLeftOut->isHidden());
        window.btOK->click();
        QVERIFY(f.services.messages.last().startsWith(QStringLiteral("0 files added, 3 updated, 0 failed")));
    }
    QCOMPARE(saves, 3);
    QStringList titles;
    for (int i = 0; i < f.root.GetTracks()->Count(); ++i)
        titles << f.root.GetTracks()->Get(i)->Title;
    titles.sort();
    // The tracks keep their own values.
    QCOMPARE(titles, (QStringList{"One", "Three", "Two"}));

    // Without a file name there is no index: every file is read, even
    // those that are then left out.
    f.root.FileName.clear();
    f.store.WriteBool(QStringLiteral("fmAddFilelist"), QStringLiteral("UpdateIfInCollection"), false);
    {
        auto folder = f.folder();
        TfmAddFilelist window(nullptr, context(), false);
        window.SetSource(nullptr, folder.get());
        window.Open();
        QCOMPARE(f.process.Reading().FilesUnchanged, 0);
        QCOMPARE(window.Files.Count(), 0);
        QCOMPARE(window.laLeftOut->text(), QStringLiteral("3 files already in the collection left out"));
    }
}

QTEST_MAIN(TestAddWindows)
#include "tst_addwindows.moc"
