#include "core/settings/currentcollection.h"
#include "core/settings/shellsequence.h"
#include "core/base/desktopservices.h"
#include "core/settings/shellservices.h"

#include <QtTest>

namespace {

// A collection that records what was done to it.
class FakeCollection : public TCurrentCollection {
public:
    QString FileName() const override { return fileName; }
    QString GetDisplayName() const override
    {
        return fileName.isEmpty() ? QStringLiteral("[New Collection]") : QFileInfo(fileName).fileName();
    }
    bool LoadFromFile(const QString &name) override
    {
        loads << name;
        if (!QFileInfo::exists(name)) {
            fileName.clear();
            return false;
        }
        fileName = name;
        return true;
    }
    bool SaveToFile(const QString &name) override
    {
        saves << name;
        return saveResults.isEmpty() ? true : saveResults.takeFirst();
    }
    bool IsModified() const override { return false; }
    // Another program saves just before each of the first `changes` looks
    // at the file.
    TOwnFileSaveResult SaveOverOwnFile(const std::optional<TFileStamp> &accepted) override
    {
        if (changes > 0) {
            --changes;
            ++onDisk.Inode;
        }
        TOwnFileSaveResult result;
        result.OnDisk = onDisk;
        if (onDisk != accepted.value_or(asRead)) {
            result.Outcome = TOwnFileSaveResult::TOutcome::ChangedOnDisk;
            return result;
        }
        result.Outcome = SaveToFile(fileName) ? TOwnFileSaveResult::TOutcome::Saved
                                              : TOwnFileSaveResult::TOutcome::Failed;
        return result;
    }

    QString fileName;
    int changes = 0;
    TFileStamp onDisk;
    TFileStamp asRead;
    QStringList loads;
    QStringList saves;
    QList<bool> saveResults;
};

using TAnswer = TDesktopServices::TAnswer;

// Message boxes answered from a script; every question is recorded.
class ScriptedMessages : public TDesktopServices {
public:
    bool RunProgram(const QString &, const QString &, const QString &, TShowMode) override { return false; }
    bool BrowseForFolder(const QString &, const QString &, QString &, QObject *) override { return false; }
    void ShowInfo(const QString &text) override { asked << text; }
    void ShowError(const QString &text) override { asked << text; }
    TAnswer AskYesNo(const QString &text) override
    {
        asked << text;
        return answers.takeFirst();
    }
    TAnswer AskYesNoCancel(const QString &text) override
    {
        asked << text;
        return answers.takeFirst();
    }
    void SetBusyCursor() override {}
    void ResetCursor() override {}
    TSaveFailedChoice AskSaveFailed(const QString &text)
    {
        asked << text;
        return failedChoices.takeFirst();
    }

    QList<TAnswer> answers;
    QList<TSaveFailedChoice> failedChoices;
    QStringList asked;
};

const QString CollectionQuestion = QStringLiteral("This database has not been saved yet. Do you want to save it now?");
const QString PlaylistQuestion = QStringLiteral("This playlist has not been saved yet. Do you want to save it now?");

} // namespace

Q_DECLARE_METATYPE(TDesktopServices::TAnswer)
Q_DECLARE_METATYPE(TSaveFailedChoice)
Q_DECLARE_METATYPE(TChangedFileChoice)

class TestShellSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void argumentBeatsCurrentDatabase();
    void openAtStart();
    void missingLastCollectionStartsNew();
    void firstRunOffer();
    void runtimeVersion_data();
    void runtimeVersion();
    void closeMatrix_data();
    void closeMatrix();
    void failedFinalSave_data();
    void failedFinalSave();
    void fileChangedElsewhere_data();
    void fileChangedElsewhere();
};

void TestShellSequence::argumentBeatsCurrentDatabase()
{
    using shellsequence::ChooseCollectionFile;
    QCOMPARE(ChooseCollectionFile({}, QStringLiteral("/d/last.tbx")), QStringLiteral("/d/last.tbx"));
    QCOMPARE(ChooseCollectionFile({QStringLiteral("/x/rock.tbx"), QStringLiteral("more")}, QStringLiteral("/d/last.tbx")),
             QStringLiteral("/x/rock.tbx"));
    QCOMPARE(ChooseCollectionFile({QStringLiteral("rel.tbx")}, QString()),
             QDir::current().absoluteFilePath(QStringLiteral("rel.tbx")));
}

void TestShellSequence::openAtStart()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rock.tbx"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    FakeCollection c;
    QString current = QStringLiteral("/old/last.tbx");
    QString dataFolder = QStringLiteral("/old/");
    QVERIFY(shellsequence::OpenAtStart(c, file, current, dataFolder));
    QCOMPARE(current, file);
    QCOMPARE(dataFolder, dir.path() + QLatin1Char('/'));
}

