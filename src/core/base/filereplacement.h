#pragma once

#include <QString>

#include <memory>

class QIODevice;

// Whether the file's owner may write it.  A file whose owner write bit is
// clear was protected by its user: the program leaves it alone even when it
// runs as root, who could write it anyway.
bool OwnerMayWrite(const QString &fileName);

// Why a file the program names for itself is not written: a symbolic link
// is in its place.
QString LinkInPlaceOfOwnFile(const QString &fileName);

// Gives a file new contents and changes nothing else about it.  A file
// that does not exist yet is created; an existing one (a symbolic link's
// target) keeps its owner and group (as far as the user may set them),
// every mode bit (set-user-ID, set-group-ID and sticky included) and its
// extended attributes.  A file with one name is written beside itself and
// renamed over the old one only once complete.  A file with several hard
// links is written in place, so that every name sees the new contents;
// a copy of the old contents beside it, removed after success, puts the
// file back should the writing fail, or should the writer be killed (the
// next program that opens the file puts it back: see besidefiles.h).
// Files whose owner may not write them (OwnerMayWrite) are refused.
//
// A file the program names for itself (a scan index beside a collection,
// the play list it hands to the player) is never written through a link:
// a symbolic link in its place is refused, and a hard link gets a new file
// under the name rather than new contents for every name.
class TFileReplacement {
public:
    enum class TNamedBy { User, Program };

    explicit TFileReplacement(const QString &fileName, TNamedBy namedBy = TNamedBy::User);
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
    TNamedBy m_namedBy;
    std::unique_ptr<TWay> m_way;
    QString m_error;
};
