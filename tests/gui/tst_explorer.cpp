#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/filterfields.h"
#include "core/data/lookupitems.h"
#include "gui/explorer/iconviewdelegate.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/explorer/sizingsplitter.h"
#include "fixedshellservices.h"
#include "memorysettingsstore.h"
#include "core/mp3model/mp3root.h"
#include "scripteddesktopservices.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/mainbase.h"
#include "gui/shell/rootcollection.h"
#include "testroot.h"
#include "testsupport.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

using namespace testroot;

namespace {

// The main window over the small test collection, with scripted file
// dialogs.
class ExplorerWindow : public TfmMainBase {
public:
    ExplorerWindow(TMp3Prefs &prefs, TUpdateService &updates, bool testRoot)
        : TfmMainBase(prefs, updates), m_testRoot(testRoot)
    {
    }
    std::unique_ptr<TRootItem> CreateRootItem() override
    {
        return m_testRoot ? std::make_unique<TTestRoot>() : TfmMainBase::CreateRootItem();
    }
    void RegisterFileAssociation() override {}
    QString AskOpenFileName() override { return openNames.isEmpty() ? QString() : openNames.takeFirst(); }
    QString AskSaveFileName() override
    {
        ++saveDialogs;
        return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    }

    TTestRoot *testRoot() const { return static_cast<TTestRoot *>(Root()); }
    TMp3Root *mp3Root() const { return static_cast<TMp3Root *>(Root()); }

    QStringList openNames;
    QStringList saveNames;
    int saveDialogs = 0;

private:
    bool m_testRoot;
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

// Four tracks: two by "adams", one by "Cole", one without artist; "Zed" is
// an artist no track uses.
void fillTestRoot(TTestRoot &root)
{
    auto *adams = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("adams")));
    auto *cole = static_cast<TPersonLookupItem *>(root.Artists->AddNew(QStringLiteral("Cole")));
    root.Artists->AddNew(QStringLiteral("Zed"));
    TLookupItem *rock = root.GenreList->AddNew(QStringLiteral("Rock"));
    TLookupItem *pop = root.GenreList->AddNew(QStringLiteral("Pop"));
    const struct {
        const char *title;
        TPersonLookupItem *artist;
        TLookupItem *genre;
    } rows[] = {{"One", adams, rock}, {"Two", cole, rock}, {"Three", nullptr, pop}, {"Four", adams, pop}};
    for (const auto &row : rows) {
        TTestItem *item = root.addItem(QLatin1String(row.title));
        item->Artist = row.artist;
        item->Genres->Add(row.genre);
        item->GetID();
    }
}

std::unique_ptr<ExplorerWindow> openWindow(Shell &shell, bool testRoot = true)
{
    auto window = std::make_unique<ExplorerWindow>(shell.prefs, shell.updates, testRoot);
    window->FormCreate({});
    if (testRoot)
        fillTestRoot(*window->testRoot());
    window->LoadSettings();
    window->resize(900, 600);
    window->show();
    return window;
}

QStringList childTexts(const TExplorerNode *node)
{
    QStringList texts;
    for (const auto &child : node->Children)
        texts << child->Text;
    return texts;
}

TExplorerNode *child(const TExplorerNode *node, const QString &text)
{
    for (const auto &c : node->Children) {
        if (c->Text == text)
            return c.get();
    }
    return nullptr;
}

QStringList rowTexts(const TfmMainBase &window, int column = 0)
{
    QStringList texts;
    const TExplorerListModel *model = window.ListModel();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, column)).toString();
    return texts;
}

QString selectedRowText(const TfmMainBase &window)
{
    const int row = window.lvMain->FirstSelectedRow();
    return row < 0 ? QString() : window.ListModel()->data(window.ListModel()->index(row, 0)).toString();
}

QAction *folderItem(const TfmMainBase &window, int tag)
{
    for (QAction *action : window.pmFolders->actions()) {
        if (!action->isSeparator() && action->data().toInt() == tag)
            return action;
    }
    return nullptr;
}

