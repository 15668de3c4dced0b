#include "gui/files/duplicatecommands.h"

#include "core/base/desktopservices.h"
#include "core/base/localpath.h"
#include "core/files/duplicates.h"
#include "core/files/fingerprintcache.h"
#include "core/files/process.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "gui/files/duplicateswindow.h"
#include "gui/process/processwindow.h"
#include "gui/shell/mainbase.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

namespace duplicatecommands {
namespace {

QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("duplicatecommands", text, nullptr, n);
}

TMp3Root *collection(const TfmMainBase &window)
{
    return dynamic_cast<TMp3Root *>(window.Root());
}

// Moves the files to the desktop's trash; the paths that would not go.
// A name that is not UTF-8 would reach the trash through Qt's encoding of
// file names, which loses its bytes (and could name another file): such a
// file stays where it is.
QStringList moveToTrash(const QStringList &paths)
{
    QStringList failed;
    for (const QString &path : paths)
        if (HasForeignBytes(path) || !QFile::moveToTrash(path))
            failed.append(ReadablePath(path));
    return failed;
}

bool removeDuplicates(TfmMainBase &window, const QList<TDuplicateFile> &files, const TDuplicateRemoval &plan,
                      bool trash)
{
    TMp3Root *root = collection(window);
    if (!root)
        return false;
    QString question = tr("Remove %n track(s) from the collection?", int(plan.Remove.size()));
    if (trash && !plan.Trash.isEmpty())
        question += QStringLiteral("\r\n") + tr("Their %n file(s) will be moved to the trash.", int(plan.Trash.size()));
    if (plan.GroupsLeftAlone > 0)
        question += QStringLiteral("\r\n")
                    + tr("%n group(s) without a checked file will be left as they are.", plan.GroupsLeftAlone);
    if (AskYesNo(question) != TDesktopServices::TAnswer::Yes)
        return false;

    window.SaveState();
    window.ReleaseViews();
    for (const int i : plan.Remove)
        if (TMp3Track *track = files.at(i).Track)
            root->Items->FreeItem(track);
    const bool saved = window.Save();
    window.ShowViewsAgain();
    window.UpdateActions();
    // Files go only once the collection no longer names them on disk.
    if (saved && trash) {
        const QStringList failed = moveToTrash(plan.Trash);
        if (!failed.isEmpty())
            ShowError(tr("These files could not be moved to the trash:") + QStringLiteral("\r\n")
                      + failed.join(QStringLiteral("\r\n")));
    }
    return true;
}

TWindowRunner &runner()
{
    static TWindowRunner run = [](TfmDuplicates &dialog) { dialog.exec(); };
    return run;
}

void findDuplicates(TfmMainBase &window)
{
    TMp3Root *root = collection(window);
    if (!root)
        return;
    const QList<TDuplicateFile> files = DuplicateFilesOfCollection(*root);
    // A process of its own: its progress window, with Cancel, covers the
    // main window while the search runs.
    TProcess process;
    AttachProcessWindow(process, &window);
    TDuplicateSearch search(process);
    if (!root->FileName.isEmpty())
        search.CachePath = TFingerprintCache::PathFor(root->FileName);
    search.Threads = window.Prefs().ScanThreads;
    const TDuplicateSearchResult result = search.run(files);
    if (result.Cancelled)
        return;
    if (result.Groups.isEmpty()) {
        QString text = tr("No duplicates found among %n track(s).", int(files.size()));
        if (!result.Problems.isEmpty())
            text += QStringLiteral("\r\n") + tr("%n file(s) could not be read.", int(result.Problems.size()));
        ShowInfo(text);
        return;
    }
    TfmDuplicates dialog(files, result, &window);
    dialog.OnRemove = [&window, &files](const TDuplicateRemoval &plan, bool trash) {
        return removeDuplicates(window, files, plan, trash);
    };
    runner()(dialog);
}

} // namespace

void Attach(TfmMainBase &window)
{
    auto *action = new QAction(tr("Find &Duplicates..."), &window);
    action->setObjectName(QStringLiteral("acFindDuplicates"));
    action->setStatusTip(tr("Find copies of tracks in the collection"));
    QObject::connect(action, &QAction::triggered, &window, [&window] { findDuplicates(window); });
    if (QMenu *search = window.menuBar()->findChild<QMenu *>(QStringLiteral("miSearch"))) {
        search->addSeparator();
        search->addAction(action);
        // Enabled while there is a collection with tracks to search.
        QObject::connect(search, &QMenu::aboutToShow, action, [&window, action] {
            const TMp3Root *root = collection(window);
            action->setEnabled(root && root->GetTracks()->Count() > 1);
        });
    }
}

void SetWindowRunner(TWindowRunner run)
{
    runner() = run ? std::move(run) : [](TfmDuplicates &dialog) { dialog.exec(); };
}

} // namespace duplicatecommands
