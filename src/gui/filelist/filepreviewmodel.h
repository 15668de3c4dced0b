#pragma once

#include <QAbstractTableModel>
#include <QList>

#include <functional>

class TDataField;
class TImageList;
class TMp3FileItemList;
class TMP3File;

// One column of a file preview: its caption, the field whose value it shows
// and its width when the window was opened.
struct TPreviewColumn {
    QString Caption;
    const TDataField *Field = nullptr;
    int Width = 100;
};

// The rows of a file list window: one per file of the window's list, whose
// texts are produced only when a view paints them.  Nothing is read while
// the window declares the list not ready (it is being rebuilt, or the files
// are about to go), so a repaint never meets a freed file.
class TFilePreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The state picture of a cell (an index of the state image list), or -1.
    using TStateImage = std::function<int(const TMP3File &file, int column)>;

    TFilePreviewModel(const TMp3FileItemList &files, const bool &ready, const TImageList &smallImages,
                      const TImageList &stateImages, QObject *parent = nullptr);

    void SetColumns(const QList<TPreviewColumn> &columns);
    const QList<TPreviewColumn> &Columns() const { return m_columns; }
    void SetStateImage(TStateImage stateImage) { m_stateImage = std::move(stateImage); }
    // The column whose header shows the sort direction; -1 for none.
    void SetSortIndicator(int column, bool ascending);

    // Takes up the current number of files; views drop what they showed
    // when the number changed, else only repaint.
    void Refresh();
    // Every view drops its rows at once (before the files change).
    void Clear();
    // Takes up the files appended to the list since the model last looked,
    // as new rows at its end; the rows shown before stay as they are.
    void AppendNewRows();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TMP3File *fileAt(int row) const;

    const TMp3FileItemList &m_files;
    const bool &m_ready;
    const TImageList &m_small;
    const TImageList &m_state;
    QList<TPreviewColumn> m_columns;
    TStateImage m_stateImage;
    int m_rowCount = 0;
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};
