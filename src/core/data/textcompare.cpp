#include "core/data/textcompare.h"

namespace {

constexpr char16_t foldUnit(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Reorders UTF-16 code units so that comparing them gives code point order:
// surrogates (U+D800..U+DFFF) stand for code points above every BMP unit.
constexpr int codePointRank(char16_t c)
{
    if (c >= 0xE000)
        return c - 0x800;
    if (c >= 0xD800)
        return c + 0x2000;
    return c;
}

} // namespace

QString foldAsciiCase(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(foldUnit(text[i].unicode()));
    return result;
}

int compareAsciiNoCase(QStringView a, QStringView b)
{
    const qsizetype common = qMin(a.size(), b.size());
    const char16_t *unitsA = a.utf16();
    const char16_t *unitsB = b.utf16();
    for (qsizetype i = 0; i < common; ++i) {
        // Equal units need no folding: sorts spend most comparisons in
        // common beginnings.
        if (unitsA[i] == unitsB[i])
            continue;
        const int ca = codePointRank(foldUnit(unitsA[i]));
        const int cb = codePointRank(foldUnit(unitsB[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalsAsciiNoCase(QStringView a, QStringView b)
{
    return a.size() == b.size() && compareAsciiNoCase(a, b) == 0;
}
