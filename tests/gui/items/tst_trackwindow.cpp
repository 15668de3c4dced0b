#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookuplists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "gui/items/trackwindow.h"
#include "id3v2builder.h"
#include "memorysettingsstore.h"
#include "mp3builder.h"
#include "mutagentool.h"
#include "scratchfolder.h"
#include "scripteddesktopservices.h"
#include "testsupport.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

QByteArray audio()
{
    return mp3::Frame().stream(30);
}

QByteArray withV2Title(const QString &title)
{
    Id3v2Builder tag(3);
    if (!title.isEmpty())
        tag.text("TIT2", title);
    tag.text("TPE1", QStringLiteral("Tag Artist")).padding(64);
    return tag.build() + audio();
}

QByteArray withV1Only()
{
    mp3::Id3v1 v1;
    v1.title = "Old Title";
    v1.artist = "Old Artist";
    v1.comment = "old comment";
    return audio() + v1.bytes();
}

struct Fixture {
    Fixture()
    {
        prefs.FirstRun = false;
        TRootItem::SetCurrent(&root);
        rock = root.GenreList->FindOrAdd(QStringLiteral("Rock"));
        pop = root.GenreList->FindOrAdd(QStringLiteral("Pop"));
        jazz = root.GenreList->FindOrAdd(QStringLiteral("Jazz"));
        track = static_cast<TMp3Track *>(root.Items->CreateItem());
        track->Title = QStringLiteral("Song");
        track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QStringLiteral("Anna Kestrel")));
        track->Genres->Add(rock);
        track->Genres->Add(pop);
        track->Genres->Add(jazz);
        track->DiskIndex = 1;
        track->Notes = QStringLiteral("line one\r\nline two");
    }
    ~Fixture() { TRootItem::SetCurrent(nullptr); }

    // A window shown on a working copy (edit) or on the track itself (add).
    std::unique_ptr<TfmTrack> open(int mode)
    {
        if (mode == TfmDataItemBase::EditMode) {
            copy = track->Clone(root.Items.get(), true);
            edited = static_cast<TMp3Track *>(copy.get());
        } else {
            edited = track;
        }
        auto window = std::make_unique<TfmTrack>(nullptr, prefs);
        window->SetItem(edited, mode);
        window->show();
        return window;
    }

    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    ScriptedDesktopServices services;
    TMp3Root root;
    TMp3Track *track = nullptr;
    std::unique_ptr<TDataItem> copy;
    TMp3Track *edited = nullptr;
    TLookupItem *rock = nullptr;
    TLookupItem *pop = nullptr;
    TLookupItem *jazz = nullptr;
};

QStringList genreNames(const TMp3Track &track)
{
    QStringList names;
    for (int i = 0; i < track.Genres->Count(); ++i)
        names << track.Genres->Get(i)->DisplayName;
    return names;
}

void finishEditing(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    Q_EMIT edit->editingFinished();
}

} // namespace

class TestTrackWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okDecidesByTheSnapshot_data();
    void okDecidesByTheSnapshot();
    void cancelAsksOnlyAboutChanges_data();
    void cancelAsksOnlyAboutChanges();
    void showsAndKeepsEveryGenre();
    void typedValuesAreAddedAndNumbersDefault();
    void numbersTakeThreeDigits();
    void pagesAndLabelsFollowTheCatalogue();
    void comboRowsShowAccentedCapitals_data();
    void comboRowsShowAccentedCapitals();
    void fileReferenceIsReadWhenEditingFinishes();
    void pathsThatAreNoRegularFileAreNotOpened();
    void okWritesOnlyTheTagsTheFileHas();
    void pathThatIsNotUtf8IsKept();
    void okWritesATagOthersReadBack();
    void failedWriteKeepsTheChangeInTheCollection_data();
    void failedWriteKeepsTheChangeInTheCollection();
};

