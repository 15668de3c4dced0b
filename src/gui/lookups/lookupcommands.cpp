// The main window's command that opens the lookup list window.

#include "gui/shell/mainbase.h"

#include "core/data/rootitem.h"
#include "core/settings/prefs.h"
#include "gui/lookups/lookuplistwindow.h"

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
