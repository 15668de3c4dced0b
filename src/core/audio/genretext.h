#pragma once

#include <QString>
#include <QStringList>

// Several genres in one text, as the collection shows a track's genres.
inline constexpr QLatin1String GenreSeparator("; ", 2);

// The genres an ID3v2 "TCON" text names, in order: "(17)", "17" and "Rock"
// are Rock; "(4)(17)" is Disco and Rock; a refinement after references is
// a genre of its own ("(4)Eurodisco": Disco and Eurodisco) unless it repeats
// one ("(17)Rock": Rock).  "(RX)" is Remix, "(CR)" Cover, and "((" stands for
// a literal "(".  Several values ("Disco; Rock", or the values of a v2.4
// frame joined so) are read one by one; text that is no reference stays as
// it is.
QStringList genreNames(const QString &tcon);

// The genres of a "TCON" text for display, joined by GenreSeparator.
QString genreDisplayText(const QString &tcon);

// The "TCON" text that other programs read as these genres, for a tag of
// the given major version: one genre as it is; in v2.4 several values
// separated by 0 characters; in v2.3 references to the ID3v1 genres, with
// one other genre last as refinement ("(4)(17)", "(4)Eurodisco"), else the
// values separated by 0 characters, which the common readers of v2.3 take
// as well.
QString genreFrameText(const QStringList &names, int majorVersion);
