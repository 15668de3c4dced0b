#pragma once

#include "core/files/mp3fileitem.h"
#include "core/mp3model/mp3root.h"
#include "gui/filelist/filelistcontext.h"
#include "gui/filelist/runsummary.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QSet>

#include <memory>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;
class TColumnFieldRefList;
class TDataField;
class TFilePreviewModel;
class TMP3Folder;
struct TReadFolderResult;
class TSortFieldRefList;
class TSettingsStore;

// The frame of the windows that act on a batch of MP3 files (adding them
// to the collection, writing their tags, renaming them): it gathers the
// files of a folder or of a list of files and folders, lets the user choose
// the information sources, previews the files' merged values in chosen
// columns and order, and on OK hands the files to the window's operation.
//
// A window is made, opened (Open), shown modally and freed by OpenForm of
// its class.  It never frees the file objects: they belong to the explorer
// folders or to the caller's list.
class TfmFileListBase : public QDialog {
    Q_OBJECT
public:
    TfmFileListBase(QWidget *owner, const TFileListContext &context, const QString &componentName,
                    const QString &caption);
    ~TfmFileListBase() override;

    // Gives the window its files: exactly one of list and folder.
    void SetSource(TMp3FileItemList *list, TMP3Folder *folder);
    // The opening sequence: settings, the collection's path index, the
    // files read and linked, columns, sources, order and caption.
    void Open();

    // ---- controls --------------------------------------------------------
    QLabel *laPreview;
    QCheckBox *ckRecursive;
    QGroupBox *gbSources;
    QCheckBox *ckID3v2;
    QCheckBox *ckID3v1;
    QCheckBox *ckFileName;
    QCheckBox *ckTrackInfo;
    QPushButton *btParseSettings;
    QCheckBox *ckAutoClearReadOnly;
    QPushButton *btClearReadOnlyflags;
    QPushButton *btOK;
    QPushButton *btCancel;
    QPushButton *btColumns;
    QTableView *lvPreview;
    QLabel *pnCount;
    QLabel *pnHelp;

    // ---- state -----------------------------------------------------------
    TMp3FileItemList Files;
    std::unique_ptr<TColumnFieldRefList> ColumnFields;
    std::unique_ptr<TSortFieldRefList> SortFields;
    bool Recursive = true;
    bool Loading = false;
    // Every track's file path, for linking files to their tracks.
    TFilePathList TrackIndex;
    TMP3Folder *Folder = nullptr;            // not owned
    TMp3FileItemList *SourceList = nullptr;  // not owned
    bool ListReady = false;
    // Files the folder reads found but could not read: their information
    // is missing, so no operation may take them for what they hold.
    QSet<QString> UnreadableFiles;

    // The files of the list that were read, in list order; the others go
    // to unreadable.
    void SplitReadable(TMp3FileItemList &readable, QStringList &unreadable) const;

    TFilePreviewModel *Model() const { return m_model; }
    // The file of a preview row; nullptr outside the list.
    TMP3File *FileAt(int row) const;
    // The first selected row; -1 when none is selected.
    int SelectedRow() const;
    void SelectRow(int row);

    // Reads the controls and runs the window's operation; the window
    // closes with OK when the operation says so.
    void btOKClick();
    // The preview's column header was clicked.
    void HeaderClick(int column);
    void acColumnsExecute();
    void acParseSettingsExecute();
    void btClearReadOnlyflagsClick();
    // What the last run of the window's operation did, as it was shown.
    const TRunSummary &LastRun() const { return m_lastRun; }

protected:
    // ---- the window's parts (base behaviour in the .cpp) -----------------
    virtual bool ManualEntryEnabled() const { return false; }
    // Whether the files take their tracks' values first.
    virtual bool CollectionSourceOn() const;
    // Whether the window lets the process pass over the files its scan
    // index knows unchanged (they are then left out of the list) instead
    // of reading every file.
    virtual bool PassesOverUnchanged() const { return false; }
    // Whether a file just read (and linked to its track) joins the preview
    // while the others are still being read.
    virtual bool ListsFile(const TMP3File & /*file*/) const { return true; }
    virtual void BuildFileList();
    virtual void LoadSettings();
    virtual void SaveSettings();
    virtual void UpdateCount();
    virtual void AfterOpen() {}
    // The list is ready and shown in order: the last step of opening.
    virtual void Opened() {}
    // Runs the batch operation; false keeps the window open.
    virtual bool RunOperation() = 0;
    virtual int FieldListKind() const { return 3; }
    // A preview cell's state picture (index into the state images); -1.
    virtual int StateImage(const class TMP3File &file, int column) const;
    // The header of a preview column: the field's name unless the window
    // names it otherwise.
    virtual QString ColumnCaption(const TDataField *field) const;

