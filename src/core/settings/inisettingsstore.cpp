#include "core/settings/inisettingsstore.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QChar SectionSeparator = QLatin1Char('\\');

bool needsNameEscape(QChar c, qsizetype position)
{
    return c == QLatin1Char('%') || c == QLatin1Char('=') || c < QLatin1Char(' ') || c == QChar(0x7F)
           || (position == 0 && c == QLatin1Char('['));
}

bool isControl(QChar c)
{
    return c < QLatin1Char(' ') || c == QChar(0x7F);
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The character a two-digit hex code at `text[i]` stands for, or -1.
int hexCodeAt(const QString &text, qsizetype i)
{
    if (i + 1 >= text.size())
        return -1;
    const int high = hexDigit(text.at(i));
    const int low = hexDigit(text.at(i + 1));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

QString hexCode(QChar c)
{
    return QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}

QChar unescapedChar(QChar c)
{
    switch (c.unicode()) {
    case 'n': return QLatin1Char('\n');
    case 'r': return QLatin1Char('\r');
    case 't': return QLatin1Char('\t');
    default: return c;  // \\ and \" and anything unknown stand for themselves
    }
}

QString unescapeQuoted(const QString &inner)
{
    QString value;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const QChar c = inner.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= inner.size()) {
            value += c;
            continue;
        }
        const QChar next = inner.at(++i);
        const int code = next == QLatin1Char('x') ? hexCodeAt(inner, i + 1) : -1;
        if (code >= 0) {
            value += QChar(code);
            i += 2;
        } else {
            value += unescapedChar(next);
        }
    }
    return value;
}

bool startsWithIgnoringCase(const QString &text, const QString &prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

TIniSettingsStore::TIniSettingsStore(const QString &fileName)
    : m_ini(fileName)
{
    m_ini.SetLineBreak("\n");
    m_ini.SetFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (m_ini.ReadFailed())
        qWarning().noquote() << "Settings file" << fileName << "could not be read:" << m_ini.ErrorString();
}

TIniSettingsStore::~TIniSettingsStore()
{
    if (!Flush())
        qWarning().noquote() << "Settings could not be saved to" << FileName() << ":" << ErrorString();
}

QString TIniSettingsStore::EncodeName(const QString &name)
{
    QString encoded;
    for (qsizetype i = 0; i < name.size(); ++i)
        encoded += needsNameEscape(name.at(i), i) ? QLatin1Char('%') + hexCode(name.at(i)) : QString(name.at(i));
    return encoded;
}

QString TIniSettingsStore::DecodeName(const QString &name)
{
    QString decoded;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const int code = name.at(i) == QLatin1Char('%') ? hexCodeAt(name, i + 1) : -1;
        if (code >= 0) {
            decoded += QChar(code);
            i += 2;
        } else {
            decoded += name.at(i);
        }
    }
    return decoded;
}

QString TIniSettingsStore::EncodeValue(const QString &value)
{
    if (!value.startsWith(QLatin1Char('"')) && std::none_of(value.cbegin(), value.cend(), isControl))
        return value;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': quoted += QLatin1String("\\\\"); break;
        case '"': quoted += QLatin1String("\\\""); break;
        case '\n': quoted += QLatin1String("\\n"); break;
        case '\r': quoted += QLatin1String("\\r"); break;
        case '\t': quoted += QLatin1String("\\t"); break;
        default: quoted += isControl(c) ? QLatin1String("\\x") + hexCode(c) : QString(c);
        }
    }
    return quoted + QLatin1Char('"');
}

QString TIniSettingsStore::DecodeValue(const QString &text)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return text;
    return unescapeQuoted(text.mid(1, text.size() - 2));
}

bool TIniSettingsStore::ValueExists(const QString &section, const QString &name) const
{
    return !name.isEmpty() && m_ini.ValueExists(EncodeName(section), EncodeName(name));
}

QString TIniSettingsStore::ReadString(const QString &section, const QString &name,
                                      const QString &defaultValue) const
{
    if (!ValueExists(section, name))
        return defaultValue;
    return DecodeValue(m_ini.ReadString(EncodeName(section), EncodeName(name), QString()));
}

void TIniSettingsStore::WriteString(const QString &section, const QString &name, const QString &value)
{
    if (name.isEmpty()) {
        qWarning().noquote() << "Settings value without a name in" << section << "ignored";
        return;
    }
    m_ini.WriteString(EncodeName(section), EncodeName(name), EncodeValue(value));
}

void TIniSettingsStore::DeleteValue(const QString &section, const QString &name)
{
    m_ini.DeleteKey(EncodeName(section), EncodeName(name));
}

QStringList TIniSettingsStore::storedSectionsUnder(const QString &section) const
{
    const QString encoded = EncodeName(section);
    const QString prefix = encoded + SectionSeparator;
    QStringList found;
    for (const QString &name : m_ini.ReadSections())
        if ((name.compare(encoded, Qt::CaseInsensitive) == 0 || startsWithIgnoringCase(name, prefix))
            && !m_ini.ReadSection(name).isEmpty())
            found.append(name);
    return found;
}

bool TIniSettingsStore::SectionExists(const QString &section) const
{
    return !storedSectionsUnder(section).isEmpty();
}

QStringList TIniSettingsStore::ValueNames(const QString &section) const
{
    QStringList names;
    for (const QString &key : m_ini.ReadSection(EncodeName(section))) {
        const QString name = DecodeName(key);
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

QStringList TIniSettingsStore::SubSectionNames(const QString &section) const
{
    const qsizetype prefixLength = EncodeName(section).size() + 1;
    QStringList names;
    for (const QString &stored : storedSectionsUnder(section)) {
        if (stored.size() < prefixLength)
            continue;  // the section itself
        const QString child = DecodeName(stored.mid(prefixLength).section(SectionSeparator, 0, 0));
        if (!names.contains(child, Qt::CaseInsensitive))
            names.append(child);
    }
    return names;
}

void TIniSettingsStore::EraseSection(const QString &section)
{
    const QString encoded = EncodeName(section);
    const QString prefix = encoded + SectionSeparator;
    for (const QString &name : m_ini.ReadSections())
        if (name.compare(encoded, Qt::CaseInsensitive) == 0 || startsWithIgnoringCase(name, prefix))
            m_ini.EraseSection(name);
}

bool TIniSettingsStore::Flush()
{
    if (!m_ini.Modified())
        return true;
    QDir().mkpath(QFileInfo(FileName()).absolutePath());
    return m_ini.UpdateFile();
}
