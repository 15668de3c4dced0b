#include "explorer/folderfilter.h"

#include "data/datafield.h"
#include "data/filterfields.h"

TFolderFilter::TFolderFilter(TRootItem *root, const TFilterFieldRefList *userFilter)
    : m_path(ListKind::MainItems, root), m_userFilter(userFilter)
{
    m_path.Combination = TFilterFieldRefList::CombinationAnd;
    m_path.CaseSensitive = false;
    m_path.Enabled = true;
}

void TFolderFilter::AddLevel(const TDataField *groupField, qint32 lookupItemID)
{
    m_path.addCondition(std::make_unique<TLookupFilterField>(groupField, lookupItemID));
}

bool TFolderFilter::Matches(const TDataItem *item) const
{
    if (!m_path.Matches(item))
        return false;
    return !m_userFilter || !m_userFilter->IsActive() || m_userFilter->Matches(item);
}
