#include "gui/filelist/filepreviewmodel.h"

#include "gui/shell/globaldata.h"

#include "core/base/localpath.h"
#include "core/files/mp3file.h"
#include "core/files/mp3fileitem.h"

TFilePreviewModel::TFilePreviewModel(const TMp3FileItemList &files, const bool &ready,
                                     const TImageList &smallImages, const TImageList &stateImages,
                                     QObject *parent)
    : QAbstractTableModel(parent), m_files(files), m_ready(ready), m_small(smallImages), m_state(stateImages)
{
}

void TFilePreviewModel::SetColumns(const QList<TPreviewColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_rowCount = m_ready ? m_files.Count() : 0;
    endResetModel();
}

void TFilePreviewModel::SetSortIndicator(int column, bool ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    if (!m_columns.isEmpty())
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

void TFilePreviewModel::Refresh()
{
    const int count = m_ready ? m_files.Count() : 0;
    if (count != m_rowCount) {
        beginResetModel();
        m_rowCount = count;
        endResetModel();
    } else if (count > 0 && !m_columns.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(count - 1, int(m_columns.size()) - 1));
    }
}

void TFilePreviewModel::Clear()
{
    if (m_rowCount == 0)
        return;
    beginResetModel();
    m_rowCount = 0;
    endResetModel();
}

void TFilePreviewModel::AppendNewRows()
{
    const int count = m_ready ? m_files.Count() : 0;
    if (count <= m_rowCount)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, count - 1);
    m_rowCount = count;
    endInsertRows();
}

int TFilePreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TFilePreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

const TMP3File *TFilePreviewModel::fileAt(int row) const
{
    if (!m_ready || row < 0 || row >= m_rowCount || row >= m_files.Count())
        return nullptr;
    const TMp3FileItem *item = m_files.item(row);
    return item->isFolder() ? nullptr : static_cast<const TMP3File *>(item);
}

QVariant TFilePreviewModel::data(const QModelIndex &index, int role) const
{
    const TMP3File *file = index.isValid() ? fileAt(index.row()) : nullptr;
    if (!file || index.column() >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return file->GetValueAsString(m_columns.at(index.column()).Field);
    case Qt::DecorationRole: {
        const int state = m_stateImage ? m_stateImage(*file, index.column()) : -1;
        if (state >= 0)
            return m_state.Icon(state);
        return index.column() == 0 ? m_small.Icon(file->GetImageIndex()) : QVariant();
    }
    case Qt::ToolTipRole:
        return index.column() == 0 ? ReadablePath(file->Path) : QVariant();
    default:
        return {};
    }
}

QVariant TFilePreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.at(section).Caption;
    case Qt::DecorationRole:
        if (section == m_sortColumn)
            return m_small.Icon(m_sortAscending ? images::SortAscending : images::SortDescending);
        return {};
    default:
        return {};
    }
}
