#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>

// A list of pictures of one size, addressed by index like the image lists of
// the tree and list views.
class TImageList {
public:
    explicit TImageList(QSize size) : m_size(size) {}

    QSize Size() const { return m_size; }
    int Count() const { return int(m_icons.size()); }
    // Appends a picture and returns its index.
    int Add(const QIcon &icon);
    // The picture at an index; a null icon for an index outside the list.
    QIcon Icon(int index) const;
    QPixmap Pixmap(int index) const;

private:
    QSize m_size;
    QList<QIcon> m_icons;
};

// Indexes of the pictures in the small image list; the large list holds the
// pictures the objects name by their large image index.
namespace images {
enum Small {
    SortAscending = 0, SortDescending = 1,
    Folder = 2, FolderOpen = 3,            // data objects and lookup items
    Collection = 4,
    NoneFolder = 5, NoneFolderOpen = 6,    // "[None]"
    Track = 7, TrackSelected = 8,          // 8 also marks a folder preset
    Album = 9, AlbumSelected = 10,         // 9 also marks "No Folders"
    DiskFolder = 11, DiskFolderOpen = 12,
    Mp3File = 13, Mp3FileSelected = 14,
    ReadOnlyFile = 15, ReadOnlyFileSelected = 16,
    DriveCD = 17, DriveCDSelected = 18,
    DriveFixed = 19, DriveFixedSelected = 20,
    DriveNetwork = 21, DriveNetworkSelected = 22,
    DriveRemovable = 23, DriveRemovableSelected = 24,
    Playlist = 25, PlaylistSelected = 26,
    Mp3Explorer = 27, Mp3ExplorerSelected = 28,
    SmallCount
};
enum Large {
    LargeFolder = 0, LargeNone = 1, LargeTrack = 2, LargeAlbum = 3,
    LargeMp3File = 4, LargeReadOnlyFile = 5,
    LargeDriveCD = 6, LargeDriveFixed = 7, LargeDriveNetwork = 8, LargeDriveRemovable = 9,
    LargeDiskFolder = 10, LargePlaylist = 11, LargeMp3Explorer = 12,
    LargeCount
};
// StateInCollection marks a file of the disk that a collection track refers to.
enum State { StateNone = 0, StateOk = 1, StateProblem = 2, StateInCollection = 3, StateCount };

// Resource path of a picture of the program ("folder" -> ":/icons/folder.svg").
QString ResourcePath(const QString &name);
// An action's picture: the desktop theme's icon when there is one, else the
// program's own.
QIcon ActionIcon(const QString &themeName, const QString &ownName);
} // namespace images

// The global data module: the image lists every window shares, and the
// pictures of file types the desktop supplies, added on first use.
class TdmGlobal {
public:
    TdmGlobal();

    TImageList ilSmall{QSize(16, 16)};
    TImageList ilLarge{QSize(32, 32)};
    TImageList ilState{QSize(9, 16)};

    // Creates the folder "Data" of collections when it is missing (one
    // level; a failure is ignored).
    static void EnsureDataFolder(const QString &dataFolder);

    // The index of a desktop-supplied picture (a file type's icon), copied
    // into the small or large list the first time its key is seen.
    int ShellIconIndex(const QString &key, const QIcon &icon, bool large);

private:
    QHash<QString, int> m_smallShellIcons;
    QHash<QString, int> m_largeShellIcons;
};
