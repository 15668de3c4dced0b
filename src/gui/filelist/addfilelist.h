#pragma once

#include "gui/filelist/filelistbase.h"

class QComboBox;
class QMenu;
class TLocationLookupItem;

// The add window: adds MP3 files to the collection with a chosen Location,
// or, in update mode, refreshes tracks from their files.  A file linked to
// a track takes the track's own values first, so updating fills what the
// track lacks and never replaces its values by different tag values.
class TfmAddFilelist : public TfmFileListBase {
    Q_OBJECT
public:
    TfmAddFilelist(QWidget *owner, const TFileListContext &context, bool updateMode);

    static bool OpenForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                         bool updateMode, TMP3Folder *folder)
    {
        return OpenFileListForm<TfmAddFilelist>(owner, context, files, folder, updateMode);
    }

    QComboBox *cbLocation;
    QPushButton *btLocation;
    QCheckBox *ckUpdateIfInCollection;
    QMenu *pmPreview;

    bool UpdateMode = false;
    TLocationLookupItem *ChosenLocation = nullptr;

    // Builds the context menu of the preview for the selected file.
    void BuildPreviewMenu();
    // Parses the file's path with format and keeps that format for it.
    void LockFormat(TMP3File &file, const QString &format);

protected:
    void BuildFileList() override;
    void LoadSettings() override;
    void SaveSettings() override;
    void AfterOpen() override;
    bool RunOperation() override;
    int StateImage(const TMP3File &file, int column) const override;

private:
    void fillLocations();
    void suggestLocation();
    void newFormat(TMP3File &file);
    void refreshKeepingSelection();
};
