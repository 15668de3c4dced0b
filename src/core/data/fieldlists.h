#pragma once

#include "core/data/datafield.h"
#include "core/data/datalists.h"

#include <QList>
#include <QStringList>

#include <array>

class TSettingsStore;

// An owning list of field descriptors.
class TDataFieldList : public TDataList {
public:
    explicit TDataFieldList(TDataObject *owner = nullptr);

    // Fields are only made by the catalogue.
    TDataItem *CreateItem() override { return nullptr; }

    TDataField *Get(int index) const { return static_cast<TDataField *>(TDataRefList::Get(index)); }
    // The first field with that ID; nullptr when absent or for -1.
    TDataField *FindByID(qint32 id) const;
};

// The field catalogue of a collection type: every field any view can name,
// the user's custom names, the field categories, and per list kind the
// default columns and the folder-grouping presets.
class TGlobalDataFieldList : public TDataFieldList {
public:
    // The common fields are created here.  A concrete catalogue passes
    // createFields false and calls its own CreateFields (which calls this
    // one's first) in its constructor.
    explicit TGlobalDataFieldList(TDataObject *owner = nullptr, bool createFields = true);

    QStringList Categories;
    // Per list kind, the field IDs of the columns a new column list receives.
    std::array<QList<qint32>, ListKind::Count> DefaultColumns;
    // Per list kind, the grouping presets, each a list of field IDs.
    std::array<QList<QList<qint32>>, ListKind::Count> GroupPresets;

    virtual void CreateFields();
    virtual void ReadCustomNames(TDataReader &reader, qint32 fileVersion, qint32 dataVersion);
    virtual void WriteCustomNames(TDataWriter &writer);

    // Custom names live in the store's "FieldNames\" section under the
    // fields' default names.
    void LoadFieldNames(const TSettingsStore &store);
    void SaveFieldNames(TSettingsStore &store) const;

protected:
    // Adds a category and returns its position.
    qint32 addCategory(const QString &name);
};
