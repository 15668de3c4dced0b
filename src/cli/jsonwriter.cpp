#include "cli/jsonwriter.h"

#include "core/base/localpath.h"

#include <QTextStream>

namespace {

// JSON is Unicode text: a byte of a file name that is not UTF-8 is written
// as U+FFFD.
QString quoted(const QString &value)
{
    const QString text = ReadablePath(value);
    QString result;
    result.reserve(text.size() + 2);
    result += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': result += QLatin1String("\\\""); break;
        case '\\': result += QLatin1String("\\\\"); break;
        case '\n': result += QLatin1String("\\n"); break;
        case '\r': result += QLatin1String("\\r"); break;
        case '\t': result += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                result += c;
        }
    }
    result += QLatin1Char('"');
    return result;
}

} // namespace

TJsonWriter::TJsonWriter(QTextStream &out)
    : m_out(out)
{
}

void TJsonWriter::newLine()
{
    m_out << '\n' << QString(2 * m_hasElements.size(), QLatin1Char(' '));
}

void TJsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_hasElements.isEmpty())
        return;
    if (m_hasElements.last())
        m_out << ',';
    m_hasElements.last() = true;
    newLine();
}

void TJsonWriter::open(char bracket)
{
    beforeValue();
    m_out << bracket;
    m_hasElements.append(false);
}

void TJsonWriter::close(char bracket)
{
    const bool hadElements = m_hasElements.takeLast();
    if (hadElements)
        newLine();
    m_out << bracket;
}

void TJsonWriter::beginObject()
{
    open('{');
}

void TJsonWriter::endObject()
{
    close('}');
}

void TJsonWriter::beginArray()
{
    open('[');
}

void TJsonWriter::endArray()
{
    close(']');
}

void TJsonWriter::key(const QString &name)
{
    beforeValue();
    m_out << quoted(name) << ": ";
    m_afterKey = true;
}

void TJsonWriter::value(const QString &text)
{
    beforeValue();
    m_out << quoted(text);
}

void TJsonWriter::value(qint64 number)
{
    beforeValue();
    m_out << number;
}

void TJsonWriter::value(bool flag)
{
    beforeValue();
    m_out << (flag ? "true" : "false");
}

void TJsonWriter::finish()
{
    m_out << '\n';
}
