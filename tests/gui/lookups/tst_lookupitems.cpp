// The lookup item windows: which window edits which field, the name checks
// of OK, the sort name shown while typing, the generators, the drive of a
// location and the track order of an album.

#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "fakemounttable.h"
#include "gui/lookups/albumlookupitem.h"
#include "gui/lookups/lookupitem.h"
#include "gui/lookups/lookupitemwindows.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

template <class Window>
std::unique_ptr<Window> openWindow(TLookupItem *item, TLookupList *list, TSettingsStore &store)
{
    auto window = std::make_unique<Window>(nullptr, store);
    window->SetItem(item, list);
    window->show();
    return window;
}

TMp3Track *addTrack(TMp3Root &root, const QString &title, TAlbumLookupItem *album, qint32 trackIndex)
{
    auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
    track->Title = title;
    track->Album = album;
    track->TrackIndex = trackIndex;
    return track;
}

QStringList trackTitles(const TfmAlbumLookupItem &window)
{
    QStringList titles;
    for (const TMp3Track *track : window.TracksModel()->Tracks())
        titles << track->Title;
    return titles;
}

} // namespace

class TestLookupItems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowForField_data();
    void windowForField();
    void okChecksTheName_data();
    void okChecksTheName();
    void okNeedsAName();
    void cancelWritesNothing();
    void renamingKeepsTheListInOrder();
    void personSortNameWhileTyping();
    void sortGeneratorsWorkOnTheControls();
    void locationDriveTypes_data();
    void locationDriveTypes();
    void locationDriveFromMounts();
    void albumListsItsTracksInTrackOrder();
    void albumOrderBecomesTrackIndexOnOk();
    void albumCancelKeepsTrackIndexes();
    void albumGeneratorKeepsTheTrackPage();
    void editLookupItemRunsModally();

private:
    TMemorySettingsStore m_store;
    ScriptedDesktopServices m_services;
};

void TestLookupItems::windowForField_data()
{
    QTest::addColumn<qint32>("fieldID");
    QTest::addColumn<int>("windowClass");
    QTest::newRow("location") << Mp3FieldIds::Location << int(TLookupItemWindowClass::Location);
    QTest::newRow("album") << Mp3FieldIds::Album << int(TLookupItemWindowClass::Album);
    QTest::newRow("artist") << Mp3FieldIds::Artist << int(TLookupItemWindowClass::Person);
    QTest::newRow("composer") << Mp3FieldIds::Composer << int(TLookupItemWindowClass::Person);
    QTest::newRow("label") << Mp3FieldIds::Label << int(TLookupItemWindowClass::Sort);
    QTest::newRow("orchestra") << Mp3FieldIds::Orchestra << int(TLookupItemWindowClass::Sort);
    QTest::newRow("genre") << Mp3FieldIds::Genre << int(TLookupItemWindowClass::Plain);
    QTest::newRow("year") << Mp3FieldIds::Year << int(TLookupItemWindowClass::Plain);
    QTest::newRow("not a lookup field") << Mp3FieldIds::Title << int(TLookupItemWindowClass::Plain);
}

void TestLookupItems::windowForField()
{
    QFETCH(qint32, fieldID);
    QFETCH(int, windowClass);
    TMp3Root root;
    const TDataField *field = root.Fields->FindByID(fieldID);
    QVERIFY(field);
    QCOMPARE(int(LookupItemWindowFor(field)), windowClass);
}

void TestLookupItems::okChecksTheName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("another value in other case") << "the lanterns" << false;
    QTest::newRow("another value's sort name") << "LANTERNS, THE" << false;
    QTest::newRow("own name unchanged") << "Anna Kestrel" << true;
    QTest::newRow("own name in other case") << "anna kestrel" << true;
    QTest::newRow("a new name") << "Zoe Hart" << true;
}

