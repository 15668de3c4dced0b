#pragma once

#include "core/files/relink.h"

// Relink decisions made the plain way, as the program made them before the
// found files were indexed: every round scores every pending track against
// every file left, with the textbook edit distance.  The indexed matching
// must give the same decisions; the relink benchmark times both.
TRelinkDecisionList StraightRelinkDecisions(const TFoundFileList &found, TFileMatchList pending,
                                            TMatchingType matching, int minimumScore);
// One pair's score by the same plain rules as MatchScore.
int StraightMatchScore(const QString &trackPath, qint64 trackSize, const TFoundFile &found, TMatchingType type);
