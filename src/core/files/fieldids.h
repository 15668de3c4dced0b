#pragma once

#include <QtGlobal>

// Catalogue numbers of the fields that file items answer.
namespace FileFieldIds {
constexpr qint32 Title = 3;
constexpr qint32 Notes = 10;
constexpr qint32 Filename = 12;
constexpr qint32 Size = 14;
constexpr qint32 Length = 15;
constexpr qint32 MpegVersion = 16;
constexpr qint32 MpegLayer = 17;
constexpr qint32 Mode = 18;
constexpr qint32 Bitrate = 19;
constexpr qint32 VBR = 20;
constexpr qint32 SampleRate = 21;
constexpr qint32 CRCs = 22;
constexpr qint32 Copyrighted = 23;
constexpr qint32 Original = 24;
constexpr qint32 Emphasis = 25;
constexpr qint32 Frames = 26;
constexpr qint32 TrackIndex = 27;
constexpr qint32 FilenameFormat = 28;
constexpr qint32 Artist = 29;
constexpr qint32 Genre = 30;
constexpr qint32 Label = 31;
constexpr qint32 Year = 32;
constexpr qint32 Album = 33;
constexpr qint32 NewFilename = 34;
constexpr qint32 HeaderPosition = 38;
constexpr qint32 Lyricist = 40;
constexpr qint32 Orchestra = 42;
constexpr qint32 Conductor = 44;
constexpr qint32 BPM = 45;
constexpr qint32 SubTitle = 46;
constexpr qint32 Tempo = 48;
constexpr qint32 Mood = 50;
constexpr qint32 Situation = 52;
constexpr qint32 Preference = 54;
constexpr qint32 Biography = 55;
constexpr qint32 AudioURL = 56;
constexpr qint32 ArtistURL = 57;
constexpr qint32 GeneralURL = 58;
constexpr qint32 Lyrics = 59;
constexpr qint32 EncodedBy = 60;
constexpr qint32 CopyrightBy = 61;
constexpr qint32 Composer = 63;
constexpr qint32 OriginalArtist = 65;
constexpr qint32 Filepath = 66;
} // namespace FileFieldIds
