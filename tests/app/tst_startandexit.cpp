#include "core/files/playlist.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/inisettingsstore.h"
#include "gui/explorer/brimlowlistview.h"
#include "gui/explorer/explorerlistmodel.h"
#include "gui/explorer/explorertreemodel.h"
#include "gui/main/mainwindow.h"
#include "gui/shell/application.h"
#include "gui/shell/settingsautosave.h"
#include "mp3builder.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

#include <deque>

// The program's whole life as main() runs it: start, use, exit.  Each run
// must end with status 0 and leave the settings file holding what the user
// changed, also before it ends (a kill must not cost the settings).
class TestStartAndExit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstRunAnsweredThenQuit();
    void collectionPlaylistAndExplorerThenExit();

private:
    using TStep = std::function<void(TfmMain &)>;
    // Runs the program as main() does with the given arguments; the steps
    // run one after another once the window shows, each when the previous
    // one returned and the events it caused were handled.  The last step
    // must end the program.
    int runProgram(const QStringList &arguments, std::deque<TStep> steps);
    QString settingsFile() const { return qEnvironmentVariable("TUNEBASE_CONFIG"); }
    // The settings as they are on disk now.
    std::unique_ptr<TIniSettingsStore> settingsOnDisk() const
    {
        return std::make_unique<TIniSettingsStore>(settingsFile());
    }
    // Clicks the answer of the message box that the caller is about to make
    // the program show.
    static void answerNextQuestion(QMessageBox::StandardButton answer);
    static void waitForAutoSave() { QTest::qWait(TSettingsAutoSave::QuietMilliseconds + 700); }

    QString m_home;
};

void TestStartAndExit::init()
{
    // Each case starts as a new user: no settings, no collections.
    m_home = qEnvironmentVariable("HOME");
    QVERIFY(!m_home.isEmpty());
    QFile::remove(settingsFile());
    QVERIFY(QDir().mkpath(QFileInfo(settingsFile()).absolutePath()));
    QDir(m_home + QStringLiteral("/.local/share")).removeRecursively();
    QDir(m_home + QStringLiteral("/music")).removeRecursively();
}

int TestStartAndExit::runProgram(const QStringList &arguments, std::deque<TStep> steps)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    TfmMain *window = nullptr;
    std::function<void()> next;
    next = [&] {
        if (steps.empty() || !window)
            return;
        TStep step = std::move(steps.front());
        steps.pop_front();
        // A step that fails a check returns early: the program still ends.
        const auto endIfFailed = qScopeGuard([&] {
            if (QTest::currentTestFailed() && window)
                QTimer::singleShot(0, window, [&] { window->close(); });
        });
        step(*window);
        if (!steps.empty() && !QTest::currentTestFailed())
            QTimer::singleShot(50, app, next);
    };
    return RunTunebase(*app, arguments, [&](TMp3Prefs &prefs, TUpdateService &updates) {
        auto created = std::make_unique<TfmMain>(prefs, updates);
        window = created.get();
        // After the first idle moment of the shown window.
        QTimer::singleShot(300, app, next);
        return created;
    });
}

void TestStartAndExit::answerNextQuestion(QMessageBox::StandardButton answer)
{
    QTimer::singleShot(200, qApp, [answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        box->button(answer)->click();
    });
}

void TestStartAndExit::firstRunAnsweredThenQuit()
{
    // A first start offers a new collection; the user says no, resizes the
    // window and closes it.  The next start must not ask again.
    QVERIFY(testsupport::writeFile(settingsFile(), "[Settings]\r\nNrDaysBetweenUpdateChecks=-1\r\n"));
    bool offered = false;
    int status = runProgram({}, {
        [&](TfmMain &) {
            auto *prompt = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            offered = prompt && prompt->objectName() == QLatin1String("fmNewCollection");
            if (prompt)
                prompt->reject();
        },
        [](TfmMain &window) { window.setGeometry(20, 30, 611, 417); },
        [this](TfmMain &) {
            waitForAutoSave();
            // Written while the program still runs.
            QCOMPARE(settingsOnDisk()->ReadString(QStringLiteral("Settings"), QStringLiteral("First Run of App")),
                     QStringLiteral("0"));
            QVERIFY(settingsOnDisk()->ValueExists(QStringLiteral("WindowPlacement"), QStringLiteral("fmMain")));
        },
        [](TfmMain &window) {
            // "not been saved yet": the new collection stays unsaved.
            answerNextQuestion(QMessageBox::No);
            window.close();
        },
    });
    QCOMPARE(status, 0);
    QVERIFY(offered);

    bool offeredAgain = true;
    QSize size;
    status = runProgram({}, {
        [&](TfmMain &window) {
            offeredAgain = QApplication::activeModalWidget() != nullptr;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            size = window.size();
        },
        [](TfmMain &window) {
            answerNextQuestion(QMessageBox::No);
            window.close();
        },
    });
    QCOMPARE(status, 0);
    QVERIFY(!offeredAgain);
    QCOMPARE(size, QSize(611, 417));
}

