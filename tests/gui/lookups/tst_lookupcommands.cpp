// Edit > Edit Lookup Lists in the main window: the window's merges and
// removals free values the folder tree and the list show, so the main
// window lets go of them first, then rebuilds and saves.  Under the address
// sanitizer a view reading a freed value fails these tests.

#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "fixedshellservices.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/lookups/lookupitem.h"
#include "gui/items/dataitembase.h"
#include "gui/lookups/lookuplistwindow.h"
#include "gui/lookups/trackediting.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/mainbase.h"
#include "memorysettingsstore.h"
#include "scripteddesktopservices.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using TAnswer = TDesktopServices::TAnswer;

namespace {

class MainWindow : public TfmMainBase {
public:
    using TfmMainBase::TfmMainBase;
    void RegisterFileAssociation() override {}
    QString AskSaveFileName() override { return saveName; }
    TMp3Root *mp3Root() const { return static_cast<TMp3Root *>(Root()); }
    QString saveName;
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

// The titles of the tracks the list shows, or the names of its folders.
QStringList rowTexts(const TfmMainBase &window)
{
    QStringList texts;
    for (int row = 0; row < window.ListModel()->rowCount(); ++row) {
        const TDataItem *item = window.ListContent->Get(row);
        const auto *track = dynamic_cast<const TMp3Track *>(item);
        texts << (track ? track->Title : item->GetDisplayName());
    }
    return texts;
}

// Runs what the user does in the lookup list window once it is open, then
// closes it.
void whenListWindowOpens(QObject *context, std::function<void(TfmLookupListBase &)> actions)
{
    QTimer::singleShot(0, context, [actions = std::move(actions)] {
        auto *window = qobject_cast<TfmLookupListBase *>(QApplication::activeModalWidget());
        QVERIFY(window);
        actions(*window);
        window->close();
    });
}

void select(TfmLookupListBase &window, const QString &name)
{
    TLookupItem *item = window.List()->FindByName(name);
    QVERIFY(item);
    window.lvList->SelectOnly(window.RowOf(item));
}

} // namespace

class TestLookupCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void mergeWhileTheMergedArtistIsShown();
    void removeWhileTheValueIsShownInTheList();
    void nothingChangedSavesNothing();
    void editValueOfFolderOrRow_data();
    void editValueOfFolderOrRow();
    void noValueFolderIsNotEditable();
    void editorsLiveWithTheMainWindow();

private:
    std::unique_ptr<MainWindow> openWindow(Shell &shell);

    QTemporaryDir m_dir;
    QString m_file;
};

void TestLookupCommands::init()
{
    m_file = m_dir.filePath(QStringLiteral("c%1.tbx").arg(QRandomGenerator::global()->generate()));
}

std::unique_ptr<MainWindow> TestLookupCommands::openWindow(Shell &shell)
{
    auto window = std::make_unique<MainWindow>(shell.prefs, shell.updates);
    window->FormCreate({});
    window->saveName = m_file;
    TMp3Root *root = window->mp3Root();
    const struct {
        const char *title;
        const char *artist;
    } tracks[] = {{"One", "Lanterns"}, {"Two", "The Lanterns"}, {"Three", "Lanterns"}, {"Four", "Zoe Hart"}};
    for (const auto &row : tracks) {
        auto *track = static_cast<TMp3Track *>(root->GetTracks()->CreateItem());
        track->Title = QLatin1String(row.title);
        track->Artist = static_cast<TPersonLookupItem *>(root->Artists->FindOrAdd(QLatin1String(row.artist)));
    }
    root->Artists->AddNew(QStringLiteral("Unused"));
    window->LoadSettings();
    window->resize(900, 600);
    window->show();
    // Folders by artist.
    for (QAction *item : window->pmFolders->actions()) {
        if (!item->isSeparator() && item->text() == QStringLiteral("Artist"))
            window->miFolderPresetClick(item);
    }
    return window;
}

