#include "core/files/mp3process.h"

#include "core/audio/mergedfields.h"
#include "core/base/clamp.h"
#include "core/base/localfiles.h"
#include "core/data/datalists.h"
#include "core/data/rootitem.h"
#include "core/files/filematchindex.h"
#include "core/files/foldersafety.h"
#include "core/files/mp3file.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3walk.h"
#include "core/files/parallelread.h"
#include "core/files/shellstuff.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/trackfields.h"
#include "core/settings/drives.h"


#include <QScopedValueRollback>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// ---- copying between files and tracks --------------------------------------

void copyStreamValues(TMp3Track &track, const TMP3File &file)
{
    const TMpegInfo &mpeg = file.MpegInfo;
    track.FilePath = file.Path;
    track.Size = clampToInt32(file.FileSize);
    track.FileModified = file.ModifiedTime;
    track.Length = mpeg.Length;
    track.MpegVersion = mpeg.Version;
    track.Layer = mpeg.Layer;
    track.Mode = mpeg.Mode;
    track.SampleRate = mpeg.SampleRate;
    track.Bitrate = mpeg.Bitrate;
    track.VBR = mpeg.VBR;
    track.CRCs = mpeg.CRCs;
    track.Copyrighted = mpeg.Copyrighted;
    track.Original = mpeg.Original;
    track.Emphasis = mpeg.Emphasis;
    track.Frames = clampToInt32(mpeg.Frames);
    track.HeaderPosition = clampToInt32(mpeg.HeaderPosition);
}

TMp3Track *asTrack(TDataItem *item)
{
    return dynamic_cast<TMp3Track *>(item);
}

TMP3File *asFile(TDataItem *item)
{
    return dynamic_cast<TMP3File *>(item);
}

} // namespace

// ---- copying -----------------------------------------------------------------

void CopyFileToTrack(TMp3Track &track, const TMP3File &file)
{
    auto *root = dynamic_cast<TMp3Root *>(track.GetRoot());
    for (const TTrackFieldRow &row : TrackFieldRows())
        TakeTrackField(track, row, file.GetMergedText(row.Field), file.GetMergedNumber(row.Field), root);
    copyStreamValues(track, file);
}

void CopyTagsOverTrack(TMp3Track &track, const TMP3File &file)
{
    // The tags alone, in their usual order: neither the track nor the file
    // name may speak for them.
    const TManualEntryInfo noEntry{};
    const TTrackInfo noTrack{};
    const TFilenameInfo noFilename{};
    const TInfoSourceSet tags(noEntry, noTrack, file.ID3v2, file.ID3v1, noFilename);
    auto *root = dynamic_cast<TMp3Root *>(track.GetRoot());
    for (const TTrackFieldRow &row : TrackFieldRows()) {
        const QString tagText = tags.GetMergedText(row.Field);
        const qint32 tagNumber = tags.GetMergedNumber(row.Field);
        const bool tagsHoldIt = row.Number ? tagNumber != 0 : !tagText.isEmpty();
        if (tagsHoldIt) {
            TakeTrackField(track, row, tagText, tagNumber, root);
            continue;
        }
        const bool trackHoldsIt = row.Number ? TrackFieldNumber(track, row) != 0
                                             : !TrackFieldOwnText(track, row).isEmpty();
        if (!trackHoldsIt)
            TakeTrackField(track, row, file.GetMergedText(row.Field), file.GetMergedNumber(row.Field), root);
    }
    copyStreamValues(track, file);
}

void CopyTrackToTags(const TMp3Track &track, TMP3File &file)
{
    const TTagValues values = TrackTagValues(track);
    if (file.ID3v1.Enabled)
        values.PutInto(file.ID3v1);
    if (file.ID3v2.Enabled)
        values.PutInto(file.ID3v2);
}

TFileMatchList MissingFileMatches(const TDataRefList &tracks, bool ignoreCD, bool ignoreNetwork)
{
    TFileMatchList matches;
    for (TDataItem *item : tracks) {
        TMp3Track *track = asTrack(item);
        if (!track)
            continue;
        if (track->Location) {
            if (ignoreCD && track->Location->DriveType == dkCDRom)
                continue;
            if (ignoreNetwork && track->Location->DriveType == dkNetwork)
                continue;
        }
        if (LocalPathExists(track->FilePath))
            continue;
        matches.append(TFileMatch(track));
    }
    return matches;
}

// ---- the process -----------------------------------------------------------

TMP3Process::~TMP3Process() = default;

TMp3Root *TMP3Process::collection() const
{
    return Collection ? Collection : dynamic_cast<TMp3Root *>(TRootItem::Current());
}

