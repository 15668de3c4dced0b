#include "gui/shell/mainbase.h"

#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/items/dataitembase.h"
#include "gui/lookups/trackediting.h"
#include "gui/settings/about.h"
#include "gui/settings/formplacement.h"
#include "gui/settings/preferences.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/apptitle.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/rootcollection.h"
#include "gui/shell/settingsautosave.h"
#include "gui/shell/widgetdesktopservices.h"

#include "core/base/desktopservices.h"
#include "core/base/localpath.h"
#include "core/data/datalists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/fileassociation.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/instancechecker.h"
#include "core/settings/prefs.h"
#include "core/settings/shellsequence.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString ProductName = QStringLiteral("Tunebase");
const QString BaseTitle = QStringLiteral("Brimlow Tunebase");
const QString CollectionExtension = QStringLiteral("tbx");

// One row of the action table: name, caption, hint, shortcut, picture.
struct TActionRow {
    const char *name;
    const char *caption;
    const char *hint;
    QKeySequence shortcut;
    const char *theme;   // freedesktop icon name, or null
    const char *own;     // the program's picture, or null
};

} // namespace

TfmMainBase::TfmMainBase(TMp3Prefs &prefs, TUpdateService &updates, QWidget *parent)
    : QMainWindow(parent), m_prefs(prefs), m_updates(updates)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tunebase.svg")));
    // The image lists are shared by every view the window makes.
    m_dmGlobal = std::make_unique<TdmGlobal>();
    m_settingsAutoSave = std::make_unique<TSettingsAutoSave>([this] { return SaveSettingsToFile(); });
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    connectShellActions();

    createExplorer();
    connectExplorerActions();
    connectItemActions();
    installItemEditors();
    createContextMenus();
    resize(900, 600);
}

TfmMainBase::~TfmMainBase()
{
    // The views ask their models for pictures and texts while they are
    // hidden: that happens now, while the image lists and the collection
    // are still there, and not when the widget base class closes the
    // window.
    tvMain->selectionModel()->disconnect(this);
    lvMain->disconnect(this);
    hide();
    // The editors refer to this window's settings.
    TfmDataItemBase::SetLookupItemEditor({});
    SetTrackEditor({});
    if (m_collection)
        FreeRoot();
}

QString TfmMainBase::CollectionFileFilter()
{
    return tr("MP3 Collections (*.%1)").arg(CollectionExtension);
}

QAction *TfmMainBase::addAction(const QString &name, const QString &caption, const QString &hint,
                                const QKeySequence &shortcut, const QIcon &icon)
{
    auto *action = new QAction(icon, caption, this);
    action->setObjectName(name);
    action->setToolTip(hint.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : hint);
    action->setStatusTip(hint);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_actions.insert(name, action);
    return action;
}

