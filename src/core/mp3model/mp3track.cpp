#include "core/mp3model/mp3track.h"

#include "core/base/localpath.h"
#include "core/data/datafield.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3fields.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/trackmembers.h"

#include <algorithm>
#include <optional>

TMp3Track::TMp3Track(TDataObject *owner)
    : TDataItem(owner)
    , Genres(std::make_unique<TLookupItemRefList>(this, Mp3FieldIds::Genre))
{
}

TMp3Track::~TMp3Track() = default;

QString TMp3Track::GetDisplayName() const
{
    return QStringLiteral("%1 - %2").arg(GetLookupDisplayName(Artist), Title);
}

void TMp3Track::Clear()
{
    TDataItem::Clear();
    for (const TTrackMember &row : TrackMembers())
        ClearTrackMember(*this, row);
}

std::unique_ptr<TDataItem> TMp3Track::CreateNew(TDataObject *owner) const
{
    return std::make_unique<TMp3Track>(owner);
}

std::unique_ptr<TDataItem> TMp3Track::Clone(TDataObject *owner, bool keepID) const
{
    auto clone = std::make_unique<TMp3Track>(owner);
    copyItemTo(*clone, keepID);
    for (const TTrackMember &row : TrackMembers())
        CopyTrackMember(*this, *clone, row);
    return clone;
}

QString TMp3Track::fileName() const
{
    // Collections made on other systems hold "d:\music\x.mp3"; a colon is
    // a drive separator only in that position, elsewhere it belongs to the
    // name.
    const qsizetype delimiter = qMax(FilePath.lastIndexOf(QLatin1Char('/')),
                                     FilePath.lastIndexOf(QLatin1Char('\\')));
    if (delimiter >= 0)
        return FilePath.mid(delimiter + 1);
    if (FilePath.size() >= 2 && FilePath.at(1) == QLatin1Char(':') && FilePath.at(0).isLetter())
        return FilePath.mid(2);
    return FilePath;
}

const TTrackLookupMember *TMp3Track::singleLookupMember(const TDataField *field)
{
    const TTrackMember *row = TrackMemberOf(field->ID);
    return row ? std::get_if<TTrackLookupMember>(&row->Value) : nullptr;
}

QString TMp3Track::ownText(const TDataField *field) const
{
    if (field->ID == Mp3FieldIds::Filename)
        return ReadablePath(fileName());
    if (const TTrackMember *row = TrackMemberOf(field->ID))
        return TrackMemberText(*this, *row);
    return TDataItem::GetValueAsString(field);
}

QString TMp3Track::GetValueAsString(const TDataField *field) const
{
    return GetInheritedString(field, ownText(field));
}

qint32 TMp3Track::GetValueAsInteger(const TDataField *field) const
{
    const TTrackMember *row = TrackMemberOf(field->ID);
    const auto number = [&]() -> std::optional<qint32> {
        if (!row || !row->IntegerValue)
            return std::nullopt;
        if (const auto *member = std::get_if<qint32 TMp3Track::*>(&row->Value))
            return this->**member;
        if (const auto *member = std::get_if<quint8 TMp3Track::*>(&row->Value))
            return this->**member;
        return std::nullopt;
    }();
    return GetInheritedInteger(field, number.value_or(TDataItem::GetValueAsInteger(field)));
}

TLookupItem *TMp3Track::GetValueAsLookupItem(const TDataField *field, bool inherit) const
{
    TLookupItem *value = nullptr;
    if (field->ID == Mp3FieldIds::Genre)
        value = Genres->First();
    else if (const TTrackLookupMember *lookup = singleLookupMember(field))
        value = lookup->Get(*this);
    return inherit ? GetInheritedLookupItem(field, value) : value;
}

TLookupItemRefList *TMp3Track::GetValueAsLookupItemRefList(const TDataField *field, bool inherit) const
{
    TLookupItemRefList *value = field->ID == Mp3FieldIds::Genre ? Genres.get() : nullptr;
    return inherit ? GetInheritedLookupItemRefList(field, value) : value;
}

