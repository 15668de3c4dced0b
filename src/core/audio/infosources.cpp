#include "core/audio/infosources.h"
#include "core/audio/mergedfields.h"

#include "core/audio/filenameinfo.h"
#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"

namespace {

using F = TMergedField;

} // namespace

const std::array<TMergedField, MergedFieldCount> &AllMergedFields()
{
    static const std::array<TMergedField, MergedFieldCount> fields = [] {
        std::array<TMergedField, MergedFieldCount> all{};
        for (int i = 0; i < MergedFieldCount; ++i)
            all[size_t(i)] = TMergedField(i);
        return all;
    }();
    return fields;
}

bool IsMergedNumberField(TMergedField field)
{
    return field == F::TrackIndex || field == F::BPM;
}

namespace {

// What a record holds for a field, as its row names the member.
template <typename Record, typename Object>
std::optional<QString> memberText(const Object &record, const TFieldMember<Record> &member)
{
    return member.Text ? std::optional<QString>(record.*member.Text) : std::nullopt;
}

template <typename Record, typename Object>
std::optional<qint32> memberNumber(const Object &record, const TFieldMember<Record> &member)
{
    return member.Number ? std::optional<qint32>(record.*member.Number) : std::nullopt;
}

// A source as the merge sees it: whether it takes part, what it offers for
// a field, and whether its offer stands even when empty.
template <typename Value>
struct SourceOffer {
    bool available;
    std::optional<Value> value;
    bool final;
};

template <typename Value>
std::optional<Value> firstOffer(std::initializer_list<SourceOffer<Value>> offers, const Value &none)
{
    for (const SourceOffer<Value> &offer : offers) {
        if (!offer.available || !offer.value)
            continue;
        if (offer.final || *offer.value != none)
            return offer.value;
    }
    return std::nullopt;
}

} // namespace

QString TManualEntry::Text(TMergedField field) const
{
    return m_values[size_t(field)].Text;
}

qint32 TManualEntry::Number(TMergedField field) const
{
    return m_values[size_t(field)].Number;
}

void TManualEntry::SetText(TMergedField field, const QString &text)
{
    if (!IsMergedNumberField(field))
        m_values[size_t(field)].Text = text;
}

void TManualEntry::SetNumber(TMergedField field, qint32 number)
{
    if (IsMergedNumberField(field))
        m_values[size_t(field)].Number = number;
}

// The entry offers a text field's text and a number field's number: a
// source offers a field in one form only.
std::optional<QString> TManualEntryInfo::GetText(TMergedField field) const
{
    if (!Entry || IsMergedNumberField(field))
        return std::nullopt;
    return Entry->Text(field);
}

std::optional<qint32> TManualEntryInfo::GetNumber(TMergedField field) const
{
    if (!Entry || !IsMergedNumberField(field))
        return std::nullopt;
    return Entry->Number(field);
}

std::optional<QString> ID3v2Text(const TID3v2Tag &tag, TMergedField field)
{
    const TMergedFieldRow &row = MergedFieldRow(field);
    // A genre stored as a reference ("(17)") is offered as its name, so
    // that views, new tracks and the ID3v1 tag get "Rock", not "(17)".
    if (row.IsGenre)
        return tag.genreDisplayText();
    return memberText(tag, row.V2);
}

std::optional<qint32> ID3v2Number(const TID3v2Tag &tag, TMergedField field)
{
    return memberNumber(tag, MergedFieldRow(field).V2);
}

std::optional<QString> ID3v1Text(const TID3v1Tag &tag, TMergedField field)
{
    const TMergedFieldRow &row = MergedFieldRow(field);
    if (row.IsGenre)
        return tag.GetGenre();
    return memberText(tag, row.V1);
}

std::optional<qint32> ID3v1Number(const TID3v1Tag &tag, TMergedField field)
{
    return memberNumber(tag, MergedFieldRow(field).V1);
}

std::optional<QString> FilenameText(const TFilenameInfo &info, TMergedField field)
{
    return memberText(info, MergedFieldRow(field).Filename);
}

std::optional<qint32> FilenameNumber(const TFilenameInfo &info, TMergedField field)
{
    return memberNumber(info, MergedFieldRow(field).Filename);
}

QString TInfoSourceSet::GetMergedText(TMergedField field) const
{
    if (IsMergedNumberField(field))
        return QString::number(GetMergedNumber(field));
    const std::optional<QString> text = firstOffer<QString>(
        {
            {m_manual.Available(), m_manual.GetText(field), false},
            {m_track.Available(), m_track.GetText(field), false},
            {m_id3v2.Available(), ID3v2Text(m_id3v2, field), false},
            {m_id3v1.Available(), ID3v1Text(m_id3v1, field), false},
            {m_filename.Available(), FilenameText(m_filename, field), true},
        },
        QString());
    return text ? TrimControl(*text) : QString();
}

qint32 TInfoSourceSet::GetMergedNumber(TMergedField field) const
{
    if (!IsMergedNumberField(field))
        return 0;
    return firstOffer<qint32>(
               {
                   {m_manual.Available(), m_manual.GetNumber(field), false},
                   {m_track.Available(), m_track.GetNumber(field), false},
                   {m_id3v2.Available(), ID3v2Number(m_id3v2, field), false},
                   {m_id3v1.Available(), ID3v1Number(m_id3v1, field), false},
                   {m_filename.Available(), FilenameNumber(m_filename, field), true},
               },
               0)
        .value_or(0);
}

void CopyV1ToV2(const TID3v1Tag &from, TID3v2Tag &to)
{
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        if (row.IsGenre)
            to.SetGenre(from.GetGenre());
        else if (row.V1.Text)
            to.*row.V2.Text = from.*row.V1.Text;
        else if (row.V1.Number)
            to.*row.V2.Number = from.*row.V1.Number;
    }
}

void CopyV2ToV1(const TID3v2Tag &from, TID3v1Tag &to)
{
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        if (row.IsGenre)
            to.SetGenre(from.genreDisplayText());
        else if (row.V1.Text)
            to.*row.V1.Text = (from.*row.V2.Text).left(V1Length(row));
        else if (row.V1.Number)
            to.*row.V1.Number = from.*row.V2.Number;
    }
}

namespace {

// The values of the file name that are not empty (0) replace the tag's; the
// ID3v1 tag (cut) takes only as much as it holds.
void takeFilenameValues(const TFilenameInfo &from, TID3Tag &to, bool cut)
{
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        if (row.Filename.Number) {
            if (from.*row.Filename.Number != 0)
                to.*row.V1.Number = from.*row.Filename.Number;
            continue;
        }
        if (!row.Filename.Text || (from.*row.Filename.Text).isEmpty())
            continue;
        const QString &value = from.*row.Filename.Text;
        if (row.IsGenre)
            to.SetGenre(value);
        else
            to.*row.V1.Text = cut ? value.left(V1Length(row)) : value;
    }
}

} // namespace

void FilenameToV1(const TFilenameInfo &from, TID3v1Tag &to)
{
    takeFilenameValues(from, to, true);
}

void FilenameToV2(const TFilenameInfo &from, TID3v2Tag &to)
{
    takeFilenameValues(from, to, false);
}
