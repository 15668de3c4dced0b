#pragma once

#include "core/data/datalists.h"
#include "core/data/dataobject.h"

#include <QString>

class TMP3Folder;
struct TShellEntry;

// A file or folder of the disk explorer, apart from the collection.  Its
// absolute path is its identity.
class TMp3FileItem : public TDataItem {
public:
    explicit TMp3FileItem(TDataObject *owner = nullptr);

    QString Name;                  // file name with extension; a folder's name
    QString Path;                  // absolute path
    TMP3Folder *Folder = nullptr;  // parent folder, not owned; none for a root

    QString GetDisplayName() const override;
    // "Filename" gives Name, "Filepath" Path; other fields are empty.
    QString GetValueAsString(const TDataField *field) const override;

    // Takes name and path from an entry of a folder listing.
    virtual void SetShellInfo(const TShellEntry &entry);
    // Switches the information sources on or off (files), or passes the
    // call on to every child (folders).
    virtual void SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename) = 0;

    virtual bool isFolder() const { return false; }
};

// An ordered list of file items; refers to them, owns none.
class TMp3FileItemList : public TDataRefList {
public:
    explicit TMp3FileItemList(TDataObject *owner = nullptr);

    TMp3FileItem *item(int index) const { return static_cast<TMp3FileItem *>(Get(index)); }

    // Folders before files in the direction of the first key; folders by
    // name ignoring case, files by the keys.
    void SortByFields(const TSortKeys &sortFields) override;
    // The order a file manager shows: folders first, natural order of names.
    void SortByShellOrder();
    int FileCount() const;
    int FolderCount() const;
    void SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename);
    // Makes every file writable; true when all of them could be changed.
    bool ClearReadOnlyAll();
};