void TMP3Process::startRun(const QString &caption, const QString &message, int max)
{
    ShowWindow = true;
    Start();
    Max = max;
    Position = 0;
    SetCaption(caption);
    SetMessage(message);
}

void TMP3Process::finishRun()
{
    Finish();
    ShowWindow = false;
}

// ---- reading folders -------------------------------------------------------

TReadFolderResult TMP3Process::ReadFolder(TMP3Folder *folder, bool recursive, bool showWindow)
{
    if (Busy || !folder || (folder->IsRead && (!recursive || folder->IsReadRecursive)))
        return {};
    const QScopedValueRollback busy(Busy, true);
    SetCaption(QStringLiteral("Read File Information"));
    ShowWindow = showWindow;
    Start();
    m_reading = {};
    SetMessage(QStringLiteral("Counting files ..."));
    SetPosition(0);
    Max = 100;
    SetMessage(QStringLiteral("Reading Files in %1").arg(folder->Path));
    m_progressTimer.start();
    m_pendingSteps = 0;
    if (!IsCancelled()) {
        TFolderScan scan;
        try {
            // First the folders are listed, then their files read on the
            // worker threads; a file joins its folder once it is read.
            TVisitedFolders visited;
            readFolderItems(*folder, recursive, visited, scan);
            readPendingFiles(scan);
        } catch (...) {
            // Reading a folder never fails loudly: what was read stays.
        }
        if (scan.handed < scan.pending.size())
            markUnfinished(scan, *folder);
    }
    Finish();
    return m_reading;
}

int TMP3Process::readFolderItems(TMP3Folder &folder, bool recursive, TVisitedFolders &visited, TFolderScan &scan)
{
    SetMessage(QStringLiteral("%1 ...").arg(folder.Path));
    if (!folder.IsRead)
        return readNewFolderItems(folder, recursive, visited, scan);
    if (!recursive)
        return 0;
    // The folder's own files were read before; only its subfolders may
    // still need reading.
    visited.enter(folder.Path);
    int count = 0;
    for (int i = 0; i < folder.ChildCount() && !IsCancelled(); ++i)
        if (folder.Child(i)->isFolder())
            count += readSubfolder(*static_cast<TMP3Folder *>(folder.Child(i)), visited, scan);
    if (!IsCancelled())
        folder.IsReadRecursive = true;
    return count;
}

int TMP3Process::readNewFolderItems(TMP3Folder &folder, bool recursive, TVisitedFolders &visited, TFolderScan &scan)
{
    folder.ClearChildren();
    scan.listed.insert(&folder);
    int count = 0;
    std::vector<TFolderScan::Pending> files;
    // Pseudo file systems and folders met before (through a bind mount)
    // read as empty.
    std::optional<QList<TShellEntry>> listed;
    if (!IsPseudoFileSystemFolder(folder.Path) && visited.enter(folder.Path)) {
        listed = TShellStuff::ListFolder(folder.Path, false);
        const QList<TShellEntry> &entries = *listed;
        for (const TShellEntry &entry : entries) {
            if (IsCancelled())
                break;
            // Links are left out: a linked folder can lead back up the tree.
            if (entry.IsHidden || entry.IsLink) {
                stepThrottled();
            } else if (entry.IsFolder) {
                count += addSubfolder(folder, entry, recursive, visited, scan);
            } else if (HasMp3Extension(entry.Path)) {
                // The listing holds no FIFOs or devices; reading checks
                // once more that the file is a regular one.
                auto file = std::make_unique<TMP3File>(entry.Path);
                file->SetShellInfo(entry);
                files.push_back({&folder, std::move(file)});
            } else {
                stepThrottled();
            }
        }
    }
    // The files of a folder are read after those of its subfolders, as
    // they always have been.
    count += int(files.size());
    for (TFolderScan::Pending &file : files)
        scan.pending.push_back(std::move(file));
    if (listed)
        folder.HasSubfolders = std::any_of(listed->cbegin(), listed->cend(),
                                           [](const TShellEntry &entry) { return entry.IsFolder; });
    else
        folder.HasSubfolders = TShellStuff::HasSubfolders(folder.Path);
    const bool cancelled = IsCancelled();
    folder.IsReadRecursive = recursive && !cancelled;
    folder.IsRead = !cancelled;
    return count;
}

