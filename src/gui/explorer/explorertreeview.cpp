#include "gui/explorer/explorertreeview.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>

TExplorerTreeView::TExplorerTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("tvMain"));
    setHeaderHidden(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    // Long names scroll sideways instead of being cut short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void TExplorerTreeView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::KeypadModifier)) {
        Q_EMIT UpRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TExplorerTreeView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = indexAt(event->pos());
        if (index.isValid())
            setCurrentIndex(index);
    }
    Q_EMIT ContextMenuRequested(event->globalPos());
}
