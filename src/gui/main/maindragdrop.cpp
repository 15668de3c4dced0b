#include "gui/main/maindragdrop.h"

#include "core/data/datalists.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/explorer/explorertreeview.h"
#include "gui/main/mainwindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>

namespace {

const QString DragMarker = QStringLiteral("application/x-tunebase-rows");

} // namespace

TMainDragDrop::TMainDragDrop(TfmMain &window)
    : QObject(&window), m_window(window)
{
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(window.lvMain->DetailsView()),
                                    static_cast<QAbstractItemView *>(window.lvMain->IconView())})
        view->viewport()->installEventFilter(this);
    window.tvMain->setAcceptDrops(true);
    window.tvMain->viewport()->setAcceptDrops(true);
    window.tvMain->setDropIndicatorShown(true);
    window.tvMain->viewport()->installEventFilter(this);
}

bool TMainDragDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.tvMain->viewport())
        return treeEvent(event);
    return listEvent(event);
}

bool TMainDragDrop::listEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_armed = mouse->button() == Qt::LeftButton;
        m_pressed = mouse->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_armed || !(mouse->buttons() & Qt::LeftButton)
            || (mouse->position().toPoint() - m_pressed).manhattanLength() < QApplication::startDragDistance())
            return false;
        m_armed = false;
        startDrag();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_armed = false;
        return false;
    default:
        return false;
    }
}

void TMainDragDrop::startDrag()
{
    TDataRefList objects;
    m_window.GetSelectedObjects(&objects);
    if (objects.isEmpty() || !m_window.CanDrag(objects.Get(0)))
        return;
    auto *drag = new QDrag(m_window.lvMain);
    auto *data = new QMimeData;
    data->setData(DragMarker, QByteArray());
    drag->setMimeData(data);
    m_dragging = true;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    m_dragging = false;
}

TExplorerNode *TMainDragDrop::nodeAt(const QPoint &position) const
{
    return m_window.TreeModel()->Node(m_window.tvMain->indexAt(position));
}

bool TMainDragDrop::canDropOn(const TExplorerNode *node) const
{
    if (!m_dragging || !node || !node->Object)
        return false;
    TDataRefList objects;
    m_window.GetSelectedObjects(&objects);
    return !objects.isEmpty() && m_window.CanDrop(objects.Get(0), node->Object);
}

bool TMainDragDrop::treeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (drag->mimeData()->hasFormat(DragMarker) && canDropOn(nodeAt(drag->position().toPoint())))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        TExplorerNode *node = nodeAt(drop->position().toPoint());
        if (!drop->mimeData()->hasFormat(DragMarker) || !canDropOn(node))
            return true;
        drop->acceptProposedAction();
        m_window.DropOnNode(node, false);
        return true;
    }
    default:
        return false;
    }
}
