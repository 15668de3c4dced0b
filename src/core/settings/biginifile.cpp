#include "core/settings/biginifile.h"

#include "core/base/filereplacement.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/base/regularfile.h"
#include "core/base/writeall.h"
#include "core/settings/generalhelpers.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

constexpr QChar EndOfFileMark(26);

qsizetype keyLength(const QString &line)
{
    return line.indexOf(QLatin1Char('='));
}

bool lineHasKey(const QString &line, const QString &key)
{
    const qsizetype length = keyLength(line);
    return length >= 0 && QStringView(line).left(length).compare(key, Qt::CaseInsensitive) == 0;
}

// A name seen again keeps the place of its first occurrence.
void insertIfAbsent(QHash<QString, qsizetype> &index, const QString &name, qsizetype place)
{
    if (!index.contains(name))
        index.insert(name, place);
}

QString foldedKey(const QString &line)
{
    return QStringView(line).left(keyLength(line)).toString().toCaseFolded();
}

bool isSectionHeader(const QString &line)
{
    return line.size() >= 2 && line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

QString trimTrailing(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) < QLatin1Char('!'))
        --end;
    return line.left(end);
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimAroundEquals(const QString &line)
{
    const qsizetype eq = keyLength(line);
    if (eq < 0)
        return line;
    qsizetype keyEnd = eq;
    while (keyEnd > 0 && isBlank(line.at(keyEnd - 1)))
        --keyEnd;
    qsizetype valueStart = eq + 1;
    while (valueStart < line.size() && isBlank(line.at(valueStart)))
        ++valueStart;
    return line.left(keyEnd) + QLatin1Char('=') + line.mid(valueStart);
}

QString stripQuotes(const QString &line)
{
    const qsizetype eq = keyLength(line);
    if (eq < 0)
        return line;
    const QString value = line.mid(eq + 1);
    if (value.size() < 2 || value.front() != value.back()
        || (value.front() != QLatin1Char('"') && value.front() != QLatin1Char('\'')))
        return line;
    return line.left(eq + 1) + value.mid(1, value.size() - 2);
}

} // namespace

qsizetype TBigIniFile::TSection::keyLine(const QString &key) const
{
    if (!KeysIndexed) {
        KeyLines.clear();
        KeyLines.reserve(Lines.size());
        for (qsizetype i = 0; i < Lines.size(); ++i)
            if (keyLength(Lines.at(i)) >= 0)
                insertIfAbsent(KeyLines, foldedKey(Lines.at(i)), i);
        KeysIndexed = true;
    }
    return KeyLines.value(key.toCaseFolded(), -1);
}

void TBigIniFile::TSection::appendLine(const QString &line)
{
    Lines.append(line);
    if (KeysIndexed && keyLength(line) >= 0)
        insertIfAbsent(KeyLines, foldedKey(line), Lines.size() - 1);
}

void TBigIniFile::TSection::forgetKeyIndex()
{
    KeyLines.clear();
    KeysIndexed = false;
}

TBigIniFile::TBigIniFile(const QString &fileName, const TReadOptions &options)
    : m_fileName(fileName)
{
    readFile(options);
}

TBigIniFile::~TBigIniFile()
{
    UpdateFile();
}

void TBigIniFile::readFile(const TReadOptions &options)
{
    if (m_fileName.isEmpty() || !LocalPathExists(m_fileName))
        return;
    QFile file;
    QString problem;
    if (!OpenRegularFile(file, m_fileName, QIODevice::ReadOnly, &problem)) {
        m_readFailed = true;
        m_error = problem;
        return;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readFailed = true;
        m_error = file.errorString();
        return;
    }
    m_storedContent = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        m_latin1 = true;
        text = QString::fromLatin1(bytes);
    }
    addLines(SplitTextLines(text), options);
    dropDuplicateSections();
}

void TBigIniFile::addLines(const QStringList &lines, const TReadOptions &options)
{
    for (QString line : lines) {
        if (options.TrimTrailing)
            line = trimTrailing(line);
        if (line.isEmpty() || line == EndOfFileMark)
            continue;
        if (isSectionHeader(line)) {
            m_sections.push_back(TSection(line.mid(1, line.size() - 2)));
            continue;
        }
        if (m_sections.empty())
            continue;
        if (options.DropCommentLines && line.startsWith(QLatin1Char(';')))
            continue;
        if (options.DropLinesWithoutEquals && keyLength(line) < 0)
            continue;
        if (options.TrimAroundEquals)
            line = trimAroundEquals(line);
        if (options.StripQuotes)
            line = stripQuotes(line);
        m_sections.back().Lines.append(line);
    }
}

void TBigIniFile::dropDuplicateSections()
{
    // The first section of a name wins; later ones of the same name go.
    QSet<QString> seen;
    const auto firstEnd = std::remove_if(m_sections.begin(), m_sections.end(), [&seen](const TSection &section) {
        const QString name = section.Name.toCaseFolded();
        if (seen.contains(name))
            return true;
        seen.insert(name);
        return false;
    });
    if (firstEnd != m_sections.end()) {
        m_sections.erase(firstEnd, m_sections.end());
        m_modified = true;
    }
    m_sectionsIndexed = false;
}

qsizetype TBigIniFile::sectionIndex(const QString &name) const
{
    if (!m_sectionsIndexed) {
        m_sectionIndex.clear();
        m_sectionIndex.reserve(qsizetype(m_sections.size()));
        for (size_t i = 0; i < m_sections.size(); ++i)
            insertIfAbsent(m_sectionIndex, m_sections[i].Name.toCaseFolded(), qsizetype(i));
        m_sectionsIndexed = true;
    }
    return m_sectionIndex.value(name.toCaseFolded(), -1);
}

