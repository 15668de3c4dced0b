#include "gui/explorer/sizingsplitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSplitterHandle>
#include <QStyle>

namespace {

constexpr int BarWidth = 7;
constexpr int HotSpotLength = 48;

// The size bar: a grip, and in its middle the hot spot that opens or closes
// the panel.
class TSizingHandle : public QSplitterHandle {
public:
    TSizingHandle(Qt::Orientation orientation, TSizingSplitter *splitter)
        : QSplitterHandle(orientation, splitter), m_splitter(splitter)
    {
        setMouseTracking(true);
    }

protected:
    QRect hotSpot() const
    {
        if (orientation() == Qt::Horizontal)
            return QRect(0, (height() - HotSpotLength) / 2, width(), HotSpotLength);
        return QRect((width() - HotSpotLength) / 2, 0, HotSpotLength, height());
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect spot = hotSpot();
        painter.fillRect(rect(), palette().window());
        painter.fillRect(spot, palette().mid());
        painter.setPen(palette().dark().color());
        painter.setBrush(palette().buttonText());
        // A small triangle pointing where a click moves the bar.
        const bool horizontal = orientation() == Qt::Horizontal;
        const bool towardsPanel = !m_splitter->IsClosed();
        const bool panelFirst = m_splitter->indexOf(m_splitter->Panel()) == 0;
        const bool pointsBack = towardsPanel == panelFirst;
        const QPoint c = spot.center();
        QPolygon arrow;
        if (horizontal)
            arrow << QPoint(c.x() + (pointsBack ? 2 : -2), c.y() - 4) << QPoint(c.x() + (pointsBack ? -2 : 2), c.y())
                  << QPoint(c.x() + (pointsBack ? 2 : -2), c.y() + 4);
        else
            arrow << QPoint(c.x() - 4, c.y() + (pointsBack ? 2 : -2)) << QPoint(c.x(), c.y() + (pointsBack ? -2 : 2))
                  << QPoint(c.x() + 4, c.y() + (pointsBack ? 2 : -2));
        painter.drawPolygon(arrow);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        const bool onSpot = hotSpot().contains(event->position().toPoint());
        setCursor(onSpot ? Qt::PointingHandCursor
                         : (orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor));
        if (!onSpot && !m_splitter->IsClosed())
            QSplitterHandle::mouseMoveEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && hotSpot().contains(event->position().toPoint())) {
            m_splitter->ToggleClosed();
            event->accept();
            return;
        }
        if (!m_splitter->IsClosed())
            QSplitterHandle::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (!m_splitter->IsClosed())
            QSplitterHandle::mouseReleaseEvent(event);
    }

private:
    TSizingSplitter *m_splitter;
};

} // namespace

TSizingSplitter::TSizingSplitter(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(BarWidth);
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, &TSizingSplitter::onMoved);
}

void TSizingSplitter::SetWidgets(QWidget *panel, QWidget *rest, bool panelFirst)
{
    m_panel = panel;
    m_panelFirst = panelFirst;
    addWidget(panelFirst ? panel : rest);
    addWidget(panelFirst ? rest : panel);
    setStretchFactor(panelIndex(), 0);
    setStretchFactor(1 - panelIndex(), 1);
    setCollapsible(panelIndex(), true);
    setCollapsible(1 - panelIndex(), false);
}

int TSizingSplitter::PanelSize() const
{
    return m_panelSize;
}

void TSizingSplitter::SetPanelSize(int size)
{
    m_panelSize = qMax(0, size);
    applySizes();
}

void TSizingSplitter::SetClosed(bool closed)
{
    if (m_closed == closed)
        return;
    m_closed = closed;
    applySizes();
    if (QSplitterHandle *bar = handle(1))
        bar->update();
}

int TSizingSplitter::total() const
{
    const int extent = orientation() == Qt::Horizontal ? width() : height();
    return qMax(0, extent - handleWidth());
}

void TSizingSplitter::applySizes()
{
    if (!m_panel || count() < 2)
        return;
    const int all = total();
    // Before the first layout the splitter has no size yet: the panel's
    // size is kept and applied once there is room.
    const int panel = m_closed ? 0 : (all > 0 ? qMin(m_panelSize, all) : m_panelSize);
    const int rest = qMax(1, all - panel);
    QList<int> list = m_panelFirst ? QList<int>{panel, rest} : QList<int>{rest, panel};
    const QSignalBlocker block(this);
    setSizes(list);
}

void TSizingSplitter::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    applySizes();
}

void TSizingSplitter::onMoved()
{
    if (m_closed || count() < 2)
        return;
    m_panelSize = sizes().at(panelIndex());
}

QSplitterHandle *TSizingSplitter::createHandle()
{
    return new TSizingHandle(orientation(), this);
}
