#include "core/files/mp3fileitem.h"

#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/files/mp3file.h"
#include "core/files/shellstuff.h"
#include "core/mp3model/mp3fieldids.h"

#include <algorithm>
#include <numeric>
#include <vector>

TMp3FileItem::TMp3FileItem(TDataObject *owner)
    : TDataItem(owner)
{
}

QString TMp3FileItem::GetDisplayName() const
{
    return ReadablePath(Name);
}

QString TMp3FileItem::GetValueAsString(const TDataField *field) const
{
    switch (field ? field->ID : 0) {
    // As text: a byte of the name that is not UTF-8 shows as U+FFFD.
    case Mp3FieldIds::Filename: return ReadablePath(Name);
    case Mp3FieldIds::Filepath: return ReadablePath(Path);
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

} // namespace

void TMp3FileItemList::SortByFields(const TSortKeys &sortFields)
{
    const int direction = sortFields.isEmpty() ? 1 : sortFields.first().Order;
    const QList<TDataItem *> &list = items();
    // Folders are ordered by name alone; the keys are taken for files only.
    TSortKeys fileKeys;
    if (std::any_of(list.cbegin(), list.cend(), [](const TDataItem *i) { return !fileItem(i)->isFolder(); }))
        fileKeys = sortFields;
    const TSortKeyTable keys(fileKeys, list);
    std::vector<int> order(size_t(list.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        const TMp3FileItem *a = fileItem(list.at(x));
        const TMp3FileItem *b = fileItem(list.at(y));
        int result = 0;
        if (a->isFolder() != b->isFolder())
            result = a->isFolder() ? -direction : direction;
        else if (a->isFolder())
            result = direction * a->Name.compare(b->Name, Qt::CaseInsensitive);
        else if ((result = keys.compare(x, y)) == 0)
            // Files have no identity in a collection; the path keeps ties
            // in a fixed order.
            result = a->Path.compare(b->Path);
        return result < 0;
    });
    reorder(order);
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
