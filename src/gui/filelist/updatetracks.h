#pragma once

#include "core/files/filematch.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataRefList;
class TImageList;
class TMP3Process;
class TMp3Root;
class TMp3Track;
class TRadioGroup;
class TSettingsStore;

// The rows of the repair window: the tracks whose file is missing, each
// with the file found for it (if any).
class TTrackMatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TTrackMatchModel(const TFileMatchList &matches, const TFoundFileList &found, const bool &ready,
                     const bool &noneMissing, const TImageList &smallImages, QObject *parent = nullptr);

    // Takes up the current matches (views drop their rows).
    void Reset();
    void Clear();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TFileMatchList &m_matches;
    const TFoundFileList &m_found;
    const bool &m_ready;
    const bool &m_noneMissing;
    const TImageList &m_small;
    int m_rowCount = 0;
};

// The repair window: lists the collection's tracks whose file is gone,
// searches a folder tree for their files and points the tracks at them, or
// removes tracks from the collection.
class TfmUpdateTracks : public QDialog {
    Q_OBJECT
public:
    TfmUpdateTracks(QWidget *owner, TMP3Process &process, TMp3Root &root, TSettingsStore &store,
                    const TImageList &smallImages, const TDataRefList &tracks);
    ~TfmUpdateTracks() override;

    // True when the window closed with "&Close" or changed the collection
    // (the caller then saves and rebuilds its views).
    static bool Execute(QWidget *owner, TMP3Process &process, TMp3Root &root, TSettingsStore &store,
                        const TImageList &smallImages, const TDataRefList &tracks);

    QTableView *lvTracks;
    QLineEdit *edSearchBasePath;
    QPushButton *btBrowseFolder;
    QPushButton *btSearch;
    QCheckBox *ckCD;
    QCheckBox *ckNetwork;
    TRadioGroup *rgMatching;
    QPushButton *btRepair;
    QPushButton *btRemove;
    QPushButton *btBrowseFile;
    QPushButton *btOK;
    QLabel *pnStatus;
    QLabel *pnSelection;

    TFileMatchList Matches;
    TFoundFileList Found;
    bool Loading = false;
    bool ListReady = false;
    bool NoneMissing = false;
    // Tracks were re-pointed or removed.
    bool Changed = false;

    // The file chooser of "&Browse..."; an empty name when cancelled.
    std::function<QString(QWidget *owner, const QString &startFile)> AskOpenFileName;

    QList<int> SelectedRows() const;
    void SelectRows(const QList<int> &rows);
    void BuildMatchList();
    void UpdateStatus();
    void acBrowseFolderExecute();
    void acSearchExecute();
    void acRepairExecute();
    void acRemoveExecute();
    void acBrowseFileExecute();

    void done(int result) override;

private:
    void buildLayout();
    void loadSettings();
    void saveSettings();
    void refresh();
    // Drops the matches of rows (ascending) from the list.
    void dropRows(const QList<int> &rows);

    TMP3Process &m_process;
    TMp3Root &m_root;
    TSettingsStore &m_store;
    const TDataRefList &m_tracks;
    TTrackMatchModel *m_model = nullptr;
    // Tracks taken out of the collection: freed with the window, when no
    // view of the caller can still be painting them.
    std::vector<std::unique_ptr<TMp3Track>> m_removed;
};
