#pragma once

#include <QString>

#include <functional>

class QWidget;
class TLookupItem;
class TLookupList;

// Opens the lookup item window on a value; adding tells whether the value
// is new (for the caption, "Add ..." or "Edit ..."); true on OK.
using TLookupValueWindow = std::function<bool(TLookupItem *item, bool adding)>;

// What the "..." button beside a lookup value box does: edits value, or
// without one adds a value named typed to list (after the tip that values
// can be typed, until the user asked not to see it again: hintShown).  A
// new value cancelled in its window is removed again.  The value the box
// is to show afterwards; null when the window was cancelled.
TLookupItem *EditOrAddLookupValue(QWidget *owner, TLookupList &list, TLookupItem *value, const QString &typed,
                                  bool &hintShown, const TLookupValueWindow &openWindow);
