#include "gui/lookups/albumlookupitem.h"

#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/data/rootitem.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3lookups.h"
#include "core/mp3model/mp3track.h"
#include "gui/lookups/trackediting.h"
#include "gui/shell/globaldata.h"

#include <QAction>
#include <QHeaderView>
#include <QMimeData>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString RowMimeType = QStringLiteral("application/x-tunebase-album-track-row");

} // namespace

// ---- TAlbumTracksModel -------------------------------------------------------------

TAlbumTracksModel::TAlbumTracksModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TAlbumTracksModel::SetTracks(const QList<TMp3Track *> &tracks)
{
    beginResetModel();
    m_tracks = tracks;
    endResetModel();
}

void TAlbumTracksModel::Exchange(int row1, int row2)
{
    if (row1 == row2 || row1 < 0 || row2 < 0 || row1 >= m_tracks.size() || row2 >= m_tracks.size())
        return;
    m_tracks.swapItemsAt(row1, row2);
    for (const int row : {row1, row2})
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TAlbumTracksModel::Replace(int row, TMp3Track *track)
{
    if (row < 0 || row >= m_tracks.size())
        return;
    if (track) {
        m_tracks[row] = track;
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_tracks.removeAt(row);
    endRemoveRows();
}

int TAlbumTracksModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_tracks.size());
}

int TAlbumTracksModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TAlbumTracksModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_tracks.size() || role != Qt::DisplayRole)
        return {};
    const TMp3Track *track = m_tracks.at(index.row());
    return index.column() == 0 ? track->Title : GetLookupDisplayName(track->Artist);
}

QVariant TAlbumTracksModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? tr("Title") : tr("Artist");
}

Qt::ItemFlags TAlbumTracksModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList TAlbumTracksModel::mimeTypes() const
{
    return {RowMimeType};
}

QMimeData *TAlbumTracksModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(RowMimeType, QByteArray::number(indexes.first().row()));
    return data;
}

bool TAlbumTracksModel::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int,
                                     const QModelIndex &parent)
{
    if (!data || !data->hasFormat(RowMimeType))
        return false;
    bool ok = false;
    const int dragged = data->data(RowMimeType).toInt(&ok);
    // Dropped on a row, the two rows change places; between rows means nothing.
    const int target = parent.isValid() ? parent.row() : row;
    if (!ok || target < 0 || target >= m_tracks.size() || dragged < 0 || dragged >= m_tracks.size())
        return false;
    Q_EMIT ExchangeRequested(dragged, target);
    // The view must not remove the dragged row as after a move.
    return false;
}

// ---- TfmAlbumLookupItem ------------------------------------------------------------

