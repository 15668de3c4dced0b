#include "filelistfixture.h"

#include "core/audio/mergedfields.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/filelist/filepreviewmodel.h"
#include "gui/filelist/renamefilelist.h"
#include "gui/filelist/tagfilelist.h"
#include "gui/settings/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

int columnOf(const TfmFileListBase &window, qint32 fieldID)
{
    const auto &columns = window.Model()->Columns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).Field && columns.at(i).Field->ID == fieldID)
            return i;
    return -1;
}

QStringList comboItems(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QString cell(const TfmFileListBase &window, int row, qint32 fieldID)
{
    const TFilePreviewModel *model = window.Model();
    return model->data(model->index(row, columnOf(window, fieldID))).toString();
}

} // namespace

class TestTagRename : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsOfferBatchValuesMostFrequentFirst();
    void genreListOffersGenreNamesOnly();
    void manualEntryShowsInPreviewAndUnticks();
    void manualEntryUntickedDisablesFields();
    void manualFieldsKeepTheirOrderAndCaptions();
    void manualFieldReachesItsMergedField_data();
    void manualFieldReachesItsMergedField();
    void bothNoChangeWritesNothing();
    void manualEntrySetsOneFieldAndKeepsAudio();
    void readOnlyFilesAskFirst();
    void renamePreviewMatchesResult_data();
    void renamePreviewMatchesResult();
    void renameNeverOverwrites();
    void renameMissingValueAsksThenUsesFieldName();
    void renameChangesOnlyLetterCase();
};

void TestTagRename::listsOfferBatchValuesMostFrequentFirst()
{
    FileListFixture f;
    f.addSong(QStringLiteral("1.mp3"), {QStringLiteral("T1"), QStringLiteral("A"), {}});
    f.addSong(QStringLiteral("2.mp3"), {QStringLiteral("T2"), QStringLiteral("B"), {}});
    f.addSong(QStringLiteral("3.mp3"), {QStringLiteral("T3"), QStringLiteral("B"), {}});
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    const QComboBox *artists = window.Field(QStringLiteral("Artist")).Values;
    QCOMPARE(comboItems(artists), (QStringList{"A", "B"}));
    QCOMPARE(artists->currentText(), QStringLiteral("B"));
    QVERIFY(!window.Field(QStringLiteral("Artist")).Check->isChecked());
}

void TestTagRename::genreListOffersGenreNamesOnly()
{
    FileListFixture f;
    const QString path = f.dir.filePath(QStringLiteral("g.mp3"));
    testsupport::writeFile(path, Id3v2Builder().text("TCON", QStringLiteral("Not A Genre")).build()
                                     + FileListFixture::audio());
    testsupport::writeFile(f.dir.filePath(QStringLiteral("h.mp3")),
                           Id3v2Builder().text("TCON", QStringLiteral("Jazz")).build() + FileListFixture::audio());
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    const QComboBox *genres = window.Field(QStringLiteral("Genre")).Values;
    QVERIFY(!comboItems(genres).contains(QStringLiteral("Not A Genre")));
    QCOMPARE(genres->count(), GenreCount);
    QCOMPARE(genres->currentText(), QStringLiteral("Jazz"));
}

void TestTagRename::manualEntryShowsInPreviewAndUnticks()
{
    FileListFixture f;
    f.addSong(QStringLiteral("1.mp3"), {QStringLiteral("One"), {}, {}});
    f.addSong(QStringLiteral("2.mp3"), {QStringLiteral("Two"), {}, {}});
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckManualEntry->setChecked(true);
    const auto title = window.Field(QStringLiteral("Title"));
    title.Check->setChecked(true);
    QVERIFY(title.Values->isEnabled());
    title.Values->setEditText(QStringLiteral("X"));
    QCOMPARE(cell(window, 0, Mp3FieldIds::Title), QStringLiteral("X"));
    QCOMPARE(cell(window, 1, Mp3FieldIds::Title), QStringLiteral("X"));
    title.Check->setChecked(false);
    QStringList titles{cell(window, 0, Mp3FieldIds::Title), cell(window, 1, Mp3FieldIds::Title)};
    titles.sort();
    QCOMPARE(titles, (QStringList{"One", "Two"}));
}

void TestTagRename::manualEntryUntickedDisablesFields()
{
    FileListFixture f;
    f.addSong(QStringLiteral("1.mp3"), {QStringLiteral("One"), {}, {}});
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckManualEntry->setChecked(true);
    window.Field(QStringLiteral("Title")).Check->setChecked(true);
    window.Field(QStringLiteral("Title")).Values->setEditText(QStringLiteral("X"));
    window.ckManualEntry->setChecked(false);
    for (const auto &controls : std::as_const(window.FieldControls)) {
        QVERIFY(!controls.Check->isEnabled());
        QVERIFY(!controls.Values->isEnabled());
    }
    QCOMPARE(cell(window, 0, Mp3FieldIds::Title), QStringLiteral("One"));
}

