#pragma once

#include "core/settings/currentcollection.h"

#include <functional>
#include <memory>

class TRootItem;
class TSettingsStore;

// The collection root as the main window's current collection.  While a
// root is current it is the program's current collection; its field
// defaults come from the settings store and go back there when it is freed.
//
// Opening a file reads it into a root of its own, and only when that
// succeeds does the new root take the place of the current one: a file that
// cannot be read never costs the user the collection they had, saved or
// not.
class TRootCollection : public TCurrentCollection {
public:
    using TFactory = std::function<std::unique_ptr<TRootItem>()>;

    // Without a factory the roots are MP3 roots.
    explicit TRootCollection(TSettingsStore &store, TFactory factory = {});
    ~TRootCollection() override;

    QString FileName() const override;
    QString GetDisplayName() const override;
    // Reports its own errors; on failure the current collection stays.
    bool LoadFromFile(const QString &fileName) override;
    bool SaveToFile(const QString &fileName) override;
    // Every command saves at once; only a collection never saved that
    // holds items has changes that are nowhere else.
    bool IsModified() const override;
    TOwnFileSaveResult SaveOverOwnFile(const std::optional<TFileStamp> &accepted) override;

    TRootItem *Root() const { return m_root.get(); }
    // Stores the current root's field defaults in the settings.
    void SaveDefaults();

    // Runs after a file was read and before the current root is freed: who
    // shows or refers to the current root lets go of it and takes up the
    // new one.
    std::function<void(TRootItem &incoming)> BeforeReplace;

private:
    std::unique_ptr<TRootItem> makeRoot() const;

    TSettingsStore &m_store;
    TFactory m_factory;
    std::unique_ptr<TRootItem> m_root;
};
