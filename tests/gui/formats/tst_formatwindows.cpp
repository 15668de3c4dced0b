#include "core/files/mp3file.h"
#include "core/settings/prefs.h"
#include "gui/formats/formatlistwindow.h"
#include "gui/formats/formatwindow.h"
#include "memorysettingsstore.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString ExamplePath = QStringLiteral("/music/Nina Simone/Pastel Blues/03 - Be My Husband.mp3");
const QString FolderFormat = QStringLiteral("%ar\\%al\\%ix - %t");

// A file whose values come from its path only (it need not exist).
std::unique_ptr<TMP3File> exampleFile(bool locked)
{
    auto file = std::make_unique<TMP3File>(ExamplePath);
    file->FilenameInfo.Enabled = true;
    file->FilenameInfo.ParseWithFormat(ExamplePath, FolderFormat);
    if (locked)
        file->FilenameInfo.Lock();
    return file;
}

// The list window with the format window replaced by a script of answers.
class ScriptedFormatList : public TfmFormatList {
public:
    using TfmFormatList::TfmFormatList;
    QStringList answers;   // an empty answer cancels
    QList<TFormatMode> modes;

protected:
    bool RunFormatWindow(TFormatMode mode, QString &format) override
    {
        modes << mode;
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty())
            return false;
        format = answer;
        return true;
    }
};

struct Settings {
    TMemorySettingsStore store;
    TMp3Prefs prefs{store};
};

QStringList rowTexts(const TfmFormatList &window)
{
    QStringList texts;
    for (int i = 0; i < window.lvFormats->topLevelItemCount(); ++i)
        texts << window.lvFormats->topLevelItem(i)->text(0);
    return texts;
}

} // namespace

class TestFormatWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parsePreviewLeavesTheExampleAlone_data();
    void parsePreviewLeavesTheExampleAlone();
    void renamePreviewBuildsTheName();
    void withoutExampleThePreviewStaysEmpty();
    void emptyFormatsAreRefused_data();
    void emptyFormatsAreRefused();
    void captions_data();
    void captions();
    void listCommands_data();
    void listCommands();
    void removingTheOnlyFormat();
    void lockedFileSelectsItsFormat();
    void confirmingStoresTheList_data();
    void confirmingStoresTheList();
};

void TestFormatWindows::parsePreviewLeavesTheExampleAlone_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("free, cancelled") << false << false;
    QTest::newRow("free, confirmed") << false << true;
    QTest::newRow("locked, cancelled") << true << false;
}

void TestFormatWindows::parsePreviewLeavesTheExampleAlone()
{
    QFETCH(bool, locked);
    QFETCH(bool, confirm);
    Settings settings;
    auto file = exampleFile(locked);
    const TFilenameInfo before = file->FilenameInfo;
    TfmFormat window(nullptr, TFormatMode::Edit, TFormatKind::Parse, QStringLiteral("%t"), file.get(),
                     settings.store);
    QCOMPARE(window.laFilename->text(), ExamplePath);
    QCOMPARE(window.laTitle->text(), QStringLiteral("03 - Be My Husband"));
    QCOMPARE(window.laIndex->text(), QString());
    // Every keystroke parses again.
    window.edFormat->setText(QStringLiteral("%ar\\%al\\%ix - %t"));
    QCOMPARE(window.laTitle->text(), QStringLiteral("Be My Husband"));
    QCOMPARE(window.laArtist->text(), QStringLiteral("Nina Simone"));
    QCOMPARE(window.laAlbum->text(), QStringLiteral("Pastel Blues"));
    QCOMPARE(window.laIndex->text(), QStringLiteral("3"));
    window.edFormat->setText(QStringLiteral("%al\\%t"));
    QCOMPARE(window.laAlbum->text(), QStringLiteral("Pastel Blues"));
    QCOMPARE(window.laArtist->text(), QString());
    if (confirm)
        window.accept();
    else
        window.reject();
    QCOMPARE(file->FilenameInfo.ParseFormat, before.ParseFormat);
    QCOMPARE(file->FilenameInfo.Score, before.Score);
    QCOMPARE(file->FilenameInfo.Title, before.Title);
    QCOMPARE(file->FilenameInfo.Artist, before.Artist);
    QCOMPARE(file->FilenameInfo.Locked, locked);
}

