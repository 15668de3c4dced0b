#include "core/files/relink.h"

#include "core/files/filematchindex.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"

#include <QSet>

#include <algorithm>
#include <limits>
#include <vector>

int TRelinkPlan::Repairable() const
{
    return int(std::count_if(Decisions.cbegin(), Decisions.cend(),
                             [](const TRelinkDecision &decision) { return decision.HasFile(); }));
}

TRelinkPlan PlanRelink(TMP3Process &process, const TMp3Root &root, const TFileMatchList &missing,
                       const QString &folder, TMatchingType matching, int minimumScore)
{
    TRelinkPlan plan;
    TFoundFileList found;
    process.SearchSystem(folder, found);
    plan.Cancelled = process.IsCancelled();
    plan.Found = UnclaimedFiles(found, root);
    plan.Decisions = DecideRelinks(process, plan.Found, missing, matching, minimumScore);
    plan.Cancelled = plan.Cancelled || process.IsCancelled();
    return plan;
}

TFoundFileList UnclaimedFiles(const TFoundFileList &found, const TMp3Root &root)
{
    QSet<QString> claimed;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        claimed.insert(root.GetTracks()->Get(i)->FilePath);
    TFoundFileList unclaimed;
    for (const TFoundFile &file : found)
        if (!claimed.contains(file.Path))
            unclaimed.append(file);
    return unclaimed;
}

TRelinkDecisionList DecideRelinks(TMP3Process &process, const TFoundFileList &found, TFileMatchList pending,
                                  TMatchingType matching, int minimumScore)
{
    // One index serves every round; the files given away are masked.
    const TFoundFileIndex index(found);
    std::vector<bool> taken(size_t(found.size()), false);
    TRelinkDecisionList decisions;
    while (!pending.isEmpty()) {
        process.MatchTracks(index, pending, matching, taken);
        std::stable_sort(pending.begin(), pending.end(),
                         [](const TFileMatch &a, const TFileMatch &b) { return a.Score > b.Score; });
        TFileMatchList contested;
        for (const TFileMatch &match : std::as_const(pending)) {
            if (match.FileIndex < 0 || match.Score < minimumScore) {
                decisions.append({match.Track, -1, match.Score});
                continue;
            }
            if (taken[size_t(match.FileIndex)]) {
                contested.append(TFileMatch(match.Track));
                continue;
            }
            // The best match of a round always gets its file, so every
            // round settles at least one track (and a cancelled round,
            // which matches nothing, settles them all).
            taken[size_t(match.FileIndex)] = true;
            decisions.append({match.Track, match.FileIndex, match.Score});
        }
        pending = contested;
    }
    return decisions;
}

void RepointTrack(TMp3Track &track, const TFoundFile &file)
{
    track.FilePath = file.Path;
    track.Size = qint32(std::min<qint64>(file.Size, std::numeric_limits<qint32>::max()));
}
