#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QAbstractItemView;
class QModelIndex;

// Drags of the explorer's objects from the folder tree or the list onto the
// folder tree.  The drag carries no objects: as with the selection it starts
// from, the window looks them up when they are dropped.
namespace itemdrag {

// Starts a drag from a view's viewport once the left button has moved five
// pixels, when canDrag says the selection may be dragged.
class TDragSource : public QObject {
public:
    TDragSource(QAbstractItemView *view, bool fromTree, std::function<bool()> canDrag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_view;
    bool m_fromTree;
    std::function<bool()> m_canDrag;
    QPoint m_pressedAt;
    bool m_pressed = false;
};

// Accepts drops of the explorer's drags on the nodes of a tree view.
class TDropTarget : public QObject {
public:
    using TCanDrop = std::function<bool(const QModelIndex &target, bool fromTree)>;
    using TDrop = std::function<void(const QModelIndex &target, bool fromTree)>;
    TDropTarget(QAbstractItemView *tree, TCanDrop canDrop, TDrop drop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_tree;
    TCanDrop m_canDrop;
    TDrop m_drop;
};

} // namespace itemdrag
