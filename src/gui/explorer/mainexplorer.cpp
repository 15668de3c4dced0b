// The explorer part of the main window: the folder tree grouped by fields,
// the list of the selected folder's content, and the navigation state that
// survives rebuilds.

#include "gui/shell/mainbase.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/explorer/folderfilter.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/explorer/sizingsplitter.h"
#include "gui/fields/selectfields.h"
#include "gui/output/outputcommands.h"
#include "core/base/desktopservices.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"
#include "gui/settings/formplacement.h"
#include "gui/shell/columnfit.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/rootcollection.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScopedValueRollback>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace mainexplorer;

namespace {

// Keeps the widget from repainting while a scope changes it.
class TNoUpdates {
public:
    explicit TNoUpdates(QWidget *widget) : m_widget(widget), m_old(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~TNoUpdates() { m_widget->setUpdatesEnabled(m_old); }
    TNoUpdates(const TNoUpdates &) = delete;
    TNoUpdates &operator=(const TNoUpdates &) = delete;

private:
    QWidget *m_widget;
    bool m_old;
};

bool isLookupItem(const TDataObject *object)
{
    return dynamic_cast<const TLookupItem *>(object) != nullptr;
}

} // namespace

QString mainexplorer::SubSection(const QString &name)
{
    return MainSection + QLatin1Char('\\') + name;
}

QRect mainexplorer::ScreenArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// ---- building the window ---------------------------------------------------

void TfmMainBase::createExplorer()
{
    ListContent = std::make_unique<TDataRefList>();
    NoneItem = std::make_unique<TLookupItemNone>();
    m_treeModel = new TExplorerTreeModel(m_dmGlobal->ilSmall, this);
    m_treeModel->SetFetchHandler([this](TExplorerNode *node) { fetchNode(node); });
    m_listModel = new TExplorerListModel(*ListContent, ListReady, m_dmGlobal->ilSmall, m_dmGlobal->ilLarge, this);
    m_listModel->SetKind(ListKind);

    auto *explorer = new QWidget(this);
    auto *layout = new QVBoxLayout(explorer);
    layout->setContentsMargins(0, 0, 0, 0);
    spExplorer = new TSizingSplitter(Qt::Horizontal, explorer);
    spExplorer->setObjectName(QStringLiteral("spExplorer"));
    layout->addWidget(spExplorer);

    pnTree = new QWidget(spExplorer);
    pnTree->setObjectName(QStringLiteral("pnTree"));
    auto *treeLayout = new QVBoxLayout(pnTree);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    tvMain = new TExplorerTreeView(pnTree);
    tvMain->setModel(m_treeModel);
    treeLayout->addWidget(tvMain);

    pnRight = new QWidget(spExplorer);
    pnRight->setObjectName(QStringLiteral("pnRight"));
    auto *rightLayout = new QVBoxLayout(pnRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    spRight = new TSizingSplitter(Qt::Vertical, pnRight);
    spRight->setObjectName(QStringLiteral("spRight"));
    rightLayout->addWidget(spRight);
    lvMain = new TBrimlowListView(spRight);
    lvMain->SetModel(m_listModel);
    lvMain->ImageIndexAscending = images::SortAscending;
    lvMain->ImageIndexDescending = images::SortDescending;
    auto *info = new QFrame(spRight);
    info->setFrameShape(QFrame::StyledPanel);
    pnInfo = info;
    pnInfo->setObjectName(QStringLiteral("pnInfo"));
    spRight->SetWidgets(pnInfo, lvMain, false);
    spRight->SetPanelSize(109);
    spExplorer->SetWidgets(pnTree, pnRight, true);
    spExplorer->SetPanelSize(174);
    SetExplorer(explorer);

    connect(tvMain->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { treeSelectionChanged(); });
    connect(tvMain, &TExplorerTreeView::UpRequested, this, [this] { GoUp(); });
    connect(lvMain, &TBrimlowListView::UpRequested, this, [this] { GoUp(); });
    connect(lvMain, &TBrimlowListView::HeaderClicked, this, &TfmMainBase::headerClicked);
    connect(lvMain, &TBrimlowListView::TypeAhead, this, &TfmMainBase::typeAhead);
    connect(lvMain, &TBrimlowListView::OpenRequested, this, &TfmMainBase::listOpenRequested);
    connect(lvMain, &TBrimlowListView::SelectionChanged, this, &TfmMainBase::listSelectionChanged);
}

void TfmMainBase::createFieldLists()
{
    TRootItem *root = Root();
    ItemColumnFields = std::make_unique<TColumnFieldRefList>(ListKind::MainItems, root);
    ItemSortFields = std::make_unique<TSortFieldRefList>(ListKind::MainItems, root);
    ItemIndexSortFields = std::make_unique<TSortFieldRefList>(ListKind::MainItems, root);
    ItemFilterFields = std::make_unique<TFilterFieldRefList>(ListKind::MainItems, root);
    GroupFields = std::make_unique<TGroupFieldRefList>(ListKind::MainItems, root);
    CustomGroupFields = std::make_unique<TGroupFieldRefList>(ListKind::MainItems, root);
}

void TfmMainBase::connectExplorerActions()
{
    auto on = [this](const char *name, auto handler) {
        QAction *action = Action(QLatin1String(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    };
    on("acNew", [this] { NewCollection(); });
    on("acOpen", [this] { OpenCollectionDialog(); });
    on("acImportOtherCollection", [this] { ImportCollection(); });
    on("acUp", [this] { GoUp(); });
    on("acIconView", [this] { acIconViewExecute(); });
    on("acListView", [this] { acListViewExecute(); });
    on("acColumnFields", [this] { ChooseColumns(); });
    on("acSortFields", [this] { ChooseSortOrder(); });
    on("acRefresh", [this] { RefreshView(); });
    on("acShowEmptyFolders", [this] { ToggleEmptyFolders(); });
    on("acFolderFields", [this] { ChooseFolderFields(); });
    on("acEnableFilter", [this] { ToggleFilter(); });
    on("acSelectAll", [this] { lvMain->SelectAll(); });
    on("acResetToolbar", [this] { acResetToolbarExecute(); });
    outputcommands::Connect(*this);
    on("acEditLookupLists", [this] { acEditLookupListsExecute(); });

    const QList<std::pair<const char *, QWidget *>> bars = {
        {"acShowFileBar", tbFile}, {"acShowEditBar", tbEdit}, {"acShowViewBar", tbView},
        {"acShowSearchBar", tbSearch}, {"acShowLogo", tbLogo}};
    for (const auto &[name, bar] : bars) {
        QAction *action = Action(QLatin1String(name));
        action->setEnabled(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, bar, &QWidget::setVisible);
    }
    auto *views = new QActionGroup(this);
    views->addAction(Action(QStringLiteral("acIconView")));
    views->addAction(Action(QStringLiteral("acListView")));
    Action(QStringLiteral("acListView"))->setChecked(true);
}

void TfmMainBase::createContextMenus()
{
    // A menu item with its own caption that runs an action and follows its
    // enabled state.
    auto captioned = [this](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = Action(QLatin1String(name));
        QAction *item = menu->addAction(action->icon(), caption);
        item->setEnabled(action->isEnabled());
        connect(item, &QAction::triggered, action, &QAction::trigger);
        connect(action, &QAction::changed, item, [item, action] { item->setEnabled(action->isEnabled()); });
    };
    auto plain = [this](QMenu *menu, const char *name) { menu->addAction(Action(QLatin1String(name))); };

    pmFolders = new QMenu(this);
    pmFolders->setObjectName(QStringLiteral("pmFolders"));
    miFolders = menuBar()->findChild<QMenu *>(QStringLiteral("miFolders"));

    pmTree = new QMenu(this);
    pmTree->setObjectName(QStringLiteral("pmTree"));
    captioned(pmTree, "acAddItem", tr("&Add..."));
    captioned(pmTree, "acEditItem", tr("&Edit..."));
    captioned(pmTree, "acDuplicateItem", tr("&Duplicate..."));
    captioned(pmTree, "acRemoveItem", tr("&Remove"));
    pmTree->addSeparator();
    plain(pmTree, "acEditLookupItemFromTree");
    pmTree->addSeparator();
    tvmiFolders = pmTree->addMenu(tr("&Folders"));
    tvmiFolders->setObjectName(QStringLiteral("tvmiFolders"));

    pmList = new QMenu(this);
    pmList->setObjectName(QStringLiteral("pmList"));
    captioned(pmList, "acAddItem", tr("&Add..."));
    captioned(pmList, "acEditItem", tr("&Edit..."));
    captioned(pmList, "acDuplicateItem", tr("&Duplicate..."));
    captioned(pmList, "acRemoveItem", tr("&Remove"));
    pmList->addSeparator();
    plain(pmList, "acEditLookupItemFromList");
    pmList->addSeparator();
    plain(pmList, "acColumnFields");
    plain(pmList, "acSortFields");
    pmList->addSeparator();
    captioned(pmList, "acPrintListReportofSelectedItems", tr("&Print Selected Items..."));
    plain(pmList, "acBrowseSelectedItems");
    plain(pmList, "acSelectAll");

    pmToolbar = new QMenu(this);
    pmToolbar->setObjectName(QStringLiteral("pmToolbar"));
    for (const char *name : {"acShowFileBar", "acShowEditBar", "acShowViewBar", "acShowSearchBar", "acShowLogo"})
        plain(pmToolbar, name);
    pmToolbar->addSeparator();
    plain(pmToolbar, "acResetToolbar");

    btFolderFields = qobject_cast<QToolButton *>(tbView->widgetForAction(Action(QStringLiteral("acFolderFields"))));
    if (btFolderFields) {
        btFolderFields->setObjectName(QStringLiteral("btFolderFields"));
        btFolderFields->setMenu(pmFolders);
        btFolderFields->setPopupMode(QToolButton::MenuButtonPopup);
    }
    Action(QStringLiteral("acFolderFields"))->setToolTip(tr("Choose Folder Fields"));

    connect(tvMain, &TExplorerTreeView::ContextMenuRequested, this,
            [this](const QPoint &pos) { pmTree->popup(pos); });
    connect(lvMain, &TBrimlowListView::ContextMenuRequested, this,
            [this](const QPoint &pos) { pmList->popup(pos); });
}

QMenu *TfmMainBase::createPopupMenu()
{
    // The tool bar area's menu is pmToolbar; the caller deletes what it gets.
    auto *menu = new QMenu(this);
    menu->addActions(pmToolbar->actions());
    return menu;
}

TRootItem *TfmMainBase::Root() const
{
    return m_collection ? m_collection->Root() : nullptr;
}

// ---- the collection changes ----------------------------------------------

void TfmMainBase::releaseCollection(TRootItem *incoming)
{
    // Nothing shown may refer to what is about to be freed.
    const QScopedValueRollback updating(Updating, true);
    ListReady = false;
    m_listModel->Reset();
    ListContent->Clear();
    if (RootNode)
        m_treeModel->RemoveChildren(RootNode);
    if (incoming) {
        rebindFieldLists(*incoming);
        if (RootNode)
            m_treeModel->SetObject(RootNode, incoming);
        return;
    }
    ReleaseOwnTreeNodes();
    m_treeModel->Clear();
    RootNode = nullptr;
    ItemColumnFields.reset();
    ItemSortFields.reset();
    ItemIndexSortFields.reset();
    ItemFilterFields.reset();
    GroupFields.reset();
    CustomGroupFields.reset();
}

void TfmMainBase::ReleaseViews()
{
    if (Root())
        releaseCollection(Root());
}

void TfmMainBase::ShowViewsAgain()
{
    ListReady = true;
    RebuildTree();
    RestoreState(nullptr, true);
}

void TfmMainBase::rebindFieldLists(TRootItem &root)
{
    // The references name fields of the old catalogue: point them at the
    // new catalogue's fields of the same IDs.
    for (TDataFieldRefList *list : std::initializer_list<TDataFieldRefList *>{
             ItemColumnFields.get(), ItemSortFields.get(), ItemIndexSortFields.get(), ItemFilterFields.get(),
             GroupFields.get(), CustomGroupFields.get()}) {
        if (!list)
            continue;
        list->Owner = &root;
        for (int i = list->Count() - 1; i >= 0; --i) {
            TDataFieldRef *ref = list->Get(i);
            TDataField *field = ref->Field && root.Fields ? root.Fields->FindByID(ref->Field->ID) : nullptr;
            if (field)
                ref->Field = field;
            else
                list->FreeItem(ref);
        }
    }
}

// ---- folders ----------------------------------------------------------------

const TDataField *TfmMainBase::groupField(int index) const
{
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    return groups && index >= 0 && index < groups->Count() ? groups->Get(index)->Field : nullptr;
}

bool TfmMainBase::CanHaveChildren(const TExplorerNode *node) const
{
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    return node && groups && node->Level() < groups->Count();
}

int TfmMainBase::GetListKind(const TExplorerNode *node) const
{
    if (!node || !node->Object)
        return ListKind::None;
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const int groupCount = groups ? groups->Count() : 0;
    if (node->Object == Root())
        return groupCount == 0 ? ListKind::MainItems : ListKind::Lookups;
    if (isLookupItem(node->Object))
        return node->Level() == groupCount ? ListKind::MainItems : ListKind::Lookups;
    return ListKind::None;
}

std::unique_ptr<TItemFilter> TfmMainBase::pathFilter(const TExplorerNode *node) const
{
    // The folders' lookup items are alive as long as their nodes are; the
    // "[None]" folder stands for no value.
    auto filter = std::make_unique<TFolderFilter>(GetFilterFields(TreeMode));
    for (const TExplorerNode *n = node; n && n->Level() >= 1; n = n->Parent) {
        if (const auto *value = dynamic_cast<const TLookupItem *>(n->Object))
            filter->AddLevel(groupField(n->Level() - 1), value == NoneItem.get() ? nullptr : value);
    }
    return filter;
}

void TfmMainBase::computeNodeContent(const TExplorerNode *node, TDataRefList &list)
{
    const TBusyCursor busy;
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const int groupCount = groups ? groups->Count() : 0;
    if (node->Object == Root()) {
        if (groupCount > 0)
            GetFolderGroups(list, GetFilterFields(TreeMode), 0);
        else
            GetFolderItems(list, GetFilterFields(TreeMode));
    } else if (isLookupItem(node->Object)) {
        const std::unique_ptr<TItemFilter> filter = pathFilter(node);
        const int level = node->Level();
        if (level >= groupCount)
            GetFolderItems(list, filter.get());
        else
            GetFolderGroups(list, filter.get(), level);
    } else if (node->Object) {
        node->Object->GetItems(list);
    }
}

bool TfmMainBase::GetNodeContent(TExplorerNode *node, TDataRefList &list)
{
    if (!node)
        return false;
    if (node->Children.empty()) {
        computeNodeContent(node, list);
    } else {
        for (const auto &child : node->Children) {
            if (auto *item = dynamic_cast<TDataItem *>(child->Object))
                list.Add(item);
        }
    }
    return !list.isEmpty();
}

void TfmMainBase::AddFolderNodes(TExplorerNode *node, TDataRefList &list)
{
    m_treeModel->BeginAddChildren(node);
    for (TDataItem *object : list) {
        auto *child = static_cast<TExplorerNode *>(object->AddToTree(*m_treeModel, node));
        if (child->HasChildren && !CanHaveChildren(child))
            child->HasChildren = false;
    }
    m_treeModel->EndAddChildren();
    m_treeModel->SetHasChildren(node, !list.isEmpty());
}

void TfmMainBase::GetFolderItems(TDataRefList &list, const TItemFilter *filter)
{
    TRootItem *root = Root();
    if (!root || !root->Items)
        return;
    const bool filtered = filter && filter->IsActive();
    list.SetCapacity(list.Count() + (filtered ? 0 : root->Items->Count()));
    for (TDataItem *item : *root->Items) {
        if (!filtered || filter->Matches(item))
            list.Add(item);
    }
    if (const TSortFieldRefList *sorts = GetSortFields(TreeMode))
        list.SortByFields(sorts->sortKeys());
}

void TfmMainBase::GetFolderGroups(TDataRefList &list, const TItemFilter *filter, int level)
{
    TRootItem *root = Root();
    const TDataField *field = groupField(level);
    if (!root || !field)
        return;
    qint32 noValueCount = 0;
    root->CountUsage(field, filter, noValueCount, true);
    const bool showEmpty = Action(QStringLiteral("acShowEmptyFolders"))->isChecked();
    if (showEmpty || noValueCount > 0)
        list.Add(NoneItem.get());
    TLookupList *lookups = root->GetLookupList(field);
    if (!lookups)
        return;
    // The lookup list keeps itself in sort name order (ties by identifier);
    // the descending order is that order reversed.
    lookups->sortBySortName();
    const int count = lookups->Count();
    for (int i = 0; i < count; ++i) {
        TLookupItem *value = lookups->Get(GroupSortOrder < 0 ? count - 1 - i : i);
        if (showEmpty || value->UseCount > 0)
            list.Add(value);
    }
}

void TfmMainBase::fetchNode(TExplorerNode *node)
{
    if (!CanHaveChildren(node)) {
        m_treeModel->SetHasChildren(node, false);
        return;
    }
    if (!node->Children.empty())
        return;
    TDataRefList content;
    GetNodeContent(node, content);
    AddFolderNodes(node, content);
}

void TfmMainBase::ExpandNode(TExplorerNode *node)
{
    if (!node)
        return;
    const QModelIndex index = m_treeModel->IndexOf(node);
    // The view may defer its own fetching to its next layout; the children
    // are needed now.
    if (m_treeModel->canFetchMore(index))
        m_treeModel->fetchMore(index);
    if (!node->Children.empty())
        tvMain->expand(index);
}

bool TfmMainBase::IsExpanded(const TExplorerNode *node) const
{
    return node && tvMain->isExpanded(m_treeModel->IndexOf(node));
}

TExplorerNode *TfmMainBase::SelectedNode() const
{
    return m_treeModel->Node(tvMain->currentIndex());
}

void TfmMainBase::SelectNode(TExplorerNode *node)
{
    tvMain->setCurrentIndex(m_treeModel->IndexOf(node));
}

TExplorerNode *TfmMainBase::TopLevelNode(TExplorerNode *node) const
{
    while (node && node->Parent)
        node = node->Parent;
    return node;
}

void TfmMainBase::CreateTreeRoots()
{
    const QScopedValueRollback updating(Updating, true);
    const TBusyCursor busy;
    ReleaseOwnTreeNodes();
    m_treeModel->Clear();
    RootNode = static_cast<TExplorerNode *>(Root()->AddToTree(*m_treeModel, nullptr));
    m_treeModel->SetImages(RootNode, CollectionImage, CollectionImage);
}

void TfmMainBase::updateRootNodeText()
{
    if (RootNode)
        m_treeModel->SetText(RootNode, tr("Collection - %1").arg(Root()->GetDisplayName()));
}

void TfmMainBase::RebuildTree()
{
    if (!RootNode)
        return;
    updateRootNodeText();
    {
        const QScopedValueRollback updating(Updating, true);
        const TBusyCursor busy;
        const TNoUpdates frozen(tvMain);
        m_treeModel->RemoveChildren(RootNode);
        if (CanHaveChildren(RootNode)) {
            TDataRefList content;
            GetNodeContent(RootNode, content);
            AddFolderNodes(RootNode, content);
        } else {
            m_treeModel->SetHasChildren(RootNode, false);
        }
    }
}

void TfmMainBase::RefreshView()
{
    SaveState();
    RebuildTree();
    RestoreState(nullptr, true);
}

// ---- navigation state ---------------------------------------------------------

void TfmMainBase::SaveState()
{
    const TBusyCursor busy;
    State.Clear();
    const int row = lvMain->FirstSelectedRow();
    if (ListReady && row >= 0 && row < ListContent->Count())
        State.FocusItemID = ListContent->Get(row)->GetID();
    if (const TExplorerNode *selected = SelectedNode())
        State.SelectedFolderID = selected == RootNode ? -1 : selected->ObjectID;
    if (RootNode)
        recordStateNode(RootNode, State.Root);
}

void TfmMainBase::recordStateNode(const TExplorerNode *node, TStateNode &saved) const
{
    const TExplorerNode *selected = SelectedNode();
    saved.ObjectID = node == RootNode ? -1 : node->ObjectID;
    saved.HoldsSelection = selected && selected->Parent == node;
    for (const auto &child : node->Children) {
        if (IsExpanded(child.get()))
            recordStateNode(child.get(), *saved.AddChild(child->ObjectID));
    }
}

bool TfmMainBase::restoreStateNode(const TStateNode &saved, TExplorerNode *parent, bool isRoot, bool select)
{
    TExplorerNode *node = isRoot ? RootNode : parent->ChildByObjectID(saved.ObjectID);
    if (!node)
        return false;
    ExpandNode(node);
    bool found = false;
    if (saved.HoldsSelection) {
        if (TExplorerNode *child = node->ChildByObjectID(State.SelectedFolderID)) {
            if (select)
                SelectNode(child);
            found = true;
        }
    }
    for (const auto &savedChild : saved.Children) {
        if (restoreStateNode(*savedChild, node, false, select))
            found = true;
    }
    return found;
}

void TfmMainBase::openItemFolder(TDataItem *item, bool select)
{
    TExplorerNode *node = RootNode;
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    for (int i = 0; node && groups && i < groups->Count(); ++i) {
        ExpandNode(node);
        const TLookupItem *value = item->GetValueAsLookupItem(groups->Get(i)->Field, true);
        node = node->ChildByObjectID(value ? value->GetID() : TLookupItemNone::NoneID);
        if (node)
            ExpandNode(node);
    }
    if (node && select)
        SelectNode(node);
}

void TfmMainBase::RestoreState(TDataItem *item, bool select)
{
    if (!RootNode)
        return;
    {
        const TBusyCursor busy;
        const QScopedValueRollback updating(Updating, true);
        {
            const TNoUpdates frozen(tvMain);
            bool found = restoreStateNode(State.Root, nullptr, true, select);
            if (item && TreeMode == ListKind::MainItems) {
                openItemFolder(item, select);
                found = true;
            }
            if (!found && select)
                SelectNode(RootNode);
        }
        if (select) {
            if (TExplorerNode *selected = SelectedNode()) {
                tvMain->scrollTo(m_treeModel->IndexOf(selected));
                ShowFolder(selected);
            }
        }
    }
    if (!select)
        return;
    TDataItem *target = item;
    if (!target && State.FocusItemID != -1) {
        for (TDataItem *object : *ListContent) {
            if (object->GetID() == State.FocusItemID) {
                target = object;
                break;
            }
        }
    }
    RefreshList(target, false);
}

void TfmMainBase::ResetState()
{
    State.Clear();
}

// ---- the list -----------------------------------------------------------------

void TfmMainBase::ShowFolder(TExplorerNode *node)
{
    ListReady = false;
    m_listModel->Reset();
    ListContent->Clear();
    if (node) {
        const TBusyCursor busy;
        SetListKind(GetListKind(node));
        if (ListKind != ListKind::None) {
            // A folder's items come sorted by the item order already.
            const bool sortedItems = ListKind == ListKind::MainItems && node->Children.empty()
                                     && (node->Object == Root() || isLookupItem(node->Object))
                                     && GetSortFields(ListKind) == GetSortFields(TreeMode);
            GetNodeContent(node, *ListContent);
            if (!sortedItems)
                SortContent();
        }
    }
    ListReady = true;
    m_listModel->SetRowCount(ListContent->Count());
}

void TfmMainBase::SetListKind(int kind)
{
    if (kind != ListKind) {
        StoreColumns();
        ListKind = kind;
        m_listModel->SetKind(kind);
        BuildColumns();
    } else if (kind == ListKind::Lookups) {
        BuildColumns();
    }
}

void TfmMainBase::StoreColumns()
{
    TColumnFieldRefList *columns = GetColumnFields(ListKind);
    TRootItem *root = Root();
    // Only the columns the list shows for this kind can be stored back.
    if (!columns || !root || m_listModel->Kind() != ListKind || m_listModel->Columns().isEmpty())
        return;
    const QHeaderView *header = lvMain->Header();
    const QList<TListColumn> &shown = m_listModel->Columns();
    if (header->count() != shown.size())
        return;
    columns->FreeAll();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (TDataField *field = root->Fields->FindByID(shown.at(logical).Tag))
            columns->Add(std::make_unique<TColumnField>(field, header->sectionSize(logical), columns));
    }
}

void TfmMainBase::BuildColumns()
{
    ListReady = false;
    QList<TListColumn> columns;
    QList<int> widths;
    if (ListKind == ListKind::Lookups) {
        const TExplorerNode *selected = SelectedNode();
        const TDataField *field = groupField(selected ? selected->Level() : -1);
        columns.append({field ? GetFieldDisplayName(field) : QString(), 0, nullptr});
        const int width = lvMain->width() - 30;
        widths.append(width < 0 ? 100 : width);
    } else if (const TColumnFieldRefList *list = GetColumnFields(ListKind)) {
        for (int i = 0; i < list->Count(); ++i) {
            const TColumnField *column = list->Get(i);
            if (!column->Field)
                continue;
            const QString caption = GetFieldDisplayName(column->Field);
            columns.append({caption, column->Field->ID, column->Field});
            widths.append(column->Width < 0 ? 100
                                            : ShownColumnWidth(*lvMain->DetailsView(), column->Field, caption,
                                                               column->Width));
        }
    }
    m_listModel->SetColumns(columns);
    QHeaderView *header = lvMain->Header();
    // Columns are shown in list order, whatever the user dragged before.
    for (int logical = 0; logical < header->count(); ++logical) {
        if (header->visualIndex(logical) != logical)
            header->moveSection(header->visualIndex(logical), logical);
    }
    for (int i = 0; i < widths.size(); ++i)
        header->resizeSection(i, widths.at(i));
    ListReady = true;
    ShowSortIndicator();
}

void TfmMainBase::ShowSortIndicator()
{
    if (ListKind == ListKind::None)
        return;
    if (ListKind == ListKind::Lookups) {
        lvMain->SetSortIndicator(0, GroupSortOrder == 1);
        return;
    }
    const TSortFieldRefList *sorts = GetSortFields(ListKind);
    if (sorts && sorts->Count() > 0 && sorts->Get(0)->Field)
        lvMain->SetSortIndicator(sorts->Get(0)->Field->ID, sorts->Get(0)->Order > 0);
    else
        m_listModel->SetHeaderImage(0, -1);
}

void TfmMainBase::SortContent()
{
    if (ListKind == ListKind::None)
        return;
    if (ListKind == ListKind::Lookups) {
        if (const TDataField *sortName = Root()->Fields->FindByID(FieldIds::SortName))
            ListContent->SortByField(sortName, GroupSortOrder);
        return;
    }
    if (const TSortFieldRefList *sorts = GetSortFields(ListKind))
        ListContent->SortByFields(sorts->sortKeys());
}

void TfmMainBase::RefreshList(TDataItem *item, bool keepSelection)
{
    m_listModel->SetRowCount(ListContent->Count());
    if (!keepSelection)
        SelectRow(item ? ListContent->IndexOf(item) : -1);
    lvMain->CurrentView()->viewport()->update();
    UpdateStatus();
}

void TfmMainBase::SelectRow(int index)
{
    const int count = lvMain->RowCount();
    if (index <= 0 || index >= count)
        index = 0;
    lvMain->SelectOnly(count > 0 ? index : -1);
}

void TfmMainBase::GetSelectedObjects(TDataRefList *list) const
{
    if (!list)
        return;
    for (const int row : lvMain->SelectedRows()) {
        if (row < ListContent->Count())
            list->Add(ListContent->Get(row));
    }
}

int TfmMainBase::FindRow(const QString &text) const
{
    if (!ListReady || ListKind == ListKind::None)
        return -1;
    const QString typed = text.toLower();
    const TDataField *field = nullptr;
    if (ListKind != ListKind::Lookups) {
        const TSortFieldRefList *sorts = GetSortFields(ListKind);
        if (!sorts || sorts->Count() == 0 || !sorts->Get(0)->Field)
            return -1;
        field = sorts->Get(0)->Field;
    }
    for (int row = 0; row < ListContent->Count(); ++row) {
        const TDataItem *object = ListContent->Get(row);
        QString key;
        if (field)
            key = object->GetValueAsString(field);
        else if (const auto *lookup = dynamic_cast<const TLookupItem *>(object))
            key = lookup->GetSortName();
        if (key.toLower().startsWith(typed))
            return row;
    }
    return -1;
}

void TfmMainBase::UpdateStatus()
{
    pnCount->setText(GetCountText(GetListKind(SelectedNode())));
    const TFilterFieldRefList *filter = GetFilterFields(TreeMode);
    pnFilter->setText(filter && filter->IsActive() ? tr("Filter: %1").arg(filter->GetDescription())
                                                   : tr("Filter: [None]"));
}

QString TfmMainBase::GetCountText(int kind) const
{
    QString word;
    if (kind == ListKind::None) {
        word = QStringLiteral("Object");
    } else if (kind == ListKind::Lookups) {
        const TExplorerNode *selected = SelectedNode();
        const TDataField *field = groupField(selected ? selected->Level() : -1);
        word = field ? GetFieldName(field) : QStringLiteral("Group");
    } else {
        word = QStringLiteral("Item");
    }
    const int count = ListContent->Count();
    return QStringLiteral("%1 %2").arg(count).arg(Plural(word, count));
}

// ---- events of the tree and the list ---------------------------------------------

void TfmMainBase::treeSelectionChanged()
{
    if (Updating)
        return;
    // What was typed to find a row belongs to the folder left.
    lvMain->ResetTypeAhead();
    pnSearch->clear();
    ShowFolder(SelectedNode());
    RefreshList(nullptr, false);
    UpdateActions();
}

void TfmMainBase::listSelectionChanged()
{
    if (Updating || !ListReady)
        return;
    UpdateActions();
}

void TfmMainBase::headerClicked(int section)
{
    if (!ListReady)
        return;
    if (ListKind == ListKind::Lookups) {
        GroupSortOrder = -GroupSortOrder;
    } else if (ListKind != ListKind::None) {
        TSortFieldRefList *sorts = GetSortFields(ListKind);
        const QList<TListColumn> &columns = m_listModel->Columns();
        TDataField *field = section >= 0 && section < columns.size()
                                ? Root()->Fields->FindByID(columns.at(section).Tag) : nullptr;
        if (!sorts || !field)
            return;
        if (sorts->Count() == 1 && sorts->Get(0)->Field == field) {
            sorts->Get(0)->Order = -sorts->Get(0)->Order;
        } else {
            sorts->FreeAll();
            sorts->Add(std::make_unique<TSortField>(field, 1, sorts));
        }
    }
    ShowSortIndicator();
    SortContent();
    RefreshList(nullptr, false);
    UpdateActions();
}

void TfmMainBase::typeAhead(const QString &text)
{
    if (!ListReady)
        return;
    pnSearch->setText(text);
    const int row = FindRow(text);
    if (row >= 0)
        SelectRow(row);
}

void TfmMainBase::listOpenRequested()
{
    if (!OpenSelectedFolder())
        OpenSelectedItem();
}

bool TfmMainBase::OpenSelectedFolder()
{
    const int row = lvMain->FirstSelectedRow();
    TExplorerNode *node = SelectedNode();
    if (row < 0 || !node || row >= ListContent->Count())
        return false;
    const TDataItem *object = ListContent->Get(row);
    ExpandNode(node);
    for (const auto &child : node->Children) {
        if (child->Object == object) {
            SelectNode(child.get());
            return true;
        }
    }
    return false;
}

void TfmMainBase::OpenSelectedItem()
{
    QAction *edit = Action(QStringLiteral("acEditItem"));
    if (edit->isEnabled())
        edit->trigger();
}

void TfmMainBase::GoUp()
{
    const TExplorerNode *node = SelectedNode();
    if (node && node->Parent)
        SelectNode(node->Parent);
}

TDataItem *TfmMainBase::GetSelectedItem() const
{
    const TExplorerNode *node = SelectedNode();
    if (!node || !node->Object)
        return nullptr;
    TDataItem *item = nullptr;
    const int row = lvMain->FirstSelectedRow();
    if (ListKind != ListKind::None && ListKind != ListKind::Lookups && row >= 0 && row < ListContent->Count())
        item = ListContent->Get(row);
    else
        item = dynamic_cast<TDataItem *>(node->Object);
    return isLookupItem(item) ? nullptr : item;
}

TDataItem *TfmMainBase::GetSelectedCollectionItem() const
{
    return TopLevelNode(SelectedNode()) == RootNode && RootNode ? GetSelectedItem() : nullptr;
}

// ---- field lists of the views -----------------------------------------------------

TColumnFieldRefList *TfmMainBase::GetColumnFields(int kind) const
{
    return kind == ListKind::None || kind == ListKind::Lookups ? nullptr : ItemColumnFields.get();
}

TSortFieldRefList *TfmMainBase::GetSortFields(int kind) const
{
    return kind == ListKind::None || kind == ListKind::Lookups ? nullptr : ItemSortFields.get();
}

TFilterFieldRefList *TfmMainBase::GetFilterFields(int) const
{
    return ItemFilterFields.get();
}

TGroupFieldRefList *TfmMainBase::GetGroupFields(int) const
{
    return GroupFields.get();
}

TGroupFieldRefList *TfmMainBase::GetCustomGroupFields(int) const
{
    return CustomGroupFields.get();
}
