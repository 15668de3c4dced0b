#include "core/files/duplicates.h"

#include "core/audio/audiofingerprint.h"
#include "core/base/localfiles.h"
#include "core/base/regularfile.h"
#include "core/data/lookupitems.h"
#include "core/files/fingerprintcache.h"
#include "core/files/mp3file.h"
#include "core/files/parallelread.h"
#include "core/files/process.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackinfo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

template <typename Source>
int filledFields(const Source &source)
{
    int filled = 0;
    for (const TMergedField field : AllMergedFields()) {
        if (IsMergedNumberField(field))
            filled += source.GetNumber(field).value_or(0) > 0 ? 1 : 0;
        else
            filled += source.GetText(field).value_or(QString()).trimmed().isEmpty() ? 0 : 1;
    }
    return filled;
}

QString nameOf(const TDataItem *item)
{
    return item ? item->GetDisplayName() : QString();
}

// A file opened for the search that counts the bytes read through it, so
// that the search can tell what it cost.  Unbuffered: the counts are the
// bytes asked of the system, not what a buffer read ahead.
class TCountingFile : public QIODevice {
public:
    bool openFile(const QString &path, QString &problem)
    {
        if (!OpenRegularFile(m_file, path, QIODevice::ReadOnly | QIODevice::Unbuffered, &problem))
            return false;
        return open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file.seek(pos); }
    qint64 bytesRead() const { return m_bytesRead; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 got = m_file.read(data, maxSize);
        if (got > 0)
            m_bytesRead += got;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_file;
    qint64 m_bytesRead = 0;
};

// What the search knows of one file.
struct FileState {
    qint64 size = 0;
    qint64 modifiedMs = 0;
    std::optional<TAudioFingerprint> print;
    bool fromCache = false;
    bool opened = false;
    bool fullyHashed = false;
    qint64 bytesRead = 0;
    QString problem;
};

// Advances the process's bar at most every 100 ms: a step per file would
// spend more time painting than reading on large collections.
class ThrottledSteps {
public:
    explicit ThrottledSteps(TProcess &process) : m_process(process) { m_timer.start(); }
    void step()
    {
        ++m_pending;
        if (m_timer.hasExpired(100))
            flush();
    }
    void flush()
    {
        m_timer.restart();
        m_process.SetPosition(m_process.Position + std::exchange(m_pending, 0));
    }

private:
    TProcess &m_process;
    QElapsedTimer m_timer;
    int m_pending = 0;
};

class SearchRun {
public:
    SearchRun(TProcess &process, const TDuplicateSearch &search, const QList<TDuplicateFile> &files)
        : m_process(process), m_search(search), m_files(files), m_states(size_t(files.size()))
    {
    }

    TDuplicateSearchResult run();

private:
    // Looks every file up on disk and in the cache; the files that must be
    // read, or none when cancelled.
    std::vector<int> filesToRead(const TFingerprintCache &cache);
    bool sample(int i);
    bool hashFully(int i);
    // Runs read over the indices on the search's threads with progress.
    bool readAll(const std::vector<int> &indices, const std::function<bool(int)> &read);
    std::vector<std::vector<int>> copyGroups();
    QList<TDuplicateGroup> songGroups(const std::vector<std::vector<int>> &copies) const;
    TDuplicateGroup group(TDuplicateKind kind, QList<int> members) const;

