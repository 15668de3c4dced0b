#pragma once

#include <functional>

class QWidget;
class TMp3Track;

// Editing one track of the collection from a lookup window: the track
// window works on a copy, and on OK the copy takes the track's place in the
// collection's main list and the track is freed.

// Opens the track window on copy and returns whether it closed with OK.
// The program installs one; until then tracks cannot be edited from here.
using TTrackEditor = std::function<bool(QWidget *owner, TMp3Track &copy)>;
void SetTrackEditor(TTrackEditor editor);

// Whether the track window can be opened.
bool TrackEditingAvailable();

// Opens the track window on a copy of track.  On OK, beforeFree runs (the
// callers' views let go of the track), the copy takes track's place in the
// main list and track is freed; the copy is returned.  On Cancel nothing
// changes and the result is null.
TMp3Track *EditTrackInPlace(QWidget *owner, TMp3Track *track, const std::function<void()> &beforeFree);
