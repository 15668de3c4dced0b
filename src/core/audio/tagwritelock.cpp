#include "core/audio/tagwritelock.h"

namespace tagwritelock {

bool Acquire(TFileLock &lock, const QString &fileName, QString *error)
{
    if (lock.acquire(fileName, Wait) != TFileLock::TOutcome::Busy)
        return true;
    if (error)
        *error = QStringLiteral("Another program is writing the file; try again when it has finished.");
    return false;
}

} // namespace tagwritelock
