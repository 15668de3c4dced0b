#pragma once

#include <QString>

class TMp3Root;
class TMp3Track;
struct TTrackMember;

// Gives one member of a track a value that no fresh track holds: a text,
// a number, a flag, or a lookup item added to the root's list of it.
// Returns the value as the dump prints it (the lookup by its name).
QString SetSampleValue(TMp3Track &track, const TTrackMember &row, TMp3Root &root);
