// Building the MP3 main window: its commands, menus, tool bars, status bar
// and context menus; its settings; and its start and end.

#include "gui/main/mainwindow.h"

#include "core/base/settingsstore.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/rootitem.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/files/playlist.h"
#include "core/settings/prefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/files/duplicatecommands.h"
#include "gui/main/maindragdrop.h"
#include "gui/process/processwindow.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/rootcollection.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace mainexplorer;

namespace {

struct TMainActionRow {
    const char *name;
    const char *caption;
    const char *hint;
    QKeySequence shortcut;
    const char *theme;
    const char *own;
};

const QString CurrentFolderKey = QStringLiteral("CurrentFolder");

// The three switches of the information sources, their settings keys
// ("fmMain") and defaults.
struct TSourceSwitch {
    const char *action;
    const char *key;
    bool byDefault;
};
const TSourceSwitch SourceSwitches[] = {
    {"acSelectMp3InfoSourceID3v1", "UseID3v1Info", true},
    {"acSelectMp3InfoSourceID3v2", "UseID3v2Info", true},
    // Off here, unlike the file-list windows, which keep their own switch.
    {"acSelectMp3InfoSourceFilename", "UseFilenameInfo", false},
};

} // namespace

TfmMain::TfmMain(TMp3Prefs &prefs, TUpdateService &updates, QWidget *parent)
    : TfmMainBase(prefs, updates, parent)
{
    createMainActions();
    adaptMenus();
    createMainToolBars();
    createMainContextMenus();
    connectMainActions();

    // This window has no use for the information area below the list.
    pnInfo->hide();

    pbScan = new QProgressBar(this);
    pbScan->setObjectName(QStringLiteral("pbScan"));
    pbScan->setFixedWidth(128);
    pbScan->setRange(0, 100);
    pbScan->setTextVisible(false);
    pbScan->hide();
    statusBar()->addPermanentWidget(pbScan);

    Process = std::make_unique<TMP3Process>();
    AttachProcessWindow(*Process, this);
    Process->OnProgress = [this](TProcess *, int percent) {
        pbScan->setValue(percent);
        // Folder reads report at most every 25 ms: the window repaints in
        // between, but takes no input that could start a second read.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    Process->OnMessage = [](TProcess *, const QString &) {};
    DesktopFolder = std::make_unique<TMP3Folder>();
    DesktopFolder->Name = QStringLiteral("DeskTop");
    Playlist = std::make_unique<TPlayList>();
    m_dragDrop = std::make_unique<TMainDragDrop>(*this);
    duplicatecommands::Attach(*this);
    resize(900, 600);
}

TfmMain::~TfmMain()
{
    ReleaseOwnTreeNodes();
    FileColumnFields.reset();
    FileSortFields.reset();
    PlaylistColumnFields.reset();
    PlaylistSortFields.reset();
}

void TfmMain::ReleaseOwnTreeNodes()
{
    // Runs before the tree frees its nodes, and again as this window goes
    // (when the tree still holds them): nothing shown may refer to the
    // explorer's folders or the playlist once they are freed, and the node
    // pointers must not outlive the nodes.
    ListReady = false;
    ListModel()->Reset();
    ListContent->Clear();
    if (ExplorerNode) {
        TreeModel()->RemoveChildren(ExplorerNode);
        TreeModel()->SetObject(ExplorerNode, nullptr);
    }
    if (PlaylistNode)
        TreeModel()->SetObject(PlaylistNode, nullptr);
    ExplorerNode = nullptr;
    PlaylistNode = nullptr;
}

// ---- commands ------------------------------------------------------------------

void TfmMain::createMainActions()
{
    const TMainActionRow rows[] = {
        {"acAddFolderToCollection", QT_TR_NOOP("&Add to Collection..."), QT_TR_NOOP("Add Current Folder to Collection"), {}, "list-add", nullptr},
        {"acAddFilesToCollection", QT_TR_NOOP("&Add to Collection..."), QT_TR_NOOP("Add Selected File(s) to Collection"), {}, "list-add", nullptr},
        {"acAddSelectedFolderToCollection", QT_TR_NOOP("Select Folder and Add to Collection"), QT_TR_NOOP("Add Folder to Collection"), {}, "folder-new", "diskfolder"},
        {"acUpdateTracks", QT_TR_NOOP("&Update Selected Track(s)..."), QT_TR_NOOP("Update Selected Tracks"), {}, nullptr, "action-update"},
        {"acRepairFileRefs", QT_TR_NOOP("&Repair Filenames..."), "", {}, nullptr, nullptr},
        {"acTagSelection", QT_TR_NOOP("Edit Tags..."), QT_TR_NOOP("Edit ID3 Tags"), {}, nullptr, "action-edit"},
        {"acTagTracks", QT_TR_NOOP("Edit &Tags..."), "", {}, nullptr, nullptr},
        {"acTagFiles", QT_TR_NOOP("Auto &Tagger..."), QT_TR_NOOP("Edit Tags..."), {}, nullptr, nullptr},
        {"acTagFolder", QT_TR_NOOP("Auto &Tagger..."), QT_TR_NOOP("Edit Tags..."), {}, nullptr, nullptr},
        {"acFileProperties", QT_TR_NOOP("&Properties..."), QT_TR_NOOP("Properties"), QKeySequence(Qt::ALT | Qt::Key_Return), "document-properties", "action-properties"},
        {"acRenameSelection", QT_TR_NOOP("Rename..."), QT_TR_NOOP("Rename Files"), {}, "edit-rename", "action-rename"},
        {"acRenameTrackFiles", QT_TR_NOOP("&Rename..."), "", {}, nullptr, nullptr},
        {"acRenameFiles", QT_TR_NOOP("Auto &Renamer..."), QT_TR_NOOP("Rename Selected File"), {}, nullptr, nullptr},
        {"acRenameFolderFiles", QT_TR_NOOP("Auto &Renamer..."), QT_TR_NOOP("Rename Selected File"), {}, nullptr, nullptr},
        {"acNewPlayList", QT_TR_NOOP("&New Playlist"), QT_TR_NOOP("New Playlist"), {}, "document-new", "playlist"},
        {"acOpenPlaylist", QT_TR_NOOP("&Open Playlist"), QT_TR_NOOP("Open Playlist"), {}, "document-open", "action-open"},
        {"acSavePlaylist", QT_TR_NOOP("&Save Playlist"), QT_TR_NOOP("Save Playlist"), {}, "document-save", "action-save"},
        {"acSavePlaylistAs", QT_TR_NOOP("Save Playlist &As..."), QT_TR_NOOP("Save Playlist As"), {}, "document-save-as", nullptr},
        {"acAddSelectionToPlaylist", QT_TR_NOOP("Add Selected Files to Playlist"), QT_TR_NOOP("Add Selected Files to Playlist"), {}, "list-add", "playlist"},
        {"acAddFolderToPlaylist", QT_TR_NOOP("Add to Play&list"), QT_TR_NOOP("Add to Playlist"), {}, nullptr, nullptr},
        {"acAddFilesToPlayList", QT_TR_NOOP("Add to Play&list"), QT_TR_NOOP("Add to Playlist"), {}, nullptr, nullptr},
        {"acAddTracksToPlaylist", QT_TR_NOOP("Add to Play&list"), QT_TR_NOOP("Add to Playlist"), {}, nullptr, nullptr},
        {"acRemovePlaylistEntry", QT_TR_NOOP("&Remove Playlist Entry"), QT_TR_NOOP("Remove Entry from Playlist"), {}, "list-remove", "action-remove"},
        {"acMoveEntryUp", QT_TR_NOOP("Move Playlist Entry Up"), QT_TR_NOOP("Move Playlist Entry Up"), {}, "go-up", "action-moveup"},
        {"acMoveEntryDown", QT_TR_NOOP("Move Playlist Entry Down"), QT_TR_NOOP("Move Playlist Entry Down"), {}, "go-down", "action-movedown"},
        {"acPlayPlaylist", QT_TR_NOOP("&Play Playlist"), QT_TR_NOOP("Play Playlist"), {}, "media-playback-start", nullptr},
        {"acPlayFolder", QT_TR_NOOP("Play Current Folder"), "", {}, nullptr, nullptr},
        {"acPlayFiles", QT_TR_NOOP("Play Selected File(s)"), "", {}, nullptr, nullptr},
        {"acPlayTracks", QT_TR_NOOP("Play Selected Track(s)"), "", {}, nullptr, nullptr},
        {"acPlayPlaylistEntries", QT_TR_NOOP("Play Selected Playlist Entries"), "", {}, nullptr, nullptr},
        {"acSelectMp3InfoSourceID3v1", QT_TR_NOOP("ID3v&1 Tag"), QT_TR_NOOP("ID3v1 Tag"), {}, nullptr, nullptr},
        {"acSelectMp3InfoSourceID3v2", QT_TR_NOOP("ID3v&2 Tag"), QT_TR_NOOP("ID3v2 Tag"), {}, nullptr, nullptr},
        {"acSelectMp3InfoSourceFilename", QT_TR_NOOP("&Folder && Filename"), QT_TR_NOOP("Folder & Filename"), {}, nullptr, nullptr},
        {"acShowPlayBar", QT_TR_NOOP("Pl&ay"), "", {}, nullptr, nullptr},
        {"acShowPlaylistBar", QT_TR_NOOP("&Playlist"), "", {}, nullptr, nullptr},
        {"acShowExplorerBar", QT_TR_NOOP("E&xplorer"), "", {}, nullptr, nullptr},
        {"acParseFormats", QT_TR_NOOP("Filename Formats for P&arsing..."), QT_TR_NOOP("Filename Formats for Parsing..."), {}, nullptr, nullptr},
        {"acRenameFormats", QT_TR_NOOP("Filename Formats for &Renaming..."), QT_TR_NOOP("Filename Formats for Renaming"), {}, nullptr, nullptr},
    };
    for (const TMainActionRow &row : rows) {
        QIcon icon;
        if (row.own)
            icon = images::ActionIcon(row.theme ? QLatin1String(row.theme) : QString(), QLatin1String(row.own));
        else if (row.theme)
            icon = QIcon::fromTheme(QLatin1String(row.theme));
        addAction(QLatin1String(row.name), tr(row.caption), *row.hint ? tr(row.hint) : QString(), row.shortcut, icon);
    }
    for (const TSourceSwitch &source : SourceSwitches)
        Action(QLatin1String(source.action))->setCheckable(true);
    for (const char *name : {"acShowPlayBar", "acShowPlaylistBar", "acShowExplorerBar"})
        Action(QLatin1String(name))->setCheckable(true);

    // The collection's items are tracks here.
    const struct {
        const char *name;
        const char *caption;
        const char *hint;
    } renamed[] = {{"acAddItem", QT_TR_NOOP("&Add Track..."), QT_TR_NOOP("Add New Track")},
                   {"acEditItem", QT_TR_NOOP("&Edit Track..."), QT_TR_NOOP("Edit Selected Track")},
                   {"acDuplicateItem", QT_TR_NOOP("&Duplicate Track..."), QT_TR_NOOP("Duplicate Selected Track")},
                   {"acRemoveItem", QT_TR_NOOP("&Remove Track(s)..."), QT_TR_NOOP("Remove Selected Track(s)")}};
    for (const auto &row : renamed) {
        QAction *action = Action(QLatin1String(row.name));
        action->setText(tr(row.caption));
        action->setToolTip(tr(row.hint));
        action->setStatusTip(tr(row.hint));
    }
    // The list decides what Delete removes (tracks or playlist entries).
    Action(QStringLiteral("acRemoveItem"))->setShortcut(QKeySequence());
}

namespace {

// A menu item with a caption of its own that runs an action and follows
// its enabled state.
QAction *captionedItem(QMenu *menu, QAction *action, const QString &caption, QAction *before = nullptr)
{
    auto *item = new QAction(action->icon(), caption, menu);
    item->setEnabled(action->isEnabled());
    item->setShortcut(action->shortcut());
    item->setShortcutContext(Qt::WidgetShortcut);   // the action itself holds the shortcut
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, item, [item, action] {
        item->setEnabled(action->isEnabled());
        item->setChecked(action->isChecked());
    });
    if (action->isCheckable()) {
        item->setCheckable(true);
        item->setChecked(action->isChecked());
    }
    menu->insertAction(before, item);
    return item;
}

QMenu *findMenu(QWidget *parent, const char *name)
{
    return parent->findChild<QMenu *>(QLatin1String(name));
}

QAction *menuActionAfter(QMenu *menu, QAction *action)
{
    const QList<QAction *> items = menu->actions();
    const qsizetype at = items.indexOf(action);
    return at >= 0 && at + 1 < items.size() ? items.at(at + 1) : nullptr;
}

} // namespace

