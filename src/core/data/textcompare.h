#pragma once

#include <QCollatorSortKey>
#include <QString>
#include <QStringView>

// Lookup names and sort texts ignore the case of the letters A to Z only;
// every other character keeps its case and compares by code point.

// The text with A to Z turned into a to z.
QString foldAsciiCase(QStringView text);
// Negative, zero or positive; a text that is a prefix of the other sorts first.
int compareAsciiNoCase(QStringView a, QStringView b);
bool equalsAsciiNoCase(QStringView a, QStringView b);

// Names and titles are put in order as their readers expect: by the
// collation of the user's language, letters with accents beside their base
// letters ("Émile" with the E's), case ignored, and runs of digits compared
// as numbers ("Track 2" before "Track 10").  The empty text sorts first; a
// text that is a prefix of the other sorts first.
int compareForSorting(QStringView a, QStringView b);
// A key that orders as compareForSorting does.  Comparing keys is far
// cheaper than comparing texts: a sort takes one key per text.
QCollatorSortKey sortingKey(const QString &text);
