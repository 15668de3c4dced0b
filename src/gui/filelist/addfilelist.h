#pragma once

#include "gui/filelist/filelistbase.h"

#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class TLocationLookupItem;
class TLookupItem;
class TScanIndexUse;

// The add window: adds MP3 files to the collection with a chosen Location,
// or, in update mode, refreshes tracks from their files.  A file linked to
// a track takes the track's own values first, so updating fills what the
// track lacks and never replaces its values by different tag values.
class TfmAddFilelist : public TfmFileListBase {
    Q_OBJECT
public:
    TfmAddFilelist(QWidget *owner, const TFileListContext &context, bool updateMode);
    ~TfmAddFilelist() override;

    static bool OpenForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                         bool updateMode, TMP3Folder *folder)
    {
        return OpenFileListForm<TfmAddFilelist>(owner, context, files, folder, updateMode);
    }

    QComboBox *cbLocation;
    QPushButton *btLocation;
    QCheckBox *ckUpdateIfInCollection;
    // How many files the list leaves out because the collection has them.
    QLabel *laLeftOut;
    // Update mode: the files' tags replace the tracks' values (to repair
    // values read with the wrong legacy tag encoding).
    QCheckBox *ckTagsReplaceCollection;
    QMenu *pmPreview;

    bool UpdateMode = false;
    TLocationLookupItem *ChosenLocation = nullptr;

    // Builds the context menu of the preview for the selected file.
    void BuildPreviewMenu();
    // Parses the file's path with format and keeps that format for it.
    void LockFormat(TMP3File &file, const QString &format);
    // Edits the chosen location in its window, or adds the one typed.
    void btLocationClick();

protected:
    void BuildFileList() override;
    bool PassesOverUnchanged() const override;
    bool CollectionSourceOn() const override;
    bool ListsFile(const TMP3File &file) const override;
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
    void saveCollection();
    // Fills the location list afresh and chooses item.
    void selectLocation(const TLookupItem *item);
    void showLeftOut(int count);
    // Whether files already in the collection refresh their tracks.
    bool updating() const;

    // The collection's scan index while the window is open, when the
    // collection has a file: rescans pass over files unchanged since.
    std::unique_ptr<TScanIndexUse> m_scanIndex;
};