QMenu *TfmMain::sourcesMenu(const QString &name)
{
    auto *menu = new QMenu(tr("MP3 &Info Sources"), this);
    menu->setObjectName(name);
    for (const TSourceSwitch &source : SourceSwitches)
        menu->addAction(Action(QLatin1String(source.action)));
    return menu;
}

void TfmMain::adaptMenus()
{
    auto action = [this](const char *name) { return Action(QLatin1String(name)); };

    QMenu *edit = findMenu(menuBar(), "miEdit");
    QAction *first = edit->actions().value(0);
    miAddToCollection = new QMenu(tr("Add to &Collection..."), edit);
    miAddToCollection->setObjectName(QStringLiteral("miAddToCollection"));
    miAddToCollection->menuAction()->setStatusTip(tr("Add Selected File(s) to Collection"));
    captionedItem(miAddToCollection, action("acAddFolderToCollection"), tr("&Current Folder..."));
    captionedItem(miAddToCollection, action("acAddFilesToCollection"), tr("Selected &Files..."));
    miAddToCollection->addSeparator();
    captionedItem(miAddToCollection, action("acAddSelectedFolderToCollection"), tr("Select Folder..."));
    edit->insertMenu(first, miAddToCollection);
    edit->insertAction(first, action("acUpdateTracks"));
    edit->insertAction(action("acEditLookupLists"), action("acRepairFileRefs"));
    // Adding and duplicating tracks by hand leave the Edit menu, but keep
    // their keys (for a record catalogued without a file): an action answers
    // its shortcut only while some widget of the window holds it.
    for (const char *name : {"acAddItem", "acDuplicateItem"}) {
        edit->removeAction(action(name));
        QWidget::addAction(action(name));
    }

    QMenu *view = findMenu(menuBar(), "miView");
    if (QAction *separator = menuActionAfter(view, action("acIconView")); separator && separator->isSeparator())
        view->removeAction(separator);
    view->removeAction(action("acListView"));
    view->removeAction(action("acIconView"));
    for (QMenu *toolbar : view->findChildren<QMenu *>()) {
        if (!toolbar->actions().contains(action("acShowSearchBar")))
            continue;
        for (const char *name : {"acShowPlayBar", "acShowPlaylistBar", "acShowExplorerBar"})
            toolbar->insertAction(action("acShowSearchBar"), action(name));
    }
    QAction *refresh = action("acRefresh");
    view->insertMenu(refresh, sourcesMenu(QStringLiteral("miMp3InfoSources")));
    view->insertSeparator(refresh);

    QMenu *search = findMenu(menuBar(), "miSearch");
    auto *tag = new QMenu(tr("&Tag"), menuBar());
    tag->setObjectName(QStringLiteral("miTag"));
    captionedItem(tag, action("acTagFolder"), tr("&Current Folder..."));
    captionedItem(tag, action("acTagSelection"), tr("Selected File(s)..."));
    tag->addSeparator();
    captionedItem(tag, action("acFileProperties"), tr("File &Properties..."));
    menuBar()->insertMenu(search->menuAction(), tag);

    auto *rename = new QMenu(tr("&Rename"), menuBar());
    rename->setObjectName(QStringLiteral("miRename"));
    rename->addAction(action("acRenameFolderFiles"));
    captionedItem(rename, action("acRenameSelection"), tr("Selected File(s)..."));
    menuBar()->insertMenu(search->menuAction(), rename);

    auto *playlist = new QMenu(tr("&Playlist"), menuBar());
    playlist->setObjectName(QStringLiteral("miPlaylist"));
    captionedItem(playlist, action("acNewPlayList"), tr("&New"));
    captionedItem(playlist, action("acOpenPlaylist"), tr("&Open..."));
    captionedItem(playlist, action("acSavePlaylist"), tr("&Save"));
    captionedItem(playlist, action("acSavePlaylistAs"), tr("Save &As..."));
    playlist->addSeparator();
    miAddToPlaylist = playlist->addMenu(tr("Add to Play&list"));
    miAddToPlaylist->setObjectName(QStringLiteral("miAddToPlaylist"));
    captionedItem(miAddToPlaylist, action("acAddFolderToPlaylist"), tr("&Current Folder..."));
    captionedItem(miAddToPlaylist, action("acAddSelectionToPlaylist"), tr("&Selected File(s)..."));
    playlist->addAction(action("acRemovePlaylistEntry"));
    playlist->addSeparator();
    playlist->addAction(action("acMoveEntryUp"));
    playlist->addAction(action("acMoveEntryDown"));
    menuBar()->insertMenu(search->menuAction(), playlist);

    QMenu *settings = findMenu(menuBar(), "miSettings");
    QAction *firstSetting = settings->actions().value(0);
    settings->insertAction(firstSetting, action("acParseFormats"));
    settings->insertAction(firstSetting, action("acRenameFormats"));
    settings->insertSeparator(firstSetting);
}

