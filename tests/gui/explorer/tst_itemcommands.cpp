#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/lookupitems.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "fixedshellservices.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/mainbase.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"
#include "testroot.h"

#include <QAction>
#include <QTableView>
#include <QtTest>

#include <functional>

using namespace testroot;

namespace {

// The main window over the small test collection; the edit window and the
// saving are scripted.
class CommandWindow : public TfmMainBase {
public:
    using TfmMainBase::TfmMainBase;

    std::unique_ptr<TRootItem> CreateRootItem() override { return std::make_unique<TTestRoot>(); }
    void RegisterFileAssociation() override {}
    bool Save() override
    {
        ++saves;
        return true;
    }
    bool EditItem(TDataItem *item, bool isEdit) override
    {
        editedItems << item;
        editedIndexes << item->Index;
        editModes << isEdit;
        if (edit)
            edit(static_cast<TTestItem *>(item));
        return confirmEdits;
    }
    bool CanDrop(const TDataObject *object, const TDataObject *target) const override
    {
        return dynamic_cast<const TTestItem *>(object) && dynamic_cast<const TLookupItem *>(target);
    }

    TTestRoot *testRoot() const { return static_cast<TTestRoot *>(Root()); }

    int saves = 0;
    bool confirmEdits = true;
    std::function<void(TTestItem *)> edit;
    // A cancelled new item is freed: tests read its index from here.
    QList<TDataItem *> editedItems;
    QList<qint32> editedIndexes;
    QList<bool> editModes;
};

struct Shell {
    Shell() { prefs.FirstRun = false; }
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    FixedClock clock;
    FixedConnection connection{false};
    TUpdateService updates{prefs, clock, connection};
    ScriptedDesktopServices services;
};

// Tracks by "adams" (Rock; Rock and Pop) and "Cole" (Rock), one without an
// artist (Pop).
void fill(TTestRoot &root)
{
    auto *adams = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("adams")));
    auto *cole = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Cole")));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    const struct {
        const char *title;
        TPersonLookupItem *artist;
        QList<TLookupItem *> genres;
    } rows[] = {{"One", adams, {rock}}, {"Two", cole, {rock}}, {"Three", nullptr, {pop}}, {"Four", adams, {rock, pop}}};
    for (const auto &row : rows) {
        TTestItem *item = root.addItem(QLatin1String(row.title));
        item->Artist = row.artist;
        for (TLookupItem *genre : row.genres)
            item->Genres->Add(genre);
        item->Index = root.NextIndex;
        root.IncrementNextIndex();
        item->GetID();
    }
}

std::unique_ptr<CommandWindow> openWindow(Shell &shell)
{
    auto window = std::make_unique<CommandWindow>(shell.prefs, shell.updates);
    window->FormCreate({});
    fill(*window->testRoot());
    window->LoadSettings();
    window->resize(900, 600);
    window->show();
    // Shortcut keys go to the active window only.
    QApplication::setActiveWindow(window.get());
    window->RefreshView();
    return window;
}

TExplorerNode *child(const TExplorerNode *node, const QString &text)
{
    for (const auto &c : node->Children) {
        if (c->Text == text)
            return c.get();
    }
    return nullptr;
}

QStringList rowTexts(const TfmMainBase &window)
{
    QStringList texts;
    const TExplorerListModel *model = window.ListModel();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, 0)).toString();
    return texts;
}

TTestItem *itemTitled(const TTestRoot &root, const QString &title)
{
    for (int i = 0; i < root.items()->Count(); ++i) {
        if (root.items()->Get(i)->Title == title)
            return root.items()->Get(i);
    }
    return nullptr;
}

void selectRows(TfmMainBase &window, const QList<int> &rows)
{
    window.lvMain->SelectOnly(rows.constFirst());
    QItemSelectionModel *selection = window.lvMain->DetailsView()->selectionModel();
    for (const int row : rows)
        selection->select(window.ListModel()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList genreNames(const TTestItem *item)
{
    QStringList names;
    for (int i = 0; i < item->Genres->Count(); ++i)
        names << item->Genres->Get(i)->DisplayName;
    return names;
}

// Groups the tree by the fields of ids.
void groupBy(CommandWindow &window, std::initializer_list<qint32> ids)
{
    TGroupFieldRefList *groups = window.GetGroupFields(window.TreeMode);
    groups->FreeAll();
    for (const qint32 id : ids)
        groups->Add(std::make_unique<TGroupField>(window.testRoot()->Fields->FindByID(id), groups));
    window.ResetState();
    window.RebuildTree();
    window.RestoreState(nullptr, true);
}

} // namespace

class TestItemCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addRespectsTheEditWindow_data();
    void addRespectsTheEditWindow();
    void editKeepsTheIdAndReselects();
    void cancelledEditChangesNothing();
    void duplicateGetsANewIdentity();
    void removeAsksAndFrees_data();
    void removeAsksAndFrees();
    void enabledRuleFollowsTheSelection();
    void dragOntoFolderChangesTheDifferingLevels_data();
    void dragOntoFolderChangesTheDifferingLevels();
    void reassignIndexRenumbersAndSaves();
};

