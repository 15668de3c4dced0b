#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include "core/data/collectionfile.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/filterfieldlist.h"
#include "core/data/itemquery.h"
#include "core/mp3model/mp3root.h"
#include "core/output/export.h"

#include <QTextStream>

#include <memory>

namespace {

const QString command = QStringLiteral("list");

struct ListOptions {
    QString collection;
    QStringList fields;
    QStringList sort;
    QStringList filters;
    QString format = QStringLiteral("tsv");
};

// "FIELD=VALUE" on a text field: the field's text is VALUE (letters A to Z
// in either case unless the filter is case-sensitive).
class TTextEqualsFilterField : public TStringFilterField {
public:
    using TStringFilterField::TStringFilterField;

    QString GetDescription() const override
    {
        return QStringLiteral("(%1 is \"%2\")").arg(fieldDisplayName(), Text);
    }
    bool Matches(const TDataItem *item, bool caseSensitive) const override
    {
        const QString value = item->GetValueAsString(Field);
        if (caseSensitive || Text.isEmpty())
            return value == Text;
        return value.size() == Text.size() && contains(value, false);
    }
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli list FILE [--fields F1,F2...] [--sort F1,-F2...] [--filter TEXT]...\n"
        << "                             [--format tsv|csv|json]\n\n"
        << "Lists the tracks of a collection as a table: one row per track, the values as\n"
        << "the program shows them.\n\n"
        << "  --fields LIST    the columns, by field name (default: the default track\n"
        << "                   columns)\n"
        << "  --sort LIST      sort keys, by field name; a leading '-' sorts descending\n"
        << "                   (default: collection order)\n"
        << "  --filter TEXT    show only the tracks that meet a condition:\n"
        << "                     \"FIELD contains TEXT\"  the field's text contains TEXT\n"
        << "                     \"FIELD=VALUE\"          the field's value is VALUE: a number\n"
        << "                                          for number fields (Size in bytes,\n"
        << "                                          Length in seconds), yes or no for\n"
        << "                                          yes/no fields, a name for fields such\n"
        << "                                          as Artist or Genre (empty: no value)\n"
        << "                   Letter case does not matter.  Repeat --filter to require\n"
        << "                   several conditions.\n"
        << "  --format FORMAT  tsv (tab-separated, the default), csv or json\n\n"
        << "Field names:\n  ";
    TMp3Root root;
    out << fieldNames(*root.Fields, ListKind::MainItems).join(QStringLiteral(", ")) << "\n";
}

// An empty string means success, else the complaint.
QString readOptions(const CliCall &call, ListOptions &options)
{
    options.fields = call.values(QStringLiteral("fields"));
    options.sort = call.values(QStringLiteral("sort"));
    options.filters = call.values(QStringLiteral("filter"));
    options.format = call.value(QStringLiteral("format"), options.format).toLower();
    const QStringList positional = call.positional();
    if (positional.size() != 1)
        return positional.isEmpty() ? QStringLiteral("no FILE given")
                                    : QStringLiteral("one FILE only, not %1").arg(positional.size());
    options.collection = positional.first();
    static const QStringList formats{QStringLiteral("tsv"), QStringLiteral("csv"), QStringLiteral("json")};
    if (!formats.contains(options.format))
        return QStringLiteral("--format takes tsv, csv or json, not '%1'").arg(options.format);
    return QString();
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

std::unique_ptr<TFilterField> equalsCondition(const TMp3Root &root, const TDataField *field, const QString &value,
                                              QString &problem)
{
    if (dynamic_cast<const TIntegerDataField *>(field)) {
        bool ok = false;
        const qint32 number = value.toInt(&ok);
        if (!ok) {
            problem = QStringLiteral("%1 takes a whole number, not '%2'").arg(GetFieldDisplayName(field), value);
            return nullptr;
        }
        return std::make_unique<TIntegerFilterField>(field, number, number);
    }
    if (dynamic_cast<const TBooleanDataField *>(field)) {
        const QString answer = value.toLower();
        if (answer == QLatin1String("yes") || answer == QLatin1String("true") || answer == QLatin1String("1"))
            return std::make_unique<TBoolFilterField>(field, quint8(1));
        if (answer == QLatin1String("no") || answer == QLatin1String("false") || answer == QLatin1String("0"))
            return std::make_unique<TBoolFilterField>(field, quint8(0));
        problem = QStringLiteral("%1 takes yes or no, not '%2'").arg(GetFieldDisplayName(field), value);
        return nullptr;
    }
    if (const TLookupList *lookups = root.GetLookupList(field)) {
        // No such value: an identifier that names no item selects the
        // tracks without a value; a name that is not there selects nothing.
        if (value.isEmpty())
            return std::make_unique<TLookupFilterField>(field, TLookupItemNone::NoneID);
        QList<qint32> ids;
        if (const TLookupItem *item = lookups->FindByName(value))
            ids.append(item->GetID());
        return std::make_unique<TMultiLookupFilterField>(field, ids);
    }
    return std::make_unique<TTextEqualsFilterField>(field, value);
}

// One --filter condition; nullptr and the complaint in problem when it
// cannot be understood.
std::unique_ptr<TFilterField> parseCondition(const TMp3Root &root, const QString &text, QString &problem)
{
    static const QString containsWord = QStringLiteral(" contains ");
    QString name;
    QString value;
    const qsizetype containsAt = text.indexOf(containsWord, 0, Qt::CaseInsensitive);
    const qsizetype equalsAt = text.indexOf(QLatin1Char('='));
    const bool isContains = containsAt > 0 && (equalsAt < 0 || containsAt < equalsAt);
    if (isContains) {
        name = text.left(containsAt);
        value = unquoted(text.mid(containsAt + containsWord.size()));
    } else if (equalsAt > 0) {
        name = text.left(equalsAt);
        value = unquoted(text.mid(equalsAt + 1));
    } else {
        problem = QStringLiteral("--filter takes \"FIELD contains TEXT\" or \"FIELD=VALUE\", not '%1'").arg(text);
        return nullptr;
    }
    const TDataField *field = findFieldByName(*root.Fields, name.trimmed(), ListKind::MainItems);
    if (!field) {
        problem = unknownFieldComplaint(name.trimmed(), command);
        return nullptr;
    }
    if (!isContains)
        return equalsCondition(root, field, value, problem);
    if (field->isLookupField())
        return std::make_unique<TLookupStringFilterField>(field, value);
    return std::make_unique<TStringFilterField>(field, value);
}

QString buildFilter(const TMp3Root &root, const QStringList &conditions, TFilterFieldRefList &filter)
{
    for (const QString &text : conditions) {
        QString problem;
        std::unique_ptr<TFilterField> condition = parseCondition(root, text, problem);
        if (!condition)
            return problem;
        filter.addCondition(std::move(condition));
    }
    return QString();
}

QString tsvValue(QString value)
{
    for (const QLatin1String breaker : {QLatin1String("\r\n"), QLatin1String("\n"), QLatin1String("\r"),
                                        QLatin1String("\t")})
        value.replace(breaker, QLatin1String(" "));
    return EscapeControls(value);
}

// Comma-separated as spreadsheets read it: values quoted only where they
// must be, line breaks kept inside them, CR LF after each row.
void writeCsv(QTextStream &out, const TColumnFieldRefList &columns, const TDataRefList &tracks)
{
    TExportAscii csv;
    csv.Delimiter = QStringLiteral(",");
    csv.TextQualifier = QStringLiteral("\"");
    csv.QualifyWhenNeeded = true;
    csv.KeepLineBreaks = true;
    csv.IncludeFieldNames = true;
    csv.Interactive = false;
    csv.Items = &tracks;
    csv.Columns = &columns;
    csv.Export(TExport::AllItems, TExport::ToLines);
    for (const QString &line : std::as_const(csv.Lines))
        out << line << "\r\n";
}

void writeTable(QTextStream &out, const QString &format, const TColumnFieldRefList &columns,
                const TDataRefList &tracks)
{
    if (format == QLatin1String("csv")) {
        writeCsv(out, columns, tracks);
        return;
    }
    QStringList names;
    for (int i = 0; i < columns.Count(); ++i)
        names.append(GetFieldDisplayName(columns.Get(i)->Field));

    if (format == QLatin1String("json")) {
        TJsonWriter json(out);
        json.beginArray();
        for (const TDataItem *track : tracks) {
            json.beginObject();
            for (int i = 0; i < columns.Count(); ++i)
                json.member(names.at(i), track->GetValueAsString(columns.Get(i)->Field));
            json.endObject();
        }
        json.endArray();
        json.finish();
        return;
    }
    auto writeRow = [&](const QStringList &values) {
        QStringList cells;
        for (const QString &value : values)
            cells.append(tsvValue(value));
        out << cells.join(QLatin1Char('\t')) << "\n";
    };
    writeRow(names);
    for (const TDataItem *track : tracks) {
        QStringList values;
        for (int i = 0; i < columns.Count(); ++i)
            values.append(track->GetValueAsString(columns.Get(i)->Field));
        writeRow(values);
    }
}

int runList(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    ListOptions options;
    if (const QString complaint = readOptions(call, options); !complaint.isEmpty())
        return call.wrongArguments(complaint);

    TMp3Root root;
    TCollectionLoadResult load;
    if (!openCollectionToShow(root, options.collection, err, load))
        return 1;
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    TSortKeys keys;
    TFilterFieldRefList filter(ListKind::MainItems, &root);
    QString problem = buildColumns(*root.Fields, splitNameList(options.fields), columns, command);
    if (problem.isEmpty())
        problem = buildSortKeys(*root.Fields, splitNameList(options.sort), keys, command);
    if (problem.isEmpty())
        problem = buildFilter(root, options.filters, filter);
    if (!problem.isEmpty()) {
        err << "tunebase-cli list: " << problem << "\n";
        return 2;
    }

    TDataRefList tracks;
    QueryItems(root, &filter, keys, tracks);
    writeTable(out, options.format, columns, tracks);
    return shownExitCode(load);
}

} // namespace

const CliCommand &listCommand()
{
    static const CliCommand command{"list", "list FILE [--fields ...] [--sort ...] [--filter TEXT] [--format tsv|csv|json]",
                                    "list the tracks of a collection as a table",
                                    {{{QStringLiteral("fields")}, QStringLiteral("LIST")},
                                     {{QStringLiteral("sort")}, QStringLiteral("LIST")},
                                     {{QStringLiteral("filter")}, QStringLiteral("TEXT")},
                                     {{QStringLiteral("format")}, QStringLiteral("FORMAT")}},
                                    printHelp, runList};
    return command;
}
