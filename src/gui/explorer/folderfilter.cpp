#include "gui/explorer/folderfilter.h"

#include "core/data/dataobject.h"
#include "core/data/filterfieldlist.h"

TFolderFilter::TFolderFilter(const TFilterFieldRefList *userFilter)
    : m_userFilter(userFilter)
{
}

void TFolderFilter::AddLevel(const TDataField *groupField, const TLookupItem *value)
{
    m_levels.append({groupField, value});
}

bool TFolderFilter::Matches(const TDataItem *item) const
{
    for (const TLevel &level : m_levels) {
        if (!level.Field || !item->HasLookupItem(level.Field, level.Value))
            return false;
    }
    return !m_userFilter || !m_userFilter->IsActive() || m_userFilter->Matches(item);
}