void TestTrackWindow::okDecidesByTheSnapshot_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("change");
    QTest::addColumn<int>("result");
    QTest::newRow("edit, unchanged") << TfmDataItemBase::EditMode << false << int(QDialog::Rejected);
    QTest::newRow("edit, changed") << TfmDataItemBase::EditMode << true << int(QDialog::Accepted);
    QTest::newRow("add, unchanged") << TfmDataItemBase::AddMode << false << int(QDialog::Accepted);
}

void TestTrackWindow::okDecidesByTheSnapshot()
{
    QFETCH(int, mode);
    QFETCH(bool, change);
    QFETCH(int, result);
    Fixture f;
    auto window = f.open(mode);
    QVERIFY(window->windowTitle().startsWith(mode == TfmDataItemBase::EditMode ? "Edit Track: Song" : "Add Track Song"));
    if (change)
        window->edSubtitle->setText(QStringLiteral("live"));
    window->btOk->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), result);
    // Loading and storing an untouched form changes nothing, line breaks of
    // the notes included.
    QCOMPARE(f.edited->Notes, QStringLiteral("line one\r\nline two"));
}

void TestTrackWindow::cancelAsksOnlyAboutChanges_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("stays");
    QTest::newRow("no change") << false << true << false << 0 << false;
    QTest::newRow("change, answered No") << true << true << false << 1 << true;
    QTest::newRow("change, answered Yes") << true << true << true << 1 << false;
    QTest::newRow("change, question off") << true << false << false << 0 << false;
}

void TestTrackWindow::cancelAsksOnlyAboutChanges()
{
    QFETCH(bool, change);
    QFETCH(bool, confirm);
    QFETCH(bool, answerYes);
    QFETCH(int, questions);
    QFETCH(bool, stays);
    Fixture f;
    f.prefs.ConfirmItemCancel = confirm;
    f.services.answers = {answerYes ? TDesktopServices::TAnswer::Yes : TDesktopServices::TAnswer::No};
    auto window = f.open(TfmDataItemBase::EditMode);
    if (change)
        window->edTitle->setText(QStringLiteral("Other"));
    // Esc asks just as the button does.
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QCOMPARE(f.services.messages.size(), questions);
    if (questions)
        QCOMPARE(f.services.messages.constFirst(),
                 QStringLiteral("Are you sure you want to cancel changes made to this item?"));
    QCOMPARE(window->isVisible(), stays);
    if (stays)
        QCOMPARE(window->edTitle->text(), QStringLiteral("Other"));
    QCOMPARE(f.track->Title, QStringLiteral("Song"));
}

void TestTrackWindow::showsAndKeepsEveryGenre()
{
    Fixture f;
    auto window = f.open(TfmDataItemBase::EditMode);
    QCOMPARE(window->cbGenre->currentText(), QStringLiteral("Rock"));
    QCOMPARE(window->cbSecondaryGenre->currentText(), QStringLiteral("Pop"));
    QVERIFY(window->laOtherGenres->isVisibleTo(window.get()));
    QVERIFY(window->laOtherGenres->text().contains("Jazz"));

    window->edTitle->setText(QStringLiteral("Song 2"));
    window->btOk->click();
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QCOMPARE(genreNames(*f.edited), (QStringList{"Rock", "Pop", "Jazz"}));

    // Clearing the secondary box drops only that genre.
    auto again = f.open(TfmDataItemBase::EditMode);
    again->cbSecondaryGenre->setCurrentIndex(-1);
    again->cbSecondaryGenre->setEditText(QString());
    again->btOk->click();
    QCOMPARE(genreNames(*f.edited), (QStringList{"Rock", "Jazz"}));
}

