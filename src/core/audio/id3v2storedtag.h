#pragma once

#include "core/audio/id3v2tag.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// What the start of a file holds in the way of an ID3v2 tag, with the
// facts a writer needs before it may touch the file.
struct StoredID3v2Tag {
    enum class Kind { None, Supported, Unsupported };
    Kind kind = Kind::None;
    int majorVersion = 0;
    int revision = 0;
    quint8 flags = 0;
    qint64 size = 0;            // the header's size: bytes after the 10-byte header
    qint64 extent = 0;          // header, body and footer: where the audio starts
    bool extentKnown = false;   // the size is sound and the tag lies within the file
    bool parsed = false;        // header features understood, frames read
    bool upgradable = true;     // every v2.2 frame has a v2.3 form
    QByteArray raw;             // the tag's bytes as stored, when the extent is known
    TID3FrameList frames;       // v2.2 frames come upgraded to v2.3
    QString problem;            // why the tag cannot be written
};

// Header flags of the tag.
namespace id3v2 {
constexpr quint8 TagUnsynchronised = 0x80;
constexpr quint8 TagExtendedHeader = 0x40;  // v2.2: the tag is compressed
constexpr quint8 TagExperimental = 0x20;
constexpr quint8 TagFooter = 0x10;
constexpr int HeaderSize = 10;
} // namespace id3v2

// Reads the tag at offset 0 of `file`.  False only on a read error.
bool readStoredTag(QIODevice &file, StoredID3v2Tag &tag);
// The same for the tag's field values only: the frames are read in place,
// stepping over the data of pictures and other frames that hold no field
// value (a tag unsynchronised as a whole is read whole), and raw stays
// empty.  Reads a few kilobytes where the tag may hold megabytes.
bool readTagForFields(QIODevice &file, StoredID3v2Tag &tag);
