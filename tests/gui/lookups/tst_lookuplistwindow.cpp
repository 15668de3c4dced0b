// The lookup list window over a small MP3 collection: which list it opens
// on, the counts, removing (and refusing to remove) values, finding unused
// ones, merging, adding, and what it keeps in the settings.

#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/lookups/lookupitem.h"
#include "gui/lookups/lookuplistwindow.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using TAnswer = TDesktopServices::TAnswer;

namespace {

// Artists "Lanterns" (2 tracks), "The Lanterns" (1), "Lanterns, The" (1),
// "Zoe Hart" and "Anna Kestrel" (none); genres with "Pop" and "Pop Music"
// both on one track.
struct Collection {
    TMp3Root root;
    TPersonLookupItem *lanterns = artist("Lanterns");
    TPersonLookupItem *theLanterns = artist("The Lanterns");
    TPersonLookupItem *target = artist("Lanterns, The");
    TPersonLookupItem *zoe = artist("Zoe Hart");
    TPersonLookupItem *anna = artist("Anna Kestrel");
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    TLookupItem *popMusic = root.GenreList->AddNew(QStringLiteral("Pop Music"));
    TMp3Track *one = track(lanterns, {pop, popMusic});
    TMp3Track *two = track(lanterns, {popMusic});
    TMp3Track *three = track(theLanterns, {});
    TMp3Track *four = track(target, {pop});

    TPersonLookupItem *artist(const char *name)
    {
        return static_cast<TPersonLookupItem *>(root.Artists->AddNew(QLatin1String(name)));
    }
    TMp3Track *track(TPersonLookupItem *artist, std::initializer_list<TLookupItem *> genres)
    {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Artist = artist;
        for (TLookupItem *genre : genres)
            track->Genres->Add(genre);
        return track;
    }
    const TDataField *field(qint32 id) const { return root.Fields->FindByID(id); }
};

QStringList column(const TfmLookupListBase &window, int section)
{
    QStringList texts;
    const QAbstractItemModel *model = window.lvList->DetailsView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, section)).toString();
    return texts;
}

int columnOf(const TfmLookupListBase &window, const QString &caption)
{
    const QAbstractItemModel *model = window.lvList->DetailsView()->model();
    for (int section = 0; section < model->columnCount(); ++section) {
        if (model->headerData(section, Qt::Horizontal).toString() == caption)
            return section;
    }
    return -1;
}

