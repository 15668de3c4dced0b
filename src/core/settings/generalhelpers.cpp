#include "core/settings/generalhelpers.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

QString FormatVersionText(int major, int minor, int release, int build, bool withRelease,
                          const QString &suffix, QString *buildText)
{
    QString version = withRelease && release != 0
                          ? QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release)
                          : QStringLiteral("%1.%2").arg(major).arg(minor);
    if (!suffix.isEmpty())
        version += QLatin1Char(' ') + suffix;
    if (buildText)
        *buildText = QString::number(build);
    return version;
}

QString GetVersionText(bool withRelease, const QString &suffix, QString *buildText)
{
    return FormatVersionText(TUNEBASE_VERSION_MAJOR, TUNEBASE_VERSION_MINOR, TUNEBASE_VERSION_PATCH,
                             TUNEBASE_VERSION_BUILD + 0, withRelease, suffix, buildText);
}

QString GetAppFolder()
{
    // Tests and tools may run without an application object; the kernel
    // still knows where the executable lives.
    const QString folder = QCoreApplication::instance()
                               ? QCoreApplication::applicationDirPath()
                               : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return IncludeTrailingDelimiter(folder);
}

QString IncludeTrailingDelimiter(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString MakeSafeFileName(const QString &text)
{
    static const QString unsafe = QStringLiteral("\"*/:<>?\\|");
    QString result = text;
    for (QChar &c : result)
        if (unsafe.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return result;
}

QString BoolToYesNo(bool b)
{
    return b ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString SpacesToPlus(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1Char(' '), QLatin1Char('+'));
}

QString LineBreaksToHtml(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("<BR>"));
    result.replace(QLatin1Char('\n'), QLatin1String("<BR>"));
    result.replace(QLatin1Char('\r'), QLatin1String("<BR>"));
    return result;
}

QString Plural(const QString &word, qint64 count)
{
    if (count == 1)
        return word;
    return word + (word.endsWith(QLatin1Char('s')) ? QLatin1String("es") : QLatin1String("s"));
}

int CompareInt(qint64 a, qint64 b)
{
    return a > b ? 1 : (a < b ? -1 : 0);
}

int CompareFloat(double a, double b)
{
    const bool aNan = std::isnan(a);
    const bool bNan = std::isnan(b);
    if (aNan || bNan)
        return aNan == bNan ? 0 : (aNan ? -1 : 1);
    return a > b ? 1 : (a < b ? -1 : 0);
}

int MinInt(int a, int b)
{
    return std::min(a, b);
}

int MaxInt(int a, int b)
{
    return std::max(a, b);
}

QStringList SplitTextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}