void TfmMain::createMainToolBars()
{
    auto action = [this](const char *name) { return Action(QLatin1String(name)); };
    auto button = [](QToolBar *bar, QAction *action, const char *name) {
        auto *widget = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        if (widget)
            widget->setObjectName(QLatin1String(name));
        return widget;
    };
    auto menuButton = [this](QToolBar *bar, const char *name, const QIcon &icon, const QString &hint, QMenu *menu) {
        auto *widget = new QToolButton(bar);
        widget->setObjectName(QLatin1String(name));
        widget->setIcon(icon);
        widget->setToolTip(hint);
        widget->setPopupMode(QToolButton::InstantPopup);
        widget->setMenu(menu);
        bar->addWidget(widget);
        return widget;
    };
    auto bar = [this](const char *name, const QString &title) {
        QToolBar *toolBar = QMainWindow::addToolBar(title);
        toolBar->setObjectName(QLatin1String(name));
        toolBar->setIconSize(QSize(24, 24));
        return toolBar;
    };

    QAction *firstEdit = tbEdit->actions().value(0);
    tbEdit->insertAction(firstEdit, action("acAddSelectedFolderToCollection"));
    btAddToCollection = button(tbEdit, action("acAddSelectedFolderToCollection"), "btAddToCollection");

    pmMp3InfoSources = sourcesMenu(QStringLiteral("pmMp3InfoSources"));
    tbView->addSeparator();
    btExplorerInfoSources = menuButton(tbView, "btExplorerInfoSources", images::ActionIcon(QString(), QStringLiteral("mp3file")),
                                       tr("Select MP3 Info Sources"), pmMp3InfoSources);

    pmPlaying = new QMenu(this);
    pmPlaying->setObjectName(QStringLiteral("pmPlaying"));
    captionedItem(pmPlaying, action("acPlayTracks"), tr("Selected &Track(s)"));
    pmPlaying->addSeparator();
    captionedItem(pmPlaying, action("acPlayFolder"), tr("&Current Folder"));
    captionedItem(pmPlaying, action("acPlayFiles"), tr("Selected &File(s)"));
    pmPlaying->addSeparator();
    captionedItem(pmPlaying, action("acPlayPlaylist"), tr("&Playlist"));
    captionedItem(pmPlaying, action("acPlayPlaylistEntries"), tr("Selected Playlist &Entries"));
    tbPlay = bar("tbPlay", tr("Play"));
    btPlay = menuButton(tbPlay, "btPlay", QIcon::fromTheme(QStringLiteral("media-playback-start"),
                                                           images::ActionIcon(QString(), QStringLiteral("mp3file"))),
                        tr("Play files"), pmPlaying);

    tbPlayList = bar("tbPlayList", tr("Playlist"));
    for (const auto &[name, buttonName] : std::initializer_list<std::pair<const char *, const char *>>{
             {"acNewPlayList", "btNewPlaylist"}, {"acOpenPlaylist", "btOpenPlayList"}, {"acSavePlaylist", "btSavePlaylist"}}) {
        tbPlayList->addAction(action(name));
        button(tbPlayList, action(name), buttonName);
    }
    tbPlayList->addSeparator();
    // One button for files and for tracks: it follows whichever can run.
    tbPlayList->addAction(action("acAddSelectionToPlaylist"));
    btAddToPlaylist = button(tbPlayList, action("acAddSelectionToPlaylist"), "btAddToPlaylist");
    tbPlayList->addAction(action("acRemovePlaylistEntry"));
    button(tbPlayList, action("acRemovePlaylistEntry"), "btDeletePlayListEntry");
    tbPlayList->addSeparator();
    tbPlayList->addAction(action("acMoveEntryUp"));
    button(tbPlayList, action("acMoveEntryUp"), "btMoveEntryUp");
    tbPlayList->addAction(action("acMoveEntryDown"));
    button(tbPlayList, action("acMoveEntryDown"), "btMoveEntryDown");

    tbExplorer = bar("tbExplorer", tr("Explorer"));
    for (const auto &[name, buttonName] : std::initializer_list<std::pair<const char *, const char *>>{
             {"acTagSelection", "btTagging"}, {"acRenameSelection", "btRenaming"}, {"acFileProperties", "btFileProperties"}}) {
        tbExplorer->addAction(action(name));
        button(tbExplorer, action(name), buttonName);
    }
    const QList<std::pair<const char *, QToolBar *>> switches = {
        {"acShowPlayBar", tbPlay}, {"acShowPlaylistBar", tbPlayList}, {"acShowExplorerBar", tbExplorer}};
    for (const auto &[name, toolBar] : switches) {
        QAction *toggle = action(name);
        toggle->setEnabled(true);
        toggle->setChecked(true);
        connect(toggle, &QAction::toggled, toolBar, &QWidget::setVisible);
    }
    for (QAction *item : pmToolbar->actions()) {
        if (item == action("acShowSearchBar")) {
            captionedItem(pmToolbar, action("acShowPlayBar"), tr("Pl&ay"), item);
            captionedItem(pmToolbar, action("acShowPlaylistBar"), tr("&Playlist"), item);
            captionedItem(pmToolbar, action("acShowExplorerBar"), tr("&MP3"), item);
            break;
        }
    }
}