    TProcess &m_process;
    const TDuplicateSearch &m_search;
    const QList<TDuplicateFile> &m_files;
    std::vector<FileState> m_states;
};

std::vector<int> SearchRun::filesToRead(const TFingerprintCache &cache)
{
    // On this thread: a look at a file's size and time is too quick to be
    // worth handing to a worker, and a second search does little else.
    std::vector<int> toRead;
    ThrottledSteps steps(m_process);
    m_process.Max = int(m_files.size());
    for (int i = 0; i < m_files.size(); ++i) {
        if (m_process.IsCancelled())
            return {};
        FileState &state = m_states[size_t(i)];
        const QString &path = m_files.at(i).Path;
        const TLocalFileInfo info = LocalFileInfo(path);
        if (!info.Exists) {
            state.problem = QStringLiteral("does not exist");
        } else if (auto known = cache.find(path, info.Size, info.ModifiedMs)) {
            state.size = info.Size;
            state.modifiedMs = info.ModifiedMs;
            state.print = std::move(known);
            state.fromCache = true;
        } else {
            state.size = info.Size;
            state.modifiedMs = info.ModifiedMs;
            toRead.push_back(i);
        }
        steps.step();
    }
    steps.flush();
    return toRead;
}

bool SearchRun::sample(int i)
{
    FileState &state = m_states[size_t(i)];
    const QString &path = m_files.at(i).Path;
    TCountingFile file;
    if (!file.openFile(path, state.problem))
        return false;
    state.opened = true;
    TAudioFingerprint print;
    const bool ok = ReadSampledFingerprint(file, print);
    state.bytesRead += file.bytesRead();
    if (!ok) {
        state.problem = QStringLiteral("holds no MPEG audio that can be read");
        return false;
    }
    state.print = print;
    return true;
}

bool SearchRun::hashFully(int i)
{
    FileState &state = m_states[size_t(i)];
    TCountingFile file;
    QString problem;
    if (!file.openFile(m_files.at(i).Path, problem)) {
        state.problem = problem;
        return false;
    }
    state.opened = true;
    const bool ok = ReadFullAudioHash(file, *state.print);
    state.bytesRead += file.bytesRead();
    state.fullyHashed = ok;
    if (!ok)
        state.problem = QStringLiteral("could not be read to the end of its audio");
    return ok;
}

bool SearchRun::readAll(const std::vector<int> &indices, const std::function<bool(int)> &read)
{
    m_process.Max = int(indices.size());
    m_process.SetPosition(0);
    ThrottledSteps steps(m_process);
    TParallelRead reading;
    reading.threads = std::max(m_search.Threads, 1);
    reading.read = [&](int k) { return read(indices[size_t(k)]); };
    reading.cancelled = [this] { return m_process.IsCancelled(); };
    reading.idle = [&] { steps.flush(); };
    reading.handOver = [&](int, bool) { steps.step(); };
    reading.run(int(indices.size()));
    steps.flush();
    return !m_process.IsCancelled();
}

std::vector<std::vector<int>> SearchRun::copyGroups()
{
    // Files whose samples agree, by their sampled hash and audio length.
    // (The sampled hash covers the audio length, too.)
    QHash<QByteArray, std::vector<int>> bySample;
    for (int i = 0; i < int(m_states.size()); ++i)
        if (const auto &print = m_states[size_t(i)].print)
            bySample[print->Sampled].push_back(i);

    std::vector<int> needFull;
    for (const std::vector<int> &members : std::as_const(bySample))
        if (members.size() > 1)
            for (const int i : members)
                if (m_states[size_t(i)].print->Full.isEmpty())
                    needFull.push_back(i);
    std::sort(needFull.begin(), needFull.end());
    m_process.SetMessage(QStringLiteral("Comparing the audio of %1 files ...").arg(needFull.size()));
    if (!readAll(needFull, [this](int i) { return hashFully(i); }))
        return {};

    std::vector<std::vector<int>> groups;
    for (const std::vector<int> &members : std::as_const(bySample)) {
        if (members.size() < 2)
            continue;
        std::map<QByteArray, std::vector<int>> byFull;
        for (const int i : members)
            if (const FileState &state = m_states[size_t(i)]; state.problem.isEmpty())
                byFull[state.print->Full].push_back(i);
        for (auto &[full, copies] : byFull)
            if (copies.size() > 1)
                groups.push_back(std::move(copies));
    }
    std::sort(groups.begin(), groups.end());
    return groups;
}

QList<TDuplicateGroup> SearchRun::songGroups(const std::vector<std::vector<int>> &copies) const
{
    QHash<int, int> copyGroupOf;
    for (int g = 0; g < int(copies.size()); ++g)
        for (const int i : copies[size_t(g)])
            copyGroupOf.insert(i, g);

    std::map<QString, std::vector<int>> bySong;
    for (int i = 0; i < m_files.size(); ++i) {
        const TDuplicateFile &file = m_files.at(i);
        const QString artist = NormalisedSongText(file.Artist);
        const QString title = NormalisedSongText(file.Title);
        // Without both a title and an artist there is too little to go on.
        if (!artist.isEmpty() && !title.isEmpty())
            bySong[artist + QChar(0x1F) + title].push_back(i);
    }
    QList<TDuplicateGroup> groups;
    for (auto &[key, members] : bySong) {
        if (members.size() < 2)
            continue;
        std::stable_sort(members.begin(), members.end(),
                         [this](int a, int b) { return m_files.at(a).Length < m_files.at(b).Length; });
        // Runs of lengths no further apart than the tolerance from the
        // run's shortest: an edit and a long mix of a song stay apart.
        for (size_t from = 0; from < members.size();) {
            size_t to = from + 1;
            while (to < members.size()
                   && m_files.at(members[to]).Length - m_files.at(members[from]).Length <= m_search.LengthTolerance)
                ++to;
            QList<int> run(members.begin() + qsizetype(from), members.begin() + qsizetype(to));
            std::sort(run.begin(), run.end());
            // Copies of one another are shown as copies already.
            const int firstCopyGroup = copyGroupOf.value(run.first(), -1);
            const bool allOneCopyGroup = firstCopyGroup >= 0 && std::all_of(run.begin(), run.end(), [&](int i) {
                return copyGroupOf.value(i, -1) == firstCopyGroup;
            });
            if (run.size() > 1 && !allOneCopyGroup)
                groups.append(group(TDuplicateKind::SameSong, run));
            from = to;
        }
    }
    std::sort(groups.begin(), groups.end(),
              [](const TDuplicateGroup &a, const TDuplicateGroup &b) { return a.Members < b.Members; });
    return groups;
}

TDuplicateGroup SearchRun::group(TDuplicateKind kind, QList<int> members) const
{
    TDuplicateGroup result;
    result.Kind = kind;
    result.Best = BestOfGroup(m_files, members);
    result.Members = std::move(members);
    return result;
}

TDuplicateSearchResult SearchRun::run()
{
    TDuplicateSearchResult result;
    TFingerprintCache cache;
    if (!m_search.CachePath.isEmpty())
        cache.load(m_search.CachePath);

    m_process.Start();
    m_process.SetCaption(QStringLiteral("Find Duplicates"));
    m_process.SetMessage(QStringLiteral("Reading the audio of %1 files ...").arg(m_files.size()));
    const std::vector<int> toRead = filesToRead(cache);
    const bool sampled = !m_process.IsCancelled() && readAll(toRead, [this](int i) { return sample(i); });
    const std::vector<std::vector<int>> copies = sampled ? copyGroups() : std::vector<std::vector<int>>();
    result.Cancelled = m_process.IsCancelled();
    if (!result.Cancelled) {
        for (const auto &members : copies)
            result.Groups.append(group(TDuplicateKind::SameAudio, QList<int>(members.begin(), members.end())));
        if (m_search.SameSongs)
            result.Groups += songGroups(copies);
    }
    m_process.Finish();

    for (int i = 0; i < int(m_states.size()); ++i) {
        const FileState &state = m_states[size_t(i)];
        result.FilesOpened += state.opened ? 1 : 0;
        result.FullyHashed += state.fullyHashed ? 1 : 0;
        result.FromCache += state.fromCache ? 1 : 0;
        result.BytesRead += state.bytesRead;
        if (!state.problem.isEmpty())
            result.Problems.append(m_files.at(i).Path + QStringLiteral(": ") + state.problem);
        else if (state.print)
            cache.store(m_files.at(i).Path, state.size, state.modifiedMs, *state.print);
    }
    // A cancelled search keeps what it learnt: the next one goes on from there.
    if (!m_search.CachePath.isEmpty() && cache.changedSinceLoad())
        cache.save(m_search.CachePath);
    return result;
}

} // namespace