void TestLookupCommands::mergeWhileTheMergedArtistIsShown()
{
    Shell shell;
    auto window = openWindow(shell);
    QCOMPARE(childTexts(window->RootNode), (QStringList{"Lanterns", "The Lanterns", "Zoe Hart"}));
    window->SelectNode(child(window->RootNode, QStringLiteral("The Lanterns")));
    QCOMPARE(rowTexts(*window), QStringList{"Two"});
    QVERIFY(window->Action(QStringLiteral("acEditLookupLists"))->isEnabled());

    whenListWindowOpens(this, [](TfmLookupListBase &list) {
        QCOMPARE(list.windowTitle(), QStringLiteral("Lookup Lists"));
        select(list, QStringLiteral("The Lanterns"));
        list.acMergeFrom->trigger();
        select(list, QStringLiteral("Lanterns"));
        list.acMergeTo->trigger();
    });
    window->Action(QStringLiteral("acEditLookupLists"))->trigger();

    TMp3Root *root = window->mp3Root();
    QCOMPARE(root->Artists->FindByName(QStringLiteral("The Lanterns")), nullptr);
    QCOMPARE(childTexts(window->RootNode), (QStringList{"Lanterns", "Zoe Hart"}));
    // The folder shown before is gone: the collection is shown instead.
    QCOMPARE(window->SelectedNode(), window->RootNode);
    window->SelectNode(child(window->RootNode, QStringLiteral("Lanterns")));
    QStringList titles = rowTexts(*window);
    titles.sort();
    QCOMPARE(titles, (QStringList{"One", "Three", "Two"}));
    // Saved at once.
    TMp3Root reread;
    QVERIFY(reread.LoadFromFile(m_file));
    QCOMPARE(reread.Artists->Count(), 3);
    QCOMPARE(reread.GetTracks()->Get(1)->Artist->DisplayName, QStringLiteral("Lanterns"));
}

void TestLookupCommands::removeWhileTheValueIsShownInTheList()
{
    Shell shell;
    auto window = openWindow(shell);
    window->Action(QStringLiteral("acShowEmptyFolders"))->trigger();
    QVERIFY(childTexts(window->RootNode).contains(QStringLiteral("Unused")));
    window->lvMain->SelectOnly(rowTexts(*window).indexOf(QStringLiteral("Unused")));

    shell.services.answers = {TAnswer::Yes};
    whenListWindowOpens(this, [](TfmLookupListBase &list) {
        select(list, QStringLiteral("Unused"));
        list.acRemove->trigger();
    });
    window->Action(QStringLiteral("acEditLookupLists"))->trigger();
    QVERIFY(!childTexts(window->RootNode).contains(QStringLiteral("Unused")));
    QVERIFY(!rowTexts(*window).contains(QStringLiteral("Unused")));
    QVERIFY(QFileInfo::exists(m_file));
}

void TestLookupCommands::nothingChangedSavesNothing()
{
    Shell shell;
    auto window = openWindow(shell);
    whenListWindowOpens(this, [](TfmLookupListBase &list) { list.ChooseList(list.Field()); });
    window->Action(QStringLiteral("acEditLookupLists"))->trigger();
    QVERIFY(!QFileInfo::exists(m_file));
    QCOMPARE(childTexts(window->RootNode), (QStringList{"Lanterns", "The Lanterns", "Zoe Hart"}));
}

// Edit Artist... on a folder of the tree or a folder row of the list: the
// artist window renames the value, the tree shows the new name and the
// collection is saved; Cancel changes and saves nothing.
void TestLookupCommands::editValueOfFolderOrRow_data()
{
    QTest::addColumn<bool>("fromTree");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("tree, OK") << true << true;
    QTest::newRow("tree, Cancel") << true << false;
    QTest::newRow("list, OK") << false << true;
    QTest::newRow("list, Cancel") << false << false;
}

