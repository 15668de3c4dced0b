#include "fakesettingsstore.h"
#include "fixedshellservices.h"
#include "scripteddesktopservices.h"
#include "core/mp3model/mp3root.h"
#include "gui/settings/about.h"
#include "core/settings/generalhelpers.h"
#include "core/settings/prefs.h"
#include "gui/settings/safelinks.h"
#include "gui/settings/formplacement.h"
#include "gui/settings/updatewindow.h"
#include "gui/shell/globaldata.h"
#include "gui/shell/instanceserver.h"
#include "gui/shell/mainbase.h"
#include "gui/shell/rootcollection.h"
#include "gui/shell/showhint.h"
#include "gui/shell/widgetdesktopservices.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

// Main window with a counted first-run offer and a collection under test.
class TestMainWindow : public TfmMainBase {
public:
    using TfmMainBase::TfmMainBase;
    void OfferNewCollection() override { ++offers; }
    // The real one writes into the user's desktop folders.
    void RegisterFileAssociation() override { ++registrations; }
    QString AskSaveFileName() override { return saveName; }
    QString saveName;
    int offers = 0;
    int registrations = 0;
};

struct Shell {
    FakeSettingsStore store;
    TMp3Prefs prefs{store};
    FixedClock clock;
    FixedConnection connection{false};
    TUpdateService updates{prefs, clock, connection};
};

QString versionText()
{
    return GetVersionText(true);
}

QString buildText()
{
    QString build;
    GetVersionText(true, QString(), &build);
    return build;
}

QImage render(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestShellWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void imageListsHoldDistinctPictures();
    void updateWindowOutcome_data();
    void updateWindowOutcome();
    void updateWindowIsSafe();
    void aboutWindow();
    void placementRoundTrip();
    void fixedDialogKeepsItsSize();
    void unusablePlacementIsCentred();
    void tipWindow();
    void mainWindowActions();
    void firstIdleOffersNewCollectionOnlyOnFirstRun_data();
    void firstIdleOffersNewCollectionOnlyOnFirstRun();
    void closeWithNewCollection_data();
    void closeWithNewCollection();
    void closeDuringOperationWaitsForIt();
    void handoverReachesTheFirstCopy();
    void handoverOffersToOpenTheFile_data();
    void handoverOffersToOpenTheFile();
    void desktopNamesTheProgramForAFileType_data();
    void desktopNamesTheProgramForAFileType();
};

void TestShellWindows::imageListsHoldDistinctPictures()
{
    TdmGlobal global;
    QCOMPARE(global.ilSmall.Count(), int(images::SmallCount));
    QCOMPARE(global.ilLarge.Count(), int(images::LargeCount));
    QCOMPARE(global.ilState.Count(), int(images::StateCount));
    for (const int size : {16, 32}) {
        QList<QImage> seen;
        for (int i = 0; i < global.ilSmall.Count(); ++i) {
            const QImage image = render(global.ilSmall.Icon(i), size);
            QVERIFY2(!image.isNull() && image != QImage(image.size(), image.format()), qPrintable(QString::number(i)));
            QVERIFY2(!seen.contains(image), qPrintable(QStringLiteral("index %1 repeats a picture").arg(i)));
            seen << image;
        }
    }
    QVERIFY(global.ilState.Icon(images::StateNone).isNull());
    QVERIFY(!global.ilState.Icon(images::StateOk).isNull());
    QVERIFY(global.ilSmall.Icon(99).isNull());

    // Desktop icons are copied once per key.
    const QIcon desktopIcon(images::ResourcePath(QStringLiteral("track")));
    const int first = global.ShellIconIndex(QStringLiteral("audio/mpeg"), desktopIcon, false);
    QCOMPARE(first, int(images::SmallCount));
    QCOMPARE(global.ShellIconIndex(QStringLiteral("audio/mpeg"), desktopIcon, false), first);
    QCOMPARE(global.ShellIconIndex(QStringLiteral("audio/mpeg"), desktopIcon, true), int(images::LargeCount));

    // A contact sheet to look at: TUNEBASE_ICON_SHEET=/tmp/sheet.png
    const QString sheetFile = qEnvironmentVariable("TUNEBASE_ICON_SHEET");
    if (!sheetFile.isEmpty()) {
        QImage sheet(40 * images::SmallCount, 100, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (int i = 0; i < images::SmallCount; ++i) {
            p.drawPixmap(40 * i + 12, 4, global.ilSmall.Pixmap(i));
            p.drawPixmap(40 * i + 4, 24, global.ilSmall.Icon(i).pixmap(32, 32));
            p.drawText(40 * i + 4, 70, QString::number(i));
        }
        for (int i = 0; i < images::StateCount; ++i)
            p.drawPixmap(40 * i + 4, 76, global.ilState.Pixmap(i));
        p.end();
        sheet.save(sheetFile);
    }
}

void TestShellWindows::updateWindowOutcome_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("description");
    QTest::newRow("0") << 0 << QStringLiteral("The version information could not be retrieved.") << QString();
    QTest::newRow("1") << 1 << QStringLiteral("You have the most recent version and build") << QStringLiteral("Build text");
    QTest::newRow("2") << 2 << QStringLiteral("A newer version is available") << QStringLiteral("Upgrade text");
    QTest::newRow("3") << 3 << QStringLiteral("You have the most recent version, but a newer build is available.")
                       << QStringLiteral("Build text");
}

