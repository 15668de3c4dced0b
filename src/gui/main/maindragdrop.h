#pragma once

#include <QObject>
#include <QPoint>

class TExplorerNode;
class TfmMain;

// Dragging the list's selected rows onto a node of the tree.  The objects
// never leave the window, so the drag carries only a marker; the window
// decides what can be dragged and dropped where (CanDrag, CanDrop) and what
// a drop does (DropOnObject).
class TMainDragDrop : public QObject {
    Q_OBJECT
public:
    explicit TMainDragDrop(TfmMain &window);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool listEvent(QEvent *event);
    bool treeEvent(QEvent *event);
    TExplorerNode *nodeAt(const QPoint &position) const;
    bool canDropOn(const TExplorerNode *node) const;
    void startDrag();

    TfmMain &m_window;
    QPoint m_pressed;
    bool m_armed = false;
    bool m_dragging = false;
};
