#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

// Keeps a second copy of the program from running.  The first copy holds a
// lock file in the user's runtime folder for the whole run; a lock left by a
// copy that crashed is detected (its process is gone) and taken over.
class TInstanceChecker {
public:
    explicit TInstanceChecker(QString runtimeFolder = QString());
    ~TInstanceChecker();

    // True when no other running copy holds the name.  The first copy keeps
    // the lock until this object is destroyed.
    bool IsFirstInstance(const QString &name);

    // Where the first copy listens for a second one (a local socket path).
    QString ServerName(const QString &name) const;
    QString LockFileName(const QString &name) const;

private:
    QString fileStem(const QString &name) const;

    QString m_runtimeFolder;
    std::unique_ptr<QLockFile> m_lock;
};

// What a second copy hands to the first: bring the window to the front and,
// when the second copy was started with a collection file, that file.
struct THandover {
    bool Activate = true;
    QString FileName;

    QByteArray Encode() const;
    // Nothing for a message that is not a handover.
    static std::optional<THandover> Decode(const QByteArray &message);
    static constexpr qsizetype MaxSize = 64 * 1024;
};
