#include "filereport.h"

#include "audio/id3v2span.h"
#include "tagfields.h"

#include <QFile>
#include <QTextStream>

bool FileReport::read(const QString &path)
{
    m_path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    m_size = file.size();
    m_id3v1.ReadFromFile(path);
    m_id3v2.ReadFromFile(path);
    qint64 id3v2Size = id3v2TagSpan(file.peek(10));
    if (id3v2Size > m_size)
        id3v2Size = 0;   // a broken size: the tag cannot be measured
    const qint64 audioSize = qMax<qint64>(0, m_size - m_id3v1.TagSize - id3v2Size);
    m_mpeg.readFromDevice(file, audioSize);
    return true;
}

FileReport::Section FileReport::mpegSection() const
{
    const TMpegInfo &m = m_mpeg;
    return {QStringLiteral("mpeg"),
            {
                {QStringLiteral("version"), QString(MpegVersionNames[m.Version])},
                {QStringLiteral("layer"), m.Layer},
                {QStringLiteral("bitrate"), m.Bitrate},
                {QStringLiteral("vbr"), m.VBR},
                {QStringLiteral("sampleRate"), m.SampleRate},
                {QStringLiteral("mode"), QString(ModeNames[m.Mode])},
                {QStringLiteral("frames"), m.Frames},
                {QStringLiteral("length"), m.Length},
                {QStringLiteral("headerPosition"), m.HeaderPosition},
                {QStringLiteral("crcs"), m.CRCs},
                {QStringLiteral("copyrighted"), m.Copyrighted},
                {QStringLiteral("original"), m.Original},
                {QStringLiteral("emphasis"), QString(EmphasisNames[m.Emphasis & 3])},
            }};
}

FileReport::Section FileReport::id3v1Section() const
{
    const TID3v1Tag &t = m_id3v1;
    return {QStringLiteral("id3v1"),
            {
                {QStringLiteral("exists"), t.Exists},
                {QStringLiteral("title"), t.Title},
                {QStringLiteral("artist"), t.Artist},
                {QStringLiteral("album"), t.Album},
                {QStringLiteral("year"), t.Year},
                {QStringLiteral("comment"), t.Comment},
                {QStringLiteral("track"), t.Track},
                {QStringLiteral("genre"), t.GetGenre()},
            }};
}

FileReport::Section FileReport::id3v2Section() const
{
    Section section{QStringLiteral("id3v2"),
                    {
                        {QStringLiteral("exists"), m_id3v2.Exists},
                        {QStringLiteral("version"), m_id3v2.MajorVersion},
                    }};
    for (const TagField &field : tagFields())
        section.fields.append({QLatin1String(field.name), field.value(m_id3v2)});
    return section;
}

QList<FileReport::Section> FileReport::sections() const
{
    return {mpegSection(), id3v1Section(), id3v2Section()};
}

QJsonObject FileReport::toJson() const
{
    QJsonObject object{{QStringLiteral("path"), m_path}, {QStringLiteral("size"), m_size}};
    for (const Section &section : sections()) {
        QJsonObject fields;
        for (const auto &[key, value] : section.fields)
            fields.insert(key, value);
        object.insert(section.name, fields);
    }
    return object;
}

namespace {

QString textOf(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    if (value.isDouble())
        return QString::number(value.toInteger());
    return value.toString();
}

} // namespace

QString FileReport::toText() const
{
    QString text;
    QTextStream out(&text);
    out << m_path << "\n  size: " << m_size << " bytes\n";
    for (const Section &section : sections()) {
        out << "  " << section.name << ":\n";
        for (const auto &[key, value] : section.fields)
            out << "    " << qSetFieldWidth(16) << Qt::left << (key + QLatin1Char(':')) << qSetFieldWidth(0)
                << textOf(value) << '\n';
    }
    return text;
}