void TestTagRename::manualFieldsKeepTheirOrderAndCaptions()
{
    FileListFixture f;
    TfmTagFileList window(nullptr, f.context());
    QStringList captions;
    for (const TfmTagFileList::TFieldControls &controls : std::as_const(window.FieldControls))
        captions << controls.Check->text();
    QCOMPARE(captions, (QStringList{"Title", "Subtitle", "Artist", "Original Artist", "Album", "Year", "Index",
                                    "BPM", "Genre", "Label", "Composer", "Lyricist", "Orchestra", "Conductor",
                                    "Copyright", "Audio URL", "Artist URL", "General URL", "Tempo", "Mood",
                                    "Situation", "Preference", "Bio", "Comment", "Encoded By"}));
    QStringList pages;
    for (int i = 0; i < window.pcV2->count(); ++i)
        pages << window.pcV2->tabText(i);
    QCOMPARE(pages, (QStringList{"Main", "Credits", "URLs", "MusicMatch", "Notes"}));
}

void TestTagRename::manualFieldReachesItsMergedField_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    const auto row = [](const char *name, TMergedField field, const char *value = "typed value") {
        QTest::newRow(name) << QString::fromLatin1(name) << int(field) << QString::fromLatin1(value);
    };
    row("Title", TMergedField::Title);
    row("Subtitle", TMergedField::SubTitle);
    row("Artist", TMergedField::Artist);
    row("OrigArtist", TMergedField::OrigArtist);
    row("Album", TMergedField::Album);
    row("Year", TMergedField::Year, "1999");
    row("Index", TMergedField::TrackIndex, "7");
    row("BPM", TMergedField::BPM, "120");
    row("Genre", TMergedField::Genre, "Jazz");
    row("Label", TMergedField::Label);
    row("Composer", TMergedField::Composer);
    row("Lyricist", TMergedField::Lyricist);
    row("Orchestra", TMergedField::Orchestra);
    row("Conductor", TMergedField::Conductor);
    row("Copyright", TMergedField::CopyrightBy);
    row("AudioUrl", TMergedField::AudioURL);
    row("ArtistUrl", TMergedField::ArtistURL);
    row("GeneralURL", TMergedField::GeneralURL);
    row("Tempo", TMergedField::Tempo);
    row("Mood", TMergedField::Mood);
    row("Situation", TMergedField::Situation);
    row("Preference", TMergedField::Preference);
    row("Bio", TMergedField::Biography);
    row("Comment", TMergedField::Notes);
    row("EncodedBy", TMergedField::EncodedBy);
}

void TestTagRename::manualFieldReachesItsMergedField()
{
    QFETCH(QString, name);
    QFETCH(int, field);
    QFETCH(QString, value);
    FileListFixture f;
    f.addSong(QStringLiteral("a.mp3"), {QStringLiteral("Old"), QStringLiteral("Old"), QStringLiteral("Old")});
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckManualEntry->setChecked(true);
    const TfmTagFileList::TFieldControls controls = window.Field(name);
    QVERIFY(controls.Check && controls.Values);
    controls.Check->setChecked(true);
    if (controls.Values->isEditable())
        controls.Values->setEditText(value);
    else
        controls.Values->setCurrentIndex(controls.Values->findText(value));
    const TMP3File *file = window.FileAt(0);
    QCOMPARE(file->GetMergedText(TMergedField(field)), value);
    // No other field took the text.
    for (const TMergedField other : AllMergedFields()) {
        if (int(other) != field)
            QVERIFY2(file->GetMergedText(other) != value, MergedFieldRow(other).Name);
    }
}

void TestTagRename::bothNoChangeWritesNothing()
{
    FileListFixture f;
    const QString path = f.addSong(QStringLiteral("1.mp3"), {QStringLiteral("One"), {}, {}});
    const QByteArray before = testsupport::readFile(path);
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.rgID3v1->SetItemIndex(2);
    window.rgID3v2->SetItemIndex(2);
    window.btOK->click();
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(f.services.messages.last(),
             QStringLiteral("Both ID3v1 and ID3v2 are set to \"No Change\". Set one or both to \"Set\" or "
                            "\"Remove\" first."));
    QCOMPARE(testsupport::readFile(path), before);
}

