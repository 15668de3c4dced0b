#include "core/files/mp3file.h"
#include "core/files/renameplan.h"

#include "mp3builder.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

class TestRenamePlan : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<TMP3File>> m_files;

    // A file whose name gives artist and title ("Band - Song.mp3").
    TMP3File &file(const QString &name)
    {
        const QString p = m_dir->filePath(name);
        if (!testsupport::writeFile(p, mp3::Frame().stream(10)))
            qFatal("cannot write fixture");
        auto owned = std::make_unique<TMP3File>(p);
        owned->ReadInfo({QStringLiteral("%ar - %t")});
        owned->SetInfoSources(false, false, false, false, true);
        m_files.push_back(std::move(owned));
        return *m_files.back();
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        m_files.clear();
        m_dir.reset();
    }

    void targetAndUnchanged()
    {
        TRenamePlanner planner(QStringLiteral("%t"));
        const TRenameStep renamed = planner.Plan(file(QStringLiteral("Band - Song.mp3")));
        QCOMPARE(renamed.NewName, QStringLiteral("Song.mp3"));
        QCOMPARE(renamed.NewPath, m_dir->filePath(QStringLiteral("Song.mp3")));
        QVERIFY(!renamed.Unchanged);
        QCOMPARE(renamed.Status(), RenameStatus::Ok);

        TRenamePlanner same(QStringLiteral("%ar - %t"));
        const TRenameStep kept = same.Plan(file(QStringLiteral("Other - Tune.mp3")));
        QVERIFY(kept.Unchanged);
        QCOMPARE(kept.Status(), RenameStatus::Ok);
    }

    // Two files of a run wanting one name: the second is told, and only
    // once the first has claimed it.
    void twoFilesWantOneName()
    {
        TRenamePlanner planner(QStringLiteral("%t"));
        TMP3File &first = file(QStringLiteral("A - Song.mp3"));
        TMP3File &second = file(QStringLiteral("B - Song.mp3"));
        const TRenameStep one = planner.Plan(first);
        QVERIFY(!planner.Plan(second).TakenInRun);  // nothing claimed yet
        planner.Claim(one);
        const TRenameStep two = planner.Plan(second);
        QVERIFY(two.TakenInRun);
        QCOMPARE(two.FileStatus, RenameStatus::Ok);
        QCOMPARE(two.Status(), RenameStatus::TargetExists);
    }

    // The file's own verdict comes first; a name taken on disk is no
    // conflict within the run.
    void fileVerdicts()
    {
        file(QStringLiteral("Song.mp3"));
        TRenamePlanner planner(QStringLiteral("%t"));
        QCOMPARE(planner.Plan(file(QStringLiteral("A - Song.mp3"))).Status(), RenameStatus::TargetExists);

        TMP3File &readOnly = file(QStringLiteral("C - Other.mp3"));
        QVERIFY(readOnly.SetReadOnly(true));
        QCOMPARE(planner.Plan(readOnly).Status(), RenameStatus::ReadOnly);

        TRenamePlanner missing(QStringLiteral("%al - %t"));
        const TRenameStep step = missing.Plan(file(QStringLiteral("D - Tune.mp3")));
        QCOMPARE(step.Status(), RenameStatus::MissingValues);
        QVERIFY(!step.TakenInRun);
    }
};

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
