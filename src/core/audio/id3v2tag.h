#pragma once

#include "core/audio/id3tag.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

// One frame of an ID3v2 tag: id, flag bytes and data as they are stored
// (after unsynchronisation has been undone).  Frames the program does not
// understand are kept byte for byte.
class TID3Frame {
public:
    TID3Frame() = default;
    TID3Frame(const QByteArray &id, const QByteArray &data);

    // Reads the frame header and data.  False, with no data taken, when the
    // id is invalid or the size reaches beyond `limit` (the end of the tag
    // body; -1 = end of the stream).  v2.4 sizes are 7-bit groups unless
    // `syncSafeSizes` is false (some writers store plain numbers).
    bool ReadFromStream(QIODevice &stream, int majorVersion, qint64 limit = -1);
    // With skipData the data of a frame that holds no field value is
    // stepped over, not read: DataSkipped tells, and Data stays empty.
    bool ReadFromStream(QIODevice &stream, int majorVersion, qint64 limit, bool syncSafeSizes,
                        bool skipData = false);
    bool WriteToStream(QIODevice &stream, int majorVersion) const;
    // Exactly four characters 'A'..'Z' or '0'..'9' (three for ID3v2.2).
    static bool IsValidID(const QByteArray &id);
    // Whether a frame of the id can hold a value of the tag's fields: text,
    // URL, comment and lyrics frames (any version).  Pictures, objects and
    // the other binary frames do not.
    static bool HoldsFieldValue(QByteArrayView id);
    void FreeData();

    void setData(const QByteArray &data);
    // Compressed or encrypted: the contents cannot be read, only kept.
    bool isOpaque(int majorVersion) const;
    // The frame's payload after the bytes its flags add (group id and the
    // like), decompressed where it is compressed; empty for encrypted
    // frames and compressed ones that do not decompress.
    QByteArray content(int majorVersion) const;
    // Replaces the payload, keeping flags and group id; an opaque frame
    // becomes a plain one.
    void setContent(const QByteArray &content, int majorVersion);
    // Undoes v2.4 frame unsynchronisation and drops the data length
    // indicator where the frame is readable, clearing those flag bits.
    void normaliseV24(bool tagUnsynchronised);

    QByteArray FrameID;
    qint32 Size = 0;           // bytes of Data
    quint8 StatusFlags = 0;    // first flag byte
    quint8 FormatFlags = 0;    // second flag byte
    QByteArray Data;
    bool DataSkipped = false;

private:
    qsizetype prefixLength(int majorVersion) const;
    QByteArray decompressed(int majorVersion) const;
};

// The frames of a tag in file order.  Owns its frames.  The getters and
// setters address the frames behind the fields by layout kind; a setter
// leaves a frame untouched when its value does not change, so reading and
// writing back keeps every frame as it was.
class TID3FrameList {
public:
    TID3FrameList() = default;
    TID3FrameList(const TID3FrameList &) = delete;
    TID3FrameList &operator=(const TID3FrameList &) = delete;
    TID3FrameList(TID3FrameList &&) = default;
    TID3FrameList &operator=(TID3FrameList &&) = default;

    void Clear();
    qint64 TotalSize() const;
    // Empties the list and reads frames up to `endPosition`.  True when at
    // least one frame was read.  v2.4 tags with plain frame sizes are
    // recognised.
    bool ReadFromStream(QIODevice &stream, qint64 endPosition, int majorVersion);
    // Reading only for the fields: frames that hold no field value are
    // stepped over and left out of the list.
    void setFieldsOnly(bool fieldsOnly) { m_fieldsOnly = fieldsOnly; }
    bool WriteToStream(QIODevice &stream, int majorVersion) const;
    TID3Frame *FindFrame(const QByteArray &id) const;

