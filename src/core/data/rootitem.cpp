#include "core/data/rootitem.h"

#include "core/data/datalists.h"
#include "core/data/datasettings.h"
#include "core/data/fielddefaults.h"
#include "core/data/fieldlists.h"
#include "core/data/itemfilter.h"
#include "core/data/lookuplists.h"

#include <QFileInfo>

#include <limits>

namespace {
TRootItem *currentRoot = nullptr;
} // namespace

TRootItem::TRootItem()
    : TDataObject(nullptr)
{
}

TRootItem::~TRootItem()
{
    if (currentRoot == this)
        currentRoot = nullptr;
    // Items before the catalogue they are read through, then the defaults.
    Items.reset();
    Fields.reset();
    Defaults.reset();
}

TRootItem *TRootItem::Current()
{
    return currentRoot;
}

void TRootItem::SetCurrent(TRootItem *root)
{
    currentRoot = root;
}

TRootItem *TRootItem::GetRoot() const
{
    return const_cast<TRootItem *>(this);
}

QString TRootItem::GetDisplayName() const
{
    if (FileName.isEmpty())
        return QStringLiteral("[New Collection]");
    return QFileInfo(FileName).fileName();
}

void TRootItem::AddChildNodes(TDataTree & /*tree*/, TTreeNode * /*node*/)
{
}

QString TRootItem::GetFileFilter() const
{
    return QStringLiteral("Collections (*.") + GetFileExtension() + QLatin1Char(')');
}

QString TRootItem::GetCollectionName() const
{
    return QStringLiteral("Object Collection");
}

QString TRootItem::GetTypeName() const
{
    return QStringLiteral("Object");
}

qint32 TRootItem::GetDataVersion() const
{
    return 100;
}

QString TRootItem::GetFileExtension() const
{
    return QStringLiteral("col");
}

void TRootItem::Clear()
{
    FileName.clear();
    NextID = 0;
    NextIndex = 1;
    if (Items)
        Items->FreeAll();
}

void TRootItem::ReadExtraData(TDataReader & /*reader*/, qint32 /*fileVersion*/, qint32 /*dataVersion*/)
{
}

void TRootItem::WriteExtraData(TDataWriter & /*writer*/)
{
}

void TRootItem::ImportItems(TRootItem &otherRoot)
{
    if (!Items || !otherRoot.Items)
        return;
    int i = 0;
    while (i < otherRoot.Items->Count()) {
        TDataItem *item = otherRoot.Items->Get(i);
        if (Items->ContainsSameItem(item))
            ++i;
        else
            TakeOverItem(otherRoot, item);
    }
}

void TRootItem::TakeOverItem(TRootItem &otherRoot, TDataItem *item)
{
    Items->Add(otherRoot.Items->takeItem(item));
    item->Owner = Items.get();
    // The item's identifier came from the other root's counter and may clash
    // with one of ours: give it a fresh one.
    item->ID = -1;
    item->GetID();
}

qint32 TRootItem::GetNewID()
{
    return NextID++;
}

void TRootItem::UpdateNextID(qint32 id)
{
    if (NextID < id)
        NextID = id;
}

void TRootItem::IncrementNextIndex()
{
    // A damaged file can leave the counter at the top of its range.
    if (TDataSettings::Current().AutoIncrementIndex && NextIndex < std::numeric_limits<qint32>::max())
        ++NextIndex;
}

void TRootItem::Renumber()
{
    if (!Items)
        return;
    const int count = Items->Count();
    for (int i = 0; i < count; ++i)
        Items->Get(i)->Index = i + 1;
    NextIndex = count + 1;
}

void TRootItem::CountUsage(const TDataField *field, const TItemFilter *filter, qint32 &noValueCount,
                           bool inherit)
{
    noValueCount = 0;
    if (TLookupList *lookups = GetLookupList(field)) {
        for (int i = 0; i < lookups->Count(); ++i)
            lookups->Get(i)->UseCount = 0;
    }
    if (!Items)
        return;
    const bool filtered = filter && filter->IsActive();
    for (TDataItem *item : *Items) {
        if (!filtered || filter->Matches(item))
            item->CountLookupUsage(field, noValueCount, inherit);
    }
}