void selectItems(TfmLookupListBase &window, const QList<TLookupItem *> &items)
{
    QItemSelectionModel *selection = window.lvList->DetailsView()->selectionModel();
    selection->clearSelection();
    for (const TLookupItem *item : items) {
        const int row = window.RowOf(item);
        QVERIFY(row >= 0);
        selection->select(window.lvList->Model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString selectedName(const TfmLookupListBase &window)
{
    const QList<TLookupItem *> items = window.SelectedItems();
    return items.size() == 1 ? items.first()->DisplayName : QString();
}

} // namespace

class TestLookupListWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensOnTheStoredListSortedBySortName_data();
    void opensOnTheStoredListSortedBySortName();
    void countsAndSingleItemStatus();
    void switchingListsAndSorting();
    void removeUnusedSelectsTheNextValue_data();
    void removeUnusedSelectsTheNextValue();
    void removeAnsweredNoKeepsTheValue();
    void removeRefusesValuesInUse();
    void removeCountsAgainBeforeDeciding();
    void removedValuesLeaveTheMergeList();
    void selectUnused();
    void mergeRewritesEveryTrack();
    void mergeToDisabledWhileTheTargetIsInTheMergeList();
    void addAndCancelLeavesTheListAsItWas();
    void addWithOk();
    void columnWidthsKeptPerListWithSafeSectionNames();
    void assistiveToolsSeeTheRows();

private:
    std::unique_ptr<TfmLookupListBase> openWindow(Collection &c, const TDataField *field = nullptr);

    TMemorySettingsStore m_store;
    std::unique_ptr<ScriptedDesktopServices> m_services;
    int m_freed = 0;
};

void TestLookupListWindow::init()
{
    m_store.clear();
    m_services.reset();   // its destructor uninstalls it
    m_services = std::make_unique<ScriptedDesktopServices>();
    m_freed = 0;
}

std::unique_ptr<TfmLookupListBase> TestLookupListWindow::openWindow(Collection &c, const TDataField *field)
{
    auto window = std::make_unique<TfmLookupListBase>(nullptr, c.root, m_store);
    window->SetInitialField(field);
    window->SetBeforeFree([this] { ++m_freed; });
    window->show();
    return window;
}

void TestLookupListWindow::opensOnTheStoredListSortedBySortName_data()
{
    QTest::addColumn<QString>("storedID");
    QTest::addColumn<qint32>("shownField");
    QTest::newRow("genres") << "7" << Mp3FieldIds::Genre;
    QTest::newRow("no such field") << "99999" << Mp3FieldIds::Artist;
    QTest::newRow("not a lookup field") << "3" << Mp3FieldIds::Artist;
    QTest::newRow("nothing stored") << QString() << Mp3FieldIds::Artist;
}

void TestLookupListWindow::opensOnTheStoredListSortedBySortName()
{
    QFETCH(QString, storedID);
    QFETCH(qint32, shownField);
    Collection c;
    if (!storedID.isEmpty())
        m_store.WriteString(QStringLiteral("fmLookupList"), QStringLiteral("FieldID"), storedID);
    auto window = openWindow(c);
    QCOMPARE(window->Field()->ID, shownField);
    QCOMPARE(window->btLookupLists->text(), QStringLiteral("List: ") + GetFieldDisplayName(window->Field()));
    QCOMPARE(window->SortBy()->ID, qint32(FieldIds::SortName));
    QCOMPARE(window->SortDirection(), 1);
    QStringList sortNames = column(*window, 0);
    QStringList sorted = sortNames;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(sortNames, sorted);
    QCOMPARE(window->lvList->FirstSelectedRow(), 0);
    // Closing keeps the list for the next opening.
    window->close();
    QCOMPARE(m_store.ReadInteger(QStringLiteral("fmLookupList"), QStringLiteral("FieldID"), -1), shownField);
}

void TestLookupListWindow::countsAndSingleItemStatus()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    const int used = columnOf(*window, QStringLiteral("Used"));
    const int name = columnOf(*window, QStringLiteral("Display Name"));
    QVERIFY(used >= 0 && name >= 0);
    QHash<QString, QString> counts;
    const QStringList names = column(*window, name);
    const QStringList uses = column(*window, used);
    for (int i = 0; i < names.size(); ++i)
        counts.insert(names.at(i), uses.at(i));
    QCOMPARE(counts.value(QStringLiteral("Lanterns")), QStringLiteral("2"));
    QCOMPARE(counts.value(QStringLiteral("The Lanterns")), QStringLiteral("1"));
    QCOMPARE(counts.value(QStringLiteral("Zoe Hart")), QStringLiteral("0"));
    QCOMPARE(window->pnCount->text(), QStringLiteral("5 items"));

    c.root.Conductors->AddNew(QStringLiteral("Solo"));
    window->ChooseList(c.field(Mp3FieldIds::Conductor));
    QCOMPARE(window->pnCount->text(), QStringLiteral("1 items"));
}

