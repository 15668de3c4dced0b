#include "id3v2builder.h"

#include <QStringEncoder>

Id3v2Builder::Id3v2Builder(int majorVersion)
    : m_version(majorVersion)
{
}

Id3v2Builder &Id3v2Builder::frame(const QByteArray &id, const QByteArray &data, quint8 statusFlags,
                                  quint8 formatFlags)
{
    m_entries.append({id, data, statusFlags, formatFlags, false});
    return *this;
}

Id3v2Builder &Id3v2Builder::text(const QByteArray &id, const QString &text, int encoding)
{
    return frame(id, char(encoding) + encoded(text, encoding, false));
}

Id3v2Builder &Id3v2Builder::described(const QByteArray &id, const QString &description,
                                      const QString &text, int encoding, const QByteArray &language)
{
    return frame(id, char(encoding) + language + encoded(description, encoding, true)
                         + encoded(text, encoding, false));
}

Id3v2Builder &Id3v2Builder::raw(const QByteArray &bytes)
{
    m_entries.append({QByteArray(), bytes, 0, 0, true});
    return *this;
}

Id3v2Builder &Id3v2Builder::padding(int bytes)
{
    m_padding = bytes;
    return *this;
}

Id3v2Builder &Id3v2Builder::extendedHeader()
{
    m_extendedHeader = true;
    return *this;
}

Id3v2Builder &Id3v2Builder::unsynchronised()
{
    m_unsynchronised = true;
    return *this;
}

Id3v2Builder &Id3v2Builder::dataLengthIndicators()
{
    m_dataLength = true;
    return *this;
}

Id3v2Builder &Id3v2Builder::footer()
{
    m_footer = true;
    return *this;
}

Id3v2Builder &Id3v2Builder::plainFrameSizes()
{
    m_plainSizes = true;
    return *this;
}

Id3v2Builder &Id3v2Builder::sizeField(QByteArray fourBytes)
{
    m_sizeField = fourBytes;
    return *this;
}

Id3v2Builder &Id3v2Builder::revision(int revision)
{
    m_revision = revision;
    return *this;
}

QByteArray Id3v2Builder::frameBytes(const Entry &e) const
{
    if (e.raw)
        return e.data;
    if (m_version == 2) {
        const quint32 n = quint32(e.data.size());
        return e.id + char(n >> 16) + char(n >> 8) + char(n) + e.data;
    }
    QByteArray data = e.data;
    quint8 format = e.format;
    if (m_version >= 4) {
        if (m_dataLength) {
            data.prepend(syncSafe(quint32(e.data.size())));
            format |= 0x01;
        }
        if (m_unsynchronised) {
            data = unsynchronise(data);
            format |= 0x02;
        }
    }
    const quint32 n = quint32(data.size());
    const QByteArray size = m_version >= 4 && !m_plainSizes ? syncSafe(n) : bigEndian(n);
    return e.id + size + char(e.status) + char(format) + data;
}

QByteArray Id3v2Builder::build() const
{
    QByteArray body;
    if (m_extendedHeader) {
        if (m_version >= 4)
            body += syncSafe(6) + QByteArray("\x01\x00", 2);
        else
            body += bigEndian(6) + QByteArray(6, '\0');
    }
    for (const Entry &e : m_entries)
        body += frameBytes(e);
    body += QByteArray(m_padding, '\0');
    quint8 flags = 0;
    if (m_unsynchronised) {
        flags |= 0x80;
        if (m_version < 4)
            body = unsynchronise(body);
    }
    if (m_extendedHeader)
        flags |= 0x40;
    if (m_footer)
        flags |= 0x10;
    const QByteArray size = m_sizeField.value_or(syncSafe(quint32(body.size())));
    QByteArray header = QByteArray("ID3") + char(m_version) + char(m_revision) + char(flags);
    QByteArray tag = header + size + body;
    if (m_footer)
        tag += QByteArray("3DI") + char(m_version) + char(m_revision) + char(flags) + size;
    return tag;
}

