#pragma once

#include "core/data/fielddefaults.h"
#include "core/data/fieldlists.h"

#include <QString>

// The field catalogue of an MP3 collection: every field a list, column
// chooser, sort, filter, export or report can name, with the default columns
// of each list kind and the folder-grouping presets.
class TMp3GlobalDataFieldList : public TGlobalDataFieldList {
public:
    explicit TMp3GlobalDataFieldList(TDataObject *owner = nullptr);

    void CreateFields() override;

private:
    void setDefaultColumns();
    void setGroupPresets();
};

// The values that tracks made by hand or from files receive when they have
// none: names of entries of the year, genre and location lists.  Kept in the
// "Defaults" section of the settings store.
class TMP3Defaults : public TFieldDefaults {
public:
    QString DefaultYear;
    QString DefaultGenre;
    QString DefaultLocation;

    void Load(const TSettingsStore &store) override;
    void Save(TSettingsStore &store) const override;
};
