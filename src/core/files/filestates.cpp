#include "core/files/filestates.h"

#include "core/base/localpath.h"
#include "core/base/longpath.h"

#include <QFile>

#include <sys/stat.h>

void TFileStates::insert(const QString &path, qint64 size, qint64 modifiedMs)
{
    m_states.insert(path, {size, modifiedMs});
}

bool TFileStates::isUnchanged(const QString &path, qint64 &size, qint64 &modifiedMs) const
{
    const auto found = m_states.constFind(path);
    if (found == m_states.constEnd())
        return false;
    struct stat st;
    if (StatLocalPath(LocalPathBytes(path), st, true) != 0 || !S_ISREG(st.st_mode))
        return false;
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    if (st.st_size != found->size || modified != found->modifiedMs)
        return false;
    size = st.st_size;
    modifiedMs = modified;
    return true;
}
