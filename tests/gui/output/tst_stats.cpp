#include "core/data/fieldlists.h"
#include "core/data/lookupitems.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/output/barchart.h"
#include "gui/output/stats.h"

#include "clirun.h"
#include "memorysettingsstore.h"
#include "outputfixture.h"
#include "scripteddesktopservices.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList tableValues(const TfmStatsBase &window)
{
    QStringList values;
    for (int i = 0; i < window.lvStats->topLevelItemCount(); ++i)
        values << window.lvStats->topLevelItem(i)->text(1);
    return values;
}

// "count  name" for every bar, as tunebase-cli prints them.
QStringList barLines(const TBarChart &chart)
{
    QStringList lines;
    for (const TBarChart::TBar &bar : chart.Bars())
        lines << QStringLiteral("%1 %2").arg(bar.Value).arg(bar.Label);
    return lines;
}

QStringList cliLines(const QByteArray &out)
{
    QStringList lines;
    const QRegularExpression row(QStringLiteral("^\\s*(\\d+)  (.*)$"));
    for (const QString &line : QString::fromUtf8(out).split(QLatin1Char('\n'))) {
        if (line.isEmpty())
            break;   // the counts end at the first empty line
        const QRegularExpressionMatch match = row.match(line);
        if (match.hasMatch() && match.captured(2) != QLatin1String("[None]"))
            lines << match.captured(1) + QLatin1Char(' ') + match.captured(2);
    }
    return lines;
}

void addGenre(TMp3Root &root, TDataItem *item, const QString &name)
{
    static_cast<TMp3Track *>(item)->Genres->Add(root.GenreList->FindOrAdd(name));
}

} // namespace

class TestStats : public QObject {
    Q_OBJECT

    TMemorySettingsStore m_store;
    ScriptedDesktopServices m_services;

private Q_SLOTS:
    void init() { m_store.clear(); }

