#pragma once

#include "data/datalists.h"
#include "data/rootitem.h"

#include <QString>

class TDataField;
class TGlobalDataFieldList;
class TSettingsStore;

// A reference to a field of the catalogue, with what one use of it needs: a
// width for a column, a direction for a sort key.  The field is not owned; it
// lives as long as the catalogue, that is as long as the root.
class TDataFieldRef : public TDataItem {
public:
    explicit TDataFieldRef(TDataField *field = nullptr, TDataObject *owner = nullptr);

    TDataField *Field = nullptr;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;

protected:
    void copyRefTo(TDataFieldRef &clone, bool keepID) const;
};

class TSortField : public TDataFieldRef {
public:
    explicit TSortField(TDataField *field = nullptr, qint32 order = 1, TDataObject *owner = nullptr);

    // 1 ascending, -1 descending.
    qint32 Order = 1;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

class TColumnField : public TDataFieldRef {
public:
    explicit TColumnField(TDataField *field = nullptr, qint32 width = 0, TDataObject *owner = nullptr);

    // Column width in pixels.
    qint32 Width = 0;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

class TGroupField : public TDataFieldRef {
public:
    explicit TGroupField(TDataField *field = nullptr, TDataObject *owner = nullptr);

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

// An owning list of field references for one list kind.  Its fields come
// from the catalogue of the root it belongs to (by default the current one).
//
// In the settings store a list under section S keeps "Count" in S and entry
// i in the sub-section S\i ("Field", the field ID, plus the values of the
// reference's own kind).  Entries beyond Count are left behind when a list
// shrinks and ignored when it is read.
class TDataFieldRefList : public TDataList {
public:
    explicit TDataFieldRefList(quint8 listKind, TRootItem *root = TRootItem::Current());

    quint8 ListKind = 0;

    // References are added by their users, never made by the list.
    TDataItem *CreateItem() override { return nullptr; }

    // Appends the stored entries (the list is expected to be empty).
    virtual void LoadFromSettings(const TSettingsStore &store, const QString &section);
    virtual void SaveToSettings(TSettingsStore &store, const QString &section) const;

    TDataFieldRef *Get(int index) const { return static_cast<TDataFieldRef *>(TDataRefList::Get(index)); }
    // The position of the first reference to field; -1 when none or for a
    // null field.
    int IndexOfField(const TDataField *field) const;

    // The catalogue of the list's root; nullptr without a root.
    TGlobalDataFieldList *Catalogue() const;

    // Stored "Count" values above this are taken as damage, not as entries.
    static constexpr qint32 MaxStoredEntries = 1000;

protected:
    // The section of entry i under section.
    static QString entrySection(const QString &section, int i);
    // Reads the entries 0 .. Count-1 and appends a reference made by
    // loadEntry for each whose field the catalogue holds.
    void loadEntries(const TSettingsStore &store, const QString &section, qint32 count);
    // The reference for a stored entry; the list kind's own values are read
    // from entry.  The base class makes a plain reference.
    virtual TDataFieldRef *loadEntry(TDataField *field, const TSettingsStore &store,
                                     const QString &entry);
    // Writes what the reference adds beyond "Field".
    virtual void saveEntry(const TDataFieldRef &reference, TSettingsStore &store,
                           const QString &entry) const;
    qint32 readCount(const TSettingsStore &store, const QString &section) const;
};

class TSortFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TSortField *Get(int index) const { return static_cast<TSortField *>(TDataRefList::Get(index)); }
    // The references as the keys the item lists sort by.
    TSortKeys SortKeys() const;

protected:
    TDataFieldRef *loadEntry(TDataField *field, const TSettingsStore &store,
                             const QString &entry) override;
    void saveEntry(const TDataFieldRef &reference, TSettingsStore &store,
                   const QString &entry) const override;
};

class TColumnFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TColumnField *Get(int index) const { return static_cast<TColumnField *>(TDataRefList::Get(index)); }
    // A list stored without entries receives the default columns of its
    // list kind.
    void LoadFromSettings(const TSettingsStore &store, const QString &section) override;
    // Appends a column for every default column field of the list kind that
    // the catalogue holds, with the field's default width.
    void AddDefaultColumns();

protected:
    TDataFieldRef *loadEntry(TDataField *field, const TSettingsStore &store,
                             const QString &entry) override;
    void saveEntry(const TDataFieldRef &reference, TSettingsStore &store,
                   const QString &entry) const override;
};

class TGroupFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TGroupField *Get(int index) const { return static_cast<TGroupField *>(TDataRefList::Get(index)); }
    // Appends a clone of every reference of other, in order (the list is not
    // emptied first).
    void Assign(const TGroupFieldRefList &other);

protected:
    TDataFieldRef *loadEntry(TDataField *field, const TSettingsStore &store,
                             const QString &entry) override;
};
