#pragma once

#include "core/output/listreport.h"
#include "core/output/printsettings.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>

#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;
class TProcess;

QFont FontFromSetting(const TFontSetting &setting);
TFontSetting SettingFromFont(const QFont &font);

// The size of the paper in report units.
QSizeF PaperInReportUnits(const QPageSize &pageSize, QPageLayout::Orientation orientation);

// The fonts of the report's bands.
struct TReportFonts {
    QFont Title;
    QFont Data;
    // The date and time of printing: grey Arial 8 points.
    QFont Footer = FontFromSetting(TFontSetting());
};

// A list report laid out for one paper size: the same pages for the
// preview, the printer and the PDF file.  The lines are measured once on a
// high-resolution reference, so every device breaks the pages alike.
class TReportDocument {
public:
    TReportDocument(const TrpListBase &report, const TReportFonts &fonts, const QPageSize &pageSize,
                    QPageLayout::Orientation orientation, const QMarginsF &margins,
                    const QDateTime &printedAt = QDateTime::currentDateTime());
    ~TReportDocument();

    int PageCount() const { return m_layout->PageCount(); }
    const TListReportLayout &Layout() const { return *m_layout; }
    const TrpListBase &Report() const { return m_report; }
    QString Title() const { return m_report.Title; }
    // The paper with no margins: the pages carry their own.
    QPageLayout PageLayout() const;
    // The paper in report units.
    QSizeF PaperSize() const { return m_layout->Paper(); }

    // Paints page index (from 0) on a painter of device, whose origin is the
    // paper's top left corner; zoom 1 is the paper's real size.
    void PaintPage(QPainter &painter, const QPaintDevice &device, int index, double zoom = 1.0) const;

private:
    TrpListBase m_report;
    TReportFonts m_fonts;
    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation;
    std::unique_ptr<TListReportLayout> m_layout;
};

// Prints pages from to (counted from 1; 0 for all) with progress and
// cancel; false when cancelled or the printer failed.
bool PrintReport(const TReportDocument &document, QPrinter &printer, int from, int to, TProcess &process);
// Writes the whole report as a PDF file, complete before it replaces an
// old one; false (and why in error) when cancelled or not written.
bool SaveReportPdf(const TReportDocument &document, const QString &fileName, TProcess &process, QString &error);