    void countsEqualTheCommandLine_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint32>("fieldId");
        QTest::addColumn<QString>("order");
        QTest::newRow("artist by count") << "Artist" << Mp3FieldIds::Artist << "count";
        QTest::newRow("artist by name") << "Artist" << Mp3FieldIds::Artist << "name";
        QTest::newRow("genre by count") << "Genre" << Mp3FieldIds::Genre << "count";
    }

    void countsEqualTheCommandLine()
    {
        QFETCH(QString, field);
        QFETCH(qint32, fieldId);
        QFETCH(QString, order);
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {"Zoe", "adams", "Zoe", "", "Björk", "Zoe", "adams"}, items);
        root.Artists->FindOrAdd(QStringLiteral("Unused"));
        for (int i = 0; i < items.Count(); ++i)
            addGenre(root, items.Get(i), i % 3 ? QStringLiteral("Rock") : QStringLiteral("Jazz"));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("stats.tbx"));
        QVERIFY(root.SaveToFile(file));

        const CliRun cli = runCli({QStringLiteral("stats"), file, QStringLiteral("--field"), field,
                                   QStringLiteral("--order"), order});
        QCOMPARE(cli.exitCode, 0);
        TfmStats window(root, m_store);
        if (order == QLatin1String("name"))
            m_store.WriteInteger(QStringLiteral("fmStats"), QStringLiteral("SortMode"), 1);
        window.Open(root.Fields->FindByID(fieldId), 2);
        QVERIFY(!barLines(*window.chLookup).isEmpty());
        QCOMPARE(barLines(*window.chLookup), cliLines(cli.out));
        QCOMPARE(window.chLookup->Title(), QStringLiteral("Number of items per %1").arg(field));
        QCOMPARE(window.pnCount->text(), QStringLiteral("Nr Items in database: 7"));
    }

    // "Order by Name" and "Order by Count" work from the keyboard (Tab
    // reaches them, Space presses) and from assistive tools.
    void orderButtonsWithoutAMouse()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {"B", "A", "B"}, items);
        TfmStats window(root, m_store);
        window.Open(root.Fields->FindByID(Mp3FieldIds::Artist), 2);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.btSortName->focusPolicy() & Qt::TabFocus);
        QVERIFY(window.btSortCount->focusPolicy() & Qt::TabFocus);

        window.btSortName->setFocus();
        QTest::keyClick(window.btSortName, Qt::Key_Space);
        QCOMPARE(window.SortMode, 1);
        QCOMPARE(barLines(*window.chLookup), (QStringList{"1 A", "2 B"}));

        QAccessibleInterface *byCount = QAccessible::queryAccessibleInterface(window.btSortCount);
        QVERIFY(byCount && byCount->actionInterface());
        byCount->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(window.SortMode, 0);
        QVERIFY(window.acSortCount->isChecked());
        QVERIFY(window.btSortCount->isChecked());
        QVERIFY(!window.btSortName->isChecked());
        QCOMPARE(barLines(*window.chLookup), (QStringList{"2 B", "1 A"}));
        // Toggling the order shown keeps it: one of the two is always down.
        byCount->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(window.SortMode, 0);
        QVERIFY(window.btSortCount->isChecked());

        QAccessibleInterface *byName = QAccessible::queryAccessibleInterface(window.btSortName);
        byName->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(window.SortMode, 1);
        QVERIFY(window.btSortName->isChecked());
        QVERIFY(!window.btSortCount->isChecked());
    }

    // On a first opening the list shows the figures of a large library
    // whole, without the user widening it.
    void figuresShowWholeAtFirst()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {"A", "B"}, items);
        for (TDataItem *item : items) {
            auto *track = static_cast<TMp3Track *>(item);
            track->Length = 1500000;
            track->Size = 300 * 1048576;
            track->Bitrate = 320;
        }
        TfmStats window(root, m_store);
        window.Open(root.Fields->FindByID(Mp3FieldIds::Artist), 2);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QFontMetrics metrics = window.lvStats->fontMetrics();
        const int valueRoom = window.lvStats->viewport()->width() - window.lvStats->columnWidth(0);
        for (int i = 0; i < window.lvStats->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = window.lvStats->topLevelItem(i);
            QVERIFY2(window.lvStats->columnWidth(0) > metrics.horizontalAdvance(row->text(0)), qPrintable(row->text(0)));
            QVERIFY2(valueRoom > metrics.horizontalAdvance(row->text(1)), qPrintable(row->text(1)));
        }
    }

    void orderingAndFieldChoice()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {"B", "A", "B"}, items);
        TfmStats window(root, m_store);
        window.Open(nullptr, 2);
        // Without a field the first lookup field of the catalogue is shown.
        QVERIFY(window.Field);
        window.ChooseField(root.Fields->FindByID(Mp3FieldIds::Artist));
        QCOMPARE(window.btLookupLists->text(), QStringLiteral("List: Artist"));
        QCOMPARE(barLines(*window.chLookup), (QStringList{"2 B", "1 A"}));
        QVERIFY(window.acSortCount->isChecked());
        window.acSortName->trigger();
        QCOMPARE(window.SortMode, 1);
        QCOMPARE(barLines(*window.chLookup), (QStringList{"1 A", "2 B"}));
        QVERIFY(window.acSortName->isChecked());
        QVERIFY(!window.acSortCount->isChecked());
        // The chosen field is checked in the menu; choosing it again keeps
        // the page.
        int checked = 0;
        for (QAction *entry : window.pmLookupLists->actions())
            checked += entry->isChecked() && entry->data().toInt() == Mp3FieldIds::Artist;
        QCOMPARE(checked, 1);
        window.accept();
        TfmStats again(root, m_store);
        again.Open(root.Fields->FindByID(Mp3FieldIds::Artist), 2);
        QCOMPARE(again.SortMode, 1);
    }

    void pagingFollowsTheWidth_data()
    {
        QTest::addColumn<int>("values");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("pages");
        QTest::newRow("45 values") << 45 << 600 << 20 << 3;
        QTest::newRow("15 values") << 15 << 600 << 20 << 1;
        QTest::newRow("narrower than a bar") << 3 << 12 << 1 << 3;
        QTest::newRow("no width") << 3 << 0 << 1 << 3;
    }

    void pagingFollowsTheWidth()
    {
        QFETCH(int, values);
        QFETCH(int, width);
        QFETCH(int, pages);
        TMp3Root root;
        QStringList artists;
        for (int i = 0; i < values; ++i)
            artists << QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0'));
        TDataRefList items;
        addTracks(root, artists, items);
        TfmStats window(root, m_store);
        window.show();
        window.Open(root.Fields->FindByID(Mp3FieldIds::Artist), 2);
        // A chart narrower than the window allows is tried on its own.
        TBarChart alone;
        TBarChart *chart = width >= 100 ? window.chLookup : &alone;
        if (chart == &alone)
            alone.SetBars(window.chLookup->Bars());
        chart->resize(width, 300);
        QTEST(chart->BarsPerPage(), "perPage");
        QTEST(chart->PageCount(), "pages");
        if (chart == window.chLookup) {
            QCOMPARE(window.sbChart->isVisibleTo(&window), pages > 1);
            QCOMPARE(window.sbChart->maximum(), pages);
        }
        if (pages > 1) {
            chart->SetPage(pages);
            QCOMPARE(chart->Page(), pages);
            QVERIFY(!chart->PageBars().isEmpty());
        }
        QImage image(qMax(width, 1), 300, QImage::Format_RGB32);
        QPainter painter(&image);
        chart->PaintChart(painter, image.rect());
    }

    void longLabelsAreCut()
    {
        const QString thirty(30, QLatin1Char('x'));
        QCOMPARE(TBarChart::ShortLabel(thirty), thirty);
        QCOMPARE(TBarChart::ShortLabel(thirty + QLatin1Char('y')), thirty + QStringLiteral("..."));
    }

    void emptyCollection()
    {
        TMp3Root root;
        TfmStats window(root, m_store);
        window.Open(root.Fields->FindByID(Mp3FieldIds::Artist), 2);
        QCOMPARE(window.windowTitle(), QStringLiteral("Statistics on Collection"));
        QCOMPARE(tableValues(window), (QStringList{"0", "0 hrs, 0 mins", "0 mins, 0 sec", "0 MB", "0 KB", "0 kbps"}));
        QVERIFY(window.chLookup->Bars().isEmpty());
        QVERIFY(!window.sbChart->isVisibleTo(&window));
    }

    void damagedSettingsFallBack()
    {
        m_store.WriteString(QStringLiteral("fmStats"), QStringLiteral("SortMode"), QStringLiteral("7"));
        m_store.WriteString(QStringLiteral("fmStats"), QStringLiteral("ListWidth"), QStringLiteral("-40"));
        TMp3Root root;
        TfmStats window(root, m_store);
        window.Open(nullptr, 2);
        QCOMPARE(window.SortMode, 0);
    }

    void printingWithoutPrinterSays()
    {
        ScriptedOutputServices output;
        TMp3Root root;
        TfmStats window(root, m_store);
        window.Open(nullptr, 2);
        window.acPrint->trigger();
        QCOMPARE(m_services.messages.constLast(),
                 QStringLiteral("No printer found on your system; Please install a printer first."));
        QTemporaryDir dir;
        QVERIFY(window.SaveChartPdf(dir.filePath(QStringLiteral("chart.pdf"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("chart.pdf"))).size() > 0);
    }
};

QTEST_MAIN(TestStats)
#include "tst_stats.moc"
