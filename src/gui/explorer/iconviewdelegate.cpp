#include "gui/explorer/iconviewdelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace {

constexpr int Margin = 3;
constexpr int MaxLines = 2;
// Room for about this many average characters on each line of a name.
constexpr int CharactersPerLine = 18;

} // namespace

TIconViewDelegate::TIconViewDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QSize TIconViewDelegate::CellSize(const QFontMetrics &metrics, const QSize &iconSize)
{
    const int width = qMax(iconSize.width() + 4 * Margin, metrics.averageCharWidth() * CharactersPerLine);
    const int height = iconSize.height() + MaxLines * metrics.lineSpacing() + 4 * Margin;
    return {width, height};
}

QSize TIconViewDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const QSize icon = view ? view->iconSize() : option.decorationSize;
    return CellSize(option.fontMetrics, icon) - QSize(2, 2);
}

QStringList TIconViewDelegate::TextLines(const QString &text, const QFont &font, int width)
{
    QStringList lines;
    QTextLayout layout(text, font);
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrapping);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() == MaxLines - 1) {
            // The last line takes the rest, cut to fit.
            const QString rest = text.mid(line.textStart()).simplified();
            lines.append(QFontMetrics(font).elidedText(rest, Qt::ElideRight, width));
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

void TIconViewDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    const QString text = opt.text;
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect cell = opt.rect.adjusted(Margin, Margin, -Margin, -Margin);
    const QSize iconSize = opt.decorationSize;
    const QRect iconRect(cell.left() + (cell.width() - iconSize.width()) / 2, cell.top(), iconSize.width(),
                         iconSize.height());
    const QIcon::Mode mode = !(opt.state & QStyle::State_Enabled) ? QIcon::Disabled
                             : (opt.state & QStyle::State_Selected) ? QIcon::Selected
                                                                    : QIcon::Normal;
    QStyleOptionViewItem withIcon = option;
    initStyleOption(&withIcon, index);
    withIcon.icon.paint(painter, iconRect, Qt::AlignCenter, mode);

    const QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                : QPalette::Text));
    const int lineHeight = opt.fontMetrics.lineSpacing();
    int y = iconRect.bottom() + Margin;
    for (const QString &line : TextLines(text, opt.font, cell.width())) {
        painter->drawText(QRect(cell.left(), y, cell.width(), lineHeight), Qt::AlignHCenter | Qt::AlignTop, line);
        y += lineHeight;
    }
    painter->restore();
}
