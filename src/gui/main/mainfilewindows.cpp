// The windows of the file-list area that the MP3 main window's commands
// open, with what they work with: the settings, the one batch process with
// its progress window, the collection and the shared pictures.

#include "gui/main/mainwindow.h"

#include "core/data/rootitem.h"
#include "core/files/mp3folder.h"
#include "core/files/mp3process.h"
#include "core/mp3model/mp3root.h"
#include "core/settings/prefs.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/filelist/addfilelist.h"
#include "gui/filelist/filelistcontext.h"
#include "gui/filelist/fileproperties.h"
#include "gui/filelist/newcollection.h"
#include "gui/filelist/renamefilelist.h"
#include "gui/filelist/tagfilelist.h"
#include "gui/filelist/updatetracks.h"
#include "gui/formats/formatlistwindow.h"
#include "gui/formats/formatwindow.h"
#include "gui/shell/globaldata.h"

TFileListContext TfmMain::FileListContext()
{
    Process->ParseFormats = Prefs().ParseFormats;
    Process->Threads = Prefs().ScanThreads;
    TFileListContext context{Prefs(), *Process, *static_cast<TMp3Root *>(Root()), *Global(), {}, {}, {}};
    context.EditFormats = [this](QWidget *owner, TMP3File *file, bool renameMode) {
        const bool changed =
            EditFormatList(owner, file, renameMode ? TFormatKind::Rename : TFormatKind::Parse, Prefs());
        if (changed)
            Process->ParseFormats = Prefs().ParseFormats;
        return changed;
    };
    context.NewFormat = [this](QWidget *owner, TMP3File *file, QString &format) {
        return EditFormat(owner, TFormatMode::Add, TFormatKind::Parse, format, file, Prefs().Store());
    };
    return context;
}

TfmMain::TWindowsAvailable TfmMain::WindowsAvailable() const
{
    TWindowsAvailable windows;
    windows.Add = true;
    windows.Repair = true;
    windows.NewCollection = true;
    windows.Tag = true;
    windows.Rename = true;
    windows.Properties = true;
    return windows;
}

bool TfmMain::RunAddWindow(TMp3FileItemList *files, int mode, TMP3Folder *folder)
{
    TFileListContext context = FileListContext();
    // The window saves once it changed the collection, so that it can
    // record the files it read in the scan index after the save.
    bool saveTried = false;
    context.SaveCollection = [this, &saveTried] {
        saveTried = true;
        return Save();
    };
    const bool changed = TfmAddFilelist::OpenForm(this, context, files, mode == 1, folder);
    if (changed && !saveTried)
        Save();
    return changed;
}

bool TfmMain::RunRepairWindow()
{
    // The window may take tracks out of the collection: the list lets go
    // of what it shows first.
    ListReady = false;
    ListModel()->Reset();
    const bool changed = TfmUpdateTracks::Execute(this, *Process, *static_cast<TMp3Root *>(Root()),
                                                  Prefs().Store(), Global()->ilSmall, *Root()->Items);
    ListReady = true;
    // Re-pointed or removed tracks reach the collection file at once.
    if (changed)
        Save();
    else
        RefreshList(nullptr, true);
    return changed;
}

bool TfmMain::RunNewCollectionWindow()
{
    return TfmNewCollection::Execute(this, Prefs());
}

bool TfmMain::RunTagWindow(TMp3FileItemList *files, TMP3Folder *folder)
{
    return TfmTagFileList::OpenForm(this, FileListContext(), files, folder);
}

bool TfmMain::RunRenameWindow(TMp3FileItemList *files, TMP3Folder *folder)
{
    return TfmRenameFilelist::OpenForm(this, FileListContext(), files, folder);
}

bool TfmMain::RunFilePropertiesWindow(TMP3File *file)
{
    return file && TfmFileProperties::Execute(this, FileListContext(), *file, nullptr);
}