    // Sets every file's information sources from the check boxes.
    void ApplySources();
    // Builds the preview columns from ColumnFields, with the sort mark.
    void BuildColumns();
    // Stores the preview's column order and widths into ColumnFields.
    void StoreColumns();
    void SortFiles();
    // Builds the list afresh, sorts and shows it.
    void RebuildList();
    // Narrows Files to files (a part of it, in order), the preview emptied
    // first.
    void KeepOnly(const QList<TDataItem *> &files);
    // Repaints the rows (a new row count resets the view), selects the
    // first row when none is selected, and updates the count.
    void RefreshList();
    void ShowSortIndicator();

    void done(int result) override;
    void showEvent(QShowEvent *event) override;

    TSettingsStore &Store() const;
    const TFileListContext &Context() const { return m_context; }
    QString SettingsSection() const { return objectName(); }
    QString Caption() const { return m_caption; }
    // True while the window's files are being read.
    bool Reading() const { return m_reading; }
    // Files of the last list building that the scan index knew unchanged
    // and that were therefore neither read nor listed.
    int PassedOverCount() const { return m_passedOverCount; }
    // Shows what the run did and keeps it as LastRun.
    void ShowRunSummary(const TRunSummary &summary);

    // Rows the windows add their own controls to: beside the sources box
    // and below the options of the top panel.
    QHBoxLayout *TopLayout() const { return m_topLayout; }
    QVBoxLayout *OptionsLayout() const { return m_optionsLayout; }

private:
    void buildLayout();
    // A file the process has just read: it joins the list and, now and
    // then, the preview's rows.
    void fileRead(TMP3File &file);
    TReadFolderResult readFolder(TMP3Folder &folder, bool recursive);
    // While the files are read only the preview and Cancel take input.
    void setReading(bool reading);
    // Closes the window when the user asked for it while files were read.
    void closeIfAsked();
    void ckInfoSourceClick();
    void acToggleRecursionExecute();
    void collectFolder(TMP3Folder &folder, bool recursive);
    void updateCaption();

    TFileListContext m_context;
    // Files read (and parsed) by this window's last list building.
    QSet<const TDataItem *> m_freshlyParsed;
    QString m_caption;
    TFilePreviewModel *m_model = nullptr;
    QHBoxLayout *m_topLayout = nullptr;
    QVBoxLayout *m_optionsLayout = nullptr;
    bool m_placed = false;
    bool m_reading = false;
    bool m_closeAsked = false;
    QList<QWidget *> m_disabledWhileReading;
    QElapsedTimer m_rowClock;
    // Folders whose files were passed over as unchanged: whoever shows
    // them after this window reads them afresh.
    QSet<TMP3Folder *> m_passedOver;
    int m_passedOverCount = 0;
    TRunSummary m_lastRun;
};

// Makes, opens and runs a file list window of class TWindow over a list of
// files or a folder (exactly one of the two); true when it closed with OK.
// The arguments after the folder go to the window's constructor.
template <class TWindow, class... TArgs>
bool OpenFileListForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                      TMP3Folder *folder, TArgs &&...args);

// Raises EData when both or neither of files and folder are given.
void CheckFileListSource(const TMp3FileItemList *files, const TMP3Folder *folder);

template <class TWindow, class... TArgs>
bool OpenFileListForm(QWidget *owner, const TFileListContext &context, TMp3FileItemList *files,
                      TMP3Folder *folder, TArgs &&...args)
{
    CheckFileListSource(files, folder);
    TWindow window(owner, context, std::forward<TArgs>(args)...);
    window.SetSource(files, folder);
    // Shown first: the preview fills while the files are read.
    window.show();
    window.Open();
    // Cancel or Esc while the files were read closed it already.
    if (!window.isVisible())
        return false;
    return window.exec() == QDialog::Accepted;
}
