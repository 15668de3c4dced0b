#pragma once

#include "core/files/playlistformats.h"
#include "mp3builder.h"

#include <QByteArray>

class TMp3Root;

// Content for the crash-safety tests, made the same way by the test and by
// the child process it runs, so both know what a complete write holds.
namespace safety {

// Adds `tracks` tracks with artists, albums, genres, notes and paths; the
// values depend on `seed`, so two seeds make two different collections.
void fillCollection(TMp3Root &root, int tracks, int seed);

// `count` MPEG frames like `frame` with pseudo-random bodies, so that a
// shifted, repeated or missing block of audio shows in a comparison.
QByteArray audioFrames(int count, const mp3::Frame &frame = {}, quint32 seed = 1);

// `count` playlist entries.
TPlayListRecords playListRecords(int count);

} // namespace safety
