#include "gui/explorer/explorerlistmodel.h"

#include "core/data/datalists.h"
#include "gui/shell/globaldata.h"

TExplorerListModel::TExplorerListModel(const TDataRefList &content, const bool &ready,
                                       const TImageList &smallImages, const TImageList &largeImages,
                                       QObject *parent)
    : QAbstractTableModel(parent)
    , m_content(&content)
    , m_ready(ready)
    , m_small(smallImages)
    , m_large(largeImages)
{
}

void TExplorerListModel::SetColumns(const QList<TListColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TExplorerListModel::SetIconView(bool iconView)
{
    if (m_iconView == iconView)
        return;
    m_iconView = iconView;
    if (m_rowCount > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rowCount - 1, 0), {Qt::DisplayRole, Qt::DecorationRole});
}

void TExplorerListModel::SetRowCount(int count)
{
    if (count == m_rowCount) {
        if (count > 0)
            Q_EMIT dataChanged(index(0, 0), index(count - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    m_rowCount = count;
    m_builtRows.clear();
    endResetModel();
}

void TExplorerListModel::Reset()
{
    beginResetModel();
    m_rowCount = 0;
    m_builtRows.clear();
    endResetModel();
}

void TExplorerListModel::SetHeaderImage(qint32 tag, int imageIndex)
{
    m_headerTag = tag;
    m_headerImage = imageIndex;
    if (!m_columns.isEmpty())
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

void TExplorerListModel::SetTraceRows(bool trace)
{
    m_trace = trace;
    m_builtRows.clear();
}

int TExplorerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TExplorerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(1, int(m_columns.size()));
}

QString TExplorerListModel::text(int row, int column) const
{
    const TDataItem *object = m_content->Get(row);
    if (m_trace)
        m_builtRows.insert(row);
    if (m_kind == 1 || m_iconView || m_columns.isEmpty() || !m_columns.at(column).Field)
        return column == 0 ? object->GetDisplayName() : QString();
    return object->GetValueAsString(m_columns.at(column).Field);
}

QVariant TExplorerListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!m_ready || m_kind == 0 || !index.isValid() || row >= m_content->Count() || row >= m_rowCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case Qt::ToolTipRole:
        return m_iconView ? text(row, 0) : QVariant();
    case Qt::DecorationRole:
        if (index.column() != 0)
            return {};
        if (m_iconView)
            return m_large.Icon(m_content->Get(row)->GetLargeImageIndex());
        return m_small.Icon(m_content->Get(row)->GetImageIndex());
    default:
        return {};
    }
}

QVariant TExplorerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.at(section).Caption;
    case Qt::DecorationRole:
        if (m_headerImage >= 0 && m_columns.at(section).Tag == m_headerTag)
            return m_small.Icon(m_headerImage);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags TExplorerListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
