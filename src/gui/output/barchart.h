#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// A bar chart of counts: one red bar per value, as wide as its slot, the
// count on the bar and the value's name written upwards below it.  When
// more values than fit (one per 30 pixels of width) are given, it shows
// them a page at a time.
class TBarChart : public QWidget {
    Q_OBJECT
public:
    struct TBar {
        QString Label;
        qint64 Value = 0;
    };
    static constexpr int MinSlotWidth = 30;
    // Longer labels are cut to this length and "..." added.
    static constexpr int MaxLabelLength = 30;

    explicit TBarChart(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString Title() const { return m_title; }
    // Replaces the bars and shows page 1.
    void SetBars(const QList<TBar> &bars);
    const QList<TBar> &Bars() const { return m_bars; }

    int BarsPerPage() const;
    int PageCount() const;
    // Counted from 1; numbers outside the chart are ignored.
    int Page() const { return m_page; }
    void SetPage(int page);
    // The bars of the page shown.
    QList<TBar> PageBars() const;
    // A label as the chart writes it.
    static QString ShortLabel(const QString &label);

    // Paints the shown page into rect of any device (screen, printer, PDF).
    void PaintChart(QPainter &painter, const QRect &rect) const;

    QSize sizeHint() const override { return QSize(600, 400); }
    QSize minimumSizeHint() const override { return QSize(100, 100); }

Q_SIGNALS:
    // The number of pages changed (the width or the bars did).
    void PagesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_title;
    QList<TBar> m_bars;
    int m_page = 1;
};
