#include "clirun.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

// The manual pages are written by hand; these checks keep them true to what
// the programs accept: every command of tunebase-cli has its section, and
// every option a command's --help shows is described in that section.
namespace {

QString manPage(const QString &name)
{
    QFile file(QStringLiteral(TUNEBASE_SOURCE_DIR "/docs/man/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // roff writes a literal minus as "\-".
    return QString::fromUtf8(file.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"));
}

// The text of one ".SS name ..." section, up to the next section heading.
QString section(const QString &page, const QString &name)
{
    const QRegularExpression heading(QStringLiteral("^\\.SS %1(\\s|$)").arg(QRegularExpression::escape(name)),
                                     QRegularExpression::MultilineOption);
    const auto match = heading.match(page);
    if (!match.hasMatch())
        return {};
    static const QRegularExpression next(QStringLiteral("^\\.S[SH] "), QRegularExpression::MultilineOption);
    const auto end = next.match(page, match.capturedEnd());
    return page.mid(match.capturedStart(), end.hasMatch() ? end.capturedStart() - match.capturedStart() : -1);
}

// The options a help text names: "--threads", "-o".
QSet<QString> optionsIn(const QString &text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z0-9-]*)"));
    QSet<QString> result;
    for (auto it = option.globalMatch(text); it.hasNext();)
        result.insert(it.next().captured(1));
    return result;
}

// The commands the top-level help lists.
QStringList commands()
{
    const CliRun help = runCli({QStringLiteral("--help")});
    static const QRegularExpression line(QStringLiteral("^  ([a-z]+) "), QRegularExpression::MultilineOption);
    QStringList result;
    for (auto it = line.globalMatch(QString::fromUtf8(help.out)); it.hasNext();)
        result << it.next().captured(1);
    return result;
}

bool mentions(const QString &text, const QString &option)
{
    return text.contains(QRegularExpression(QStringLiteral("(?<![\\w-])%1(?![\\w-])")
                                                .arg(QRegularExpression::escape(option))));
}

} // namespace

class TestCliManPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCommandHasItsSection()
    {
        const QString page = manPage(QStringLiteral("tunebase-cli.1"));
        QVERIFY2(!page.isEmpty(), "docs/man/tunebase-cli.1 is missing");
        const QStringList names = commands();
        QVERIFY2(names.size() >= 11, qPrintable(names.join(QLatin1Char(' '))));
        for (const QString &name : names)
            QVERIFY2(!section(page, name).isEmpty(), qPrintable(QStringLiteral("no section for %1").arg(name)));

        // ...and no section describes a command that no longer exists.
        static const QRegularExpression heading(QStringLiteral("^\\.SS (\\S+)"), QRegularExpression::MultilineOption);
        for (auto it = heading.globalMatch(page); it.hasNext();) {
            const QString described = it.next().captured(1);
            QVERIFY2(names.contains(described), qPrintable(QStringLiteral("%1 is not a command").arg(described)));
        }
    }

    void everyOptionIsDescribed_data()
    {
        QTest::addColumn<QString>("command");
        for (const QString &name : commands())
            QTest::newRow(qPrintable(name)) << name;
    }
    void everyOptionIsDescribed()
    {
        QFETCH(QString, command);
        const CliRun help = runCli({command, QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        const QString described = section(manPage(QStringLiteral("tunebase-cli.1")), command);
        QStringList missing;
        for (const QString &option : optionsIn(QString::fromUtf8(help.out))) {
            if (option != QLatin1String("--help") && !mentions(described, option))
                missing << option;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the manual: %1").arg(missing.join(QLatin1Char(' ')))));
    }

    void generalOptionsAreDescribed_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("option");
        for (const char *page : {"tunebase-cli.1", "tunebase.1"}) {
            for (const char *option : {"--help", "--version"})
                QTest::addRow("%s %s", page, option) << QString::fromLatin1(page) << QString::fromLatin1(option);
        }
    }
    void generalOptionsAreDescribed()
    {
        QFETCH(QString, page);
        QFETCH(QString, option);
        QVERIFY(mentions(manPage(page), option));
    }

    void versionMatchesTheBuild()
    {
        const CliRun run = runCli({QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("tunebase-cli " TUNEBASE_VERSION "\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliManPage)
#include "tst_cli_manpage.moc"