void TestStartAndExit::collectionPlaylistAndExplorerThenExit()
{
    const QString music = m_home + QStringLiteral("/music");
    QVERIFY(QDir().mkpath(music + QStringLiteral("/Album")));
    const QString song = music + QStringLiteral("/Album/song.mp3");
    QVERIFY(testsupport::writeFile(song, mp3::Frame().stream(8)));
    const QString playlist = music + QStringLiteral("/list.m3u");
    QVERIFY(testsupport::writeFile(playlist, "#EXTM3U\n" + song.toUtf8() + "\n"));
    const QString collection = music + QStringLiteral("/c.tbx");
    {
        TMp3Root root;
        TRootItem::SetCurrent(&root);
        for (const char *title : {"One", "Two"}) {
            auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
            track->Title = QLatin1String(title);
            track->FilePath = song;
            track->GetID();
        }
        QVERIFY(root.SaveToFile(collection));
        TRootItem::SetCurrent(nullptr);
    }
    // All tracks in one list, so the collection node lists tracks; a first
    // run that was given a collection file does not offer a new one.
    QVERIFY(testsupport::writeFile(settingsFile(), "[Settings]\r\nNrDaysBetweenUpdateChecks=-1\r\n"
                                                   "[fmMain]\r\nGroupFieldPreset=-1\r\n"
                                                   "[Playlists]\r\nCurrent Playlist=" + playlist.toUtf8() + "\r\n"));

    const int status = runProgram({collection}, {
        [](TfmMain &window) {
            QVERIFY(!QApplication::activeModalWidget());
            QCOMPARE(window.Playlist->Count(), 1);
            // The collection's tracks, with a column made wider.
            window.SelectNode(window.RootNode);
            QCOMPARE(window.lvMain->Model()->rowCount(), 2);
            QHeaderView *header = window.lvMain->Header();
            header->resizeSection(0, 345);
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(344, 5));
        },
        [&](TfmMain &) {
            waitForAutoSave();
            const auto stored = settingsOnDisk();
            QCOMPARE(stored->ReadInteger(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Width"), -1), 345);
            QCOMPARE(stored->ReadString(QStringLiteral("Playlists"), QStringLiteral("Current Playlist")), playlist);
        },
        [&](TfmMain &window) {
            // The playlist shown, then the explorer opened down to a folder.
            window.SelectNode(window.PlaylistNode);
            QVERIFY(window.ExpandExplorerTo(music + QStringLiteral("/Album"), true));
            QVERIFY(window.SelectedFolder());
        },
        [](TfmMain &window) { window.Action(QStringLiteral("acExit"))->trigger(); },
    });
    QCOMPARE(status, 0);
    const auto stored = settingsOnDisk();
    QCOMPARE(stored->ReadInteger(QStringLiteral("ItemColumnFields\\0"), QStringLiteral("Width"), -1), 345);
    QCOMPARE(stored->ReadString(QStringLiteral("fmMain"), QStringLiteral("CurrentFolder")),
             music + QStringLiteral("/Album"));
    QVERIFY(stored->ReadString(QStringLiteral("Databases"), QStringLiteral("CurrentDatabase")).endsWith(
        QStringLiteral("/c.tbx")));
}

QTEST_MAIN(TestStartAndExit)
#include "tst_startandexit.moc"
