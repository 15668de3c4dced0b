#pragma once

#include <QTreeView>

// The folder tree view: Backspace asks to go up, and the context menu first
// selects the node under the mouse.
class TExplorerTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TExplorerTreeView(QWidget *parent = nullptr);

Q_SIGNALS:
    void UpRequested();
    void ContextMenuRequested(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
