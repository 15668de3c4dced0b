#pragma once

#include <QString>
#include <QStringList>

// Base of the two tag kinds a file carries (ID3v1 at the end, ID3v2 at the
// start).  Consumers ask Available() before taking values from a tag.
class TID3Tag {
public:
    TID3Tag() = default;
    virtual ~TID3Tag() = default;
    TID3Tag(const TID3Tag &) = default;
    TID3Tag &operator=(const TID3Tag &) = default;

    virtual QString GetGenre() const = 0;
    virtual void SetGenre(const QString &text) = 0;
    // Reads the tag from the file; returns Exists.  Never throws.
    virtual bool ReadFromFile(const QString &fileName) = 0;
    // Writes the tag when Enabled, else removes it.  Returns success; a
    // failure leaves the file as it was.  Never throws.
    virtual bool WriteToFile(const QString &fileName) = 0;
    // Resets every field but Enabled.
    virtual void Clear();

    bool Available() const { return Exists && Enabled; }

    QString Artist;
    QString Album;
    QString Comment;
    qint32 Track = 0;          // 0 = none
    QString Title;
    QString Year;
    qint32 GenreIndex = -1;    // index into GenreList (ID3v1 only), 0..147; -1 = none
    bool Exists = false;
    bool Enabled = true;
    qint32 TagSize = 0;        // bytes the tag occupies in the file
};

// The 148 ID3v1 genre names, indexed 0..147.  Index 12 ("Other") is the
// fallback genre.
const QStringList &GenreList();
constexpr int GenreCount = 148;
constexpr int GenreOther = 12;