void TestLookupListWindow::switchingListsAndSorting()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    const int used = columnOf(*window, QStringLiteral("Used"));
    window->SortByColumn(used);
    QCOMPARE(window->SortBy()->ID, qint32(FieldIds::Used));
    QCOMPARE(column(*window, used).first(), QStringLiteral("0"));
    window->SortByColumn(used);
    QCOMPARE(window->SortDirection(), -1);
    QCOMPARE(column(*window, used).first(), QStringLiteral("2"));

    // Genres have a Used column too: the sort stays; Albums have no First
    // Name column: back to the sort name.
    window->ChooseList(c.field(Mp3FieldIds::Genre));
    QCOMPARE(window->SortBy()->ID, qint32(FieldIds::Used));
    window->SortByColumn(columnOf(*window, QStringLiteral("Sort Name")));
    window->ChooseList(c.field(Mp3FieldIds::Artist));
    window->SortByColumn(columnOf(*window, QStringLiteral("First Name")));
    window->ChooseList(c.field(Mp3FieldIds::Album));
    QCOMPARE(window->SortBy()->ID, qint32(FieldIds::SortName));
    QCOMPARE(window->btLookupLists->text(), QStringLiteral("List: Album"));
}

void TestLookupListWindow::removeUnusedSelectsTheNextValue_data()
{
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("selected");
    // Sort names: Anna Kestrel, Lanterns, Lanterns, The, The Lanterns, Zoe Hart.
    QTest::newRow("in the middle") << "Anna Kestrel" << "Lanterns";
    QTest::newRow("the last") << "Zoe Hart" << "The Lanterns";
}

void TestLookupListWindow::removeUnusedSelectsTheNextValue()
{
    QFETCH(QString, removed);
    QFETCH(QString, selected);
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    TLookupItem *item = c.root.Artists->FindByName(removed);
    selectItems(*window, {item});
    m_services->answers = {TAnswer::Yes};
    window->acRemove->trigger();
    QCOMPARE(m_services->messages, QStringList{QStringLiteral("Are you sure you want to remove item \"%1\"?").arg(removed)});
    QCOMPARE(c.root.Artists->FindByName(removed), nullptr);
    QCOMPARE(selectedName(*window), selected);
    QCOMPARE(window->pnCount->text(), QStringLiteral("4 items"));
    QCOMPARE(m_freed, 1);
    QVERIFY(window->Changed());
}

void TestLookupListWindow::removeAnsweredNoKeepsTheValue()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    selectItems(*window, {c.zoe, c.anna});
    m_services->answers = {TAnswer::No};
    window->acRemove->trigger();
    QCOMPARE(m_services->messages,
             QStringList{QStringLiteral("Are you sure you want to remove the 2 selected items?")});
    QCOMPARE(c.root.Artists->Count(), 5);
    QCOMPARE(m_freed, 0);
}

void TestLookupListWindow::removeRefusesValuesInUse()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    selectItems(*window, {c.anna, c.lanterns, c.zoe});
    m_services->answers = {TAnswer::Yes};
    window->acRemove->trigger();
    QCOMPARE(m_services->messages.size(), 2);
    QCOMPARE(m_services->messages.at(1),
             QStringLiteral("The item\n\"Lanterns\"\ncannot be removed because it is still in use. "
                            "Use the Merge function to merge this item with another item."));
    QCOMPARE(c.root.Artists->Count(), 3);
    QCOMPARE(c.root.Artists->IndexOf(c.lanterns) >= 0, true);
    QCOMPARE(c.one->Artist, c.lanterns);
    // The value after the last selected row ("Zoe Hart", now gone): none, so the last.
    QCOMPARE(selectedName(*window), QStringLiteral("The Lanterns"));
}

void TestLookupListWindow::removeCountsAgainBeforeDeciding()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    // "Zoe Hart" was counted unused when the window opened; now a track
    // uses her.
    TMp3Track *late = c.track(c.zoe, {});
    selectItems(*window, {c.zoe});
    m_services->answers = {TAnswer::Yes};
    window->acRemove->trigger();
    QCOMPARE(m_services->messages.size(), 2);
    QVERIFY(m_services->messages.at(1).contains(QStringLiteral("\"Zoe Hart\"\ncannot be removed because it is still in use.")));
    QCOMPARE(late->Artist, c.zoe);
    QCOMPARE(c.root.Artists->IndexOf(c.zoe) >= 0, true);
    QCOMPARE(selectedName(*window), QStringLiteral("Zoe Hart"));
}

