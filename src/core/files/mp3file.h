#pragma once

#include "core/audio/filenameinfo.h"
#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/audio/infosources.h"
#include "core/mp3model/trackinfo.h"
#include "core/audio/mpeginfo.h"
#include "core/files/mp3fileitem.h"

#include <QStringList>

class TMp3Track;

// What CheckRename finds before a file is renamed.
namespace RenameStatus {
constexpr int Ok = 0;
constexpr int ReadOnly = 1;
constexpr int MissingValues = 2;  // the format names a field without value
constexpr int TargetExists = 3;
} // namespace RenameStatus

// One MP3 file on disk with everything known about it: its stream, both
// tags, the values in its path and the two further information sources.
// Reading never touches shared state, so files may be read on several
// threads at once (each file object by one thread).
class TMP3File : public TMp3FileItem {
public:
    explicit TMP3File(const QString &path, TDataObject *owner = nullptr);

    TMpegInfo MpegInfo;
    TManualEntryInfo ManualEntryInfo;
    TID3v2Tag ID3v2;
    TID3v1Tag ID3v1;
    TFilenameInfo FilenameInfo;
    TTrackInfo TrackInfo;
    qint64 FileSize = 0;
    qint64 AudioSize = 0;         // FileSize without both tags, never below 0
    qint64 ModifiedTime = 0;      // ms since the epoch when read; 0 = not read
    bool ReadOnlyAtRead = false;
    // A rescan found the file as the collection knows it (same size and
    // modification time) and did not read it: only FileSize and
    // ModifiedTime are set.
    bool Unchanged = false;

    int GetImageIndex() const override;
    int GetSelectedImageIndex() const override;
    int GetLargeImageIndex() const override;
    QString GetValueAsString(const TDataField *field) const override;
    qint32 GetValueAsInteger(const TDataField *field) const override;
    void SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename) override;

    // Reads stream, tags and path values (by the best of the parse formats).
    // False when the file is gone or cannot be read; a file that is gone
    // leaves everything as it was.  Opens the file once and reads only what
    // the information needs.
    bool ReadInfo(const QStringList &parseFormats);
    // Writes (or removes, when switched off) the ID3v2 tag, then the ID3v1
    // tag; stops at the first failure.
    bool WriteTags();
    // Gives the file a new name in its folder.  Accepts a plain name or a
    // path in the same folder; never moves the file elsewhere and never
    // replaces another file.  A linked track follows the new path.
    bool Rename(const QString &newName);
    // Read-only means the owner may not write (whoever runs the program).
    bool IsReadOnly() const;
    // Clears all write bits, or gives the owner write access again.
    bool SetReadOnly(bool readOnly);
    QString GetNewFileName(const QString &renameFormat) const;
    // One of RenameStatus.
    int CheckRename(const QString &renameFormat) const;
    // "Artist - Title", or whichever of the two is not empty.
    QString ArtistTitleText() const;
    void ReparseFilename(const QStringList &parseFormats);
    void LinkTrack(TMp3Track *track) { TrackInfo.LinkedTrack = track; }

    TInfoSourceSet Sources() const;
    QString GetMergedText(TMergedField field) const { return Sources().GetMergedText(field); }
    qint32 GetMergedNumber(TMergedField field) const { return Sources().GetMergedNumber(field); }

    void CopyV1ToV2() { ::CopyV1ToV2(ID3v1, ID3v2); }
    void CopyV2ToV1() { ::CopyV2ToV1(ID3v2, ID3v1); }
    void FilenameToV1() { ::FilenameToV1(FilenameInfo, ID3v1); }
    void FilenameToV2() { ::FilenameToV2(FilenameInfo, ID3v2); }

private:
    QString folderPath() const;
};
