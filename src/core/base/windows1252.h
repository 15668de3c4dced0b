#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Windows-1252, the 8-bit text of ID3v1 tags and of old taggers: a superset
// of ISO-8859-1 with printable characters in 0x80..0x9F.  The five bytes that
// code page leaves undefined map to the C1 controls of the same value, so
// every byte survives a round trip.
QString decodeWindows1252(QByteArrayView bytes);
// Characters the code page cannot hold become '?'.
QByteArray encodeWindows1252(QStringView text);
// Whether the code page holds every character of the text.
bool fitsWindows1252(QStringView text);
