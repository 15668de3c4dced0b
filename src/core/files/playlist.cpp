#include "core/files/playlist.h"

#include "core/base/desktopservices.h"
#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/playlistformats.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3track.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// ---- TPlayListEntry ---------------------------------------------------------

TPlayListEntry::TPlayListEntry(TDataObject *owner)
    : TDataItem(owner)
{
}

int TPlayListEntry::Position() const
{
    const auto *list = dynamic_cast<const TPlayList *>(Owner);
    return list ? list->IndexOf(this) + 1 : 0;
}

QString TPlayListEntry::GetDisplayName() const
{
    return QStringLiteral("%1: %2").arg(Position()).arg(Title);
}

void TPlayListEntry::Clear()
{
    TDataItem::Clear();
    FileName.clear();
    Title.clear();
    Length = 0;
}

std::unique_ptr<TDataItem> TPlayListEntry::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TPlayListEntry>(owner);
}

std::unique_ptr<TDataItem> TPlayListEntry::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TPlayListEntry>(owner);
    copyItemTo(*clone, keepID);
    clone->FileName = FileName;
    clone->Title = Title;
    clone->Length = Length;
    return clone;
}

QString TPlayListEntry::GetValueAsString(const TDataField *field) const
{
    if (!field)
        return QString();
    switch (field->ID) {
    case Mp3FieldIds::Filename:
        return ReadablePath(QFileInfo(FileName).fileName());
    case Mp3FieldIds::Length:
        return QStringLiteral("%1:%2").arg(Length / 60, 2, 10, QLatin1Char('0')).arg(Length % 60, 2, 10, QLatin1Char('0'));
    case Mp3FieldIds::PlaylistIndex:
        return QString::number(Position());
    case Mp3FieldIds::PlaylistTitle:
        return Title;
    case Mp3FieldIds::Filepath:
        return ReadablePath(FileName);
    default:
        return QString();
    }
}

qint32 TPlayListEntry::GetValueAsInteger(const TDataField *field) const
{
    if (field && field->ID == Mp3FieldIds::Length)
        return Length;
    if (field && field->ID == Mp3FieldIds::PlaylistIndex)
        return Position();
    return TDataItem::GetValueAsInteger(field);
}

// ---- TPlayList ----------------------------------------------------------------

TPlayList::TPlayList(TDataObject *owner)
    : TDataList(owner)
{
}

void TPlayList::Clear()
{
    FreeAll();
    FileName.clear();
    Modified = false;
}

TPlayListEntry *TPlayList::NewEntry()
{
    return Add(std::make_unique<TPlayListEntry>(this));
}

TPlayListEntry *TPlayList::AddEntry(const QString &fileName, const QString &title, qint32 length)
{
    TPlayListEntry *entry = NewEntry();
    entry->FileName = fileName;
    entry->Title = title;
    entry->Length = length;
    Modified = true;
    return entry;
}

TPlayListEntry *TPlayList::AddFile(TMP3File &file)
{
    const bool wasEnabled = file.FilenameInfo.Enabled;
    file.FilenameInfo.Enabled = true;
    const QString title = file.ArtistTitleText();
    file.FilenameInfo.Enabled = wasEnabled;
    return AddEntry(file.Path, title, file.MpegInfo.Length);
}

void TPlayList::AddFolder(const TMP3Folder &folder, bool recursive)
{
    for (int i = 0; i < folder.ChildCount(); ++i) {
        TMp3FileItem *child = folder.Child(i);
        if (auto *subfolder = dynamic_cast<TMP3Folder *>(child)) {
            if (recursive)
                AddFolder(*subfolder, true);
        } else if (auto *file = dynamic_cast<TMP3File *>(child)) {
            AddFile(*file);
        }
    }
}

void TPlayList::AddItems(const TDataRefList &items, bool recursive)
{
    for (TDataItem *item : items) {
        if (auto *folder = dynamic_cast<TMP3Folder *>(item)) {
            if (recursive)
                AddFolder(*folder, true);
        } else if (auto *file = dynamic_cast<TMP3File *>(item)) {
            AddFile(*file);
        }
    }
}

