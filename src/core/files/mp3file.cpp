#include "core/files/mp3file.h"

#include "core/audio/id3v2span.h"
#include "core/audio/trackvaluetext.h"
#include "core/base/clamp.h"
#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/longpath.h"
#include "core/data/datafield.h"
#include "core/files/renamenoreplace.h"
#include "core/files/shellstuff.h"
#include "core/files/tagwrite.h"
#include "core/files/sparsefiledevice.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/trackfields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

namespace Ids = Mp3FieldIds;

// The image-list indexes of a file: normal and read-only.
constexpr int FileImage = 13;
constexpr int FileReadOnlyImage = 15;
constexpr int FileSelectedImage = 14;
constexpr int FileReadOnlySelectedImage = 16;
constexpr int FileLargeImage = 4;
constexpr int FileReadOnlyLargeImage = 5;

bool statPath(const QString &path, struct stat &st)
{
    return StatLocalPath(LocalPathBytes(path), st, true) == 0;
}

// What a new name for a file in `folder` may be: a plain name, or a path
// in that very folder.  Empty when it would leave the folder or is no name.
QString nameWithinFolder(const QString &newName, const QString &folder)
{
    QString name = newName;
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo target(newName);
        if (!target.isAbsolute() || LocalParentFolder(newName) != folder)
            return QString();
        name = target.fileName();
    }
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QChar(0)) || name.contains(QLatin1Char('/')))
        return QString();
    return name;
}

} // namespace

TMP3File::TMP3File(const QString &path, TDataObject *owner)
    : TMp3FileItem(owner)
{
    Path = path;
    Name = QFileInfo(path).fileName();
}

int TMP3File::GetImageIndex() const
{
    return ReadOnlyAtRead ? FileReadOnlyImage : FileImage;
}

int TMP3File::GetSelectedImageIndex() const
{
    return ReadOnlyAtRead ? FileReadOnlySelectedImage : FileSelectedImage;
}

int TMP3File::GetLargeImageIndex() const
{
    return ReadOnlyAtRead ? FileReadOnlyLargeImage : FileLargeImage;
}

QString TMP3File::GetValueAsString(const TDataField *field) const
{
    if (!field)
        return QString();
    if (const std::optional<TMergedField> merged = MergedFieldOfFileListField(field->ID))
        return GetMergedText(*merged);
    const TMpegInfo &m = MpegInfo;
    switch (field->ID) {
    case Ids::Size: return FormatSizeKB(FileSize);
    case Ids::Length: return FormatLength(m.Length);
    case Ids::MpegVersion: return MpegVersionNames[std::min<size_t>(m.Version, 3)];
    case Ids::MpegLayer: return QString::number(m.Layer);
    case Ids::Mode: return ModeNames[std::min<size_t>(m.Mode, 3)];
    case Ids::Bitrate: return FormatBitrate(m.Bitrate, m.VBR);
    case Ids::VBR: return FormatYesNo(m.VBR);
    case Ids::CRCs: return FormatYesNo(m.CRCs);
    case Ids::Copyrighted: return FormatYesNo(m.Copyrighted);
    case Ids::Original: return FormatYesNo(m.Original);
    case Ids::SampleRate: return FormatSampleRate(m.SampleRate);
    case Ids::Emphasis: return EmphasisNames[std::min<size_t>(m.Emphasis, 3)];
    case Ids::Frames: return QString::number(m.Frames);
    case Ids::HeaderPosition: return QString::number(m.HeaderPosition);
    case Ids::FilenameFormat:
        return FilenameInfo.Locked ? QStringLiteral("[%1]").arg(FilenameInfo.ParseFormat)
                                   : FilenameInfo.ParseFormat;
    case Ids::NewFilename: return GetNewFileName(FilenameInfo.RenameFormat);
    default: return TMp3FileItem::GetValueAsString(field);
    }
}

qint32 TMP3File::GetValueAsInteger(const TDataField *field) const
{
    if (!field)
        return 0;
    const TMpegInfo &m = MpegInfo;
    switch (field->ID) {
    case Ids::TrackIndex: return GetMergedNumber(TMergedField::TrackIndex);
    case Ids::BPM: return GetMergedNumber(TMergedField::BPM);
    case Ids::Size: return clampToInt32(FileSize);
    case Ids::Length: return m.Length;
    case Ids::MpegVersion: return m.Version;
    case Ids::MpegLayer: return m.Layer;
    case Ids::Mode: return m.Mode;
    case Ids::Bitrate: return m.Bitrate;
    case Ids::SampleRate: return m.SampleRate;
    case Ids::Frames: return clampToInt32(m.Frames);
    case Ids::HeaderPosition: return clampToInt32(m.HeaderPosition);
    default: return 0;
    }
}

void TMP3File::SetInfoSources(bool manual, bool collection, bool id3v2, bool id3v1, bool filename)
{
    ManualEntryInfo.Enabled = manual;
    TrackInfo.Enabled = collection;
    ID3v2.Enabled = id3v2;
    ID3v1.Enabled = id3v1;
    FilenameInfo.Enabled = filename;
}