void TestItemCommands::addRespectsTheEditWindow_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("cancelled") << false;
    QTest::newRow("confirmed") << true;
}

void TestItemCommands::addRespectsTheEditWindow()
{
    QFETCH(bool, confirm);
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    const int count = root->Items->Count();
    const qint32 nextIndex = root->NextIndex;
    window->confirmEdits = confirm;
    window->edit = [](TTestItem *item) { item->Title = QStringLiteral("Added"); };
    QVERIFY(window->Action("acAddItem")->isEnabled());
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Insert);

    QCOMPARE(window->editModes, QList<bool>{false});
    QCOMPARE(window->editedIndexes, QList<qint32>{nextIndex});
    QCOMPARE(root->Items->Count(), count + (confirm ? 1 : 0));
    QCOMPARE(root->NextIndex, nextIndex + (confirm ? 1 : 0));
    QCOMPARE(window->saves, confirm ? 1 : 0);
    if (confirm) {
        // The new track has no artist: its folder is "[None]", with its row selected.
        QCOMPARE(window->SelectedNode()->Text, QStringLiteral("[None]"));
        const int row = window->lvMain->FirstSelectedRow();
        QCOMPARE(window->ListContent->Get(row), window->editedItems.constFirst());
    }
}

void TestItemCommands::editKeepsTheIdAndReselects()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    window->SelectNode(child(window->RootNode, "adams"));
    window->SelectRow(1);
    TTestItem *four = itemTitled(*root, "Four");
    const qint32 id = four->GetID();
    QCOMPARE(window->ListContent->Get(window->lvMain->FirstSelectedRow()), four);
    TPersonLookupItem *cole = static_cast<TPersonLookupItem *>(root->Artists->FindByName("Cole"));
    window->edit = [cole](TTestItem *item) {
        item->Title = QStringLiteral("Four (edited)");
        item->Artist = cole;
    };
    // Enter on the row opens the edit window.
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Return);

    QCOMPARE(window->editModes, QList<bool>{true});
    QVERIFY(window->editedItems.constFirst() != four);
    TTestItem *edited = itemTitled(*root, "Four (edited)");
    QVERIFY(edited);
    QCOMPARE(edited->GetID(), id);
    QVERIFY(!itemTitled(*root, "Four"));
    QCOMPARE(window->saves, 1);
    QCOMPARE(window->SelectedNode()->Text, QStringLiteral("Cole"));
    QCOMPARE(window->ListContent->Get(window->lvMain->FirstSelectedRow()), edited);
}

void TestItemCommands::cancelledEditChangesNothing()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    window->SelectNode(child(window->RootNode, "Cole"));
    window->SelectRow(0);
    window->confirmEdits = false;
    window->edit = [](TTestItem *item) { item->Title = QStringLiteral("Changed"); };
    window->Action("acEditItem")->trigger();
    QCOMPARE(window->editedItems.size(), 1);
    QVERIFY(itemTitled(*root, "Two"));
    QVERIFY(!itemTitled(*root, "Changed"));
    QCOMPARE(root->Items->Count(), 4);
    QCOMPARE(window->saves, 0);
}

void TestItemCommands::duplicateGetsANewIdentity()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    window->SelectNode(child(window->RootNode, "Cole"));
    window->SelectRow(0);
    TTestItem *two = itemTitled(*root, "Two");
    const qint32 nextIndex = root->NextIndex;
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(root->Items->Count(), 5);
    TTestItem *copy = root->items()->Get(4);
    QCOMPARE(copy->Title, QStringLiteral("Two"));
    QVERIFY(copy->GetID() != two->GetID());
    QCOMPARE(copy->Index, nextIndex);
    QCOMPARE(root->NextIndex, nextIndex + 1);
    QCOMPARE(window->saves, 1);
    QVERIFY(window->editedItems.isEmpty());
    QCOMPARE(rowTexts(*window), (QStringList{"Two", "Two"}));
}

void TestItemCommands::removeAsksAndFrees_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"One", "Two", "Three", "Four"};
    QTest::newRow("three, yes") << QList<int>{0, 1, 2} << true << true
                                << "Are you sure you want to remove the 3 selected items ?" << QStringList{"Four"};
    QTest::newRow("three, no") << QList<int>{0, 1, 2} << true << false
                               << "Are you sure you want to remove the 3 selected items ?" << all;
    QTest::newRow("one") << QList<int>{1} << true << true << "Are you sure you want to remove\r\n\"Two\" ?"
                         << QStringList{"One", "Three", "Four"};
    QTest::newRow("without question") << QList<int>{0, 3} << false << false << QString()
                                      << QStringList{"Two", "Three"};
}