TPlayListEntry *TPlayList::AddTrack(const TMp3Track &track)
{
    return AddEntry(track.FilePath, GetArtistTitle(track), track.Length);
}

void TPlayList::AddTracks(const TDataRefList &tracks)
{
    for (TDataItem *item : tracks)
        if (const auto *track = dynamic_cast<const TMp3Track *>(item))
            AddTrack(*track);
}

TPlayListEntry *TPlayList::AddEntryCopy(const TPlayListEntry &entry)
{
    return AddEntry(entry.FileName, entry.Title, entry.Length);
}

void TPlayList::AddEntries(const TDataRefList &entries)
{
    for (TDataItem *item : entries)
        if (const auto *entry = dynamic_cast<const TPlayListEntry *>(item))
            AddEntryCopy(*entry);
}

bool TPlayList::MoveDown(int index)
{
    if (index < 0 || index >= Count() - 1)
        return false;
    Exchange(index, index + 1);
    Modified = true;
    return true;
}

bool TPlayList::MoveUp(int index)
{
    if (index <= 0 || index >= Count())
        return false;
    Exchange(index, index - 1);
    Modified = true;
    return true;
}

int TPlayList::Remove(TDataItem *item)
{
    const int position = TDataList::Remove(item);
    if (position >= 0)
        Modified = true;
    return position;
}

qint64 TPlayList::TotalLength() const
{
    qint64 total = 0;
    for (int i = 0; i < Count(); ++i)
        total += Get(i)->Length;
    return total;
}

bool TPlayList::fail(const QString &message)
{
    m_lastError = message;
    return false;
}

bool TPlayList::LoadFromFile(const QString &path)
{
    Clear();
    m_lastError.clear();
    const TPlayListFormat format = playListFormatOf(path);
    if (format == TPlayListFormat::Unknown)
        return fail(QStringLiteral("\"%1\" is not an M3U or PLS playlist.").arg(path));
    TPlayListRecords records;
    QString error;
    const bool ok = format == TPlayListFormat::M3U ? readM3uFile(path, records, error)
                                                   : readPlsFile(path, records, error);
    if (!ok)
        return fail(error);
    for (const TPlayListRecord &record : records) {
        TPlayListEntry *entry = NewEntry();
        entry->FileName = record.FileName;
        entry->Title = record.Title;
        entry->Length = record.Length;
    }
    FileName = path;
    Modified = false;
    return true;
}

bool TPlayList::SaveToFile(const QString &path)
{
    m_lastError.clear();
    const TPlayListFormat format = playListFormatOf(path);
    if (format == TPlayListFormat::Unknown)
        return fail(QStringLiteral("\"%1\" is not an M3U or PLS playlist.").arg(path));
    TPlayListRecords records;
    records.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        records.append({Get(i)->FileName, Get(i)->Title, Get(i)->Length});
    QString error;
    const bool ok = format == TPlayListFormat::M3U ? writeM3uFile(path, records, error)
                                                   : writePlsFile(path, records, error);
    if (!ok)
        return fail(error);
    FileName = path;
    Modified = false;
    return true;
}

QString TPlayList::DefaultPlayFileName(int playlistType)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Brimlow/Tunebase/[Playlist].")
           + (playlistType == 1 ? QStringLiteral("pls") : QStringLiteral("m3u"));
}

bool TPlayList::Play(int playlistType)
{
    const bool neverSaved = FileName.isEmpty();
    QString path = FileName;
    if (neverSaved) {
        path = DefaultPlayFileName(playlistType);
        QDir().mkpath(QFileInfo(path).absolutePath());
        // The play file's name is the program's own, in a folder of the
        // user's: a link planted there must not carry the write elsewhere.
        if (LocalFileInfo(path).IsSymLink)
            return fail(LinkInPlaceOfOwnFile(path));
    }
    const bool wasModified = Modified;
    if (!SaveToFile(path))
        return false;
    RunProgram(FileName);
    if (neverSaved) {
        // The play file is not the user's playlist: it stays unsaved.
        FileName.clear();
        Modified = wasModified;
    }
    return true;
}
