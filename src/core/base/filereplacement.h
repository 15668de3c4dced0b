#pragma once

#include <QString>

#include <memory>

class QIODevice;

// Whether the file's owner may write it.  A file whose owner write bit is
// clear was protected by its user: the program leaves it alone even when it
// runs as root, who could write it anyway.
bool OwnerMayWrite(const QString &fileName);

// Gives a file new contents and changes nothing else about it.  A file
// that does not exist yet is created; an existing one (a symbolic link's
// target) keeps its owner and group (as far as the user may set them),
// every mode bit (set-user-ID, set-group-ID and sticky included) and its
// extended attributes.  A file with one name is written beside itself and
// renamed over the old one only once complete.  A file with several hard
// links is written in place, so that every name sees the new contents;
// a copy of the old contents beside it, removed after success, puts the
// file back should the writing fail.  Files whose owner may not write them
// (OwnerMayWrite) are refused.
class TFileReplacement {
public:
    explicit TFileReplacement(const QString &fileName);
    ~TFileReplacement();  // an uncommitted replacement is cancelled
    TFileReplacement(const TFileReplacement &) = delete;
    TFileReplacement &operator=(const TFileReplacement &) = delete;

    bool open();
    // Where the new contents go, from the start.
    QIODevice &device();
    // Where the old contents can be read while the new ones are written:
    // the file itself, or the copy when the file is written in place.
    QString oldContentsPath() const;
    // Makes the new contents the file's; false (the old contents kept)
    // when that fails.
    bool commit();
    void cancel();
    QString errorString() const;

private:
    class TWay;
    class TBesideWay;
    class TInPlaceWay;

    bool fail(const QString &message);

    QString m_fileName;
    std::unique_ptr<TWay> m_way;
    QString m_error;
};
