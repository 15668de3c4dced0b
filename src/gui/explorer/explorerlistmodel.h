#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>

class TDataField;
class TDataRefList;
class TImageList;

// One column of the explorer list: its caption, the ID of its field (the
// column's tag) and the field whose text it shows.
struct TListColumn {
    QString Caption;
    qint32 Tag = 0;
    const TDataField *Field = nullptr;
};

// The explorer list's model: a row count over the window's list of objects,
// whose texts are produced only when a view asks for a row it paints.  It
// reads the objects only while the window declares the list ready, so a
// list being rebuilt (or whose objects are about to be freed) shows nothing.
class TExplorerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TExplorerListModel(const TDataRefList &content, const bool &ready, const TImageList &smallImages,
                       const TImageList &largeImages, QObject *parent = nullptr);

    // Kind 1 shows the objects' names; other kinds the columns' fields.
    void SetKind(int kind) { m_kind = kind; }
    int Kind() const { return m_kind; }
    void SetColumns(const QList<TListColumn> &columns);
    const QList<TListColumn> &Columns() const { return m_columns; }
    // The icon view shows names and large pictures in the first column.
    void SetIconView(bool iconView);
    bool IsIconView() const { return m_iconView; }

    // Shows another list (which must outlive the model or the next call);
    // the views drop what they show.
    void SetContent(const TDataRefList &content)
    {
        Reset();
        m_content = &content;
    }
    // Announces a new number of rows (resetting the views), or repaints the
    // rows when the number is the same.
    void SetRowCount(int count);
    // Every view drops what it shows; the count becomes 0.
    void Reset();
    // Every column whose tag equals tag shows the image; the others none.
    void SetHeaderImage(qint32 tag, int imageIndex);

    // For measuring: the distinct rows whose texts were produced.
    void SetTraceRows(bool trace);
    int RowsBuilt() const { return int(m_builtRows.size()); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString text(int row, int column) const;

    const TDataRefList *m_content;
    const bool &m_ready;
    const TImageList &m_small;
    const TImageList &m_large;
    int m_kind = 0;
    int m_rowCount = 0;
    bool m_iconView = false;
    QList<TListColumn> m_columns;
    qint32 m_headerTag = 0;
    int m_headerImage = -1;
    bool m_trace = false;
    mutable QSet<int> m_builtRows;
};
