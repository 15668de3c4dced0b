// The main window's view commands: folder groupings and their menus,
// empty folders, the filter switch, icons or details, columns and sort
// order; and the rule that enables the commands.

#include "gui/shell/mainbase.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/explorer/sizingsplitter.h"
#include "gui/fields/selectfields.h"
#include "gui/output/outputcommands.h"
#include "core/settings/prefs.h"
#include "gui/shell/globaldata.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

using namespace mainexplorer;

// ---- actions -----------------------------------------------------------------------

void TfmMainBase::UpdateActions()
{
    if (!RootNode)
        return;
    const TExplorerNode *selected = SelectedNode();
    const bool inCollection = selected && TopLevelNode(const_cast<TExplorerNode *>(selected)) == RootNode;
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const bool grouped = groups && groups->Count() > 0;
    const bool itemList = ListKind != ListKind::None && ListKind != ListKind::Lookups;

    pnTree->setVisible(!(CanHideTree() && !CanHaveChildren(RootNode)));
    Action(QStringLiteral("acShowEmptyFolders"))->setEnabled(grouped);
    Action(QStringLiteral("acUp"))->setEnabled(selected && selected->Level() > 0);
    Action(QStringLiteral("acAddItem"))->setEnabled(inCollection);
    Action(QStringLiteral("acEditFilter"))->setEnabled(inCollection);
    const bool itemSelected = GetSelectedCollectionItem() != nullptr;
    for (const char *name : {"acEditItem", "acDuplicateItem", "acRemoveItem"})
        Action(QLatin1String(name))->setEnabled(itemSelected);
    const TFilterFieldRefList *filter = GetFilterFields(TreeMode);
    QAction *enableFilter = Action(QStringLiteral("acEnableFilter"));
    enableFilter->setEnabled(inCollection && filter && filter->Count() > 0);
    enableFilter->setChecked(filter && filter->IsActive());
    // The lookup item commands name the field of the folder level.
    const int level = selected ? selected->Level() : 0;
    const int groupCount = groups ? groups->Count() : 0;
    const TDataField *treeField = level >= 1 && level <= groupCount ? groupField(level - 1) : nullptr;
    const TDataField *listField = level < groupCount ? groupField(level) : nullptr;
    const auto isValue = [this](const TDataObject *object) {
        return dynamic_cast<const TLookupItem *>(object) && object != NoneItem.get();
    };
    QAction *editTreeValue = Action(QStringLiteral("acEditLookupItemFromTree"));
    editTreeValue->setText(treeField ? tr("Edit %1...").arg(GetFieldName(treeField)) : tr("Edit Lookup Item"));
    editTreeValue->setEnabled(grouped && selected && isValue(selected->Object));
    QAction *editListValue = Action(QStringLiteral("acEditLookupItemFromList"));
    editListValue->setText(listField ? tr("Edit %1...").arg(GetFieldName(listField)) : tr("Edit Lookup Item"));
    const int row = ListKind == ListKind::Lookups ? lvMain->FirstSelectedRow() : -1;
    editListValue->setEnabled(ListContent && row >= 0 && row < ListContent->Count()
                              && ListContent->Get(row) != NoneItem.get());
    Action(QStringLiteral("acColumnFields"))->setEnabled(itemList);
    Action(QStringLiteral("acSortFields"))->setEnabled(itemList);
    Action(QStringLiteral("acIconView"))->setChecked(lvMain->IsIconView());
    Action(QStringLiteral("acListView"))->setChecked(!lvMain->IsIconView());
    outputcommands::UpdateActions(*this);
    SaveInfoPanel();
}

void TfmMainBase::SaveInfoPanel()
{
    savePanel(spRight, QStringLiteral("pnInfo"));
}