void TestLookupItems::okChecksTheName()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TMp3Root root;
    auto *lanterns = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("The Lanterns")));
    lanterns->GenerateNamePartsFromName();
    root.Artists->ItemChanged(lanterns);
    TLookupItem *anna = root.Artists->AddNew(QStringLiteral("Anna Kestrel"));
    m_services.messages.clear();

    auto window = openWindow<TfmPersonLookupItem>(anna, root.Artists.get(), m_store);
    window->edName->setText(typed);
    window->btOK->click();
    QCOMPARE(window->result() == QDialog::Accepted, accepted);
    QCOMPARE(window->isVisible(), !accepted);
    if (accepted) {
        QCOMPARE(anna->DisplayName, typed);
        QVERIFY(m_services.messages.isEmpty());
    } else {
        QCOMPARE(anna->DisplayName, QStringLiteral("Anna Kestrel"));
        QCOMPARE(m_services.messages, QStringList{QStringLiteral("%1 is already in the list.").arg(typed)});
        QCOMPARE(window->edName->text(), typed);
    }
}

void TestLookupItems::okNeedsAName()
{
    TMp3Root root;
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    auto window = openWindow<TfmLookupItemBase>(rock, root.GenreList.get(), m_store);
    QVERIFY(window->btOK->isEnabled());
    for (const QString &text : {QString(), QStringLiteral("   ")}) {
        window->edName->setText(text);
        QVERIFY2(!window->btOK->isEnabled(), qPrintable(text));
        window->accept();
        QVERIFY(window->isVisible());
    }
    QCOMPARE(rock->DisplayName, QStringLiteral("Rock"));
}

void TestLookupItems::cancelWritesNothing()
{
    TMp3Root root;
    auto *anna = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Anna Kestrel")));
    auto window = openWindow<TfmPersonLookupItem>(anna, root.Artists.get(), m_store);
    window->edName->setText(QStringLiteral("Other"));
    window->edFirstName->setText(QStringLiteral("X"));
    window->btCancel->click();
    QCOMPARE(window->result(), int(QDialog::Rejected));
    QCOMPARE(anna->DisplayName, QStringLiteral("Anna Kestrel"));
    QVERIFY(anna->FirstName.isEmpty());
}

void TestLookupItems::renamingKeepsTheListInOrder()
{
    TMp3Root root;
    TLookupItem *alpha = root.Labels->AddNew(QStringLiteral("Alpha"));
    root.Labels->AddNew(QStringLiteral("Beta"));
    auto window = openWindow<TfmSortLookupItem>(alpha, root.Labels.get(), m_store);
    window->edName->setText(QStringLiteral("Gamma"));
    window->btOK->click();
    QCOMPARE(root.Labels->Get(1), alpha);
    QCOMPARE(root.Labels->FindByName(QStringLiteral("gamma")), alpha);
    QCOMPARE(root.Labels->FindByName(QStringLiteral("Alpha")), nullptr);
}

void TestLookupItems::personSortNameWhileTyping()
{
    TMp3Root root;
    auto *item = static_cast<TPersonLookupItem *>(root.Artists->CreateItem());
    auto window = openWindow<TfmPersonLookupItem>(item, root.Artists.get(), m_store);
    QTest::keyClicks(window->edFirstName, QStringLiteral("Anna"));
    QCOMPARE(window->edSortName->text(), QStringLiteral("Anna"));
    QTest::keyClicks(window->edLastName, QStringLiteral("Kestrel"));
    QCOMPARE(window->edSortName->text(), QStringLiteral("Kestrel, Anna"));
    QVERIFY(!window->btOK->isEnabled());

    window->btGenerateNameFromNameParts->click();
    QCOMPARE(window->edName->text(), QStringLiteral("Anna Kestrel"));
    QVERIFY(window->btOK->isEnabled());
    QVERIFY(item->DisplayName.isEmpty());   // only OK writes

    window->btOK->click();
    QCOMPARE(item->DisplayName, QStringLiteral("Anna Kestrel"));
    QCOMPARE(item->FirstName, QStringLiteral("Anna"));
    QCOMPARE(item->LastName, QStringLiteral("Kestrel"));
    QCOMPARE(item->GetSortName(), QStringLiteral("Kestrel, Anna"));
}

void TestLookupItems::sortGeneratorsWorkOnTheControls()
{
    TMp3Root root;
    TLookupItem *item = root.Labels->AddNew(QStringLiteral("x"));
    auto window = openWindow<TfmSortLookupItem>(item, root.Labels.get(), m_store);
    window->edName->setText(QStringLiteral("The Lanterns"));
    QCOMPARE(window->edSortName->text(), QStringLiteral("The Lanterns"));
    window->btGenerateNamePartsFromName->click();
    QCOMPARE(window->edLastName->text(), QStringLiteral("Lanterns"));
    QCOMPARE(window->edThe->text(), QStringLiteral("The"));
    QCOMPARE(window->edSortName->text(), QStringLiteral("Lanterns, The"));
    QCOMPARE(window->edName->text(), QStringLiteral("The Lanterns"));
}