void TestItemCommands::removeAsksAndFrees()
{
    QFETCH(QList<int>, rows);
    QFETCH(bool, confirm);
    QFETCH(bool, answerYes);
    QFETCH(QString, question);
    QFETCH(QStringList, left);
    Shell shell;
    shell.prefs.ConfirmItemRemoval = confirm;
    auto window = openWindow(shell);
    groupBy(*window, {});
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Two", "Three", "Four"}));
    selectRows(*window, rows);
    shell.services.answers = {answerYes ? TDesktopServices::TAnswer::Yes : TDesktopServices::TAnswer::No};
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Delete);

    QCOMPARE(shell.services.messages, question.isEmpty() ? QStringList() : QStringList{question});
    QStringList titles;
    for (int i = 0; i < window->testRoot()->items()->Count(); ++i)
        titles << window->testRoot()->items()->Get(i)->Title;
    QCOMPARE(titles, left);
    QCOMPARE(rowTexts(*window), left);
    QCOMPARE(window->saves, left.size() < 4 ? 1 : 0);
}

void TestItemCommands::enabledRuleFollowsTheSelection()
{
    Shell shell;
    auto window = openWindow(shell);
    auto enabled = [&window](const char *name) { return window->Action(QLatin1String(name))->isEnabled(); };
    // The collection node with folders: the list shows folders, no item.
    window->SelectNode(window->RootNode);
    QVERIFY(enabled("acAddItem"));
    QVERIFY(enabled("acEditFilter"));
    QVERIFY(!enabled("acEditItem"));
    QVERIFY(!enabled("acDuplicateItem"));
    QVERIFY(!enabled("acRemoveItem"));
    QVERIFY(!enabled("acEnableFilter"));
    window->SelectNode(child(window->RootNode, "adams"));
    window->SelectRow(0);
    QVERIFY(enabled("acEditItem"));
    QVERIFY(enabled("acDuplicateItem"));
    QVERIFY(enabled("acRemoveItem"));
    // A disabled command does nothing from its key.
    window->SelectNode(window->RootNode);
    shell.services.answers = {TDesktopServices::TAnswer::Yes};
    QTest::keyClick(window->lvMain->DetailsView(), Qt::Key_Delete);
    QCOMPARE(window->testRoot()->Items->Count(), 4);
}

void TestItemCommands::dragOntoFolderChangesTheDifferingLevels_data()
{
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QStringList>("genres");
    // Dragging "One" (adams; Rock) out of adams / Rock.
    QTest::newRow("other artist and genre") << QStringList{"Cole", "Pop"} << "Cole" << QStringList{"Pop"};
    QTest::newRow("artist level only") << QStringList{"Cole"} << "Cole" << QStringList{"Rock"};
    QTest::newRow("no artist") << QStringList{"[None]"} << QString() << QStringList{"Rock"};
    QTest::newRow("same artist, no genre") << QStringList{"adams", "[None]"} << "adams" << QStringList{};
}

void TestItemCommands::dragOntoFolderChangesTheDifferingLevels()
{
    QFETCH(QStringList, target);
    QFETCH(QString, artist);
    QFETCH(QStringList, genres);
    Shell shell;
    auto window = openWindow(shell);
    window->Action("acShowEmptyFolders")->setChecked(true);
    groupBy(*window, {ArtistField, GenreField});
    TTestRoot *root = window->testRoot();
    TTestItem *four = itemTitled(*root, "Four");
    TTestItem *one = itemTitled(*root, "One");

    TExplorerNode *adams = child(window->RootNode, "adams");
    window->ExpandNode(adams);
    window->SelectNode(child(adams, "Rock"));
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Four"}));
    window->SelectRow(0);

    TExplorerNode *node = window->RootNode;
    for (const QString &text : target) {
        window->ExpandNode(node);
        node = child(node, text);
        QVERIFY2(node, qPrintable(text));
    }
    QVERIFY(window->CanDropOnNode(node, false));
    window->DropOnNode(node, false);

    QCOMPARE(GetLookupDisplayName(one->Artist), artist);
    QCOMPARE(genreNames(one), genres);
    // The other track of the folder was not dragged.
    QCOMPARE(GetLookupDisplayName(four->Artist), QStringLiteral("adams"));
    QCOMPARE(genreNames(four), (QStringList{"Rock", "Pop"}));
    QCOMPARE(window->saves, 1);
}

void TestItemCommands::reassignIndexRenumbersAndSaves()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    TSortFieldRefList *order = window->ItemIndexSortFields.get();
    order->FreeAll();
    order->Add(std::make_unique<TSortField>(root->Fields->FindByID(TitleField), 1, order));
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    window->Action("acAssignIndex")->trigger();
    QStringList byIndex;
    for (int i = 0; i < root->items()->Count(); ++i)
        byIndex << QStringLiteral("%1 %2").arg(root->items()->Get(i)->Index).arg(root->items()->Get(i)->Title);
    QCOMPARE(byIndex, (QStringList{"1 Four", "2 One", "3 Three", "4 Two"}));
    QCOMPARE(root->NextIndex, 5);
    QCOMPARE(window->saves, 1);
}

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
