#include "gui/lookups/trackediting.h"

#include "core/data/datalists.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"

namespace {

// The track window on a copy; true on OK.
bool runTrackWindow(QWidget * /*owner*/, TMp3Track & /*copy*/)
{
    return false;
}

} // namespace

bool TrackEditingAvailable()
{
    return false;
}

TMp3Track *EditTrackInPlace(QWidget *owner, TMp3Track *track, const std::function<void()> &beforeFree)
{
    TRootItem *root = track ? track->GetRoot() : nullptr;
    if (!root || !root->Items || root->Items->IndexOf(track) < 0)
        return nullptr;
    TMainDataList &items = *root->Items;
    std::unique_ptr<TDataItem> copy = track->Clone(&items, true);
    if (!runTrackWindow(owner, static_cast<TMp3Track &>(*copy)))
        return nullptr;
    if (beforeFree)
        beforeFree();
    // The copy takes the track's place, so the collection keeps its order.
    const int position = items.IndexOf(track);
    auto *edited = static_cast<TMp3Track *>(copy.release());
    items.Add(edited);
    items.Exchange(position, items.Count() - 1);
    items.takeItem(track);
    return edited;
}