void TestTagRename::manualEntrySetsOneFieldAndKeepsAudio()
{
    FileListFixture f;
    QStringList paths;
    for (int i = 1; i <= 3; ++i)
        paths << f.addSong(QStringLiteral("%1.mp3").arg(i),
                           {QStringLiteral("Title %1").arg(i), QStringLiteral("Artist %1").arg(i), {}, i == 2});
    TMp3Track *track = f.addTrack(paths.first(), QStringLiteral("Title 1"));
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckManualEntry->setChecked(true);
    window.Field(QStringLiteral("Album")).Check->setChecked(true);
    window.Field(QStringLiteral("Album")).Values->setEditText(QStringLiteral("Shared Album"));
    window.rgID3v1->SetItemIndex(2);
    window.rgID3v2->SetItemIndex(0);
    window.btOK->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));

    for (int i = 0; i < paths.size(); ++i) {
        TMP3File file(paths.at(i));
        QVERIFY(file.ReadInfo({}));
        QCOMPARE(file.ID3v2.Album, QStringLiteral("Shared Album"));
        QCOMPARE(file.ID3v2.Title, QStringLiteral("Title %1").arg(i + 1));
        QCOMPARE(file.ID3v2.Artist, QStringLiteral("Artist %1").arg(i + 1));
        QCOMPARE(file.ID3v1.Exists, i == 1);   // "No Change" keeps the ID3v1 tag as it was
        QCOMPARE(FileListFixture::audioOf(paths.at(i)), FileListFixture::audio());
    }
    QCOMPARE(track->Album ? track->Album->GetDisplayName() : QString(), QStringLiteral("Shared Album"));
    QVERIFY(f.services.messages.last().startsWith(QStringLiteral("3 files written, 0 failed")));
    // The files no longer point at the window's manual entry.
    for (TDataItem *item : window.Files)
        QVERIFY(!static_cast<TMP3File *>(item)->ManualEntryInfo.HasEntry());
}

void TestTagRename::readOnlyFilesAskFirst()
{
    FileListFixture f;
    const QString writable = f.addSong(QStringLiteral("1.mp3"), {QStringLiteral("One"), {}, {}});
    const QString locked1 = f.addSong(QStringLiteral("2.mp3"), {QStringLiteral("Two"), {}, {}});
    const QString locked2 = f.addSong(QStringLiteral("3.mp3"), {QStringLiteral("Three"), {}, {}});
    for (const QString &path : {locked1, locked2})
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const QByteArray lockedBefore = testsupport::readFile(locked1);
    auto folder = f.folder();
    TfmTagFileList window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.ckAutoClearReadOnly->setChecked(false);
    window.ckManualEntry->setChecked(true);
    window.Field(QStringLiteral("Album")).Check->setChecked(true);
    window.Field(QStringLiteral("Album")).Values->setEditText(QStringLiteral("New"));
    window.rgID3v2->SetItemIndex(0);

    f.services.answers = {TDesktopServices::TAnswer::No};
    window.btOK->click();
    QCOMPARE(f.services.messages.last(), QStringLiteral("2 files cannot be changed because they are read-only. Are "
                                                        "you sure you want to continue?"));
    QVERIFY(window.isVisible() || window.result() != QDialog::Accepted);

    f.services.answers = {TDesktopServices::TAnswer::Yes};
    window.btOK->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    TMP3File file(writable);
    file.ReadInfo({});
    QCOMPARE(file.ID3v2.Album, QStringLiteral("New"));
    // Read-only is the owner's write bit: the files stay as they were even
    // for a user (such as root) whom the system would let write.
    QCOMPARE(testsupport::readFile(locked1), lockedBefore);
    QVERIFY(f.services.messages.last().contains(QStringLiteral("2 failed")));
    QVERIFY(f.services.messages.last().contains(QStringLiteral("read-only")));
}

void TestTagRename::renamePreviewMatchesResult_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("artist - title") << QStringLiteral("%ar - %t")
                                    << QStringList{"Abe - One.mp3", "Bea - Two.mp3"};
    QTest::newRow("title only") << QStringLiteral("%t") << QStringList{"One.mp3", "Two.mp3"};
}

