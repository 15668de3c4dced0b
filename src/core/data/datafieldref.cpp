#include "core/data/datafieldref.h"

#include "core/data/fieldlists.h"
#include "core/data/rootitem.h"

#include <algorithm>

// ---- TDataFieldRef --------------------------------------------------------

TDataFieldRef::TDataFieldRef(const TDataField *field, TDataObject *owner)
    : TDataItem(owner)
    , Field(field)
{
}

std::unique_ptr<TDataItem> TDataFieldRef::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TDataFieldRef>(nullptr, owner);
}

std::unique_ptr<TDataItem> TDataFieldRef::Clone(TDataObject *owner, bool keepID) const
{
    std::unique_ptr<TDataItem> clone = TDataItem::Clone(owner, keepID);
    static_cast<TDataFieldRef &>(*clone).Field = Field;
    return clone;
}

// ---- TDataFieldRefList ----------------------------------------------------

TDataFieldRefList::TDataFieldRefList(quint8 listKind, TRootItem *root)
    : TDataList(root ? root : TRootItem::Current())
    , ListKind(listKind)
{
}

void TDataFieldRefList::LoadFromSettings(const TSettingsStore & /*store*/, const QString & /*section*/)
{
}

void TDataFieldRefList::SaveToSettings(TSettingsStore & /*store*/, const QString & /*section*/) const
{
}

int TDataFieldRefList::IndexOfField(const TDataField *field) const
{
    if (!field)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (Get(i)->Field == field)
            return i;
    }
    return -1;
}

const TGlobalDataFieldList *TDataFieldRefList::catalogue() const
{
    const TRootItem *root = GetRoot();
    return root ? root->Fields.get() : nullptr;
}

QString TDataFieldRefList::entrySection(const QString &section, int index)
{
    return section + QLatin1Char('\\') + QString::number(index);
}

QList<int> TDataFieldRefList::storedPositions(const QStringList &names, const QString &prefix, int count)
{
    QList<int> positions;
    for (const QString &name : names) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QStringView digits = QStringView(name).mid(prefix.size());
        bool ok = false;
        const int position = digits.toInt(&ok);
        // Only the spelling the list writes ("7", not "07" or "+7").
        if (ok && position >= 0 && position < count && digits == QString::number(position))
            positions << position;
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}
