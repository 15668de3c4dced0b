#pragma once

#include "audio/id3v1tag.h"
#include "audio/id3v2tag.h"
#include "audio/mpeginfo.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>

// What the program reads from one MP3 file, for `tunebase-cli info`.  The
// JSON object and the text block are built from the same sections, so an
// information source is added in one place: read it in read(), describe it
// in sections().
class FileReport {
public:
    // Reads the file; false (with errorText) when it cannot be opened.
    bool read(const QString &path);
    QString errorText() const { return m_error; }

    QJsonObject toJson() const;
    QString toText() const;

private:
    using Fields = QList<QPair<QString, QJsonValue>>;   // in display order
    struct Section {
        QString name;
        Fields fields;
    };

    QList<Section> sections() const;
    Section mpegSection() const;
    Section id3v1Section() const;
    Section id3v2Section() const;

    QString m_path;
    qint64 m_size = 0;
    QString m_error;
    TMpegInfo m_mpeg;
    TID3v1Tag m_id3v1;
    TID3v2Tag m_id3v2;
};
