#pragma once

#include "core/settings/drives.h"

// A mount table for tests: the mounts it is given, in order.  A path belongs
// to the mount with the longest mount point that contains it; a path outside
// every mount counts as not existing.
class TFakeMountTable final : public TMountTable {
public:
    TFakeMountTable() = default;
    explicit TFakeMountTable(QList<TMountInfo> mounts) : m_mounts(std::move(mounts)) {}

    void add(const QString &rootPath, const QString &device, const QString &type,
             const QString &label = QString(), bool removable = false);

    QList<TMountInfo> Mounts() const override { return m_mounts; }
    std::optional<TMountInfo> MountOf(const QString &path) const override;

private:
    QList<TMountInfo> m_mounts;
};
