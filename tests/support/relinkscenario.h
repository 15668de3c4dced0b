#pragma once

#include "core/files/filematch.h"
#include "core/mp3model/mp3root.h"

#include <QtGlobal>

// How the sizes of the generated files spread.
enum class TScenarioSizes {
    Realistic,    // 2 to 12 MB, rarely two alike
    FewDistinct,  // twenty sizes, some a few bytes apart: many ties
    AllEqual,     // one size: every file passes the size test
};

// A library moved to another folder, as a relink meets it: tracks whose
// files are gone (most moved under the same name, some renamed a little,
// some retagged to another size, some lost for good) and the files found,
// among them copies of one file in two folders and files of no track.
struct TRelinkScenario {
    TMp3Root Root;
    TFileMatchList Missing;
    TFoundFileList Found;
};

void BuildRelinkScenario(TRelinkScenario &scenario, quint32 seed, int trackCount, int fileCount,
                         TScenarioSizes sizes);
