#pragma once

#include "core/data/collectionlock.h"

#include <QString>

class TRootItem;

// One change to a collection file that is read, changed and saved in one
// go (what the command line's add and relink do).  The collection's lock
// is held from the reading to the saving, so a second program changing the
// same file waits for the first and then reads what the first saved.  A
// collection that could not be saved as it was read is refused: one
// recovered from damaged data (saving would replace it by the part that
// could be read), one of a newer format or with data after its last record
// (saving would drop what this version does not know), and one of an older
// format (saving would convert it in place, and older programs could no
// longer open it) unless a new file is named for the converted collection.
class TCollectionUpdate {
public:
    TCollectionUpdate(TRootItem &root, const QString &fileName);

    // The converted collection is saved to this file (which must not exist
    // yet) and the original stays as it is.
    void setConvertTo(const QString &newFile) { m_convertTo = newFile; }
    void setWait(std::chrono::milliseconds wait) { m_wait = wait; }

    // Locks the file and reads it into the root.  A file that does not
    // exist is a new, empty collection when allowNew is set.  False, with
    // complaint saying why (lines separated by "\n"), when the collection
    // must not be changed.
    bool open(bool allowNew, QString *complaint);
    bool isNew() const { return m_isNew; }
    // The file the collection is saved to: the one read, or the one named
    // for the converted collection.
    QString targetFile() const;
    // Saves the root to targetFile; the lock stays held (for what is
    // saved beside the collection) until release or the end.
    bool save(QString *complaint);
    void release();

private:
    TRootItem &m_root;
    QString m_fileName;
    QString m_convertTo;
    std::chrono::milliseconds m_wait = TCollectionLock::DefaultWait;
    TCollectionLock m_lock;
    TCollectionLock m_targetLock;
    bool m_isNew = false;
};
