#pragma once

#include <QString>

// The collection the main window works on, as start-up and shutdown see it.
// The collection root implements it; tests use small fakes.
class TCurrentCollection {
public:
    virtual ~TCurrentCollection() = default;
    // Full path of the collection file; empty for a collection never saved.
    virtual QString FileName() const = 0;
    // The file name without folder, or "[New Collection]".
    virtual QString GetDisplayName() const = 0;
    // Reports its own errors; on failure an empty new collection remains.
    virtual bool LoadFromFile(const QString &fileName) = 0;
    // Reports its own errors; true when the file was written completely.
    virtual bool SaveToFile(const QString &fileName) = 0;
    virtual bool IsModified() const = 0;
    // Whether another program has written the file since it was opened or
    // saved here.
    virtual bool FileChangedOnDisk() const { return false; }
};
