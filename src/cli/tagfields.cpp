#include "cli/tagfields.h"

#include "core/audio/mergedfields.h"

QJsonValue TagField::value(const TID3v2Tag &tag) const
{
    if (text)
        return tag.*text;
    return tag.*number;
}

bool TagField::setValue(TID3v2Tag &tag, const QString &value) const
{
    if (text) {
        tag.*text = value;
        return true;
    }
    if (value.trimmed().isEmpty()) {
        tag.*number = 0;
        return true;
    }
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < 0)
        return false;
    tag.*number = n;
    return true;
}

const QList<TagField> &tagFields()
{
    static const QList<TagField> fields = [] {
        QList<TagField> all;
        for (const TMergedFieldRow &row : MergedFieldRows())
            all.append({row.Name, row.V2.Text, row.V2.Number});
        return all;
    }();
    return fields;
}

const TagField *findTagField(const QString &name)
{
    for (const TagField &field : tagFields())
        if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0)
            return &field;
    return nullptr;
}
