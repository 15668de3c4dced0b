#include "cli/clicommand.h"
#include "cli/clisettings.h"
#include "cli/tagfields.h"

#include "core/audio/mergedfields.h"
#include "core/base/legacytext.h"
#include "core/base/localfiles.h"
#include "core/base/localpath.h"
#include "core/files/mp3file.h"
#include "core/files/tagwrite.h"

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

TTagAction tagAction(TagAction action)
{
    switch (action) {
    case TagAction::Set:
        return TTagAction::Set;
    case TagAction::Remove:
        return TTagAction::Remove;
    case TagAction::Keep:
        break;
    }
    return TTagAction::NoChange;
}

// The values as given, numbers checked by the parsing; the ID3v1 tag takes
// those it has room for.
TTagValues tagValues(const TagOptions &options)
{
    TTagValues values;
    for (const auto &[field, text] : options.values)
        values.Set(FindMergedFieldRow(QLatin1String(field->name))->Field, text, text.trimmed().toInt());
    return values;
}

QString actionDone(TTagAction action, const char *tag)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(tag),
                                       action == TTagAction::Set ? QStringLiteral("set")
                                                                 : QStringLiteral("removed"));
}

// Writes one file: ID3v2 first, ID3v1 only when that succeeded.  Returns
// what was done, or sets `error`.
QStringList tagFile(const TagOptions &options, const QString &path, QString *error, QStringList *leftOut)
{
    if (!IsLocalFile(path)) {
        *error = LocalPathExists(path) ? QStringLiteral("not a file") : QStringLiteral("no such file");
        return {};
    }
    TTagWriteRequest request;
    request.V1 = tagAction(options.v1);
    request.V2 = tagAction(options.v2);
    request.Values = tagValues(options);
    // Only the tags to be written are read: the others stay as they are.
    TMP3File file(path);
    if (request.V2 != TTagAction::NoChange)
        file.ID3v2.ReadFromFile(path);
    if (request.V1 != TTagAction::NoChange)
        file.ID3v1.ReadFromFile(path);
    const TTagWriteResult result = WriteFileTags(file, request);
    // The ID3v1 tag is not tried once the ID3v2 tag failed.
    if (result.Failure != TTagWriteResult::TFailure::V2)
        *leftOut = result.V1LeftOut;
    QStringList done;
    if (result.V2Done != TTagAction::NoChange)
        done << actionDone(result.V2Done, "ID3v2");
    if (result.V1Done != TTagAction::NoChange)
        done << actionDone(result.V1Done, "ID3v1");
    switch (result.Failure) {
    case TTagWriteResult::TFailure::None:
        return done;
    case TTagWriteResult::TFailure::V2:
        *error = QStringLiteral("ID3v2: %1").arg(result.Error);
        return {};
    case TTagWriteResult::TFailure::V1:
        *error = done.isEmpty() ? QStringLiteral("ID3v1 could not be written")
                                : done.join(QStringLiteral(", ")) + QStringLiteral("; ID3v1 could not be written");
        return {};
    case TTagWriteResult::TFailure::NotAFile:
    case TTagWriteResult::TFailure::ReadOnly:
        break;
    }
    // Gone between the look and the write.
    *error = QStringLiteral("no such file");
    return {};
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
