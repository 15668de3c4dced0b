#pragma once

#include "data/filterfieldlist.h"
#include "data/itemfilter.h"

#include <memory>

class TDataField;
class TRootItem;

// The items of one folder of the tree: those whose value in each grouping
// field of the folder's path is the folder's lookup value ("[None]": no
// value), and that pass the user's filter as the user composed it (all or
// any of its conditions, with its own case setting).
class TFolderFilter : public TItemFilter {
public:
    TFolderFilter(TRootItem *root, const TFilterFieldRefList *userFilter);

    // The group field's value must be the lookup item with lookupItemID.
    void AddLevel(const TDataField *groupField, qint32 lookupItemID);

    bool IsActive() const override { return true; }
    bool Matches(const TDataItem *item) const override;

    const TFilterFieldRefList &PathConditions() const { return m_path; }

private:
    TFilterFieldRefList m_path;
    const TFilterFieldRefList *m_userFilter;
};
