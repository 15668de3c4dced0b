#pragma once

#include "settings/currentcollection.h"

#include <memory>

class TMp3Root;
class TSettingsStore;

// The MP3 collection root as the main window's current collection.  While it
// lives it is the program's current collection; its field defaults come
// from the settings store and go back there when it is freed.
class TRootCollection : public TCurrentCollection {
public:
    explicit TRootCollection(TSettingsStore &store);
    ~TRootCollection() override;

    QString FileName() const override;
    QString GetDisplayName() const override;
    bool LoadFromFile(const QString &fileName) override;
    bool SaveToFile(const QString &fileName) override;
    bool IsModified() const override { return false; } // every command saves at once

    TMp3Root &Root() const { return *m_root; }

private:
    TSettingsStore &m_store;
    std::unique_ptr<TMp3Root> m_root;
};