void clickHeader(TfmMainBase &window, int section)
{
    QHeaderView *header = window.lvMain->Header();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

qint64 headerIconKey(const TfmMainBase &window, int section)
{
    const QVariant icon = window.ListModel()->headerData(section, Qt::Horizontal, Qt::DecorationRole);
    return icon.isValid() ? icon.value<QIcon>().cacheKey() : 0;
}

} // namespace

class TestExplorer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void groupingLevelsWithNoneFirst();
    void noneFolderFollowsTheItems();
    void emptyFoldersOnlyOnRequest();
    void countTexts();
    void noFoldersListsEverythingAndHidesTree();
    void headerClicksSortAndShowArrows();
    void folderHeaderReversesFolders();
    void typeAhead();
    void typeAheadEndsWithTheFolder();
    void ctrlHomeAndEndSelect();
    void iconNamesTakeTwoLines();
    void firstStartTreeWidthFollowsTheWindow();
    void editedItemIsReselectedAfterRebuild();
    void goneFolderSelectsCollection();
    void longNodeTextsAreCut();
    void onlyPaintedRowsAreBuilt();
    void iconViewSharesModelAndSelection();
    void settingsRoundTrip();
    void storedValuesAreClamped_data();
    void storedValuesAreClamped();
    void openFailureKeepsTheCollection_data();
    void openFailureKeepsTheCollection();
    void openShowsTheNewCollection();
    void saveAsRefusesReadOnlyTargetAndAsksAgain();
    void saveOnNewCollectionAsksForName();
    void newCollectionDropsWhatWasShown();
    void importAddsTheOtherCollectionAndSaves();
};

void TestExplorer::groupingLevelsWithNoneFirst()
{
    Shell shell;
    auto window = openWindow(shell);
    TExplorerNode *root = window->RootNode;
    QCOMPARE(root->Text, QStringLiteral("Collection - [New Collection]"));
    QCOMPARE(childTexts(root), (QStringList{"[None]", "adams", "Cole"}));
    QCOMPARE(window->SelectedNode(), root);
    QCOMPARE(rowTexts(*window), (QStringList{"[None]", "adams", "Cole"}));

    window->SelectNode(child(root, "[None]"));
    QCOMPARE(rowTexts(*window), QStringList{"Three"});
    window->SelectNode(child(root, "adams"));
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Four"}));

    // Genre, then Artist: "[None]" one level down finds the track without
    // artist among the genre's tracks.
    window->miFolderPresetClick(folderItem(*window, 1));
    QCOMPARE(window->GroupFieldPreset, 1);
    root = window->RootNode;
    QCOMPARE(childTexts(root), (QStringList{"Pop", "Rock"}));
    TExplorerNode *pop = child(root, "Pop");
    window->ExpandNode(pop);
    QCOMPARE(childTexts(pop), (QStringList{"[None]", "adams"}));
    window->SelectNode(child(pop, "[None]"));
    QCOMPARE(window->ListKind, 2);
    QCOMPARE(rowTexts(*window), QStringList{"Three"});
    // A last-level folder has no sub-folders.
    QVERIFY(!window->TreeModel()->hasChildren(window->TreeModel()->IndexOf(child(pop, "adams"))));
}

void TestExplorer::noneFolderFollowsTheItems()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    root->items()->Get(2)->Artist = static_cast<TPersonLookupItem *>(root->Artists->FindByName("Cole"));
    window->RefreshView();
    QCOMPARE(childTexts(window->RootNode), (QStringList{"adams", "Cole"}));
    window->Action("acShowEmptyFolders")->trigger();
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "adams", "Cole", "Zed"}));
}

void TestExplorer::emptyFoldersOnlyOnRequest()
{
    Shell shell;
    auto window = openWindow(shell);
    QAction *showEmpty = window->Action("acShowEmptyFolders");
    QVERIFY(showEmpty->isEnabled());
    QVERIFY(!childTexts(window->RootNode).contains("Zed"));
    showEmpty->trigger();
    QVERIFY(showEmpty->isChecked());
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "adams", "Cole", "Zed"}));
    window->SelectNode(child(window->RootNode, "Zed"));
    QCOMPARE(rowTexts(*window), QStringList());
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 Items"));
    showEmpty->trigger();
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "adams", "Cole"}));
}

