#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/output/export.h"
#include "gui/output/exportwindows.h"
#include "gui/settings/radiogroup.h"
#include "gui/settings/safelinks.h"

#include "memorysettingsstore.h"
#include "outputfixture.h"
#include "scripteddesktopservices.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestExportWindows : public QObject {
    Q_OBJECT

    TMemorySettingsStore m_store;
    ScriptedDesktopServices m_services;
    ScriptedOutputServices m_output;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init()
    {
        m_store.clear();
        m_services.messages.clear();
        m_output.saveDialogs.clear();
    }

    // The window writes exactly what the engine writes with its choices.
    void asciiWindowWritesTheEngineFile_data()
    {
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<int>("qualifier");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("delimiterText");
        QTest::addColumn<QString>("qualifierText");
        QTest::newRow("semicolon, double quote") << 0 << 0 << false << ";" << "\"";
        QTest::newRow("comma, names") << 1 << 0 << true << "," << "\"";
        QTest::newRow("tab, single quote") << 2 << 1 << true << "\t" << "'";
        QTest::newRow("space, none") << 3 << 2 << false << " " << "";
    }

    void asciiWindowWritesTheEngineFile()
    {
        QFETCH(int, delimiter);
        QFETCH(int, qualifier);
        QFETCH(bool, names);
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("Björk"), QStringLiteral("Cole \"Nat\"")}, items);
        const QString path = m_dir.filePath(QLatin1String(QTest::currentDataTag()) + QStringLiteral(".txt"));
        {
            TfmExportAsciiBase window(items, 2, root, m_store);
            window.rgDelimiter->SetItemIndex(delimiter);
            window.rgTextQualifier->SetItemIndex(qualifier);
            window.ckIncludeFieldNames->setChecked(names);
            window.edFileName->setText(path);
            QVERIFY(window.ExportToFile());
            QCOMPARE(window.result(), int(QDialog::Accepted));
        }
        QCOMPARE(m_services.messages, QStringList{QStringLiteral("2 Items exported to \"%1\"").arg(path)});

        TColumnFieldRefList columns(2, &root);
        columns.addDefaultColumns();
        TExportAscii engine;
        engine.Interactive = false;
        engine.Items = &items;
        engine.Columns = &columns;
        QFETCH(QString, delimiterText);
        QFETCH(QString, qualifierText);
        engine.Delimiter = delimiterText;
        engine.TextQualifier = qualifierText;
        engine.ReplaceEnter = QStringLiteral(" ");
        engine.IncludeFieldNames = names;
        engine.FileName = m_dir.filePath(QLatin1String(QTest::currentDataTag()) + QStringLiteral("-engine.txt"));
        QVERIFY(engine.Export(TExport::AllItems, TExport::ToFile));
        QCOMPARE(testsupport::readFile(path), testsupport::readFile(engine.FileName));

        // The choices are there the next time.
        TfmExportAsciiBase again(items, 2, root, m_store);
        QCOMPARE(again.rgDelimiter->ItemIndex(), delimiter);
        QCOMPARE(again.rgTextQualifier->ItemIndex(), qualifier);
        QCOMPARE(again.ckIncludeFieldNames->isChecked(), names);
        QCOMPARE(again.edFileName->text(), path);
    }

    void htmlWindowWritesTheEngineFile()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("a < b")}, items);
        const QString path = m_dir.filePath(QStringLiteral("window.html"));
        {
            TfmExportHtmlBase window(items, 2, root, m_store);
            // First run: the proposed name (in the home folder: the
            // collection has no file), borders and the link row.
            QCOMPARE(window.edFileName->text(), QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("export.htm"))));
            QVERIFY(window.ckBorder->isChecked());
            QVERIFY(window.ckIncludeBrimlowLink->isChecked());
            window.ckIncludeBrimlowLink->setChecked(false);
            window.edFileName->setText(path);
            QVERIFY(window.ExportToFile());
        }
        TColumnFieldRefList columns(2, &root);
        columns.addDefaultColumns();
        TExportHTML engine;
        engine.Interactive = false;
        engine.Items = &items;
        engine.Columns = &columns;
        engine.Border = true;
        engine.FileName = m_dir.filePath(QStringLiteral("engine.html"));
        QVERIFY(engine.Export(TExport::AllItems, TExport::ToFile));
        QCOMPARE(testsupport::readFile(path), testsupport::readFile(engine.FileName));
    }

    // The proposed file lies in a folder that exists: the one used last,
    // else the collection's, else home.  No folder is made for it.
    void proposedFileIsInAFolderThatExists_data()
    {
        QTest::addColumn<QString>("stored");      // "" for none; "@" stands for the test's folder
        QTest::addColumn<bool>("savedCollection");
        QTest::addColumn<QString>("expected");    // "@" the test's folder, "~" home, "#" the collection's
        QTest::newRow("first time, new collection") << "" << false << "~/export.htm";
        QTest::newRow("first time, saved collection") << "" << true << "#/export.htm";
        QTest::newRow("last folder") << "@/last/list.htm" << true << "@/last/list.htm";
        QTest::newRow("last folder gone") << "@/gone/list.htm" << true << "#/list.htm";
        QTest::newRow("relative name") << "list.htm" << false << "~/list.htm";
    }

    void proposedFileIsInAFolderThatExists()
    {
        QFETCH(QString, stored);
        QFETCH(bool, savedCollection);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("last")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("music")));
        const auto expand = [&dir](QString path) {
            return path.replace(QLatin1Char('@'), dir.path())
                .replace(QLatin1Char('#'), dir.filePath(QStringLiteral("music")))
                .replace(QLatin1Char('~'), QDir::homePath());
        };
        if (!stored.isEmpty())
            m_store.WriteString(QStringLiteral("fmExportHtml"), QStringLiteral("FileName"), expand(stored));
        TMp3Root root;
        if (savedCollection)
            root.FileName = dir.filePath(QStringLiteral("music/c.tbx"));
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        const QString documents = QDir::home().filePath(QStringLiteral("Documents"));
        QVERIFY(!QFileInfo::exists(documents));
        TfmExportHtmlBase window(items, 2, root, m_store);
        QCOMPARE(QDir::fromNativeSeparators(window.edFileName->text()), expand(expected));
        QVERIFY(window.ExportToFile());
        QVERIFY(QFile::exists(expand(expected)));
        QVERIFY(!QFileInfo::exists(documents));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
        QFile::remove(expand(expected));
    }

    // The window opens over its owner the first time, then where it was left.
    void windowReopensWhereItWasLeft()
    {
        TMp3Root root;
        TDataRefList items;
        QWidget owner;
        owner.setGeometry(200, 150, 600, 400);
        QPoint left;
        {
            TfmExportAsciiBase window(items, 2, root, m_store, &owner);
            window.PlaceForOpening(&owner);
            const QPoint centre = window.frameGeometry().center();
            QVERIFY2((centre - owner.frameGeometry().center()).manhattanLength() < 40,
                     qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
            window.show();
            window.move(window.pos() + QPoint(-120, 60));
            left = window.pos();
            window.reject();
        }
        TfmExportAsciiBase window(items, 2, root, m_store, &owner);
        window.PlaceForOpening(&owner);
        window.show();
        QCOMPARE(window.pos(), left);
    }

    void fileNameReceivesAnExtension_data()
    {
        QTest::addColumn<bool>("html");
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii") << false << 0 << "list" << "list.txt";
        QTest::newRow("comma") << false << 1 << "list" << "list.csv";
        QTest::newRow("html") << true << 0 << "list" << "list.htm";
        QTest::newRow("has one") << false << 0 << "list.dat" << "list.dat";
        QTest::newRow("empty") << false << 0 << "" << "";
    }

    void fileNameReceivesAnExtension()
    {
        QFETCH(bool, html);
        QFETCH(int, delimiter);
        QFETCH(QString, typed);
        TMp3Root root;
        TDataRefList items;
        std::unique_ptr<TfmExportBase> window;
        if (html) {
            window = std::make_unique<TfmExportHtmlBase>(items, 2, root, m_store);
        } else {
            auto ascii = std::make_unique<TfmExportAsciiBase>(items, 2, root, m_store);
            ascii->rgDelimiter->SetItemIndex(delimiter);
            window = std::move(ascii);
        }
        window->edFileName->setText(typed);
        window->CompleteFileName();
        QTEST(window->edFileName->text(), "expected");
    }

    void saveDialogProposesTheFileKind_data()
    {
        QTest::addColumn<bool>("html");
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("semicolon") << false << 0 << "txt";
        QTest::newRow("comma") << false << 1 << "csv";
        QTest::newRow("html") << true << 0 << "html";
    }

    void saveDialogProposesTheFileKind()
    {
        QFETCH(bool, html);
        QFETCH(int, delimiter);
        TMp3Root root;
        TDataRefList items;
        std::unique_ptr<TfmExportBase> window;
        if (html) {
            window = std::make_unique<TfmExportHtmlBase>(items, 2, root, m_store);
        } else {
            auto ascii = std::make_unique<TfmExportAsciiBase>(items, 2, root, m_store);
            ascii->rgDelimiter->SetItemIndex(delimiter);
            window = std::move(ascii);
        }
        const QString chosen = m_dir.filePath(QStringLiteral("chosen.out"));
        m_output.saveNames << chosen;
        window->btBrowse->click();
        QCOMPARE(m_output.saveDialogs.size(), 1);
        QTEST(m_output.saveDialogs.constFirst().at(3), "suffix");
        QCOMPARE(window->edFileName->text(), QDir::toNativeSeparators(chosen));
    }

    void emptyFileNameKeepsTheWindowOpen()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmExportAsciiBase window(items, 2, root, m_store);
        window.show();
        window.edFileName->clear();
        QVERIFY(!window.ExportToFile());
        QVERIFY(window.isVisible());
        QVERIFY(m_services.messages.isEmpty());
    }

    void damagedChoicesFallBack()
    {
        m_store.WriteString(QStringLiteral("fmExportAscii"), QStringLiteral("Delimiter"), QStringLiteral("9"));
        m_store.WriteString(QStringLiteral("fmExportAscii"), QStringLiteral("TextQualifier"), QStringLiteral("-1"));
        m_store.WriteString(QStringLiteral("fmExportAscii"), QStringLiteral("ReplaceEnter"), QStringLiteral("x"));
        TMp3Root root;
        TDataRefList items;
        TfmExportAsciiBase window(items, 2, root, m_store);
        QCOMPARE(window.rgDelimiter->ItemIndex(), 0);
        QCOMPARE(window.rgTextQualifier->ItemIndex(), 0);
        QCOMPARE(window.rgEnter->ItemIndex(), 0);
    }

    void previewShowsTheFirst25()
    {
        TMp3Root root;
        TDataRefList items;
        QStringList artists;
        for (int i = 0; i < 40; ++i)
            artists << QStringLiteral("Artist %1").arg(i);
        addTracks(root, artists, items);
        TfmExportAsciiBase window(items, 2, root, m_store);
        QCOMPARE(window.pnCount->text(), QStringLiteral("40 items to be exported"));
        QCOMPARE(window.mePreview->toPlainText().split(QLatin1Char('\n')).size(), 25);
        window.ckIncludeFieldNames->setChecked(true);
        QCOMPARE(window.mePreview->toPlainText().split(QLatin1Char('\n')).size(), 26);
        const QString first = GetFieldDisplayName(root.Fields->FindByID(root.Fields->DefaultColumns[2].first()));
        QVERIFY(window.mePreview->toPlainText().startsWith(QLatin1Char('"') + first + QStringLiteral("\";")));
    }

    void htmlPreviewLoadsNothing()
    {
        TMp3Root root;
        TDataRefList items;
        TfmExportHtmlBase window(items, 2, root, m_store);
        QVERIFY(window.htPreview->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("http://example.com/x.png")))
                    .toByteArray()
                    .isEmpty());
        QVERIFY(window.htPreview->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(QStringLiteral("/etc/hostname")))
                    .toByteArray()
                    .isEmpty());
        QVERIFY(window.htPreview->toPlainText().contains(QStringLiteral("This list has been created with")));
    }
};

QTEST_MAIN(TestExportWindows)
#include "tst_exportwindows.moc"
