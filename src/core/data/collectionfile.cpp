#include "core/data/collectionfile.h"

#include "core/base/desktopservices.h"
#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/regularfile.h"
#include "core/base/writeall.h"
#include "core/data/collectionformat.h"
#include "core/data/collectionlock.h"
#include "core/data/dataexceptions.h"
#include "core/data/datalists.h"
#include "core/data/datastream.h"
#include "core/data/fieldlists.h"
#include "core/data/rootitem.h"

#include <QFile>

#include <limits>

using namespace CollectionFormat;

namespace {

const QString programName = QStringLiteral("Tunebase");

QString notACollectionMessage()
{
    return QStringLiteral("This is not a Brimlow database");
}

QString wrongTypeMessage(const QString &typeName, const QString &fileType)
{
    return QStringLiteral("This is not a ") + typeName
           + QStringLiteral(" database, please use Brimlow ") + fileType
           + QStringLiteral(" to open this database");
}

QString damagedHeaderMessage(const QString &fileName)
{
    return QStringLiteral("Error reading from file %1.\r\nThe file is damaged: it holds no collection "
                          "that can be recovered.")
        .arg(fileName);
}

QString notFoundMessage(const QString &fileName)
{
    return QStringLiteral("The file \"%1\" was not found").arg(fileName);
}

QString cannotOpenMessage(const QString &fileName, const QString &problem)
{
    return QStringLiteral("The file \"%1\" %2.").arg(fileName, problem);
}

QString recoveredMessage(const QString &fileName, qint32 count)
{
    return QStringLiteral("Error reading from file %1.\r\n%2 items have been recovered from the corrupted "
                          "file.\r\nChoose \"File | Save\" from the menu to save the %2 remaining items "
                          "as a new file.")
        .arg(fileName, QString::number(count));
}

QString convertedMessage(const QString &fileName)
{
    return QStringLiteral("The collection \"%1\" was created with an older version of %2.\r\nChoose \"File "
                          "| Save\" from the menu to save the converted collection to a NEW "
                          "file.\r\n(NOTE: The converted collection can NOT be opened in older versions "
                          "of %2)")
        .arg(fileName, programName);
}

QString newerMessage(const QString &fileName, qint32 fileVersion, qint32 dataVersion)
{
    return QStringLiteral("The collection \"%1\" was made by a newer version of %2 (file format %3, data "
                          "version %4).\r\nIt is opened read-only: saving it over the file would drop what "
                          "this version does not know. Choose \"File | Save As\" to save what is shown as a "
                          "new file.")
        .arg(fileName, programName, QString::number(fileVersion), QString::number(dataVersion));
}

QString trailingDataMessage(const QString &fileName)
{
    return QStringLiteral("The collection \"%1\" goes on after its last record with data this version does "
                          "not know.\r\nIt is opened read-only: saving it over the file would drop that "
                          "data. Choose \"File | Save As\" to save what is shown as a new file.")
        .arg(fileName);
}

QString changedOnDiskMessage(const QString &fileName)
{
    return QStringLiteral("Another program has changed the collection file %1 since it was read.").arg(fileName);
}

// With the system's reason when it gave one: a guess at the cause would
// mislead where the reason is known.
QString writeErrorMessage(const QString &fileName, const QString &reason)
{
    const QString cause =
        reason.isEmpty() ? QStringLiteral("This is probably caused by a diskspace problem.") : reason + u'.';
    return QStringLiteral("Error writing to file %1.\r\n%2\r\nChoose \"File | Save As\" from the menu to save "
                          "your data to a different location.")
        .arg(fileName, cause);
}

QString createErrorMessage(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason);
}

// The block between the lookup lists and the tracks: a date and a list of
// strings and integers that this program does not use.  Damage inside it
// does not stop the reading; the tracks are read from where it ended.
void skipReservedBlock(TDataReader &reader)
{
    try {
        reader.ReadDate();
    } catch (const EDataRead &) {
    }
    try {
        reader.ReadListBegin();
        while (!reader.EndOfList())
            reader.SkipSimpleValue();
        reader.ReadListEnd();
    } catch (const EDataRead &) {
    }
}

void writeReservedBlock(TDataWriter &writer)
{
    writer.WriteDate(0.0);
    writer.WriteListBegin();
    writer.WriteListEnd();
}

// After damage cut the reading short, the counters at the end of the file
// were not read: new items must still be numbered after the ones read.
void raiseNextIndexAboveItems(TRootItem &root)
{
    if (!root.Items)
        return;
    for (const TDataItem *item : *root.Items) {
        if (item->Index >= root.NextIndex && item->Index < std::numeric_limits<qint32>::max())
            root.NextIndex = item->Index + 1;
    }
}