TfmAlbumLookupItem::TfmAlbumLookupItem(QWidget *owner, TSettingsStore &store)
    : TfmSortLookupItem(owner, store)
{
    setObjectName(QStringLiteral("fmAlbumLookupItem"));
    setWindowTitle(tr("Album"));
    pcMain->tabBar()->show();

    tsTracks = new QWidget(pcMain);
    tsTracks->setObjectName(QStringLiteral("tsTracks"));
    pcMain->addTab(tsTracks, tr("Tracks"));
    tbTracks = new QToolBar(tsTracks);
    tbTracks->setObjectName(QStringLiteral("tbTracks"));
    tbTracks->setIconSize(QSize(18, 18));
    for (const auto &[theme, own] : {std::pair{"go-up", "action-moveup"}, std::pair{"go-down", "action-movedown"},
                                     std::pair{"document-edit", "action-edit"}})
        ilTracks.Add(images::ActionIcon(QLatin1String(theme), QLatin1String(own)));
    auto action = [this](const char *name, const QString &caption, int image) {
        auto *a = new QAction(ilTracks.Icon(image), caption, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(caption);
        tbTracks->addAction(a);
        return a;
    };
    acMoveTrackUp = action("acMoveTrackUp", tr("Move Track Up"), 0);
    acMoveTrackUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    acMoveTrackDown = action("acMoveTrackDown", tr("Move Track Down"), 1);
    acMoveTrackDown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    tbTracks->addSeparator();
    acEditTrack = action("acEditTrack", tr("Edit Track"), 2);
    const std::pair<QAction *, const char *> buttons[] = {
        {acMoveTrackUp, "btUp"}, {acMoveTrackDown, "btDown"}, {acEditTrack, "btEditTrack"}};
    for (const auto &[a, name] : buttons) {
        if (QWidget *button = tbTracks->widgetForAction(a))
            button->setObjectName(QLatin1String(name));
    }

    m_tracks = new TAlbumTracksModel(this);
    lvTracks = new QTableView(tsTracks);
    lvTracks->setObjectName(QStringLiteral("lvTracks"));
    lvTracks->setModel(m_tracks);
    lvTracks->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvTracks->setSelectionMode(QAbstractItemView::SingleSelection);
    lvTracks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvTracks->setShowGrid(true);
    lvTracks->setWordWrap(false);
    lvTracks->verticalHeader()->hide();
    lvTracks->horizontalHeader()->setSectionsClickable(false);
    lvTracks->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lvTracks->setDragEnabled(true);
    lvTracks->setAcceptDrops(true);
    lvTracks->setDragDropMode(QAbstractItemView::DragDrop);
    lvTracks->setDefaultDropAction(Qt::MoveAction);
    lvTracks->setDropIndicatorShown(true);
    auto *layout = new QVBoxLayout(tsTracks);
    layout->addWidget(tbTracks);
    layout->addWidget(lvTracks);

    connect(acMoveTrackUp, &QAction::triggered, this, &TfmAlbumLookupItem::MoveTrackUp);
    connect(acMoveTrackDown, &QAction::triggered, this, &TfmAlbumLookupItem::MoveTrackDown);
    connect(acEditTrack, &QAction::triggered, this, &TfmAlbumLookupItem::EditTrack);
    connect(lvTracks, &QAbstractItemView::doubleClicked, this, &TfmAlbumLookupItem::EditTrack);
    connect(m_tracks, &TAlbumTracksModel::ExchangeRequested, this, &TfmAlbumLookupItem::exchange);
    connect(lvTracks->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfmAlbumLookupItem::updateTrackActions);
    connect(m_tracks, &QAbstractItemModel::modelReset, this, &TfmAlbumLookupItem::updateTrackActions);
    updateTrackActions();
    resize(422, 303);
}

void TfmAlbumLookupItem::LoadFromItem(const TLookupItem &item)
{
    TfmSortLookupItem::LoadFromItem(item);
    // The generators show their results through a scratch value: that must
    // not take the album's tracks (and the order the user gave them) away.
    if (&item == Item())
        collectTracks(item);
}

void TfmAlbumLookupItem::SaveToItem(TLookupItem &item)
{
    TfmSortLookupItem::SaveToItem(item);
    if (&item != Item())
        return;
    const QList<TMp3Track *> &tracks = m_tracks->Tracks();
    for (int i = 0; i < tracks.size(); ++i)
        tracks.at(i)->TrackIndex = i + 1;
}

void TfmAlbumLookupItem::collectTracks(const TLookupItem &album)
{
    TDataRefList tracks;
    TRootItem *root = List() ? List()->GetRoot() : album.GetRoot();
    if (root && root->Items) {
        for (TDataItem *item : *root->Items) {
            auto *track = dynamic_cast<TMp3Track *>(item);
            if (track && track->Album == &album)
                tracks.Add(track);
        }
        if (const TDataField *trackIndex = root->Fields->FindByID(Mp3FieldIds::TrackIndex))
            tracks.SortByField(trackIndex, 1);
    }
    QList<TMp3Track *> ordered;
    ordered.reserve(tracks.Count());
    for (TDataItem *item : tracks)
        ordered.append(static_cast<TMp3Track *>(item));
    m_tracks->SetTracks(ordered);
    lvTracks->resizeColumnsToContents();
}

int TfmAlbumLookupItem::SelectedRow() const
{
    const QModelIndexList rows = lvTracks->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TfmAlbumLookupItem::SelectRow(int row)
{
    if (row < 0 || row >= m_tracks->rowCount())
        return;
    const QModelIndex index = m_tracks->index(row, 0);
    lvTracks->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                           | QItemSelectionModel::Rows);
    lvTracks->scrollTo(index);
}

void TfmAlbumLookupItem::updateTrackActions()
{
    const int row = SelectedRow();
    const int count = m_tracks->rowCount();
    acEditTrack->setEnabled(row >= 0 && TrackEditingAvailable());
    acMoveTrackUp->setEnabled(row > 0);
    acMoveTrackDown->setEnabled(row >= 0 && row < count - 1);
}

void TfmAlbumLookupItem::exchange(int row1, int row2)
{
    m_tracks->Exchange(row1, row2);
    SelectRow(row2);
    updateTrackActions();
}

void TfmAlbumLookupItem::MoveTrackUp()
{
    const int row = SelectedRow();
    if (row > 0)
        exchange(row, row - 1);
}

void TfmAlbumLookupItem::MoveTrackDown()
{
    const int row = SelectedRow();
    if (row >= 0 && row < m_tracks->rowCount() - 1)
        exchange(row, row + 1);
}

void TfmAlbumLookupItem::EditTrack()
{
    const int row = SelectedRow();
    if (row < 0 || !TrackEditingAvailable())
        return;
    TMp3Track *track = m_tracks->Tracks().at(row);
    TLookupEditContext *context = Context();
    const auto beforeFree = [context] {
        if (context && context->BeforeFree)
            context->BeforeFree();
    };
    TMp3Track *edited = EditTrackInPlace(this, track, beforeFree);
    if (!edited)
        return;
    // The change is the collection's now, whatever this window's result.
    if (context)
        context->CollectionChanged = true;
    // A track moved to another album leaves this album's list.
    const bool stays = edited->Album == Item();
    m_tracks->Replace(row, stays ? edited : nullptr);
    if (stays)
        SelectRow(row);
    updateTrackActions();
}
