#pragma once

#include <QString>

// Display text of a genre as ID3v2 "TCON" frames store it: "(17)", "17",
// "(17)Rock" and "(4)(17)" all show as "Rock" (a refinement after the
// references wins; else the last reference, the most specific one), "(RX)"
// as "Remix", "(CR)" as "Cover", and "((" stands for a literal "(".  Text
// that is no reference is shown as it is.
QString genreDisplayText(const QString &tcon);
