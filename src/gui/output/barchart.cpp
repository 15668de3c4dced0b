#include "gui/output/barchart.h"

#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

TBarChart::TBarChart(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chLookup"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBarChart::SetTitle(const QString &title)
{
    m_title = title;
    update();
}

void TBarChart::SetBars(const QList<TBar> &bars)
{
    m_bars = bars;
    m_page = 1;
    update();
    Q_EMIT PagesChanged();
}

// A chart narrower than one slot still shows one bar a page.
int TBarChart::BarsPerPage() const
{
    return std::max(1, width() / MinSlotWidth);
}

int TBarChart::PageCount() const
{
    const int perPage = BarsPerPage();
    return std::max(1, int((m_bars.size() + perPage - 1) / perPage));
}

void TBarChart::SetPage(int page)
{
    if (page < 1 || page > PageCount() || page == m_page)
        return;
    m_page = page;
    update();
}

QList<TBarChart::TBar> TBarChart::PageBars() const
{
    const int perPage = BarsPerPage();
    return m_bars.mid(qsizetype(m_page - 1) * perPage, perPage);
}

QString TBarChart::ShortLabel(const QString &label)
{
    return label.size() > MaxLabelLength ? label.left(MaxLabelLength) + QStringLiteral("...") : label;
}

void TBarChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The page size follows the width; the view returns to the first page.
    if (event->oldSize().width() / MinSlotWidth != event->size().width() / MinSlotWidth) {
        m_page = 1;
        Q_EMIT PagesChanged();
    }
}

void TBarChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    PaintChart(painter, rect());
}

void TBarChart::PaintChart(QPainter &painter, const QRect &rect) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = painter.fontMetrics();
    const QList<TBar> bars = PageBars();
    qint64 highest = 1;
    int widestLabel = 0;
    for (const TBar &bar : bars) {
        highest = std::max(highest, bar.Value);
        widestLabel = std::max(widestLabel, metrics.horizontalAdvance(ShortLabel(bar.Label)));
    }
    const QColor text = palette().color(QPalette::Text);

    QFont titleFont = painter.font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const int titleHeight = painter.fontMetrics().height() + 8;
    painter.setPen(text);
    painter.drawText(QRect(rect.left(), rect.top(), rect.width(), titleHeight), Qt::AlignCenter, m_title);
    painter.setFont(QFont(titleFont.family(), titleFont.pointSize()));

    const int axisWidth = metrics.horizontalAdvance(QString::number(highest)) + 10;
    const int labelHeight = std::min(widestLabel + 8, rect.height() * 2 / 5);
    const QRect plot(rect.left() + axisWidth, rect.top() + titleHeight, rect.width() - axisWidth,
                     rect.height() - titleHeight - labelHeight);
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }

    // The count axis: a line with the highest count and 0, no grid.
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(QRect(rect.left(), plot.top() - metrics.height() / 2, axisWidth - 6, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(highest));
    painter.drawText(QRect(rect.left(), plot.bottom() - metrics.height() / 2, axisWidth - 6, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));

    const double slot = double(plot.width()) / BarsPerPage();
    for (int i = 0; i < bars.size(); ++i) {
        const TBar &bar = bars.at(i);
        const double left = plot.left() + i * slot;
        const double height = double(plot.height()) * bar.Value / highest;
        const QRectF shape(left, plot.bottom() - height, slot, height);
        QLinearGradient gradient(shape.topLeft(), shape.topRight());
        gradient.setColorAt(0, QColor(255, 90, 90));
        gradient.setColorAt(1, QColor(170, 0, 0));
        painter.setPen(QPen(QColor(120, 0, 0), 0.5));
        painter.setBrush(gradient);
        painter.drawRect(shape);

        // The count on the bar, or just above a bar too low to hold it.
        const QString count = QString::number(bar.Value);
        const bool inside = height > metrics.height() + 4;
        const QRectF countRect(left, inside ? shape.top() + 2 : shape.top() - metrics.height() - 2, slot,
                               metrics.height());
        painter.setPen(inside ? QColor(Qt::white) : text);
        painter.drawText(countRect, Qt::AlignHCenter | Qt::AlignTop, count);

        painter.save();
        painter.setPen(text);
        painter.translate(left + slot / 2 + metrics.ascent() / 2.0 - 1, plot.bottom() + 4);
        painter.rotate(-90);
        const QString label = metrics.elidedText(ShortLabel(bar.Label), Qt::ElideRight, labelHeight - 6);
        painter.drawText(QPointF(-metrics.horizontalAdvance(label), 0), label);
        painter.restore();
    }
    painter.restore();
}
