#include "core/mp3model/mp3root.h"

#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"

#include <algorithm>

// ---- TFilePathList --------------------------------------------------------

namespace {

bool pathLessNoCase(const TFilePathList::Entry &a, const TFilePathList::Entry &b)
{
    return QString::compare(a.Path, b.Path, Qt::CaseInsensitive) < 0;
}

} // namespace

void TFilePathList::sort()
{
    std::stable_sort(m_entries.begin(), m_entries.end(), pathLessNoCase);
}

TMp3Track *TFilePathList::find(const QString &path) const
{
    const auto [first, last] = std::equal_range(m_entries.cbegin(), m_entries.cend(), Entry{path, nullptr},
                                                pathLessNoCase);
    const auto exact = std::find_if(first, last, [&path](const Entry &entry) { return entry.Path == path; });
    if (exact != last)
        return exact->Track;
    return std::distance(first, last) == 1 ? first->Track : nullptr;
}

// ---- TMp3Root -------------------------------------------------------------

TMp3Root::TMp3Root()
{
    using namespace Mp3FieldIds;
    Artists = std::make_unique<TPersonLookupList>(this, true, Artist);
    OriginalArtists = std::make_unique<TPersonLookupList>(this, true, OriginalArtist);
    Lyricists = std::make_unique<TPersonLookupList>(this, true, Lyricist);
    Conductors = std::make_unique<TPersonLookupList>(this, true, Conductor);
    Composers = std::make_unique<TPersonLookupList>(this, true, Composer);
    GenreList = std::make_unique<TLookupList>(this, true, Genre);
    Labels = std::make_unique<TSortLookupList>(this, true, Label);
    Orchestras = std::make_unique<TSortLookupList>(this, true, Orchestra);
    Years = std::make_unique<TYearLookupList>(this, true, Year);
    Tempos = std::make_unique<TTempoLookupList>(this, true, Tempo);
    Moods = std::make_unique<TMoodLookupList>(this, true, Mood);
    Situations = std::make_unique<TSituationLookupList>(this, true, Situation);
    Preferences = std::make_unique<TPreferenceLookupList>(this, true, Preference);
    Locations = std::make_unique<TLocationLookupList>(this, true, Location);
    Albums = std::make_unique<TAlbumLookupList>(this, true, Album);
    Items = std::make_unique<TMp3TrackList>(this);
    Fields = std::make_unique<TMp3GlobalDataFieldList>(this);
    Defaults = std::make_unique<TMP3Defaults>();
}

TMp3Root::~TMp3Root()
{
    // The lookup lists go first, in member order; the base class then frees
    // the tracks, the catalogue and the defaults.
    Artists.reset();
    OriginalArtists.reset();
    Lyricists.reset();
    Conductors.reset();
    Composers.reset();
    GenreList.reset();
    Labels.reset();
    Orchestras.reset();
    Years.reset();
    Tempos.reset();
    Moods.reset();
    Situations.reset();
    Preferences.reset();
    Locations.reset();
    Albums.reset();
}

QList<TLookupList *> TMp3Root::lookupLists() const
{
    return {Artists.get(),   OriginalArtists.get(), Lyricists.get(),  Conductors.get(), Composers.get(),
            GenreList.get(), Labels.get(),          Orchestras.get(), Years.get(),      Tempos.get(),
            Moods.get(),     Situations.get(),      Preferences.get(), Locations.get(), Albums.get()};
}

QString TMp3Root::GetFileFilter() const
{
    return QStringLiteral("MP3 Collections (*.") + GetFileExtension() + QLatin1Char(')');
}

QString TMp3Root::GetCollectionName() const
{
    return QStringLiteral("MP3 Collection");
}

QString TMp3Root::GetTypeName() const
{
    return QStringLiteral("MP3");
}

qint32 TMp3Root::GetDataVersion() const
{
    return 100;
}

QString TMp3Root::GetFileExtension() const
{
    return QStringLiteral("tbx");
}

void TMp3Root::Clear()
{
    TRootItem::Clear();
    for (TLookupList *list : lookupLists())
        list->ResetToDefaults();
}

void TMp3Root::ReadLookupLists(TDataReader &reader, qint32 fileVersion, qint32 dataVersion)
{
    for (TLookupList *list : lookupLists()) {
        list->FreeAll();
        list->ReadFromStream(reader, fileVersion, dataVersion);
        // The file keeps each list in the order of the version that wrote
        // it; earlier versions put accented names after "Z".
        list->sortBySortName();
    }
}

void TMp3Root::WriteLookupLists(TDataWriter &writer)
{
    for (TLookupList *list : lookupLists())
        list->WriteToStream(writer);
}

bool TMp3Root::ImportFromFile(const QString &fileName)
{
    // What the merge leaves in the temporary root (values this collection
    // already had) is freed with it.
    TMp3Root imported;
    if (!imported.LoadFromFile(fileName))
        return false;
    MergeLookupLists(imported);
    ImportItems(imported);
    return true;
}

void TMp3Root::MergeLookupLists(TRootItem &otherRoot)
{
    auto *other = dynamic_cast<TMp3Root *>(&otherRoot);
    if (!other || other == this)
        return;
    Artists->MergeFrom(*other->Artists, *other);
    OriginalArtists->MergeFrom(*other->OriginalArtists, *other);
    Lyricists->MergeFrom(*other->Lyricists, *other);
    Conductors->MergeFrom(*other->Conductors, *other);
    Composers->MergeFrom(*other->Composers, *other);
    Labels->MergeFrom(*other->Labels, *other);
    Orchestras->MergeFrom(*other->Orchestras, *other);
    GenreList->MergeFrom(*other->GenreList, *other);
    Years->MergeFrom(*other->Years, *other);
    Tempos->MergeFrom(*other->Tempos, *other);
    Moods->MergeFrom(*other->Moods, *other);
    Situations->MergeFrom(*other->Situations, *other);
    Preferences->MergeFrom(*other->Preferences, *other);
    Locations->MergeFrom(*other->Locations, *other);
    Albums->MergeFrom(*other->Albums, *other);
}

TLookupList *TMp3Root::GetLookupList(const TDataField *field) const
{
    if (!field)
        return nullptr;
    for (TLookupList *list : lookupLists()) {
        if (list->FieldID == field->ID)
            return list;
    }
    return nullptr;
}

void TMp3Root::GetFilePathList(TFilePathList &paths) const
{
    paths.clear();
    const TMp3TrackList *tracks = GetTracks();
    for (int i = 0; i < tracks->Count(); ++i)
        paths.append(tracks->Get(i)->FilePath, tracks->Get(i));
    paths.sort();
}