QList<TDuplicateFile> DuplicateFilesOfCollection(const TMp3Root &root)
{
    const TMp3TrackList *tracks = root.GetTracks();
    QHash<const TLocationLookupItem *, int> locationCounts;
    for (int i = 0; i < tracks->Count(); ++i)
        if (const TMp3Track *track = static_cast<const TMp3Track *>(tracks->Get(i)); track && track->Location)
            ++locationCounts[track->Location];
    const TLocationLookupItem *mainLocation = nullptr;
    int mostTracks = 0;
    for (auto it = locationCounts.constBegin(); it != locationCounts.constEnd(); ++it) {
        // Ties go to the name first in order, so that the choice does not
        // depend on where the items happen to lie in memory.
        if (it.value() > mostTracks
            || (it.value() == mostTracks && nameOf(it.key()) < nameOf(mainLocation))) {
            mainLocation = it.key();
            mostTracks = it.value();
        }
    }

    QList<TDuplicateFile> files;
    for (int i = 0; i < tracks->Count(); ++i) {
        auto *track = static_cast<TMp3Track *>(tracks->Get(i));
        if (!track || track->FilePath.isEmpty())
            continue;
        TTrackInfo info;
        info.Enabled = true;
        info.LinkedTrack = track;
        TDuplicateFile file;
        file.Path = track->FilePath;
        file.Artist = nameOf(track->Artist);
        file.Title = track->Title;
        file.Album = nameOf(track->Album);
        file.Bitrate = track->Bitrate;
        file.VBR = track->VBR;
        file.Length = track->Length;
        file.Size = track->Size;
        file.FilledTags = filledFields(info);
        file.InMainLocation = mainLocation && track->Location == mainLocation;
        file.Track = track;
        files.append(file);
    }
    return files;
}

