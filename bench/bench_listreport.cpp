// Speed of the list report over a large collection: laying out every page
// of the whole collection (the cell texts included), and how soon the
// preview can show its first page (the fonts measured and page 1 painted).
//
//   bench_listreport               100,000 tracks
//   bench_listreport --tracks N    another collection size

#include "benchcollection.h"
#include "core/data/datalists.h"
#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"
#include "gui/output/reportdocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr double layoutGoal = 2.0;      // seconds for every page
constexpr double firstPageGoal = 0.2;   // seconds until page 1 is painted

void report(QTextStream &out, const char *what, double seconds, double processor, double goal)
{
    out << QString::fromLatin1(what).leftJustified(40) << QString::number(seconds, 'f', 3) << " s (goal < " << goal
        << " s) " << (seconds < goal ? "ok" : "MISSED") << " [processor " << QString::number(processor, 'f', 3)
        << " s, " << QString::number(seconds / goal, 'f', 2) << " of the goal]" << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int trackCount = benchTrackCount(app.arguments(), 100000);
    QTextStream out(stdout);
    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    out << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists" << Qt::endl;

    // The default columns, sorted by artist and title, repeats hidden.
    TDataRefList items;
    items.AddItemsOf(*root.Items);
    const TDataField *artist = root.Fields->FindByID(Mp3FieldIds::Artist);
    const TDataField *title = root.Fields->FindByID(Mp3FieldIds::Title);
    items.SortByFields(TSortKeys{{artist, 1}, {title, 1}});
    TrpListBase definition;
    definition.Items = &items;
    definition.Title = QStringLiteral("Brimlow Tunebase");
    definition.HideRepeating = true;
    definition.RowShading = true;
    definition.SetSortFields({artist, title});
    for (const qint32 id : root.Fields->DefaultColumns[ListKind::MainItems]) {
        const TDataField *field = root.Fields->FindByID(id);
        definition.Columns.append({field, double(field->DefaultWidth)});
    }
    TReportFonts fonts;
    fonts.Title = FontFromSetting(TFontSetting());
    fonts.Data = FontFromSetting(TFontSetting());
    const QMarginsF margins(75.6, 75.6, 75.6, 75.6);

    QElapsedTimer timer;
    double processor = processorSeconds();
    timer.start();
    const TReportDocument document(definition, fonts, QPageSize(QPageSize::A4), QPageLayout::Portrait, margins);
    QImage page((document.PaperSize()).toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        document.PaintPage(painter, page, 0);
    }
    report(out, "first page of the preview:", timer.elapsed() / 1000.0, processorSeconds() - processor,
           firstPageGoal);

    processor = processorSeconds();
    timer.restart();
    qint64 cells = 0;
    for (int i = 0; i < document.PageCount(); ++i)
        cells += document.Layout().Page(i).Cells.size();
    report(out, "layout of every page:", timer.elapsed() / 1000.0, processorSeconds() - processor, layoutGoal);
    out << document.PageCount() << " pages, " << cells << " cells" << Qt::endl;
    return 0;
}