void TestShellSequence::missingLastCollectionStartsNew()
{
    FakeCollection c;
    QString current = QStringLiteral("/gone/last.tbx");
    QString dataFolder = QStringLiteral("/data/");
    QVERIFY(!shellsequence::OpenAtStart(c, current, current, dataFolder));
    QCOMPARE(current, QString());
    QCOMPARE(dataFolder, QStringLiteral("/data/"));
    QCOMPARE(c.GetDisplayName(), QStringLiteral("[New Collection]"));

    // An empty last collection (cleared by the previous run) loads nothing.
    FakeCollection fresh;
    QVERIFY(!shellsequence::OpenAtStart(fresh, QString(), current, dataFolder));
    QVERIFY(fresh.loads.isEmpty());
}

void TestShellSequence::firstRunOffer()
{
    QVERIFY(shellsequence::ShouldOfferNewCollection(true, true, false));
    QVERIFY(!shellsequence::ShouldOfferNewCollection(false, true, false));
    QVERIFY(!shellsequence::ShouldOfferNewCollection(true, false, false));
    // Started on a collection file: the user has one already.
    QVERIFY(!shellsequence::ShouldOfferNewCollection(true, true, true));
}

void TestShellSequence::runtimeVersion_data()
{
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<bool>("ok");
    QTest::newRow("same") << QStringLiteral("6.4.2") << true;
    QTest::newRow("newer patch") << QStringLiteral("6.4.3") << true;
    QTest::newRow("newer minor") << QStringLiteral("6.10.0") << true;
    QTest::newRow("older patch") << QStringLiteral("6.4.1") << false;
    QTest::newRow("older minor") << QStringLiteral("6.3.9") << false;
}

void TestShellSequence::runtimeVersion()
{
    QFETCH(QString, runtime);
    QFETCH(bool, ok);
    QCOMPARE(shellsequence::IsRuntimeSufficient(runtime, QStringLiteral("6.4.2")), ok);
}

void TestShellSequence::closeMatrix_data()
{
    QTest::addColumn<bool>("hasFileName");
    QTest::addColumn<bool>("playlistModified");
    QTest::addColumn<QList<TAnswer>>("answers");
    QTest::addColumn<bool>("saveAsResult");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("saves");       // saves of the named collection
    QTest::addColumn<int>("saveAsCalls");
    QTest::addColumn<int>("playlistSaves");

    using L = QList<TAnswer>;
    const QStringList none;
    const QStringList c{CollectionQuestion};
    const QStringList p{PlaylistQuestion};
    const QStringList cp{CollectionQuestion, PlaylistQuestion};
    QTest::newRow("named: saved without asking") << true << false << L{} << true << true << none << 1 << 0 << 0;
    QTest::newRow("new: No closes unsaved") << false << false << L{TAnswer::No} << true << true << c << 0 << 0 << 0;
    QTest::newRow("new: Cancel stays") << false << false << L{TAnswer::Cancel} << true << false << c << 0 << 0 << 0;
    QTest::newRow("new: Yes saves as") << false << false << L{TAnswer::Yes} << true << true << c << 0 << 1 << 0;
    QTest::newRow("new: Yes, save as cancelled") << false << false << L{TAnswer::Yes} << false << false << c << 0 << 1 << 0;
    QTest::newRow("playlist: Yes saves it") << true << true << L{TAnswer::Yes} << true << true << p << 1 << 0 << 1;
    QTest::newRow("playlist: No") << true << true << L{TAnswer::No} << true << true << p << 1 << 0 << 0;
    QTest::newRow("playlist: Cancel after save") << true << true << L{TAnswer::Cancel} << true << false << p << 1 << 0 << 0;
    QTest::newRow("both asked, collection first") << false << true << L{TAnswer::No, TAnswer::Yes} << true << true << cp << 0 << 0 << 1;
    QTest::newRow("collection Cancel skips playlist") << false << true << L{TAnswer::Cancel} << true << false << c << 0 << 0 << 0;
}

void TestShellSequence::closeMatrix()
{
    QFETCH(bool, hasFileName);
    QFETCH(bool, playlistModified);
    QFETCH(QList<TAnswer>, answers);
    QFETCH(bool, saveAsResult);
    QFETCH(bool, closes);
    QFETCH(QStringList, questions);
    QFETCH(int, saves);
    QFETCH(int, saveAsCalls);
    QFETCH(int, playlistSaves);

    FakeCollection c;
    if (hasFileName)
        c.fileName = QStringLiteral("/m/rock.tbx");
    ScriptedMessages m;
    m.answers = answers;
    int saveAs = 0;
    int playlist = 0;
    shellsequence::TCloseHooks hooks;
    hooks.SaveAs = [&] { ++saveAs; return saveAsResult; };
    hooks.PlaylistModified = [&] { return playlistModified; };
    hooks.SavePlaylist = [&] { ++playlist; };

    QCOMPARE(shellsequence::QueryClose(c, m, hooks), closes);
    QCOMPARE(m.asked, questions);
    QVERIFY(m.answers.isEmpty());
    QCOMPARE(c.saves.size(), saves);
    QCOMPARE(saveAs, saveAsCalls);
    QCOMPARE(playlist, playlistSaves);
}

