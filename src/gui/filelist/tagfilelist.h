#pragma once

#include "core/audio/infosources.h"
#include "gui/filelist/filelistbase.h"

#include <QList>

class QComboBox;
class QTabWidget;
class TRadioGroup;

// The tag writing window: writes ID3 tags into a batch of MP3 files.
// Besides the sources of every file list window the user may type values
// once for the whole batch (manual entry, which outranks every other
// source), and chooses per tag kind whether it is set from the merged
// values, removed or left alone.
class TfmTagFileList : public TfmFileListBase {
    Q_OBJECT
public:
    TfmTagFileList(QWidget *owner, const TFileListContext &context);
    ~TfmTagFileList() override;

    static bool OpenForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                         TMP3Folder *folder)
    {
        return OpenFileListForm<TfmTagFileList>(owner, context, files, folder);
    }

    // One manual-entry field: its check box and its drop-down list.
    struct TFieldControls {
        QCheckBox *Check = nullptr;
        QComboBox *Values = nullptr;
    };

    QCheckBox *ckManualEntry;
    QTabWidget *pcV2;
    QGroupBox *grInfoDestination;
    TRadioGroup *rgID3v1;
    TRadioGroup *rgID3v2;
    // In the order of the pages.
    QList<TFieldControls> FieldControls;

    TManualEntry ManualEntry;

    // The controls of a field by its name ("Title", "Artist", ...).
    TFieldControls Field(const QString &name) const;
    // Fills the manual entry from the ticked fields and refreshes.
    void BuildManualEntry();
    void UpdateEnabledState();

protected:
    bool ManualEntryEnabled() const override;
    int FieldListKind() const override { return 4; }
    void BuildFileList() override;
    void LoadSettings() override;
    void SaveSettings() override;
    void AfterOpen() override;
    bool RunOperation() override;
    void done(int result) override;

private:
    QWidget *buildPage(int page);
    void fillListsFromFiles();
    void manualEntryClicked();
};
