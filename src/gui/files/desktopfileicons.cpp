#include "gui/files/desktopfileicons.h"

#include "gui/shell/globaldata.h"

#include "core/base/localfiles.h"
#include "core/base/localpath.h"

#include <QFileInfo>
#include <QIcon>

QIcon TDesktopFileIcons::iconOf(const QString &path, bool isFolder) const
{
    if (!HasForeignBytes(path))
        return m_provider.icon(QFileInfo(path));
    // Qt cannot look at a name that is not UTF-8: a folder gets the folder
    // icon, a file the icon its name's ending gives.
    return isFolder ? m_provider.icon(QAbstractFileIconProvider::Folder) : m_provider.icon(QFileInfo(ReadablePath(path)));
}

int TDesktopFileIcons::IconIndex(const QString &path, TIconKind kind)
{
    const bool isFolder = IsLocalFolder(path);
    QIcon icon = iconOf(path, isFolder);
    // The provider knows no opened state; the theme may.
    if (kind == TIconKind::SmallOpen && isFolder)
        icon = QIcon::fromTheme(QStringLiteral("folder-open"), icon);
    if (icon.isNull())
        return -1;
    // Theme icons are shared by name; others are keyed by the picture itself.
    const QString key = icon.name().isEmpty() ? QStringLiteral("#%1").arg(icon.cacheKey()) : icon.name();
    return m_global.ShellIconIndex(key, icon, kind == TIconKind::Large);
}
