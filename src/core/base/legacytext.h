#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The 8-bit code page of text that old taggers wrote without saying which:
// ID3v1 tags, and ID3v2 frames that claim ISO-8859-1.  Programs in Japan,
// China, Korea, Russia, Central Europe or Greece wrote their region's code
// page there.  One choice for the whole program ("Legacy Tag Encoding" in
// [Settings]), set before files are read; Windows-1252 by default.
struct TLegacyEncoding {
    QString name;     // as the settings and the command line give it
    QString caption;  // as the Preferences window lists it
};

// The code pages offered, the default first.
const QList<TLegacyEncoding> &LegacyTagEncodings();
QString DefaultLegacyTagEncoding();

// The offered code page of that name (letter case aside, "cp1251" for
// "windows-1251" too), or empty when there is none.
QString LegacyTagEncodingNamed(const QString &name);

// Makes the code page of that name the one tags are read and written in;
// false, and nothing changed, when it is not offered.
bool SetLegacyTagEncoding(const QString &name);
QString LegacyTagEncoding();
bool LegacyTagEncodingIsDefault();

// Text of the current code page.
QString decodeLegacyText(QByteArrayView bytes);
// The bytes of `text` in the current code page; nothing when a character
// does not fit (no character is ever replaced by "?").
std::optional<QByteArray> encodeLegacyText(QStringView text);
