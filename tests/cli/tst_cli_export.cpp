#include "core/data/collectionfile.h"
#include "core/mp3model/mp3root.h"

#include "clirun.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

class TestCliExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_collection;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        TMp3Root root;
        const struct {
            const char *artist;
            const char *title;
            int length;
        } tracks[] = {
            {"Björk", "Jóga", 305},
            {"Band \"Q\"", "<script>alert(1)</script>", 61},
            {"", "Notes, with comma", 5},
        };
        for (const auto &t : tracks) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->Title = QString::fromUtf8(t.title);
            if (*t.artist)
                track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(QString::fromUtf8(t.artist)));
            track->Length = t.length;
            track->FilePath = QStringLiteral("/music/%1.mp3").arg(track->Title.left(4));
        }
        m_collection = path(QStringLiteral("songs.tbx"));
        QVERIFY(saveCollection(root, m_collection).Saved);
    }

    void csvToFile()
    {
        const QString out = path(QStringLiteral("songs.csv"));
        const CliRun run = runCli({QStringLiteral("export"), m_collection, QStringLiteral("--format"), QStringLiteral("csv"),
                                   QStringLiteral("--fields"), QStringLiteral("title,Artist"), QStringLiteral("--sort"),
                                   QStringLiteral("-Title"), QStringLiteral("-o"), out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("3 Items exported to \"%1\"\n").arg(out).toUtf8());
        QCOMPARE(readFile(out), QByteArray("\"Title\",\"Artist\"\r\n"
                                           "\"Notes, with comma\",\"\"\r\n"
                                           "\"J\xC3\xB3ga\",\"Bj\xC3\xB6rk\"\r\n"
                                           "\"<script>alert(1)</script>\",\"Band \"\"Q\"\"\"\r\n"));
    }

    void htmlToStandardOutput()
    {
        const CliRun run = runCli({QStringLiteral("export"), m_collection, QStringLiteral("--format"),
                                   QStringLiteral("html"), QStringLiteral("--fields"), QStringLiteral("Title"),
                                   QStringLiteral("--fields"), QStringLiteral("Length")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("<HTML>\n<HEAD>\n"));
        QVERIFY(run.out.contains("charset=utf-8"));
        QVERIFY(run.out.contains("<TD>&lt;script&gt;alert(1)&lt;/script&gt;</TD>\n<TD>01:01</TD>\n"));
        QVERIFY(!run.out.contains("<script>"));
        QVERIFY(run.out.endsWith("</HTML>\n"));
    }

    void defaultColumns()
    {
        const CliRun run = runCli({QStringLiteral("export"), m_collection, QStringLiteral("--format"), QStringLiteral("csv")});
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 5); // header, three rows, nothing after the last line end
        QVERIFY(lines.at(0).contains("\"Title\""));
        QVERIFY(lines.at(1).contains("\"J\xC3\xB3ga\""));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString collection = path(QStringLiteral("songs.tbx"));
        QTest::newRow("unknown field") << QStringList{collection, "--format", "csv", "--fields", "Title,Nope"} << 2
                                       << "no track field named 'Nope'";
        QTest::newRow("unknown sort field") << QStringList{collection, "--format", "csv", "--sort", "-Nope"} << 2
                                            << "no track field named 'Nope'";
        QTest::newRow("no format") << QStringList{collection} << 2 << "--format csv or --format html";
        QTest::newRow("bad format") << QStringList{collection, "--format", "xls"} << 2 << "not 'xls'";
        QTest::newRow("no collection") << QStringList{"--format", "csv"} << 2 << "no COLLECTION";
        QTest::newRow("missing collection") << QStringList{path(QStringLiteral("none.tbx")), "--format", "csv"} << 1
                                            << "no such collection file";
        QTest::newRow("file cannot be created")
            << QStringList{collection, "--format", "html", "-o", path(QStringLiteral("plain/x.htm"))} << 1
            << "Could not create export file";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY(writeFile(path(QStringLiteral("plain")), "x"));
        const CliRun run = runCli(QStringList{QStringLiteral("export")} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    void helpListsFields()
    {
        const CliRun run = runCli({QStringLiteral("export"), QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("Title"));
        QVERIFY(run.out.contains("Artist"));
    }
};

QTEST_APPLESS_MAIN(TestCliExport)
#include "tst_cli_export.moc"