    QString GetTextFrame(const QByteArray &id) const;
    // Every value of the first frame with the id (v2.4 separates several
    // by terminators), without empty ones.
    QStringList GetTextFrameValues(const QByteArray &id) const;
    void SetTextFrame(const QByteArray &id, const QString &text);
    QString GetURLFrame(const QByteArray &id) const;
    void SetURLFrame(const QByteArray &id, const QString &url);
    QString GetDescribedFrame(const QByteArray &id, const QString &description) const;
    void SetDescribedFrame(const QByteArray &id, const QString &description, const QString &text);
    QString GetUserURLFrame(const QByteArray &id) const;
    void SetUserURLFrame(const QByteArray &id, const QString &url);

    int majorVersion() const { return m_majorVersion; }
    void setMajorVersion(int version) { m_majorVersion = version; }
    // Whether the last read ended at the end of the tag or at padding,
    // rather than at a frame it could not take.
    bool endedCleanly() const { return m_endedCleanly; }

    int count() const { return int(m_frames.size()); }
    bool isEmpty() const { return m_frames.empty() && m_unreadBytes.isEmpty(); }
    // What followed a frame the last read could not walk past (a bad id or
    // size), kept byte for byte: writing puts it back after the frames.
    const QByteArray &unreadBytes() const { return m_unreadBytes; }
    void setUnreadBytes(const QByteArray &bytes) { m_unreadBytes = bytes; }
    TID3Frame *at(int index) const { return m_frames[index].get(); }
    TID3Frame *append(std::unique_ptr<TID3Frame> frame);
    void remove(const TID3Frame *frame);
    void removeAll(const QByteArray &id);

private:
    bool readFrames(QIODevice &stream, qint64 endPosition, bool syncSafeSizes);
    // The readable content of the first frame with the id; empty if none.
    QByteArray firstContent(const QByteArray &id) const;
    // Gives `frame` the content, or appends a new frame when there is none.
    void putContent(TID3Frame *frame, const QByteArray &id, const QByteArray &content);
    TID3Frame *describedFrame(const QByteArray &id, const QString &description, bool withText) const;
    QString describedText(const TID3Frame &frame, const QString &description, bool *matches) const;

    std::vector<std::unique_ptr<TID3Frame>> m_frames;
    QByteArray m_unreadBytes;
    int m_majorVersion = 3;
    bool m_endedCleanly = true;
    bool m_fieldsOnly = false;
};

// The ID3v2 tag at the start of a file (versions 2.2, 2.3 and 2.4), mapped
// to 26 fields.  Writing keeps every other frame in its place; it writes in
// place when the frames fit into the old tag, else it rewrites the file
// through a temporary file that replaces it only when complete.
class TID3v2Tag : public TID3Tag {
public:
    TID3v2Tag() = default;
    TID3v2Tag(const TID3v2Tag &) = delete;
    TID3v2Tag &operator=(const TID3v2Tag &) = delete;

    QString GetGenre() const override;
    void SetGenre(const QString &text) override;
    bool ReadFromFile(const QString &fileName) override;
    bool WriteToFile(const QString &fileName) override;
    void Clear() override;
    // ReadFromFile on a file opened by the caller (read from its start).
    bool readFromDevice(QIODevice &device);

    // Why the last ReadFromFile or WriteToFile failed (empty after success).
    QString errorString() const { return m_errorString; }
    // The genres as views show them ("(17)" becomes "Rock", "(4)(17)"
    // "Disco; Rock").
    QString genreDisplayText() const;

    QString Genre;
    QString Label;
    QString OrigArtist;
    QString Composer;
    QString Lyricist;
    QString Orchestra;
    QString Conductor;
    QString EncodedBy;
    QString CopyrightBy;
    qint32 BPM = 0;
    QString Subtitle;
    QString Tempo;
    QString Mood;
    QString Situation;
    QString Preference;
    QString Bio;
    QString AudioURL;
    QString ArtistURL;
    QString GeneralURL;
    QString Lyrics;
    TID3FrameList FrameList;
    qint32 MajorVersion = 0;
    qint32 Revision = 0;
    quint8 Flags = 0;

private:
    void takeFieldsFromFrames();
    void putFieldsIntoFrames();
    bool fail(const QString &message);

    QString m_errorString;
};