void TestFormatWindows::renamePreviewBuildsTheName()
{
    Settings settings;
    auto file = exampleFile(false);
    TfmFormat window(nullptr, TFormatMode::Add, TFormatKind::Rename, QString(), file.get(), settings.store);
    QVERIFY(!window.gbParseVariables->isVisibleTo(&window));
    QVERIFY(window.gbRenameVariables->isVisibleTo(&window));
    window.edFormat->setText(QStringLiteral("%ar - %ix - %t"));
    QCOMPARE(window.laFilename->text(), QStringLiteral("Nina Simone - 03 - Be My Husband.mp3"));
    QCOMPARE(window.laTitle->text(), QStringLiteral("Be My Husband"));
    QCOMPARE(window.laIndex->text(), QStringLiteral("3"));
}

void TestFormatWindows::withoutExampleThePreviewStaysEmpty()
{
    Settings settings;
    TfmFormat window(nullptr, TFormatMode::Edit, TFormatKind::Parse, FolderFormat, nullptr, settings.store);
    window.edFormat->setText(QStringLiteral("%t"));
    for (const QLabel *label : {window.laFilename, window.laTitle, window.laArtist, window.laIndex})
        QVERIFY(label->text().isEmpty());
}

void TestFormatWindows::emptyFormatsAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral("   ") << false;
    QTest::newRow("a format") << QStringLiteral("%t") << true;
}

void TestFormatWindows::emptyFormatsAreRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    Settings settings;
    TfmFormat window(nullptr, TFormatMode::Add, TFormatKind::Rename, text, nullptr, settings.store);
    window.show();
    QCOMPARE(window.btOK->isEnabled(), accepted);
    // Enter in the edit box presses the default button.
    window.edFormat->setFocus();
    QTest::keyClick(window.edFormat, Qt::Key_Return);
    QCOMPARE(window.isVisible(), !accepted);
    QCOMPARE(window.result() == QDialog::Accepted, accepted);
}

void TestFormatWindows::captions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("add parse") << 0 << 0 << QStringLiteral("Add Parse Format");
    QTest::newRow("add rename") << 0 << 1 << QStringLiteral("Add Rename Format");
    QTest::newRow("edit parse") << 1 << 0 << QStringLiteral("Edit Parse Format");
    QTest::newRow("edit rename") << 1 << 1 << QStringLiteral("Edit Rename Format");
}

void TestFormatWindows::captions()
{
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(QString, caption);
    Settings settings;
    TfmFormat window(nullptr, TFormatMode(mode), TFormatKind(kind), QString(), nullptr, settings.store);
    QCOMPARE(window.windowTitle(), caption);
}

void TestFormatWindows::listCommands_data()
{
    QTest::addColumn<int>("select");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("selected");
    const QStringList abc = {QStringLiteral("%a"), QStringLiteral("%b"), QStringLiteral("%c")};
    QTest::newRow("add") << -1 << "acAddFormat" << QStringList{"%d"} << QStringList{"%a", "%b", "%c", "%d"} << 3;
    QTest::newRow("add in other letters") << -1 << "acAddFormat" << QStringList{"%B"} << abc << 1;
    QTest::newRow("add cancelled") << 0 << "acAddFormat" << QStringList{} << abc << 0;
    QTest::newRow("edit") << 1 << "acEditFormat" << QStringList{"%x"} << QStringList{"%a", "%x", "%c"} << 1;
    QTest::newRow("copy keeps duplicates") << 1 << "acCopyFormat" << QStringList{"%b"}
                                           << QStringList{"%a", "%b", "%c", "%b"} << 3;
    QTest::newRow("remove middle") << 1 << "acRemoveFormat" << QStringList{} << QStringList{"%a", "%c"} << 1;
    QTest::newRow("remove last") << 2 << "acRemoveFormat" << QStringList{} << QStringList{"%a", "%b"} << 1;
    QTest::newRow("up") << 1 << "acMoveFormatUp" << QStringList{} << QStringList{"%b", "%a", "%c"} << 0;
    QTest::newRow("down") << 1 << "acMoveFormatDown" << QStringList{} << QStringList{"%a", "%c", "%b"} << 2;
}

