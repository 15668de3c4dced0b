#pragma once

#include <QString>

#include <functional>

class QWidget;
class TMP3File;
class TMP3Process;
class TMp3Prefs;
class TMp3Root;
class TdmGlobal;

// What the file list windows work with besides the files: the settings
// (their own sections, the parse and rename formats), the one batch
// process with its progress window, the current collection and the shared
// pictures.  The main window owns all of them for the whole run.
struct TFileListContext {
    TMp3Prefs &Prefs;
    TMP3Process &Process;
    TMp3Root &Root;
    const TdmGlobal &Global;
    // Opens the filename format list for a file (none for an empty list),
    // in rename or parse mode; true when the user changed the formats.
    // Without it the windows' format buttons stay disabled.
    std::function<bool(QWidget *owner, TMP3File *file, bool renameMode)> EditFormats;
    // Opens the window of one new filename format starting from a text;
    // true and the format when confirmed.
    std::function<bool(QWidget *owner, TMP3File *file, QString &format)> NewFormat;
    // Saves the collection to its file; true when it was written.  The add
    // window saves this way once it changed the collection, and only then
    // records the files' states in the scan index beside it.  Without it
    // the caller saves, and the index stays as it was.
    std::function<bool()> SaveCollection;
};