QByteArray Id3v2Builder::encoded(const QString &text, int encoding, bool terminated)
{
    QByteArray out;
    switch (encoding) {
    case 1: {
        out = QByteArray("\xFF\xFE", 2);
        QStringEncoder enc(QStringConverter::Utf16LE);
        out += QByteArray(enc(text));
        break;
    }
    case 2: {
        QStringEncoder enc(QStringConverter::Utf16BE);
        out = enc(text);
        break;
    }
    case 3:
        out = text.toUtf8();
        break;
    default:
        out = text.toLatin1();
    }
    if (terminated)
        out += encoding == 1 || encoding == 2 ? QByteArray(2, '\0') : QByteArray(1, '\0');
    return out;
}

QByteArray Id3v2Builder::unsynchronise(const QByteArray &bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (quint8(bytes[i]) != 0xFF)
            continue;
        if (i + 1 == bytes.size() || bytes[i + 1] == 0 || quint8(bytes[i + 1]) >= 0xE0)
            out += '\0';
    }
    return out;
}

QByteArray Id3v2Builder::syncSafe(quint32 v)
{
    return QByteArray() + char((v >> 21) & 0x7F) + char((v >> 14) & 0x7F) + char((v >> 7) & 0x7F)
        + char(v & 0x7F);
}

QByteArray Id3v2Builder::bigEndian(quint32 v)
{
    return QByteArray() + char(v >> 24) + char(v >> 16) + char(v >> 8) + char(v);
}

QList<QByteArray> StoredTagView::ids() const
{
    QList<QByteArray> out;
    for (const StoredFrame &f : frames)
        out += f.id;
    return out;
}

const StoredFrame *StoredTagView::find(const QByteArray &id) const
{
    for (const StoredFrame &f : frames)
        if (f.id == id)
            return &f;
    return nullptr;
}

StoredTagView viewTag(const QByteArray &file)
{
    StoredTagView view;
    if (file.size() < 10 || !file.startsWith("ID3")) {
        view.audio = file;
        return view;
    }
    const auto byte = [&](qsizetype i) { return quint32(quint8(file[i])); };
    view.present = true;
    view.majorVersion = int(byte(3));
    view.flags = quint8(byte(5));
    view.size = (byte(6) << 21) | (byte(7) << 14) | (byte(8) << 7) | byte(9);
    const qint64 end = 10 + view.size;
    qint64 pos = 10;
    while (pos + 10 <= end && file[pos] != 0) {
        const quint32 n = view.majorVersion >= 4
            ? (byte(pos + 4) << 21) | (byte(pos + 5) << 14) | (byte(pos + 6) << 7) | byte(pos + 7)
            : (byte(pos + 4) << 24) | (byte(pos + 5) << 16) | (byte(pos + 6) << 8) | byte(pos + 7);
        if (pos + 10 + qint64(n) > end)
            break;
        view.frames.append({file.mid(pos, 4), file.mid(pos + 10, n), quint8(byte(pos + 8)),
                            quint8(byte(pos + 9))});
        pos += 10 + n;
    }
    view.paddingBytes = end - pos;
    for (qint64 i = pos; i < end && i < file.size(); ++i)
        view.paddingIsZero = view.paddingIsZero && file[i] == 0;
    view.audio = file.mid(end);
    return view;
}

QByteArray fakeAudio(int size, int seed)
{
    QByteArray out;
    out.reserve(size);
    quint32 state = quint32(seed) * 2654435761u + 12345u;
    while (out.size() < size) {
        const int phase = out.size() % 417;
        if (phase == 0)
            out += QByteArray("\xFF\xFB\x90\x64", 4);
        else if (phase == 100)
            out += QByteArray("\xFF\x00\xFF\xE0", 4);
        else {
            state = state * 1103515245u + 12345u;
            out += char(state >> 24);
        }
    }
    out.truncate(size);
    return out;
}