void TestTrackWindow::typedValuesAreAddedAndNumbersDefault()
{
    Fixture f;
    auto window = f.open(TfmDataItemBase::EditMode);
    window->cbArtist->setEditText(QStringLiteral("New Singer"));
    window->cbLabel->setEditText(QStringLiteral("The Label"));
    window->edTrackIndex->clear();
    window->edDiskIndex->clear();
    window->edBPM->setText(QStringLiteral("120"));
    window->btOk->click();
    QVERIFY(f.root.Artists->FindByName(QStringLiteral("New Singer")));
    QCOMPARE(GetLookupDisplayName(f.edited->Artist), QStringLiteral("New Singer"));
    QCOMPARE(GetLookupDisplayName(f.edited->Label), QStringLiteral("The Label"));
    QCOMPARE(f.edited->TrackIndex, 0);
    QCOMPARE(f.edited->DiskIndex, 1);
    QCOMPARE(f.edited->BPM, 120);
    // Clearing a box clears the value.
    auto again = f.open(TfmDataItemBase::EditMode);
    again->cbArtist->setCurrentIndex(-1);
    again->cbArtist->setEditText(QString());
    again->btOk->click();
    QVERIFY(!f.edited->Artist);
}

void TestTrackWindow::numbersTakeThreeDigits()
{
    Fixture f;
    auto window = f.open(TfmDataItemBase::EditMode);
    window->edBPM->clear();
    window->edBPM->setFocus();
    QTest::keyClicks(window->edBPM, QStringLiteral("12345"));
    QCOMPARE(window->edBPM->text(), QStringLiteral("123"));
    QTest::keyClicks(window->edTrackIndex, QStringLiteral("-x"));
    QVERIFY(!window->edTrackIndex->text().contains('-'));
}

void TestTrackWindow::pagesAndLabelsFollowTheCatalogue()
{
    Fixture f;
    SetFieldCustomName(f.root.Fields->FindByID(7), QStringLiteral("St&yle"));
    auto window = f.open(TfmDataItemBase::EditMode);
    QCOMPARE(window->PageControl->count(), 7);
    QCOMPARE(window->PageControl->currentIndex(), 0);
    QCOMPARE(window->findChild<QLabel *>("laGenre")->text(), QStringLiteral("St&yle"));
    QCOMPARE(window->findChild<QLabel *>("laTitle")->text(), QStringLiteral("Title"));
    for (const char *name : {"btArtist", "btAlbum", "btGenre", "btComposer", "btPreference", "btFileRef"})
        QVERIFY2(window->findChild<QWidget *>(name), name);
    QVERIFY(!window->findChild<QWidget *>("btYear"));
}

namespace {

// Whether box shows the marks above a capital: "Ü" and "U" differ on
// screen only where the dots are drawn.
bool showsMarksAboveCapitals(QComboBox *box)
{
    const QString before = box->currentText();
    box->setEditText(QStringLiteral("\u00dc"));
    const QImage accented = box->grab().toImage();
    box->setEditText(QStringLiteral("U"));
    const QImage plain = box->grab().toImage();
    box->setEditText(before);
    return accented != plain;
}

} // namespace

void TestTrackWindow::comboRowsShowAccentedCapitals_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("desktop font") << 0;
    QTest::newRow("14 px") << 14;
    QTest::newRow("20 px") << 20;
}

// "DJ Ünal" must not show as "DJ Unal": every value box of the window is
// as high as its font needs, at the window's first size.
void TestTrackWindow::comboRowsShowAccentedCapitals()
{
    QFETCH(int, pixelSize);
    Fixture f;
    std::unique_ptr<TfmTrack> window = std::make_unique<TfmTrack>(nullptr, f.prefs);
    if (pixelSize > 0) {
        QFont font = window->font();
        font.setPixelSize(pixelSize);
        window->setFont(font);
    }
    window->SetItem(f.track, TfmDataItemBase::EditMode);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *tabs = window->findChild<QTabWidget *>();
    QVERIFY(tabs);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        for (QComboBox *box : tabs->widget(page)->findChildren<QComboBox *>()) {
            if (!box->isVisible())
                continue;
            QVERIFY2(box->height() >= box->sizeHint().height(), qPrintable(box->objectName()));
            QVERIFY2(showsMarksAboveCapitals(box), qPrintable(box->objectName()));
        }
    }
}

