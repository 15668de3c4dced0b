// The main window's commands that open the lookup list window and the
// lookup item windows, and the editors the item windows open each other by.

#include "gui/shell/mainbase.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/mainexplorerdefs.h"
#include "gui/items/dataitembase.h"
#include "gui/items/trackwindow.h"
#include "gui/lookups/lookuplistwindow.h"
#include "gui/lookups/lookupitemwindows.h"
#include "gui/lookups/trackediting.h"

namespace {

void installTrackEditor(TMp3Prefs &prefs)
{
    SetTrackEditor([&prefs](QWidget *owner, TMp3Track &copy) {
        return TfmDataItemBase::Execute(TfmTrack::CreateForm, owner, &copy, TfmDataItemBase::EditMode, prefs);
    });
}

} // namespace

void TfmMainBase::installItemEditors()
{
    installTrackEditor(m_prefs);
    TfmDataItemBase::SetLookupItemEditor([this](QWidget *owner, qint32 fieldID, TLookupItem *item,
                                                const QString &caption, TLookupList *list) {
        const TRootItem *root = Root();
        const TDataField *field = root && root->Fields ? root->Fields->FindByID(fieldID) : nullptr;
        // Opened from a track window: an album window must not edit tracks
        // then, as that would replace the track the open window edits a copy
        // of, under the views that show it.
        SetTrackEditor({});
        const bool ok = EditLookupItem(LookupItemWindowFor(field), owner, item, caption, list, m_prefs.Store());
        installTrackEditor(m_prefs);
        return ok;
    });
}

void TfmMainBase::acEditLookupListsExecute()
{
    TRootItem *root = Root();
    if (!root)
        return;
    // Recorded now: once the views let go of the collection there is
    // nothing left to record.
    SaveState();
    bool released = false;
    const bool changed = EditLookupLists(this, *root, m_prefs.Store(), nullptr, [this, &released] {
        if (!released)
            ReleaseViews();
        released = true;
    });
    if (changed)
        Save();
    if (changed || released) {
        ShowViewsAgain();
        UpdateActions();
    }
}

void TfmMainBase::EditLookupItemFromTree()
{
    const TExplorerNode *node = SelectedNode();
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const int level = node ? node->Level() : 0;
    if (!groups || level < 1 || level > groups->Count())
        return;
    editLookupValue(groupField(level - 1), node->Object);
}

void TfmMainBase::EditLookupItemFromList()
{
    const TExplorerNode *node = SelectedNode();
    const TGroupFieldRefList *groups = GetGroupFields(TreeMode);
    const int row = lvMain->FirstSelectedRow();
    if (ListKind != ListKind::Lookups || !node || !groups || row < 0
        || node->Level() >= groups->Count())
        return;
    editLookupValue(groupField(node->Level()), ListContent->Get(row));
}

void TfmMainBase::editLookupValue(const TDataField *field, TDataObject *object)
{
    TRootItem *root = Root();
    auto *item = dynamic_cast<TLookupItem *>(object);
    if (!root || !field || !item || item == NoneItem.get())
        return;
    SaveState();
    bool released = false;
    TLookupEditContext context;
    context.BeforeFree = [this, &released] {
        if (!released)
            ReleaseViews();
        released = true;
    };
    const bool ok = EditLookupItem(LookupItemWindowFor(field), this, item,
                                   tr("Edit %1").arg(GetFieldDisplayName(field)), root->GetLookupList(field),
                                   m_prefs.Store(), &context);
    if (ok || context.CollectionChanged)
        Save();
    if (ok || released) {
        ShowViewsAgain();
        UpdateActions();
    }
}
