#include "core/files/addfiles.h"

#include "core/base/localfiles.h"
#include "core/files/foldersafety.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/files/scanindex.h"
#include "core/files/shellstuff.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/drives.h"

#include <QSet>

// ---- the scan index ----------------------------------------------------------

TScanIndexUse::TScanIndexUse(TMP3Process &process, TMp3Root &root, const QString &collectionPath)
    : m_process(process), m_root(root), m_collectionPath(collectionPath)
{
    if (root.GetTracks()->Count() > 0)
        LoadScanIndex(root, collectionPath);
    m_known = FileStatesOfTracks(root);
    m_process.KnownFiles = &m_known;
}

TScanIndexUse::~TScanIndexUse()
{
    if (m_process.KnownFiles == &m_known)
        m_process.KnownFiles = nullptr;
}

bool TScanIndexUse::Save(QString *problem) const
{
    return SaveScanIndex(m_root, m_collectionPath, problem);
}

// ---- reading -----------------------------------------------------------------

namespace {

void takeFile(TAddPathsRead &result, TMP3File *file, const QSet<QString> &unreadable, QSet<QString> &seen)
{
    if (seen.contains(file->Path))
        return;
    seen.insert(file->Path);
    if (unreadable.contains(file->Path))
        result.Unreadable.append(file->Path);
    else
        result.Files.append(file);
}

void readFolderPath(const QString &path, TMP3Process &process, const std::function<void(bool)> &onFolder,
                    TAddPathsRead &result, QSet<QString> &seen)
{
    auto folder = std::make_unique<TMP3Folder>();
    folder->SetPath(path);
    if (onFolder)
        onFolder(true);
    const TReadFolderResult read = process.ReadFolder(folder.get(), true, true);
    if (onFolder)
        onFolder(false);
    const QSet<QString> unreadable(read.FailedFiles.cbegin(), read.FailedFiles.cend());
    TMp3FileItemList found;
    folder->CollectFiles(found, true);
    for (TDataItem *item : found)
        takeFile(result, static_cast<TMP3File *>(item), unreadable, seen);
    result.Folders.push_back(std::move(folder));
}

void readFilePath(const QString &path, TMP3Process &process, TAddPathsRead &result, QSet<QString> &seen)
{
    auto file = std::make_unique<TMP3File>(TShellStuff::ParsingName(path));
    const bool read = IsRegularFile(file->Path, true) && file->ReadInfo(process.ParseFormats);
    takeFile(result, file.get(), read ? QSet<QString>() : QSet<QString>{file->Path}, seen);
    result.SingleFiles.push_back(std::move(file));
}

} // namespace

TAddPathsRead ReadAddPaths(const QStringList &paths, TMP3Process &process, const std::function<void(bool)> &onFolder)
{
    TAddPathsRead result;
    QSet<QString> seen;
    for (const QString &path : paths) {
        if (IsLocalFolder(path))
            readFolderPath(path, process, onFolder, result, seen);
        else
            readFilePath(path, process, result, seen);
    }
    return result;
}

// ---- planning ----------------------------------------------------------------

TAddFate AddFateOf(const TMP3File &file, const TMp3Track *track, bool update)
{
    if (!track)
        return TAddFate::New;
    if (!update)
        return TAddFate::AlreadyThere;
    // Its track holds what the file holds: there is nothing to refresh.
    return file.Unchanged ? TAddFate::Unchanged : TAddFate::Refresh;
}

void TAddPlan::Take(TMP3File &file, TMp3Track *track, bool update)
{
    switch (AddFateOf(file, track, update)) {
    case TAddFate::AlreadyThere:
        ++AlreadyThere;
        return;
    case TAddFate::Unchanged:
        ++Unchanged;
        return;
    case TAddFate::Refresh:
        file.LinkTrack(track);
        break;
    case TAddFate::New:
        break;
    }
    Files.Add(&file);
}

void PlanAdd(const QList<TMP3File *> &files, TMp3Root &root, bool update, TAddPlan &plan)
{
    TFilePathList inCollection;
    root.GetFilePathList(inCollection);
    for (TMP3File *file : files) {
        file->SetInfoSources(false, true, true, true, true);
        plan.Take(*file, inCollection.find(file->Path), update);
    }
}

// ---- the location ------------------------------------------------------------

TLocationSuggestion SuggestLocation(const TMp3Root &root, const QString &firstPath, const TMountTable &mounts)
{
    TLocationSuggestion suggestion;
    suggestion.Name = GetVolumeName(firstPath, mounts);
    if (!suggestion.Name.isEmpty())
        suggestion.Known = root.Locations->FindByDriveLabel(suggestion.Name);
    return suggestion;
}

TLocationLookupItem *ChooseLocation(TMp3Root &root, const QString &name, const QString &firstPath,
                                    const TMountTable &mounts)
{
    if (name.isEmpty())
        return nullptr;
    auto *location = static_cast<TLocationLookupItem *>(root.Locations->FindOrAdd(name));
    if (location && !firstPath.isEmpty() && (location->DriveLabel.isEmpty() || location->DriveType == 0))
        location->SetFromPath(firstPath, mounts);
    return location;
}

TLocationLookupItem *LocationForNewTracks(TMp3Root &root, const QString &name, const QList<TMP3File *> &files,
                                          const TMountTable &mounts)
{
    if (files.isEmpty())
        return nullptr;
    const QString firstPath = files.first()->Path;
    if (!name.isEmpty())
        return ChooseLocation(root, name, firstPath, mounts);
    const TLocationSuggestion suggestion = SuggestLocation(root, firstPath, mounts);
    return suggestion.Known ? suggestion.Known : ChooseLocation(root, suggestion.Name, firstPath, mounts);
}
