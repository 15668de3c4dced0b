#pragma once

#include "core/base/filestamp.h"

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class TDataWriter;
class TCollectionLock;
class TRootItem;

// Opening and saving a collection file, with the outcome described for the
// caller to show: the desktop program shows it in a message box
// (TRootItem::LoadFromFile / SaveToFile), the command line prints it.
struct TCollectionLoadResult {
    enum class TStatus {
        Opened,    // read completely, or partly (Recovered)
        NotFound,  // no such file (the desktop program shows nothing then)
        Failed,    // not opened; the root is empty again
    };
    TStatus Status = TStatus::Failed;
    // The file came from an older format or data version.
    bool Converted = false;
    // Reading stopped at damaged data; what was read before stays.
    bool Recovered = false;
    // The file is of a newer format or data version than this program's:
    // saving would drop what this version does not know.
    bool Newer = false;
    // The file goes on after the collection's end with data this version
    // does not know: saving would drop it.
    bool TrailingData = false;
    // The text to show, empty when there is none, and whether it reports an
    // error (else it is a plain message).  For a file that does not exist
    // it says so, for callers that must explain themselves.
    QString Message;
    bool IsError = false;

    bool opened() const { return Status == TStatus::Opened; }
    // Opened, but saving over the file would lose some of it: it may be
    // shown, and saved to a new file only.
    bool readOnly() const { return Newer || TrailingData; }
};

struct TCollectionSaveResult {
    bool Saved = false;
    // Not saved because another program has written the file since it was
    // read or saved (saveOverOwnFile); OnDisk is the file as it is now.
    bool ChangedOnDisk = false;
    TFileStamp OnDisk;
    // The error to show when not saved.
    QString Message;
};

// Makes the writer a save writes through; tests use it to make writes fail.
using TDataWriterFactory = std::function<std::unique_ptr<TDataWriter>(QIODevice &device)>;

// Clears root and reads fileName into it (a FIFO or other special file is
// refused without blocking).  FileStamp remembers the file as read.  A
// file that cannot be saved over without loss (converted, recovered, read
// only) leaves FileName empty, so that a save asks for a new file.
TCollectionLoadResult loadCollection(TRootItem &root, const QString &fileName);

// loadCollection once no other program is writing the file: waits for the
// collection's lock (up to `wait`) and reads under it, so that a file being
// rewritten in place is never read half-written.  Where the lock cannot be
// had it reads all the same.  For readers only: a writer reads under the
// lock it already holds (TCollectionUpdate).
TCollectionLoadResult loadCollectionWhenFree(TRootItem &root, const QString &fileName,
                                             std::chrono::milliseconds wait);

// Writes root to fileName through a TFileReplacement: the old file stays as
// it was until the new one is complete, and keeps its owner, mode, extended
// attributes and hard links.  On success FileName and FileStamp of root
// name the saved file; on failure they stay unchanged.  The caller holds
// the collection's TCollectionLock where another program may change the
// file too, and passes it as `hold`: the new file is locked before it
// takes the collection's name, so the hold goes on across the save.
TCollectionSaveResult saveCollection(TRootItem &root, const QString &fileName,
                                     const TDataWriterFactory &makeWriter = {},
                                     TCollectionLock *hold = nullptr);

// Saves root over the file it was read from or saved to (FileName) unless
// another program has written the file since (FileStamp), or, once the
// user agreed to overwrite such a change, since the file was as `accepted`.
// The look at the file and the save are one hold of the collection's lock:
// a program changing the file in between waits, and its change is seen.
TCollectionSaveResult saveOverOwnFile(TRootItem &root, const std::optional<TFileStamp> &accepted,
                                      std::chrono::milliseconds wait);
