#pragma once

#include "cli/clisettings.h"
#include "core/files/mp3file.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

// What the program reads from one MP3 file, for `tunebase-cli info`.  The
// JSON object and the text block are built from the same sections, so an
// information source is added in one place: read it in read(), describe it
// in sections().
class FileReport {
public:
    // The file name is parsed by the best of parseFormats; merged values
    // come from the sources switched on.
    FileReport(const QStringList &parseFormats, const InfoSourceSwitches &sources);

    // Reads the file; false (with errorText) when it cannot be opened.
    bool read(const QString &path);
    QString errorText() const { return m_error; }

    QJsonObject toJson() const;
    // The JSON object as indented UTF-8 text, without a final line end.
    QByteArray toJsonText() const;
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
    Section filenameSection() const;
    Section mergedSection() const;

    QStringList m_parseFormats;
    InfoSourceSwitches m_sources;
    QString m_error;
    std::unique_ptr<TMP3File> m_file;
};

// The merged fields by the names the command line shows them under
// ("album", "trackIndex", "originalArtist" ...), in catalogue order.
QString MergedFieldName(TMergedField field);