TDuplicateFile DuplicateFileOf(const TMP3File &mp3)
{
    // The tags alone: values the file name offers are no sign of a
    // well-kept copy (and every copy of a file has them).
    struct TagValues {
        const TMP3File &file;
        std::optional<QString> GetText(TMergedField field) const
        {
            const std::optional<QString> v2 = ID3v2Text(file.ID3v2, field);
            return v2 && !v2->trimmed().isEmpty() ? v2 : ID3v1Text(file.ID3v1, field);
        }
        std::optional<qint32> GetNumber(TMergedField field) const
        {
            const std::optional<qint32> v2 = ID3v2Number(file.ID3v2, field);
            return v2.value_or(0) > 0 ? v2 : ID3v1Number(file.ID3v1, field);
        }
    };
    TDuplicateFile file;
    file.Path = mp3.Path;
    file.Artist = mp3.GetMergedText(TMergedField::Artist);
    file.Title = mp3.GetMergedText(TMergedField::Title);
    file.Album = mp3.GetMergedText(TMergedField::Album);
    file.Bitrate = mp3.MpegInfo.Bitrate;
    file.VBR = mp3.MpegInfo.VBR;
    file.Length = mp3.MpegInfo.Length;
    file.Size = mp3.FileSize;
    file.FilledTags = filledFields(TagValues{mp3});
    return file;
}

