#include "gui/lookups/trackediting.h"

#include "core/data/datalists.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3track.h"

namespace {

TTrackEditor trackEditor;

} // namespace

void SetTrackEditor(TTrackEditor editor)
{
    trackEditor = std::move(editor);
}

bool TrackEditingAvailable()
{
    return bool(trackEditor);
}

TMp3Track *EditTrackInPlace(QWidget *owner, TMp3Track *track, const std::function<void()> &beforeFree)
{
    TRootItem *root = track ? track->GetRoot() : nullptr;
    if (!root || !root->Items || root->Items->IndexOf(track) < 0)
        return nullptr;
    TMainDataList &items = *root->Items;
    std::unique_ptr<TDataItem> copy = track->Clone(&items, true);
    if (!trackEditor || !trackEditor(owner, static_cast<TMp3Track &>(*copy)))
        return nullptr;
    if (beforeFree)
        beforeFree();
    // The copy takes the track's place, so the collection keeps its order.
    const int position = items.IndexOf(track);
    auto *edited = static_cast<TMp3Track *>(items.Add(std::move(copy)));
    items.Exchange(position, items.Count() - 1);
    items.FreeItem(track);
    return edited;
}
