#include "core/base/legacytext.h"

#include "core/base/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <atomic>

namespace {

const QString Windows1252 = QStringLiteral("windows-1252");

// The index into LegacyTagEncodings() of the current code page.
std::atomic<int> current{0};

int indexOf(const QString &name)
{
    QString wanted = name.trimmed();
    if (wanted.startsWith(QLatin1String("cp"), Qt::CaseInsensitive) && wanted.size() == 6)
        wanted = QStringLiteral("windows-") + wanted.mid(2);
    const QList<TLegacyEncoding> &all = LegacyTagEncodings();
    for (qsizetype i = 0; i < all.size(); ++i)
        if (all.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

// A converter per call: converters are cheap to open (the converter library
// keeps its tables), and one of them must never carry state from one text
// to the next.
QByteArray nameAt(int index)
{
    return LegacyTagEncodings().at(index).name.toLatin1();
}

} // namespace

const QList<TLegacyEncoding> &LegacyTagEncodings()
{
    static const QList<TLegacyEncoding> encodings = {
        {Windows1252, QStringLiteral("Windows-1252 (Western Europe)")},
        {QStringLiteral("windows-1250"), QStringLiteral("Windows-1250 (Central Europe)")},
        {QStringLiteral("ISO-8859-2"), QStringLiteral("ISO-8859-2 (Central Europe)")},
        {QStringLiteral("windows-1251"), QStringLiteral("Windows-1251 (Cyrillic)")},
        {QStringLiteral("KOI8-R"), QStringLiteral("KOI8-R (Russian)")},
        {QStringLiteral("ISO-8859-5"), QStringLiteral("ISO-8859-5 (Cyrillic)")},
        {QStringLiteral("windows-1253"), QStringLiteral("Windows-1253 (Greek)")},
        {QStringLiteral("ISO-8859-7"), QStringLiteral("ISO-8859-7 (Greek)")},
        {QStringLiteral("windows-1254"), QStringLiteral("Windows-1254 (Turkish)")},
        {QStringLiteral("windows-1257"), QStringLiteral("Windows-1257 (Baltic)")},
        {QStringLiteral("Shift_JIS"), QStringLiteral("Shift_JIS (Japanese)")},
        {QStringLiteral("GBK"), QStringLiteral("GBK (Simplified Chinese)")},
        {QStringLiteral("Big5"), QStringLiteral("Big5 (Traditional Chinese)")},
        {QStringLiteral("EUC-KR"), QStringLiteral("EUC-KR (Korean)")},
    };
    return encodings;
}

QString DefaultLegacyTagEncoding()
{
    return Windows1252;
}

QString LegacyTagEncodingNamed(const QString &name)
{
    const int index = indexOf(name);
    return index < 0 ? QString() : LegacyTagEncodings().at(index).name;
}

bool SetLegacyTagEncoding(const QString &name)
{
    const int index = indexOf(name);
    if (index < 0)
        return false;
    current = index;
    return true;
}

QString LegacyTagEncoding()
{
    return LegacyTagEncodings().at(current).name;
}

bool LegacyTagEncodingIsDefault()
{
    return current == 0;
}

QString decodeLegacyText(QByteArrayView bytes)
{
    const int index = current;
    if (index == 0)
        return decodeWindows1252(bytes);
    QStringDecoder decoder(nameAt(index).constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeLegacyText(QStringView text)
{
    const int index = current;
    if (index == 0) {
        if (!fitsWindows1252(text))
            return std::nullopt;
        return encodeWindows1252(text);
    }
    QStringEncoder encoder(nameAt(index).constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}
