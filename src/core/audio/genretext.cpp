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

} // namespace

QString genreDisplayText(const QString &tcon)
{
    const QString text = tcon.trimmed();
    if (isNumber(text)) {
        const QString name = referenceName(text);
        return name.isEmpty() ? text : name;
    }
    QString lastName;
    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == u'(' && !text.mid(pos).startsWith(u"((")) {
        const qsizetype close = text.indexOf(u')', pos);
        if (close < 0)
            break;
        const QString name = referenceName(QStringView(text).sliced(pos + 1, close - pos - 1));
        if (name.isEmpty())
            break;  // not a reference: the rest is plain text
        lastName = name;
        pos = close + 1;
    }
    QString refinement = text.mid(pos).trimmed();
    if (refinement.startsWith(u"(("))
        refinement.remove(0, 1);
    if (!refinement.isEmpty())
        return refinement;
    return lastName.isEmpty() ? text : lastName;
}
