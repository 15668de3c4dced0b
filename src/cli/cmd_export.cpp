#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/terminalprogress.h"

#include "core/base/regularfile.h"
#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/data/itemquery.h"
#include "core/mp3model/mp3root.h"
#include "core/output/export.h"

#include <QTextStream>

#include <memory>

namespace {

struct ExportOptions {
    QString collection;
    QString format;
    QStringList fields;
    QStringList sort;
    QString output;
    bool guardFormulas = true;
};

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli export COLLECTION --format csv|html [--fields F1,F2...] [--sort F1,-F2...] [-o FILE]\n\n"
        << "Writes the tracks of a collection as comma-separated text (with a first row of\n"
        << "field names) or as an HTML table, to FILE or to the standard output.\n\n"
        << "  --format csv|html   the kind of table\n"
        << "  --fields LIST       the columns, by field name (default: the collection's\n"
        << "                      default track columns)\n"
        << "  --sort LIST         sort keys, by field name; a leading '-' sorts descending\n"
        << "                      (default: collection order)\n"
        << "  -o, --output FILE   the file to write; an existing file is replaced (never\n"
        << "                      the collection itself)\n"
        << "  --no-formula-guard  CSV values beginning with =, +, - or @ are written as\n"
        << "                      they are; by default they get a leading ' so that\n"
        << "                      spreadsheets do not run them as formulas\n\n"
        << "File paths and names are written exactly, line breaks included (CSV values are\n"
        << "quoted); line breaks in other values become blanks.\n"
        << "Exit codes: 0 written, 1 failed, 2 wrong arguments, 3 the collection is\n"
        << "damaged and only the tracks before the damage were written.\n\n"
        << "Field names:\n  ";
    TMp3Root root;
    out << fieldNames(*root.Fields, ListKind::MainItems).join(QStringLiteral(", ")) << "\n";
}

// An empty string means success, else the complaint.
QString readOptions(const CliCall &call, ExportOptions &options)
{
    options.format = call.value(QStringLiteral("format")).toLower();
    options.fields = call.values(QStringLiteral("fields"));
    options.sort = call.values(QStringLiteral("sort"));
    options.output = call.value(QStringLiteral("output"));
    options.guardFormulas = !call.isSet(QStringLiteral("no-formula-guard"));
    const QStringList positional = call.positional();
    if (positional.size() != 1)
        return positional.isEmpty() ? QStringLiteral("no COLLECTION given")
                                    : QStringLiteral("one COLLECTION only, not %1").arg(positional.size());
    options.collection = positional.first();
    if (options.format != QLatin1String("csv") && options.format != QLatin1String("html"))
        return options.format.isEmpty() ? QStringLiteral("--format csv or --format html is needed")
                                        : QStringLiteral("--format takes csv or html, not '%1'").arg(options.format);
    return QString();
}

std::unique_ptr<TExport> makeExporter(const ExportOptions &options)
{
    const QString &format = options.format;
    if (format == QLatin1String("html")) {
        auto html = std::make_unique<TExportHTML>(std::make_unique<TTerminalProgress>());
        html->Border = true;
        return html;
    }
    auto ascii = std::make_unique<TExportAscii>(std::make_unique<TTerminalProgress>());
    ascii->Delimiter = QStringLiteral(",");
    ascii->TextQualifier = QStringLiteral("\"");
    ascii->ReplaceEnter = QStringLiteral(" ");
    ascii->IncludeFieldNames = true;
    ascii->GuardFormulas = options.guardFormulas;
    return ascii;
}

int runExport(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    ExportOptions options;
    if (const QString complaint = readOptions(call, options); !complaint.isEmpty())
        return call.wrongArguments(complaint);

    // The export would replace the collection it reads.
    if (!options.output.isEmpty() && IsSameExistingFile(options.output, options.collection)) {
        err << "tunebase-cli export: " << options.output << " is the collection itself; choose another output file\n";
        return 2;
    }
    TMp3Root root;
    bool recovered = false;
    if (!openCollectionArg(root, options.collection, err, &recovered))
        return 1;
    TColumnFieldRefList columns(ListKind::MainItems, &root);
    TSortKeys keys;
    const QString command = QStringLiteral("export");
    QString problem = buildColumns(*root.Fields, splitNameList(options.fields), columns, command);
    if (problem.isEmpty())
        problem = buildSortKeys(*root.Fields, splitNameList(options.sort), keys, command);
    if (!problem.isEmpty()) {
        err << "tunebase-cli export: " << problem << "\n";
        return 2;
    }
    TDataRefList items;
    QueryItems(root, nullptr, keys, items);

    std::unique_ptr<TExport> exporter = makeExporter(options);
    exporter->Items = &items;
    exporter->Columns = &columns;
    exporter->Interactive = false;
    if (options.output.isEmpty()) {
        exporter->Export(TExport::AllItems, TExport::ToLines);
        for (const QString &line : std::as_const(exporter->Lines))
            out << line << "\n";
        return recovered ? ExitRecovered : 0;
    }
    exporter->FileName = options.output;
    const bool ok = exporter->Export(TExport::AllItems, TExport::ToFile);
    (ok ? out : err) << (ok ? "" : "tunebase-cli export: ") << exporter->lastMessage() << "\n";
    if (!ok)
        return 1;
    return recovered ? ExitRecovered : 0;
}

} // namespace

const CliCommand &exportCommand()
{
    static const CliCommand command{"export", "export COLLECTION --format csv|html [--fields ...] [--sort ...] [-o FILE]",
                                    "write the tracks of a collection as CSV or an HTML table",
                                    {{{QStringLiteral("format")}, QStringLiteral("FORMAT")},
                                     {{QStringLiteral("fields")}, QStringLiteral("LIST")},
                                     {{QStringLiteral("sort")}, QStringLiteral("LIST")},
                                     {{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("FILE")},
                                     {{QStringLiteral("no-formula-guard")}, {}}},
                                    printHelp, runExport};
    return command;
}