// The counter a file stores may raise the root's, never lower it; a
// negative one (-1 means "no item") or one beyond any identifier handed
// out is damage and ignored: the items read keep the counter above theirs.
void updateStoredNextID(TRootItem &root, qint32 stored)
{
    if (stored <= MaxStoredID + 1)
        root.UpdateNextID(stored);
}

} // namespace

// ---- the layout of the whole file -----------------------------------------

void TRootItem::ReadCollection(TDataReader &reader, TCollectionVersions &versions)
{
    qint32 fileVersion = 0;
    qint32 dataVersion = 0;
    QString marker;
    try {
        marker = reader.ReadString();
    } catch (const EDataRead &) {
        // Empty, or something other than a collection file.
        throw EData(notACollectionMessage());
    }
    if (marker != FileMarker)
        throw EData(notACollectionMessage());
    try {
        const QString typeName = reader.ReadString();
        if (typeName != GetTypeName())
            throw EData(wrongTypeMessage(GetTypeName(), typeName));
        fileVersion = reader.ReadInteger();
        dataVersion = reader.ReadInteger();
        versions = {fileVersion, dataVersion};
        NextID = 0;
        if (fileVersion < CountersAtEndVersion)
            updateStoredNextID(*this, reader.ReadInteger());
    } catch (const EDataRead &) {
        // Nothing of the collection can be recovered from a file cut off
        // inside its header.
        throw EData(damagedHeaderMessage(FileName));
    }
    ReadFromStream(reader, fileVersion, dataVersion);
}

void TRootItem::ReadFromStream(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    Fields->ReadCustomNames(reader, fileVersion, dataVersion);
    ReadLookupLists(reader, fileVersion, dataVersion);
    skipReservedBlock(reader);
    ReadExtraData(reader, fileVersion, dataVersion);
    try {
        Items->ReadFromStream(reader, fileVersion, dataVersion);
    } catch (...) {
        Items->SetCapacity(Items->Count());
        throw;
    }
    Items->SetCapacity(Items->Count());
    if (fileVersion >= CountersAtEndVersion) {
        // The stored counter never lowers what the items read require.
        updateStoredNextID(*this, reader.ReadInteger());
        NextIndex = reader.ReadInteger();
    }
}

void TRootItem::WriteToStream(TDataWriter &writer)
{
    writer.WriteString(FileMarker);
    writer.WriteString(GetTypeName());
    writer.WriteInteger(CurrentFormatVersion);
    writer.WriteInteger(GetDataVersion());
    Fields->WriteCustomNames(writer);
    WriteLookupLists(writer);
    writeReservedBlock(writer);
    WriteExtraData(writer);
    // Identifiers are handed out as the items are written, so NextID is
    // written after them.
    Items->WriteToStream(writer);
    writer.WriteInteger(NextID);
    writer.WriteInteger(NextIndex);
}

// ---- opening and saving ---------------------------------------------------

TCollectionLoadResult loadCollection(TRootItem &root, const QString &fileName)
{
    TCollectionLoadResult result;
    root.Clear();
    if (!LocalPathExists(fileName)) {
        result.Status = TCollectionLoadResult::TStatus::NotFound;
        result.Message = notFoundMessage(fileName);
        return result;
    }
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, fileName, QIODevice::ReadOnly, &problem)) {
        result.Message = problem == QLatin1String("does not exist") ? notFoundMessage(fileName)
                                                                     : cannotOpenMessage(fileName, problem);
        return result;
    }
    // The file read, even should the name be given to another one now.
    root.FileStamp = TFileStamp::OfOpenFile(file.handle());
    TDataReader reader(file);
    root.FileName = fileName;
    result.Status = TCollectionLoadResult::TStatus::Opened;
    TCollectionVersions versions;
    try {
        root.ReadCollection(reader, versions);
        result.TrailingData = reader.BytesLeft() > 0;
    } catch (const EDataRead &) {
        result.Recovered = true;
        result.IsError = true;
        raiseNextIndexAboveItems(root);
    } catch (const TMessageException &error) {
        result.Message = error.Message();
    } catch (const std::exception &error) {
        result.Message = QString::fromLocal8Bit(error.what());
    }
    if (!result.Message.isEmpty()) {
        result.Status = TCollectionLoadResult::TStatus::Failed;
        result.IsError = true;
        root.Clear();
        return result;
    }
    // Files of older formats may carry higher data versions of their day
    // (see PlainNamesDataVersion); from this format on, a higher one is newer.
    result.Newer = versions.Format > CurrentFormatVersion
                   || (versions.Format == CurrentFormatVersion && versions.Data > root.GetDataVersion());
    result.Converted = !result.Newer
                       && (versions.Format < CurrentFormatVersion || versions.Data < root.GetDataVersion());
    // A newer file read as this version knows it may well seem damaged:
    // that it is newer is what the user needs to know.
    if (result.Newer)
        result.Message = newerMessage(fileName, versions.Format, versions.Data);
    else if (result.Recovered)
        result.Message = recoveredMessage(fileName, root.Items ? root.Items->Count() : 0);
    else if (result.TrailingData)
        result.Message = trailingDataMessage(fileName);
    else if (result.Converted)
        result.Message = convertedMessage(fileName);
    // What cannot be saved over the file as it was read is saved to a new
    // file only.
    if (result.Recovered || result.Converted || result.readOnly())
        root.FileName.clear();
    return result;
}