void TestExplorer::countTexts()
{
    Shell shell;
    auto window = openWindow(shell);
    QCOMPARE(window->pnCount->text(), QStringLiteral("3 Artists"));
    QCOMPARE(window->Action("acEditLookupItemFromTree")->text(), QStringLiteral("Edit Lookup Item"));
    QCOMPARE(window->Action("acEditLookupItemFromList")->text(), QStringLiteral("Edit Artist..."));
    window->SelectNode(child(window->RootNode, "Cole"));
    QCOMPARE(window->pnCount->text(), QStringLiteral("1 Item"));
    window->SelectNode(child(window->RootNode, "adams"));
    QCOMPARE(window->pnCount->text(), QStringLiteral("2 Items"));
    QCOMPARE(window->pnFilter->text(), QStringLiteral("Filter: [None]"));
    QCOMPARE(window->Action("acEditLookupItemFromTree")->text(), QStringLiteral("Edit Artist..."));
    QCOMPARE(window->Action("acEditLookupItemFromList")->text(), QStringLiteral("Edit Lookup Item"));
    QVERIFY(window->Action("acUp")->isEnabled());
    QVERIFY(window->Action("acColumnFields")->isEnabled());

    SetFieldCustomName(window->Root()->Fields->FindByID(ArtistField), QStringLiteral("Status"));
    window->GoUp();
    QCOMPARE(window->pnCount->text(), QStringLiteral("3 Statuses"));

    // An active filter is described; switched off, it is "[None]" again.
    window->ItemFilterFields->Enabled = true;
    window->ItemFilterFields->addCondition(std::make_unique<TStringFilterField>(
        window->Root()->Fields->FindByID(TitleField), QStringLiteral("o")));
    window->UpdateActions();
    QAction *enable = window->Action("acEnableFilter");
    QVERIFY(enable->isEnabled());
    QVERIFY(enable->isChecked());
    window->RefreshView();
    QVERIFY(window->pnFilter->text().startsWith(QStringLiteral("Filter: (")));
    QCOMPARE(childTexts(window->RootNode), (QStringList{"adams", "Cole"})); // "Three" has no "o"
    enable->trigger();
    QCOMPARE(window->pnFilter->text(), QStringLiteral("Filter: [None]"));
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "adams", "Cole"}));
}

void TestExplorer::noFoldersListsEverythingAndHidesTree()
{
    Shell shell;
    auto window = openWindow(shell);
    window->miFolderPresetClick(folderItem(*window, -1));
    QCOMPARE(window->GroupFields->Count(), 0);
    QCOMPARE(window->ListKind, 2);
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Two", "Three", "Four"}));
    QVERIFY(!window->pnTree->isVisible());
    QVERIFY(!window->Action("acShowEmptyFolders")->isEnabled());
    QVERIFY(folderItem(*window, -1)->isChecked());
    QCOMPARE(window->pnCount->text(), QStringLiteral("4 Items"));

    window->miFolderPresetClick(folderItem(*window, 0));
    QVERIFY(window->pnTree->isVisible());
    QVERIFY(folderItem(*window, 0)->isChecked());
}

void TestExplorer::headerClicksSortAndShowArrows()
{
    Shell shell;
    auto window = openWindow(shell);
    window->SelectNode(child(window->RootNode, "adams"));
    QCOMPARE(window->ListModel()->Columns().size(), 2); // Title, Artist
    const TImageList &images = window->Global()->ilSmall;
    const qint64 up = images.Icon(images::SortAscending).cacheKey();
    const qint64 down = images.Icon(images::SortDescending).cacheKey();

    clickHeader(*window, 0);
    QCOMPARE(window->ItemSortFields->Count(), 1);
    QCOMPARE(window->ItemSortFields->Get(0)->Field->ID, TitleField);
    QCOMPARE(window->ItemSortFields->Get(0)->Order, 1);
    QCOMPARE(rowTexts(*window), (QStringList{"Four", "One"}));
    QCOMPARE(headerIconKey(*window, 0), up);
    QCOMPARE(headerIconKey(*window, 1), 0);
    QCOMPARE(selectedRowText(*window), QStringLiteral("Four"));

    clickHeader(*window, 0);
    QCOMPARE(window->ItemSortFields->Get(0)->Order, -1);
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Four"}));
    QCOMPARE(headerIconKey(*window, 0), down);

    clickHeader(*window, 1);
    QCOMPARE(window->ItemSortFields->Count(), 1);
    QCOMPARE(window->ItemSortFields->Get(0)->Field->ID, ArtistField);
    QCOMPARE(window->ItemSortFields->Get(0)->Order, 1);
    QCOMPARE(headerIconKey(*window, 0), 0);
    QCOMPARE(headerIconKey(*window, 1), up);
}