void TfmMainBase::createActions()
{
    const TActionRow rows[] = {
        // File
        {"acNew", QT_TR_NOOP("&New..."), QT_TR_NOOP("New Collection"), {}, "document-new", "action-new"},
        {"acOpen", QT_TR_NOOP("&Open..."), QT_TR_NOOP("Open Collection"), {}, "document-open", "action-open"},
        {"acSave", QT_TR_NOOP("&Save"), QT_TR_NOOP("Save Collection"), {}, "document-save", "action-save"},
        {"acSaveAs", QT_TR_NOOP("Save &As..."), QT_TR_NOOP("Save Collection As..."), {}, "document-save-as", nullptr},
        {"acStats", QT_TR_NOOP("S&tatistics"), QT_TR_NOOP("Statistics"), {}, nullptr, nullptr},
        {"acExit", QT_TR_NOOP("E&xit"), "", {}, "application-exit", nullptr},
        // Edit
        {"acAddItem", QT_TR_NOOP("&Add Item..."), QT_TR_NOOP("Add New Item"), QKeySequence(Qt::Key_Insert), "list-add", nullptr},
        {"acEditItem", QT_TR_NOOP("&Edit Item..."), QT_TR_NOOP("Edit Selected Item"), {}, nullptr, "action-edit"},
        {"acDuplicateItem", QT_TR_NOOP("&Duplicate Item..."), QT_TR_NOOP("Duplicate Selected Item"),
         QKeySequence(Qt::CTRL | Qt::Key_Insert), nullptr, nullptr},
        {"acRemoveItem", QT_TR_NOOP("&Remove Item(s)..."), QT_TR_NOOP("Remove Selected Item(s)"),
         QKeySequence(Qt::Key_Delete), nullptr, "action-remove"},
        {"acEditLookupLists", QT_TR_NOOP("Edit &Lookup Lists..."), QT_TR_NOOP("Edit Lookup Lists"), {}, nullptr,
         "action-lookuplists"},
        {"acEditLookupItemFromTree", QT_TR_NOOP("Edit &Lookup Item..."), QT_TR_NOOP("Edit Lookup Item"), {}, nullptr, nullptr},
        {"acEditLookupItemFromList", QT_TR_NOOP("Edit &Lookup Item..."), QT_TR_NOOP("Edit Lookup Item"), {}, nullptr, nullptr},
        {"acSelectAll", QT_TR_NOOP("Select All"), QT_TR_NOOP("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
         "edit-select-all", nullptr},
        {"acAssignIndex", QT_TR_NOOP("Re-Assign &Index fields..."), QT_TR_NOOP("Re-Assign the Index fields of all items"),
         {}, nullptr, nullptr},
        // View
        {"acUp", QT_TR_NOOP("Up"), QT_TR_NOOP("Up"), {}, nullptr, "action-up"},
        {"acIconView", QT_TR_NOOP("&Icons/Thumbnails"), QT_TR_NOOP("Icons/Thumbnails"), {}, nullptr, nullptr},
        {"acListView", QT_TR_NOOP("&Details"), QT_TR_NOOP("Details"), {}, nullptr, nullptr},
        {"acColumnFields", QT_TR_NOOP("&Columns..."), QT_TR_NOOP("Columns"), {}, nullptr, "action-columns"},
        {"acSortFields", QT_TR_NOOP("Sort Order..."), QT_TR_NOOP("Sort Order"), {}, nullptr, "action-sort"},
        {"acBrowseSelectedItems", QT_TR_NOOP("&Browse Selected Items.."), "", {}, nullptr, nullptr},
        {"acRefresh", QT_TR_NOOP("&Refresh"), QT_TR_NOOP("Refresh"), QKeySequence(Qt::Key_F5), nullptr, "action-refresh"},
        {"acShowEmptyFolders", QT_TR_NOOP("Show &Empty Folders"), QT_TR_NOOP("Show Empty Folders"), {}, nullptr, nullptr},
        {"acFolderFields", QT_TR_NOOP("&Folder Fields..."), QT_TR_NOOP("Folder Fields"), {}, nullptr, "action-folders"},
        // Search
        {"acEditFilter", QT_TR_NOOP("Set &Filter..."), QT_TR_NOOP("Set Filter"), {}, nullptr, "action-filter"},
        {"acEnableFilter", QT_TR_NOOP("Filter &On/Off"), QT_TR_NOOP("Filter On/Off"), {}, nullptr, "action-filter-onoff"},
        // Import and export
        {"acImportOtherCollection", QT_TR_NOOP("Other &Collection..."), QT_TR_NOOP("Import Other Collection"), {}, nullptr, nullptr},
        {"acExportAsciiSelectedItems", QT_TR_NOOP("&Selected Items..."), "", {}, nullptr, nullptr},
        {"acExportAsciiAllItems", QT_TR_NOOP("All &Items..."), "", {}, nullptr, nullptr},
        {"acExportHtmlSelectedItems", QT_TR_NOOP("&Selected Items..."), "", {}, nullptr, nullptr},
        {"acExportHtmlAllItems", QT_TR_NOOP("All &Items..."), "", {}, nullptr, nullptr},
        // Print
        {"acPrintListReportofSelectedItems", QT_TR_NOOP("&Selected Items..."),
         QT_TR_NOOP("Print List Report of Selected Items"), {}, nullptr, nullptr},
        {"acPrintListReportofCollection", QT_TR_NOOP("&Entire Collection..."),
         QT_TR_NOOP("Print List Report of Entire Collection..."), {}, nullptr, nullptr},
        // Settings
        {"acFieldDefaults", QT_TR_NOOP("&Field Defaults..."), QT_TR_NOOP("Change Default Field Values"), {}, nullptr, nullptr},
        {"acFieldNames", QT_TR_NOOP("Field &Names..."), QT_TR_NOOP("Change Field Names"), {}, nullptr, nullptr},
        {"acPrefs", QT_TR_NOOP("Pre&ferences..."), QT_TR_NOOP("Preferences"), {}, "preferences-system", "action-preferences"},
        // Tool bars
        {"acShowFileBar", QT_TR_NOOP("&File"), "", {}, nullptr, nullptr},
        {"acShowEditBar", QT_TR_NOOP("&Edit"), "", {}, nullptr, nullptr},
        {"acShowViewBar", QT_TR_NOOP("&View"), "", {}, nullptr, nullptr},
        {"acShowSearchBar", QT_TR_NOOP("&Search"), "", {}, nullptr, nullptr},
        {"acShowLogo", QT_TR_NOOP("&Logo"), "", {}, nullptr, nullptr},
        {"acResetToolbar", QT_TR_NOOP("&Reset Toolbar"), QT_TR_NOOP("Reset Default Toolbar"), {}, nullptr, nullptr},
        // Help
        {"acManual", QT_TR_NOOP("&Manual"), QT_TR_NOOP("Open the manual in your browser"), QKeySequence(Qt::Key_F1),
         "help-contents", "action-help"},
        {"acFAQ", QT_TR_NOOP("&Frequently Asked Questions"), QT_TR_NOOP("Open the FAQ list in your browser"), {}, nullptr, nullptr},
        {"acOrdering", QT_TR_NOOP("&Ordering"), QT_TR_NOOP("Ordering"), {}, nullptr, nullptr},
        {"acVersionCheck", QT_TR_NOOP("Check for &Update..."), "", {}, nullptr, "action-update"},
        {"acAbout", QT_TR_NOOP("&About..."), QT_TR_NOOP("About Brimlow Tunebase"), {}, "help-about", nullptr},
    };
    for (const TActionRow &row : rows) {
        QIcon icon;
        if (row.own)
            icon = images::ActionIcon(row.theme ? QLatin1String(row.theme) : QString(), QLatin1String(row.own));
        else if (row.theme)
            icon = QIcon::fromTheme(QLatin1String(row.theme));
        addAction(QLatin1String(row.name), tr(row.caption), *row.hint ? tr(row.hint) : QString(), row.shortcut, icon);
    }
    for (const char *name : {"acShowEmptyFolders", "acEnableFilter", "acIconView", "acListView", "acShowFileBar",
                             "acShowEditBar", "acShowViewBar", "acShowSearchBar", "acShowLogo"})
        Action(QLatin1String(name))->setCheckable(true);
    // The collection commands wait for the explorer to connect them.
    for (QAction *action : std::as_const(m_actions))
        action->setEnabled(false);
}

void TfmMainBase::createMenus()
{
    auto add = [this](QMenu *menu, std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (*name == '-')
                menu->addSeparator();
            else
                menu->addAction(Action(QLatin1String(name)));
        }
    };
    auto captioned = [this](QMenu *menu, const char *name, const QString &caption) {
        QAction *item = menu->addAction(caption);
        QAction *action = Action(QLatin1String(name));
        item->setObjectName(QLatin1String("mi") + QLatin1String(name + 2));
        item->setShortcut(action->shortcut());
        item->setIcon(action->icon());
        item->setEnabled(action->isEnabled());
        connect(item, &QAction::triggered, action, &QAction::trigger);
        connect(action, &QAction::changed, item, [item, action] { item->setEnabled(action->isEnabled()); });
    };

    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("miFile"));
    captioned(file, "acNew", tr("&New"));
    add(file, {"acOpen", "acSave", "acSaveAs", "-"});
    QMenu *print = file->addMenu(tr("&Print"));
    add(print, {"acPrintListReportofSelectedItems", "acPrintListReportofCollection"});
    file->addSeparator();
    QMenu *import = file->addMenu(tr("&Import From"));
    add(import, {"acImportOtherCollection"});
    QMenu *exportTo = file->addMenu(tr("&Export To"));
    QMenu *ascii = exportTo->addMenu(tr("&ASCII"));
    add(ascii, {"acExportAsciiSelectedItems"});
    captioned(ascii, "acExportAsciiAllItems", tr("&Entire Collection..."));
    QMenu *html = exportTo->addMenu(tr("&HTML"));
    add(html, {"acExportHtmlSelectedItems"});
    captioned(html, "acExportHtmlAllItems", tr("&Entire Collection..."));
    file->addSeparator();
    captioned(file, "acStats", tr("S&tatistics..."));
    add(file, {"-", "acExit"});

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("miEdit"));
    add(edit, {"acAddItem", "acEditItem", "acDuplicateItem", "acRemoveItem", "-", "acEditLookupLists", "-",
               "acSelectAll", "-", "acAssignIndex"});

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("miView"));
    add(view, {"acBrowseSelectedItems", "-"});
    QMenu *folders = view->addMenu(tr("&Folders"));
    folders->setObjectName(QStringLiteral("miFolders"));
    add(view, {"acShowEmptyFolders", "-", "acListView", "acIconView", "-", "acColumnFields", "acSortFields", "-"});
    QMenu *toolbar = view->addMenu(tr("T&oolbar"));
    add(toolbar, {"acShowFileBar", "acShowEditBar", "acShowViewBar", "acShowSearchBar", "acShowLogo", "-",
                  "acResetToolbar"});
    add(view, {"-", "acRefresh"});

    QMenu *search = menuBar()->addMenu(tr("&Search"));
    search->setObjectName(QStringLiteral("miSearch"));
    add(search, {"acEditFilter", "acEnableFilter"});

    QMenu *settings = menuBar()->addMenu(tr("&Settings"));
    settings->setObjectName(QStringLiteral("miSettings"));
    add(settings, {"acFieldDefaults", "acFieldNames", "-", "acPrefs"});

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("miHelp"));
    add(help, {"acManual", "acFAQ", "acOrdering", "-", "acVersionCheck", "-", "acAbout"});
}

