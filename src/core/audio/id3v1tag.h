#pragma once

#include "core/audio/id3tag.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// The 128-byte ID3v1 / ID3v1.1 tag at the end of an MP3 file.  Text is in
// the legacy tag code page (Windows-1252 unless the settings say other) in
// fixed slots; a track number turns the last two bytes of the comment slot
// into a 0 byte and the track (ID3v1.1).
class TID3v1Tag : public TID3Tag {
public:
    static constexpr int Size = 128;

    QString GetGenre() const override;
    void SetGenre(const QString &text) override;
    bool ReadFromFile(const QString &fileName) override;
    bool WriteToFile(const QString &fileName) override;

    // Takes the fields from 128 tag bytes; false (and cleared) when they are
    // no tag.
    bool readBytes(QByteArrayView bytes);
    // The 128 bytes of the tag the fields describe.  A value the code page
    // cannot hold leaves its slot empty.
    QByteArray toBytes() const;
    // The fields (by their command-line names: "title", "comment") whose
    // value the code page cannot hold, so that writing leaves them out.
    QStringList UnwritableFields() const;

private:
    bool write(const QString &fileName);
    bool remove(const QString &fileName);
};