void TestFormatWindows::listCommands()
{
    QFETCH(int, select);
    QFETCH(QString, command);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, rows);
    QFETCH(int, selected);
    Settings settings;
    settings.prefs.RenameFormats = {QStringLiteral("%a"), QStringLiteral("%b"), QStringLiteral("%c")};
    ScriptedFormatList window(nullptr, nullptr, TFormatKind::Rename, settings.prefs);
    window.answers = answers;
    window.SelectRow(select);
    QAction *action = window.findChild<QAction *>(command);
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    action->trigger();
    QCOMPARE(rowTexts(window), rows);
    QCOMPARE(window.SelectedRow(), selected);
    QCOMPARE(window.laStatus->text(), QStringLiteral("%1 formats").arg(rows.size()));
    // Nothing reaches the settings before OK.
    QCOMPARE(settings.prefs.RenameFormats.size(), 3);
}

void TestFormatWindows::removingTheOnlyFormat()
{
    Settings settings;
    settings.prefs.ParseFormats = {QStringLiteral("%t")};
    ScriptedFormatList window(nullptr, nullptr, TFormatKind::Parse, settings.prefs);
    QCOMPARE(window.SelectedRow(), -1);
    QVERIFY(!window.acRemoveFormat->isEnabled());
    window.SelectRow(0);
    QVERIFY(!window.acMoveFormatUp->isEnabled());
    QVERIFY(!window.acMoveFormatDown->isEnabled());
    window.acRemoveFormat->trigger();
    QCOMPARE(window.Formats(), QStringList());
    QCOMPARE(window.SelectedRow(), -1);
    for (QAction *action : {window.acEditFormat, window.acRemoveFormat, window.acCopyFormat})
        QVERIFY(!action->isEnabled());
    QVERIFY(window.acAddFormat->isEnabled());
    QCOMPARE(window.laStatus->text(), QStringLiteral("0 formats"));
}

void TestFormatWindows::lockedFileSelectsItsFormat()
{
    Settings settings;
    settings.prefs.ParseFormats = {QStringLiteral("%t"), FolderFormat, QStringLiteral("%ar - %t")};
    auto file = exampleFile(true);
    ScriptedFormatList window(nullptr, file.get(), TFormatKind::Parse, settings.prefs);
    QCOMPARE(window.SelectedRow(), 1);
}

void TestFormatWindows::confirmingStoresTheList_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("current");
    QTest::newRow("rename, selected") << 1 << 1 << true << QStringLiteral("%b");
    QTest::newRow("rename, nothing selected") << 1 << -1 << true << QString();
    QTest::newRow("rename, cancelled") << 1 << -1 << false << QStringLiteral("%a");
    QTest::newRow("parse") << 0 << -1 << true << QStringLiteral("%a");
}

void TestFormatWindows::confirmingStoresTheList()
{
    QFETCH(int, kind);
    QFETCH(int, select);
    QFETCH(bool, confirm);
    QFETCH(QString, current);
    Settings settings;
    const QStringList original = {QStringLiteral("%a"), QStringLiteral("%b")};
    settings.prefs.ParseFormats = original;
    settings.prefs.RenameFormats = original;
    settings.prefs.CurrentRenameFormat = QStringLiteral("%a");
    ScriptedFormatList window(nullptr, nullptr, TFormatKind(kind), settings.prefs);
    window.answers = {QStringLiteral("%new")};
    window.acAddFormat->trigger();
    window.SelectRow(select);
    if (confirm)
        window.accept();
    else
        window.reject();
    const QStringList expected = confirm ? QStringList{"%a", "%b", "%new"} : original;
    QCOMPARE(kind == 0 ? settings.prefs.ParseFormats : settings.prefs.RenameFormats, expected);
    QCOMPARE(kind == 0 ? settings.prefs.RenameFormats : settings.prefs.ParseFormats, original);
    QCOMPARE(settings.prefs.CurrentRenameFormat, current);
}

QTEST_MAIN(TestFormatWindows)
#include "tst_formatwindows.moc"