void TfmMain::createMainContextMenus()
{
    auto action = [this](const char *name) { return Action(QLatin1String(name)); };
    auto add = [&](QMenu *menu, std::initializer_list<std::pair<const char *, const char *>> items) {
        for (const auto &[name, caption] : items) {
            if (*name == '-')
                menu->addSeparator();
            else if (caption)
                captionedItem(menu, action(name), tr(caption));
            else
                menu->addAction(action(name));
        }
        // The first item is what Enter or a double-click does.
        if (!menu->actions().isEmpty())
            menu->setDefaultAction(menu->actions().constFirst());
    };
    auto menu = [this](const char *name) {
        auto *created = new QMenu(this);
        created->setObjectName(QLatin1String(name));
        return created;
    };

    pmPlaylistTree = menu("pmPlaylistTree");
    add(pmPlaylistTree, {{"acPlayPlaylist", QT_TR_NOOP("&Play")}, {"acNewPlayList", nullptr}, {"acOpenPlaylist", nullptr},
                         {"acSavePlaylist", nullptr}, {"acSavePlaylistAs", nullptr}});
    pmExplorerTree = menu("pmExplorerTree");
    add(pmExplorerTree, {{"acAddFolderToCollection", nullptr}, {"acAddFolderToPlaylist", nullptr}, {"-", nullptr},
                         {"acTagFolder", QT_TR_NOOP("&Edit Tags...")}, {"acRenameFolderFiles", QT_TR_NOOP("&Rename...")},
                         {"-", nullptr}, {"acPlayFolder", QT_TR_NOOP("Play")}});
    pmExplorerTree->setDefaultAction(nullptr);

    pmList->clear();
    add(pmList, {{"acPlayTracks", QT_TR_NOOP("Play")}, {"-", nullptr}, {"acAddItem", QT_TR_NOOP("&Add...")},
                 {"acEditItem", QT_TR_NOOP("&Edit...")}, {"acDuplicateItem", QT_TR_NOOP("&Duplicate...")},
                 {"acRemoveItem", QT_TR_NOOP("&Remove")}, {"-", nullptr}, {"acAddTracksToPlaylist", nullptr},
                 {"acTagTracks", QT_TR_NOOP("Edit &Tags...")}, {"acRenameTrackFiles", QT_TR_NOOP("&Rename...")},
                 {"acUpdateTracks", QT_TR_NOOP("&Update...")}, {"-", nullptr}, {"acEditLookupItemFromList", nullptr},
                 {"-", nullptr}, {"acColumnFields", nullptr}, {"acSortFields", nullptr}, {"-", nullptr},
                 {"acPrintListReportofSelectedItems", QT_TR_NOOP("&Print Selected Items...")},
                 {"acSelectAll", nullptr}});
    pmExplorerList = menu("pmExplorerList");
    add(pmExplorerList, {{"acPlayFiles", QT_TR_NOOP("Play")}, {"-", nullptr}, {"acAddFilesToCollection", nullptr},
                         {"acAddFilesToPlayList", nullptr}, {"-", nullptr}, {"acTagFiles", QT_TR_NOOP("Edit &Tags...")},
                         {"acRenameFiles", QT_TR_NOOP("Rename...")}, {"-", nullptr}, {"acColumnFields", nullptr},
                         {"acSortFields", nullptr}, {"-", nullptr}, {"acFileProperties", nullptr}, {"-", nullptr},
                         {"acSelectAll", nullptr}});
    pmPlaylistList = menu("pmPlaylistList");
    add(pmPlaylistList, {{"acPlayPlaylistEntries", QT_TR_NOOP("Play")}, {"acPlayPlaylist", nullptr}, {"-", nullptr},
                         {"acRemovePlaylistEntry", nullptr}, {"acMoveEntryUp", nullptr}, {"acMoveEntryDown", nullptr},
                         {"-", nullptr}, {"acColumnFields", nullptr}, {"acSortFields", nullptr}, {"-", nullptr},
                         {"acSelectAll", nullptr}});

    // The menus follow the node and the list kind.
    disconnect(tvMain, &TExplorerTreeView::ContextMenuRequested, this, nullptr);
    disconnect(lvMain, &TBrimlowListView::ContextMenuRequested, this, nullptr);
    connect(tvMain, &TExplorerTreeView::ContextMenuRequested, this, [this](const QPoint &pos) {
        TExplorerNode *top = TopLevelNode(SelectedNode());
        QMenu *menu = top && top == PlaylistNode ? pmPlaylistTree : top && top == ExplorerNode ? pmExplorerTree : pmTree;
        menu->popup(pos);
    });
    connect(lvMain, &TBrimlowListView::ContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = ListKind == ListKind::Playlist ? pmPlaylistList : ListKind == ListKind::Files ? pmExplorerList : pmList;
        menu->popup(pos);
    });
}