void TestExplorer::folderHeaderReversesFolders()
{
    Shell shell;
    auto window = openWindow(shell);
    clickHeader(*window, 0);
    QCOMPARE(window->GroupSortOrder, -1);
    QCOMPARE(rowTexts(*window), (QStringList{"Cole", "adams", "[None]"}));
    // The tree follows at the next rebuild, "[None]" staying first.
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "adams", "Cole"}));
    window->RefreshView();
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "Cole", "adams"}));
}

void TestExplorer::typeAhead()
{
    Shell shell;
    auto window = openWindow(shell);
    window->miFolderPresetClick(folderItem(*window, -1));
    clickHeader(*window, 1); // sorted by Artist
    QTableView *view = window->lvMain->DetailsView();
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("CO"));
    QCOMPARE(window->pnSearch->text(), QStringLiteral("CO"));
    QCOMPARE(window->ListContent->Get(window->lvMain->FirstSelectedRow())->GetDisplayName(), QStringLiteral("Two"));

    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("xyz"));
    QCOMPARE(window->pnSearch->text(), QStringLiteral("xyz"));
    QCOMPARE(selectedRowText(*window), QStringLiteral("Two"));

    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(view, QStringLiteral("ad"));
    QCOMPARE(window->FindRow(QStringLiteral("ad")), window->lvMain->FirstSelectedRow());
    QVERIFY(QStringList({"One", "Four"}).contains(selectedRowText(*window)));
}

void TestExplorer::typeAheadEndsWithTheFolder()
{
    Shell shell;
    auto window = openWindow(shell);
    window->SelectNode(child(window->RootNode, "adams"));
    QTableView *view = window->lvMain->DetailsView();
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("Fo"));
    QCOMPARE(window->pnSearch->text(), QStringLiteral("Fo"));
    window->SelectNode(window->RootNode);
    QCOMPARE(window->pnSearch->text(), QString());
    // The next letter starts a new search, however quickly it follows.
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("T"));
    QCOMPARE(window->pnSearch->text(), QStringLiteral("T"));
}

void TestExplorer::ctrlHomeAndEndSelect()
{
    Shell shell;
    auto window = openWindow(shell);
    window->miFolderPresetClick(folderItem(*window, -1));
    const int last = window->lvMain->RowCount() - 1;
    QVERIFY(last > 0);
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(window->lvMain->DetailsView()),
                                    static_cast<QAbstractItemView *>(window->lvMain->IconView())}) {
        window->SelectRow(1);
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(window->lvMain->SelectedRows(), QList<int>{last});
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(window->lvMain->SelectedRows(), QList<int>{0});
    }
}

// Icon labels wrap to a second line before they are cut.
void TestExplorer::iconNamesTakeTwoLines()
{
    Shell shell;
    auto window = openWindow(shell);
    window->Action("acIconView")->trigger();
    QListView *icons = window->lvMain->IconView();
    const QFont font = icons->font();
    const int width = icons->gridSize().width() - 8;
    for (const QString &name : {QStringLiteral("Damaged"), QStringLiteral("Zoë Hart"), QStringLiteral("Madonna")})
        QCOMPARE(TIconViewDelegate::TextLines(name, font, width), QStringList{name});
    // Words enough for more than one line and less than two.
    QString longer = QStringLiteral("Hart");
    while (QFontMetrics(font).horizontalAdvance(longer) <= width)
        longer += QStringLiteral(" Hart");
    const QStringList two = TIconViewDelegate::TextLines(longer, font, width);
    QCOMPARE(two.size(), 2);
    QCOMPARE(two.join(QLatin1Char(' ')), longer);  // broken between words, nothing cut
    const QStringList cut = TIconViewDelegate::TextLines(QString(200, QLatin1Char('x')), font, width);
    QCOMPARE(cut.size(), 2);
    QVERIFY(cut.last().endsWith(QChar(0x2026)));
    QVERIFY(icons->itemDelegate()->sizeHint(QStyleOptionViewItem(), icons->model()->index(0, 0)).isValid());
}