int TMP3Process::addSubfolder(TMP3Folder &folder, const TShellEntry &entry, bool recursive,
                              TVisitedFolders &visited, TFolderScan &scan)
{
    auto *subfolder = static_cast<TMP3Folder *>(folder.AddChild(std::make_unique<TMP3Folder>()));
    stepThrottled();
    if (!recursive) {
        subfolder->SetShellInfo(entry);
        return 0;
    }
    // Listing the subfolder tells whether it has subfolders of its own.
    subfolder->TMp3FileItem::SetShellInfo(entry);
    return readSubfolder(*subfolder, visited, scan);
}

int TMP3Process::readSubfolder(TMP3Folder &subfolder, TVisitedFolders &visited, TFolderScan &scan)
{
    const int count = readFolderItems(subfolder, true, visited, scan);
    // A subfolder without any MP3 file below it stays in the tree, empty,
    // and is read afresh when it is opened.
    if (count == 0)
        subfolder.ClearChildren();
    return count;
}

bool TMP3Process::readPendingFile(TMP3File &file) const
{
    if (KnownFiles && KnownFiles->isUnchanged(file.Path, file.FileSize, file.ModifiedTime)) {
        file.Unchanged = true;
        return true;
    }
    return file.ReadInfo(ParseFormats);
}

void TMP3Process::readPendingFiles(TFolderScan &scan)
{
    TParallelRead reading;
    reading.threads = std::max(Threads, 1);
    reading.read = [&](int i) { return readPendingFile(*scan.pending[size_t(i)].file); };
    reading.cancelled = [this] { return IsCancelled(); };
    reading.idle = [this] { reportProgress(); };
    reading.handOver = [&](int i, bool ok) {
        TFolderScan::Pending &p = scan.pending[size_t(i)];
        if (!ok)
            m_reading.FailedFiles.append(p.file->Path);
        if (p.file->Unchanged)
            ++m_reading.FilesUnchanged;
        auto *file = static_cast<TMP3File *>(p.folder->AddChild(std::move(p.file)));
        ++m_reading.FilesRead;
        if (OnFileRead)
            OnFileRead(*file);
        stepThrottled();
    };
    scan.handed = size_t(reading.run(int(scan.pending.size())));
    reportProgress();
}

void TMP3Process::markUnfinished(const TFolderScan &scan, TMP3Folder &top)
{
    // Files a cancel kept from being read never joined their folders.  The
    // folders listed in this run that miss files, and those above them,
    // are read afresh next time; folders read before keep their files.
    for (size_t i = scan.handed; i < scan.pending.size(); ++i) {
        for (TMP3Folder *folder = scan.pending[i].folder; folder; folder = folder->Folder) {
            folder->IsReadRecursive = false;
            if (scan.listed.contains(folder))
                folder->IsRead = false;
            if (folder == &top)
                break;
        }
    }
}

void TMP3Process::stepThrottled()
{
    ++m_pendingSteps;
    if (m_progressTimer.hasExpired(ProgressInterval))
        reportProgress();
}

void TMP3Process::reportProgress()
{
    m_progressTimer.restart();
    const int steps = std::exchange(m_pendingSteps, 0);
    SetPosition(Position + steps);
}

// ---- adding files ----------------------------------------------------------

TAddFilesResult TMP3Process::AddFiles(const TMp3FileItemList &files, TLocationLookupItem *location,
                                     TTrackRefreshFrom refresh)
{
    startRun(QStringLiteral("Add Files to Collection"), QStringLiteral("Adding ..."), files.Count());
    TAddFilesResult result;
    runOverFiles(files, [&](TMP3File &file) { return addFile(file, location, refresh, result); }, result);
    return result;
}

void TMP3Process::runOverFiles(const TMp3FileItemList &files, const std::function<bool(TMP3File &)> &work,
                               TFileRunResult &result)
{
    for (TDataItem *item : files) {
        if (IsCancelled())
            break;
        if (TMP3File *file = asFile(item); file && !work(*file))
            result.FailedFiles.append(file->Path);
        StepIt();
    }
    finishRun();
}

bool TMP3Process::addFile(TMP3File &file, TLocationLookupItem *location, TTrackRefreshFrom refresh,
                          TAddFilesResult &result)
{
    if (TMp3Track *linked = file.TrackInfo.LinkedTrack) {
        // Updating: the track keeps its Location and gets no defaults.
        if (refresh == TTrackRefreshFrom::TagsReplaceTrackValues)
            CopyTagsOverTrack(*linked, file);
        else
            CopyFileToTrack(*linked, file);
        ++result.Updated;
        return true;
    }
    TMp3Root *root = collection();
    if (!root)
        return false;
    auto *track = static_cast<TMp3Track *>(root->GetTracks()->CreateItem());
    root->GetTracks()->AssignNextIndex(track);
    root->IncrementNextIndex();
    file.ReparseFilename(ParseFormats);
    CopyFileToTrack(*track, file);
    track->Location = location;
    track->ApplyDefaults();
    ++result.Added;
    return true;
}

