#pragma once

class TID3FrameList;

// Turns the frames of an ID3v2.2 tag (three-character ids) into their
// ID3v2.3 equivalents, so values read from an old tag survive when it is
// written back as v2.3.  Frames without an equivalent keep their old id;
// returns false when there is such a frame.  The list becomes a v2.3 list.
bool upgradeV22Frames(TID3FrameList &frames);
