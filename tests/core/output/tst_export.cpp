#include "core/data/datafield.h"
#include "core/data/datafieldref.h"
#include "core/output/export.h"

#include "recordingprocesswindow.h"
#include "scripteddesktopservices.h"
#include "testroot.h"
#include "testsupport.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

// A row of the table: a text per field ID.
class TRowItem : public TDataItem {
public:
    QMap<qint32, QString> Values;
    QString GetValueAsString(const TDataField *field) const override { return Values.value(field->ID); }
};

// A progress display that runs a hook whenever the process pumps events,
// the moment a user's click on Cancel would be handled.
class THookedWindow : public TRecordingProcessWindow {
public:
    THookedWindow(TProcessWindowRecord &record, std::function<void()> hook)
        : TRecordingProcessWindow(record)
        , m_hook(std::move(hook))
    {
    }
    void pumpEvents() override
    {
        TRecordingProcessWindow::pumpEvents();
        if (m_hook)
            m_hook();
    }

private:
    std::function<void()> m_hook;
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    TTestRoot m_root;
    TDataFieldRefList m_columns{2, &m_root};
    TDataList m_rows;
    TDataRefList m_items;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Two columns, Title and Size, and one item per pair of values.
    void setRows(const QList<QPair<QString, QString>> &rows)
    {
        m_items.Clear();
        m_rows.FreeAll();
        for (const auto &[title, size] : rows) {
            auto item = std::make_unique<TRowItem>();
            item->Values = {{testroot::TitleField, title}, {testroot::SizeField, size}};
            m_items.Add(m_rows.Add(std::move(item)));
        }
    }
    void setRowCount(int count)
    {
        QList<QPair<QString, QString>> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({QStringLiteral("t%1").arg(i), QString::number(i)});
        setRows(rows);
    }
    template <typename T>
    void prepare(T &exporter)
    {
        exporter.Items = &m_items;
        exporter.Columns = &m_columns;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (qint32 id : {testroot::TitleField, testroot::SizeField})
            m_columns.Add(std::make_unique<TDataFieldRef>(m_root.field(id), &m_columns));
    }
    void cleanup()
    {
        SetFieldCustomName(m_root.Fields->FindByID(testroot::TitleField), QStringLiteral("Title"));
    }

    void asciiRows_data()
    {
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("replaceEnter");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("expected");
        QTest::newRow("qualifier doubled inside a value") << ";" << "\"" << " " << "a" << "b\"c" << "\"a\";\"b\"\"c\"";
        QTest::newRow("single quote qualifier") << "," << "'" << " " << "it's" << "1" << "'it''s','1'";
        QTest::newRow("no qualifier, value unchanged") << "," << "" << " " << "x,y" << "1" << "x,y,1";
        QTest::newRow("tab delimiter") << "\t" << "" << " " << "a" << "" << "a\t";
        QTest::newRow("line break as backslash n") << ";" << "\"" << "\\n" << "l1\r\nl2" << "1" << "\"l1\\nl2\";\"1\"";
        QTest::newRow("lone LF and CR replaced too") << ";" << "" << " " << "a\nb\rc" << "1" << "a b c;1";
        QTest::newRow("line breaks kept") << ";" << "\"" << "\r\n" << "l1\r\nl2" << "1" << "\"l1\r\nl2\";\"1\"";
    }
    void asciiRows()
    {
        QFETCH(QString, delimiter);
        QFETCH(QString, qualifier);
        QFETCH(QString, replaceEnter);
        QFETCH(QString, title);
        QFETCH(QString, size);
        QFETCH(QString, expected);
        setRows({{title, size}});
        TExportAscii exporter;
        prepare(exporter);
        exporter.Delimiter = delimiter;
        exporter.TextQualifier = qualifier;
        exporter.ReplaceEnter = replaceEnter;
        QVERIFY(exporter.Export(25, TExport::ToLines));
        QCOMPARE(exporter.Lines, QStringList{expected});
        QCOMPARE(exporter.Count, 1);
    }

