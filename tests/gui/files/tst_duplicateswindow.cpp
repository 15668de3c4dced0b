#include "core/files/fingerprintcache.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/settings/prefs.h"
#include "core/settings/shellservices.h"
#include "gui/settings/updatewindow.h"
#include "fixedshellservices.h"
#include "gui/files/duplicatecommands.h"
#include "gui/files/duplicateswindow.h"
#include "gui/main/mainwindow.h"
#include "gui/shell/rootcollection.h"
#include "memorysettingsstore.h"
#include "mp3builder.h"
#include "scripteddesktopservices.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

class MainWindow : public TfmMain {
public:
    using TfmMain::TfmMain;
    void RegisterFileAssociation() override {}
    QString AskSaveFileName() override { return {}; }
};

struct Shell {
    Shell()
    {
        prefs.FirstRun = false;
        store.WriteInteger(QStringLiteral("fmMain"), QStringLiteral("GroupFieldPreset"), -1);
    }
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
    FixedClock clock;
    FixedConnection connection{false};
    TUpdateService updates{prefs, clock, connection};
    ScriptedDesktopServices services;
};

QByteArray audio(quint32 seed)
{
    const mp3::Frame frame;
    QByteArray bytes;
    for (int n = 0; n < 40; ++n)
        bytes += frame.header() + mp3::randomBytes(frame.length() - 4, seed * 1000 + quint32(n));
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList trackPaths(const TMp3Root &root)
{
    QStringList paths;
    for (int i = 0; i < root.GetTracks()->Count(); ++i)
        paths << static_cast<TMp3Track *>(root.GetTracks()->Get(i))->FilePath;
    return paths;
}

} // namespace

// The Duplicates window as the main window's Search menu opens it: the
// groups shown with the best copy checked, and Remove taking the other
// tracks out of the saved collection (their files to the trash on request).
class TestDuplicatesWindow : public QObject {
    Q_OBJECT

    // In the test's home, so that the trash is on the same file system.
    QTemporaryDir m_dir{QDir::home().filePath(QStringLiteral("duplicatesXXXXXX"))};
    QString m_collection;
    QString m_best;
    QString m_copy;
    QString m_other;

    std::unique_ptr<MainWindow> openCollection(Shell &shell)
    {
        auto window = std::make_unique<MainWindow>(shell.prefs, shell.updates);
        window->FormCreate({});
        window->LoadSettings();
        window->show();
        auto *root = static_cast<TMp3Root *>(window->Root());
        const QList<std::pair<QString, int>> tracks = {{m_copy, 128}, {m_best, 192}, {m_other, 192}};
        for (const auto &[path, bitrate] : tracks) {
            auto *track = static_cast<TMp3Track *>(root->GetTracks()->CreateItem());
            track->Title = QStringLiteral("Song");
            track->FilePath = path;
            track->Bitrate = bitrate;
            track->GetID();
        }
        if (!window->Collection()->SaveToFile(m_collection))
            return nullptr;
        return window;
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_collection = m_dir.filePath(QStringLiteral("songs.tbx"));
        m_copy = m_dir.filePath(QStringLiteral("copy.mp3"));
        m_best = m_dir.filePath(QStringLiteral("best.mp3"));
        m_other = m_dir.filePath(QStringLiteral("other.mp3"));
        QVERIFY(writeFile(m_copy, audio(1)));
        QVERIFY(writeFile(m_best, mp3::id3v2Tag(200) + audio(1)));
        QVERIFY(writeFile(m_other, audio(2)));
    }
    void cleanup() { duplicatecommands::SetWindowRunner({}); }

    void commandIsInTheSearchMenu()
    {
        Shell shell;
        auto window = openCollection(shell);
        QVERIFY(window);
        auto *search = window->menuBar()->findChild<QMenu *>(QStringLiteral("miSearch"));
        QVERIFY(search);
        QAction *action = window->findChild<QAction *>(QStringLiteral("acFindDuplicates"));
        QVERIFY(action);
        QVERIFY(search->actions().contains(action));
        QCOMPARE(action->text(), QStringLiteral("Find &Duplicates..."));
    }