void TestShellWindows::updateWindowOutcome()
{
    QFETCH(int, result);
    QFETCH(QString, status);
    QFETCH(QString, description);
    Shell shell;
    TfmVersionCheck window(nullptr, shell.updates);
    const QStringList lines{QStringLiteral("LatestVersion=2.0"), QStringLiteral("LatestBuild=12"),
                            QStringLiteral("DownloadURL=https://dl.example/get"),
                            QStringLiteral("InfoURL=javascript:alert(1)"),
                            QStringLiteral("WhatsNewURL=http://x.example/new?a=1&b=<2>"),
                            QStringLiteral("SupportEmail=help@example.org"),
                            QStringLiteral("UpgradeDescription=<p>Upgrade text</p>"),
                            QStringLiteral("BuildDescription=<b>Build text</b>")};
    window.ShowOutcome(lines, result);
    QCOMPARE(window.laVersionStatus->text(), status);
    QCOMPARE(window.htUpgradeDescription->toPlainText(), description);
    if (result == 0) {
        QCOMPARE(window.laThisVersion->text(), QString());
        return;
    }
    QCOMPARE(window.laThisVersion->text(), QStringLiteral("%1 build %2").arg(versionText(), buildText()));
    QCOMPARE(window.laLatestVersion->text(), QStringLiteral("2.0 build 12"));
    QCOMPARE(window.laDownload->text(),
             QStringLiteral("<a href=\"https://dl.example/get\">https://dl.example/get</a>"));
    QVERIFY(!window.laInfo->text().contains(QLatin1String("<a")));          // no link for javascript:
    QVERIFY(window.laWhatsnew->text().contains(QLatin1String("&lt;2&gt;"))); // escaped
    QVERIFY(window.laSupportemail->text().contains(QLatin1String("href=\"mailto:help@example.org\"")));
}

void TestShellWindows::updateWindowIsSafe()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("p.png"));
    QImage(4, 4, QImage::Format_RGB32).save(picture);
    ScriptedDesktopServices services;
    TSafeHtmlView view;
    const QUrl local = QUrl::fromLocalFile(picture);
    view.setHtml(QStringLiteral("<img src=\"%1\"><img src=\"http://127.0.0.1:1/x.png\"><a href=\"file:///etc/passwd\">x</a>")
                     .arg(local.toString()));
    view.resize(200, 100);
    view.grab();
    for (const QUrl &url : {local, QUrl(QStringLiteral("http://127.0.0.1:1/x.png"))}) {
        const QVariant loaded = view.document()->resource(QTextDocument::ImageResource, url);
        QVERIFY(!loaded.isValid() || (loaded.typeId() == QMetaType::QByteArray && loaded.toByteArray().isEmpty()));
    }
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("https://www.example.org/")));
    // A document from outside opens web links only: a mail link can make
    // the mail program attach a file.
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("mailto:a@b.example?attach=/home/user/.ssh/id_rsa")));
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("mailto:a@b.example")));
    Q_EMIT view.anchorClicked(QUrl(QStringLiteral("ftp://x.example/")));
    QCOMPARE(services.opened, (QStringList{QStringLiteral("https://www.example.org/")}));

    // Only web addresses become links, and the support address only when it
    // is one plain address.
    Shell shell;
    TfmVersionCheck window(nullptr, shell.updates);
    window.ShowOutcome({QStringLiteral("LatestVersion=2.0"), QStringLiteral("DownloadURL=mailto:a@b.example"),
                        QStringLiteral("InfoURL=file:///etc/passwd"),
                        QStringLiteral("SupportEmail=help@example.org?attach=/etc/passwd")},
                       2);
    for (QLabel *label : {window.laDownload, window.laInfo, window.laSupportemail})
        QVERIFY2(!label->text().contains(QLatin1String("<a")), qPrintable(label->text()));
}

