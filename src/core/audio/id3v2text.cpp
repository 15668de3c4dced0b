#include "core/audio/id3v2text.h"

#include "core/base/legacytext.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <QUrl>

namespace id3v2 {

namespace {

bool isWide(int encoding)
{
    return encoding == Utf16 || encoding == Utf16BE;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndianByDefault)
{
    bool bigEndian = bigEndianByDefault;
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<uchar>(bytes[0]);
        const auto b1 = static_cast<uchar>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            bigEndian = false;
            bytes = bytes.sliced(2);
        } else if (b0 == 0xFE && b1 == 0xFF) {
            bigEndian = true;
            bytes = bytes.sliced(2);
        }
    }
    QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

bool isValidEncoding(int encoding)
{
    return encoding >= Latin1 && encoding <= Utf8;
}

EncodedString nextString(QByteArrayView data, qsizetype offset, int encoding)
{
    if (offset >= data.size())
        return {QByteArrayView(), data.size()};
    if (isWide(encoding)) {
        for (qsizetype i = offset; i + 1 < data.size(); i += 2)
            if (data[i] == 0 && data[i + 1] == 0)
                return {data.sliced(offset, i - offset), i + 2};
        return {data.sliced(offset), data.size()};
    }
    const qsizetype end = data.indexOf('\0', offset);
    if (end < 0)
        return {data.sliced(offset), data.size()};
    return {data.sliced(offset, end - offset), end + 1};
}

QString decode(QByteArrayView bytes, int encoding)
{
    switch (encoding) {
    case Latin1:
        // Old taggers put their own code page where ISO-8859-1 belongs: the
        // legacy code page, when the user chose one, reads them.
        return LegacyTagEncodingIsDefault() ? QString::fromLatin1(bytes) : decodeLegacyText(bytes);
    case Utf16:
        // A missing mark is taken as little endian, as most writers produce.
        return decodeUtf16(bytes, false);
    case Utf16BE:
        return decodeUtf16(bytes, true);
    case Utf8:
        return QString::fromUtf8(bytes);
    default:
        return QString();
    }
}

QByteArray encode(const QString &text, int encoding, bool terminated)
{
    QByteArray out;
    switch (encoding) {
    case Utf16: {
        out = QByteArray("\xFF\xFE", 2);
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        out += encoder.encode(text);
        break;
    }
    case Utf16BE: {
        QStringEncoder encoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        out = encoder.encode(text);
        break;
    }
    case Utf8:
        out = text.toUtf8();
        break;
    default:
        out = text.toLatin1();
        break;
    }
    if (terminated)
        out.append(isWide(encoding) ? 2 : 1, '\0');
    return out;
}

bool isLatin1(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

int encodingFor(const QStringList &texts, int majorVersion)
{
    // While ISO-8859-1 frames are read in a legacy code page, only ASCII
    // reads back the same from them.
    const char16_t limit = LegacyTagEncodingIsDefault() ? 0xFF : 0x7F;
    for (const QString &t : texts)
        for (QChar c : t)
            if (c.unicode() > limit)
                return majorVersion >= 4 ? Utf8 : Utf16;
    return Latin1;
}

QByteArray encodeUrl(const QString &url)
{
    if (isLatin1(url))
        return url.toLatin1();
    // Keep every ASCII character (reserved ones included) as it is.
    QByteArray out;
    for (QChar c : url) {
        if (c.unicode() < 0x80)
            out += char(c.unicode());
        else
            out += QUrl::toPercentEncoding(QString(c));
    }
    return out;
}

QString trimmedControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

quint32 syncSafe(QByteArrayView b)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 7) | (static_cast<uchar>(b[i]) & 0x7F);
    return v;
}

bool isSyncSafe(QByteArrayView b)
{
    for (int i = 0; i < 4; ++i)
        if (static_cast<uchar>(b[i]) & 0x80)
            return false;
    return true;
}

QByteArray toSyncSafe(quint32 value)
{
    QByteArray out(4, '\0');
    for (int i = 3; i >= 0; --i) {
        out[i] = char(value & 0x7F);
        value >>= 7;
    }
    return out;
}

quint32 bigEndian32(QByteArrayView b)
{
    return qFromBigEndian<quint32>(b.data());
}

QByteArray toBigEndian32(quint32 value)
{
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

bool undoUnsynchronisation(QByteArrayView in, QByteArray &out)
{
    out.clear();
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const auto c = static_cast<uchar>(in[i]);
        out += char(c);
        if (c != 0xFF || i + 1 >= in.size())
            continue;
        const auto next = static_cast<uchar>(in[i + 1]);
        if (next == 0x00)
            ++i;  // the inserted zero byte
        else if (next >= 0xE0) {
            out.clear();
            return false;
        }
    }
    return true;
}

} // namespace id3v2
