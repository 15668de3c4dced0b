#include "cli/clicollection.h"
#include "cli/clicommand.h"

#include "core/data/datafield.h"
#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "core/output/trackstats.h"

#include <QTextStream>

namespace {

// The lookup fields that tracks carry, by display name.
QStringList lookupFieldNames(const TGlobalDataFieldList &catalogue)
{
    QStringList names;
    for (int i = 0; i < catalogue.Count(); ++i) {
        const TDataField *field = catalogue.Get(i);
        if (dynamic_cast<const TLookupDataField *>(field) && field->ListKinds.contains(ListKind::MainItems))
            names.append(GetFieldDisplayName(field));
    }
    return names;
}

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli stats COLLECTION [--field NAME] [--order count|name]\n\n"
        << "Counts the tracks of a collection per value of one field and shows the\n"
        << "totals: number of tracks, playing time, size and average bitrate.\n\n"
        << "  --field NAME        the field whose values are counted (default: Artist)\n"
        << "  --order count|name  the most used values first (default), or by name\n\n"
        << "Fields:\n  ";
    TMp3Root root;
    out << lookupFieldNames(*root.Fields).join(QStringLiteral(", ")) << "\n";
}

const TDataField *chosenField(const TMp3Root &root, const QString &name)
{
    if (name.isEmpty())
        return root.Fields->FindByID(Mp3FieldIds::Artist);
    const TDataField *field = findFieldByName(*root.Fields, name, ListKind::MainItems);
    return dynamic_cast<const TLookupDataField *>(field) ? field : nullptr;
}

void printCounts(QTextStream &out, TMp3Root &root, const TDataField *field, TValueOrder order)
{
    qint32 noValue = 0;
    const QList<TValueCount> counts = CountLookupValues(root, field, order, noValue);
    qint32 widest = noValue;
    for (const TValueCount &count : counts)
        widest = std::max(widest, count.Count);
    const int width = int(QString::number(widest).size());
    out << "Number of items per " << GetFieldDisplayName(field) << "\n";
    for (const TValueCount &count : counts)
        out << QStringLiteral("%1  ").arg(count.Count, width) << count.Value->GetDisplayName() << "\n";
    if (noValue > 0)
        out << QStringLiteral("%1  ").arg(noValue, width) << "[None]\n";
    if (counts.isEmpty() && noValue == 0)
        out << "(no tracks)\n";
}

void printTotals(QTextStream &out, const TMp3Root &root)
{
    const auto rows = TTrackTotals::Of(*root.GetTracks()).Rows();
    int width = 0;
    for (const auto &row : rows)
        width = std::max(width, int(row.first.size()));
    for (const auto &row : rows)
        out << row.first.leftJustified(width + 2) << row.second << "\n";
}

int runStats(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    const QString order = call.value(QStringLiteral("order"), QStringLiteral("count")).toLower();
    const QStringList collections = call.positional();
    if (collections.size() != 1)
        return call.wrongArguments(collections.isEmpty() ? QStringLiteral("no COLLECTION given")
                                                         : QStringLiteral("one COLLECTION only"));
    if (order != QLatin1String("count") && order != QLatin1String("name"))
        return call.wrongArguments(QStringLiteral("--order takes count or name, not '%1'").arg(order));

    TMp3Root root;
    bool recovered = false;
    if (!openCollectionArg(root, collections.first(), err, &recovered))
        return 1;
    const QString fieldName = call.value(QStringLiteral("field"));
    const TDataField *field = chosenField(root, fieldName);
    if (!field) {
        err << "tunebase-cli stats: no field named '" << fieldName
            << "' whose values can be counted (see 'tunebase-cli stats --help')\n";
        return 2;
    }
    printCounts(out, root, field, order == QLatin1String("name") ? TValueOrder::ByName : TValueOrder::ByCount);
    out << "\n";
    printTotals(out, root);
    return recovered ? ExitRecovered : 0;
}

} // namespace

const CliCommand &statsCommand()
{
    static const CliCommand command{
        "stats", "stats COLLECTION [--field NAME] [--order count|name]",
        "count the tracks per artist (or another field) and show the totals",
        {{{QStringLiteral("field")}, QStringLiteral("NAME")}, {{QStringLiteral("order")}, QStringLiteral("ORDER")}},
        printHelp, runStats};
    return command;
}
