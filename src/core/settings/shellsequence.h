#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "core/settings/shellservices.h"

class TCurrentCollection;
class TDesktopServices;

// Decisions of start-up and shutdown that need no window, so they can be
// tested on their own.
namespace shellsequence {

// The collection to open: the first command-line argument (made absolute)
// when there is one, otherwise the last collection.
QString ChooseCollectionFile(const QStringList &argumentsAfterProgram, const QString &currentDatabase);

// The folder part of a file name, ending in a path delimiter.
QString FolderOf(const QString &fileName);

// Opens the chosen collection.  On success the last collection and the data
// folder follow it; on failure the last collection is cleared, so the next
// start does not try the same file again.
bool OpenAtStart(TCurrentCollection &collection, const QString &fileName,
                 QString &currentDatabase, QString &dataFolder);

// The new collection prompt appears only on the very first run, and not
// when that run opened a collection file (the user started the program on
// one: they have a collection already).
inline bool ShouldOfferNewCollection(bool firstRun, bool autoSelectFolder, bool collectionFileOpen)
{
    return firstRun && autoSelectFolder && !collectionFileOpen;
}

// The Qt runtime must not be older than the Qt the program was built with.
bool IsRuntimeSufficient(const QString &runtimeVersion, const QString &builtVersion);

// The question asked before a collection that was never saved is closed or
// replaced: save it (through saveAs), drop it, or keep it.  True when it may
// go: it was saved, the user does not want it, or it has a file name (and
// so nothing to ask).
bool QueryUnsavedCollection(TCurrentCollection &collection, TDesktopServices &messages,
                            const std::function<bool()> &saveAs);

// What saving the collection under its own name needs from the main window
// when another program has changed the file.
struct TSaveHooks {
    std::function<TChangedFileChoice(const QString &)> AskFileChanged;  // none: Cancel
    std::function<bool()> Reload;  // reads the file again
    std::function<bool()> SaveAs;  // asks for a name and saves
};

// Saves a collection that has a file name over its file.  When another
// program has written the file since it was opened or saved here (seen
// under the file's lock, in the same hold as the save), the user chooses:
// reload it, save under another name, overwrite it, or cancel.  True when the collection was saved (or reloaded, so that what
// is shown is what the file holds).
bool SaveNamedCollection(TCurrentCollection &collection, const TSaveHooks &hooks);

// What closing needs from the main window.
struct TCloseHooks {
    std::function<bool()> SaveAs;            // asks for a name and saves; false when cancelled or failed
    std::function<bool()> PlaylistModified;  // may be empty: no playlist
    std::function<void()> SavePlaylist;      // its own dialog may be cancelled
    std::function<TSaveFailedChoice(const QString &)> AskSaveFailed; // when saving the collection failed
    TSaveHooks Save;  // when another program changed the file
};

// Close query: saves the collection (asking only when it has no file name)
// and asks about an unsaved playlist.  False keeps the window open.
// A failed save is never silent: the user retries, saves elsewhere, quits
// without saving, or cancels the close.
bool QueryClose(TCurrentCollection &collection, TDesktopServices &messages, const TCloseHooks &hooks);

} // namespace shellsequence