TCollectionLoadResult loadCollectionWhenFree(TRootItem &root, const QString &fileName,
                                             std::chrono::milliseconds wait)
{
    TCollectionLock lock;
    lock.acquire(fileName, wait);
    return loadCollection(root, fileName);
}

TCollectionSaveResult saveCollection(TRootItem &root, const QString &fileName,
                                     const TDataWriterFactory &makeWriter, TCollectionLock *hold)
{
    TCollectionSaveResult result;
    if (fileName.isEmpty()) {
        result.Message = createErrorMessage(fileName, QStringLiteral("No file name was given."));
        return result;
    }
    TFileReplacement file(fileName);
    if (!file.open()) {
        result.Message = createErrorMessage(fileName, file.errorString());
        return result;
    }
    try {
        const std::unique_ptr<TDataWriter> writer =
            makeWriter ? makeWriter(file.device()) : std::make_unique<TDataWriter>(file.device());
        root.WriteToStream(*writer);
        writer->FlushBuffer();
        if (hold)
            hold->holdReplacement(file.device());
        if (!file.commit())
            throw EDataWrite(QStringLiteral("Write Error"));
    } catch (const EDataWrite &) {
        const QString reason = file.errorString();
        result.Message = writeErrorMessage(fileName, reason.isEmpty() ? writeErrorOf(file.device()) : reason);
    } catch (const TMessageException &error) {
        result.Message = error.Message();
    } catch (const std::exception &error) {
        result.Message = QString::fromLocal8Bit(error.what());
    }
    if (!result.Message.isEmpty()) {
        file.cancel();
        return result;
    }
    root.FileName = fileName;
    root.FileStamp = TFileStamp::OfPath(fileName);
    result.Saved = true;
    return result;
}

TCollectionSaveResult saveOverOwnFile(TRootItem &root, const std::optional<TFileStamp> &accepted,
                                      std::chrono::milliseconds wait)
{
    TCollectionSaveResult result;
    TCollectionLock lock;
    // Where the lock cannot be taken (a file system without locks) the
    // save goes ahead: it has nobody to wait for, or fails for itself.
    if (!lock.acquire(root.FileName, wait) && lock.heldElsewhere()) {
        result.Message = lock.errorString();
        return result;
    }
    result.OnDisk = TFileStamp::OfPath(root.FileName);
    if (result.OnDisk != accepted.value_or(root.FileStamp)) {
        result.ChangedOnDisk = true;
        result.Message = changedOnDiskMessage(root.FileName);
        return result;
    }
    return saveCollection(root, root.FileName, {}, &lock);
}

bool TRootItem::LoadFromFile(const QString &fileName)
{
    TCollectionLoadResult result;
    {
        const TBusyCursor busy;
        result = loadCollectionWhenFree(*this, fileName, TCollectionLock::DefaultWait);
    }
    // A file that is not there is not worth a message box: at start-up the
    // last collection may simply have been moved away.
    if (!result.Message.isEmpty() && result.Status != TCollectionLoadResult::TStatus::NotFound) {
        if (result.IsError)
            ShowError(result.Message);
        else
            ShowInfo(result.Message);
    }
    return result.opened();
}

bool TRootItem::SaveToFile(const QString &fileName)
{
    TCollectionSaveResult result;
    {
        const TBusyCursor busy;
        // Another program changing the file (tunebase-cli add) finishes
        // first.  Where the lock cannot be taken, the save itself fails or
        // has nobody to wait for; it reports for itself.
        TCollectionLock lock;
        if (lock.acquire(fileName) || !lock.heldElsewhere())
            result = saveCollection(*this, fileName, {}, &lock);
        else
            result.Message = lock.errorString();
    }
    if (!result.Saved)
        ShowError(result.Message);
    return result.Saved;
}

TCollectionSaveResult TRootItem::SaveOverOwnFile(const std::optional<TFileStamp> &accepted)
{
    TCollectionSaveResult result;
    {
        const TBusyCursor busy;
        result = saveOverOwnFile(*this, accepted, TCollectionLock::DefaultWait);
    }
    if (!result.Saved && !result.ChangedOnDisk)
        ShowError(result.Message);
    return result;
}