void TestLookupListWindow::removedValuesLeaveTheMergeList()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    selectItems(*window, {c.anna, c.lanterns});
    window->acMergeFrom->trigger();
    QCOMPARE(window->MergeItems().size(), 2);
    m_services->answers = {TAnswer::Yes};
    window->acRemove->trigger();
    QCOMPARE(window->MergeItems(), QList<TLookupItem *>{c.lanterns});
    QCOMPARE(window->lvMerge->model()->rowCount(), 1);
}

void TestLookupListWindow::selectUnused()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Genre));
    // Genres start with no unused values here... none at all but the two.
    window->acSelectUnused->trigger();
    QVERIFY(window->SelectedItems().isEmpty());
    QVERIFY(m_services->messages.isEmpty());

    window->ChooseList(c.field(Mp3FieldIds::Artist));
    window->acSelectUnused->trigger();
    QCOMPARE(window->SelectedItems(), (QList<TLookupItem *>{c.anna, c.zoe}));
    QCOMPARE(m_services->messages,
             QStringList{QStringLiteral("Found and selected 2 unused items. Use \"Remove Selected Items (Del)\" to "
                                        "remove them from the list.")});
    QVERIFY(!window->Changed());
}

void TestLookupListWindow::mergeRewritesEveryTrack()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    selectItems(*window, {c.lanterns, c.theLanterns});
    window->acMergeFrom->trigger();
    selectItems(*window, {c.target});
    QVERIFY(window->acMergeTo->isEnabled());
    window->acMergeTo->trigger();
    QCOMPARE(m_freed, 1);
    QVERIFY(window->Changed());
    QVERIFY(window->MergeItems().isEmpty());
    QCOMPARE(c.root.Artists->Count(), 3);
    for (const TMp3Track *track : {c.one, c.two, c.three, c.four})
        QCOMPARE(track->Artist, c.target);
    QCOMPARE(selectedName(*window), QStringLiteral("Lanterns, The"));
    const int used = columnOf(*window, QStringLiteral("Used"));
    QCOMPARE(column(*window, used).at(window->RowOf(c.target)), QStringLiteral("4"));

    // Genres: "Pop Music" into "Pop"; the track that had both holds Pop once.
    window->ChooseList(c.field(Mp3FieldIds::Genre));
    selectItems(*window, {c.popMusic});
    window->acMergeFrom->trigger();
    selectItems(*window, {c.pop});
    window->acMergeTo->trigger();
    QCOMPARE(c.one->Genres->GetText(), QStringLiteral("Pop"));
    QCOMPARE(c.two->Genres->GetText(), QStringLiteral("Pop"));
    QCOMPARE(c.four->Genres->GetText(), QStringLiteral("Pop"));
    QCOMPARE(c.root.GenreList->Count(), 1);
    QCOMPARE(c.pop->UseCount, 3);
}

void TestLookupListWindow::mergeToDisabledWhileTheTargetIsInTheMergeList()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    QVERIFY(!window->acMergeTo->isEnabled());   // empty merge list
    selectItems(*window, {c.lanterns});
    window->acMergeFrom->trigger();
    QVERIFY(!window->acMergeTo->isEnabled());
    selectItems(*window, {c.zoe, c.anna});
    QVERIFY(!window->acMergeTo->isEnabled());   // two targets
    selectItems(*window, {c.zoe});
    QVERIFY(window->acMergeTo->isEnabled());
    window->acClearMergeList->trigger();
    QVERIFY(!window->acMergeTo->isEnabled());
}