void TestShellWindows::aboutWindow()
{
    TfmAbout window(nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("About Brimlow Tunebase ") + versionText());
    QCOMPARE(window.pcAbout->currentWidget(), window.tsMain);
    QCOMPARE(window.laProduct->text(), QStringLiteral("Tunebase"));
    QCOMPARE(window.laVersion->text(), QStringLiteral("Version ") + versionText());
    QCOMPARE(window.laBuild->text(), QStringLiteral("(Build %1)").arg(buildText()));
    const QUrl mail(TfmAbout::MailLink(QStringLiteral("support@brimlow.example")));
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QVERIFY(mail.query(QUrl::FullyDecoded).contains(QStringLiteral("Tunebase %1 (Build %2)").arg(versionText(), buildText())));
}

void TestShellWindows::placementRoundTrip()
{
    FakeSettingsStore store;
    QWidget window;
    window.setObjectName(QStringLiteral("fmStats"));
    window.setGeometry(40, 50, 300, 200);
    TFormPlacement::SavePlacement(&window, store);
    QWidget again;
    again.setObjectName(QStringLiteral("fmStats"));
    again.resize(100, 100);
    TFormPlacement::RestorePlacement(&again, store);
    QCOMPARE(again.geometry(), QRect(40, 50, 300, 200));
}

void TestShellWindows::fixedDialogKeepsItsSize()
{
    FakeSettingsStore store;
    QWidget big;
    big.setObjectName(QStringLiteral("fmTip"));
    big.setGeometry(10, 20, 500, 400);
    TFormPlacement::SavePlacement(&big, store);
    QWidget fixed;
    fixed.setObjectName(QStringLiteral("fmTip"));
    fixed.setFixedSize(120, 80);
    TFormPlacement::RestorePlacement(&fixed, store);
    QCOMPARE(fixed.geometry(), QRect(10, 20, 120, 80));
}

void TestShellWindows::unusablePlacementIsCentred()
{
    FakeSettingsStore store;
    QWidget gone;
    gone.setObjectName(QStringLiteral("fmGone"));
    gone.setGeometry(5000, 5000, 200, 100); // a monitor no longer attached
    TFormPlacement::SavePlacement(&gone, store);
    QWidget window;
    window.setObjectName(QStringLiteral("fmGone"));
    window.resize(200, 100);
    TFormPlacement::RestorePlacement(&window, store);
    const QRect screen = window.screen()->availableGeometry();
    QCOMPARE(window.pos(), QPoint(screen.left() + (screen.width() - 200) / 2, screen.top() + (screen.height() - 100) / 2));
}

void TestShellWindows::tipWindow()
{
    bool dontShow = false;
    QTimer::singleShot(0, [] {
        auto *tip = qobject_cast<TfmShowHint *>(QApplication::activeModalWidget());
        QVERIFY(tip);
        QCOMPARE(tip->windowTitle(), QStringLiteral("Tip"));
        QVERIFY(tip->ckDontShowAgain->isChecked());
        tip->findChild<QPushButton *>(QStringLiteral("btOK"))->click();
    });
    QVERIFY(ShowTip(nullptr, dontShow));
    QVERIFY(dontShow);

    dontShow = false;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QVERIFY(!ShowTip(nullptr, dontShow));
    QVERIFY(!dontShow);
}

