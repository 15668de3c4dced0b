#include "gui/files/desktopfileicons.h"

#include "gui/shell/globaldata.h"

#include <QFileInfo>
#include <QIcon>

int TDesktopFileIcons::IconIndex(const QString &path, TIconKind kind)
{
    QIcon icon = m_provider.icon(QFileInfo(path));
    // The provider knows no opened state; the theme may.
    if (kind == TIconKind::SmallOpen && QFileInfo(path).isDir())
        icon = QIcon::fromTheme(QStringLiteral("folder-open"), icon);
    if (icon.isNull())
        return -1;
    // Theme icons are shared by name; others are keyed by the picture itself.
    const QString key = icon.name().isEmpty() ? QStringLiteral("#%1").arg(icon.cacheKey()) : icon.name();
    return m_global.ShellIconIndex(key, icon, kind == TIconKind::Large);
}
