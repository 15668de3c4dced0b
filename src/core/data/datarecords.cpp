// The records of the generic model in the collection file: item headers,
// lists, lookup items, lookup reference lists and the custom field names.

#include "core/data/collectionformat.h"
#include "core/data/dataexceptions.h"
#include "core/data/dataobject.h"
#include "core/data/datalists.h"
#include "core/data/datastream.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"

#include <QVarLengthArray>

using namespace CollectionFormat;

void readItemHeader(TDataItem &item, TDataReader &reader, bool withIndex)
{
    item.ID = reader.ReadInteger();
    if (item.ID > MaxStoredID)
        throw EDataRead(QStringLiteral("Read Error"));
    if (withIndex)
        item.Index = reader.ReadInteger();
    // Whatever the file says about the counter, it must stay above every
    // identifier in use, or new items would share an identifier.
    if (TRootItem *root = item.GetRoot())
        root->UpdateNextID(item.ID + 1);
}

void writeItemHeader(const TDataItem &item, TDataWriter &writer)
{
    writer.WriteInteger(item.GetID());
    writer.WriteInteger(item.Index);
}

quint8 readEnumByte(TDataReader &reader)
{
    const qint32 value = reader.ReadInteger();
    return value >= 0 && value <= 255 ? quint8(value) : quint8(255);
}

namespace {

bool lookupHeaderHasIndex(qint32 fileVersion)
{
    return fileVersion >= LookupIndexVersion;
}

// Files of data version 300 below format 120 store a lookup name as two
// plain strings: the name in sort form and the display name.
bool hasPlainNamePair(qint32 fileVersion, qint32 dataVersion)
{
    return fileVersion < CurrentFormatVersion && dataVersion == PlainNamesDataVersion;
}

void readPlainNames(TLookupItem &item, TDataReader &reader)
{
    const QString name = reader.ReadString();
    const QString displayName = reader.ReadString();
    item.SetNames(name, displayName);
}

} // namespace

// ---- objects and items ----------------------------------------------------

void TDataObject::WriteToStream(TDataWriter & /*writer*/)
{
}

void TDataItem::ReadFromStream(TDataReader &reader, qint32 /*fileVersion*/, qint32 /*dataVersion*/)
{
    readItemHeader(*this, reader, true);
}

void TDataItem::WriteToStream(TDataWriter &writer)
{
    writeItemHeader(*this, writer);
}

// ---- lists ----------------------------------------------------------------

void TDataRefList::ReadFromStream(TDataReader & /*reader*/, qint32, qint32)
{
    // A reference list cannot make the items it would refer to.
    throw EData(QStringLiteral("This list cannot be read from a file"));
}

void TDataRefList::WriteToStream(TDataWriter &writer)
{
    writer.WriteListBegin();
    for (TDataItem *item : *this)
        item->WriteToStream(writer);
    writer.WriteListEnd();
}

void TDataList::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TDataItem *item = CreateItem();
        if (!item)
            throw EData(QStringLiteral("This list cannot be read from a file"));
        try {
            item->ReadFromStream(reader, fileVersion, dataVersion);
        } catch (...) {
            FreeItem(item);
            throw;
        }
    }
    reader.ReadListEnd();
}

// ---- lookup items ---------------------------------------------------------

void TLookupItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    readItemHeader(*this, reader, lookupHeaderHasIndex(fileVersion));
    if (fileVersion >= CurrentFormatVersion) {
        DisplayName = reader.ReadScrambledString();
    } else if (hasPlainNamePair(fileVersion, dataVersion)) {
        readPlainNames(*this, reader);
    } else {
        DisplayName = reader.ReadScrambledString();
        for (int i = 0; i < 3; ++i)
            reader.ReadScrambledString();
    }
}

void TLookupItem::WriteToStream(TDataWriter &writer)
{
    writeItemHeader(*this, writer);
    writer.WriteScrambledString(DisplayName);
}

void TSortLookupItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    readItemHeader(*this, reader, lookupHeaderHasIndex(fileVersion));
    if (fileVersion >= CurrentFormatVersion) {
        DisplayName = reader.ReadScrambledString();
        LastName = reader.ReadScrambledString();
        The = reader.ReadScrambledString();
    } else if (hasPlainNamePair(fileVersion, dataVersion)) {
        readPlainNames(*this, reader);
    } else if (fileVersion <= OldNamesLastVersion) {
        DisplayName = reader.ReadScrambledString();
        const QString secondName = reader.ReadScrambledString();
        LastName = reader.ReadScrambledString();
        The = reader.ReadScrambledString();
        if (LastName.isEmpty())
            LastName = secondName;
    }
    // Formats 111 to 119 store no names for these items.
}

void TSortLookupItem::WriteToStream(TDataWriter &writer)
{
    TLookupItem::WriteToStream(writer);
    writer.WriteScrambledString(LastName);
    writer.WriteScrambledString(The);
}

void TPersonLookupItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    if (fileVersion <= OldNamesLastVersion && !hasPlainNamePair(fileVersion, dataVersion)) {
        readItemHeader(*this, reader, lookupHeaderHasIndex(fileVersion));
        DisplayName = reader.ReadScrambledString();
        FirstName = reader.ReadScrambledString();
        LastName = reader.ReadScrambledString();
        The = reader.ReadScrambledString();
        return;
    }
    TSortLookupItem::ReadFromStream(reader, fileVersion, dataVersion);
    if (fileVersion >= CurrentFormatVersion)
        FirstName = reader.ReadScrambledString();
}

void TPersonLookupItem::WriteToStream(TDataWriter &writer)
{
    TSortLookupItem::WriteToStream(writer);
    writer.WriteScrambledString(FirstName);
}

// ---- lookup reference lists -----------------------------------------------

void TLookupItemRefList::ReadFromStream(TDataReader &reader, qint32 /*fileVersion*/, qint32 /*dataVersion*/)
{
    Clear();
    const TLookupList *lookups = nullptr;
    if (TRootItem *root = GetRoot(); root && root->Fields)
        lookups = root->GetLookupList(root->Fields->FindByID(FieldID));
    // Collected first, so the list takes its memory once at its final size.
    QVarLengthArray<TLookupItem *, 16> items;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        // Identifiers the list does not hold are dropped.
        if (TLookupItem *item = reader.FindLookup(lookups, reader.ReadInteger()))
            items.append(item);
    }
    reader.ReadListEnd();
    SetCapacity(int(items.size()));
    for (TLookupItem *item : items)
        Add(item);
}

void TLookupItemRefList::WriteToStream(TDataWriter &writer)
{
    writer.WriteListBegin();
    for (TDataItem *item : *this)
        writer.WriteInteger(item->GetID());
    writer.WriteListEnd();
}

// ---- custom field names ---------------------------------------------------

void TGlobalDataFieldList::ReadCustomNames(TDataReader &reader, qint32 /*fileVersion*/, qint32 /*dataVersion*/)
{
    for (int i = 0; i < Count(); ++i)
        Get(i)->CustomName.clear();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        const qint32 id = reader.ReadInteger();
        const QString name = reader.ReadScrambledString();
        // A name for a field this catalogue lacks (a newer program's field)
        // is ignored.
        if (TDataField *field = FindByID(id))
            field->CustomName = name;
    }
    reader.ReadListEnd();
}

void TGlobalDataFieldList::WriteCustomNames(TDataWriter &writer)
{
    writer.WriteListBegin();
    for (int i = 0; i < Count(); ++i) {
        const TDataField *field = Get(i);
        if (field->CustomName.isEmpty())
            continue;
        writer.WriteInteger(field->ID);
        writer.WriteScrambledString(field->CustomName);
    }
    writer.WriteListEnd();
}
