#include "cli/clicommand.h"
#include "cli/clisettings.h"
#include "cli/tagfields.h"

#include "core/audio/genretext.h"
#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/base/legacytext.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"

#include <QTextStream>

#include <optional>

namespace {

enum class TagAction { Set, Remove, Keep };

struct TagOptions {
    QList<QPair<const TagField *, QString>> values;  // in the order given
    TagAction v1 = TagAction::Keep;
    TagAction v2 = TagAction::Set;
    QString legacyEncoding;  // empty: the settings' code page
    QStringList files;
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli tag --set FIELD=VALUE... [--v1 set|remove|keep] [--v2 set|remove|keep]\n"
        << "                        [--legacy-encoding CODEPAGE] FILE...\n\n"
        << "Writes ID3 tags into MP3 files.  Fields not named keep the values the file\n"
        << "has; an empty VALUE clears a field.  Every frame of the ID3v2 tag the program\n"
        << "does not know is kept.\n\n"
        << "  --set FIELD=VALUE   a value to write (repeat for several fields)\n"
        << "  --v2 ACTION         set (default), remove or keep the ID3v2 tag\n"
        << "  --v1 ACTION         set, remove or keep (default) the ID3v1 tag; it holds\n"
        << "                      title, artist, album, year, comment, track and genre;\n"
        << "                      a value its code page cannot hold is left out of it\n"
        << "                      (and reported)\n"
        << LegacyEncodingHelp << "\n"
        << "Fields:";
    int column = 80;
    for (const TagField &field : tagFields()) {
        const QString name = QLatin1String(field.name);
        if (column + name.size() + 1 > 78) {
            out << "\n ";
            column = 1;
        }
        out << ' ' << name;
        column += int(name.size()) + 1;
    }
    out << "\n";
}

std::optional<TagAction> actionNamed(const QString &text)
{
    if (text == QLatin1String("set"))
        return TagAction::Set;
    if (text == QLatin1String("remove"))
        return TagAction::Remove;
    if (text == QLatin1String("keep"))
        return TagAction::Keep;
    return std::nullopt;
}

// Reads the options; an empty string means success, else the complaint.
QString readOptions(const CliCall &call, TagOptions &options)
{
    for (const QString &value : call.values(QStringLiteral("set"))) {
        const qsizetype eq = value.indexOf(u'=');
        const TagField *field = eq > 0 ? findTagField(value.left(eq)) : nullptr;
        if (!field)
            return QStringLiteral("'%1' is no FIELD=VALUE of a known field").arg(value);
        options.values.append({field, value.mid(eq + 1)});
    }
    options.legacyEncoding = call.value(QStringLiteral("legacy-encoding"));
    for (const auto &[name, action] : {std::pair{QStringLiteral("v1"), &options.v1},
                                       std::pair{QStringLiteral("v2"), &options.v2}}) {
        if (!call.isSet(name))
            continue;
        const QString value = call.value(name);
        const auto named = actionNamed(value);
        if (!named)
            return QStringLiteral("--%1 takes set, remove or keep, not '%2'").arg(name, value);
        *action = *named;
    }
    options.files = call.positional();
    if (options.files.isEmpty())
        return QStringLiteral("no FILE given");
    if (options.v1 == TagAction::Keep && options.v2 == TagAction::Keep)
        return QStringLiteral("--v1 and --v2 are both keep: nothing to write");
    for (const auto &[field, value] : std::as_const(options.values)) {
        TID3v2Tag probe;
        if (!field->setValue(probe, value))
            return QStringLiteral("%1 must be a whole number, not '%2'").arg(QLatin1String(field->name), value);
    }
    return QString();
}

void applyToV2(const TagOptions &options, TID3v2Tag &tag)
{
    for (const auto &[field, value] : options.values)
        field->setValue(tag, value);
}

// The ID3v1 tag holds only the base fields; the others are not its business.
void applyToV1(const TagOptions &options, TID3v1Tag &tag)
{
    TID3v2Tag values;
    applyToV2(options, values);
    for (const auto &[field, value] : options.values) {
        const QString name = QLatin1String(field->name);
        if (name == QLatin1String("title"))
            tag.Title = values.Title;
        else if (name == QLatin1String("artist"))
            tag.Artist = values.Artist;
        else if (name == QLatin1String("album"))
            tag.Album = values.Album;
        else if (name == QLatin1String("year"))
            tag.Year = values.Year;
        else if (name == QLatin1String("comment"))
            tag.Comment = values.Comment;
        else if (name == QLatin1String("track"))
            tag.Track = values.Track;
        else if (name == QLatin1String("genre"))
            tag.SetGenre(genreDisplayText(values.Genre));  // "(17)" is Rock there too
    }
}

QString actionDone(TagAction action, const char *tag)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(tag),
                                       action == TagAction::Set ? QStringLiteral("set")
                                                                : QStringLiteral("removed"));
}