void TestExplorer::firstStartTreeWidthFollowsTheWindow()
{
    Shell shell;
    auto window = openWindow(shell);
    const int width = window->spExplorer->PanelSize();
    QVERIFY2(width >= 220 && width <= 400, qPrintable(QString::number(width)));
}

void TestExplorer::editedItemIsReselectedAfterRebuild()
{
    Shell shell;
    auto window = openWindow(shell);
    TTestRoot *root = window->testRoot();
    window->SelectNode(child(window->RootNode, "adams"));
    window->SelectRow(1);
    TTestItem *four = root->items()->Get(3);
    QCOMPARE(window->ListContent->Get(window->lvMain->FirstSelectedRow()), four);

    window->SaveState();
    four->Artist = static_cast<TPersonLookupItem *>(root->Artists->FindByName("Cole"));
    window->RebuildTree();
    window->RestoreState(four, true);
    QCOMPARE(window->SelectedNode()->Text, QStringLiteral("Cole"));
    QCOMPARE(rowTexts(*window), (QStringList{"Two", "Four"}));
    QCOMPARE(window->ListContent->Get(window->lvMain->FirstSelectedRow()), four);

    // Without an item, the recorded folder and row come back.
    window->SelectRow(0);
    window->RefreshView();
    QCOMPARE(window->SelectedNode()->Text, QStringLiteral("Cole"));
    QCOMPARE(selectedRowText(*window), QStringLiteral("Two"));
}

void TestExplorer::goneFolderSelectsCollection()
{
    Shell shell;
    auto window = openWindow(shell);
    window->miFolderPresetClick(folderItem(*window, 1)); // Genre / Artist
    TExplorerNode *pop = child(window->RootNode, "Pop");
    window->ExpandNode(pop);
    window->SelectNode(child(pop, "adams"));
    TTestRoot *root = window->testRoot();
    root->items()->Get(3)->Genres->Put(0, root->GenreList->FindByName("Rock"));
    window->RefreshView();
    // Pop is still there and expanded; its "adams" folder is gone.
    QCOMPARE(window->SelectedNode(), window->RootNode);
    pop = child(window->RootNode, "Pop");
    QVERIFY(window->IsExpanded(pop));
    QCOMPARE(childTexts(pop), QStringList{"[None]"});
}

void TestExplorer::longNodeTextsAreCut()
{
    Shell shell;
    auto window = openWindow(shell);
    const QString name = QString(300, QLatin1Char('x'));
    TTestRoot *root = window->testRoot();
    root->items()->Get(1)->Artist = static_cast<TPersonLookupItem *>(root->Artists->AddNew(name));
    window->RefreshView();
    const QString expected = QString(250, QLatin1Char('x')) + QStringLiteral("...");
    QVERIFY(childTexts(window->RootNode).contains(expected));
}

void TestExplorer::onlyPaintedRowsAreBuilt()
{
    Shell shell;
    auto window = std::make_unique<ExplorerWindow>(shell.prefs, shell.updates, true);
    window->FormCreate({});
    TTestRoot *root = window->testRoot();
    for (int i = 0; i < 5000; ++i)
        root->addItem(QStringLiteral("Track %1").arg(i, 5, 10, QLatin1Char('0')));
    shell.store.WriteInteger(QStringLiteral("fmMain"), QStringLiteral("GroupFieldPreset"), -1);
    window->LoadSettings();
    window->resize(800, 500);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->ListModel()->rowCount(), 5000);
    window->ListModel()->SetTraceRows(true);
    window->lvMain->DetailsView()->viewport()->repaint();
    const int visible = window->lvMain->DetailsView()->viewport()->height()
                        / window->lvMain->DetailsView()->verticalHeader()->defaultSectionSize();
    QVERIFY(window->ListModel()->RowsBuilt() > 0);
    QVERIFY2(window->ListModel()->RowsBuilt() <= visible + 2, qPrintable(QString::number(window->ListModel()->RowsBuilt())));
    window->SelectRow(4999);
    window->lvMain->DetailsView()->viewport()->repaint();
    QVERIFY2(window->ListModel()->RowsBuilt() <= 2 * (visible + 2), qPrintable(QString::number(window->ListModel()->RowsBuilt())));
}

