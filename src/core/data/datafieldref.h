#pragma once

#include "core/data/datalists.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class TDataField;
class TGlobalDataFieldList;
class TRootItem;
class TSettingsStore;

// A reference to a field of the catalogue, as a view uses it: a column, a
// sort key, a grouping level, a filter condition.  The field is not owned; a
// reference without a field is empty.  Descendants add what their use needs.
class TDataFieldRef : public TDataItem {
public:
    explicit TDataFieldRef(const TDataField *field = nullptr, TDataObject *owner = nullptr);

    const TDataField *Field = nullptr;

    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    // Copies Field (and what descendants add) into a new reference.
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
};

// An owning list of field references for one list kind, stored in the
// settings store under a section the caller names.  Its owner is the root
// whose catalogue the references name.
class TDataFieldRefList : public TDataList {
public:
    explicit TDataFieldRefList(quint8 listKind, TRootItem *root = nullptr);

    quint8 ListKind = 0;

    // References are made by the list's user, not by the list.
    TDataItem *CreateItem() override { return nullptr; }

    // Appends to the list (which is expected to be empty; it is not emptied).
    virtual void LoadFromSettings(const TSettingsStore &store, const QString &section);
    virtual void SaveToSettings(TSettingsStore &store, const QString &section) const;

    TDataFieldRef *Get(int index) const { return static_cast<TDataFieldRef *>(TDataRefList::Get(index)); }
    // The position of the first reference to field; -1 when there is none or
    // field is null.
    int IndexOfField(const TDataField *field) const;

    // The catalogue of the owning root, or nullptr without one.
    const TGlobalDataFieldList *catalogue() const;
    // The section of entry i of a list stored under section: "S\i".
    static QString entrySection(const QString &section, int index);
    // The positions below count that names hold as prefix followed by a
    // decimal number ("LookupValue3"; with an empty prefix the sub-section
    // names "0", "1" ...), ascending and each once.  Reading only the stored
    // entries keeps a damaged "Count" from making millions of them.
    static QList<int> storedPositions(const QStringList &names, const QString &prefix, int count);
};
