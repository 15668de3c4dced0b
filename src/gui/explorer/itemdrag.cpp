#include "gui/explorer/itemdrag.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

namespace itemdrag {

namespace {

const QString MimeType = QStringLiteral("application/x-tunebase-explorer-drag");
constexpr int DragDistance = 5;

// Whether the drag came from the tree ("tree") or the list; nullopt for
// drags of other programs.
std::optional<bool> dragFromTree(const QMimeData *data)
{
    if (!data || !data->hasFormat(MimeType))
        return std::nullopt;
    return data->data(MimeType) == "tree";
}

} // namespace

TDragSource::TDragSource(QAbstractItemView *view, bool fromTree, std::function<bool()> canDrag)
    : QObject(view), m_view(view), m_fromTree(fromTree), m_canDrag(std::move(canDrag))
{
    view->viewport()->installEventFilter(this);
}

bool TDragSource::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_pressedAt = mouse->position().toPoint();
        break;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        m_pressed = false;
        break;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressed || !(mouse->buttons() & Qt::LeftButton)
            || (mouse->position().toPoint() - m_pressedAt).manhattanLength() < DragDistance)
            break;
        m_pressed = false;
        if (!m_canDrag())
            break;
        auto *data = new QMimeData;
        data->setData(MimeType, m_fromTree ? "tree" : "list");
        auto *drag = new QDrag(m_view);
        drag->setMimeData(data);
        drag->exec(Qt::MoveAction);
        return true;
    }
    default:
        break;
    }
    return false;
}

TDropTarget::TDropTarget(QAbstractItemView *tree, TCanDrop canDrop, TDrop drop)
    : QObject(tree), m_tree(tree), m_canDrop(std::move(canDrop)), m_drop(std::move(drop))
{
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(this);
}

bool TDropTarget::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove && event->type() != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const std::optional<bool> fromTree = dragFromTree(drop->mimeData());
    if (!fromTree)
        return false;
    const QModelIndex target = m_tree->indexAt(drop->position().toPoint());
    if (event->type() == QEvent::DragEnter) {
        drop->acceptProposedAction();
        return true;
    }
    if (!target.isValid() || !m_canDrop(target, *fromTree)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        // The tree is rebuilt by the drop: not while its own event runs.
        const QPersistentModelIndex kept(target);
        const bool source = *fromTree;
        QTimer::singleShot(0, this, [this, kept, source] {
            if (kept.isValid())
                m_drop(kept, source);
        });
    }
    return true;
}

} // namespace itemdrag