quint8 TMp3Track::GetValueAsBoolean(const TDataField *field) const
{
    const TTrackMember *row = TrackMemberOf(field->ID);
    const auto *member = row ? std::get_if<bool TMp3Track::*>(&row->Value) : nullptr;
    if (!member)
        return BoolValue::NotApplicable;
    return this->**member ? BoolValue::Yes : BoolValue::No;
}

void TMp3Track::SetValueAsLookupItem(const TDataField *field, TLookupItem *item, qint32 mode,
                                     TLookupItem *oldItem)
{
    if (field->ID == Mp3FieldIds::Genre) {
        Genres->SetLookupItem(item, oldItem, mode);
        return;
    }
    // A value of the wrong class (an album for the artist) is as invalid as
    // a field the track does not hold.
    const TTrackLookupMember *lookup = singleLookupMember(field);
    if (!lookup || !lookup->Set(*this, item))
        TDataItem::SetValueAsLookupItem(field, item, mode, oldItem);
}

bool TMp3Track::HasLookupItem(const TDataField *field, const TLookupItem *item) const
{
    if (field->ID == Mp3FieldIds::Genre)
        return Genres->ContainsOrEmpty(item);
    if (singleLookupMember(field))
        return GetValueAsLookupItem(field, true) == item;
    return false;
}

bool TMp3Track::IsEqual(const TDataItem *item) const
{
    const auto *other = dynamic_cast<const TMp3Track *>(item);
    if (!other)
        return false;
    const auto same = [&](const TTrackMember &row) { return !row.Compared || SameTrackMember(*this, *other, row); };
    return Index == other->Index && std::all_of(TrackMembers().begin(), TrackMembers().end(), same);
}

void TMp3Track::ApplyDefaults()
{
    auto *root = dynamic_cast<TMp3Root *>(GetRoot());
    if (!root)
        return;
    const auto *defaults = dynamic_cast<const TMP3Defaults *>(root->Defaults.get());
    if (!defaults)
        return;
    if (!Year)
        Year = root->Years->FindOrAdd(defaults->DefaultYear);
    if (Genres->isEmpty())
        Genres->Add(root->GenreList->FindOrAdd(defaults->DefaultGenre));
    if (!Location)
        Location = static_cast<TLocationLookupItem *>(root->Locations->FindOrAdd(defaults->DefaultLocation));
}

// ---- TMp3TrackList --------------------------------------------------------

TDataItem *TMp3TrackList::CreateItem()
{
    return Add(std::make_unique<TMp3Track>(this));
}

// ---- texts ----------------------------------------------------------------

QString GetMissingFileMessage(const TMp3Track &track)
{
    if (!track.Location)
        return QStringLiteral("File %1 not found.").arg(track.FilePath);
    QString format;
    switch (track.Location->DriveType) {
    case dkRemovable:
        format = QStringLiteral("File\n\r%1\n\rnot found on removable drive %2.\n\r\n\rPlease insert the "
                                "disk, and verify that the file has not been moved or renamed.");
        break;
    case dkFixed:
        format = QStringLiteral("File\n\r%1\n\rnot found on harddisk %2.\n\r\n\rPlease verify that the "
                                "file has not been moved or renamed.");
        break;
    case dkNetwork:
        format = QStringLiteral("File\n\r%1\n\rnot found on network drive %2.\n\r\n\rPlease verify that "
                                "the network connection is active, and the file has not been moved or "
                                "renamed.");
        break;
    case dkCDRom:
        format = QStringLiteral("File\n\r%1\n\rnot found on CD %2.\n\r\n\rPlease insert the disk, and "
                                "verify that the file has not been moved or renamed.");
        break;
    default:
        format = QStringLiteral("File\n\r%1\n\rnot found (Location %2).");
        break;
    }
    return format.arg(track.FilePath, track.Location->GetDisplayName());
}

QString GetArtistTitle(const TMp3Track &track)
{
    const QString artist = GetLookupDisplayName(track.Artist);
    if (artist.isEmpty())
        return track.Title;
    if (track.Title.isEmpty())
        return artist;
    return QStringLiteral("%1 - %2").arg(artist, track.Title);
}
