#pragma once

#include "core/data/datafieldref.h"
#include "core/data/datalists.h"

#include <QString>

class TSettingsStore;

class TSortField : public TDataFieldRef {
public:
    explicit TSortField(const TDataField *field = nullptr, qint32 order = 1, TDataObject *owner = nullptr);

    // 1 ascending, -1 descending.
    qint32 Order = 1;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

class TColumnField : public TDataFieldRef {
public:
    explicit TColumnField(const TDataField *field = nullptr, qint32 width = 0, TDataObject *owner = nullptr);

    // Column width in pixels.
    qint32 Width = 0;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

class TGroupField : public TDataFieldRef {
public:
    explicit TGroupField(const TDataField *field = nullptr, TDataObject *owner = nullptr);

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

// Column, sort and group field lists keep, under section S, "Count" in S
// and entry i in the sub-section S\i: "Field" (the field ID) and the
// reference's own value ("Width", "Order").  Entries beyond Count are left
// behind when a list shrinks and ignored when it is read; entries whose
// field the catalogue lacks are skipped.
class TSortFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TSortField *Get(int index) const { return static_cast<TSortField *>(TDataRefList::Get(index)); }
    // The references as the keys the item lists sort by.
    TSortKeys sortKeys() const;

    void LoadFromSettings(const TSettingsStore &store, const QString &section) override;
    void SaveToSettings(TSettingsStore &store, const QString &section) const override;
};

class TColumnFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TColumnField *Get(int index) const { return static_cast<TColumnField *>(TDataRefList::Get(index)); }
    // A list stored without entries receives the default columns of its
    // list kind.
    void LoadFromSettings(const TSettingsStore &store, const QString &section) override;
    void SaveToSettings(TSettingsStore &store, const QString &section) const override;
    // Appends a column for every default column field of the list kind that
    // the catalogue holds, with the field's default width.
    void addDefaultColumns();
};

class TGroupFieldRefList : public TDataFieldRefList {
public:
    using TDataFieldRefList::TDataFieldRefList;

    TGroupField *Get(int index) const { return static_cast<TGroupField *>(TDataRefList::Get(index)); }
    // Appends a clone of every reference of other, in order (the list is not
    // emptied first).
    void Assign(const TGroupFieldRefList &other);

    void LoadFromSettings(const TSettingsStore &store, const QString &section) override;
    void SaveToSettings(TSettingsStore &store, const QString &section) const override;
};

// Stored "Count" values above this are taken as damage, not as entries.
constexpr qint32 MaxStoredFieldRefs = 1000;
