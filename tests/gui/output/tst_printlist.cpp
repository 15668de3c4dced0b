#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/output/printsettings.h"
#include "gui/output/preview.h"
#include "gui/output/printlist.h"
#include "gui/output/reportdocument.h"
#include "gui/settings/radiogroup.h"

#include "memorysettingsstore.h"
#include "outputfixture.h"
#include "scripteddesktopservices.h"

#include <QAccessible>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList columnTexts(const QTableView *view, int column)
{
    QStringList texts;
    const QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, column)).toString();
    return texts;
}

int columnOf(const QTableView *view, const QString &caption)
{
    const QAbstractItemModel *model = view->model();
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    return -1;
}

QStringList artistsOf(const TDataRefList &items, const TMp3Root &root)
{
    QStringList names;
    for (const TDataItem *item : items)
        names << item->GetValueAsString(root.Fields->FindByID(Mp3FieldIds::Artist));
    return names;
}

// The page count of a PDF: pdfinfo when installed, else the page objects.
int pdfPageCount(const QString &path)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        info.waitForFinished();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return int(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

class TestPrintList : public QObject {
    Q_OBJECT

    TMemorySettingsStore m_store;
    ScriptedDesktopServices m_services;
    ScriptedOutputServices m_output;

private Q_SLOTS:
    void init()
    {
        m_store.clear();
        m_services.messages.clear();
        m_output.hasPrinter = false;
        m_output.printDialogs = 0;
    }

    void firstRunDefaults()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("B"), QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        QVERIFY(window.rbMM->isChecked());
        QVERIFY(!window.rbInches->isChecked());
        for (QSpinBox *margin : {window.edTopMargin, window.edLeftMargin, window.edRightMargin, window.edBottomMargin})
            QCOMPARE(margin->value(), 20);
        QCOMPARE(window.edTitle->text(), QStringLiteral("Brimlow Tunebase"));
        QCOMPARE(window.Orientation(), QPageLayout::Portrait);
        QCOMPARE(window.lvRepDef->font().pointSize(), 8);
        QCOMPARE(window.SortFields->Count(), 0);
        QCOMPARE(window.lvRepDef->model()->columnCount(), root.Fields->DefaultColumns[2].size());
        QCOMPARE(window.pnCount->text(), QStringLiteral("2 items to be printed"));
        QCOMPARE(window.pnHelp->text(), QStringLiteral("Right click Report Title or List to change fonts"));
    }

    // The default report on A4 portrait with 20 mm margins prints every
    // column, the last one ("Bitrate") included, inside the margins.
    void defaultColumnsFitA4Portrait()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        const std::unique_ptr<TReportDocument> document =
            window.PrepareDocument(QPageSize(QPageSize::A4), QPageLayout::Portrait);
        const TReportPage page = document->Layout().Page(0);
        QStringList captions;
        double right = 0;
        for (const TReportCell &cell : page.Cells) {
            if (cell.Kind != TReportCellKind::ColumnCaption)
                continue;
            captions << cell.Text;
            right = std::max(right, cell.Rect.right());
        }
        QCOMPARE(captions.size(), root.Fields->DefaultColumns[2].size());
        QCOMPARE(captions.constLast(), QStringLiteral("Bitrate"));
        QVERIFY2(right <= page.PrintableArea.right() + 1e-6, qPrintable(QString::number(right)));
        QVERIFY(!document->Layout().ColumnsTooNarrow());
        QVERIFY(!window.laColumnFit->text().contains(QStringLiteral("cut")));
    }

    // Far more columns than the page holds print narrowed, and the window
    // says so until they fit again.
    void manyColumnsAreNarrowedWithAWarning()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TColumnFieldRefList columns(2, &root);
        for (const qint32 id : {Mp3FieldIds::Filepath, Mp3FieldIds::Artist, Mp3FieldIds::Title, Mp3FieldIds::Album,
                                Mp3FieldIds::Length, Mp3FieldIds::Size, Mp3FieldIds::Bitrate, Mp3FieldIds::SampleRate,
                                Mp3FieldIds::Frames, Mp3FieldIds::Mode, Mp3FieldIds::MpegVersion,
                                Mp3FieldIds::MpegLayer})
            columns.Add(std::make_unique<TColumnField>(root.Fields->FindByID(id), 100, &columns));
        columns.SaveToSettings(m_store, QStringLiteral("fmPrintList\\ColumnFields2"));
        TfmPrintListBase window(items, 2, root, m_store);
        QCOMPARE(window.lvRepDef->model()->columnCount(), 12);
        const double printable = PaperInReportUnits(TfmPrintListBase::DefaultPageSize(), QPageLayout::Portrait).width()
                                 - 2 * reportunits::FromMillimetres(20);
        QVERIFY(1200 * TListReportLayout::MinReadableColumnScale > printable);
        QVERIFY(!window.laColumnFit->isHidden());
        QVERIFY2(window.laColumnFit->text().contains(QStringLiteral("Many values will be cut")),
                 qPrintable(window.laColumnFit->text()));

        const std::unique_ptr<TReportDocument> document =
            window.PrepareDocument(TfmPrintListBase::DefaultPageSize(), QPageLayout::Portrait);
        const TReportPage page = document->Layout().Page(0);
        int printed = 0;
        for (const TReportCell &cell : page.Cells) {
            if (cell.Kind == TReportCellKind::ColumnCaption) {
                ++printed;
                QVERIFY(cell.Rect.right() <= page.PrintableArea.right() + 1e-6);
            }
        }
        QCOMPARE(printed, 12);

        // Narrower columns fit without a word.
        QHeaderView *header = window.lvRepDef->horizontalHeader();
        for (int c = 0; c < header->count(); ++c)
            header->resizeSection(c, 40);
        QVERIFY(window.laColumnFit->isHidden());
        header->resizeSection(0, 400);
        QVERIFY(!window.laColumnFit->isHidden());
        QVERIFY(!window.laColumnFit->text().contains(QStringLiteral("Many values will be cut")));
    }

    void emptyListShowsNoRows()
    {
        TMp3Root root;
        TDataRefList items;
        TfmPrintListBase window(items, 2, root, m_store);
        QCOMPARE(window.pnCount->text(), QStringLiteral("0 items to be printed"));
        QCOMPARE(window.lvRepDef->model()->rowCount(), 0);
    }

    void headerClicksSortTheItems()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        QHeaderView *header = window.lvRepDef->horizontalHeader();
        const int artist = columnOf(window.lvRepDef, QStringLiteral("Artist"));
        const int title = columnOf(window.lvRepDef, QStringLiteral("Title"));
        QVERIFY(artist >= 0 && title >= 0);
        header->sectionClicked(artist);
        QCOMPARE(artistsOf(items, root), (QStringList{"A", "B", "C"}));
        QCOMPARE(columnTexts(window.lvRepDef, artist), (QStringList{"A", "B", "C"}));
        header->sectionClicked(artist);
        QCOMPARE(artistsOf(items, root), (QStringList{"C", "B", "A"}));
        QCOMPARE(window.SortFields->Count(), 1);
        QCOMPARE(window.SortFields->Get(0)->Order, -1);
        header->sectionClicked(title);
        QCOMPARE(window.SortFields->Count(), 1);
        QCOMPARE(window.SortFields->Get(0)->Field->ID, Mp3FieldIds::Title);
        QCOMPARE(window.SortFields->Get(0)->Order, 1);
    }

    void hiddenRepeatsInTheList()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        const int artist = columnOf(window.lvRepDef, QStringLiteral("Artist"));
        window.lvRepDef->horizontalHeader()->sectionClicked(artist);
        window.ckHideRepeatingSortValues->setChecked(true);
        QCOMPARE(columnTexts(window.lvRepDef, artist), (QStringList{"A", "", "B"}));
        // A column that is no sort field shows every value.
        QCOMPARE(columnTexts(window.lvRepDef, columnOf(window.lvRepDef, QStringLiteral("Bitrate"))),
                 (QStringList{"128kbps", "128kbps", "128kbps"}));
        window.ckHideRepeatingSortValues->setChecked(false);
        QCOMPARE(columnTexts(window.lvRepDef, artist), (QStringList{"A", "A", "B"}));
    }

    void settingsSurviveTheWindow()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        {
            TfmPrintListBase window(items, 2, root, m_store);
            window.rbInches->setChecked(true);
            window.edTopMargin->setValue(7);
            window.edTitle->setText(QStringLiteral("My Records"));
            window.rgOrientation->SetItemIndex(1);
            window.ckShading->setChecked(true);
            window.lvRepDef->horizontalHeader()->resizeSection(0, 222);
            window.lvRepDef->horizontalHeader()->sectionClicked(1);
            window.reject();
        }
        TfmPrintListBase window(items, 2, root, m_store);
        QVERIFY(window.rbInches->isChecked());
        QCOMPARE(window.edTopMargin->value(), 7);
        QCOMPARE(window.edTitle->text(), QStringLiteral("My Records"));
        QCOMPARE(window.Orientation(), QPageLayout::Landscape);
        QVERIFY(window.ckShading->isChecked());
        QCOMPARE(window.lvRepDef->horizontalHeader()->sectionSize(0), 222);
        QCOMPARE(window.SortFields->Count(), 1);
        // Another list kind keeps its own columns.
        QVERIFY(!m_store.SectionExists(QStringLiteral("fmPrintList\\ColumnFields3")));
    }

    void noPrinterKeepsTheWindowOpen()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        window.show();
        QVERIFY(!window.Print());
        QCOMPARE(m_services.messages,
                 QStringList{QStringLiteral("No printer found on your system; Please install a printer first.")});
        QCOMPARE(m_output.printDialogs, 0);
        QVERIFY(window.isVisible());
    }

    void cancelledPrintDialogChangesNothing()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        window.show();
        m_output.hasPrinter = true;
        m_output.confirmPrint = false;
        window.edTitle->setText(QStringLiteral("Kept"));
        QVERIFY(!window.Print());
        QCOMPARE(m_output.printDialogs, 1);
        QVERIFY(window.isVisible());
        QCOMPARE(window.edTitle->text(), QStringLiteral("Kept"));
        QVERIFY(m_services.messages.isEmpty());
    }

    void pdfHoldsEveryPage()
    {
        TMp3Root root;
        QStringList artists;
        for (int i = 1; i <= 300; ++i)
            artists << QStringLiteral("Artist %1").arg(i, 3, 10, QLatin1Char('0'));
        TDataRefList items;
        addTracks(root, artists, items);
        TfmPrintListBase window(items, 2, root, m_store);
        window.lvRepDef->horizontalHeader()->sectionClicked(columnOf(window.lvRepDef, QStringLiteral("Artist")));
        window.edTitle->setText(QStringLiteral("Catalogue of Records"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        m_output.saveNames << path;
        QVERIFY(window.SaveAsPdf());
        QCOMPARE(m_output.saveDialogs.constLast().at(3), QStringLiteral("pdf"));

        const std::unique_ptr<TReportDocument> document =
            window.PrepareDocument(TfmPrintListBase::DefaultPageSize(), window.Orientation());
        QVERIFY(document->PageCount() > 1);
        QCOMPARE(pdfPageCount(path), document->PageCount());
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed: the page count was checked");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(pdf.contains(QStringLiteral("Catalogue of Records")), qPrintable(pdf.left(400)));
        QVERIFY(pdf.contains(QStringLiteral("Artist 001")));
        QVERIFY(pdf.contains(QStringLiteral("Artist 300")));
        QVERIFY(pdf.contains(QStringLiteral("Page 1 of %1").arg(document->PageCount())));
        QVERIFY(pdf.contains(QStringLiteral("Page %1 of %1").arg(document->PageCount())));
    }

    void pdfDialogStartsInAFolderThatExists_data()
    {
        QTest::addColumn<QString>("lastPdf");
        QTest::addColumn<bool>("savedCollection");
        QTest::addColumn<QString>("expectedFolder");
        QTest::newRow("first PDF: the collection's folder") << "" << true << "collection";
        QTest::newRow("the last PDF's folder") << "last/old.pdf" << true << "last";
        QTest::newRow("the last folder is gone") << "gone/old.pdf" << true << "collection";
        QTest::newRow("a new collection: home") << "" << false << "home";
    }

    // A start folder that does not exist would make the file dialog open
    // in the program's working folder.
    void pdfDialogStartsInAFolderThatExists()
    {
        QFETCH(QString, lastPdf);
        QFETCH(bool, savedCollection);
        QFETCH(QString, expectedFolder);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("collection")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("last")));
        TMp3Root root;
        if (savedCollection)
            root.FileName = dir.filePath(QStringLiteral("collection/music.tbx"));
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        if (!lastPdf.isEmpty())
            m_store.WriteString(TPrintListSettings::Section, QStringLiteral("PdfFileName"), dir.filePath(lastPdf));
        TfmPrintListBase window(items, 2, root, m_store);
        window.edTitle->setText(QStringLiteral("Report"));
        m_output.saveDialogs.clear();
        QVERIFY(!window.SaveAsPdf());
        const QString folder = expectedFolder == QStringLiteral("home") ? QDir::homePath() : dir.filePath(expectedFolder);
        QCOMPARE(m_output.saveDialogs.constLast().at(1), QDir(folder).filePath(QStringLiteral("Report.pdf")));
    }

    void pdfFailureIsReportedAndLeavesNothing()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/list.pdf"));
        QVERIFY(!window.SaveAsPdf(path));
        QCOMPARE(m_services.messages.size(), 1);
        QVERIFY(m_services.messages.constFirst().startsWith(QStringLiteral("Could not write the PDF file")));
        QVERIFY(!QFile::exists(path));
    }

    void previewPageKeys()
    {
        TMp3Root root;
        QStringList artists;
        for (int i = 0; i < 400; ++i)
            artists << QStringLiteral("A");
        TDataRefList items;
        addTracks(root, artists, items);
        TfmPrintListBase window(items, 2, root, m_store);
        window.lvRepDef->setFont(FontFromSetting({QStringLiteral("Arial"), 16, false, false}));
        const std::unique_ptr<TReportDocument> document =
            window.PrepareDocument(QPageSize(QPageSize::A4), QPageLayout::Portrait);
        QVERIFY(document->PageCount() >= 5);
        const int last = document->PageCount();
        TfmPreview preview(*document, m_store);
        preview.show();
        QCOMPARE(preview.pnPage->text(), QStringLiteral("   Page 1 of %1").arg(last));
        QVERIFY(!preview.btFirst->isEnabled());
        QVERIFY(!preview.btPrior->isEnabled());
        QVERIFY(preview.btNext->isEnabled());
        QCOMPARE(preview.Zoom(), TfmPreview::TZoom::Width);
        QVERIFY(preview.btZoomWidth->isChecked());

        QWidget *view = preview.findChild<QWidget *>(QStringLiteral("pvPages"));
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(preview.PageNumber(), 1);
        QTest::keyClick(view, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(preview.PageNumber(), last);
        QVERIFY(!preview.btNext->isEnabled());
        QVERIFY(!preview.btLast->isEnabled());
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(preview.PageNumber(), 1);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(preview.PageNumber(), last);
        QTest::keyClick(view, Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(preview.PageNumber(), last - 1);
        preview.btFirst->click();
        QCOMPARE(preview.PageNumber(), 1);
        preview.ShowPage(last + 1);
        QCOMPARE(preview.PageNumber(), 1);
        preview.btZoomFit->click();
        QVERIFY(preview.btZoomFit->isChecked());
        QVERIFY(!preview.btZoomWidth->isChecked());
    }

    // The zoom buttons work from the keyboard (Tab reaches them, Space
    // presses) and from assistive tools, whose toggle emits no click.
    void previewZoomButtonsWithoutAMouse()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {"A", "B"}, items);
        TfmPrintListBase window(items, 2, root, m_store);
        const std::unique_ptr<TReportDocument> document =
            window.PrepareDocument(QPageSize(QPageSize::A4), QPageLayout::Portrait);
        TfmPreview preview(*document, m_store);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        for (QToolButton *button : {preview.btZoomFit, preview.btZoom100, preview.btZoomWidth})
            QVERIFY(button->focusPolicy() & Qt::TabFocus);

        preview.btZoomFit->setFocus();
        QTest::keyClick(preview.btZoomFit, Qt::Key_Space);
        QCOMPARE(preview.Zoom(), TfmPreview::TZoom::Fit);

        QAccessibleInterface *actual = QAccessible::queryAccessibleInterface(preview.btZoom100);
        QVERIFY(actual && actual->actionInterface());
        QVERIFY(actual->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actual->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(preview.Zoom(), TfmPreview::TZoom::Actual);
        QVERIFY(!preview.btZoomFit->isChecked());

        QAccessibleInterface *width = QAccessible::queryAccessibleInterface(preview.btZoomWidth);
        width->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(preview.Zoom(), TfmPreview::TZoom::Width);
        // Toggling the zoom shown leaves it: one of them is always down.
        width->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(preview.Zoom(), TfmPreview::TZoom::Width);
        QVERIFY(preview.btZoomWidth->isChecked());
    }
};

QTEST_MAIN(TestPrintList)
#include "tst_printlist.moc"
