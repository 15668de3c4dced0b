#pragma once

#include <QDateTime>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class TDataField;
class TDataRefList;

// Lengths of the list report are in report units: pixels of a 96-dpi screen
// at 100 % zoom, the units the window's list measures its column widths in,
// so that the widths the user dragged are what the paper shows.
namespace reportunits {
constexpr double PerInch = 96.0;
inline double FromMillimetres(double mm) { return mm * PerInch / 25.4; }
inline double FromTenthInches(double tenths) { return tenths * PerInch / 10.0; }
} // namespace reportunits

// The list report: a table of items, one row per item and one column per
// field, under a title.  This is the report's definition and its row rule;
// TListReportLayout places it on pages.
class TrpListBase {
public:
    struct TColumn {
        const TDataField *Field = nullptr;
        double Width = 0;  // report units
    };

    // The items to print, in print order (not owned).
    const TDataRefList *Items = nullptr;
    QList<TColumn> Columns;
    QList<const TDataField *> SortFields;
    QString Title;
    bool Landscape = false;
    bool RowShading = false;
    // Values of sort fields that repeat the row above print empty.
    bool HideRepeating = false;

    void ClearColumns() { Columns.clear(); }
    void SetColumns(const QList<TColumn> &columns) { Columns = columns; }
    void SetSortFields(const QList<const TDataField *> &sortFields) { SortFields = sortFields; }

    int RowCount() const;
    // The text of a cell as printed: the item's value on one line, or empty
    // when hiding is on, the column's field is a sort field and the item
    // above has the same value (character for character).  Each sort field
    // is compared only with its own value in the row above.
    QString CellText(int row, int column) const;
    // Every cell of a row.
    QStringList RowTexts(int row) const;
    // The column captions (the fields' display names).
    QStringList Captions() const;

private:
    bool hides(int row, int column) const;
};

// What a layout needs to know of the paper and the fonts, in report units.
struct TReportMetrics {
    QSizeF Paper{793.7, 1122.5};   // A4 portrait
    QMarginsF Margins{75.6, 75.6, 75.6, 75.6};
    double TitleLineHeight = 14;
    double DataLineHeight = 14;
    double FooterLineHeight = 14;
    QDateTime PrintedAt;
};

enum class TReportCellKind { PageNumber, Title, ColumnCaption, Value, PrintedAt };

struct TReportCell {
    TReportCellKind Kind = TReportCellKind::Value;
    QRectF Rect;
    QString Text;
};

// One laid-out page: shaded row backgrounds, then the cells on top.
struct TReportPage {
    int Number = 1;          // counted from 1
    int FirstRow = 0;
    int Rows = 0;
    QRectF PrintableArea;    // cells are clipped to it
    QList<QRectF> ShadedRows;
    QList<TReportCell> Cells;
};

// Places the report on pages of one size.  Bands, top to bottom: the page
// header (the page number, right-aligned) and the column captions on every
// page, the title once below the first page header, one detail row per
// item, and the footer with the date and time of printing at the bottom of
// every page.  Every detail row is one line high, so the rows each page
// holds follow from the metrics alone: the page count is known at once and
// any page is laid out without laying out the pages before it.
class TListReportLayout {
public:
    // Extra height of the title and column caption bands beside their line.
    static constexpr double BandPadding = 16;
    // A margin takes at most this share of the paper's width or height.
    static constexpr double MaxMarginShare = 0.4;
    // Columns narrowed below this share of their width cut most values:
    // the print window warns.
    static constexpr double MinReadableColumnScale = 0.6;

    TListReportLayout(const TrpListBase &report, const TReportMetrics &metrics);

    int PageCount() const { return m_pageCount; }
    // Page index counted from 0; an index outside the report gives an
    // empty page.
    TReportPage Page(int index) const;
    // The margins as used: negative ones are 0, none over MaxMarginShare.
    QMarginsF Margins() const { return m_metrics.Margins; }
    QSizeF Paper() const { return m_metrics.Paper; }
    int RowsOnFirstPage() const { return m_rowsFirst; }
    int RowsPerPage() const { return m_rowsOther; }
    // Every column prints this share of its width (at most 1), so that
    // together they fit between the left and right margins.
    double ColumnScale() const { return m_columnScale; }
    bool ColumnsNarrowed() const { return m_columnScale < 1; }
    bool ColumnsTooNarrow() const { return m_columnScale < MinReadableColumnScale; }

    static QString PageNumberText(int page, int pageCount);
    static QString PrintedAtText(const QDateTime &printedAt);

private:
    double detailTop(bool firstPage) const;
    int rowsFitting(double top) const;
    int firstRowOf(int index) const;

    const TrpListBase &m_report;
    TReportMetrics m_metrics;
    QRectF m_area;
    double m_footerTop = 0;
    int m_rowsFirst = 1;
    int m_rowsOther = 1;
    int m_pageCount = 1;
    double m_columnScale = 1;
};
