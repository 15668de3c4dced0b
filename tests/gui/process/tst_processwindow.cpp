#include "core/files/process.h"
#include "gui/process/processwindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

TfmProcess *windowOf(TProcess &process)
{
    return static_cast<TfmProcess *>(process.Form());
}

} // namespace

class TestProcessWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runShowsOverDisabledOwnerAndRestoresIt();
    void barFollowsSteps_data();
    void barFollowsSteps();
    void cancelStopsTheRunAtTheNextStep_data();
    void cancelStopsTheRunAtTheNextStep();
    void runWithoutWindowNeverShowsIt();
    void ownerGoneBeforeTheProcess();
};

void TestProcessWindow::runShowsOverDisabledOwnerAndRestoresIt()
{
    QMainWindow owner;
    owner.resize(600, 400);
    owner.show();
    TProcess process;
    AttachProcessWindow(process, &owner);
    TfmProcess *window = windowOf(process);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->laMessage->text(), QStringLiteral("Working..."));
    QCOMPARE(window->pbProcess->value(), 0);

    process.ShowWindow = true;
    process.Start();
    process.SetCaption(QStringLiteral("Add Files"));
    process.SetMessage(QStringLiteral("Adding a.mp3"));
    QVERIFY(window->isVisible());
    QVERIFY(!owner.isEnabled());
    QVERIFY(window->isEnabled());
    QCOMPARE(window->windowTitle(), QStringLiteral("Add Files"));
    QCOMPARE(window->laMessage->text(), QStringLiteral("Adding a.mp3"));
    process.Finish();
    QVERIFY(!window->isVisible());
    QVERIFY(owner.isEnabled());
}

void TestProcessWindow::barFollowsSteps_data()
{
    QTest::addColumn<int>("max");
    QTest::addColumn<QList<int>>("percents");
    // The bar wraps to 0 on the last step.
    QTest::newRow("four steps") << 4 << QList<int>{25, 50, 75, 0};
    QTest::newRow("no total") << 0 << QList<int>{0, 0, 0};
    QTest::newRow("three steps") << 3 << QList<int>{33, 66, 0};
}

void TestProcessWindow::barFollowsSteps()
{
    QFETCH(int, max);
    QFETCH(QList<int>, percents);
    TProcess process;
    AttachProcessWindow(process, nullptr);
    process.Start();
    process.Max = max;
    QList<int> shown;
    for (int i = 0; i < percents.size(); ++i) {
        process.StepIt();
        shown << windowOf(process)->pbProcess->value();
    }
    process.Finish();
    QCOMPARE(shown, percents);
}

void TestProcessWindow::cancelStopsTheRunAtTheNextStep_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("closing the window") << 2;
}

void TestProcessWindow::cancelStopsTheRunAtTheNextStep()
{
    QFETCH(int, how);
    QMainWindow owner;
    owner.show();
    TProcess process;
    AttachProcessWindow(process, &owner);
    TfmProcess *window = windowOf(process);
    process.Start();
    process.Max = 100;
    int steps = 0;
    for (; steps < 100 && !process.IsCancelled(); ++steps) {
        if (steps == 3) {
            // What the user does arrives while the process pumps events.
            if (how == 0) {
                QTimer::singleShot(0, window->btCancel, [window] { QTest::mouseClick(window->btCancel, Qt::LeftButton); });
            } else if (how == 1) {
                QTimer::singleShot(0, window, [window] { QTest::keyClick(window, Qt::Key_Escape); });
            } else {
                QTimer::singleShot(0, window, [window] { window->close(); });
            }
        }
        process.StepIt();
    }
    QCOMPARE(steps, 4);
    // Closing does not take the window away from under the running
    // operation; Finish does.
    QVERIFY(window->isVisible());
    process.Finish();
    QVERIFY(!window->isVisible());
    QVERIFY(owner.isEnabled());
    process.Start();
    QVERIFY(!process.IsCancelled());
    process.Finish();
}

void TestProcessWindow::runWithoutWindowNeverShowsIt()
{
    QMainWindow owner;
    owner.show();
    TProcess process;
    AttachProcessWindow(process, &owner);
    QList<int> reported;
    process.OnProgress = [&](TProcess *, int percent) { reported << percent; };
    process.ShowWindow = false;
    process.Start();
    process.Max = 2;
    process.StepIt();
    process.StepIt();
    QVERIFY(!windowOf(process)->isVisible());
    QVERIFY(owner.isEnabled());
    process.Finish();
    QCOMPARE(reported, (QList<int>{50, 0}));
}

void TestProcessWindow::ownerGoneBeforeTheProcess()
{
    TProcess process;
    {
        QMainWindow owner;
        owner.show();
        AttachProcessWindow(process, &owner);
    }
    process.Start();
    QVERIFY(windowOf(process)->isVisible());
    process.Finish();
}

QTEST_MAIN(TestProcessWindow)
#include "tst_processwindow.moc"