// Writes one file: ID3v2 first, ID3v1 only when that succeeded.  Returns
// what was done, or sets `error`.
QStringList tagFile(const TagOptions &options, const QString &file, QString *error, QStringList *leftOut)
{
    if (!IsLocalFile(file)) {
        *error = LocalPathExists(file) ? QStringLiteral("not a file") : QStringLiteral("no such file");
        return {};
    }
    QStringList done;
    if (options.v2 != TagAction::Keep) {
        TID3v2Tag v2;
        v2.ReadFromFile(file);
        v2.Enabled = options.v2 == TagAction::Set;
        applyToV2(options, v2);
        if (!v2.WriteToFile(file)) {
            *error = QStringLiteral("ID3v2: %1").arg(v2.errorString());
            return {};
        }
        done << actionDone(options.v2, "ID3v2");
    }
    if (options.v1 != TagAction::Keep) {
        TID3v1Tag v1;
        v1.ReadFromFile(file);
        v1.Enabled = options.v1 == TagAction::Set;
        applyToV1(options, v1);
        if (v1.Enabled)
            *leftOut = v1.UnwritableFields();
        if (!v1.WriteToFile(file)) {
            *error = done.isEmpty() ? QStringLiteral("ID3v1 could not be written")
                                    : done.join(QStringLiteral(", ")) + QStringLiteral("; ID3v1 could not be written");
            return {};
        }
        done << actionDone(options.v1, "ID3v1");
    }
    return done;
}

int runTag(const CliCall &call)
{
    TagOptions options;
    if (const QString problem = readOptions(call, options); !problem.isEmpty())
        return call.wrongArguments(problem);
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    const CliSettings settings;
    QString encodingError;
    if (!options.legacyEncoding.isEmpty() && !ParseLegacyEncoding(options.legacyEncoding, encodingError)) {
        err << "tunebase-cli tag: " << encodingError << "\n";
        return 2;
    }
    bool failed = false;
    for (const QString &file : std::as_const(options.files)) {
        QString error;
        QStringList leftOut;
        const QStringList done = tagFile(options, file, &error, &leftOut);
        if (!leftOut.isEmpty())
            err << "tunebase-cli tag: " << ReadablePath(file) << ": the ID3v1 tag cannot hold the "
                << leftOut.join(QStringLiteral(", ")) << " in " << LegacyTagEncoding() << "; left out of it\n";
        if (error.isEmpty()) {
            out << ReadablePath(file) << ": written (" << done.join(QStringLiteral(", ")) << ")\n";
        } else {
            out << ReadablePath(file) << ": not written: " << error << "\n";
            failed = true;
        }
    }
    return failed ? 1 : 0;
}

} // namespace

const CliCommand &tagCommand()
{
    static const CliCommand command{
        "tag",
        "tag --set FIELD=VALUE... [--v1 set|remove|keep] [--v2 set|remove|keep] [--legacy-encoding CODEPAGE] FILE...",
        "Write, or remove, the ID3 tags of MP3 files",
        {{{QStringLiteral("set")}, QStringLiteral("FIELD=VALUE")},
         {{QStringLiteral("v1")}, QStringLiteral("ACTION")},
         {{QStringLiteral("v2")}, QStringLiteral("ACTION")},
         {{QStringLiteral("legacy-encoding")}, QStringLiteral("CODEPAGE")}},
        printHelp,
        runTag,
        true};
    return command;
}