// ---- renaming and tagging --------------------------------------------------

namespace {

// A read-only file is made writable first when asked (the attribute is not
// set again afterwards), else left alone.
bool readyToChange(TMP3File &file, bool clearReadOnly)
{
    if (!file.IsReadOnly())
        return true;
    return clearReadOnly && file.SetReadOnly(false);
}

} // namespace

TFileRunResult TMP3Process::RenameFiles(const TMp3FileItemList &files, bool clearReadOnly)
{
    startRun(QStringLiteral("Rename Files"), QStringLiteral("Renaming ..."), files.Count());
    TFileRunResult result;
    runOverFiles(files, [clearReadOnly](TMP3File &file) {
        // Without a format the new name would be the bare extension.
        if (file.FilenameInfo.RenameFormat.trimmed().isEmpty() || !readyToChange(file, clearReadOnly))
            return false;
        // The file and a linked track take the new path only when the move
        // succeeded; a taken name is never replaced.
        return file.Rename(file.GetNewFileName(file.FilenameInfo.RenameFormat));
    }, result);
    return result;
}

TEditTagsResult TMP3Process::EditTags(const TMp3FileItemList &files, TTagAction v1Action, TTagAction v2Action,
                                      bool clearReadOnly)
{
    startRun(QStringLiteral("Edit ID3 Tags"), QStringLiteral("Editing..."), files.Count());
    TTagWriteRequest request;
    request.V1 = v1Action;
    request.V2 = v2Action;
    request.MergedValues = true;
    request.ReadOnly = clearReadOnly ? TReadOnlyFiles::MakeWritable : TReadOnlyFiles::Skip;
    request.Refresh = TTrackRefresh::FileValues;
    request.ParseFormats = ParseFormats;
    TEditTagsResult result;
    runOverFiles(files, [&](TMP3File &file) {
        request.Track = file.TrackInfo.LinkedTrack;
        const TTagWriteResult written = WriteFileTags(file, request);
        if (!written.V1LeftOut.isEmpty())
            result.V1LeftOut.append(file.Path + QStringLiteral(": ") + written.V1LeftOut.join(QStringLiteral(", ")));
        return written.Written();
    }, result);
    return result;
}

// ---- searching and matching ------------------------------------------------

void TMP3Process::SearchSystem(const QString &path, TFoundFileList &found)
{
    startRun(QStringLiteral("Search system for MP3 files"), QStringLiteral("Searching..."), 100);
    if (IsLocalFolder(path)) {
        TMp3FileWalk walk;
        walk.found = [&](const TLocalFolderEntry &file) { found.append({file.Path, file.Info.Size}); };
        // Keeps the Cancel button working; the bar stays where it is.
        walk.entering = [this](const QString &) { SetPosition(Position); };
        walk.cancelled = [this] { return IsCancelled(); };
        walk.run(TShellStuff::ParsingName(path));
    }
    finishRun();
}

void TMP3Process::MatchTracks(const TFoundFileList &found, TFileMatchList &matches, TMatchingType matchingType)
{
    MatchTracks(TFoundFileIndex(found), matches, matchingType, {});
}

void TMP3Process::MatchTracks(const TFoundFileIndex &index, TFileMatchList &matches, TMatchingType matchingType,
                              const std::vector<bool> &taken)
{
    startRun(QStringLiteral("Match tracks with MP3 files"), QStringLiteral("Matching..."), int(matches.size()));
    for (TFileMatch &match : matches) {
        if (IsCancelled())
            break;
        StepIt();
        index.Improve(match, matchingType, taken);
    }
    finishRun();
}

// ---- file objects for tracks -----------------------------------------------

void TMP3Process::FilesForTracks(const TDataRefList &tracks, std::vector<std::unique_ptr<TMP3File>> &files)
{
    ShowWindow = false;
    Start();
    Max = tracks.Count();
    Position = 0;
    for (int i = 0; i < tracks.Count(); ++i) {
        if (TMp3Track *track = asTrack(tracks.Get(i)); track && IsRegularFile(track->FilePath, true)) {
            auto file = std::make_unique<TMP3File>(track->FilePath);
            if (file->ReadInfo(ParseFormats)) {
                file->LinkTrack(track);
                files.push_back(std::move(file));
            }
        }
        SetPosition(i);
    }
    Finish();
}