bool TMP3File::ReadInfo(const QStringList &parseFormats)
{
    // One open file for everything: the ID3v2 tag without its pictures, the
    // first frames of the stream and the last 128 bytes, never the whole
    // file.
    TSparseFileDevice file;
    if (!file.openFile(Path))
        return false;
    FileSize = file.size();
    ModifiedTime = file.modifiedTime();
    const QByteArray head = file.read(10);

    ID3v2.readFromDevice(file);
    // The end of the file in one read: the ID3v1 tag, and the last frames
    // of the stream that tell whether a stream without frame count has a
    // variable bitrate.
    constexpr qint64 TailSize = 4096;
    const qint64 tailStart = std::max<qint64>(FileSize - TailSize, 0);
    const QByteArray tail =
        FileSize > TID3v1Tag::Size && file.seek(tailStart) ? file.read(FileSize - tailStart) : QByteArray();
    ID3v1.readBytes(tail.size() >= TID3v1Tag::Size ? QByteArrayView(tail).last(TID3v1Tag::Size) : QByteArrayView());

    // The ID3v2 span counts the 10-byte header (and a v2.4 footer) beside
    // the body that TagSize gives.  A tag that claims to run past the end
    // cannot be measured; the stream search steps over it on its own.
    qint64 v2Span = ID3v2.Exists ? std::max<qint64>(id3v2TagSpan(head), ID3v2.TagSize + 10) : 0;
    if (v2Span > FileSize)
        v2Span = 0;
    AudioSize = std::max<qint64>(FileSize - ID3v1.TagSize - v2Span, 0);
    if (!file.seek(0))
        return false;
    MpegInfo.readFromDevice(file, AudioSize);

    ReadOnlyAtRead = !file.ownerMayWrite();
    FilenameInfo.ParseBestFormat(Path, parseFormats);
    return !file.readFailed();
}

bool TMP3File::WriteTags()
{
    const TBusyCursor busy;
    TTagWriteRequest request;
    request.V2 = ID3v2.Enabled ? TTagAction::Set : TTagAction::Remove;
    request.V1 = ID3v1.Enabled ? TTagAction::Set : TTagAction::Remove;
    return WriteFileTags(*this, request).Written();
}

bool TMP3File::Rename(const QString &newName)
{
    if (IsReadOnly())
        return false;
    const QString folder = folderPath();
    const QString name = nameWithinFolder(newName, folder);
    if (name.isEmpty())
        return false;
    const QString newPath = folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
    if (!RenameNoReplace(Path, newPath))
        return false;
    Path = newPath;
    Name = name;
    TrackInfo.SetFilePath(Path);
    return true;
}

bool TMP3File::IsReadOnly() const
{
    struct stat st;
    return statPath(Path, st) && (st.st_mode & S_IWUSR) == 0;
}

bool TMP3File::SetReadOnly(bool readOnly)
{
    struct stat st;
    if (!statPath(Path, st))
        return false;
    const mode_t mode = readOnly ? (st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR);
    return ::chmod(LocalPathBytes(Path).constData(), mode & 07777) == 0;
}

QString TMP3File::GetNewFileName(const QString &renameFormat) const
{
    const TInfoSourceSet merged = Sources();
    return BuildFileName(renameFormat, merged.GetMergedText(TMergedField::Album),
                         merged.GetMergedText(TMergedField::Artist), merged.GetMergedText(TMergedField::Title),
                         merged.GetMergedNumber(TMergedField::TrackIndex),
                         merged.GetMergedText(TMergedField::Year), merged.GetMergedText(TMergedField::Genre));
}

int TMP3File::CheckRename(const QString &renameFormat) const
{
    if (IsReadOnly())
        return RenameStatus::ReadOnly;
    const QString folder = folderPath();
    const QString newName = GetNewFileName(renameFormat);
    const QString newPath = folder == QLatin1String("/") ? folder + newName : folder + QLatin1Char('/') + newName;
    // A name that differs only in case may be the file itself (on file
    // systems that ignore case): only another file blocks the rename.
    if (newPath != Path && PathIsTaken(newPath) && !IsSameFile(newPath, Path))
        return RenameStatus::TargetExists;

    const TInfoSourceSet merged = Sources();
    const struct {
        QLatin1String code;
        TMergedField field;
    } needed[] = {
        {QLatin1String("%al"), TMergedField::Album}, {QLatin1String("%t"), TMergedField::Title},
        {QLatin1String("%ar"), TMergedField::Artist}, {QLatin1String("%ix"), TMergedField::TrackIndex},
        {QLatin1String("%g"), TMergedField::Genre},   {QLatin1String("%y"), TMergedField::Year},
    };
    for (const auto &n : needed) {
        if (!renameFormat.contains(n.code, Qt::CaseSensitive))
            continue;
        const bool missing = IsMergedNumberField(n.field) ? merged.GetMergedNumber(n.field) == 0
                                                          : merged.GetMergedText(n.field).isEmpty();
        if (missing)
            return RenameStatus::MissingValues;
    }
    return RenameStatus::Ok;
}

QString TMP3File::ArtistTitleText() const
{
    const QString artist = GetMergedText(TMergedField::Artist);
    const QString title = GetMergedText(TMergedField::Title);
    if (artist.isEmpty())
        return title;
    if (title.isEmpty())
        return artist;
    return QStringLiteral("%1 - %2").arg(artist, title);
}

void TMP3File::ReparseFilename(const QStringList &parseFormats)
{
    FilenameInfo.ParseBestFormat(Path, parseFormats);
}

TInfoSourceSet TMP3File::Sources() const
{
    return TInfoSourceSet(ManualEntryInfo, TrackInfo, ID3v2, ID3v1, FilenameInfo);
}

QString TMP3File::folderPath() const
{
    return LocalParentFolder(Path);
}