void TestShellWindows::mainWindowActions()
{
    Shell shell;
    TestMainWindow window(shell.prefs, shell.updates);
    for (const char *name : {"acNew", "acOpen", "acSave", "acSaveAs", "acExit", "acAddItem", "acRemoveItem",
                             "acRefresh", "acEditFilter", "acPrefs", "acManual", "acVersionCheck", "acAbout"})
        QVERIFY2(window.findChild<QAction *>(QLatin1String(name)), name);
    QCOMPARE(window.Action(QStringLiteral("acRemoveItem"))->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(window.Action(QStringLiteral("acRefresh"))->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(window.Action(QStringLiteral("acNew"))->toolTip(), QStringLiteral("New Collection"));
    QVERIFY(window.Action(QStringLiteral("acPrefs"))->isEnabled());
    for (const char *name : {"tbFile", "tbEdit", "tbView", "tbSearch", "pnCount", "pnSearch", "pnFilter", "imLogo"})
        QVERIFY2(window.findChild<QWidget *>(QLatin1String(name)), name);
    QCOMPARE(TfmMainBase::CollectionFileFilter(), QStringLiteral("MP3 Collections (*.tbx)"));
}

void TestShellWindows::firstIdleOffersNewCollectionOnlyOnFirstRun_data()
{
    QTest::addColumn<bool>("firstRun");
    QTest::newRow("first run") << true;
    QTest::newRow("second run") << false;
}

void TestShellWindows::firstIdleOffersNewCollectionOnlyOnFirstRun()
{
    QFETCH(bool, firstRun);
    Shell shell;
    shell.prefs.FirstRun = firstRun;
    shell.prefs.CurrentDatabase.clear();
    ScriptedDesktopServices services;
    TestMainWindow window(shell.prefs, shell.updates);
    window.FormCreate({});
    window.show();
    QTRY_VERIFY(window.isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(window.offers, firstRun ? 1 : 0);
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(window.offers, firstRun ? 1 : 0); // once per run
    services.answers = {TDesktopServices::TAnswer::No};
    window.close();
}

void TestShellWindows::closeWithNewCollection_data()
{
    QTest::addColumn<TDesktopServices::TAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("No") << TDesktopServices::TAnswer::No << true;
    QTest::newRow("Cancel") << TDesktopServices::TAnswer::Cancel << false;
}

void TestShellWindows::closeWithNewCollection()
{
    QFETCH(TDesktopServices::TAnswer, answer);
    QFETCH(bool, closes);
    Shell shell;
    shell.prefs.CurrentDatabase = QStringLiteral("/nowhere/gone.tbx");
    ScriptedDesktopServices services;
    TestMainWindow window(shell.prefs, shell.updates);
    window.FormCreate({});
    QCOMPARE(window.windowTitle(), QStringLiteral("Brimlow Tunebase %1 - [New Collection]").arg(versionText()));
    // The window system appends Qt's display name to every title: the
    // program's name must not be that, or it shows twice.
    QVERIFY(!QGuiApplication::applicationDisplayName().contains(QStringLiteral("Brimlow")));
    QCOMPARE(shell.prefs.CurrentDatabase, QString());
    window.show();
    services.answers = {answer};
    QCOMPARE(window.close(), closes);
    QCOMPARE(services.messages,
             QStringList{QStringLiteral("This database has not been saved yet. Do you want to save it now?")});
    QCOMPARE(shell.store.ValueExists(QStringLiteral("WindowPlacement"), QStringLiteral("fmMain")), closes);
    services.answers = {TDesktopServices::TAnswer::No};
    window.close();
}

void TestShellWindows::closeDuringOperationWaitsForIt()
{
    Shell shell;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rock.tbx"));
    ScriptedDesktopServices services;
    {
        TMp3Root root;
        QVERIFY(root.SaveToFile(file));
    }
    TestMainWindow window(shell.prefs, shell.updates);
    window.FormCreate({file});
    QCOMPARE(shell.prefs.CurrentDatabase, file);
    window.show();
    int cancels = 0;
    window.BeginOperation([&cancels] { ++cancels; });
    QVERIFY(!window.close());
    QCOMPARE(cancels, 1);
    QVERIFY(window.isVisible());
    window.EndOperation();
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(services.messages.isEmpty()); // a named collection is saved without asking
    window.FormDestroy();
    QCOMPARE(window.registrations, 1);
    QVERIFY(shell.store.SectionExists(QStringLiteral("Defaults"))); // field defaults kept
    QCOMPARE(window.Collection(), nullptr);
}

void TestShellWindows::handoverReachesTheFirstCopy()
{
    QTemporaryDir dir;
    const QString serverName = dir.filePath(QStringLiteral("t.socket"));
    TInstanceServer server;
    QVERIFY(server.Listen(serverName));
    QList<THandover> received;
    connect(&server, &TInstanceServer::HandoverReceived, this,
            [&received](const THandover &h) { received << h; });
    QVERIFY(ActivatePreviousInstance(serverName, QStringLiteral("/music/rock.tbx")));
    QTRY_COMPARE(received.size(), 1);
    QVERIFY(received.first().Activate);
    QCOMPARE(received.first().FileName, QStringLiteral("/music/rock.tbx"));
    QVERIFY(!ActivatePreviousInstance(dir.filePath(QStringLiteral("none.socket")), QString(), 300));
}

void TestShellWindows::handoverOffersToOpenTheFile_data()
{
    using Answer = TDesktopServices::TAnswer;
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("savedFirst");
    // The window holds a new collection that was never saved: before the
    // handed-over file replaces it, the question closing asks.
    QTest::newRow("open, drop the new collection") << QList<Answer>{Answer::Yes, Answer::No} << true << false;
    QTest::newRow("open, save the new collection first") << QList<Answer>{Answer::Yes, Answer::Yes} << true << true;
    QTest::newRow("open, then cancel") << QList<Answer>{Answer::Yes, Answer::Cancel} << false << false;
    QTest::newRow("not opened") << QList<Answer>{Answer::No} << false << false;
}

void TestShellWindows::handoverOffersToOpenTheFile()
{
    QFETCH(QList<TDesktopServices::TAnswer>, answers);
    QFETCH(bool, opened);
    QFETCH(bool, savedFirst);
    Shell shell;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("jazz.tbx"));
    const QString saved = dir.filePath(QStringLiteral("mine.tbx"));
    ScriptedDesktopServices services;
    {
        TMp3Root root;
        QVERIFY(root.SaveToFile(file));
    }
    TestMainWindow window(shell.prefs, shell.updates);
    window.saveName = saved;
    window.FormCreate({});
    window.show();
    services.answers = answers;
    THandover handover;
    handover.FileName = file;
    window.ActivateFromHandover(handover);
    QCOMPARE(services.messages.size(), answers.size());
    QVERIFY(services.messages.first().contains(file));
    if (answers.size() > 1)
        QCOMPARE(services.messages.at(1), QStringLiteral("This database has not been saved yet. Do you want to save it now?"));
    QCOMPARE(QFile::exists(saved), savedFirst);
    const QString expected = opened ? file : savedFirst ? saved : QString();
    QCOMPARE(window.Collection()->FileName(), expected);
    QCOMPARE(shell.prefs.CurrentDatabase, expected);
    QVERIFY(window.windowTitle().endsWith(opened ? QStringLiteral("jazz.tbx") : QStringLiteral("[New Collection]")));
    services.answers = {TDesktopServices::TAnswer::No};
    window.close();
}

void TestShellWindows::desktopNamesTheProgramForAFileType_data()
{
    QTest::addColumn<QByteArray>("answer");   // what xdg-mime prints
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("hasProgram");
    QTest::newRow("a player") << QByteArray("vlc.desktop\n") << 0 << true;
    QTest::newRow("none") << QByteArray() << 0 << false;
    // A tool that fails says nothing about the type: the desktop may try.
    QTest::newRow("the tool failed") << QByteArray() << 4 << true;
}

// The desktop's own tool is asked for the default program of the file's
// type (audio/mpeg for an MP3 file).
void TestShellWindows::desktopNamesTheProgramForAFileType()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, exitCode);
    QFETCH(bool, hasProgram);
    QTemporaryDir bin;
    QFile tool(bin.filePath(QStringLiteral("xdg-mime")));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\n[ \"$1 $2 $3\" = \"query default audio/mpeg\" ] || exit 5\nprintf '" + answer
               + "'\nexit " + QByteArray::number(exitCode) + "\n");
    tool.close();
    QVERIFY(tool.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    TWidgetDesktopServices services;
    QString reason;
    const bool has = services.HasProgramFor(QStringLiteral("/music/song.mp3"), &reason);
    qputenv("PATH", path);
    QCOMPARE(has, hasProgram);
    QCOMPARE(reason.contains(QStringLiteral("audio/mpeg")), !hasProgram);
}

QTEST_MAIN(TestShellWindows)
#include "tst_shellwindows.moc"
