#include "core/files/shellstuff.h"

#include "core/base/localfiles.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>

namespace {

// One collator per thread: collators are not safe to share, and making one
// for every comparison would be slow in large folders.
const QCollator &nameCollator()
{
    thread_local const QCollator collator = [] {
        // The C locale compares code points only; names are still sorted
        // the way people read them.
        const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
        QCollator c(locale);
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

TShellEntry entryOf(const QString &path, const TLocalFileInfo &info)
{
    TShellEntry entry;
    entry.Path = TShellStuff::ParsingName(path);
    entry.Name = TShellStuff::DisplayName(entry.Path);
    entry.IsFolder = info.IsFolder;
    entry.IsLink = info.IsSymLink;
    entry.IsHidden = entry.Name.startsWith(QLatin1Char('.'));
    return entry;
}

} // namespace

QString TShellStuff::DisplayName(const QString &path)
{
    const QString clean = ParsingName(path);
    if (clean == QLatin1String("/"))
        return clean;
    return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
}

QString TShellStuff::ParsingName(const QString &path)
{
    if (path.isEmpty())
        return QString();
    return AbsoluteLocalPath(path);
}

TShellEntry TShellStuff::Entry(const QString &path)
{
    const QString clean = ParsingName(path);
    return entryOf(clean, LocalFileInfo(clean));
}

bool TShellStuff::HasSubfolders(const QString &folderPath)
{
    return HasVisibleSubfolder(folderPath);
}

QList<TShellEntry> TShellStuff::ListFolder(const QString &folderPath, bool includeHidden)
{
    QList<TShellEntry> entries;
    // Only folders and regular files: reading a FIFO or a device could block.
    for (const TLocalFolderEntry &found : LocalFolderEntries(folderPath)) {
        TShellEntry entry = entryOf(found.Path, found.Info);
        if (includeHidden || !entry.IsHidden)
            entries.append(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const TShellEntry &a, const TShellEntry &b) {
        return CompareShellOrder(a, b) < 0;
    });
    return entries;
}

int TShellStuff::CompareShellOrder(const TShellEntry &a, const TShellEntry &b)
{
    if (a.IsFolder != b.IsFolder)
        return a.IsFolder ? -1 : 1;
    if (const int byName = nameCollator().compare(a.Name, b.Name))
        return byName;
    // Names equal but for case: keep a fixed order all the same.
    return a.Name.compare(b.Name);
}

qint32 TMappingList::Find(qint32 key) const
{
    if (key == 0)
        return -1;
    for (const TMapping &m : m_mappings)
        if (m.Key == key)
            return m.Value;
    return -1;
}
