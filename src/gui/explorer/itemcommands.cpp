// The main window's commands that change the collection's items: add, edit,
// duplicate, remove, re-assign the index, drag tracks onto folders; and the
// filter and field windows.  Every change is saved at once.

#include "gui/shell/mainbase.h"

#include "core/base/desktopservices.h"
#include "core/data/datafield.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/fields/fielddefaults.h"
#include "gui/fields/fieldnames.h"
#include "gui/fields/filterwindow.h"
#include "gui/fields/selectfields.h"
#include "gui/items/dataitembase.h"
#include "gui/items/trackwindow.h"

#include <QAction>

void TfmMainBase::connectItemActions()
{
    auto on = [this](const char *name, auto handler) {
        QAction *action = Action(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    on("acAddItem", [this] { AddItem(); });
    on("acEditItem", [this] { EditSelectedItem(); });
    on("acDuplicateItem", [this] { DuplicateItem(); });
    on("acRemoveItem", [this] { RemoveItems(); });
    on("acAssignIndex", [this] { AssignIndex(); });
    on("acEditFilter", [this] { EditFilter(); });
    on("acFieldDefaults", [this] { EditFieldDefaults(); });
    on("acFieldNames", [this] { EditFieldNames(); });
    on("acEditLookupItemFromTree", [this] { EditLookupItemFromTree(); });
    on("acEditLookupItemFromList", [this] { EditLookupItemFromList(); });
    for (const char *name : {"acAssignIndex", "acFieldDefaults", "acFieldNames", "acSelectAll"})
        Action(QLatin1String(name))->setEnabled(true);
}

bool TfmMainBase::EditItem(TDataItem *item, bool isEdit)
{
    if (!dynamic_cast<TMp3Track *>(item))
        return false;
    return TfmDataItemBase::Execute(TfmTrack::CreateForm, this, item,
                                    isEdit ? TfmDataItemBase::EditMode : TfmDataItemBase::AddMode, m_prefs);
}

void TfmMainBase::freeItems(const QList<TDataItem *> &items)
{
    // Nothing shown may refer to an item that is about to be freed.
    ListReady = false;
    m_listModel->Reset();
    ListContent->Clear();
    for (TDataItem *item : items)
        Root()->Items->FreeItem(item);
}

// ---- items ---------------------------------------------------------------------------

void TfmMainBase::AddItem()
{
    TRootItem *root = Root();
    if (!root || !Action(QStringLiteral("acAddItem"))->isEnabled())
        return;
    TDataItem *item = root->Items->CreateItem();
    if (!item)
        return;
    item->ApplyDefaults();
    SaveState();
    root->Items->AssignNextIndex(item);
    if (EditItem(item, false)) {
        root->IncrementNextIndex();
        Save();
        RebuildTree();
        RestoreState(item, true);
    } else {
        root->Items->FreeItem(item);
    }
    RefreshList(nullptr, true);
    UpdateActions();
}

void TfmMainBase::EditSelectedItem()
{
    TDataItem *item = GetSelectedCollectionItem();
    if (!item || !Action(QStringLiteral("acEditItem"))->isEnabled())
        return;
    SaveState();
    std::unique_ptr<TDataItem> copy = item->Clone(Root()->Items.get(), true);
    if (EditItem(copy.get(), true)) {
        freeItems({item});
        TDataItem *edited = Root()->Items->Add(std::move(copy));
        Save();
        RebuildTree();
        RestoreState(edited, true);
        ListReady = true;
    }
    RefreshList(nullptr, true);
    UpdateActions();
}

void TfmMainBase::DuplicateItem()
{
    TDataItem *item = GetSelectedCollectionItem();
    if (!item || !Action(QStringLiteral("acDuplicateItem"))->isEnabled())
        return;
    SaveState();
    std::unique_ptr<TDataItem> copy = item->Clone(Root()->Items.get(), false);
    Root()->Items->AssignNextIndex(copy.get());
    TDataItem *duplicate = Root()->Items->Add(std::move(copy));
    Root()->IncrementNextIndex();
    Save();
    RebuildTree();
    RestoreState(duplicate, true);
    UpdateActions();
}

void TfmMainBase::RemoveItems()
{
    if (!Root() || !Action(QStringLiteral("acRemoveItem"))->isEnabled())
        return;
    QList<TDataItem *> items;
    QString question;
    TDataRefList selected;
    if (ListKind == ListKind::MainItems)
        GetSelectedObjects(&selected);
    if (!selected.isEmpty()) {
        for (TDataItem *object : selected)
            items.append(object);
        question = items.size() == 1
                       ? tr("Are you sure you want to remove\r\n\"%1\" ?").arg(items.constFirst()->GetDisplayName())
                       : tr("Are you sure you want to remove the %1 selected items ?").arg(items.size());
    } else if (TDataItem *item = GetSelectedCollectionItem()) {
        items.append(item);
        question = tr("Are you sure you want to remove this item ?");
    }
    if (items.isEmpty())
        return;
    if (m_prefs.ConfirmItemRemoval && AskYesNo(question) != TDesktopServices::TAnswer::Yes)
        return;
    SaveState();
    freeItems(items);
    Save();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::AssignIndex()
{
    TRootItem *root = Root();
    if (!root || !SelectFields(*ItemIndexSortFields, tr(" for Index sequence"), this, m_prefs.Store()))
        return;
    root->Items->SortByFields(*ItemIndexSortFields);
    root->Renumber();
    // A change like any other: kept in the file at once.
    Save();
    RefreshView();
    UpdateActions();
}

// ---- filter and fields -------------------------------------------------------------------

void TfmMainBase::EditFilter()
{
    TFilterFieldRefList *filter = GetFilterFields(TreeMode);
    if (!filter || !Root() || !Action(QStringLiteral("acEditFilter"))->isEnabled())
        return;
    if (!ShowFilter(*filter, this, m_prefs.Store()))
        return;
    filter->Enabled = filter->Count() > 0;
    ResetState();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}

void TfmMainBase::EditFieldDefaults()
{
    if (TRootItem *root = Root())
        ShowFieldDefaults(this, *root, m_prefs.Store());
}

void TfmMainBase::EditFieldNames()
{
    TRootItem *root = Root();
    if (!root)
        return;
    StoreColumns();
    if (!ShowFieldNames(this, *root->Fields, GetFieldNamesKinds(), m_prefs.Store()))
        return;
    BuildColumns();
    BuildFolderMenus();
    Save();
    root->Fields->SaveFieldNames(m_prefs.Store());
    RefreshList(nullptr, true);
    UpdateActions();
}

// ---- drag and drop onto the folder tree ------------------------------------------------------

QList<TDataItem *> TfmMainBase::draggedObjects(bool fromTree) const
{
    QList<TDataItem *> objects;
    if (fromTree) {
        if (const TExplorerNode *node = SelectedNode()) {
            if (auto *item = dynamic_cast<TDataItem *>(node->Object))
                objects.append(item);
        }
        return objects;
    }
    TDataRefList selected;
    GetSelectedObjects(&selected);
    for (TDataItem *item : selected)
        objects.append(item);
    return objects;
}

bool TfmMainBase::CanDropOnNode(const TExplorerNode *target, bool fromTree) const
{
    if (!target || !target->Object)
        return false;
    const QList<TDataItem *> objects = draggedObjects(fromTree);
    return !objects.isEmpty() && CanDrop(objects.constFirst(), target->Object);
}

void TfmMainBase::DropOnNode(TExplorerNode *target, bool fromTree)
{
    if (!CanDropOnNode(target, fromTree))
        return;
    const QList<TDataItem *> objects = draggedObjects(fromTree);
    auto *targetValue = dynamic_cast<TLookupItem *>(target->Object);
    const bool collectionItem = objects.constFirst()->GetRoot() == Root() && Root();
    if (!targetValue || !collectionItem) {
        TDataRefList list;
        for (TDataItem *object : objects)
            list.Add(object);
        DropOnObject(target->Object, list);
        return;
    }
    // The folder path of the selection down to the target's level, and the
    // target's own path, both deepest first.
    QList<TLookupItem *> sourcePath;
    for (const TExplorerNode *node = SelectedNode(); node && node->Level() >= 1; node = node->Parent) {
        auto *value = dynamic_cast<TLookupItem *>(node->Object);
        if (value && node->Level() <= target->Level())
            sourcePath.append(value);
    }
    QList<TLookupItem *> targetPath;
    for (const TExplorerNode *node = target; node && node->Level() >= 1; node = node->Parent) {
        if (auto *value = dynamic_cast<TLookupItem *>(node->Object))
            targetPath.append(value);
    }
    DropOnFolder(objects, sourcePath, targetPath);
}

void TfmMainBase::DropOnFolder(const QList<TDataItem *> &objects, const QList<TLookupItem *> &sourcePath,
                               const QList<TLookupItem *> &targetPath)
{
    if (objects.isEmpty() || !objects.constFirst())
        return;
    SaveState();
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const int levels = int(std::min(sourcePath.size(), targetPath.size()));
    for (int i = 0; i < levels; ++i) {
        if (sourcePath.at(i) == targetPath.at(i))
            continue;
        const int groupIndex = int(sourcePath.size()) - 1 - i;
        if (!groups || groupIndex < 0 || groupIndex >= groups->Count())
            continue;
        const TDataField *field = groups->Get(groupIndex)->Field;
        TLookupItem *oldValue = sourcePath.at(i) == NoneItem.get() ? nullptr : sourcePath.at(i);
        TLookupItem *newValue = targetPath.at(i) == NoneItem.get() ? nullptr : targetPath.at(i);
        for (TDataItem *object : objects) {
            if (!object->HasLookupItem(field, newValue))
                object->SetValueAsLookupItem(field, newValue, LookupSetMode::Replace, oldValue);
        }
    }
    Save();
    RebuildTree();
    RestoreState(nullptr, true);
    UpdateActions();
}
