#include "core/base/settingsstore.h"
#include "core/output/listreport.h"
#include "core/output/printsettings.h"

#include "memorysettingsstore.h"
#include "testroot.h"

#include <QtTest>

using namespace testroot;

namespace {

// Items with the given titles and artists ("" for none), in that order.
struct Fixture {
    TTestRoot root;
    TDataRefList items;
    TrpListBase report;

    explicit Fixture(const QList<QPair<QString, QString>> &rows)
    {
        for (const auto &[title, artist] : rows) {
            TTestItem *item = root.addItem(title);
            if (!artist.isEmpty())
                item->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
            items.Add(item);
        }
        report.Items = &items;
        report.Title = QStringLiteral("Catalogue");
        report.SetColumns({{root.field(ArtistField), 100}, {root.field(TitleField), 150}});
    }

    static Fixture numbered(int count)
    {
        QList<QPair<QString, QString>> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({QStringLiteral("Track %1").arg(i), QStringLiteral("Artist %1").arg(i)});
        return Fixture(rows);
    }
};

// Paper 1000 high, 10-unit lines: page header 10, title 26, captions 26,
// footer 10.
TReportMetrics metrics(double margin = 0, double dataLine = 10)
{
    TReportMetrics m;
    m.Paper = QSizeF(800, 1000);
    m.Margins = QMarginsF(margin, margin, margin, margin);
    m.TitleLineHeight = 10;
    m.DataLineHeight = dataLine;
    m.FooterLineHeight = 10;
    m.PrintedAt = QDateTime(QDate(2026, 3, 4), QTime(15, 6));
    return m;
}

QStringList cellTexts(const TReportPage &page, TReportCellKind kind)
{
    QStringList texts;
    for (const TReportCell &cell : page.Cells)
        if (cell.Kind == kind)
            texts.append(cell.Text);
    return texts;
}

} // namespace

class TestListReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsPerPage_data()
    {
        QTest::addColumn<double>("margin");
        QTest::addColumn<double>("dataLine");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("other");
        QTest::addColumn<int>("pages");
        // 1000 - header 10 - title 26 - captions 26 - footer 10 = 928 on
        // page 1, 954 on the others.
        QTest::newRow("no margins") << 0.0 << 10.0 << 200 << 92 << 95 << 3;
        QTest::newRow("exactly one page") << 0.0 << 10.0 << 92 << 92 << 95 << 1;
        QTest::newRow("one row more") << 0.0 << 10.0 << 93 << 92 << 95 << 2;
        // Margins of 100 take 200 from the height.
        QTest::newRow("margins") << 100.0 << 10.0 << 200 << 72 << 75 << 3;
        QTest::newRow("larger font") << 0.0 << 20.0 << 200 << 45 << 46 << 5;
        QTest::newRow("zero rows") << 0.0 << 10.0 << 0 << 92 << 95 << 1;
        // A row taller than the page still gets a page of its own.
        QTest::newRow("row taller than a page") << 0.0 << 5000.0 << 3 << 1 << 1 << 3;
        // Margins that would leave no room are bounded to 40 % each side.
        QTest::newRow("margins beyond the paper") << 5000.0 << 10.0 << 30 << 12 << 15 << 3;
        QTest::newRow("negative margins") << -50.0 << 10.0 << 200 << 92 << 95 << 3;
    }

    void rowsPerPage()
    {
        QFETCH(double, margin);
        QFETCH(double, dataLine);
        QFETCH(int, rows);
        Fixture fixture = Fixture::numbered(rows);
        const TListReportLayout layout(fixture.report, metrics(margin, dataLine));
        QTEST(layout.RowsOnFirstPage(), "first");
        QTEST(layout.RowsPerPage(), "other");
        QTEST(layout.PageCount(), "pages");
        // Every row is on exactly one page, in order.
        int next = 0;
        for (int p = 0; p < layout.PageCount(); ++p) {
            const TReportPage page = layout.Page(p);
            QCOMPARE(page.FirstRow, next);
            QVERIFY(page.Rows >= (rows > 0 ? 1 : 0));
            next += page.Rows;
        }
        QCOMPARE(next, rows);
        QVERIFY(layout.Page(0).PrintableArea.height() > 0);
    }

    void pageBands()
    {
        Fixture fixture = Fixture::numbered(200);
        const TListReportLayout layout(fixture.report, metrics());
        const TReportPage first = layout.Page(0);
        QCOMPARE(cellTexts(first, TReportCellKind::PageNumber), QStringList{QStringLiteral("Page 1 of 3")});
        QCOMPARE(cellTexts(first, TReportCellKind::Title), QStringList{QStringLiteral("Catalogue")});
        QCOMPARE(cellTexts(first, TReportCellKind::ColumnCaption),
                 (QStringList{QStringLiteral("Artist"), QStringLiteral("Title")}));
        QCOMPARE(cellTexts(first, TReportCellKind::PrintedAt),
                 QStringList{TListReportLayout::PrintedAtText(QDateTime(QDate(2026, 3, 4), QTime(15, 6)))});
        QCOMPARE(cellTexts(first, TReportCellKind::Value).mid(0, 2),
                 (QStringList{QStringLiteral("Artist 1"), QStringLiteral("Track 1")}));

        const TReportPage last = layout.Page(2);
        QCOMPARE(cellTexts(last, TReportCellKind::PageNumber), QStringList{QStringLiteral("Page 3 of 3")});
        QVERIFY(cellTexts(last, TReportCellKind::Title).isEmpty());
        QCOMPARE(cellTexts(last, TReportCellKind::ColumnCaption).size(), 2);
        QCOMPARE(cellTexts(last, TReportCellKind::Value).constLast(), QStringLiteral("Track 200"));
        // The footer sits on the bottom margin, the rows above it.
        const QRectF footer = last.Cells.constLast().Rect;
        QCOMPARE(footer.bottom(), 1000.0);
        for (const TReportCell &cell : last.Cells)
            QVERIFY(cell.Kind == TReportCellKind::PrintedAt || cell.Rect.bottom() <= footer.top());

        QVERIFY(layout.Page(3).Cells.isEmpty());
        QVERIFY(layout.Page(-1).Cells.isEmpty());
    }

    void zeroRowsGiveOnePageWithHeadings()
    {
        Fixture fixture({});
        const TListReportLayout layout(fixture.report, metrics());
        QCOMPARE(layout.PageCount(), 1);
        const TReportPage page = layout.Page(0);
        QCOMPARE(page.Rows, 0);
        QVERIFY(cellTexts(page, TReportCellKind::Value).isEmpty());
        QCOMPARE(cellTexts(page, TReportCellKind::PageNumber), QStringList{QStringLiteral("Page 1 of 1")});
        QCOMPARE(cellTexts(page, TReportCellKind::ColumnCaption).size(), 2);
    }

    void repeatedValuesHidden_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QStringList>("sortBy");   // "artist", "title"
        QTest::addColumn<QStringList>("expected"); // artist|title per row
        const QStringList all{"A|One", "A|One", "B|One", "B|Two"};
        QTest::newRow("off") << false << QStringList{"artist"} << all;
        QTest::newRow("by artist") << true << QStringList{"artist"}
                                   << QStringList{"A|One", "|One", "B|One", "|Two"};
        // Each sort field compares with its own value above: the third
        // row's title is hidden although its artist changed.
        QTest::newRow("by artist, title") << true << QStringList{"artist", "title"}
                                          << QStringList{"A|One", "|", "B|", "|Two"};
        QTest::newRow("not a sort field") << true << QStringList{} << all;
    }

    void repeatedValuesHidden()
    {
        QFETCH(bool, hide);
        QFETCH(QStringList, sortBy);
        QFETCH(QStringList, expected);
        Fixture fixture({{"One", "A"}, {"One", "A"}, {"One", "B"}, {"Two", "B"}});
        QList<const TDataField *> sorts;
        for (const QString &name : sortBy)
            sorts.append(fixture.root.field(name == QLatin1String("artist") ? ArtistField : TitleField));
        fixture.report.SetSortFields(sorts);
        fixture.report.HideRepeating = hide;
        QStringList rows;
        for (int r = 0; r < fixture.report.RowCount(); ++r)
            rows.append(fixture.report.RowTexts(r).join(QLatin1Char('|')));
        QCOMPARE(rows, expected);
        // A later page laid out alone hides exactly as a run from the start.
        const TListReportLayout layout(fixture.report, metrics(0, 300));
        QCOMPARE(layout.PageCount(), 4);
        QCOMPARE(cellTexts(layout.Page(3), TReportCellKind::Value).join(QLatin1Char('|')), expected.constLast());
    }

    void valuesPrintOnOneLine()
    {
        Fixture fixture({{QStringLiteral("Line one\r\nline two\nthree"), QStringLiteral("A")}});
        QCOMPARE(fixture.report.CellText(0, 1), QStringLiteral("Line one line two three"));
    }

    void shadingEveryOtherRowFromTheFirst()
    {
        Fixture fixture = Fixture::numbered(5);
        fixture.report.RowShading = true;
        const TReportPage page = TListReportLayout(fixture.report, metrics()).Page(0);
        QCOMPARE(page.ShadedRows.size(), 3);
        const QList<TReportCell> &cells = page.Cells;
        auto rowTop = [&](int row) {
            int seen = 0;
            for (const TReportCell &cell : cells)
                if (cell.Kind == TReportCellKind::Value && seen++ == row * 2)
                    return cell.Rect.top();
            return -1.0;
        };
        QCOMPARE(page.ShadedRows.at(0).top(), rowTop(0));
        QCOMPARE(page.ShadedRows.at(1).top(), rowTop(2));
        QCOMPARE(page.ShadedRows.at(2).top(), rowTop(4));
        fixture.report.RowShading = false;
        QVERIFY(TListReportLayout(fixture.report, metrics()).Page(0).ShadedRows.isEmpty());
    }

    void columnsFitBetweenTheMargins_data()
    {
        QTest::addColumn<QList<double>>("widths");
        QTest::addColumn<QList<double>>("printed");
        QTest::addColumn<bool>("tooNarrow");
        // The paper is 800 wide with margins of 50: 700 to print on.
        QTest::newRow("fit as they are") << QList<double>{100, 150, 60} << QList<double>{100, 150, 60} << false;
        QTest::newRow("exactly the width") << QList<double>{500, 200} << QList<double>{500, 200} << false;
        QTest::newRow("a little too wide") << QList<double>{400, 200, 150} << QList<double>{373.33, 186.67, 140}
                                           << false;
        QTest::newRow("twice too wide") << QList<double>{500, 500, 400} << QList<double>{250, 250, 200} << true;
    }

    void columnsFitBetweenTheMargins()
    {
        QFETCH(QList<double>, widths);
        QFETCH(QList<double>, printed);
        QFETCH(bool, tooNarrow);
        Fixture fixture = Fixture::numbered(2);
        const qint32 fields[] = {ArtistField, TitleField, SizeField};
        QList<TrpListBase::TColumn> columns;
        for (int i = 0; i < widths.size(); ++i)
            columns.append({fixture.root.field(fields[i]), widths.at(i)});
        fixture.report.SetColumns(columns);
        const TListReportLayout layout(fixture.report, metrics(50));
        QCOMPARE(layout.ColumnsNarrowed(), widths != printed);
        QCOMPARE(layout.ColumnsTooNarrow(), tooNarrow);

        // Every column prints, captions and values alike, side by side.
        const TReportPage page = layout.Page(0);
        for (const TReportCellKind kind : {TReportCellKind::ColumnCaption, TReportCellKind::Value}) {
            QList<QRectF> cells;
            for (const TReportCell &cell : page.Cells)
                if (cell.Kind == kind)
                    cells.append(cell.Rect);
            QCOMPARE(cells.size(), widths.size() * (kind == TReportCellKind::Value ? 2 : 1));
            double left = 50;
            for (int c = 0; c < widths.size(); ++c) {
                QCOMPARE(cells.at(c).left(), left);
                QVERIFY2(qAbs(cells.at(c).width() - printed.at(c)) < 0.01,
                         qPrintable(QStringLiteral("column %1 is %2 wide").arg(c).arg(cells.at(c).width())));
                left = cells.at(c).right();
            }
            QVERIFY(left <= 750 + 1e-9);
        }
    }

    void settingsAreChecked_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::newRow("negative margin") << "TopMargin" << "-5";
        QTest::newRow("huge margin") << "LeftMargin" << "100000";
        QTest::newRow("text margin") << "BottomMargin" << "wide";
        QTest::newRow("orientation") << "Orientation" << "7";
        QTest::newRow("font size") << "TitleFont|Size" << "0";
    }

    void settingsAreChecked()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        TMemorySettingsStore store;
        const QStringList parts = key.split(QLatin1Char('|'));
        const QString section = parts.size() == 2 ? TPrintListSettings::Section + QLatin1Char('\\') + parts.first()
                                                  : TPrintListSettings::Section;
        store.WriteString(section, parts.constLast(), stored);
        TPrintListSettings settings;
        settings.Load(store);
        QCOMPARE(settings, TPrintListSettings());
    }

    void settingsRoundTrip()
    {
        TPrintListSettings settings;
        settings.UnitsMM = false;
        settings.TopMargin = 5;
        settings.Title = QStringLiteral("Mine");
        settings.Orientation = 1;
        settings.HideRepeatingSortValues = true;
        settings.DataFont = {QStringLiteral("DejaVu Serif"), 11, true, false};
        TMemorySettingsStore store;
        settings.Save(store);
        TPrintListSettings loaded;
        loaded.Load(store);
        QCOMPARE(loaded, settings);
        // Tenths of an inch: 20 is two inches.
        loaded.LeftMargin = 20;
        QCOMPARE(loaded.MarginsInReportUnits().left(), 192.0);
    }
};

QTEST_GUILESS_MAIN(TestListReport)
#include "tst_listreport.moc"
