#include "cli/clicollection.h"
#include "cli/clicommand.h"
#include "cli/jsonwriter.h"

#include "core/data/collectionfile.h"
#include "core/data/fieldlists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/trackmembers.h"

#include <QTextStream>

namespace {

// A lookup list and its member name.
struct TNamedList {
    const char *name;
    const TLookupList *list;
};

// In the order of the collection file.
QList<TNamedList> namedLookupLists(const TMp3Root &root)
{
    return {
        {"Artists", root.Artists.get()},         {"OriginalArtists", root.OriginalArtists.get()},
        {"Lyricists", root.Lyricists.get()},     {"Conductors", root.Conductors.get()},
        {"Composers", root.Composers.get()},     {"GenreList", root.GenreList.get()},
        {"Labels", root.Labels.get()},           {"Orchestras", root.Orchestras.get()},
        {"Years", root.Years.get()},             {"Tempos", root.Tempos.get()},
        {"Moods", root.Moods.get()},             {"Situations", root.Situations.get()},
        {"Preferences", root.Preferences.get()}, {"Locations", root.Locations.get()},
        {"Albums", root.Albums.get()},
    };
}

QString nameOf(const TLookupItem *item)
{
    return item ? item->DisplayName : QString();
}

void writeLookupItem(TJsonWriter &json, const TLookupItem &item)
{
    json.beginObject();
    json.member(QStringLiteral("id"), item.ID);
    json.member(QStringLiteral("index"), item.Index);
    json.member(QStringLiteral("displayName"), item.DisplayName);
    json.member(QStringLiteral("sortName"), item.GetSortName());
    if (const auto *sortItem = dynamic_cast<const TSortLookupItem *>(&item)) {
        json.member(QStringLiteral("lastName"), sortItem->LastName);
        json.member(QStringLiteral("the"), sortItem->The);
    }
    if (const auto *person = dynamic_cast<const TPersonLookupItem *>(&item))
        json.member(QStringLiteral("firstName"), person->FirstName);
    if (const auto *location = dynamic_cast<const TLocationLookupItem *>(&item)) {
        json.member(QStringLiteral("driveType"), int(location->DriveType));
        json.member(QStringLiteral("driveLabel"), location->DriveLabel);
    }
    json.endObject();
}

// Every member of the track, in the order of its record in the file.
void writeTrack(TJsonWriter &json, const TMp3Track &track)
{
    json.beginObject();
    json.member(QStringLiteral("ID"), track.ID);
    json.member(QStringLiteral("Index"), track.Index);
    for (const TTrackMember &row : TrackMembers()) {
        if (!row.InRecord)
            continue;
        json.key(QString::fromLatin1(row.Name));
        std::visit(TOverloaded{
                       [&](TTrackLookupMember lookup) { json.value(nameOf(lookup.Get(track))); },
                       [&](TTrackGenresMember) {
                           json.beginArray();
                           for (int i = 0; i < track.Genres->Count(); ++i)
                               json.value(nameOf(track.Genres->Get(i)));
                           json.endArray();
                       },
                       [&](quint8 TMp3Track::*member) { json.value(int(track.*member)); },
                       [&](auto member) { json.value(track.*member); },
                   },
                   row.Value);
    }
    json.endObject();
}

void writeCollection(TJsonWriter &json, const TMp3Root &root, const TCollectionLoadResult &load)
{
    json.beginObject();
    json.member(QStringLiteral("nextID"), root.NextID);
    json.member(QStringLiteral("nextIndex"), root.NextIndex);
    json.member(QStringLiteral("converted"), load.Converted);
    json.member(QStringLiteral("recovered"), load.Recovered);

    json.key(QStringLiteral("customNames"));
    json.beginObject();
    for (int i = 0; i < root.Fields->Count(); ++i) {
        const TDataField *field = root.Fields->Get(i);
        if (!field->CustomName.isEmpty())
            json.member(QString::number(field->ID), field->CustomName);
    }
    json.endObject();

    json.key(QStringLiteral("lookups"));
    json.beginObject();
    for (const TNamedList &named : namedLookupLists(root)) {
        json.key(QString::fromLatin1(named.name));
        json.beginArray();
        for (int i = 0; i < named.list->Count(); ++i)
            writeLookupItem(json, *named.list->Get(i));
        json.endArray();
    }
    json.endObject();

    json.key(QStringLiteral("tracks"));
    json.beginArray();
    for (const TDataItem *item : *root.Items)
        writeTrack(json, static_cast<const TMp3Track &>(*item));
    json.endArray();

    json.endObject();
    json.finish();
}

void printHelp(QTextStream &out)
{
    out << "Usage: tunebase-cli dump FILE\n\n"
        << "Prints everything a collection file holds as JSON: the identifier counters,\n"
        << "the custom field names, every lookup list and every track with all its\n"
        << "values.  A file recovered from damage or converted from an older version is\n"
        << "printed as read, with the note on the standard error.\n";
}

int runDump(const CliCall &call)
{
    QTextStream &out = call.out;
    QTextStream &err = call.err;
    const QStringList files = call.positional();
    if (files.size() != 1)
        return call.helpOnError();
    TMp3Root root;
    TCollectionLoadResult load;
    if (!openCollectionToShow(root, files.first(), err, load))
        return 1;
    TJsonWriter json(out);
    writeCollection(json, root, load);
    return shownExitCode(load);
}

} // namespace

const CliCommand &dumpCommand()
{
    static const CliCommand command{"dump", "dump FILE", "print everything a collection file holds as JSON", {},
                                    printHelp, runDump};
    return command;
}