TBigIniFile::TSection *TBigIniFile::findSection(const QString &name)
{
    const qsizetype i = sectionIndex(name);
    return i < 0 ? nullptr : &m_sections[size_t(i)];
}

const TBigIniFile::TSection *TBigIniFile::findSection(const QString &name) const
{
    const qsizetype i = sectionIndex(name);
    return i < 0 ? nullptr : &m_sections[size_t(i)];
}

QString TBigIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const TSection *s = findSection(section);
    if (!s)
        return defaultValue;
    const qsizetype i = s->keyLine(key);
    if (i < 0)
        return defaultValue;
    const QString &line = s->Lines.at(i);
    return line.mid(keyLength(line) + 1);
}

void TBigIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (key.isEmpty()) {
        if (!section.isEmpty() || !value.isEmpty())
            EraseSection(section);
        else
            UpdateFile();
        return;
    }
    TSection *s = findSection(section);
    if (!s) {
        m_sections.push_back(TSection(section, {key + QLatin1Char('=') + value}));
        if (m_sectionsIndexed)
            insertIfAbsent(m_sectionIndex, section.toCaseFolded(), qsizetype(m_sections.size()) - 1);
        m_modified = true;
        return;
    }
    const qsizetype i = s->keyLine(key);
    if (i < 0) {
        s->appendLine(key + QLatin1Char('=') + value);
        m_modified = true;
        return;
    }
    QString &line = s->Lines[i];
    const QString newLine = line.left(keyLength(line)) + QLatin1Char('=') + value;
    if (line != newLine) {
        line = newLine;
        m_modified = true;
    }
}

qint32 TBigIniFile::ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    const QString text = ReadString(section, key, QString()).trimmed();
    bool ok = false;
    const qint32 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? text.mid(2).toInt(&ok, 16)
                             : text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void TBigIniFile::WriteInteger(const QString &section, const QString &key, qint32 value)
{
    WriteString(section, key, QString::number(value));
}

bool TBigIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TBigIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TBigIniFile::ReadSections() const
{
    QStringList names;
    for (const TSection &s : m_sections)
        names.append(s.Name);
    return names;
}

QStringList TBigIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    if (const TSection *s = findSection(section))
        for (const QString &line : s->Lines)
            if (keyLength(line) >= 0)
                keys.append(line.left(keyLength(line)));
    return keys;
}

bool TBigIniFile::SectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool TBigIniFile::ValueExists(const QString &section, const QString &key) const
{
    const TSection *s = findSection(section);
    return s && s->keyLine(key) >= 0;
}

void TBigIniFile::DeleteKey(const QString &section, const QString &key)
{
    TSection *s = findSection(section);
    if (s && s->Lines.removeIf([&key](const QString &line) { return lineHasKey(line, key); }) > 0) {
        s->forgetKeyIndex();
        m_modified = true;
    }
}

void TBigIniFile::EraseSection(const QString &section)
{
    const qsizetype i = sectionIndex(section);
    if (i < 0)
        return;
    m_sections.erase(m_sections.begin() + i);
    m_sectionsIndexed = false;
    m_modified = true;
}

QByteArray TBigIniFile::content() const
{
    QString text;
    const QString lineBreak = QString::fromLatin1(m_lineBreak);
    for (const TSection &s : m_sections) {
        if (s.Lines.isEmpty())
            continue;
        text += QLatin1Char('[') + s.Name + QLatin1Char(']') + lineBreak;
        for (const QString &line : s.Lines)
            text += line + lineBreak;
        text += lineBreak;
    }
    // Latin-1 files stay Latin-1 unless they now hold text Latin-1 cannot.
    const bool fitsLatin1 = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 256; });
    return m_latin1 && fitsLatin1 ? text.toLatin1() : text.toUtf8();
}

bool TBigIniFile::UpdateFile()
{
    if (!m_modified || m_fileName.isEmpty())
        return true;
    if (m_readFailed) {
        m_error = QStringLiteral("%1 could not be read, so it is not overwritten").arg(m_fileName);
        return false;
    }
    // Settings are written whenever the user may have changed one; a write
    // that would store what the file already holds is left out.
    QByteArray bytes = content();
    if (bytes != m_storedContent && !(m_permissions ? writePrivately(bytes) : writeReplacing(bytes)))
        return false;
    m_storedContent = std::move(bytes);
    m_error.clear();
    m_modified = false;
    return true;
}

// A file with its own permissions (the settings, which may hold a password)
// is made anew with them, never readable by others in between.
bool TBigIniFile::writePrivately(const QByteArray &bytes)
{
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        // Qt says "is not writable" without the system's reason.
        if (::access(LocalPathBytes(m_fileName).constData(), W_OK) != 0 && errno != ENOENT)
            m_error += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    file.setPermissions(*m_permissions);
    if (!writeAll(file, bytes)) {
        m_error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

// Any other file keeps its owner, mode and hard links.
bool TBigIniFile::writeReplacing(const QByteArray &bytes)
{
    TFileReplacement file(m_fileName);
    if (!file.open()) {
        m_error = file.errorString();
        return false;
    }
    if (!writeAll(file.device(), bytes)) {
        m_error = writeErrorOf(file.device());
        return false;
    }
    if (!file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}