namespace {

// Leaves out what brackets enclose, brackets included: "(Remastered)",
// "[Live]", "{Demo}".  An opening bracket never closed ends the text.
QString withoutBracketed(const QString &text)
{
    QString result;
    result.reserve(text.size());
    int depth = 0;
    for (const QChar c : text) {
        if (c == u'(' || c == u'[' || c == u'{')
            ++depth;
        else if ((c == u')' || c == u']' || c == u'}') && depth > 0)
            --depth;
        else if (depth == 0)
            result.append(c);
    }
    return result;
}

// Cuts the text before a word "feat.", "feat", "ft.", "ft" or "featuring".
QString withoutFeaturing(const QString &text)
{
    static const QStringList markers = {QStringLiteral("feat."), QStringLiteral("feat"), QStringLiteral("ft."),
                                        QStringLiteral("ft"), QStringLiteral("featuring")};
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        const QStringView word = QStringView(text).mid(wordStart, i - wordStart);
        for (const QString &marker : markers)
            if (word.compare(marker, Qt::CaseInsensitive) == 0)
                return text.left(wordStart);
        wordStart = i + 1;
    }
    return text;
}

} // namespace

QString NormalisedSongText(const QString &text)
{
    QString result = withoutFeaturing(withoutBracketed(text));
    // Accents go with the marks a decomposition splits off; plain ASCII
    // (most tags) has none.
    const bool ascii = std::all_of(result.cbegin(), result.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        result = result.normalized(QString::NormalizationForm_KD);
        result.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    }
    result = result.toCaseFolded();
    // Blanks and punctuation between words become one space.
    QString words;
    words.reserve(result.size());
    bool gap = false;
    for (const QChar c : std::as_const(result)) {
        if (c.isLetterOrNumber()) {
            if (gap && !words.isEmpty())
                words.append(u' ');
            words.append(c);
            gap = false;
        } else {
            gap = true;
        }
    }
    return words;
}

int BestOfGroup(const QList<TDuplicateFile> &files, const QList<int> &members)
{
    const auto rank = [&files](int i) {
        const TDuplicateFile &f = files.at(i);
        return std::tuple(f.Bitrate, f.FilledTags, f.InMainLocation);
    };
    int best = -1;
    for (const int i : members)
        if (best < 0 || rank(i) > rank(best))
            best = i;
    return best;
}

TDuplicateRemoval PlanDuplicateRemoval(const QList<TDuplicateFile> &files, const QList<TDuplicateGroup> &groups,
                                       const QSet<int> &kept)
{
    TDuplicateRemoval plan;
    QSet<int> removed;
    QSet<QString> trashed;
    for (const TDuplicateGroup &group : groups) {
        QStringList keptPaths;
        for (const int i : group.Members)
            if (kept.contains(i))
                keptPaths.append(files.at(i).Path);
        if (keptPaths.isEmpty()) {
            ++plan.GroupsLeftAlone;
            continue;
        }
        for (const int i : group.Members) {
            if (kept.contains(i) || removed.contains(i))
                continue;
            removed.insert(i);
            plan.Remove.append(i);
            // Two tracks of one file are copies too: removing the extra
            // track must not take the file the kept one plays.
            const QString &path = files.at(i).Path;
            const bool keptFile = std::any_of(keptPaths.begin(), keptPaths.end(), [&path](const QString &keptPath) {
                return keptPath == path || IsSameExistingFile(keptPath, path);
            });
            if (!keptFile && !trashed.contains(path)) {
                trashed.insert(path);
                plan.Trash.append(path);
            }
        }
    }
    // A path kept in any group stays on disk.
    QSet<QString> keptAnywhere;
    for (const int i : kept)
        keptAnywhere.insert(files.at(i).Path);
    plan.Trash.removeIf([&keptAnywhere](const QString &path) { return keptAnywhere.contains(path); });
    return plan;
}

QList<TDuplicateGroup> TDuplicateSearchResult::groupsOf(TDuplicateKind kind) const
{
    QList<TDuplicateGroup> result;
    for (const TDuplicateGroup &group : Groups)
        if (group.Kind == kind)
            result.append(group);
    return result;
}

TDuplicateSearchResult TDuplicateSearch::run(const QList<TDuplicateFile> &files)
{
    return SearchRun(m_process, *this, files).run();
}
