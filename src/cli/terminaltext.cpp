#include "cli/terminaltext.h"

#include "core/base/localpath.h"

#include <algorithm>

namespace {

bool isBidiControl(char16_t u)
{
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

bool needsEscape(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || isBidiControl(u);
}

QString escapeOf(char16_t u)
{
    switch (u) {
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    const QString digits = QString::number(unsigned(u), 16).toUpper();
    if (u <= 0xFF)
        return QStringLiteral("\\x") + digits.rightJustified(2, QLatin1Char('0'));
    return QStringLiteral("\\u") + digits.rightJustified(4, QLatin1Char('0'));
}

} // namespace

QString EscapeControls(const QString &raw)
{
    // A byte of a file name that is not UTF-8 shows as U+FFFD.
    const QString value = ReadablePath(raw);
    if (std::none_of(value.cbegin(), value.cend(), [](QChar c) { return needsEscape(c.unicode()); }))
        return value;
    QString text;
    text.reserve(value.size() + 8);
    for (const QChar c : value)
        text += needsEscape(c.unicode()) ? escapeOf(c.unicode()) : QString(c);
    return text;
}
