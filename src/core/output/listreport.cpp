#include "core/output/listreport.h"

#include "core/data/datafield.h"
#include "core/data/datalists.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// A printed cell holds one line: line breaks inside a value become blanks.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

double boundedMargin(double margin, double extent)
{
    if (!(margin > 0))  // also NaN
        return 0;
    return std::min(margin, extent * TListReportLayout::MaxMarginShare);
}

} // namespace

// ---- TrpListBase ------------------------------------------------------------

int TrpListBase::RowCount() const
{
    return Items ? Items->Count() : 0;
}

bool TrpListBase::hides(int row, int column) const
{
    if (!HideRepeating || row <= 0)
        return false;
    const TDataField *field = Columns.at(column).Field;
    if (!SortFields.contains(field))
        return false;
    return Items->Get(row)->GetValueAsString(field) == Items->Get(row - 1)->GetValueAsString(field);
}

QString TrpListBase::CellText(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= Columns.size() || !Columns.at(column).Field)
        return {};
    if (hides(row, column))
        return {};
    return oneLine(Items->Get(row)->GetValueAsString(Columns.at(column).Field));
}

QStringList TrpListBase::RowTexts(int row) const
{
    QStringList texts;
    texts.reserve(Columns.size());
    for (int c = 0; c < Columns.size(); ++c)
        texts.append(CellText(row, c));
    return texts;
}

QStringList TrpListBase::Captions() const
{
    QStringList captions;
    for (const TColumn &column : Columns)
        captions.append(column.Field ? GetFieldDisplayName(column.Field) : QString());
    return captions;
}

// ---- TListReportLayout --------------------------------------------------------

TListReportLayout::TListReportLayout(const TrpListBase &report, const TReportMetrics &metrics)
    : m_report(report), m_metrics(metrics)
{
    QSizeF &paper = m_metrics.Paper;
    paper = QSizeF(std::max(paper.width(), 1.0), std::max(paper.height(), 1.0));
    QMarginsF &m = m_metrics.Margins;
    m = QMarginsF(boundedMargin(m.left(), paper.width()), boundedMargin(m.top(), paper.height()),
                  boundedMargin(m.right(), paper.width()), boundedMargin(m.bottom(), paper.height()));
    for (double *height : {&m_metrics.TitleLineHeight, &m_metrics.DataLineHeight, &m_metrics.FooterLineHeight})
        *height = std::max(*height, 1.0);
    m_area = QRectF(QPointF(0, 0), paper).marginsRemoved(m);
    m_footerTop = m_area.bottom() - m_metrics.FooterLineHeight;

    // Widths dragged for the screen easily add up to more than the paper
    // holds; a column cut at the margin would lose its values unseen, so
    // all of them give up the same share instead.
    double columnsWidth = 0;
    for (const TrpListBase::TColumn &column : m_report.Columns)
        columnsWidth += std::max(column.Width, 0.0);
    if (columnsWidth > m_area.width())
        m_columnScale = m_area.width() / columnsWidth;

    m_rowsFirst = rowsFitting(detailTop(true));
    m_rowsOther = rowsFitting(detailTop(false));
    const int rows = m_report.RowCount();
    if (rows > m_rowsFirst) {
        const qint64 rest = rows - m_rowsFirst;
        m_pageCount = int(1 + (rest + m_rowsOther - 1) / m_rowsOther);
    }
}

double TListReportLayout::detailTop(bool firstPage) const
{
    const double title = firstPage ? m_metrics.TitleLineHeight + BandPadding : 0;
    return m_area.top() + m_metrics.DataLineHeight + title + m_metrics.DataLineHeight + BandPadding;
}

int TListReportLayout::rowsFitting(double top) const
{
    // At least one row per page, even when it does not fit: a report whose
    // bands fill the page must still end.
    const double room = m_footerTop - top;
    const double fitting = std::floor(room / m_metrics.DataLineHeight + 1e-9);
    return fitting >= 1 ? int(std::min(fitting, 1e6)) : 1;
}

int TListReportLayout::firstRowOf(int index) const
{
    return index == 0 ? 0 : m_rowsFirst + (index - 1) * m_rowsOther;
}

QString TListReportLayout::PageNumberText(int page, int pageCount)
{
    return QStringLiteral("Page %1 of %2").arg(page).arg(pageCount);
}

QString TListReportLayout::PrintedAtText(const QDateTime &printedAt)
{
    return QLocale().toString(printedAt, QLocale::ShortFormat);
}

TReportPage TListReportLayout::Page(int index) const
{
    TReportPage page;
    page.Number = index + 1;
    page.PrintableArea = m_area;
    if (index < 0 || index >= m_pageCount)
        return page;
    const double left = m_area.left();
    const double width = m_area.width();
    const double dataLine = m_metrics.DataLineHeight;
    double y = m_area.top();

    page.Cells.append({TReportCellKind::PageNumber, QRectF(left, y, width, dataLine),
                       PageNumberText(page.Number, m_pageCount)});
    y += dataLine;
    if (index == 0) {
        const double height = m_metrics.TitleLineHeight + BandPadding;
        page.Cells.append({TReportCellKind::Title, QRectF(left, y, width, height), m_report.Title});
        y += height;
    }
    // Columns abut in the widths of the list, narrowed alike when together
    // they are wider than the printable area.
    QList<QPair<double, double>> spans;
    double x = left;
    for (const TrpListBase::TColumn &column : m_report.Columns) {
        const double w = std::min(std::max(column.Width, 0.0) * m_columnScale, m_area.right() - x);
        spans.append({x, std::max(w, 0.0)});
        x += std::max(w, 0.0);
    }
    const QStringList captions = m_report.Captions();
    for (int c = 0; c < spans.size(); ++c) {
        if (spans.at(c).second > 0)
            page.Cells.append({TReportCellKind::ColumnCaption,
                               QRectF(spans.at(c).first, y, spans.at(c).second, dataLine + BandPadding),
                               captions.at(c)});
    }
    y += dataLine + BandPadding;

    page.FirstRow = firstRowOf(index);
    const int capacity = index == 0 ? m_rowsFirst : m_rowsOther;
    page.Rows = std::clamp(m_report.RowCount() - page.FirstRow, 0, capacity);
    for (int r = 0; r < page.Rows; ++r) {
        const int row = page.FirstRow + r;
        const double top = y + r * dataLine;
        // The first, third, fifth ... row of the report is shaded.
        if (m_report.RowShading && row % 2 == 0)
            page.ShadedRows.append(QRectF(left, top, width, dataLine));
        for (int c = 0; c < spans.size(); ++c) {
            if (spans.at(c).second > 0)
                page.Cells.append({TReportCellKind::Value, QRectF(spans.at(c).first, top, spans.at(c).second, dataLine),
                                   m_report.CellText(row, c)});
        }
    }
    page.Cells.append({TReportCellKind::PrintedAt,
                       QRectF(left, m_footerTop, width, m_metrics.FooterLineHeight),
                       PrintedAtText(m_metrics.PrintedAt)});
    return page;
}