void TfmMainBase::createToolBars()
{
    // A bar of actions, each "action:button" (the button's name), or "-".
    auto bar = [this](const char *name, const QString &title, std::initializer_list<const char *> entries) {
        QToolBar *toolBar = addToolBar(title);
        toolBar->setObjectName(QLatin1String(name));
        toolBar->setIconSize(QSize(24, 24));
        for (const char *entry : entries) {
            const QStringList parts = QString::fromLatin1(entry).split(QLatin1Char(':'));
            if (parts.first() == QLatin1String("-")) {
                toolBar->addSeparator();
                continue;
            }
            QAction *action = Action(parts.first());
            toolBar->addAction(action);
            if (parts.size() > 1)
                toolBar->widgetForAction(action)->setObjectName(parts.at(1));
        }
        return toolBar;
    };
    tbFile = bar("tbFile", tr("File"), {"acNew:btNew", "acOpen:btOpen", "acSave:btSave", "-"});
    auto *print = new QToolButton(tbFile);
    print->setObjectName(QStringLiteral("mbtPrint"));
    print->setIcon(images::ActionIcon(QStringLiteral("document-print"), QStringLiteral("action-print")));
    print->setToolTip(tr("Print"));
    print->setPopupMode(QToolButton::InstantPopup);
    auto *pmPrint = new QMenu(print);
    pmPrint->setObjectName(QStringLiteral("pmPrint"));
    pmPrint->addAction(Action(QStringLiteral("acPrintListReportofCollection")));
    pmPrint->addAction(Action(QStringLiteral("acPrintListReportofSelectedItems")));
    print->setMenu(pmPrint);
    tbFile->addWidget(print);
    tbEdit = bar("tbEdit", tr("Edit"),
                 {"acEditItem:btEditItem", "acRemoveItem:btRemoveItem", "-", "acEditLookupLists:btEditLookupLists"});
    tbView = bar("tbView", tr("View"),
                 {"acFolderFields:btFolderFields", "-", "acUp:btUp", "acRefresh:btRefresh", "-",
                  "acColumnFields:btShowFields", "acSortFields:btSortFields"});
    tbSearch = bar("tbSearch", tr("Search"), {"acEditFilter:btEditFilter", "acEnableFilter:btEnableFilter"});

    tbLogo = addToolBar(tr("Logo"));
    tbLogo->setObjectName(QStringLiteral("tbLogo"));
    imLogo = new QToolButton(tbLogo);
    imLogo->setObjectName(QStringLiteral("imLogo"));
    imLogo->setIcon(QIcon(QStringLiteral(":/icons/tunebase.svg")));
    imLogo->setIconSize(QSize(24, 24));
    imLogo->setAutoRaise(true);
    imLogo->setCursor(Qt::PointingHandCursor);
    imLogo->setToolTip(tr("About Brimlow"));
    connect(imLogo, &QToolButton::clicked, this, [this] { ShowAbout(this); });
    tbLogo->addWidget(imLogo);
}

