#include "core/audio/genretext.h"

#include "core/audio/id3tag.h"

namespace {

// The name of one reference: a genre number, "RX" or "CR"; empty if unknown.
QString referenceName(QStringView reference)
{
    if (reference == u"RX")
        return QStringLiteral("Remix");
    if (reference == u"CR")
        return QStringLiteral("Cover");
    bool ok = false;
    const int index = reference.toInt(&ok);
    if (!ok || index < 0 || index >= GenreCount)
        return QString();
    return GenreList().at(index);
}

bool isNumber(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

void addOnce(QStringList &names, const QString &name)
{
    if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
        names.append(name);
}

// The genres of one value: references in parentheses, then a refinement.
void addGenresOf(QStringView value, QStringList &names)
{
    value = value.trimmed();
    if (isNumber(value)) {
        const QString name = referenceName(value);
        addOnce(names, name.isEmpty() ? value.toString() : name);
        return;
    }
    qsizetype pos = 0;
    while (pos < value.size() && value[pos] == u'(' && !value.sliced(pos).startsWith(u"((")) {
        const qsizetype close = value.indexOf(u')', pos);
        if (close < 0)
            break;
        const QString name = referenceName(value.sliced(pos + 1, close - pos - 1));
        if (name.isEmpty())
            break;  // not a reference: the rest is plain text
        addOnce(names, name);
        pos = close + 1;
    }
    QString refinement = value.sliced(pos).trimmed().toString();
    if (refinement.startsWith(u"(("))
        refinement.remove(0, 1);
    addOnce(names, refinement);
}

// The ID3v1 genre number of a name, -1 if it is none.
int genreIndexOf(const QString &name)
{
    for (int i = 0; i < GenreCount; ++i)
        if (GenreList().at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

QStringList genreNames(const QString &tcon)
{
    QStringList names;
    for (const QStringView value : QStringView(tcon).tokenize(u';'))
        for (const QStringView part : value.tokenize(QChar(0)))
            addGenresOf(part, names);
    return names;
}

QString genreDisplayText(const QString &tcon)
{
    return genreNames(tcon).join(GenreSeparator);
}

QString genreFrameText(const QStringList &names, int majorVersion)
{
    if (names.size() == 1)
        return names.first();
    if (majorVersion < 4) {
        QString references;
        qsizetype i = 0;
        for (; i < names.size(); ++i) {
            const int index = genreIndexOf(names.at(i));
            if (index < 0)
                break;
            references += QStringLiteral("(%1)").arg(index);
        }
        const QString &last = names.constLast();
        if (i == names.size())
            return references;
        if (i == names.size() - 1 && i > 0)
            return references + (last.startsWith(u'(') ? QStringLiteral("(") + last : last);
    }
    return names.join(QChar(0));
}
