#pragma once

#include <QList>
#include <QString>

#include <optional>

// Drive kinds as stored with collection locations.
enum TDriveKind : int {
    dkUnknown = 0,
    dkNoRootFolder = 1,   // nothing mounted there (disc or stick not inserted)
    dkRemovable = 2,
    dkFixed = 3,
    dkNetwork = 4,
    dkCDRom = 5,
    dkRamDisk = 6,
};

// One mounted file system.
struct TMountInfo {
    QString RootPath;        // mount point, e.g. "/media/anna/MUSIC"
    QString Device;          // "/dev/sdb1", "//server/share", "server:/export"
    QString FileSystemType;  // "ext4", "iso9660", "cifs", "fuse.sshfs" ...
    QString Label;           // volume label, empty when it has none
    bool Removable = false;  // the block device says it is removable
};

// The mounts of the machine.  Production code uses SystemMountTable(); tests
// feed a table of their own.
class TMountTable {
public:
    virtual ~TMountTable() = default;
    // The mounted file systems in the system's order.
    virtual QList<TMountInfo> Mounts() const = 0;
    // The mount holding an existing path; none when the path does not exist.
    virtual std::optional<TMountInfo> MountOf(const QString &path) const = 0;
};

// The live mount table (QStorageInfo and the kernel's sysfs).
const TMountTable &SystemMountTable();

// The kind of a mounted file system.
int DriveKindOfMount(const TMountInfo &mount);
// The name a user knows the volume by: its label, else "server/share" of a
// network mount, else the last component of its mount point.
QString VolumeNameOfMount(const TMountInfo &mount);

// The drive kind of a path: 4 for "\\server\share" paths, 1 for the drive
// letter paths of other systems ("d:\..."), the kind of the mount holding an
// absolute path (1 when the path does not exist), 0 for anything else.
int GetDriveKind(const QString &path, const TMountTable &mounts = SystemMountTable());
// The volume name of a path: "server\share" for "\\server\share\..." paths,
// the name of the mount holding an absolute path, else empty.
QString GetVolumeName(const QString &path, const TMountTable &mounts = SystemMountTable());
// Mount point of the first mounted optical disc (iso9660, udf), or empty.
QString FindFirstCDDrive(const TMountTable &mounts = SystemMountTable());
