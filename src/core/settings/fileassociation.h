#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Where the freedesktop file type registration goes for the current user.
struct TXdgPaths {
    QString DataHome;       // ~/.local/share
    QString ConfigHome;     // ~/.config
    QStringList DataDirs;   // /usr/local/share, /usr/share
    QStringList ConfigDirs; // /etc/xdg

    static TXdgPaths FromEnvironment();
};

// Runs the desktop database tools; tests record the calls instead.
class TCommandRunner {
public:
    virtual ~TCommandRunner() = default;
    // Runs the program when it is installed; false when it is missing or failed.
    virtual bool Run(const QString &program, const QStringList &arguments) = 0;
};

class TProcessRunner : public TCommandRunner {
public:
    bool Run(const QString &program, const QStringList &arguments) override;
};

// Registers the collection file type with a freedesktop desktop: a MIME type
// for the extension, a desktop entry that opens such files with the program,
// and the icons.  Every step writes a file only when its contents change, so
// registering at each end of the program costs nothing once it is done.
// Failures are not reported: registration is a convenience.
class TAssociate {
public:
    TAssociate(TXdgPaths paths, TCommandRunner &runner);

    QString AppName;            // file type identifier, names the desktop entry ("tunebase.desktop")
    QString ExeName;            // full path of the program
    QString IconFile;           // SVG of the program icon (may be a resource path)
    int IconIndex = 0;          // kept for callers; an SVG file has one picture
    QString DocumentIconFile;   // SVG of the collection file icon
    QString Verb = QStringLiteral("Open");
    QString Command;            // the desktop entry's Exec line
    QString Description;        // "MP3 Collection"
    QString MimeType = QStringLiteral("application/x-tunebase-collection");
    bool ShellNew = false;      // no "new empty file" templates on this desktop
    bool QuickView = false;

    // The desktop entry and the program icon.
    void RegisterFileType();
    // The MIME type for the extension, its icon, and the default application
    // for it when the user has none.
    void RegisterExtension(const QString &extension);
    // Rebuilds the desktop's caches for what changed.
    void NotifyAssociationChanged();

    // The extension normalised to ".ext" ("tbx", ".tbx", "name.tbx").
    static QString NormalizeExtension(const QString &extension);
    // Quotes one argument of an Exec line (desktop entry rules).
    static QString QuoteExecArgument(const QString &argument);

    QByteArray DesktopEntryContents() const;
    QByteArray MimePackageContents(const QString &extension) const;

    QString DesktopEntryPath() const;
    QString MimePackagePath() const;
    QString AppIconPath() const;
    QString DocumentIconPath() const;
    QString UserMimeAppsPath() const;

    bool MimeChanged() const { return m_mimeChanged; }
    bool DesktopChanged() const { return m_desktopChanged; }

private:
    QString desktopFileId() const;
    QString iconName() const;
    QString documentIconName() const;
    bool hasDefaultApplication() const;
    void setDefaultApplication();

    TXdgPaths m_paths;
    TCommandRunner &m_runner;
    bool m_mimeChanged = false;
    bool m_desktopChanged = false;
};

namespace fileassociation {

// Writes the file atomically when its contents differ; true when it wrote.
bool WriteIfChanged(const QString &path, const QByteArray &contents);

// Adds "mimeType=desktopId;" to the [Default Applications] group of a
// mimeapps.list text, keeping every other line as it is.
QByteArray WithDefaultApplication(const QByteArray &mimeApps, const QString &mimeType,
                                  const QString &desktopId);
// The default application a mimeapps.list text names for the type, if any.
QString DefaultApplicationIn(const QByteArray &mimeApps, const QString &mimeType);

} // namespace fileassociation