void TestTrackWindow::fileReferenceIsReadWhenEditingFinishes()
{
    Fixture f;
    ScratchFolder scratch;
    const QString titled = scratch.newFile(withV2Title(QStringLiteral("From The Tag")));
    const QString untitled = scratch.newFile(withV2Title(QString()));
    auto window = f.open(TfmDataItemBase::EditMode);
    window->edSubtitle->setText(QStringLiteral("typed before"));

    // Typing alone reads nothing.
    window->edFileRef->setText(titled);
    QCOMPARE(window->edTitle->text(), QStringLiteral("Song"));

    Q_EMIT window->edFileRef->editingFinished();
    QCOMPARE(window->edTitle->text(), QStringLiteral("From The Tag"));
    QCOMPARE(window->cbArtist->currentText(), QStringLiteral("Tag Artist"));
    QCOMPARE(window->edSubtitle->text(), QStringLiteral("typed before"));
    QCOMPARE(window->findChild<QLabel *>("laSizeValue")->text(),
             QStringLiteral("%1 bytes").arg(QFileInfo(titled).size()));
    QVERIFY(window->findChild<QLabel *>("laMPEGValue")->text().startsWith("1.0 layer 3"));

    // An empty tag title leaves the typed title.
    window->edTitle->setText(QStringLiteral("Typed"));
    finishEditing(window->edFileRef, untitled);
    QCOMPARE(window->edTitle->text(), QStringLiteral("Typed"));
    window->btOk->click();
    QCOMPARE(f.edited->FilePath, untitled);
}

