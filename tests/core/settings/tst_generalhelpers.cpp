#include "core/base/desktopservices.h"
#include "core/settings/generalhelpers.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestGeneralHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void versionText_data()
    {
        QTest::addColumn<int>("release");
        QTest::addColumn<bool>("withRelease");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("expected");
        QTest::newRow("release 0 is left out") << 0 << true << QString() << "1.0";
        QTest::newRow("release shown when asked") << 2 << true << QString() << "1.0.2";
        QTest::newRow("release not asked for") << 2 << false << QString() << "1.0";
        QTest::newRow("suffix after a space") << 0 << true << "Beta" << "1.0 Beta";
    }
    void versionText()
    {
        QFETCH(int, release);
        QFETCH(bool, withRelease);
        QFETCH(QString, suffix);
        QFETCH(QString, expected);
        QString build;
        QCOMPARE(FormatVersionText(1, 0, release, 4, withRelease, suffix, &build), expected);
        QCOMPARE(build, QStringLiteral("4"));
    }
    void runningVersionStartsWithMajorMinor()
    {
        QString build;
        const QString version = GetVersionText(true, QString(), &build);
        QVERIFY(version.startsWith(QStringLiteral("%1.%2.").arg(TUNEBASE_VERSION_MAJOR).arg(TUNEBASE_VERSION_MINOR))
                || version == QStringLiteral("%1.%2").arg(TUNEBASE_VERSION_MAJOR).arg(TUNEBASE_VERSION_MINOR));
        QVERIFY(!build.isEmpty());
    }

    void appFolderIsThisExecutablesFolder()
    {
        const QString folder = GetAppFolder();
        QVERIFY(folder.endsWith(QLatin1Char('/')));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("core_tst_generalhelpers")));
    }

    void trailingDelimiter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("added") << "/home/anna/Music" << "/home/anna/Music/";
        QTest::newRow("kept") << "/home/anna/Music/" << "/home/anna/Music/";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("empty names no folder") << "" << "";
    }
    void trailingDelimiter()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(IncludeTrailingDelimiter(path), expected);
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slash colon question") << "Salt/Pepper: Live?" << "Salt_Pepper_ Live_";
        QTest::newRow("all nine") << "a\"b*c/d:e<f>g?h\\i|j" << "a_b_c_d_e_f_g_h_i_j";
        QTest::newRow("control and NUL") << QStringLiteral("a\tb") + QChar(0) + QStringLiteral("c\n")
                                         << "a_b_c_";
        QTest::newRow("others untouched") << "Björk - Jóga (1997) [Live] #1 & 'more'.mp3"
                                          << "Björk - Jóga (1997) [Live] #1 & 'more'.mp3";
    }
    void safeFileName()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MakeSafeFileName(text), expected);
    }

    void plural_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "file" << 0 << "files";
        QTest::newRow("one") << "file" << 1 << "file";
        QTest::newRow("two") << "file" << 2 << "files";
        QTest::newRow("ends in s") << "Status" << 3 << "Statuses";
        QTest::newRow("negative") << "Track" << -1 << "Tracks";
    }
    void plural()
    {
        QFETCH(QString, word);
        QFETCH(int, count);
        QFETCH(QString, expected);
        QCOMPARE(Plural(word, count), expected);
    }

    void stringConversions()
    {
        QCOMPARE(BoolToYesNo(true), QStringLiteral("Yes"));
        QCOMPARE(BoolToYesNo(false), QStringLiteral("No"));
        QCOMPARE(SpacesToPlus(QStringLiteral(" a b  c")), QStringLiteral("+a+b++c"));
        QCOMPARE(LineBreaksToHtml(QStringLiteral("one\r\ntwo\nthree\rfour\r\n\r\n")),
                 QStringLiteral("one<BR>two<BR>three<BR>four<BR><BR>"));
    }

    void comparisons()
    {
        QCOMPARE(CompareInt(2, 1), 1);
        QCOMPARE(CompareInt(1, 2), -1);
        QCOMPARE(CompareInt(7, 7), 0);
        // Differences beyond the int range must not overflow into the wrong sign.
        QCOMPARE(CompareInt(std::numeric_limits<qint64>::min(), 1), -1);
        QCOMPARE(CompareFloat(2.5, 1.0), 1);
        QCOMPARE(CompareFloat(1.0, 2.5), -1);
        QCOMPARE(CompareFloat(0.5, 0.5), 0);
        QCOMPARE(MinInt(3, -4), -4);
        QCOMPARE(MaxInt(3, -4), 3);
    }
    void nanSortsConsistently()
    {
        const double nan = std::nan("");
        QCOMPARE(CompareFloat(nan, 1.0), -1);
        QCOMPARE(CompareFloat(1.0, nan), 1);
        QCOMPARE(CompareFloat(nan, nan), 0);
        QList<double> values{3.0, nan, 1.0, nan, 2.0, -1.0};
        std::sort(values.begin(), values.end(), [](double a, double b) { return CompareFloat(a, b) < 0; });
        QVERIFY(std::isnan(values[0]) && std::isnan(values[1]));
        QCOMPARE(values.mid(2), (QList<double>{-1.0, 1.0, 2.0, 3.0}));
    }

    void withoutDesktopQuestionsGetTheCautiousAnswer()
    {
        QTest::ignoreMessage(QtInfoMsg, "Overwrite? -> No");
        QCOMPARE(AskYesNo(QStringLiteral("Overwrite?")), TDesktopServices::TAnswer::No);
        QTest::ignoreMessage(QtInfoMsg, "Save first? -> Cancel");
        QCOMPARE(AskYesNoCancel(QStringLiteral("Save first?")), TDesktopServices::TAnswer::Cancel);
        QString folder = QStringLiteral("unchanged");
        QVERIFY(!BrowseForFolder(QStringLiteral("Pick"), QStringLiteral("/"), folder));
        QCOMPARE(folder, QStringLiteral("unchanged"));
    }
};

QTEST_APPLESS_MAIN(TestGeneralHelpers)
#include "tst_generalhelpers.moc"
