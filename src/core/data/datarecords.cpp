// Reading and writing of the model's records in the collection file.  The
// value reader and writer come with the collection file format; until then
// every record operation reports that the format is unavailable.

#include "data/dataexceptions.h"
#include "data/dataobject.h"
#include "data/datalists.h"
#include "data/fieldlists.h"
#include "data/lookupitems.h"
#include "data/lookuplists.h"
#include "data/rootitem.h"

namespace {

[[noreturn]] void formatUnavailable()
{
    throw EData(QStringLiteral("The collection file format is not available"));
}

} // namespace

void TDataObject::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TDataItem::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TDataItem::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TDataRefList::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TDataRefList::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TLookupItem::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TLookupItem::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TSortLookupItem::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TSortLookupItem::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TPersonLookupItem::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TPersonLookupItem::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TLookupItemRefList::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TLookupItemRefList::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TGlobalDataFieldList::ReadCustomNames(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TGlobalDataFieldList::WriteCustomNames(TDataWriter &)
{
    formatUnavailable();
}

void TRootItem::ReadFromStream(TDataReader &, qint32, qint32)
{
    formatUnavailable();
}

void TRootItem::WriteToStream(TDataWriter &)
{
    formatUnavailable();
}

void TRootItem::ReadCollection(TDataReader &, bool &)
{
    formatUnavailable();
}

bool TRootItem::LoadFromFile(const QString &)
{
    Clear();
    return false;
}

bool TRootItem::SaveToFile(const QString &)
{
    return false;
}
