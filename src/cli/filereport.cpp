#include "cli/filereport.h"

#include "cli/tagfields.h"
#include "cli/terminaltext.h"

#include "core/base/localpath.h"
#include "core/base/regularfile.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

FileReport::FileReport(const QStringList &parseFormats, const InfoSourceSwitches &sources)
    : m_parseFormats(parseFormats), m_sources(sources)
{
}

bool FileReport::read(const QString &path)
{
    m_file = std::make_unique<TMP3File>(path);
    m_file->SetInfoSources(false, false, m_sources.id3v2, m_sources.id3v1, m_sources.filename);
    if (m_file->ReadInfo(m_parseFormats))
        return true;
    // Looked at again only to say why it failed (never opened: a FIFO
    // would block).
    const QString problem = RegularFileProblem(path);
    m_error = problem.isEmpty() ? QStringLiteral("read error") : problem;
    return false;
}

FileReport::Section FileReport::mpegSection() const
{
    const TMpegInfo &m = m_file->MpegInfo;
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
    const TID3v1Tag &t = m_file->ID3v1;
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
                        {QStringLiteral("exists"), m_file->ID3v2.Exists},
                        {QStringLiteral("version"), m_file->ID3v2.MajorVersion},
                    }};
    for (const TagField &field : tagFields())
        section.fields.append({QLatin1String(field.name), field.value(m_file->ID3v2)});
    return section;
}

FileReport::Section FileReport::filenameSection() const
{
    const TFilenameInfo &f = m_file->FilenameInfo;
    return {QStringLiteral("filename"),
            {
                {QStringLiteral("format"), f.ParseFormat},
                {QStringLiteral("score"), f.Score},
                {QStringLiteral("artist"), f.Artist},
                {QStringLiteral("album"), f.Album},
                {QStringLiteral("title"), f.Title},
                {QStringLiteral("track"), f.Track},
                {QStringLiteral("year"), f.Year},
                {QStringLiteral("genre"), f.Genre},
            }};
}

FileReport::Section FileReport::mergedSection() const
{
    Section section{QStringLiteral("merged"), {}};
    for (TMergedField field : AllMergedFields()) {
        const QJsonValue value = IsMergedNumberField(field) ? QJsonValue(m_file->GetMergedNumber(field))
                                                            : QJsonValue(m_file->GetMergedText(field));
        section.fields.append({MergedFieldName(field), value});
    }
    return section;
}

QList<FileReport::Section> FileReport::sections() const
{
    return {mpegSection(), id3v1Section(), id3v2Section(), filenameSection(), mergedSection()};
}

QString MergedFieldName(TMergedField field)
{
    static const char *const names[MergedFieldCount] = {
        "album",      "artist",    "title",      "trackIndex", "year",       "genre",     "notes",
        "label",      "originalArtist", "composer", "lyricist", "orchestra",  "conductor", "encodedBy",
        "copyrightBy", "bpm",      "subTitle",   "tempo",      "mood",       "situation", "preference",
        "biography",  "audioURL",  "artistURL",  "generalURL", "lyrics",
    };
    return QLatin1String(names[int(field)]);
}

QJsonObject FileReport::toJson() const
{
    QJsonObject object{{QStringLiteral("path"), ReadablePath(m_file->Path)}, {QStringLiteral("size"), m_file->FileSize}};
    for (const Section &section : sections()) {
        QJsonObject fields;
        for (const auto &[key, value] : section.fields)
            fields.insert(key, value);
        object.insert(section.name, fields);
    }
    return object;
}

namespace {

// A JSON string as QJsonDocument writes it: UTF-8, with quotation mark,
// backslash and control characters escaped, and a lone surrogate (which
// UTF-8 cannot hold) as a hexadecimal escape.
void appendJsonString(QByteArray &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const auto escape = [&out](char16_t u) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(u >> shift) & 0xF];
    };
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        case u'\b': out += "\\b"; break;
        case u'\f': out += "\\f"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                escape(u);
            } else if (u < 0x80) {
                out += char(u);
            } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += QStringView(text).sliced(i, 2).toUtf8();
                ++i;
            } else if (QChar::isSurrogate(u)) {
                escape(u);
            } else {
                out += QStringView(&text.constData()[i], 1).toUtf8();
            }
        }
    }
    out += '"';
}

void appendJsonValue(QByteArray &out, const QJsonValue &value)
{
    if (value.isBool())
        out += value.toBool() ? "true" : "false";
    else if (value.isDouble())
        out += QByteArray::number(value.toInteger());
    else
        appendJsonString(out, value.toString());
}

template <typename T>
void sortByName(QList<QPair<QString, T>> &members)
{
    std::sort(members.begin(), members.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
}

} // namespace

QByteArray FileReport::toJsonText() const
{
    // What QJsonDocument writes for toJson() (members by name, four spaces
    // a level), without building a document for every file: the report of
    // a large folder then costs little more than the plain one.
    QList<QPair<QString, const Fields *>> members;
    const QList<Section> all = sections();
    for (const Section &section : all)
        members.append({section.name, &section.fields});
    const Fields top = {{QStringLiteral("path"), ReadablePath(m_file->Path)}, {QStringLiteral("size"), m_file->FileSize}};
    for (const auto &[key, value] : top)
        members.append({key, nullptr});
    sortByName(members);

    QByteArray out;
    out.reserve(4096);
    out += "{\n";
    for (qsizetype i = 0; i < members.size(); ++i) {
        const auto &[name, fields] = members.at(i);
        out += "    ";
        appendJsonString(out, name);
        out += ": ";
        if (!fields) {
            appendJsonValue(out, name == QLatin1String("path") ? top.at(0).second : top.at(1).second);
        } else {
            Fields sorted = *fields;
            sortByName(sorted);
            out += "{\n";
            for (qsizetype f = 0; f < sorted.size(); ++f) {
                out += "        ";
                appendJsonString(out, sorted.at(f).first);
                out += ": ";
                appendJsonValue(out, sorted.at(f).second);
                out += f + 1 < sorted.size() ? ",\n" : "\n";
            }
            out += "    }";
        }
        out += i + 1 < members.size() ? ",\n" : "\n";
    }
    out += "}";
    return out;
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
    out << EscapeControls(m_file->Path) << "\n  size: " << m_file->FileSize << " bytes\n";
    for (const Section &section : sections()) {
        out << "  " << section.name << ":\n";
        for (const auto &[key, value] : section.fields)
            out << "    " << qSetFieldWidth(16) << Qt::left << (key + QLatin1Char(':')) << qSetFieldWidth(0)
                << EscapeControls(textOf(value)) << '\n';
    }
    return text;
}
