#include "core/audio/id3v1tag.h"

#include "core/audio/genretext.h"
#include "core/audio/mergedfields.h"
#include "core/audio/tagwritelock.h"
#include "core/base/filereplacement.h"
#include "core/base/legacytext.h"
#include "core/base/regularfile.h"

#include <QFile>

#include <optional>

namespace {

constexpr int TitleAt = 3;
constexpr int ArtistAt = 33;
constexpr int AlbumAt = 63;
constexpr int YearAt = 93;
constexpr int CommentAt = 97;
constexpr int TextLength = V1TextLength;
constexpr int YearLength = V1YearLength;
constexpr int ShortCommentLength = 28;
constexpr int TrackMarkerAt = 125;
constexpr int TrackAt = 126;
constexpr int GenreAt = 127;

bool isTag(QByteArrayView bytes)
{
    return bytes.size() == TID3v1Tag::Size && bytes.startsWith("TAG");
}

// A slot's text ends at its first 0 byte (what follows is left over from an
// older, longer value); blanks and control characters around it go.
QString slotText(QByteArrayView bytes, int at, int length)
{
    QByteArrayView slot = bytes.sliced(at, length);
    const qsizetype end = slot.indexOf('\0');
    if (end >= 0)
        slot.truncate(end);
    while (!slot.isEmpty() && static_cast<uchar>(slot.front()) <= 32)
        slot = slot.sliced(1);
    while (!slot.isEmpty() && static_cast<uchar>(slot.back()) <= 32)
        slot.chop(1);
    return decodeLegacyText(slot);
}

// The text in the legacy code page, cut to whole characters that fit into
// `length` bytes; nothing when the code page cannot hold it.
std::optional<QByteArray> slotBytes(const QString &text, int length)
{
    QStringView part = QStringView(text).left(length);  // a character takes a byte at least
    for (;;) {
        std::optional<QByteArray> bytes = encodeLegacyText(part);
        if (!bytes || bytes->size() <= length)
            return bytes;
        part.chop(part.size() >= 2 && part.back().isLowSurrogate() ? 2 : 1);
    }
}

// A value the code page cannot hold leaves its slot empty: a "?" in its
// place would pass for the value in every program that reads the tag.
void putText(QByteArray &bytes, int at, int length, const QString &text)
{
    if (const std::optional<QByteArray> encoded = slotBytes(text, length))
        bytes.replace(at, encoded->size(), *encoded);
}

bool validGenre(int index)
{
    return index >= 0 && index < GenreCount;
}

// The last 128 bytes when they hold a tag, else empty.  Files of 128 bytes
// or less carry no tag: there would be no audio before it.
QByteArray trailingTag(QFile &file)
{
    const qint64 size = file.size();
    if (size <= TID3v1Tag::Size || !file.seek(size - TID3v1Tag::Size))
        return {};
    QByteArray bytes = file.read(TID3v1Tag::Size);
    return isTag(bytes) ? bytes : QByteArray();
}

} // namespace

QString TID3v1Tag::GetGenre() const
{
    return validGenre(GenreIndex) ? GenreList().at(GenreIndex) : QString();
}

void TID3v1Tag::SetGenre(const QString &text)
{
    // The tag holds one genre: of several ("Disco; Rock"), the first it knows.
    for (const QString &name : QStringList(text) + genreNames(text)) {
        for (int i = 0; i < GenreCount; ++i) {
            if (GenreList().at(i).compare(name, Qt::CaseInsensitive) == 0) {
                GenreIndex = i;
                return;
            }
        }
    }
    GenreIndex = GenreOther;
}

bool TID3v1Tag::readBytes(QByteArrayView bytes)
{
    Clear();
    if (!isTag(bytes))
        return false;
    Title = slotText(bytes, TitleAt, TextLength);
    Artist = slotText(bytes, ArtistAt, TextLength);
    Album = slotText(bytes, AlbumAt, TextLength);
    Year = slotText(bytes, YearAt, YearLength);
    if (bytes[TrackMarkerAt] == '\0') {
        Track = static_cast<uchar>(bytes[TrackAt]);
        Comment = slotText(bytes, CommentAt, ShortCommentLength);
    } else {
        Comment = slotText(bytes, CommentAt, TextLength);
    }
    const int genre = static_cast<uchar>(bytes[GenreAt]);
    GenreIndex = validGenre(genre) ? genre : GenreOther;
    Exists = true;
    TagSize = Size;
    return true;
}

QStringList TID3v1Tag::UnwritableFields() const
{
    const bool shortComment = Track > 0 && Track <= 255;
    QStringList names;
    for (const TMergedFieldRow &row : MergedFieldRows()) {
        if (!row.V1.Text)
            continue;
        const int length = row.Field == TMergedField::Notes && shortComment ? ShortCommentLength : V1Length(row);
        if (!slotBytes(this->*row.V1.Text, length))
            names.append(QLatin1String(row.Name));
    }
    return names;
}

QByteArray TID3v1Tag::toBytes() const
{
    QByteArray bytes(Size, '\0');
    bytes.replace(0, 3, "TAG");
    putText(bytes, TitleAt, TextLength, Title);
    putText(bytes, ArtistAt, TextLength, Artist);
    putText(bytes, AlbumAt, TextLength, Album);
    putText(bytes, YearAt, YearLength, Year);
    // A track number that one byte cannot hold is left out (ID3v1.0) rather
    // than stored as a different number.
    if (Track > 0 && Track <= 255) {
        putText(bytes, CommentAt, ShortCommentLength, Comment);
        bytes[TrackAt] = static_cast<char>(Track);
    } else {
        putText(bytes, CommentAt, TextLength, Comment);
    }
    bytes[GenreAt] = static_cast<char>(validGenre(GenreIndex) ? GenreIndex : GenreOther);
    return bytes;
}

bool TID3v1Tag::ReadFromFile(const QString &fileName)
{
    QFile file;
    if (!OpenRegularFile(file, fileName, QIODevice::ReadOnly)) {
        Clear();
        return false;
    }
    return readBytes(trailingTag(file));
}

bool TID3v1Tag::WriteToFile(const QString &fileName)
{
    // Whether a tag is there is looked at under the lock: another writer
    // may be adding or replacing one.
    TFileLock lock;
    if (!tagwritelock::Acquire(lock, fileName, nullptr))
        return false;
    return Enabled ? write(fileName) : remove(fileName);
}

bool TID3v1Tag::write(const QString &fileName)
{
    QFile file;
    if (!OwnerMayWrite(fileName) || !OpenRegularFile(file, fileName, QIODevice::ReadWrite))
        return false;
    const qint64 oldSize = file.size();
    const QByteArray oldTag = trailingTag(file);
    const qint64 at = oldTag.isEmpty() ? oldSize : oldSize - Size;
    const QByteArray bytes = toBytes();
    if (!file.seek(at) || file.write(bytes) != Size || !file.flush()) {
        // Put back what was there: the old tag, or the old end of file.
        if (oldTag.isEmpty()) {
            file.resize(oldSize);
        } else if (file.seek(at)) {
            file.write(oldTag);
            file.flush();
        }
        return false;
    }
    Exists = true;
    TagSize = Size;
    return true;
}

bool TID3v1Tag::remove(const QString &fileName)
{
    QFile file;
    if (!OwnerMayWrite(fileName) || !OpenRegularFile(file, fileName, QIODevice::ReadWrite))
        return false;
    if (!trailingTag(file).isEmpty() && !file.resize(file.size() - Size))
        return false;
    Clear();
    return true;
}
