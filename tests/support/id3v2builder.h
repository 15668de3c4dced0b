#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Builds ID3v2 tag bytes by hand, written from the format's rules rather
// than from the program's reader, so tests can lay out every structure
// users' files carry: v2.2/v2.3/v2.4 frames, extended headers,
// unsynchronisation, footers, padding, broken sizes.
class Id3v2Builder {
public:
    explicit Id3v2Builder(int majorVersion = 3);

    // A frame with its data as stored; the id has 3 characters for v2.2.
    Id3v2Builder &frame(const QByteArray &id, const QByteArray &data, quint8 statusFlags = 0,
                        quint8 formatFlags = 0);
    // A text frame: encoding byte and text.
    Id3v2Builder &text(const QByteArray &id, const QString &text, int encoding = 0);
    // A "COMM"/"USLT" frame: encoding, language, description, text.
    Id3v2Builder &described(const QByteArray &id, const QString &description, const QString &text,
                            int encoding = 0, const QByteArray &language = "eng");
    // Bytes placed among the frames exactly as given (broken frames).
    Id3v2Builder &raw(const QByteArray &bytes);
    Id3v2Builder &padding(int bytes);
    Id3v2Builder &extendedHeader();
    // Unsynchronises the whole tag (v2.2, v2.3) or every frame (v2.4).
    Id3v2Builder &unsynchronised();
    // v2.4: every frame carries a data length indicator.
    Id3v2Builder &dataLengthIndicators();
    Id3v2Builder &footer();
    // v2.4 frames with plain 32-bit sizes, as one well-known player wrote them.
    Id3v2Builder &plainFrameSizes();
    // The header's size field, whatever the body holds.
    Id3v2Builder &sizeField(QByteArray fourBytes);
    Id3v2Builder &revision(int revision);

    QByteArray build() const;

    static QByteArray encoded(const QString &text, int encoding, bool terminated);
    static QByteArray unsynchronise(const QByteArray &bytes);
    static QByteArray syncSafe(quint32 value);
    static QByteArray bigEndian(quint32 value);

private:
    struct Entry {
        QByteArray id;
        QByteArray data;
        quint8 status = 0;
        quint8 format = 0;
        bool raw = false;
    };
    QByteArray frameBytes(const Entry &entry) const;

    int m_version;
    int m_revision = 0;
    QList<Entry> m_entries;
    int m_padding = 0;
    bool m_extendedHeader = false;
    bool m_unsynchronised = false;
    bool m_dataLength = false;
    bool m_footer = false;
    bool m_plainSizes = false;
    std::optional<QByteArray> m_sizeField;
};

// A frame found by walking a (plain, v2.3/v2.4) tag at the start of a file.
struct StoredFrame {
    QByteArray id;
    QByteArray data;
    quint8 statusFlags = 0;
    quint8 formatFlags = 0;
    bool operator==(const StoredFrame &) const = default;
};

// The tag at the start of `file` in the simplest reading: no unsynchronisation,
// no extended header.  Used to check what the program wrote.
struct StoredTagView {
    bool present = false;
    int majorVersion = 0;
    quint8 flags = 0;
    qint64 size = 0;        // the header's size field
    QList<StoredFrame> frames;
    qint64 paddingBytes = 0;
    bool paddingIsZero = true;
    QByteArray audio;       // everything after the tag
    QList<QByteArray> ids() const;
    const StoredFrame *find(const QByteArray &id) const;
};
StoredTagView viewTag(const QByteArray &file);

// Bytes that look like MPEG audio: frame syncs, 0xFF 0x00 and 0xFF 0xE0
// pairs, so any unsynchronisation or offset error shows.
QByteArray fakeAudio(int size, int seed = 1);

// The bytes of a string literal, embedded 0 bytes included, without the
// terminator the compiler adds: bytes("\x00" "abc") has 4 bytes.
template <qsizetype N>
QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}