void TestLookupListWindow::addAndCancelLeavesTheListAsItWas()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Label));
    QTimer::singleShot(0, this, [] {
        auto *item = qobject_cast<TfmLookupItemBase *>(QApplication::activeModalWidget());
        QVERIFY(item);
        QCOMPARE(item->windowTitle(), QStringLiteral("Add Label"));
        QCOMPARE(item->objectName(), QStringLiteral("fmSortLookupItem"));
        item->edName->setText(QStringLiteral("Nope"));
        item->btCancel->click();
    });
    window->acAdd->trigger();
    QCOMPARE(c.root.Labels->Count(), 0);
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 items"));
    QVERIFY(!window->Changed());
}

void TestLookupListWindow::addWithOk()
{
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    QTimer::singleShot(0, this, [] {
        auto *item = qobject_cast<TfmPersonLookupItem *>(QApplication::activeModalWidget());
        QVERIFY(item);
        item->edFirstName->setText(QStringLiteral("Bo"));
        item->edLastName->setText(QStringLiteral("Diddley"));
        item->btGenerateNameFromNameParts->click();
        item->btOK->click();
    });
    window->acAdd->trigger();
    TLookupItem *added = c.root.Artists->FindByName(QStringLiteral("Bo Diddley"));
    QVERIFY(added);
    QCOMPARE(added->GetSortName(), QStringLiteral("Diddley, Bo"));
    QCOMPARE(window->SelectedItems(), QList<TLookupItem *>{added});
    QVERIFY(window->Changed());
}

void TestLookupListWindow::columnWidthsKeptPerListWithSafeSectionNames()
{
    Collection c;
    TDataField *genre = c.root.Fields->FindByID(Mp3FieldIds::Genre);
    SetFieldCustomName(genre, QStringLiteral("Style/Sub\\Genre"));
    const QString section = QStringLiteral("fmLookupList\\Columns\\Style%2FSub%5CGenre");
    m_store.WriteInteger(section, QStringLiteral("Display Name"), 222);
    {
        auto window = openWindow(c, genre);
        const int name = columnOf(*window, QStringLiteral("Display Name"));
        QCOMPARE(window->lvList->Header()->sectionSize(name), 222);
        window->lvList->Header()->resizeSection(name, 180);
        window->ChooseList(c.field(Mp3FieldIds::Artist));
        QCOMPARE(m_store.ReadInteger(section, QStringLiteral("Display Name"), 0), 180);
        window->close();
    }
    QVERIFY(m_store.SectionExists(QStringLiteral("fmLookupList\\Columns\\Artist")));
    // No section was split at the separators of the name.
    QVERIFY(!m_store.SectionExists(QStringLiteral("fmLookupList\\Columns\\Style/Sub")));
    QVERIFY(m_store.ValueExists(QStringLiteral("WindowPlacement"), QStringLiteral("fmLookupListBase")));
    QVERIFY(m_store.ValueExists(QStringLiteral("fmLookupList"), QStringLiteral("MergeListHeight")));
}

void TestLookupListWindow::assistiveToolsSeeTheRows()
{
    // A screen reader walks the list as a table: its name, its rows with
    // their cells' texts, the column captions, the selected row.
    Collection c;
    auto window = openWindow(c, c.field(Mp3FieldIds::Artist));
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTableView *view = window->lvList->DetailsView();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::Table);
    QVERIFY(!list->text(QAccessible::Name).isEmpty());
    QAccessibleTableInterface *table = list->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), c.root.Artists->Count());
    QCOMPARE(table->columnCount(), view->model()->columnCount());
    const QStringList sortNames = column(*window, 0);
    for (int row = 0; row < table->rowCount(); ++row) {
        QAccessibleInterface *cell = table->cellAt(row, 0);
        QVERIFY(cell);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->text(QAccessible::Name), sortNames.at(row));
    }
    QCOMPARE(table->columnDescription(0), GetFieldDisplayName(c.field(FieldIds::SortName)));
    window->lvList->SelectOnly(2);
    QCOMPARE(table->selectedRows(), QList<int>{2});
    QVERIFY(table->cellAt(2, 0)->state().selected);
}

QTEST_MAIN(TestLookupListWindow)
#include "tst_lookuplistwindow.moc"