    void removeKeepsTheBestAndTrashesTheOthers_data()
    {
        QTest::addColumn<bool>("trash");
        QTest::newRow("tracks only") << false;
        QTest::newRow("files to the trash") << true;
    }

    void removeKeepsTheBestAndTrashesTheOthers()
    {
        QFETCH(bool, trash);
        Shell shell;
        auto window = openCollection(shell);
        QVERIFY(window);
        shell.services.answers = {TDesktopServices::TAnswer::Yes};
        bool shown = false;
        duplicatecommands::SetWindowRunner([&](TfmDuplicates &dialog) {
            shown = true;
            QCOMPARE(dialog.tvGroups->topLevelItemCount(), 1);
            const QTreeWidgetItem *group = dialog.tvGroups->topLevelItem(0);
            QVERIFY(group->text(0).startsWith(QStringLiteral("Copies")));
            QCOMPARE(group->childCount(), 2);
            QCOMPARE(group->child(0)->text(0), m_best);
            QCOMPARE(group->child(0)->checkState(0), Qt::Checked);
            QCOMPARE(group->child(1)->text(0), m_copy);
            QCOMPARE(group->child(1)->checkState(0), Qt::Unchecked);
            dialog.cbMoveToTrash->setChecked(trash);
            QVERIFY(dialog.btRemove->isEnabled());
            dialog.btRemove->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        });
        window->findChild<QAction *>(QStringLiteral("acFindDuplicates"))->trigger();
        QVERIFY(shown);

        QCOMPARE(trackPaths(*static_cast<TMp3Root *>(window->Root())), (QStringList{m_best, m_other}));
        TRootCollection reread(shell.store);
        QVERIFY(reread.LoadFromFile(m_collection));
        QCOMPARE(trackPaths(*static_cast<TMp3Root *>(reread.Root())), (QStringList{m_best, m_other}));
        QCOMPARE(QFile::exists(m_copy), !trash);
        QVERIFY(QFile::exists(m_best));
        // The fingerprints are kept for the next search.
        TFingerprintCache cache;
        QVERIFY(cache.load(TFingerprintCache::PathFor(m_collection)));
        QCOMPARE(cache.count(), 3);
    }

    void declinedRemovalChangesNothing()
    {
        Shell shell;
        auto window = openCollection(shell);
        QVERIFY(window);
        shell.services.answers = {TDesktopServices::TAnswer::No};
        duplicatecommands::SetWindowRunner([&](TfmDuplicates &dialog) {
            dialog.cbMoveToTrash->setChecked(true);
            dialog.btRemove->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        });
        window->findChild<QAction *>(QStringLiteral("acFindDuplicates"))->trigger();
        QCOMPARE(shell.services.messages.size(), 1);
        QCOMPARE(static_cast<TMp3Root *>(window->Root())->GetTracks()->Count(), 3);
        QVERIFY(QFile::exists(m_copy));
    }

    void groupWithNothingKeptCannotBeRemoved()
    {
        TDuplicateFile a;
        a.Path = QStringLiteral("/a.mp3");
        TDuplicateFile b;
        b.Path = QStringLiteral("/b.mp3");
        TDuplicateSearchResult result;
        result.Groups = {{TDuplicateKind::SameSong, {0, 1}, 1}};
        TfmDuplicates dialog({a, b}, result);
        const QTreeWidgetItem *group = dialog.tvGroups->topLevelItem(0);
        QVERIFY(group->text(0).startsWith(QStringLiteral("Probably the same song")));
        QVERIFY(dialog.btRemove->isEnabled());
        dialog.tvGroups->topLevelItem(0)->child(0)->setCheckState(0, Qt::Unchecked);
        QVERIFY(!dialog.btRemove->isEnabled());
        QVERIFY(dialog.keptFiles().isEmpty());
    }
};

QTEST_MAIN(TestDuplicatesWindow)
#include "tst_duplicateswindow.moc"
