#include "core/files/mp3fileitem.h"

#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/files/mp3file.h"
#include "core/files/shellstuff.h"

TMp3FileItem::TMp3FileItem(TDataObject *owner)
    : TDataItem(owner)
{
}

QString TMp3FileItem::GetDisplayName() const
{
    return Name;
}

QString TMp3FileItem::GetValueAsString(const TDataField *field) const
{
    switch (field ? field->ID : 0) {
    case Mp3FieldIds::Filename: return Name;
    case Mp3FieldIds::Filepath: return Path;
    default: return QString();
    }
}

void TMp3FileItem::SetShellInfo(const TShellEntry &entry)
{
    Name = entry.Name;
    Path = entry.Path;
}

TMp3FileItemList::TMp3FileItemList(TDataObject *owner)
    : TDataRefList(owner)
{
}

namespace {

const TMp3FileItem *fileItem(const TDataItem *item)
{
    return static_cast<const TMp3FileItem *>(item);
}

int compareByKeys(const TSortKeys &keys, const TDataItem *a, const TDataItem *b)
{
    for (const TSortKey &key : keys) {
        if (!key.Field)
            continue;
        if (const int result = key.Field->Compare(a, b) * key.Order)
            return result;
    }
    // Files have no identity in a collection; the path keeps ties in a
    // fixed order.
    return fileItem(a)->Path.compare(fileItem(b)->Path);
}

} // namespace

void TMp3FileItemList::SortByFields(const TSortKeys &sortFields)
{
    const int direction = sortFields.isEmpty() ? 1 : sortFields.first().Order;
    sortWith([&sortFields, direction](const TDataItem *a, const TDataItem *b) {
        const bool folderA = fileItem(a)->isFolder();
        const bool folderB = fileItem(b)->isFolder();
        int result = 0;
        if (folderA != folderB)
            result = folderA ? -direction : direction;
        else if (folderA)
            result = direction * fileItem(a)->Name.compare(fileItem(b)->Name, Qt::CaseInsensitive);
        else
            result = compareByKeys(sortFields, a, b);
        return result < 0;
    });
}

void TMp3FileItemList::SortByShellOrder()
{
    sortWith([](const TDataItem *a, const TDataItem *b) {
        TShellEntry ea;
        ea.Name = fileItem(a)->Name;
        ea.IsFolder = fileItem(a)->isFolder();
        TShellEntry eb;
        eb.Name = fileItem(b)->Name;
        eb.IsFolder = fileItem(b)->isFolder();
        return TShellStuff::CompareShellOrder(ea, eb) < 0;
    });
}

int TMp3FileItemList::FileCount() const
{
    return int(std::count_if(begin(), end(), [](const TDataItem *i) { return !fileItem(i)->isFolder(); }));
}

int TMp3FileItemList::FolderCount() const
{
    return Count() - FileCount();
}

void TMp3FileItemList::SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename)
{
    for (TDataItem *i : *this)
        static_cast<TMp3FileItem *>(i)->SetInfoSources(manual, collection, id3v2, id3v1, filename);
}

bool TMp3FileItemList::ClearReadOnlyAll()
{
    bool all = true;
    for (TDataItem *i : *this) {
        if (auto *file = dynamic_cast<TMP3File *>(i))
            all = file->SetReadOnly(false) && all;
    }
    return all;
}