void TestExplorer::iconViewSharesModelAndSelection()
{
    Shell shell;
    auto window = openWindow(shell);
    window->SelectNode(child(window->RootNode, "adams"));
    window->SelectRow(1);
    window->Action("acIconView")->trigger();
    QVERIFY(window->lvMain->IsIconView());
    QVERIFY(window->Action("acIconView")->isChecked());
    QListView *icons = window->lvMain->IconView();
    QCOMPARE(icons->model(), window->lvMain->DetailsView()->model());
    QCOMPARE(icons->selectionModel(), window->lvMain->DetailsView()->selectionModel());
    QCOMPARE(window->lvMain->FirstSelectedRow(), 1);
    // Icons show the objects' names and large pictures.
    QCOMPARE(rowTexts(*window), (QStringList{"One", "Four"}));
    const QIcon large = window->ListModel()->data(window->ListModel()->index(0, 0), Qt::DecorationRole).value<QIcon>();
    QCOMPARE(large.cacheKey(), window->Global()->ilLarge.Icon(window->ListContent->Get(0)->GetLargeImageIndex()).cacheKey());
    window->Action("acListView")->trigger();
    QVERIFY(!window->lvMain->IsIconView());
}

void TestExplorer::settingsRoundTrip()
{
    Shell shell;
    {
        auto window = openWindow(shell);
        window->miFolderPresetClick(folderItem(*window, 1));
        window->Action("acShowEmptyFolders")->trigger();
        clickHeader(*window, 0); // folders descending
        window->Action("acIconView")->trigger();
        window->spExplorer->SetPanelSize(222);
        window->spExplorer->SetClosed(true);
        window->Action("acShowSearchBar")->trigger();
        QVERIFY(window->tbSearch->isHidden());
        window->ItemColumnFields->Get(0)->Width = 321;
        window->SelectNode(child(window->RootNode, "Pop"));
        window->SaveSettings();
    }
    QCOMPARE(shell.store.ReadInteger("fmMain", "GroupFieldPreset", 0), 1);
    QCOMPARE(shell.store.ReadInteger("fmMain\\pnTree", "Width", 0), 222);
    QCOMPARE(shell.store.ReadInteger("fmMain", "ListViewStyle", 3), 0);

    auto window = openWindow(shell);
    QCOMPARE(window->GroupFieldPreset, 1);
    QCOMPARE(window->GroupFields->Count(), 2);
    QVERIFY(folderItem(*window, 1)->isChecked());
    QVERIFY(window->Action("acShowEmptyFolders")->isChecked());
    QVERIFY(window->lvMain->IsIconView());
    QCOMPARE(window->GroupSortOrder, -1);
    QCOMPARE(window->spExplorer->PanelSize(), 222);
    QVERIFY(window->spExplorer->IsClosed());
    QVERIFY(window->tbSearch->isHidden());
    QVERIFY(!window->Action("acShowSearchBar")->isChecked());
    QCOMPARE(window->ItemColumnFields->Get(0)->Width, 321);
    QCOMPARE(window->ItemColumnFields->Get(0)->Field->ID, TitleField);
    // "[None]" first, then the genres descending.
    QCOMPARE(childTexts(window->RootNode), (QStringList{"[None]", "Rock", "Pop"}));
    window->acResetToolbarExecute();
    QVERIFY(!window->tbSearch->isHidden());
    QVERIFY(window->Action("acShowSearchBar")->isChecked());
}

void TestExplorer::storedValuesAreClamped_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("expectedPreset");
    QTest::addColumn<bool>("iconView");
    QTest::newRow("unknown preset") << 99 << 180 << 3 << 0 << false;
    QTest::newRow("below custom") << -7 << 180 << 0 << 0 << true;
    QTest::newRow("custom") << -2 << 180 << 3 << -2 << false;
    QTest::newRow("no folders") << -1 << 180 << 3 << -1 << false;
    QTest::newRow("negative width") << 1 << -50 << 3 << 1 << false;
    QTest::newRow("huge width, odd style") << 0 << 1000000 << 7 << 0 << false;
}

