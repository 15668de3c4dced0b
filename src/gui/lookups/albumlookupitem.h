#pragma once

#include "gui/lookups/lookupitem.h"
#include "gui/shell/globaldata.h"

#include <QAbstractTableModel>
#include <QList>

class QAction;
class QTableView;
class QToolBar;
class TMp3Track;

// The tracks of the album window in the window's own order (not owned):
// title and artist, one row per track; rows are dragged onto each other to
// exchange them.
class TAlbumTracksModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TAlbumTracksModel(QObject *parent = nullptr);

    const QList<TMp3Track *> &Tracks() const { return m_tracks; }
    void SetTracks(const QList<TMp3Track *> &tracks);
    void Exchange(int row1, int row2);
    // Puts track in the place of the track at row (or takes the row out
    // when track is null).
    void Replace(int row, TMp3Track *track);
    int RowOf(const TMp3Track *track) const { return int(m_tracks.indexOf(track)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

Q_SIGNALS:
    // A row was dropped on another one: the window exchanges them.
    void ExchangeRequested(int draggedRow, int targetRow);

private:
    QList<TMp3Track *> m_tracks;
};

// An album: its name and article, and on a second page the order of its
// tracks, which becomes their track numbers when the window is confirmed.
class TfmAlbumLookupItem : public TfmSortLookupItem {
    Q_OBJECT
public:
    TfmAlbumLookupItem(QWidget *owner, TSettingsStore &store);

    void LoadFromItem(const TLookupItem &item) override;
    void SaveToItem(TLookupItem &item) override;

    // Moves the selected track one place up or down.
    void MoveTrackUp();
    void MoveTrackDown();
    // Edits the selected track in the track window.
    void EditTrack();
    // The selected row, -1 for none.
    int SelectedRow() const;
    void SelectRow(int row);
    TAlbumTracksModel *TracksModel() const { return m_tracks; }

    QWidget *tsTracks;
    QToolBar *tbTracks;
    QAction *acMoveTrackUp;
    QAction *acMoveTrackDown;
    QAction *acEditTrack;
    QTableView *lvTracks;
    // The pictures of the track commands: up, down, edit.
    TImageList ilTracks{QSize(18, 18)};

private:
    void collectTracks(const TLookupItem &album);
    void exchange(int row1, int row2);
    void updateTrackActions();

    TAlbumTracksModel *m_tracks;
};
