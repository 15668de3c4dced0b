#include "core/audio/tagvalues.h"

#include "core/audio/id3v1tag.h"
#include "core/audio/id3v2tag.h"
#include "core/audio/mergedfields.h"

void TTagValues::Set(TMergedField field, const QString &text, qint32 number)
{
    m_values.append({field, text, number});
}

void TTagValues::PutInto(TID3v2Tag &tag) const
{
    for (const TValue &value : m_values) {
        const TMergedFieldRow &row = MergedFieldRow(value.Field);
        if (row.IsGenre)
            tag.SetGenre(value.Text);
        else if (row.V2.Text)
            tag.*row.V2.Text = value.Text;
        else
            tag.*row.V2.Number = value.Number;
    }
}

void TTagValues::PutInto(TID3v1Tag &tag) const
{
    for (const TValue &value : m_values) {
        const TMergedFieldRow &row = MergedFieldRow(value.Field);
        // The tag keeps a genre as an index into its list: "(17)" and
        // "Rock" both find Rock there.
        if (row.IsGenre)
            tag.SetGenre(value.Text);
        else if (row.V1.Number)
            tag.*row.V1.Number = value.Number;
        else if (row.V1.Text)
            tag.*row.V1.Text = row.Field == TMergedField::Notes ? value.Text.left(V1TextLength) : value.Text;
    }
}