void TestShellSequence::failedFinalSave_data()
{
    QTest::addColumn<QList<bool>>("saveResults");
    QTest::addColumn<QList<TSaveFailedChoice>>("choices");
    QTest::addColumn<QList<bool>>("saveAsResults");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("saves");

    using C = QList<TSaveFailedChoice>;
    using B = QList<bool>;
    QTest::newRow("retry succeeds") << B{false, true} << C{TSaveFailedChoice::Retry} << B{} << true << 2;
    QTest::newRow("retry fails, cancel") << B{false, false} << C{TSaveFailedChoice::Retry, TSaveFailedChoice::Cancel}
                                         << B{} << false << 2;
    QTest::newRow("save elsewhere") << B{false} << C{TSaveFailedChoice::SaveElsewhere} << B{true} << true << 1;
    QTest::newRow("save elsewhere cancelled, quit")
        << B{false} << C{TSaveFailedChoice::SaveElsewhere, TSaveFailedChoice::QuitAnyway} << B{false} << true << 1;
    QTest::newRow("quit anyway") << B{false} << C{TSaveFailedChoice::QuitAnyway} << B{} << true << 1;
    QTest::newRow("cancel keeps running") << B{false} << C{TSaveFailedChoice::Cancel} << B{} << false << 1;
}

void TestShellSequence::failedFinalSave()
{
    QFETCH(QList<bool>, saveResults);
    QFETCH(QList<TSaveFailedChoice>, choices);
    QFETCH(QList<bool>, saveAsResults);
    QFETCH(bool, closes);
    QFETCH(int, saves);

    FakeCollection c;
    c.fileName = QStringLiteral("/readonly/rock.tbx");
    c.saveResults = saveResults;
    ScriptedMessages m;
    m.failedChoices = choices;
    shellsequence::TCloseHooks hooks;
    hooks.SaveAs = [&] { return saveAsResults.takeFirst(); };
    hooks.AskSaveFailed = [&m](const QString &text) { return m.AskSaveFailed(text); };
    QCOMPARE(shellsequence::QueryClose(c, m, hooks), closes);
    QCOMPARE(c.saves.size(), saves);
    QVERIFY(m.failedChoices.isEmpty());
    QVERIFY(m.asked.first().contains(QLatin1String("/readonly/rock.tbx")));
}

// Saving (and the save at closing) over a file another program has changed
// asks first; each answer does what it says and nothing else.
void TestShellSequence::fileChangedElsewhere_data()
{
    QTest::addColumn<int>("changes");
    QTest::addColumn<TChangedFileChoice>("choice");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("reloads");
    QTest::addColumn<int>("saveAsCalls");
    QTest::addColumn<int>("questionsAsked");
    QTest::newRow("unchanged: saved without a question") << 0 << TChangedFileChoice::Cancel << true << 1 << 0 << 0 << 0;
    QTest::newRow("reload") << 1 << TChangedFileChoice::Reload << true << 0 << 1 << 0 << 1;
    QTest::newRow("save as") << 1 << TChangedFileChoice::SaveAs << true << 0 << 0 << 1 << 1;
    QTest::newRow("overwrite") << 1 << TChangedFileChoice::Overwrite << true << 1 << 0 << 0 << 1;
    QTest::newRow("cancel") << 1 << TChangedFileChoice::Cancel << false << 0 << 0 << 0 << 1;
    // Another save lands while the user is asked: overwriting the change
    // they saw must not overwrite that one unseen.
    QTest::newRow("changed again before overwriting") << 2 << TChangedFileChoice::Overwrite << true << 1 << 0 << 0 << 2;
}

void TestShellSequence::fileChangedElsewhere()
{
    QFETCH(int, changes);
    QFETCH(TChangedFileChoice, choice);
    QFETCH(bool, saved);
    QFETCH(int, saves);
    QFETCH(int, reloads);
    QFETCH(int, saveAsCalls);
    QFETCH(int, questionsAsked);

    for (const bool closing : {false, true}) {
        FakeCollection c;
        c.fileName = QStringLiteral("/m/rock.tbx");
        c.changes = changes;
        QStringList questions;
        int reload = 0;
        int saveAs = 0;
        shellsequence::TSaveHooks save;
        save.AskFileChanged = [&](const QString &text) {
            questions << text;
            return choice;
        };
        save.Reload = [&] { ++reload; return true; };
        save.SaveAs = [&] { ++saveAs; return true; };
        if (closing) {
            ScriptedMessages m;
            shellsequence::TCloseHooks hooks;
            hooks.Save = save;
            // A cancelled save keeps the program open; nothing else is asked.
            QCOMPARE(shellsequence::QueryClose(c, m, hooks), saved);
            QVERIFY(m.asked.isEmpty());
        } else {
            QCOMPARE(shellsequence::SaveNamedCollection(c, save), saved);
        }
        QCOMPARE(c.saves.size(), saves);
        QCOMPARE(reload, reloads);
        QCOMPARE(saveAs, saveAsCalls);
        QCOMPARE(questions.size(), questionsAsked);
        if (questionsAsked > 0)
            QVERIFY(questions.first().contains(QLatin1String("/m/rock.tbx")));
    }
}

QTEST_APPLESS_MAIN(TestShellSequence)
#include "tst_shellsequence.moc"
