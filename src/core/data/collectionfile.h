#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QIODevice;
class TDataWriter;
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
    // The text to show, empty when there is none, and whether it reports an
    // error (else it is a plain message).  For a file that does not exist
    // it says so, for callers that must explain themselves.
    QString Message;
    bool IsError = false;

    bool opened() const { return Status == TStatus::Opened; }
};

struct TCollectionSaveResult {
    bool Saved = false;
    // The error to show when not saved.
    QString Message;
};

// Makes the writer a save writes through; tests use it to make writes fail.
using TDataWriterFactory = std::function<std::unique_ptr<TDataWriter>(QIODevice &device)>;

// Clears root and reads fileName into it (a FIFO or other special file is
// refused without blocking).  FileDate and FileSize remember the file as
// read.
TCollectionLoadResult loadCollection(TRootItem &root, const QString &fileName);

// Writes root to fileName through a TFileReplacement: the old file stays as
// it was until the new one is complete, and keeps its owner, mode, extended
// attributes and hard links.  On success FileName, FileDate and FileSize of
// root name the saved file; on failure they stay unchanged.  The caller
// holds the collection's TCollectionLock where another program may change
// the file too.
TCollectionSaveResult saveCollection(TRootItem &root, const QString &fileName,
                                     const TDataWriterFactory &makeWriter = {});

// Whether the file root was read from or last saved to has changed since
// (modification time or size), or is gone: another program has written it.
bool collectionFileChanged(const TRootItem &root);