void TestLookupItems::locationDriveTypes_data()
{
    QTest::addColumn<int>("storedType");
    QTest::addColumn<int>("shownChoice");
    QTest::addColumn<int>("savedType");
    QTest::newRow("removable") << 2 << int(TfmLocationLookupItem::ChoiceRemovable) << 2;
    QTest::newRow("fixed") << 3 << int(TfmLocationLookupItem::ChoiceHarddisk) << 3;
    QTest::newRow("network") << 4 << int(TfmLocationLookupItem::ChoiceNetwork) << 4;
    QTest::newRow("cd") << 5 << int(TfmLocationLookupItem::ChoiceCD) << 5;
    QTest::newRow("ram disk shows the default") << 6 << int(TfmLocationLookupItem::ChoiceHarddisk) << 3;
    QTest::newRow("undetermined") << 0 << int(TfmLocationLookupItem::ChoiceHarddisk) << 3;
}

void TestLookupItems::locationDriveTypes()
{
    QFETCH(int, storedType);
    QFETCH(int, shownChoice);
    QFETCH(int, savedType);
    TMp3Root root;
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->AddNew(QStringLiteral("Music")));
    location->DriveType = quint8(storedType);
    location->DriveLabel = QStringLiteral("MUSIC");
    auto window = openWindow<TfmLocationLookupItem>(location, root.Locations.get(), m_store);
    QCOMPARE(window->DriveTypeIndex(), shownChoice);
    QCOMPARE(window->edDriveLabel->text(), QStringLiteral("MUSIC"));
    window->btOK->click();
    QCOMPARE(int(location->DriveType), savedType);
    QCOMPARE(location->DriveLabel, QStringLiteral("MUSIC"));
}

void TestLookupItems::locationDriveFromMounts()
{
    TFakeMountTable mounts;
    mounts.add(QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4"));
    mounts.add(QStringLiteral("/run/user/1000"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
    mounts.add(QStringLiteral("/media/anna/DISC1"), QStringLiteral("/dev/sr0"), QStringLiteral("iso9660"),
               QStringLiteral("DISC1"));
    mounts.add(QStringLiteral("/mnt/nas"), QStringLiteral("//nas/music"), QStringLiteral("cifs"));
    TfmLocationLookupItem::SetMountTable(&mounts);

    TMp3Root root;
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->AddNew(QStringLiteral("Music")));
    location->DriveType = dkCDRom;
    location->DriveLabel = QStringLiteral("DISC1");
    auto window = openWindow<TfmLocationLookupItem>(location, root.Locations.get(), m_store);
    // No memory file systems; an empty first entry that changes nothing.
    QCOMPARE(window->cbDrive->count(), 4);
    QVERIFY(window->cbDrive->currentText().contains(QStringLiteral("DISC1")));

    const int nas = window->cbDrive->findText(QStringLiteral("/mnt/nas"), Qt::MatchStartsWith);
    QVERIFY(nas > 0);
    window->cbDrive->setCurrentIndex(nas);
    Q_EMIT window->cbDrive->activated(nas);
    QCOMPARE(window->DriveTypeIndex(), int(TfmLocationLookupItem::ChoiceNetwork));
    QCOMPARE(window->edDriveLabel->text(), QStringLiteral("nas/music"));
    window->btOK->click();
    QCOMPARE(int(location->DriveType), int(dkNetwork));
    QCOMPARE(location->DriveLabel, QStringLiteral("nas/music"));
    TfmLocationLookupItem::SetMountTable(nullptr);
}

void TestLookupItems::albumListsItsTracksInTrackOrder()
{
    TMp3Root root;
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Blue")));
    auto *other = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Red")));
    addTrack(root, QStringLiteral("Three"), album, 3);
    addTrack(root, QStringLiteral("Elsewhere"), other, 1);
    addTrack(root, QStringLiteral("One"), album, 1);
    addTrack(root, QStringLiteral("None"), nullptr, 2);
    addTrack(root, QStringLiteral("Two"), album, 2);
    auto window = openWindow<TfmAlbumLookupItem>(album, root.Albums.get(), m_store);
    QCOMPARE(trackTitles(*window), (QStringList{"One", "Two", "Three"}));
    QVERIFY(window->pcMain->tabBar()->isVisible());
}

void TestLookupItems::albumOrderBecomesTrackIndexOnOk()
{
    TMp3Root root;
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Blue")));
    TMp3Track *one = addTrack(root, QStringLiteral("One"), album, 1);
    TMp3Track *two = addTrack(root, QStringLiteral("Two"), album, 2);
    TMp3Track *three = addTrack(root, QStringLiteral("Three"), album, 3);
    auto window = openWindow<TfmAlbumLookupItem>(album, root.Albums.get(), m_store);

    window->SelectRow(2);
    QVERIFY(window->acMoveTrackUp->isEnabled());
    QVERIFY(!window->acMoveTrackDown->isEnabled());
    window->acMoveTrackUp->trigger();
    window->acMoveTrackUp->trigger();
    QCOMPARE(trackTitles(*window), (QStringList{"Three", "One", "Two"}));
    QCOMPARE(window->SelectedRow(), 0);
    QVERIFY(!window->acMoveTrackUp->isEnabled());
    // Unchanged until OK.
    QCOMPARE(three->TrackIndex, 3);

    window->btOK->click();
    QCOMPARE(three->TrackIndex, 1);
    QCOMPARE(one->TrackIndex, 2);
    QCOMPARE(two->TrackIndex, 3);
}

void TestLookupItems::albumCancelKeepsTrackIndexes()
{
    TMp3Root root;
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("Blue")));
    TMp3Track *one = addTrack(root, QStringLiteral("One"), album, 1);
    TMp3Track *two = addTrack(root, QStringLiteral("Two"), album, 2);
    auto window = openWindow<TfmAlbumLookupItem>(album, root.Albums.get(), m_store);
    window->SelectRow(0);
    window->acMoveTrackDown->trigger();
    QCOMPARE(trackTitles(*window), (QStringList{"Two", "One"}));
    window->btCancel->click();
    QCOMPARE(one->TrackIndex, 1);
    QCOMPARE(two->TrackIndex, 2);
}

