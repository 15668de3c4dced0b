#include "core/base/localpath.h"

#include <QStringDecoder>

namespace {

constexpr char16_t FirstEscape = 0xDC80;
constexpr char16_t LastEscape = 0xDCFF;
constexpr char16_t ReplacementCharacter = 0xFFFD;

bool isContinuation(quint8 byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at bytes[i], or 0 when the byte
// there starts none (overlong forms, surrogates and values beyond U+10FFFF
// are not valid).
qsizetype validSequenceAt(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return quint8(bytes[i + k]); };
    const quint8 lead = at(0);
    const qsizetype left = bytes.size() - i;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(at(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(at(1)) || !isContinuation(at(2)))
            return 0;
        if ((lead == 0xE0 && at(1) < 0xA0) || (lead == 0xED && at(1) > 0x9F))
            return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(at(1)) || !isContinuation(at(2)) || !isContinuation(at(3)))
            return 0;
        if ((lead == 0xF0 && at(1) < 0x90) || (lead == 0xF4 && at(1) > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

// Valid UTF-8, a leading byte order mark included: a name may start with one.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes);
}

bool isEscape(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    return u >= FirstEscape && u <= LastEscape && (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()));
}

} // namespace

QByteArray LocalPathBytes(QStringView path)
{
    if (!HasForeignBytes(path))
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isEscape(path, i))
            continue;
        bytes += path.sliced(start, i - start).toUtf8();
        bytes += char(path[i].unicode() - 0xDC00);
        start = i + 1;
    }
    bytes += path.sliced(start).toUtf8();
    return bytes;
}

QString PathFromLocalBytes(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return decodeUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype run = i;
        qsizetype length = 0;
        while (run < bytes.size() && (length = validSequenceAt(bytes, run)) > 0)
            run += length;
        text += decodeUtf8(bytes.sliced(i, run - i));
        if (run < bytes.size())
            text += QChar(char16_t(0xDC00 + quint8(bytes[run++])));
        i = run;
    }
    return text;
}

bool HasForeignBytes(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i)
        if (isEscape(path, i))
            return true;
    return false;
}

QString ReadablePath(const QString &path)
{
    if (!HasForeignBytes(path))
        return path;
    QString text = path;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isEscape(path, i))
            text[i] = QChar(ReplacementCharacter);
    return text;
}

QString PathShownIn(const QString &shown, const QString &original)
{
    return shown == ReadablePath(original) ? original : shown;
}

QString LocalFileUrl(const QString &absolutePath)
{
    return QStringLiteral("file://") + QString::fromLatin1(LocalPathBytes(absolutePath).toPercentEncoding("/"));
}

QStringList ArgumentsFromLocalBytes(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << PathFromLocalBytes(argv[i]);
    return arguments;
}