void TfmMain::connectMainActions()
{
    auto on = [this](const char *name, auto handler) {
        connect(Action(QLatin1String(name)), &QAction::triggered, this, handler);
    };
    on("acAddFolderToCollection", [this] { acAddFolderToCollectionExecute(); });
    on("acAddFilesToCollection", [this] { acAddFilesToCollectionExecute(); });
    on("acAddSelectedFolderToCollection", [this] { acAddSelectedFolderToCollectionExecute(); });
    on("acUpdateTracks", [this] { acUpdateTracksExecute(); });
    on("acRepairFileRefs", [this] { acRepairFileRefsExecute(); });
    on("acTagFolder", [this] { acTagFolderExecute(); });
    on("acRenameFolderFiles", [this] { acRenameFolderFilesExecute(); });
    on("acTagFiles", [this] { acTagFilesExecute(); });
    on("acRenameFiles", [this] { acRenameFilesExecute(); });
    on("acTagTracks", [this] { acTagTracksExecute(); });
    on("acRenameTrackFiles", [this] { acRenameTrackFilesExecute(); });
    on("acFileProperties", [this] { acFilePropertiesExecute(); });
    on("acTagSelection", [this] {
        if (ListKind == ListKind::MainItems)
            acTagTracksExecute();
        else if (ListKind == ListKind::Files)
            acTagFilesExecute();
    });
    on("acRenameSelection", [this] {
        if (ListKind == ListKind::MainItems)
            acRenameTrackFilesExecute();
        else if (ListKind == ListKind::Files)
            acRenameFilesExecute();
    });
    on("acAddSelectionToPlaylist", [this] {
        if (ListKind == ListKind::MainItems)
            acAddTracksToPlaylistExecute();
        else if (ListKind == ListKind::Files)
            acAddFilesToPlayListExecute();
    });
    on("acNewPlayList", [this] { acNewPlayListExecute(); });
    on("acOpenPlaylist", [this] { acOpenPlaylistExecute(); });
    on("acSavePlaylist", [this] { acSavePlaylistExecute(); });
    on("acSavePlaylistAs", [this] { acSavePlaylistAsExecute(); });
    on("acAddFolderToPlaylist", [this] { acAddFolderToPlaylistExecute(); });
    on("acAddFilesToPlayList", [this] { acAddFilesToPlayListExecute(); });
    on("acAddTracksToPlaylist", [this] { acAddTracksToPlaylistExecute(); });
    on("acRemovePlaylistEntry", [this] { acRemovePlaylistEntryExecute(); });
    on("acMoveEntryUp", [this] { moveEntry(-1); });
    on("acMoveEntryDown", [this] { moveEntry(1); });
    on("acPlayPlaylist", [this] { acPlayPlaylistExecute(); });
    on("acPlayFolder", [this] { acPlayFolderExecute(); });
    on("acPlayFiles", [this] { acPlayFilesExecute(); });
    on("acPlayTracks", [this] { acPlayTracksExecute(); });
    on("acPlayPlaylistEntries", [this] { acPlayPlaylistEntriesExecute(); });
    on("acParseFormats", [this] { acParseFormatsExecute(); });
    on("acRenameFormats", [this] { acRenameFormatsExecute(); });
    for (const TSourceSwitch &source : SourceSwitches)
        connect(Action(QLatin1String(source.action)), &QAction::toggled, this, [this] { infoSourceChanged(); });
    // After the base has made the new collection.
    connect(Action(QStringLiteral("acNew")), &QAction::triggered, this, [this] { NewCollectionPrompt(); });

    auto *remove = new QShortcut(QKeySequence::Delete, lvMain, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(remove, &QShortcut::activated, this, [this] { deleteInList(); });
}

// ---- field lists of the file list and the playlist --------------------------------

void TfmMain::createFileFieldLists()
{
    TRootItem *root = Root();
    FileColumnFields = std::make_unique<TColumnFieldRefList>(ListKind::Files, root);
    FileSortFields = std::make_unique<TSortFieldRefList>(ListKind::Files, root);
    PlaylistColumnFields = std::make_unique<TColumnFieldRefList>(ListKind::Playlist, root);
    PlaylistSortFields = std::make_unique<TSortFieldRefList>(ListKind::Playlist, root);
}

void TfmMain::rebindFileFieldLists(TRootItem &incoming)
{
    // The references name fields of the old catalogue: point them at the
    // new catalogue's fields of the same IDs.
    for (TDataFieldRefList *list : std::initializer_list<TDataFieldRefList *>{
             FileColumnFields.get(), FileSortFields.get(), PlaylistColumnFields.get(), PlaylistSortFields.get()}) {
        if (!list)
            continue;
        list->Owner = &incoming;
        for (int i = list->Count() - 1; i >= 0; --i) {
            TDataFieldRef *ref = list->Get(i);
            TDataField *field = ref->Field && incoming.Fields ? incoming.Fields->FindByID(ref->Field->ID) : nullptr;
            if (field)
                ref->Field = field;
            else
                list->FreeItem(ref);
        }
    }
}

TColumnFieldRefList *TfmMain::GetColumnFields(int kind) const
{
    if (kind == ListKind::Files)
        return FileColumnFields.get();
    if (kind == ListKind::Playlist)
        return PlaylistColumnFields.get();
    return TfmMainBase::GetColumnFields(kind);
}

TSortFieldRefList *TfmMain::GetSortFields(int kind) const
{
    if (kind == ListKind::Files)
        return FileSortFields.get();
    if (kind == ListKind::Playlist)
        return PlaylistSortFields.get();
    return TfmMainBase::GetSortFields(kind);
}

// ---- start and end -------------------------------------------------------------------

void TfmMain::FormCreate(const QStringList &argumentsAfterProgram)
{
    TfmMainBase::FormCreate(argumentsAfterProgram);
    createFileFieldLists();
    auto baseReplace = Collection()->BeforeReplace;
    Collection()->BeforeReplace = [this, baseReplace](TRootItem &incoming) {
        if (baseReplace)
            baseReplace(incoming);
        rebindFileFieldLists(incoming);
    };
    Process->ParseFormats = Prefs().ParseFormats;
    Process->Threads = Prefs().ScanThreads;
    if (!Prefs().CurrentPlaylist.isEmpty()) {
        Playlist->LoadFromFile(Prefs().CurrentPlaylist);
        // The play file of an unsaved playlist is not the user's playlist.
        if (Playlist->FileName == TPlayList::DefaultPlayFileName(Prefs().PlaylistType))
            Playlist->FileName.clear();
    }
}

void TfmMain::FormShow()
{
    TfmMainBase::FormShow();
    UpdatePlaylistNodeText();
    const QString stored = Prefs().Store().ReadString(MainSection, CurrentFolderKey, QString());
    ExpandExplorerTo(stored, false);
    if (RootNode)
        tvMain->scrollTo(TreeModel()->IndexOf(RootNode), QAbstractItemView::PositionAtTop);
    pbScan->hide();
    UpdateActions();
}

void TfmMain::LoadSettings()
{
    TfmMainBase::LoadSettings();
    TSettingsStore &store = Prefs().Store();
    if (FileColumnFields) {
        const QList<std::pair<TDataFieldRefList *, QString>> lists = {
            {FileColumnFields.get(), QStringLiteral("FileColumnFields")},
            {FileSortFields.get(), QStringLiteral("FileSortFields")},
            {PlaylistColumnFields.get(), QStringLiteral("PlaylistColumnFields")},
            {PlaylistSortFields.get(), QStringLiteral("PlaylistSortFields")}};
        for (const auto &[list, section] : lists) {
            list->FreeAll();
            list->LoadFromSettings(store, section);
        }
    }
    for (const TSourceSwitch &source : SourceSwitches) {
        QAction *action = Action(QLatin1String(source.action));
        const QSignalBlocker quiet(action);
        action->setChecked(store.ReadBool(MainSection, QLatin1String(source.key), source.byDefault));
    }
    showMainToolBarSwitches();
}

void TfmMain::SaveSettings()
{
    TfmMainBase::SaveSettings();
    TSettingsStore &store = Prefs().Store();
    if (FileColumnFields) {
        StoreColumns();
        FileColumnFields->SaveToSettings(store, QStringLiteral("FileColumnFields"));
        FileSortFields->SaveToSettings(store, QStringLiteral("FileSortFields"));
        PlaylistColumnFields->SaveToSettings(store, QStringLiteral("PlaylistColumnFields"));
        PlaylistSortFields->SaveToSettings(store, QStringLiteral("PlaylistSortFields"));
    }
    for (const TSourceSwitch &source : SourceSwitches)
        store.WriteBool(MainSection, QLatin1String(source.key), Action(QLatin1String(source.action))->isChecked());
    if (const TMP3Folder *folder = SelectedFolder(); folder && !folder->Path.isEmpty())
        store.WriteString(MainSection, CurrentFolderKey, folder->Path);
}

QList<QToolBar *> TfmMain::designToolBars() const
{
    return {tbFile, tbEdit, tbView, tbSearch, tbPlay, tbPlayList, tbExplorer, tbLogo};
}

// The bars' places and visibility come with the others' (LoadSettings of
// the base); the View menu's switches show them.
void TfmMain::showMainToolBarSwitches()
{
    const QList<std::pair<const char *, QToolBar *>> bars = {
        {"acShowPlayBar", tbPlay}, {"acShowPlaylistBar", tbPlayList}, {"acShowExplorerBar", tbExplorer}};
    for (const auto &[name, bar] : bars) {
        const QSignalBlocker quiet(Action(QLatin1String(name)));
        Action(QLatin1String(name))->setChecked(!bar->isHidden());
    }
}

void TfmMain::acResetToolbarExecute()
{
    TfmMainBase::acResetToolbarExecute();
    showMainToolBarSwitches();
}

bool TfmMain::PlaylistModified() const
{
    return Playlist && Playlist->Modified;
}

void TfmMain::SavePlaylist()
{
    acSavePlaylistExecute();
}