void TestExplorer::storedValuesAreClamped()
{
    QFETCH(int, preset);
    QFETCH(int, width);
    QFETCH(int, style);
    QFETCH(int, expectedPreset);
    QFETCH(bool, iconView);
    Shell shell;
    shell.store.WriteInteger("fmMain", "GroupFieldPreset", preset);
    shell.store.WriteInteger("fmMain\\pnTree", "Width", width);
    shell.store.WriteInteger("fmMain", "ListViewStyle", style);
    shell.store.WriteInteger("fmMain", "GroupSortOrder", 0);
    shell.store.WriteInteger("fmMain\\tbFile", "Top", -500);
    auto window = openWindow(shell);
    QCOMPARE(window->GroupFieldPreset, expectedPreset);
    QCOMPARE(window->lvMain->IsIconView(), iconView);
    QCOMPARE(window->GroupSortOrder, 1);
    QVERIFY(window->spExplorer->PanelSize() >= 0);
    QVERIFY(window->spExplorer->PanelSize() <= window->screen()->availableGeometry().width());
    QVERIFY(!window->tbFile->isHidden());
    QVERIFY(window->RootNode);
}

void TestExplorer::openFailureKeepsTheCollection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("not a collection") << QByteArray("this is no collection file") << true;
    QTest::newRow("empty file") << QByteArray() << true;
}

void TestExplorer::openFailureKeepsTheCollection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    Shell shell;
    shell.prefs.CurrentDatabase.clear();
    auto window = openWindow(shell, false);
    window->miFolderPresetClick(folderItem(*window, 3)); // Artist
    TMp3Root *root = window->mp3Root();
    auto *track = static_cast<TMp3Track *>(root->GetTracks()->CreateItem());
    track->Title = QStringLiteral("Unsaved");
    track->Artist = static_cast<TPersonLookupItem *>(root->Artists->AddNew(QStringLiteral("Kept")));
    window->RefreshView();
    window->SelectNode(child(window->RootNode, "Kept"));
    QVERIFY(window->Collection()->IsModified());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("broken.tbx"));
    if (exists)
        QVERIFY(testsupport::writeFile(file, bytes));
    window->openNames = {file};
    window->Action("acOpen")->trigger();

    QCOMPARE(window->Root(), root);
    QCOMPARE(root->Items->Count(), 1);
    QCOMPARE(root->Items->Get(0), track);
    QVERIFY(root->FileName.isEmpty());
    QCOMPARE(shell.prefs.CurrentDatabase, QString());
    QCOMPARE(window->SelectedNode()->Text, QStringLiteral("Kept"));
    QCOMPARE(window->ListContent->Get(0), track);
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("[New Collection]")));
}

void TestExplorer::openShowsTheNewCollection()
{
    Shell shell;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("jazz.tbx"));
    {
        TMp3Root saved;
        auto *track = static_cast<TMp3Track *>(saved.GetTracks()->CreateItem());
        track->Title = QStringLiteral("So What");
        track->Artist = static_cast<TPersonLookupItem *>(saved.Artists->AddNew(QStringLiteral("Miles")));
        track->Location = static_cast<TLocationLookupItem *>(saved.Locations->AddNew(QStringLiteral("Shelf")));
        track->Album = static_cast<TAlbumLookupItem *>(saved.Albums->AddNew(QStringLiteral("Blue")));
        QVERIFY(saved.SaveToFile(file));
    }
    auto window = openWindow(shell, false);
    TRootItem *before = window->Root();
    QVERIFY(window->OpenCollection(file));
    QVERIFY(window->Root() != before);
    QCOMPARE(shell.prefs.CurrentDatabase, file);
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("jazz.tbx")));
    QCOMPARE(window->RootNode->Text, QStringLiteral("Collection - jazz.tbx"));
    // Location / Artist / Album, the first preset.
    QCOMPARE(childTexts(window->RootNode), QStringList{"Shelf"});
    TExplorerNode *shelf = child(window->RootNode, "Shelf");
    window->ExpandNode(shelf);
    window->ExpandNode(child(shelf, "Miles"));
    window->SelectNode(child(child(shelf, "Miles"), "Blue"));
    QCOMPARE(window->ListContent->Count(), 1);
    QCOMPARE(window->ListContent->Get(0)->GetDisplayName(), QStringLiteral("Miles - So What"));
    // The views' field lists name the new collection's fields.
    QCOMPARE(window->ItemColumnFields->Get(0)->Field->GetRoot(), window->Root());
    QCOMPARE(window->GroupFields->Get(0)->Field->GetRoot(), window->Root());
}