void TestLookupItems::albumGeneratorKeepsTheTrackPage()
{
    TMp3Root root;
    auto *album = static_cast<TAlbumLookupItem *>(root.Albums->AddNew(QStringLiteral("The Blue")));
    addTrack(root, QStringLiteral("One"), album, 1);
    TMp3Track *two = addTrack(root, QStringLiteral("Two"), album, 2);
    auto window = openWindow<TfmAlbumLookupItem>(album, root.Albums.get(), m_store);
    window->SelectRow(1);
    window->acMoveTrackUp->trigger();
    window->btGenerateNamePartsFromName->click();
    QCOMPARE(window->edSortName->text(), QStringLiteral("Blue, The"));
    QCOMPARE(trackTitles(*window), (QStringList{"Two", "One"}));
    window->btOK->click();
    QCOMPARE(two->TrackIndex, 1);
    QCOMPARE(album->LastName, QStringLiteral("Blue"));
}

void TestLookupItems::editLookupItemRunsModally()
{
    TMp3Root root;
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    QString caption;
    QString windowName;
    QTimer::singleShot(0, this, [&] {
        auto *window = qobject_cast<TfmLookupItemBase *>(QApplication::activeModalWidget());
        QVERIFY(window);
        caption = window->windowTitle();
        windowName = window->objectName();
        window->edName->setText(QStringLiteral("Rock 'n' Roll"));
        window->btOK->click();
    });
    const TDataField *genre = root.Fields->FindByID(Mp3FieldIds::Genre);
    QVERIFY(EditLookupItem(LookupItemWindowFor(genre), nullptr, rock, QStringLiteral("Edit Genre"),
                           root.GenreList.get(), m_store));
    QCOMPARE(caption, QStringLiteral("Edit Genre"));
    QCOMPARE(windowName, QStringLiteral("fmLookupItemBase"));
    QCOMPARE(rock->DisplayName, QStringLiteral("Rock 'n' Roll"));
    // The placement is kept under the window's name.
    QVERIFY(m_store.ValueExists(QStringLiteral("WindowPlacement"), QStringLiteral("fmLookupItemBase")));
}

QTEST_MAIN(TestLookupItems)
#include "tst_lookupitems.moc"