    // As most CSV files are written (and tunebase-cli list writes them):
    // quotes only where a reader needs them, line breaks kept inside.
    void asciiQualifiedWhenNeeded_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Lovesong" << "Lovesong,1";
        QTest::newRow("empty") << "" << ",1";
        QTest::newRow("delimiter") << "Stone, Cold" << "\"Stone, Cold\",1";
        QTest::newRow("qualifier") << "say \"hi\"" << "\"say \"\"hi\"\"\",1";
        QTest::newRow("LF kept") << "l1\nl2" << "\"l1\nl2\",1";
        QTest::newRow("CR LF kept") << "l1\r\nl2" << "\"l1\r\nl2\",1";
        QTest::newRow("lone CR kept") << "l1\rl2" << "\"l1\rl2\",1";
        QTest::newRow("formula not guarded") << "=1+1" << "=1+1,1";
    }
    void asciiQualifiedWhenNeeded()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        setRows({{title, QStringLiteral("1")}});
        TExportAscii exporter;
        prepare(exporter);
        exporter.QualifyWhenNeeded = true;
        exporter.KeepLineBreaks = true;
        exporter.ReplaceEnter = QStringLiteral(" ");
        QVERIFY(exporter.Export(TExport::AllItems, TExport::ToLines));
        QCOMPARE(exporter.Lines, QStringList{expected});
    }

    void asciiHeaderOnlyWithoutItems()
    {
        ScriptedDesktopServices desktop;
        setRows({});
        SetFieldCustomName(m_root.Fields->FindByID(testroot::TitleField), QStringLiteral("Say \"&Hi\""));
        TExportAscii exporter;
        prepare(exporter);
        exporter.Delimiter = QStringLiteral(";");
        exporter.IncludeFieldNames = true;
        exporter.FileName = path(QStringLiteral("header.csv"));
        QVERIFY(exporter.Export(TExport::AllItems, TExport::ToFile));
        QCOMPARE(readFile(exporter.FileName), QByteArray("\"Say \"\"Hi\"\"\";\"Size\"\r\n"));
        QCOMPARE(desktop.messages,
                 QStringList{QStringLiteral("0 Items exported to \"%1\"").arg(exporter.FileName)});
    }

    void previewStopsAtLimitAndStaysQuiet()
    {
        ScriptedDesktopServices desktop;
        setRowCount(30);
        TProcessWindowRecord record;
        TExportHTML exporter(std::make_unique<TRecordingProcessWindow>(record));
        prepare(exporter);
        exporter.FileName = path(QStringLiteral("never.htm"));
        QVERIFY(exporter.Export(25, TExport::ToLines));
        QCOMPARE(exporter.Count, 25);
        QCOMPARE(exporter.Lines.count(QStringLiteral("<TR ALIGN=LEFT>")), 26); // header and 25 rows
        QVERIFY(!QFile::exists(exporter.FileName));
        QVERIFY(desktop.messages.isEmpty());
        QCOMPARE(record.ShowCount, 0);
        QCOMPARE(record.Pumps, 0);
    }

    void htmlLayout()
    {
        setRows({{QStringLiteral("<script>alert(1)</script>"), QString()},
                 {QStringLiteral("a < b & \"c\"\r\nnext"), QStringLiteral("7")}});
        SetFieldCustomName(m_root.Fields->FindByID(testroot::TitleField), QStringLiteral("<i>Title</i>"));
        TExportHTML exporter;
        prepare(exporter);
        exporter.Border = true;
        QVERIFY(exporter.Export(25, TExport::ToLines));
        const QStringList expected{
            QStringLiteral("<HTML>"),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"),
            QStringLiteral("</HEAD>"),
            QStringLiteral("<BODY>"),
            QStringLiteral("<TABLE BORDER=1>"),
            QStringLiteral("<TR ALIGN=LEFT>"),
            QStringLiteral("<TH>&lt;i&gt;Title&lt;/i&gt;</TH>"),
            QStringLiteral("<TH>Size</TH>"),
            QStringLiteral("</TR>"),
            QStringLiteral("<TR ALIGN=LEFT>"),
            QStringLiteral("<TD>&lt;script&gt;alert(1)&lt;/script&gt;</TD>"),
            QStringLiteral("<TD>-</TD>"),
            QStringLiteral("</TR>"),
            QStringLiteral("<TR ALIGN=LEFT>"),
            QStringLiteral("<TD>a &lt; b &amp; &quot;c&quot;<BR>next</TD>"),
            QStringLiteral("<TD>7</TD>"),
            QStringLiteral("</TR>"),
            QStringLiteral("</TABLE>"),
            QStringLiteral("</BODY>"),
            QStringLiteral("</HTML>"),
        };
        QCOMPARE(exporter.Lines, expected);
    }

    void htmlLinkRow()
    {
        setRowCount(1);
        TExportHTML exporter;
        prepare(exporter);
        exporter.IncludeBrimlowLink = true;
        QVERIFY(exporter.Export(25, TExport::ToLines));
        QVERIFY(exporter.Lines.contains(QStringLiteral("<TABLE BORDER=0>")));
        const qsizetype at = exporter.Lines.indexOf(QStringLiteral("<TR ALIGN=CENTER>"));
        QVERIFY(at > 0);
        QVERIFY(exporter.Lines.at(at + 1).startsWith(QStringLiteral("<TD COLSPAN = 2><font size=1>This list has been "
                                                                    "created with <a href=\"https://")));
        QVERIFY(exporter.Lines.at(at + 1).contains(QStringLiteral(">Brimlow Tunebase ")));
        QCOMPARE(exporter.Lines.at(at + 2), QStringLiteral("</TR>"));
        QCOMPARE(exporter.Lines.at(at + 3), QStringLiteral("</TABLE>"));
    }

    void fileRunShowsProgressAndWritesUtf8()
    {
        ScriptedDesktopServices desktop;
        setRows({{QStringLiteral("Björk"), QStringLiteral("1")}, {QStringLiteral("€"), QStringLiteral("2")}});
        TProcessWindowRecord record;
        TExportHTML exporter(std::make_unique<TRecordingProcessWindow>(record));
        prepare(exporter);
        exporter.FileName = path(QStringLiteral("list.htm"));
        QVERIFY(exporter.Export(TExport::AllItems, TExport::ToFile));
        const QByteArray bytes = readFile(exporter.FileName);
        QVERIFY(bytes.startsWith("<HTML>\r\n<HEAD>\r\n"));
        QVERIFY(bytes.contains("<TD>Bj\xC3\xB6rk</TD>\r\n<TD>1</TD>\r\n"));
        QVERIFY(bytes.contains("<TD>\xE2\x82\xAC</TD>"));
        QVERIFY(bytes.endsWith("</HTML>\r\n"));
        QCOMPARE(record.Caption, QStringLiteral("Export to HTML"));
        QCOMPARE(record.Message, QStringLiteral("Exporting..."));
        QCOMPARE(record.ShowCount, 1);
        QVERIFY(!record.Visible);
        QCOMPARE(record.PercentsSet, (QList<int>{50, 0}));
        QCOMPARE(desktop.messages, QStringList{QStringLiteral("2 Items exported to \"%1\"").arg(exporter.FileName)});
        QCOMPARE(exporter.Log.size(), 2);
    }

    void existingFile_data()
    {
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("answered No") << false;
        QTest::newRow("answered Yes") << true;
    }
    void existingFile()
    {
        QFETCH(bool, answerYes);
        ScriptedDesktopServices desktop;
        desktop.answers = {answerYes ? TDesktopServices::TAnswer::Yes : TDesktopServices::TAnswer::No};
        setRowCount(1);
        TExportAscii exporter;
        prepare(exporter);
        exporter.FileName = path(QStringLiteral("exists.txt"));
        QVERIFY(writeFile(exporter.FileName, "precious"));
        QCOMPARE(exporter.Export(TExport::AllItems, TExport::ToFile), answerYes);
        QCOMPARE(desktop.messages.value(0),
                 QStringLiteral("File %1 already exists, do you want to overwrite it?").arg(exporter.FileName));
        QCOMPARE(readFile(exporter.FileName), answerYes ? QByteArray("\"t1\",\"1\"\r\n") : QByteArray("precious"));
    }

    void nothingToDo()
    {
        ScriptedDesktopServices desktop;
        TExportAscii exporter;
        QVERIFY(!exporter.Export(25, TExport::ToLines)); // no items, no columns
        prepare(exporter);
        QVERIFY(!exporter.Export(TExport::AllItems, TExport::ToFile)); // no file name
        QVERIFY(desktop.messages.isEmpty());
        QVERIFY(exporter.Log.isEmpty());
    }

    void fileCannotBeCreated()
    {
        ScriptedDesktopServices desktop;
        setRowCount(1);
        QVERIFY(writeFile(path(QStringLiteral("plain")), "x"));
        TExportAscii exporter;
        prepare(exporter);
        exporter.FileName = path(QStringLiteral("plain/out.csv"));
        QVERIFY(!exporter.Export(TExport::AllItems, TExport::ToFile));
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY(desktop.messages.at(0).startsWith(
            QStringLiteral("Could not create export file: \"%1\"").arg(exporter.FileName)));
        QVERIFY(exporter.failed());
    }

    void failedWriteIsReportedNotCounted()
    {
        ScriptedDesktopServices desktop;
        setRowCount(3);
        const QString folder = path(QStringLiteral("vanishing"));
        QVERIFY(QDir().mkdir(folder));
        TProcessWindowRecord record;
        TExportAscii *self = nullptr;
        TExportAscii exporter(std::make_unique<THookedWindow>(record, [&self, &folder] {
            if (self && self->Count == 1)
                QDir(folder).removeRecursively(); // the disk goes away mid-run
        }));
        self = &exporter;
        prepare(exporter);
        exporter.FileName = folder + QStringLiteral("/out.csv");
        QVERIFY(!exporter.Export(TExport::AllItems, TExport::ToFile));
        QVERIFY(exporter.failed());
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY2(desktop.messages.at(0).startsWith(QStringLiteral("Could not write export file")),
                 qPrintable(desktop.messages.at(0)));
        QVERIFY(!record.Visible);
        QCOMPARE(exporter.Log.size(), 2);
    }

    void cancelKeepsRowsWritten()
    {
        ScriptedDesktopServices desktop;
        setRowCount(5);
        TProcessWindowRecord record;
        TExportAscii *self = nullptr;
        TExportAscii exporter(std::make_unique<THookedWindow>(record, [&self] {
            if (self && self->Count == 2)
                self->Cancel();
        }));
        self = &exporter;
        prepare(exporter);
        exporter.TextQualifier.clear();
        exporter.FileName = path(QStringLiteral("cancelled.csv"));
        QVERIFY(exporter.Export(TExport::AllItems, TExport::ToFile));
        QCOMPARE(readFile(exporter.FileName), QByteArray("t1,1\r\nt2,2\r\n"));
        QCOMPARE(desktop.messages, QStringList{QStringLiteral("2 Items exported to \"%1\"").arg(exporter.FileName)});
    }

    void quietRunReplacesAndReports()
    {
        ScriptedDesktopServices desktop;
        setRowCount(2);
        TExportAscii exporter;
        prepare(exporter);
        exporter.Interactive = false;
        exporter.FileName = path(QStringLiteral("quiet.csv"));
        QVERIFY(writeFile(exporter.FileName, "old"));
        QVERIFY(exporter.Export(TExport::AllItems, TExport::ToFile));
        QVERIFY(desktop.messages.isEmpty());
        QCOMPARE(exporter.lastMessage(), QStringLiteral("2 Items exported to \"%1\"").arg(exporter.FileName));
        QCOMPARE(readFile(exporter.FileName), QByteArray("\"t1\",\"1\"\r\n\"t2\",\"2\"\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestExport)
#include "tst_export.moc"
