#pragma once

#include "core/data/datalists.h"
#include "core/data/dataobject.h"

#include <QString>

class TMP3File;
class TMP3Folder;
class TMp3Track;

// One file of a playlist, with the title and the playing time shown for it.
class TPlayListEntry : public TDataItem {
public:
    explicit TPlayListEntry(TDataObject *owner = nullptr);

    // The file to play: a full path when the program built the entry, as read
    // from the playlist file otherwise.
    QString FileName;
    QString Title;
    qint32 Length = 0;  // seconds

    // Index in the owning playlist plus one; 0 outside a playlist.
    int Position() const;

    // "%d: %s" with the position and the title.
    QString GetDisplayName() const override;
    int GetImageIndex() const override { return 7; }
    int GetSelectedImageIndex() const override { return 8; }

    void Clear() override;
    std::unique_ptr<TDataItem> CreateNew(TDataObject *owner) const override;
    std::unique_ptr<TDataItem> Clone(TDataObject *owner, bool keepID) const override;
    QString GetValueAsString(const TDataField *field) const override;
    qint32 GetValueAsInteger(const TDataField *field) const override;
};

// An ordered list of files to play, read from and written to M3U and PLS
// files.  Every change made through its operations sets Modified; loading,
// saving and Clear reset it.  Failures are returned, never thrown: the
// reason is in LastError().
class TPlayList : public TDataList {
public:
    explicit TPlayList(TDataObject *owner = nullptr);

    // The file last loaded or saved; empty when never saved.
    QString FileName;
    bool Modified = false;

    int GetImageIndex() const override { return 25; }
    int GetSelectedImageIndex() const override { return 26; }

    TPlayListEntry *Get(int index) const { return static_cast<TPlayListEntry *>(TDataRefList::Get(index)); }

    // Frees all entries and forgets the file name.
    void Clear();
    // An empty entry appended without setting Modified (for the readers).
    TPlayListEntry *NewEntry();
    TDataItem *CreateItem() override { return NewEntry(); }

    // The file's path and playing time, and its merged "Artist - Title"
    // (with the values of its path taken into account).
    TPlayListEntry *AddFile(TMP3File &file);
    // The files among the folder's children that have been read, in order;
    // with recursive those of its subfolders at their place too.
    void AddFolder(const TMP3Folder &folder, bool recursive);
    // Files, and with recursive folders, of a list of file items.
    void AddItems(const TDataRefList &items, bool recursive);
    // Title "Artist - Title", or the one of them that is set.
    TPlayListEntry *AddTrack(const TMp3Track &track);
    void AddTracks(const TDataRefList &tracks);
    TPlayListEntry *AddEntryCopy(const TPlayListEntry &entry);
    void AddEntries(const TDataRefList &entries);
    // Appends an entry from its parts (what every Add... comes down to).
    TPlayListEntry *AddEntry(const QString &fileName, const QString &title, qint32 length);

    bool MoveDown(int index);
    bool MoveUp(int index);
    // Takes the entry out of the list (the caller then owns it, see
    // takeItem); sets Modified when it was in the list.
    int Remove(TDataItem *item) override;

    // Sum of the entries' lengths in seconds.
    qint64 TotalLength() const;

    // The format follows the extension: ".m3u" or ".m3u8" for M3U, ".pls"
    // for PLS.  Loading empties the playlist first, whatever happens next.
    bool LoadFromFile(const QString &path);
    // Writes the file atomically; on failure nothing of the old file is
    // lost and Modified stays as it was.
    bool SaveToFile(const QString &path);
    // Why the last load or save failed; empty after a success.
    QString lastError() const { return m_lastError; }

    // Where a playlist that was never saved is written to be played:
    // "[Playlist].m3u" (playlistType 0) or "[Playlist].pls" (1) in the
    // program's data folder.
    static QString DefaultPlayFileName(int playlistType);
    // Saves (to FileName, or to the default play file, which is then not
    // taken as the playlist's own file) and opens the file with the
    // desktop's player.  False when the playlist could not be written.
    bool Play(int playlistType);

private:
    bool fail(const QString &message);

    QString m_lastError;
};
