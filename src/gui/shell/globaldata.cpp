#include "gui/shell/globaldata.h"

#include <QDir>

namespace {

// Small list, in index order.
const char *const SmallNames[] = {
    "sort-ascending", "sort-descending", "folder", "folder-open", "collection", "none", "none-open",
    "track", "track-selected", "album", "album-selected", "diskfolder", "diskfolder-open",
    "mp3file", "mp3file-selected", "mp3file-readonly", "mp3file-readonly-selected",
    "drive-cd", "drive-cd-selected", "drive-fixed", "drive-fixed-selected",
    "drive-network", "drive-network-selected", "drive-removable", "drive-removable-selected",
    "playlist", "playlist-selected", "explorer", "explorer-selected",
};
static_assert(std::size(SmallNames) == images::SmallCount);

const char *const LargeNames[] = {
    "folder", "none", "track", "album", "mp3file", "mp3file-readonly",
    "drive-cd", "drive-fixed", "drive-network", "drive-removable",
    "diskfolder", "playlist", "explorer",
};
static_assert(std::size(LargeNames) == images::LargeCount);

const char *const StateNames[] = {nullptr, "state-ok", "state-problem", "state-incollection"};
static_assert(std::size(StateNames) == images::StateCount);

} // namespace

int TImageList::Add(const QIcon &icon)
{
    m_icons.append(icon);
    return int(m_icons.size()) - 1;
}

QIcon TImageList::Icon(int index) const
{
    return index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
}

QPixmap TImageList::Pixmap(int index) const
{
    return Icon(index).pixmap(m_size);
}

QString images::ResourcePath(const QString &name)
{
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

QIcon images::ActionIcon(const QString &themeName, const QString &ownName)
{
    return QIcon::fromTheme(themeName, QIcon(ResourcePath(ownName)));
}

TdmGlobal::TdmGlobal()
{
    for (const char *name : SmallNames)
        ilSmall.Add(QIcon(images::ResourcePath(QLatin1String(name))));
    for (const char *name : LargeNames)
        ilLarge.Add(QIcon(images::ResourcePath(QLatin1String(name))));
    for (const char *name : StateNames)
        ilState.Add(name ? QIcon(images::ResourcePath(QLatin1String(name))) : QIcon());
}

void TdmGlobal::EnsureDataFolder(const QString &dataFolder)
{
    if (!dataFolder.isEmpty() && !QDir(dataFolder).exists())
        QDir().mkpath(dataFolder); // the XDG data folder may not exist yet either
}

int TdmGlobal::ShellIconIndex(const QString &key, const QIcon &icon, bool large)
{
    QHash<QString, int> &map = large ? m_largeShellIcons : m_smallShellIcons;
    if (const auto it = map.constFind(key); it != map.cend())
        return it.value();
    const int index = (large ? ilLarge : ilSmall).Add(icon);
    map.insert(key, index);
    return index;
}
