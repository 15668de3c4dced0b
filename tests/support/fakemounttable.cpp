#include "fakemounttable.h"

void TFakeMountTable::add(const QString &rootPath, const QString &device, const QString &type,
                          const QString &label, bool removable)
{
    m_mounts.append(TMountInfo{rootPath, device, type, label, removable});
}

static bool contains(const QString &rootPath, const QString &path)
{
    if (rootPath == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == rootPath || path.startsWith(rootPath + QLatin1Char('/'));
}

std::optional<TMountInfo> TFakeMountTable::MountOf(const QString &path) const
{
    std::optional<TMountInfo> best;
    for (const TMountInfo &mount : m_mounts)
        if (contains(mount.RootPath, path) && (!best || mount.RootPath.size() > best->RootPath.size()))
            best = mount;
    return best;
}
