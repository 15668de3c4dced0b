#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// What the disk explorer knows of one entry of a folder.  The absolute path
// is the entry's identity.
struct TShellEntry {
    QString Name;          // the name shown: the file or folder name
    QString Path;          // absolute path
    bool IsFolder = false; // a directory, or a symbolic link to one
    bool IsHidden = false; // a dot-file or dot-folder
    bool IsLink = false;   // a symbolic link (to anything, or dangling)
};

// The file-system questions of the disk explorer, answered from the file
// system itself.  No state; safe to use from any thread.
class TShellStuff {
public:
    // The name shown for a path: its last component ("/" for the root).
    static QString DisplayName(const QString &path);
    // The absolute, cleaned path ("/a/b/../c/" becomes "/a/c").
    static QString ParsingName(const QString &path);
    // The entry for one path (Name, Path and attributes).
    static TShellEntry Entry(const QString &path);
    // Whether the folder holds at least one folder that is not hidden.
    // Stops at the first one found, so it stays cheap in large folders.
    static bool HasSubfolders(const QString &folderPath);
    // The folder's entries, folders first, each group in the order a file
    // manager shows (natural order of names, ignoring case).  Hidden entries
    // only when asked for; "." and ".." never.
    static QList<TShellEntry> ListFolder(const QString &folderPath, bool includeHidden = false);
    // The order of ListFolder: negative when a comes first.
    static int CompareShellOrder(const TShellEntry &a, const TShellEntry &b);
};

// Icons are pictures of the desktop, which the core does not link; the GUI
// implements this and hands it to the folder items.  Indexes refer to the
// GUI's own image lists (small and large).
class TFileIconProvider {
public:
    enum class TIconKind { Small, SmallOpen, Large };
    virtual ~TFileIconProvider() = default;
    // The image-list index of the icon for the path, or -1 when none.
    virtual int IconIndex(const QString &path, TIconKind kind) = 0;
};

// Pairs of (platform icon key, image-list index): lets an icon provider add
// each distinct desktop icon to its image list only once.
struct TMapping {
    qint32 Key = 0;
    qint32 Value = 0;
};

class TMappingList {
public:
    // The value of the first pair with the key; -1 when none.  Key 0 stands
    // for "no icon" and is never found.
    qint32 Find(qint32 key) const;
    void Add(qint32 key, qint32 value) { m_mappings.append({key, value}); }
    int Count() const { return int(m_mappings.size()); }

private:
    QList<TMapping> m_mappings;
};