void TestLookupCommands::editValueOfFolderOrRow()
{
    QFETCH(bool, fromTree);
    QFETCH(bool, confirm);
    Shell shell;
    auto window = openWindow(shell);
    const QString name = fromTree ? QStringLiteral("acEditLookupItemFromTree") : QStringLiteral("acEditLookupItemFromList");
    QAction *action = window->Action(name);
    if (fromTree)
        window->SelectNode(child(window->RootNode, QStringLiteral("Zoe Hart")));
    else
        window->lvMain->SelectOnly(rowTexts(*window).indexOf(QStringLiteral("Zoe Hart")));
    window->UpdateActions();
    QVERIFY(action->isEnabled());
    QCOMPARE(action->text(), QStringLiteral("Edit Artist..."));

    QString caption;
    QTimer::singleShot(0, this, [&] {
        auto *item = qobject_cast<TfmLookupItemBase *>(QApplication::activeModalWidget());
        QVERIFY(item);
        caption = item->windowTitle();
        item->edName->setText(QStringLiteral("Zoe Hartley"));
        (confirm ? item->btOK : item->btCancel)->click();
    });
    action->trigger();

    QCOMPARE(caption, QStringLiteral("Edit Artist"));
    const QString shown = confirm ? QStringLiteral("Zoe Hartley") : QStringLiteral("Zoe Hart");
    QCOMPARE(childTexts(window->RootNode), (QStringList{"Lanterns", "The Lanterns", shown}));
    QCOMPARE(QFileInfo::exists(m_file), confirm);
}

void TestLookupCommands::noValueFolderIsNotEditable()
{
    Shell shell;
    auto window = openWindow(shell);
    auto *track = static_cast<TMp3Track *>(window->mp3Root()->GetTracks()->CreateItem());
    track->Title = QStringLiteral("Nobody's");
    window->Action(QStringLiteral("acRefresh"))->trigger();
    TExplorerNode *none = child(window->RootNode, QStringLiteral("[None]"));
    QVERIFY(none);
    window->SelectNode(none);
    window->UpdateActions();
    QVERIFY(!window->Action(QStringLiteral("acEditLookupItemFromTree"))->isEnabled());
    window->SelectNode(window->RootNode);
    window->lvMain->SelectOnly(rowTexts(*window).indexOf(QStringLiteral("[None]")));
    window->UpdateActions();
    QVERIFY(!window->Action(QStringLiteral("acEditLookupItemFromList"))->isEnabled());
}

// The track window's "..." buttons and the album window's Edit Track work
// while a main window is there.  A lookup window opened from a track window
// cannot edit tracks: replacing a track under the open track window would
// free what that window and the views still refer to.
void TestLookupCommands::editorsLiveWithTheMainWindow()
{
    QVERIFY(!TrackEditingAvailable());
    QVERIFY(!TfmDataItemBase::CanEditLookups());
    {
        Shell shell;
        auto window = openWindow(shell);
        QVERIFY(TrackEditingAvailable());
        QVERIFY(TfmDataItemBase::CanEditLookups());

        bool trackEditingInside = true;
        QTimer::singleShot(0, this, [&] {
            trackEditingInside = TrackEditingAvailable();
            auto *item = qobject_cast<TfmLookupItemBase *>(QApplication::activeModalWidget());
            QVERIFY(item);
            item->btCancel->click();
        });
        TMp3Root *root = window->mp3Root();
        TLookupItem *artist = root->Artists->FindByName(QStringLiteral("Zoe Hart"));
        QVERIFY(!TfmDataItemBase::LookupItemEditor()(window.get(), Mp3FieldIds::Artist, artist,
                                                     QStringLiteral("Edit Artist"), root->Artists.get()));
        QVERIFY(!trackEditingInside);
        QVERIFY(TrackEditingAvailable());
    }
    QVERIFY(!TrackEditingAvailable());
    QVERIFY(!TfmDataItemBase::CanEditLookups());
}

QTEST_MAIN(TestLookupCommands)
#include "tst_lookupcommands.moc"
