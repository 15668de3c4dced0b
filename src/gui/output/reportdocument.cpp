#include "gui/output/reportdocument.h"

#include "core/files/process.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace {

// A painter of a device is scaled to report units; a font in points would
// then grow by the device's resolution twice, so it is given in the points
// that come out right after the scaling.
QFont deviceFont(const QFont &font, const QPaintDevice &device)
{
    QFont adjusted(font);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 8.0;
    adjusted.setPointSizeF(points * reportunits::PerInch / std::max(device.logicalDpiY(), 1));
    return adjusted;
}

// 1200 dpi: fine enough that rounding of the font metrics does not change
// the page breaks.
const QImage &referenceDevice()
{
    static const QImage image = [] {
        QImage device(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = int(1200 / 0.0254 + 0.5);
        device.setDotsPerMeterX(dotsPerMetre);
        device.setDotsPerMeterY(dotsPerMetre);
        return device;
    }();
    return image;
}

double lineHeight(const QFont &font)
{
    const QImage &device = referenceDevice();
    return QFontMetricsF(deviceFont(font, device), &device).height();
}

constexpr double CellPadding = 2;

} // namespace

QSizeF PaperInReportUnits(const QPageSize &pageSize, QPageLayout::Orientation orientation)
{
    QSizeF points = pageSize.size(QPageSize::Point);
    if (orientation == QPageLayout::Landscape)
        points.transpose();
    return points * reportunits::PerInch / 72.0;
}

QFont FontFromSetting(const TFontSetting &setting)
{
    QFont font(setting.Name);
    font.setPointSize(setting.Size);
    font.setBold(setting.Bold);
    font.setItalic(setting.Italic);
    return font;
}

TFontSetting SettingFromFont(const QFont &font)
{
    TFontSetting setting;
    setting.Name = font.family();
    setting.Size = font.pointSize() > 0 ? font.pointSize() : setting.Size;
    setting.Bold = font.bold();
    setting.Italic = font.italic();
    return setting;
}

TReportDocument::TReportDocument(const TrpListBase &report, const TReportFonts &fonts, const QPageSize &pageSize,
                                 QPageLayout::Orientation orientation, const QMarginsF &margins,
                                 const QDateTime &printedAt)
    : m_report(report), m_fonts(fonts), m_pageSize(pageSize), m_orientation(orientation)
{
    TReportMetrics metrics;
    metrics.Paper = PaperInReportUnits(pageSize, orientation);
    metrics.Margins = margins;
    metrics.TitleLineHeight = lineHeight(fonts.Title);
    metrics.DataLineHeight = lineHeight(fonts.Data);
    metrics.FooterLineHeight = lineHeight(fonts.Footer);
    metrics.PrintedAt = printedAt;
    m_layout = std::make_unique<TListReportLayout>(m_report, metrics);
}

TReportDocument::~TReportDocument() = default;

QPageLayout TReportDocument::PageLayout() const
{
    return QPageLayout(m_pageSize, m_orientation, QMarginsF(0, 0, 0, 0));
}

void TReportDocument::PaintPage(QPainter &painter, const QPaintDevice &device, int index, double zoom) const
{
    const TReportPage page = m_layout->Page(index);
    painter.save();
    painter.scale(zoom * device.logicalDpiX() / reportunits::PerInch,
                  zoom * device.logicalDpiY() / reportunits::PerInch);
    painter.setClipRect(page.PrintableArea);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(192, 192, 192));   // silver
    for (const QRectF &row : page.ShadedRows)
        painter.drawRect(row);

    QFont caption = m_fonts.Data;
    caption.setUnderline(true);
    const QFont data = deviceFont(m_fonts.Data, device);
    const QFont captionFont = deviceFont(caption, device);
    const QFont title = deviceFont(m_fonts.Title, device);
    const QFont footer = deviceFont(m_fonts.Footer, device);
    for (const TReportCell &cell : page.Cells) {
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        QColor colour = Qt::black;
        QRectF rect = cell.Rect.adjusted(CellPadding, 0, -CellPadding, 0);
        switch (cell.Kind) {
        case TReportCellKind::PageNumber:
            painter.setFont(data);
            align = Qt::AlignRight | Qt::AlignVCenter;
            break;
        case TReportCellKind::Title:
            painter.setFont(title);
            align = Qt::AlignCenter;
            break;
        case TReportCellKind::ColumnCaption:
            painter.setFont(captionFont);
            align = Qt::AlignLeft | Qt::AlignBottom;
            rect.adjust(0, 0, 0, -TListReportLayout::BandPadding / 4);
            break;
        case TReportCellKind::Value:
            painter.setFont(data);
            break;
        case TReportCellKind::PrintedAt:
            painter.setFont(footer);
            align = Qt::AlignRight | Qt::AlignVCenter;
            colour = Qt::gray;
            break;
        }
        if (rect.width() <= 0 || cell.Text.isEmpty())
            continue;
        painter.setPen(colour);
        const QString text = painter.fontMetrics().elidedText(cell.Text, Qt::ElideRight, int(rect.width()));
        painter.drawText(rect, int(align) | Qt::TextSingleLine, text);
    }
    painter.restore();
}

namespace {

// Paints pages first to last (from 0) on device, a new page between them.
template <typename NewPage>
bool paintPages(const TReportDocument &document, QPainter &painter, const QPaintDevice &device, int first,
                int last, TProcess &process, NewPage newPage)
{
    process.Max = last - first + 1;
    for (int index = first; index <= last; ++index) {
        if (process.IsCancelled())
            return false;
        if (index > first && !newPage())
            return false;
        document.PaintPage(painter, device, index);
        process.SetPosition(index - first + 1);
    }
    return true;
}

} // namespace

bool PrintReport(const TReportDocument &document, QPrinter &printer, int from, int to, TProcess &process)
{
    const int count = document.PageCount();
    const int first = from > 0 ? std::min(from, count) - 1 : 0;
    const int last = to > 0 ? std::clamp(to, first + 1, count) - 1 : count - 1;
    printer.setFullPage(true);
    printer.setPageLayout(document.PageLayout());
    printer.setDocName(document.Title());
    process.ShowWindow = true;
    process.Start();
    process.SetCaption(QObject::tr("Print"));
    process.SetMessage(QObject::tr("Printing..."));
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        ok = paintPages(document, painter, printer, first, last, process, [&printer] { return printer.newPage(); });
        if (!ok)
            printer.abort();
        painter.end();
    }
    process.Finish();
    return ok;
}

bool SaveReportPdf(const TReportDocument &document, const QString &fileName, TProcess &process, QString &error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    process.ShowWindow = true;
    process.Start();
    process.SetCaption(QObject::tr("Save as PDF"));
    process.SetMessage(QObject::tr("Writing %1...").arg(fileName));
    bool ok = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(document.Title());
        writer.setCreator(QStringLiteral("Brimlow Tunebase"));
        writer.setPageLayout(document.PageLayout());
        QPainter painter;
        if (painter.begin(&writer)) {
            ok = paintPages(document, painter, writer, 0, document.PageCount() - 1, process,
                            [&writer] { return writer.newPage(); });
            painter.end();
        }
    }
    process.Finish();
    if (!ok) {
        file.cancelWriting();
        error = process.IsCancelled() ? QObject::tr("Cancelled.") : QObject::tr("The PDF could not be drawn.");
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
