#pragma once

#include <QStyledItemDelegate>

// Draws the items of the list's icon view: the icon over its name, the name
// wrapped to two lines before the second is cut with an ellipsis.  Every
// item has the same size, the cell of the view's grid, so that the view can
// lay out thousands of items at once without measuring each.
class TIconViewDelegate : public QStyledItemDelegate {
public:
    explicit TIconViewDelegate(QObject *parent = nullptr);

    // The grid cell that fits an icon of iconSize and two lines of text in
    // a font of these metrics.
    static QSize CellSize(const QFontMetrics &metrics, const QSize &iconSize);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The name as drawn: at most two lines of `width` pixels, the second cut.
    static QStringList TextLines(const QString &text, const QFont &font, int width);
};
