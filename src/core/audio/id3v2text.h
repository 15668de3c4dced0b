#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The four text encodings an ID3v2 frame announces in its first data byte,
// and the byte-level helpers the tag reader and writer share.
namespace id3v2 {

enum TextEncoding : quint8 {
    Latin1 = 0,   // ISO-8859-1, terminated by one 0 byte
    Utf16 = 1,    // UTF-16 with byte order mark, terminated by two 0 bytes
    Utf16BE = 2,  // UTF-16 big endian without mark (v2.4)
    Utf8 = 3,     // UTF-8 (v2.4)
};

bool isValidEncoding(int encoding);

// A string of a frame ends at its terminator (or at the end of the data).
struct EncodedString {
    QByteArrayView bytes;  // without the terminator
    qsizetype next = 0;    // offset just after the terminator
};
EncodedString nextString(QByteArrayView data, qsizetype offset, int encoding);

QString decode(QByteArrayView bytes, int encoding);
QByteArray encode(const QString &text, int encoding, bool terminated);

bool isLatin1(const QString &text);
// ISO-8859-1 when every text fits, else the Unicode encoding the version
// understands: UTF-16 with BOM in v2.3, UTF-8 in v2.4.
int encodingFor(const QStringList &texts, int majorVersion);

// URLs are ISO-8859-1 by definition; other characters are percent-encoded.
QByteArray encodeUrl(const QString &url);

// Removes characters 0..32 at both ends (what old taggers pad with).
QString trimmedControls(const QString &text);

// Tag and frame sizes of 4 bytes holding 7 bits each.
quint32 syncSafe(QByteArrayView fourBytes);
bool isSyncSafe(QByteArrayView fourBytes);
QByteArray toSyncSafe(quint32 value);
quint32 bigEndian32(QByteArrayView fourBytes);
QByteArray toBigEndian32(quint32 value);
constexpr quint32 MaxSyncSafe = 0x0FFFFFFF;

// Reverses unsynchronisation (0xFF 0x00 becomes 0xFF).  Returns false, and
// leaves `out` empty, when the bytes hold a false sync (0xFF followed by
// 0xE0 or more): then they were never unsynchronised, whatever the flag says.
bool undoUnsynchronisation(QByteArrayView in, QByteArray &out);

} // namespace id3v2