void TfmMainBase::BuildFolderMenus()
{
    for (QAction *old : std::as_const(m_folderActions))
        old->deleteLater();   // the triggering item may be among them
    m_folderActions.clear();
    if (m_folderItems)
        m_folderItems->deleteLater();
    m_folderItems = new QActionGroup(this);
    m_folderItems->setExclusive(true);

    auto item = [this](const QString &caption, int tag, int image) {
        auto *action = new QAction(m_dmGlobal->ilSmall.Icon(image), caption, this);
        action->setData(tag);
        action->setCheckable(true);
        action->setChecked(tag == GroupFieldPreset);
        m_folderItems->addAction(action);
        if (tag == CustomTag)
            connect(action, &QAction::triggered, this, [this] { ChooseFolderFields(); });
        else
            connect(action, &QAction::triggered, this, [this, action] { miFolderPresetClick(action); });
        m_folderActions.append(action);
    };
    auto separator = [this] {
        auto *action = new QAction(this);
        action->setSeparator(true);
        m_folderActions.append(action);
    };
    item(tr("No Folders"), NoFoldersTag, NoFoldersImage);
    separator();
    if (const TRootItem *root = Root()) {
        const QList<QList<qint32>> &presets = root->Fields->GroupPresets[size_t(TreeMode)];
        for (int i = 0; i < presets.size(); ++i) {
            QStringList names;
            for (const qint32 id : presets.at(i)) {
                if (const TDataField *field = root->Fields->FindByID(id))
                    names.append(GetFieldDisplayName(field));
            }
            item(names.join(QStringLiteral(" / ")), i, PresetImage);
        }
    }
    separator();
    item(tr("&Custom..."), CustomTag, PresetImage);

    for (QMenu *menu : {pmFolders, tvmiFolders, miFolders}) {
        if (!menu)
            continue;
        menu->clear();
        menu->addActions(m_folderActions);
    }
}

void TfmMainBase::miFolderPresetClick(QAction *item)
{
    const int tag = item ? item->data().toInt() : NoFoldersTag;
    ApplyGroupPreset(tag);
    GroupFieldPreset = tag;
    BuildFolderMenus();
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::ApplyGroupPreset(int preset)
{
    TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    TRootItem *root = Root();
    if (!groups || !root)
        return;
    groups->FreeAll();
    const QList<QList<qint32>> &presets = root->Fields->GroupPresets[size_t(TreeMode)];
    if (preset < 0 || preset >= presets.size())
        return;
    for (const qint32 id : presets.at(preset)) {
        if (TDataField *field = root->Fields->FindByID(id))
            groups->Add(std::make_unique<TGroupField>(field, groups));
    }
}

void TfmMainBase::ChooseFolderFields()
{
    TGroupFieldRefList *custom = GetCustomGroupFields(TreeMode);
    if (!custom || !SelectFields(*custom, QString(), this, m_prefs.Store())) {
        BuildFolderMenus();   // the menu's check mark follows the grouping in effect
        return;
    }
    GroupFieldPreset = CustomTag;
    TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    groups->FreeAll();
    groups->Assign(*custom);
    BuildFolderMenus();
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::ToggleEmptyFolders()
{
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::ToggleFilter()
{
    if (TFilterFieldRefList *filter = GetFilterFields(TreeMode))
        filter->Enabled = Action(QStringLiteral("acEnableFilter"))->isChecked();
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::setListViewStyle(int style)
{
    lvMain->SetViewStyle(style == TBrimlowListView::StyleIcon ? TBrimlowListView::StyleIcon
                                                             : TBrimlowListView::StyleReport);
}

void TfmMainBase::acIconViewExecute()
{
    setListViewStyle(TBrimlowListView::StyleIcon);
    UpdateActions();
}

void TfmMainBase::acListViewExecute()
{
    setListViewStyle(TBrimlowListView::StyleReport);
    UpdateActions();
}

void TfmMainBase::ChooseColumns()
{
    TColumnFieldRefList *columns = GetColumnFields(ListKind);
    if (!columns)
        return;
    StoreColumns();
    if (!SelectFields(*columns, QString(), this, m_prefs.Store()))
        return;
    const int row = lvMain->FirstSelectedRow();
    TDataItem *focused = row >= 0 && row < ListContent->Count() ? ListContent->Get(row) : nullptr;
    BuildColumns();
    RefreshList(focused, false);
}

void TfmMainBase::ChooseSortOrder()
{
    TSortFieldRefList *sorts = GetSortFields(ListKind);
    if (!sorts || !SelectFields(*sorts, QString(), this, m_prefs.Store()))
        return;
    ShowSortIndicator();
    SortContent();
    RefreshList(nullptr, false);
    UpdateActions();
}