void TestTrackWindow::pathsThatAreNoRegularFileAreNotOpened()
{
    Fixture f;
    ScratchFolder scratch;
    const QString fifo = scratch.path(QStringLiteral("pipe.mp3"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    f.track->Size = 5000;
    f.track->Bitrate = 128;
    auto window = f.open(TfmDataItemBase::EditMode);
    // Opening the pipe would block the window until a writer came.
    finishEditing(window->edFileRef, fifo);
    QCOMPARE(window->edTitle->text(), QStringLiteral("Song"));
    QCOMPARE(window->findChild<QLabel *>("laSizeValue")->text(), QStringLiteral("0 bytes"));
    finishEditing(window->edFileRef, scratch.path(QStringLiteral("missing.mp3")));
    QCOMPARE(window->findChild<QLabel *>("laBitrateValue")->text(), QStringLiteral("0 kbps"));
}

void TestTrackWindow::okWritesOnlyTheTagsTheFileHas()
{
    Fixture f;
    ScratchFolder scratch;
    const QString path = scratch.newFile(withV1Only());
    const qint64 size = QFileInfo(path).size();
    f.track->FilePath = path;
    f.track->Notes = QString(40, QLatin1Char('n'));
    auto window = f.open(TfmDataItemBase::EditMode);
    window->edTitle->setText(QStringLiteral("New Title"));
    window->btOk->click();
    QCOMPARE(window->result(), int(QDialog::Accepted));

    TID3v2Tag v2;
    QVERIFY(!v2.ReadFromFile(path));
    TID3v1Tag v1;
    QVERIFY(v1.ReadFromFile(path));
    QCOMPARE(v1.Title, QStringLiteral("New Title"));
    QCOMPARE(v1.Comment, QString(30, QLatin1Char('n')));
    QCOMPARE(QFileInfo(path).size(), size);
}

// The box shows the name's stray byte as U+FFFD; the track keeps the bytes
// and the tag is written into that very file.
void TestTrackWindow::pathThatIsNotUtf8IsKept()
{
    Fixture f;
    ScratchFolder scratch;
    const QByteArray bytes = QFile::encodeName(scratch.path(QString())) + "/caf\xe9.mp3";
    QVERIFY(testsupport::writeFileAt(bytes, withV2Title(QStringLiteral("Before"))));
    const QString path = PathFromLocalBytes(bytes);
    f.track->FilePath = path;
    auto window = f.open(TfmDataItemBase::EditMode);
    QVERIFY(window->edFileRef->text().endsWith(QStringLiteral("/caf\uFFFD.mp3")));
    window->edTitle->setText(QStringLiteral("After"));
    window->btOk->click();
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QCOMPARE(f.edited->FilePath, path);
    TID3v2Tag v2;
    QVERIFY(v2.ReadFromFile(path));
    QCOMPARE(v2.Title, QStringLiteral("After"));
    testsupport::emptyFolderAt(QFile::encodeName(scratch.path(QString())));
}

void TestTrackWindow::okWritesATagOthersReadBack()
{
    Fixture f;
    ScratchFolder scratch;
    const QString path = scratch.newFile(withV2Title(QStringLiteral("Before")));
    const QByteArray audioBytes = audio();
    f.track->FilePath = path;
    auto window = f.open(TfmDataItemBase::EditMode);
    window->edTitle->setText(QStringLiteral("Ωmega Song"));
    window->cbAlbum->setEditText(QStringLiteral("Album Y"));
    window->btOk->click();
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QVERIFY(testsupport::readFile(path).endsWith(audioBytes));

    TID3v2Tag v2;
    QVERIFY(v2.ReadFromFile(path));
    QCOMPARE(v2.Title, QStringLiteral("Ωmega Song"));
    QCOMPARE(v2.Album, QStringLiteral("Album Y"));
    QCOMPARE(f.edited->Size, qint32(QFileInfo(path).size()));

    if (mutagentool::python().isEmpty())
        return;
    QJsonObject tag;
    QString error;
    QVERIFY2(mutagentool::dump(path, &tag, &error), qPrintable(error));
    QStringList titles;
    for (const QJsonValue frame : tag.value("frames").toArray()) {
        if (frame.toObject().value("id").toString() == "TIT2")
            titles << frame.toObject().value("text").toArray().first().toString();
    }
    QCOMPARE(titles, QStringList{QStringLiteral("Ωmega Song")});
}

void TestTrackWindow::failedWriteKeepsTheChangeInTheCollection_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("toldBeforeOk");
    QTest::newRow("damaged tag") << "damaged" << false;
    QTest::newRow("folder in the file's place") << "folder" << false;
    QTest::newRow("read-only file") << "read-only" << true;
}

// The collection takes the change whatever became of the file; the user is
// told once why the file kept its tags: in the window before OK when that
// can be seen, else in a message after it.
void TestTrackWindow::failedWriteKeepsTheChangeInTheCollection()
{
    QFETCH(QString, kind);
    QFETCH(bool, toldBeforeOk);
    Fixture f;
    ScratchFolder scratch;
    QString path;
    if (kind == "damaged") {
        // A tag that claims more bytes than the file has cannot be rewritten.
        Id3v2Builder tag(3);
        tag.text("TIT2", QStringLiteral("Kept")).sizeField(Id3v2Builder::syncSafe(900000));
        path = scratch.newFile(tag.build() + audio());
    } else if (kind == "folder") {
        path = scratch.path(QStringLiteral("folder.mp3"));
        QVERIFY(QDir().mkpath(path));
    } else {
        path = scratch.newFile(withV1Only());
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    }
    const QByteArray before = kind == "folder" ? QByteArray() : testsupport::readFile(path);
    f.track->FilePath = path;
    auto window = f.open(TfmDataItemBase::EditMode);
    auto *notice = window->findChild<QLabel *>(QStringLiteral("laReadOnlyFile"));
    QVERIFY(notice);
    QCOMPARE(notice->isVisible(), toldBeforeOk);
    if (toldBeforeOk)
        QVERIFY2(notice->text().contains(QStringLiteral("read-only")), qPrintable(notice->text()));
    window->edTitle->setText(QStringLiteral("Changed"));
    window->btOk->click();

    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QCOMPARE(f.edited->Title, QStringLiteral("Changed"));
    if (toldBeforeOk) {
        QCOMPARE(f.services.messages, QStringList());
    } else {
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY2(f.services.messages.constFirst().contains(path), qPrintable(f.services.messages.constFirst()));
        QVERIFY(f.services.messages.constFirst().contains(QStringLiteral("kept their old values")));
    }
    if (kind != "folder")
        QCOMPARE(testsupport::readFile(path), before);
}

QTEST_MAIN(TestTrackWindow)
#include "tst_trackwindow.moc"
