#include "collectionbytes.h"

#include <QtEndian>

#include <cstring>

TCollectionBytes &TCollectionBytes::integer(qint32 value)
{
    if (value >= -128 && value <= 127) {
        m_data.append('\x02').append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        char le[2];
        qToLittleEndian(qint16(value), le);
        m_data.append('\x03').append(le, 2);
    } else {
        int32(value);
    }
    return *this;
}

TCollectionBytes &TCollectionBytes::int32(qint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    m_data.append('\x04').append(le, 4);
    return *this;
}

TCollectionBytes &TCollectionBytes::stringBytes(const QByteArray &bytes)
{
    if (bytes.size() <= 255) {
        m_data.append('\x06').append(char(quint8(bytes.size())));
    } else {
        char le[4];
        qToLittleEndian(quint32(bytes.size()), le);
        m_data.append('\x0c').append(le, 4);
    }
    m_data.append(bytes);
    return *this;
}

TCollectionBytes &TCollectionBytes::string(const QString &text)
{
    return stringBytes(text.toUtf8());
}

TCollectionBytes &TCollectionBytes::rawString(const QByteArray &bytes)
{
    return stringBytes(bytes);
}

TCollectionBytes &TCollectionBytes::scrambled(const QString &text)
{
    return stringBytes(scramble(text.toUtf8()));
}

TCollectionBytes &TCollectionBytes::rawScrambled(const QByteArray &bytes)
{
    return stringBytes(scramble(bytes));
}

TCollectionBytes &TCollectionBytes::boolean(bool value)
{
    m_data.append(value ? '\x09' : '\x08');
    return *this;
}

TCollectionBytes &TCollectionBytes::date(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char le[8];
    qToLittleEndian(bits, le);
    m_data.append('\x11').append(le, 8);
    return *this;
}

TCollectionBytes &TCollectionBytes::list()
{
    m_data.append('\x01');
    return *this;
}

TCollectionBytes &TCollectionBytes::end()
{
    m_data.append('\x00');
    return *this;
}

TCollectionBytes &TCollectionBytes::bytes(const QByteArray &raw)
{
    m_data.append(raw);
    return *this;
}

TCollectionBytes &TCollectionBytes::header(qint32 formatVersion, qint32 dataVersion, const QString &type)
{
    return string(QStringLiteral("Brimlow")).string(type).integer(formatVersion).integer(dataVersion);
}

TCollectionBytes &TCollectionBytes::reservedBlock()
{
    return date(0.0).list().end();
}

TCollectionBytes &TCollectionBytes::track(const TTrackRecord &r)
{
    integer(r.ID).integer(r.Index);
    string(r.Title).string(r.TitleSort).string(r.TitleThe).string(r.SubTitle);
    for (const qint32 id : r.References)
        integer(id);
    list();
    for (const qint32 id : r.Genres)
        integer(id);
    end();
    for (const QString &text : r.Texts)
        string(text);
    integer(r.TrackIndex).integer(r.DiskIndex).integer(r.BPM);
    integer(r.LocationID).string(r.FilePath);
    for (const qint32 value : {r.Size, r.Length, r.MpegVersion, r.Layer, r.Mode, r.Bitrate, r.Frames,
                               r.HeaderPosition, r.SampleRate})
        integer(value);
    boolean(r.VBR).boolean(r.CRCs).boolean(r.Copyrighted).boolean(r.Original);
    return integer(r.Emphasis);
}

TCollectionBytes &TCollectionBytes::emptyLists(int count)
{
    for (int i = 0; i < count; ++i)
        list().end();
    return *this;
}

QByteArray TCollectionBytes::scramble(const QByteArray &bytes)
{
    static const quint8 key[8] = {0x5A, 0x3C, 0x91, 0x07, 0xE4, 0x2B, 0x6D, 0xB8};
    QByteArray result = bytes;
    for (qsizetype i = 0; i < result.size(); ++i)
        result[i] = char(quint8(result[i]) ^ key[(i + 1) % 8]);
    return result;
}
