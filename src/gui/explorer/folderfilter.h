#pragma once

#include "core/data/itemfilter.h"

#include <QList>

class TDataField;
class TFilterFieldRefList;
class TLookupItem;

// The items of one folder of the tree: those whose value in each grouping
// field of the folder's path is the folder's lookup value (none for the
// "[None]" folder: no value), and that pass the user's filter as the user
// composed it (all or any of its conditions, with its own case setting).
class TFolderFilter : public TItemFilter {
public:
    explicit TFolderFilter(const TFilterFieldRefList *userFilter);

    // The group field's value must be value; nullptr: the field has none.
    void AddLevel(const TDataField *groupField, const TLookupItem *value);

    bool IsActive() const override { return true; }
    bool Matches(const TDataItem *item) const override;

private:
    struct TLevel {
        const TDataField *Field;
        const TLookupItem *Value;
    };
    QList<TLevel> m_levels;
    const TFilterFieldRefList *m_userFilter;
};
