#pragma once

#include "core/audio/id3v2tag.h"

#include <QJsonValue>
#include <QList>
#include <QString>

// The 26 fields of an ID3v2 tag by the names the command line uses for them
// (the member names in lowerCamel: "artist", "origArtist", "audioURL" ...),
// shared by `info` (reporting) and `tag` (writing).
struct TagField {
    const char *name;
    QString TID3v2Tag::*text;    // a text field, or
    qint32 TID3v2Tag::*number;   // "track" and "bpm"

    QJsonValue value(const TID3v2Tag &tag) const;
    // Sets the field from command-line text; false when a number is no number.
    bool setValue(TID3v2Tag &tag, const QString &text) const;
};

// In the order the tag lists them.
const QList<TagField> &tagFields();
// The field of that name (letter case ignored), or none.
const TagField *findTagField(const QString &name);