void TestTagRename::renamePreviewMatchesResult()
{
    QFETCH(QString, format);
    QFETCH(QStringList, expected);
    FileListFixture f;
    f.prefs.RenameFormats = {QStringLiteral("%ar - %t"), QStringLiteral("%t")};
    const QString first = f.addSong(QStringLiteral("x1.mp3"), {QStringLiteral("One"), QStringLiteral("Abe"), {}});
    f.addSong(QStringLiteral("x2.mp3"), {QStringLiteral("Two"), QStringLiteral("Bea"), {}});
    TMp3Track *track = f.addTrack(first, QStringLiteral("One"));
    auto folder = f.folder();
    TfmRenameFilelist window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    window.cbRenameFormats->setCurrentIndex(window.cbRenameFormats->findText(format));
    QStringList headers;
    for (int column = 0; column < window.Model()->columnCount(); ++column)
        headers << window.Model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers, (QStringList{"Current Filename", "New Filename", "Artist", "Title", "Album", "Track Index"}));
    QStringList preview;
    for (int row = 0; row < window.Model()->rowCount(); ++row) {
        preview << cell(window, row, Mp3FieldIds::NewFilename);
        QCOMPARE(window.RowStatus(*window.FileAt(row)), RenameStatus::Ok);
    }
    preview.sort();
    QCOMPARE(preview, expected);
    window.btOK->click();
    QStringList onDisk = QDir(f.dir.path()).entryList(QDir::Files);
    onDisk.sort();
    QCOMPARE(onDisk, expected);
    QCOMPARE(track->FilePath, f.dir.filePath(expected.first()));
    QCOMPARE(f.prefs.CurrentRenameFormat, format);
}

void TestTagRename::renameNeverOverwrites()
{
    FileListFixture f;
    f.prefs.RenameFormats = {QStringLiteral("%t")};
    const QString a = f.addSong(QStringLiteral("a.mp3"), {QStringLiteral("Same"), {}, {}});
    const QString b = f.addSong(QStringLiteral("b.mp3"), {QStringLiteral("Same"), {}, {}});
    const QString taken = f.addSong(QStringLiteral("Taken.mp3"), {QStringLiteral("Other"), {}, {}});
    const QString c = f.addSong(QStringLiteral("c.mp3"), {QStringLiteral("Taken"), {}, {}});
    const QByteArray takenBytes = testsupport::readFile(taken);
    TMp3FileItemList list;
    std::vector<std::unique_ptr<TMP3File>> files;
    for (const QString &path : {a, b, c}) {
        files.push_back(std::make_unique<TMP3File>(path));
        files.back()->ReadInfo({});
        list.Add(files.back().get());
    }
    TfmRenameFilelist window(nullptr, f.context());
    window.SetSource(&list, nullptr);
    window.Open();
    // The preview says what will happen: a takes "Same.mp3" first.
    QCOMPARE(window.RowStatus(*files[0]), RenameStatus::Ok);
    QCOMPARE(window.RowStatus(*files[1]), RenameStatus::TargetExists);
    QCOMPARE(window.RowStatus(*files[2]), RenameStatus::TargetExists);
    QCOMPARE(window.Model()->data(window.Model()->index(1, 0), Qt::DecorationRole).isNull(), false);

    f.services.answers = {TDesktopServices::TAnswer::Yes};
    window.btOK->click();
    QCOMPARE(f.services.messages.first(), QStringLiteral("2 files cannot be renamed using the current settings. Are "
                                                         "you sure you want to continue?"));
    QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("Same.mp3"))));
    QVERIFY(QFile::exists(b));
    QVERIFY(QFile::exists(c));
    QCOMPARE(testsupport::readFile(taken), takenBytes);
    QVERIFY(f.services.messages.last().startsWith(QStringLiteral("1 file renamed, 2 failed")));
}

void TestTagRename::renameMissingValueAsksThenUsesFieldName()
{
    FileListFixture f;
    f.prefs.RenameFormats = {QStringLiteral("%t (%y)")};
    f.addSong(QStringLiteral("a.mp3"), {QStringLiteral("Song"), {}, {}});
    auto folder = f.folder();
    TfmRenameFilelist window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.RowStatus(*window.FileAt(0)), RenameStatus::MissingValues);
    f.services.answers = {TDesktopServices::TAnswer::No};
    window.btOK->click();
    QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("a.mp3"))));
    f.services.answers = {TDesktopServices::TAnswer::Yes};
    window.btOK->click();
    QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("Song ([Year]).mp3"))));
}

void TestTagRename::renameChangesOnlyLetterCase()
{
    FileListFixture f;
    f.prefs.RenameFormats = {QStringLiteral("%t")};
    f.addSong(QStringLiteral("song.mp3"), {QStringLiteral("Song"), {}, {}});
    auto folder = f.folder();
    TfmRenameFilelist window(nullptr, f.context());
    window.SetSource(nullptr, folder.get());
    window.Open();
    QCOMPARE(window.RowStatus(*window.FileAt(0)), RenameStatus::Ok);
    window.btOK->click();
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"Song.mp3"});
}

QTEST_MAIN(TestTagRename)
#include "tst_tagrename.moc"
