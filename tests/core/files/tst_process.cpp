#include "core/files/process.h"

#include "recordingprocesswindow.h"

#include <QtTest>

#include <memory>

class TestProcess : public QObject {
    Q_OBJECT

    struct Fixture {
        TProcessWindowRecord record;
        TProcess process{std::make_unique<TRecordingProcessWindow>(record)};
        QList<int> progress;
        QStringList messages;

        Fixture()
        {
            process.OnProgress = [this](TProcess *sender, int percent) {
                QCOMPARE(sender, &process);
                progress.append(percent);
            };
            process.OnMessage = [this](TProcess *, const QString &text) { messages.append(text); };
        }
    };

private Q_SLOTS:
    void percentFollowsSteps_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("four steps wrap to 0 at the end") << 4 << 4 << QList<int>{25, 50, 75, 0};
        QTest::newRow("three steps truncate") << 3 << 3 << QList<int>{33, 66, 0};
        QTest::newRow("activity cycle keeps going") << 2 << 5 << QList<int>{50, 0, 50, 0, 50};
        QTest::newRow("large totals do not overflow") << 50000000 << 1 << QList<int>{0};
    }
    void percentFollowsSteps()
    {
        QFETCH(int, max);
        QFETCH(int, steps);
        QFETCH(QList<int>, expected);

        Fixture f;
        f.process.ShowWindow = false;
        f.process.Start();
        f.process.Max = max;
        for (int i = 0; i < steps; ++i)
            f.process.StepIt();
        QCOMPARE(f.progress, expected);
        QVERIFY(f.process.Position >= 0 && f.process.Position < max);
    }

    void windowRunShowsPercentAndPumps()
    {
        Fixture f;
        f.process.Start();
        QVERIFY(f.record.Visible);
        f.process.Max = 4;
        for (int i = 0; i < 4; ++i)
            f.process.StepIt();
        QCOMPARE(f.record.PercentsSet, (QList<int>{25, 50, 75, 0}));
        QCOMPARE(f.record.Pumps, 4);
        QVERIFY(f.progress.isEmpty());
        f.process.Finish();
        QVERIFY(!f.record.Visible);
        QCOMPARE(f.record.HideCount, 1);
    }

    void unchangedPercentIsNotSetAgain()
    {
        Fixture f;
        f.process.Start();
        f.process.Max = 1000;
        for (int i = 0; i < 9; ++i)
            f.process.StepIt(); // 0.1 % .. 0.9 %: the bar stays at 0
        QVERIFY(f.record.PercentsSet.isEmpty());
        f.process.StepIt();
        QCOMPARE(f.record.PercentsSet, QList<int>{1});
    }

    void noTotalStoresValueAndStillPumps()
    {
        Fixture f;
        f.process.Start();
        f.process.Max = 0;
        f.process.SetPosition(7);
        QCOMPARE(f.process.Position, 7);
        QVERIFY(f.record.PercentsSet.isEmpty());
        QCOMPARE(f.record.Pumps, 1);
    }

    void callbackRunNeverTouchesWindow()
    {
        Fixture f;
        f.process.ShowWindow = false;
        f.process.Start();
        f.process.Max = 4;
        f.process.SetMessage(QStringLiteral("Reading..."));
        f.process.StepIt();
        f.process.SetPosition(0);
        f.process.Finish();
        QCOMPARE(f.record.ShowCount, 0);
        QCOMPARE(f.record.HideCount, 0);
        QCOMPARE(f.record.Pumps, 0);
        QVERIFY(f.record.Message.isEmpty());
        QCOMPARE(f.progress, (QList<int>{25, 0}));
        QCOMPARE(f.messages, QStringList{QStringLiteral("Reading...")});
    }

    void windowRunMessageGoesToWindow()
    {
        Fixture f;
        f.process.Start();
        f.process.SetCaption(QStringLiteral("Export to HTML"));
        f.process.SetMessage(QStringLiteral("Exporting..."));
        QCOMPARE(f.record.Caption, QStringLiteral("Export to HTML"));
        QCOMPARE(f.record.Message, QStringLiteral("Exporting..."));
        QCOMPARE(f.record.Pumps, 1);
        QVERIFY(f.messages.isEmpty());
    }

    void negativePositionStaysInRange()
    {
        Fixture f;
        f.process.ShowWindow = false;
        f.process.Max = 4;
        f.process.SetPosition(-1);
        QCOMPARE(f.process.Position, 3);
        QCOMPARE(f.progress, QList<int>{75});
    }

    void cancelLastsUntilNextStart()
    {
        Fixture f;
        f.process.Start();
        QVERIFY(!f.process.IsCancelled());
        f.process.Cancel();
        QVERIFY(f.process.IsCancelled());
        f.process.Finish();
        QVERIFY(f.process.IsCancelled());
        f.process.Start();
        QVERIFY(!f.process.IsCancelled());
    }

    void logHoldsTwoLinesPerRun()
    {
        Fixture f;
        f.process.Start();
        f.process.Finish();
        QCOMPARE(f.process.Log.size(), 2);
        QVERIFY(f.process.Log.at(0).startsWith(QStringLiteral("Start: ")));
        QVERIFY(f.process.Log.at(1).startsWith(QStringLiteral("End  : ")));
        QVERIFY(f.process.Log.at(0).size() > 10);
        f.process.Start();
        f.process.Finish();
        QCOMPARE(f.process.Log.size(), 4);
    }

    void withoutWindowNothingBreaks()
    {
        TProcess process;
        QList<int> progress;
        process.OnProgress = [&progress](TProcess *, int percent) { progress.append(percent); };
        process.Start();
        process.Max = 2;
        process.SetCaption(QStringLiteral("x"));
        process.SetMessage(QStringLiteral("y"));
        process.StepIt();
        process.Finish();
        QVERIFY(progress.isEmpty()); // ShowWindow is on: nothing goes to the callbacks
        QCOMPARE(process.Position, 1);
    }
};

QTEST_APPLESS_MAIN(TestProcess)
#include "tst_process.moc"
