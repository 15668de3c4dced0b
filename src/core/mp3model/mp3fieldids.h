#pragma once

#include <QtGlobal>

// The fixed IDs of the MP3 catalogue's fields.  They are stored in
// collection files and settings, so they never change.
namespace Mp3FieldIds {
constexpr qint32 Title = 3;
constexpr qint32 TitleThe = 4;
constexpr qint32 TitleSort = 5;
constexpr qint32 Artist = 6;
constexpr qint32 Genre = 7;
constexpr qint32 Label = 8;
constexpr qint32 Year = 9;
constexpr qint32 Notes = 10;
constexpr qint32 Album = 11;
constexpr qint32 Filename = 12;
constexpr qint32 Location = 13;
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
// The file tags' texts of the lookup fields (file lists only).
constexpr qint32 ArtistText = 29;
constexpr qint32 GenreText = 30;
constexpr qint32 LabelText = 31;
constexpr qint32 YearText = 32;
constexpr qint32 AlbumText = 33;
constexpr qint32 NewFilename = 34;
constexpr qint32 PlaylistIndex = 35;
constexpr qint32 PlaylistTitle = 36;
constexpr qint32 DiskIndex = 37;
constexpr qint32 HeaderPosition = 38;
constexpr qint32 Lyricist = 39;
constexpr qint32 LyricistText = 40;
constexpr qint32 Orchestra = 41;
constexpr qint32 OrchestraText = 42;
constexpr qint32 Conductor = 43;
constexpr qint32 ConductorText = 44;
constexpr qint32 BPM = 45;
constexpr qint32 SubTitle = 46;
constexpr qint32 Tempo = 47;
constexpr qint32 TempoText = 48;
constexpr qint32 Mood = 49;
constexpr qint32 MoodText = 50;
constexpr qint32 Situation = 51;
constexpr qint32 SituationText = 52;
constexpr qint32 Preference = 53;
constexpr qint32 PreferenceText = 54;
constexpr qint32 Biography = 55;
constexpr qint32 AudioURL = 56;
constexpr qint32 ArtistURL = 57;
constexpr qint32 GeneralURL = 58;
constexpr qint32 Lyrics = 59;
constexpr qint32 EncodedBy = 60;
constexpr qint32 CopyrightBy = 61;
constexpr qint32 Composer = 62;
constexpr qint32 ComposerText = 63;
constexpr qint32 OriginalArtist = 64;
constexpr qint32 OriginalArtistText = 65;
constexpr qint32 Filepath = 66;
constexpr qint32 DriveLabel = 2000;
} // namespace Mp3FieldIds
