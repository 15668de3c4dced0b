#include "core/settings/shellsequence.h"

#include "core/base/desktopservices.h"
#include "core/base/localfiles.h"
#include "core/settings/currentcollection.h"

#include <QCoreApplication>
#include <QDir>
#include <QVersionNumber>

#include <optional>

namespace shellsequence {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TfmMainBase", text);
}

// Saves over the collection's own file.  When another program has written
// the file since, the user chooses: reload it, save under another name,
// overwrite it (asked again should it change once more meanwhile), or not
// save now.  True when the collection is safe (saved, reloaded or saved
// elsewhere), false when cancelled, nothing when the save failed (and said
// so).
std::optional<bool> saveOverOwnFile(TCurrentCollection &collection, const TSaveHooks &hooks)
{
    std::optional<TFileStamp> accepted;
    for (;;) {
        const TOwnFileSaveResult saved = collection.SaveOverOwnFile(accepted);
        if (saved.Outcome == TOwnFileSaveResult::TOutcome::Saved)
            return true;
        if (saved.Outcome == TOwnFileSaveResult::TOutcome::Failed)
            return std::nullopt;
        const QString question =
            tr("Another program has changed the collection file\n\"%1\"\nsince it was opened here.\n\n"
               "You can reload the file (the changes made here since are lost), save this collection "
               "under another name, or overwrite the file (the other program's changes are lost).")
                .arg(QDir::toNativeSeparators(collection.FileName()));
        switch (hooks.AskFileChanged ? hooks.AskFileChanged(question) : TChangedFileChoice::Cancel) {
        case TChangedFileChoice::Reload:
            return hooks.Reload && hooks.Reload();
        case TChangedFileChoice::SaveAs:
            return hooks.SaveAs && hooks.SaveAs();
        case TChangedFileChoice::Overwrite:
            accepted = saved.OnDisk;
            continue;
        case TChangedFileChoice::Cancel:
            return false;
        }
        return false;
    }
}

bool saveNamedCollection(TCurrentCollection &collection, const TCloseHooks &hooks)
{
    if (const std::optional<bool> saved = saveOverOwnFile(collection, hooks.Save))
        return *saved;
    const QString question =
        tr("The collection could not be saved to\n\"%1\".\n\n"
           "You can try again, save it under another name, or quit without saving it.")
            .arg(QDir::toNativeSeparators(collection.FileName()));
    for (;;) {
        switch (hooks.AskSaveFailed ? hooks.AskSaveFailed(question) : TSaveFailedChoice::Cancel) {
        case TSaveFailedChoice::Retry:
            if (const std::optional<bool> saved = saveOverOwnFile(collection, hooks.Save))
                return *saved;
            break;
        case TSaveFailedChoice::SaveElsewhere:
            if (hooks.SaveAs && hooks.SaveAs())
                return true;
            break;
        case TSaveFailedChoice::QuitAnyway:
            return true;
        case TSaveFailedChoice::Cancel:
            return false;
        }
    }
}

bool queryCollection(TCurrentCollection &collection, TDesktopServices &messages, const TCloseHooks &hooks)
{
    if (!collection.FileName().isEmpty())
        return saveNamedCollection(collection, hooks);
    return QueryUnsavedCollection(collection, messages, hooks.SaveAs);
}

bool queryPlaylist(TDesktopServices &messages, const TCloseHooks &hooks)
{
    if (!hooks.PlaylistModified || !hooks.PlaylistModified())
        return true;
    switch (messages.AskYesNoCancel(tr("This playlist has not been saved yet. Do you want to save it now?"))) {
    case TDesktopServices::TAnswer::Cancel:
        return false;
    case TDesktopServices::TAnswer::No:
        return true;
    case TDesktopServices::TAnswer::Yes:
        // Cancelling the playlist's own file dialog does not stop the close.
        if (hooks.SavePlaylist)
            hooks.SavePlaylist();
        return true;
    }
    return false;
}
} // namespace

bool QueryUnsavedCollection(TCurrentCollection &collection, TDesktopServices &messages,
                            const std::function<bool()> &saveAs)
{
    if (!collection.FileName().isEmpty())
        return true;
    switch (messages.AskYesNoCancel(tr("This database has not been saved yet. Do you want to save it now?"))) {
    case TDesktopServices::TAnswer::Cancel:
        return false;
    case TDesktopServices::TAnswer::No:
        return true;
    case TDesktopServices::TAnswer::Yes:
        return saveAs && saveAs();
    }
    return false;
}

bool SaveNamedCollection(TCurrentCollection &collection, const TSaveHooks &hooks)
{
    return saveOverOwnFile(collection, hooks).value_or(false);
}

QString ChooseCollectionFile(const QStringList &argumentsAfterProgram, const QString &currentDatabase)
{
    if (argumentsAfterProgram.isEmpty())
        return currentDatabase;
    const QString first = argumentsAfterProgram.first();
    return first.isEmpty() ? first : AbsoluteLocalPath(first);
}

QString FolderOf(const QString &fileName)
{
    QString folder = LocalParentFolder(fileName);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool OpenAtStart(TCurrentCollection &collection, const QString &fileName,
                 QString &currentDatabase, QString &dataFolder)
{
    if (!fileName.isEmpty() && collection.LoadFromFile(fileName)) {
        currentDatabase = collection.FileName();
        dataFolder = FolderOf(currentDatabase);
        return true;
    }
    currentDatabase.clear();
    return false;
}

bool IsRuntimeSufficient(const QString &runtimeVersion, const QString &builtVersion)
{
    const QVersionNumber runtime = QVersionNumber::fromString(runtimeVersion);
    const QVersionNumber built = QVersionNumber::fromString(builtVersion);
    return QVersionNumber::compare(runtime, built) >= 0;
}

bool QueryClose(TCurrentCollection &collection, TDesktopServices &messages, const TCloseHooks &hooks)
{
    return queryCollection(collection, messages, hooks) && queryPlaylist(messages, hooks);
}

} // namespace shellsequence
