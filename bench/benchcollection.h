#pragma once

// Large collections for the benchmarks, built the same way on every run: a
// library of artists with albums of a dozen tracks, real-looking names of
// varied length (some with accents or in Japanese), several genres per
// track, composers, comments and now and then lyrics, file paths under
// artist and album folders, and the technical values of each file.

#include <QtGlobal>

class TMp3Root;

struct TBenchCollectionShape {
    int Artists = 0;
    int Albums = 0;
    int Genres = 0;
    int Tracks = 0;
};

// Fills an empty root with trackCount tracks; the same seed gives the same
// collection.
TBenchCollectionShape fillBenchCollection(TMp3Root &root, int trackCount, quint32 seed = 2024);

// The number after "--tracks" among a benchmark's arguments, else fallback.
int benchTrackCount(const QStringList &args, int fallback);

// The peak resident memory of this process so far, in MB.
double peakMemoryMB();
// Processor time of this process so far, in seconds: on a busy machine it
// tells the work done apart from the time spent waiting for a core.
double processorSeconds();
