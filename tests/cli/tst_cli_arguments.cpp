// How every command reads its arguments, run through the command library
// (no program started): the complaint names the first fault as typed, the
// help wins, and "--" ends the options.
#include "cli/clicommand.h"

#include <QtTest>

namespace {

struct Printed {
    int exitCode = -1;
    QString out;
    QString err;
};

Printed runCommandLine(const QStringList &args)
{
    Printed printed;
    {
        QTextStream out(&printed.out);
        QTextStream err(&printed.err);
        printed.exitCode = RunCli(args, out, err);
    }
    return printed;
}

} // namespace

class TestCliArguments : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void faultsAreNamedAsTyped_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("unknown") << QStringList{"stats", "c.tbx", "--feild", "Artist"}
                                 << "tunebase-cli stats: unknown option '--feild'\n";
        QTest::newRow("unknown with value") << QStringList{"list", "c.tbx", "--feild=Artist"}
                                            << "tunebase-cli list: unknown option '--feild'\n";
        QTest::newRow("unknown single dash") << QStringList{"dump", "-x", "c.tbx"}
                                             << "tunebase-cli dump: unknown option '-x'\n";
        QTest::newRow("first of several") << QStringList{"export", "--one", "c.tbx", "--two"}
                                          << "tunebase-cli export: unknown option '--one'\n";
        QTest::newRow("value missing") << QStringList{"list", "c.tbx", "--filter"}
                                       << "tunebase-cli list: --filter needs a value\n";
        QTest::newRow("short name missing value") << QStringList{"playlist", "a.mp3", "-o"}
                                                  << "tunebase-cli playlist: -o needs a value\n";
        QTest::newRow("own words for a missing value")
            << QStringList{"info", "a.mp3", "--sources"}
            << "tunebase-cli info: --sources needs a list such as v2,v1,filename\n";
        QTest::newRow("flag with value") << QStringList{"new", "--force=yes", "c.tbx"}
                                         << "tunebase-cli new: --force takes no value\n";
        QTest::newRow("unknown before missing value") << QStringList{"stats", "--bogus", "c.tbx", "--field"}
                                                      << "tunebase-cli stats: unknown option '--bogus'\n";
    }
    void faultsAreNamedAsTyped()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, complaint);
        const Printed printed = runCommandLine(args);
        QCOMPARE(printed.exitCode, ExitWrongArguments);
        QCOMPARE(printed.err, complaint);
        QVERIFY(printed.out.isEmpty());
    }

    void complaintsOfTagAndRenameShowTheHelp()
    {
        const Printed printed = runCommandLine({"rename", "--json", "a.mp3"});
        QCOMPARE(printed.exitCode, ExitWrongArguments);
        QVERIFY2(printed.err.startsWith("tunebase-cli rename: unknown option '--json'\n\nUsage: tunebase-cli rename "),
                 qPrintable(printed.err));
    }

    void helpWinsOverFaults_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("help first") << QStringList{"stats", "--help", "--bogus"};
        QTest::newRow("help after a fault") << QStringList{"list", "--bogus", "-h"};
        QTest::newRow("help with value options") << QStringList{"tag", "--v1", "set", "--help"};
    }
    void helpWinsOverFaults()
    {
        QFETCH(QStringList, args);
        const Printed printed = runCommandLine(args);
        QCOMPARE(printed.exitCode, 0);
        QVERIFY2(printed.out.startsWith("Usage: tunebase-cli " + args.first()), qPrintable(printed.out));
        QVERIFY(printed.err.isEmpty());
    }

    void doubleDashEndsTheOptions()
    {
        // "--force" after "--" is a file name, so there are two files.
        const Printed printed = runCommandLine({"new", "--", "c.tbx", "--force"});
        QCOMPARE(printed.exitCode, ExitWrongArguments);
        QVERIFY2(printed.err.startsWith("Usage: tunebase-cli new [--force] FILE"), qPrintable(printed.err));
    }

    void programLevel_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("nothing") << QStringList{} << ExitWrongArguments << QString();
        QTest::newRow("help") << QStringList{"help"} << 0 << QString();
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << ExitWrongArguments
                                         << "tunebase-cli: unknown command 'frobnicate'\n";
    }
    void programLevel()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const Printed printed = runCommandLine(args);
        QCOMPARE(printed.exitCode, exitCode);
        QCOMPARE(printed.err, err);
        // Every command is listed, in order of name.
        QStringList listed;
        for (const QString &line : printed.out.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("  ")) && !line.startsWith(QLatin1String("   ")))
                listed << line.trimmed().section(QLatin1Char(' '), 0, 0);
        QStringList names;
        for (const CliCommand *command : CliCommands())
            names << QLatin1String(command->name);
        QCOMPARE(listed, names);
        QVERIFY(std::is_sorted(names.begin(), names.end()));
        QCOMPARE(names.size(), 12);
    }
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
