#pragma once

#include "core/base/filestamp.h"

#include <QString>

#include <optional>

// How saving over the collection's own file ended.
struct TOwnFileSaveResult {
    enum class TOutcome { Saved, Failed, ChangedOnDisk };
    TOutcome Outcome = TOutcome::Failed;
    // When another program has written the file: the file as it is now,
    // which the user is asked about and overwriting it must still find.
    TFileStamp OnDisk;
};

// The collection the main window works on, as start-up and shutdown see it.
// The collection root implements it; tests use small fakes.
class TCurrentCollection {
public:
    virtual ~TCurrentCollection() = default;
    // Full path of the collection file; empty for a collection never saved.
    virtual QString FileName() const = 0;
    // The file name without folder, or "[New Collection]".
    virtual QString GetDisplayName() const = 0;
    // Reports its own errors; on failure an empty new collection remains.
    virtual bool LoadFromFile(const QString &fileName) = 0;
    // Reports its own errors; true when the file was written completely.
    virtual bool SaveToFile(const QString &fileName) = 0;
    virtual bool IsModified() const = 0;
    // Saves over FileName() unless another program has written the file
    // since it was opened or saved here, or, once the user agreed to
    // overwrite such a change, since it was as `accepted`.  Looking at the
    // file and saving are one hold of the file's lock, so a change made in
    // between is never saved over unseen.  Reports its own errors (not the
    // change).
    virtual TOwnFileSaveResult SaveOverOwnFile(const std::optional<TFileStamp> &accepted)
    {
        Q_UNUSED(accepted);
        TOwnFileSaveResult result;
        result.Outcome = SaveToFile(FileName()) ? TOwnFileSaveResult::TOutcome::Saved
                                                : TOwnFileSaveResult::TOutcome::Failed;
        return result;
    }
};