void TestExplorer::saveAsRefusesReadOnlyTargetAndAsksAgain()
{
    Shell shell;
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.tbx"));
    const QString good = dir.filePath(QStringLiteral("good.tbx"));
    QVERIFY(testsupport::writeFile(locked, "keep me"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    auto window = openWindow(shell, false);
    window->saveNames = {locked, good};
    QVERIFY(window->SaveAs());
    QCOMPARE(window->saveDialogs, 2);
    QCOMPARE(shell.services.messages.size(), 1);
    QVERIFY(shell.services.messages.first().contains(QStringLiteral("read-only")));
    QCOMPARE(testsupport::readFile(locked), QByteArray("keep me"));
    QVERIFY(QFileInfo::exists(good));
    QCOMPARE(shell.prefs.CurrentDatabase, good);
    QCOMPARE(window->RootNode->Text, QStringLiteral("Collection - good.tbx"));
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("good.tbx")));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestExplorer::saveOnNewCollectionAsksForName()
{
    Shell shell;
    auto window = openWindow(shell, false);
    QVERIFY(!window->Save()); // the dialog is cancelled
    QCOMPARE(window->saveDialogs, 1);
    QVERIFY(window->Collection()->FileName().isEmpty());
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("[New Collection]")));
}

void TestExplorer::newCollectionDropsWhatWasShown()
{
    Shell shell;
    auto window = openWindow(shell);
    window->SelectNode(child(window->RootNode, "adams"));
    QCOMPARE(window->ListContent->Count(), 2);
    window->Action("acNew")->trigger();
    QCOMPARE(window->Root()->Items->Count(), 0);
    QCOMPARE(window->SelectedNode(), window->RootNode);
    QVERIFY(window->RootNode->Children.empty());
    QCOMPARE(window->ListContent->Count(), 0);
    QCOMPARE(window->pnCount->text(), QStringLiteral("0 Artists"));
}

void TestExplorer::importAddsTheOtherCollectionAndSaves()
{
    Shell shell;
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.tbx"));
    const QString mine = dir.filePath(QStringLiteral("mine.tbx"));
    {
        TMp3Root saved;
        auto *track = static_cast<TMp3Track *>(saved.GetTracks()->CreateItem());
        track->Title = QStringLiteral("Imported");
        track->Artist = static_cast<TPersonLookupItem *>(saved.Artists->AddNew(QStringLiteral("Guest")));
        QVERIFY(saved.SaveToFile(other));
    }
    auto window = openWindow(shell, false);
    window->miFolderPresetClick(folderItem(*window, 3)); // Artist
    auto *own = static_cast<TMp3Track *>(window->mp3Root()->GetTracks()->CreateItem());
    own->Title = QStringLiteral("Own");
    own->Artist = static_cast<TPersonLookupItem *>(window->mp3Root()->Artists->AddNew(QStringLiteral("Host")));
    window->saveNames = {mine};
    QVERIFY(window->Save());
    window->RefreshView();
    window->SelectNode(child(window->RootNode, "Host"));

    window->openNames = {other};
    window->Action("acImportOtherCollection")->trigger();
    QCOMPARE(window->Root()->Items->Count(), 2);
    QCOMPARE(childTexts(window->RootNode), (QStringList{"Guest", "Host"}));
    TMp3Root reread;
    QVERIFY(reread.LoadFromFile(mine));
    QCOMPARE(reread.Items->Count(), 2); // saved at once
}

QTEST_MAIN(TestExplorer)
#include "tst_explorer.moc"
