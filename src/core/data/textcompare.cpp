#include "core/data/textcompare.h"

#include <QCollator>
#include <QLocale>

#include <optional>

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

// The C locale has no collation of its own (Qt compares code points
// there); its readers get the Unicode default order, which English uses.
QLocale collationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

// Opening a collation is costly, so each thread keeps one, made again only
// when the program's language changes.
const QCollator &sortingCollator()
{
    thread_local std::optional<QCollator> collator;
    const QLocale locale = collationLocale();
    if (!collator || collator->locale() != locale) {
        collator.emplace(locale);
        collator->setCaseSensitivity(Qt::CaseInsensitive);
        collator->setNumericMode(true);
    }
    return *collator;
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

int compareForSorting(QStringView a, QStringView b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? (b.isEmpty() ? 0 : -1) : 1;
    return sortingCollator().compare(a, b);
}

QCollatorSortKey sortingKey(const QString &text)
{
    return sortingCollator().sortKey(text);
}
