#include "cli/tagfields.h"

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
    using T = TID3v2Tag;
    static const QList<TagField> fields = {
        {"artist", &T::Artist, nullptr},
        {"title", &T::Title, nullptr},
        {"album", &T::Album, nullptr},
        {"year", &T::Year, nullptr},
        {"track", nullptr, &T::Track},
        {"genre", &T::Genre, nullptr},
        {"comment", &T::Comment, nullptr},
        {"label", &T::Label, nullptr},
        {"origArtist", &T::OrigArtist, nullptr},
        {"composer", &T::Composer, nullptr},
        {"lyricist", &T::Lyricist, nullptr},
        {"orchestra", &T::Orchestra, nullptr},
        {"conductor", &T::Conductor, nullptr},
        {"encodedBy", &T::EncodedBy, nullptr},
        {"copyrightBy", &T::CopyrightBy, nullptr},
        {"bpm", nullptr, &T::BPM},
        {"subtitle", &T::Subtitle, nullptr},
        {"tempo", &T::Tempo, nullptr},
        {"mood", &T::Mood, nullptr},
        {"situation", &T::Situation, nullptr},
        {"preference", &T::Preference, nullptr},
        {"bio", &T::Bio, nullptr},
        {"audioURL", &T::AudioURL, nullptr},
        {"artistURL", &T::ArtistURL, nullptr},
        {"generalURL", &T::GeneralURL, nullptr},
        {"lyrics", &T::Lyrics, nullptr},
    };
    return fields;
}

const TagField *findTagField(const QString &name)
{
    for (const TagField &field : tagFields())
        if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0)
            return &field;
    return nullptr;
}
