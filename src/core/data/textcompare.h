#pragma once

#include <QString>
#include <QStringView>

// Lookup names and sort texts ignore the case of the letters A to Z only;
// every other character keeps its case and compares by code point.

// The text with A to Z turned into a to z.
QString foldAsciiCase(QStringView text);
// Negative, zero or positive; a text that is a prefix of the other sorts first.
int compareAsciiNoCase(QStringView a, QStringView b);
bool equalsAsciiNoCase(QStringView a, QStringView b);
