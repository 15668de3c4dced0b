#include "gui/shell/lookupvaluebutton.h"

#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "gui/shell/showhint.h"

TLookupItem *EditOrAddLookupValue(QWidget *owner, TLookupList &list, TLookupItem *value, const QString &typed,
                                  bool &hintShown, const TLookupValueWindow &openWindow)
{
    if (value)
        return openWindow(value, false) ? value : nullptr;
    if (!hintShown) {
        bool dontShowAgain = hintShown;
        ShowTip(owner, dontShowAgain);
        hintShown = dontShowAgain;
    }
    auto *added = static_cast<TLookupItem *>(list.CreateItem());
    if (!added)
        return nullptr;
    added->DisplayName = typed;
    added->GenerateNamePartsFromName();
    list.ItemChanged(added);
    if (openWindow(added, true))
        return added;
    list.FreeItem(added);
    return nullptr;
}
