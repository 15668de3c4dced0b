#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

class TFilenameInfo;
class TID3v1Tag;
class TID3v2Tag;

// The track values a file item answers by merging its information sources.
enum class TMergedField : quint8 {
    Album,
    Artist,
    Title,
    TrackIndex,  // number
    Year,
    Genre,
    Notes,
    Label,
    OrigArtist,
    Composer,
    Lyricist,
    Orchestra,
    Conductor,
    EncodedBy,
    CopyrightBy,
    BPM,         // number
    SubTitle,
    Tempo,
    Mood,
    Situation,
    Preference,
    Biography,
    AudioURL,
    ArtistURL,
    GeneralURL,
    Lyrics,
};
constexpr int MergedFieldCount = 26;

// Every merged field in the order above.
const std::array<TMergedField, MergedFieldCount> &AllMergedFields();
// Track Index and BPM are numbers; the others are texts.
bool IsMergedNumberField(TMergedField field);

// Values typed in the tag window for a whole batch of files.  An empty text
// or 0 means "no value".
class TManualEntry {
public:
    // The text of a text field; empty for Track Index and BPM.
    QString Text(TMergedField field) const;
    // The number of Track Index or BPM; 0 for the text fields.
    qint32 Number(TMergedField field) const;
    // A text field takes only a text, a number field only a number: the
    // other setter leaves the field alone.
    void SetText(TMergedField field, const QString &text);
    void SetNumber(TMergedField field, qint32 number);

private:
    struct TValue {
        QString Text;
        qint32 Number = 0;
    };
    std::array<TValue, MergedFieldCount> m_values;
};

// Manual entry as an information source of one file.
class TManualEntryInfo {
public:
    bool Enabled = false;
    const TManualEntry *Entry = nullptr;  // not owned; set while the tag window is open

    bool HasEntry() const { return Entry != nullptr; }
    bool Available() const { return HasEntry() && Enabled; }

    // The entry's value for the field; nullopt when there is no entry.
    std::optional<QString> GetText(TMergedField field) const;
    std::optional<qint32> GetNumber(TMergedField field) const;
};

// The collection track that refers to a file, as an information source.
// The collection model answers it (TTrackInfo); the tag readers below it
// know only this much of it.
class TTrackSource {
public:
    virtual ~TTrackSource() = default;
    virtual bool Available() const = 0;
    virtual std::optional<QString> GetText(TMergedField field) const = 0;
    virtual std::optional<qint32> GetNumber(TMergedField field) const = 0;
};

// The five information sources of one file in their precedence: manual
// entry, collection track, ID3v2, ID3v1, folder and file name.  Each field
// is answered by the first available source that has a value for it; the
// file name, when available, answers its fields even with an empty value.
// Nothing is cached: values follow the sources at every request.
class TInfoSourceSet {
public:
    TInfoSourceSet(const TManualEntryInfo &manual, const TTrackSource &track, const TID3v2Tag &id3v2,
                   const TID3v1Tag &id3v1, const TFilenameInfo &filename)
        : m_manual(manual), m_track(track), m_id3v2(id3v2), m_id3v1(id3v1), m_filename(filename)
    {
    }

    // The merged text, trimmed of control characters and blanks.  Number
    // fields give their number in decimal.
    QString GetMergedText(TMergedField field) const;
    // The merged number of Track Index or BPM; 0 for text fields.
    qint32 GetMergedNumber(TMergedField field) const;

private:
    const TManualEntryInfo &m_manual;
    const TTrackSource &m_track;
    const TID3v2Tag &m_id3v2;
    const TID3v1Tag &m_id3v1;
    const TFilenameInfo &m_filename;
};

// What each tag and the file name offer for a field (nullopt: nothing).
std::optional<QString> ID3v2Text(const TID3v2Tag &tag, TMergedField field);
std::optional<qint32> ID3v2Number(const TID3v2Tag &tag, TMergedField field);
std::optional<QString> ID3v1Text(const TID3v1Tag &tag, TMergedField field);
std::optional<qint32> ID3v1Number(const TID3v1Tag &tag, TMergedField field);
std::optional<QString> FilenameText(const TFilenameInfo &info, TMergedField field);
std::optional<qint32> FilenameNumber(const TFilenameInfo &info, TMergedField field);

// Copies between the sources of one file; they change the tag objects in
// memory only.
void CopyV1ToV2(const TID3v1Tag &from, TID3v2Tag &to);
void CopyV2ToV1(const TID3v2Tag &from, TID3v1Tag &to);
void FilenameToV1(const TFilenameInfo &from, TID3v1Tag &to);
void FilenameToV2(const TFilenameInfo &from, TID3v2Tag &to);
