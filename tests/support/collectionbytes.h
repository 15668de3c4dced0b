#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Builds collection file bytes by hand, value by value, independently of the
// program's writer, so that tests can state exactly what a file holds
// (including forms and versions the program no longer writes).
class TCollectionBytes {
public:
    TCollectionBytes &integer(qint32 value);           // smallest form
    TCollectionBytes &int32(qint32 value);             // always the 4-byte form
    TCollectionBytes &string(const QString &text);     // UTF-8
    TCollectionBytes &rawString(const QByteArray &bytes);
    TCollectionBytes &scrambled(const QString &text);  // UTF-8, scrambled
    TCollectionBytes &rawScrambled(const QByteArray &bytes);
    TCollectionBytes &boolean(bool value);
    TCollectionBytes &date(double value);
    TCollectionBytes &list();                          // start of a list
    TCollectionBytes &end();                           // end of a list
    TCollectionBytes &bytes(const QByteArray &raw);

    // The file header: marker, type, format version, data version.
    TCollectionBytes &header(qint32 formatVersion, qint32 dataVersion, const QString &type = QStringLiteral("MP3"));
    // The reserved block as the program writes it.
    TCollectionBytes &reservedBlock();

    const QByteArray &data() const { return m_data; }
    operator QByteArray() const { return m_data; }

    // The scrambling of names, restated from the file format.
    static QByteArray scramble(const QByteArray &bytes);

private:
    TCollectionBytes &stringBytes(const QByteArray &bytes);
    QByteArray m_data;
};