void TfmMainBase::createStatusBar()
{
    auto pane = [this](const char *name, int width) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        if (width > 0)
            label->setFixedWidth(width);
        return label;
    };
    pnCount = pane("pnCount", 146);
    pnSearch = pane("pnSearch", 56);
    pnFilter = pane("pnFilter", 0);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(pnCount);
    statusBar()->addWidget(pnSearch);
    statusBar()->addWidget(pnFilter, 1);
}

void TfmMainBase::connectShellActions()
{
    auto on = [this](const char *name, auto handler) {
        QAction *action = Action(QLatin1String(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    };
    on("acSave", [this] { Save(); });
    on("acSaveAs", [this] { SaveAs(); });
    on("acExit", [this] { close(); });
    on("acPrefs", [this] { EditPreferences(this); });
    on("acVersionCheck", [this] { ShowUpdateWindow(this, m_updates, nullptr, 0); });
    on("acAbout", [this] { ShowAbout(this); });
    on("acManual", [this] { openDocument(QStringLiteral("manual.html")); });
    on("acFAQ", [this] { openDocument(QStringLiteral("faq.html")); });
    on("acOrdering", [this] { openDocument(QStringLiteral("order.html")); });
}

void TfmMainBase::openDocument(const QString &name)
{
    // Beside the program, or in the installed data folder.
    const QString appFolder = GetAppFolder();
    for (const QString &folder : {appFolder + QStringLiteral("Docs/"),
                                  appFolder + QStringLiteral("../share/tunebase/Docs/")}) {
        const QString path = QDir::cleanPath(folder + name);
        if (QFileInfo::exists(path)) {
            RunProgram(path);
            return;
        }
    }
}

void TfmMainBase::SetExplorer(QWidget *explorer)
{
    explorer->setObjectName(QStringLiteral("pnExplorer"));
    setCentralWidget(explorer);
    pnExplorer = explorer;
}

void TfmMainBase::FormCreate(const QStringList &argumentsAfterProgram)
{
    m_collection = CreateRoot();
    m_collection->BeforeReplace = [this](TRootItem &incoming) { releaseCollection(&incoming); };
    createFieldLists();
    SetApplicationTitle(BaseTitle + QLatin1Char(' ') + GetVersionText(true));
    TdmGlobal::EnsureDataFolder(m_prefs.DataFolder);
    const QString file = shellsequence::ChooseCollectionFile(argumentsAfterProgram, m_prefs.CurrentDatabase);
    shellsequence::OpenAtStart(*m_collection, file, m_prefs.CurrentDatabase, m_prefs.DataFolder);
    UpdateCaption();
}

void TfmMainBase::FormDestroy()
{
    RegisterFileAssociation();
    FreeRoot();
}

std::unique_ptr<TRootCollection> TfmMainBase::CreateRoot()
{
    return std::make_unique<TRootCollection>(m_prefs.Store(), [this] { return CreateRootItem(); });
}

std::unique_ptr<TRootItem> TfmMainBase::CreateRootItem()
{
    return std::make_unique<TMp3Root>();
}

void TfmMainBase::FreeRoot()
{
    releaseCollection(nullptr);
    m_collection.reset();
}

void TfmMainBase::FirstIdleTasks()
{
    m_updates.AutoCheckForUpdate(this);
    if (shellsequence::ShouldOfferNewCollection(m_prefs.FirstRun, m_prefs.AutoSelectFolder,
                                                !m_collection->FileName().isEmpty()))
        OfferNewCollection();
}

bool TfmMainBase::EditPreferences(QWidget *owner)
{
    return ShowPreferences(owner, m_prefs);
}

void TfmMainBase::RegisterFileAssociation()
{
    TProcessRunner runner;
    TAssociate associate(TXdgPaths::FromEnvironment(), runner);
    associate.AppName = ProductName;
    associate.ExeName = QCoreApplication::applicationFilePath();
    associate.IconFile = QStringLiteral(":/icons/tunebase.svg");
    associate.IconIndex = 0;
    associate.DocumentIconFile = QStringLiteral(":/icons/application-x-tunebase-collection.svg");
    associate.Verb = QStringLiteral("Open");
    associate.Command = TAssociate::QuoteExecArgument(associate.ExeName) + QStringLiteral(" %f");
    associate.Description = tr("MP3 Collection");
    associate.ShellNew = false;
    associate.QuickView = false;
    associate.RegisterFileType();
    associate.RegisterExtension(CollectionExtension);
    associate.NotifyAssociationChanged();
}

void TfmMainBase::UpdateCaption()
{
    const QString name = m_collection ? m_collection->GetDisplayName() : QString();
    setWindowTitle(QStringLiteral("%1 - %2").arg(ApplicationTitle(), name));
}

void TfmMainBase::BeginOperation(std::function<void()> cancel)
{
    m_cancelOperation = std::move(cancel);
}

void TfmMainBase::EndOperation()
{
    m_cancelOperation = nullptr;
    if (m_closeAfterOperation) {
        m_closeAfterOperation = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TfmMainBase::ActivateFromHandover(const THandover &handover)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (QWidget *modal = QApplication::activeModalWidget()) {
        // A dialog is open: bring it up; a file waits for the user.
        modal->raise();
        modal->activateWindow();
        return;
    }
    if (handover.FileName.isEmpty() || OperationRunning())
        return;
    const QString question = tr("Do you want to open the collection\n\"%1\"?")
                                 .arg(ReadablePath(handover.FileName));
    if (AskYesNo(question) != TDesktopServices::TAnswer::Yes)
        return;
    // A new collection that was never saved would be lost: the question
    // closing asks comes first.
    if (m_collection
        && !shellsequence::QueryUnsavedCollection(*m_collection, DesktopServices(), [this] { return SaveAs(); }))
        return;
    OpenCollection(handover.FileName);
}

bool TfmMainBase::queryClose()
{
    shellsequence::TCloseHooks hooks;
    hooks.SaveAs = [this] { return SaveAs(); };
    hooks.PlaylistModified = [this] { return PlaylistModified(); };
    hooks.SavePlaylist = [this] { SavePlaylist(); };
    hooks.AskSaveFailed = [this](const QString &text) { return AskSaveFailed(text, this); };
    hooks.Save = saveHooks();
    return shellsequence::QueryClose(*m_collection, DesktopServices(), hooks);
}

void TfmMainBase::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
    // From now on the window holds what the user sees and sets, so the
    // settings are worth writing whenever they may have changed (not
    // before: the window's defaults would overwrite what was stored).
    m_settingsAutoSave->Start();
    // The first moment the event queue runs empty.
    QTimer::singleShot(0, this, &TfmMainBase::FirstIdleTasks);
}

void TfmMainBase::closeEvent(QCloseEvent *event)
{
    if (OperationRunning()) {
        // The operation stops at its next step; close when it has returned.
        m_closeAfterOperation = true;
        m_cancelOperation();
        event->ignore();
        return;
    }
    if (!m_collection || !queryClose()) {
        event->ignore();
        return;
    }
    SaveSettingsToFile();
    event->accept();
}

bool TfmMainBase::SaveSettingsToFile()
{
    if (!m_collection || OperationRunning() || Updating)
        return false;
    SaveSettings();
    m_collection->SaveDefaults();
    // A settings file that cannot be written keeps what it had; the next
    // change tries again, and closing reports nothing the user could mend.
    m_prefs.SaveToFile();
    return true;
}
