#pragma once

#include "core/files/filestates.h"

#include <QString>

class TMp3Root;

// The scan index: the modification time of each track's file, kept beside
// the collection file as "<collection>-index" (the collection file's
// layout has no place for it).  A rescan passes over files whose size and
// modification time are as the index says.  The index is only a help: a
// missing, damaged or outdated one is ignored (the files are then read),
// and it never keeps a collection from opening or saving.  An entry counts
// only while its track still has the file path and size it records.
QString ScanIndexPath(const QString &collectionPath);

// Gives the tracks the modification times the index records for them;
// returns how many got one.  0 when there is no usable index.
int LoadScanIndex(TMp3Root &root, const QString &collectionPath);
// Writes the index of the tracks whose modification time is known,
// replacing the old one only once complete; false, with `problem`, when it
// could not be written.  The index's name is the program's own: a symbolic
// link planted in its place is neither read nor written through.
bool SaveScanIndex(const TMp3Root &root, const QString &collectionPath, QString *problem = nullptr);

// Size and modification time of the tracks' files where the time is known.
TFileStates FileStatesOfTracks(const TMp3Root &root);
