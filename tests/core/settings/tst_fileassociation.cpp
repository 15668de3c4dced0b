#include "core/settings/fileassociation.h"
#include "testsupport.h"

#include <QtTest>

namespace {

class RecordingRunner : public TCommandRunner {
public:
    bool Run(const QString &program, const QStringList &arguments) override
    {
        calls << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return true;
    }
    QStringList calls;
};

} // namespace

class TestFileAssociation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void registrationWritesTheFilesOnce();
    void existingDefaultApplicationIsKept();
    void otherMimeAppsLinesSurvive();
    void normalizeExtension_data();
    void normalizeExtension();
    void execQuoting_data();
    void execQuoting();
    void shippedDesktopEntryMatches();

private:
    TXdgPaths paths() const;
    void registerAll(TAssociate &a);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_icon;
};

void TestFileAssociation::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_icon = m_dir->filePath(QStringLiteral("icon.svg"));
    QVERIFY(testsupport::writeFile(m_icon, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
}

TXdgPaths TestFileAssociation::paths() const
{
    TXdgPaths p;
    p.DataHome = m_dir->filePath(QStringLiteral("data"));
    p.ConfigHome = m_dir->filePath(QStringLiteral("config"));
    p.DataDirs = {m_dir->filePath(QStringLiteral("sysdata"))};
    p.ConfigDirs = {m_dir->filePath(QStringLiteral("sysconfig"))};
    return p;
}

void TestFileAssociation::registerAll(TAssociate &a)
{
    a.AppName = QStringLiteral("Tunebase");
    a.ExeName = QStringLiteral("/opt/My Apps/tunebase");
    a.IconFile = m_icon;
    a.DocumentIconFile = m_icon;
    a.Command = TAssociate::QuoteExecArgument(a.ExeName) + QStringLiteral(" %f");
    a.Description = QStringLiteral("MP3 Collection");
    a.RegisterFileType();
    a.RegisterExtension(QStringLiteral("tbx"));
    a.NotifyAssociationChanged();
}

void TestFileAssociation::registrationWritesTheFilesOnce()
{
    RecordingRunner runner;
    TAssociate first(paths(), runner);
    registerAll(first);

    const QByteArray desktop = testsupport::readFile(first.DesktopEntryPath());
    QVERIFY(desktop.startsWith("[Desktop Entry]\n"));
    QVERIFY(desktop.contains("\nExec=\"/opt/My Apps/tunebase\" %f\n"));
    QVERIFY(desktop.contains("\nMimeType=application/x-tunebase-collection;\n"));
    QVERIFY(desktop.contains("\nIcon=tunebase\n"));
    const QByteArray mime = testsupport::readFile(first.MimePackagePath());
    QVERIFY(mime.contains("<mime-type type=\"application/x-tunebase-collection\">"));
    QVERIFY(mime.contains("<comment>MP3 Collection</comment>"));
    QVERIFY(mime.contains("<glob pattern=\"*.tbx\"/>"));
    QVERIFY(QFileInfo::exists(first.AppIconPath()));
    QVERIFY(QFileInfo::exists(first.DocumentIconPath()));
    QCOMPARE(fileassociation::DefaultApplicationIn(testsupport::readFile(first.UserMimeAppsPath()),
                                                   first.MimeType),
             QStringLiteral("tunebase.desktop"));
    QCOMPARE(runner.calls.size(), 2);
    QVERIFY(runner.calls.at(0).startsWith(QLatin1String("update-mime-database ")));
    QVERIFY(runner.calls.at(1).startsWith(QLatin1String("update-desktop-database ")));

    // A second registration (the next end of the program) changes nothing.
    const QDateTime stamp = QFileInfo(first.MimePackagePath()).lastModified();
    const QByteArray mimeApps = testsupport::readFile(first.UserMimeAppsPath());
    RecordingRunner quiet;
    TAssociate second(paths(), quiet);
    registerAll(second);
    QVERIFY(quiet.calls.isEmpty());
    QCOMPARE(QFileInfo(second.MimePackagePath()).lastModified(), stamp);
    QCOMPARE(testsupport::readFile(second.UserMimeAppsPath()), mimeApps);
}

void TestFileAssociation::existingDefaultApplicationIsKept()
{
    const TXdgPaths p = paths();
    const QString system = p.DataDirs.first() + QStringLiteral("/applications/mimeapps.list");
    QVERIFY(QDir().mkpath(QFileInfo(system).absolutePath()));
    QVERIFY(testsupport::writeFile(system, "[Default Applications]\napplication/x-tunebase-collection=other.desktop;\n"));
    RecordingRunner runner;
    TAssociate a(p, runner);
    registerAll(a);
    QVERIFY(!QFileInfo::exists(a.UserMimeAppsPath()));
}

void TestFileAssociation::otherMimeAppsLinesSurvive()
{
    const QByteArray before = "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                              "[Default Applications]\ntext/html=firefox.desktop;\n\n"
                              "[Removed Associations]\nimage/png=gimp.desktop;\n";
    const QByteArray after = fileassociation::WithDefaultApplication(
        before, QStringLiteral("application/x-tunebase-collection"), QStringLiteral("tunebase.desktop"));
    QCOMPARE(after, QByteArray("[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                               "[Default Applications]\ntext/html=firefox.desktop;\n"
                               "application/x-tunebase-collection=tunebase.desktop;\n\n"
                               "[Removed Associations]\nimage/png=gimp.desktop;\n"));
    // Entries in other groups are no default.
    QCOMPARE(fileassociation::DefaultApplicationIn(before, QStringLiteral("text/plain")), QString());
    QCOMPARE(fileassociation::DefaultApplicationIn(before, QStringLiteral("text/html")),
             QStringLiteral("firefox.desktop"));
    QCOMPARE(fileassociation::WithDefaultApplication(QByteArray(), QStringLiteral("a/b"), QStringLiteral("c.desktop")),
             QByteArray("[Default Applications]\na/b=c.desktop;\n"));
}

void TestFileAssociation::normalizeExtension_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("bare") << QStringLiteral("tbx") << QStringLiteral(".tbx");
    QTest::newRow("dotted") << QStringLiteral(".tbx") << QStringLiteral(".tbx");
    QTest::newRow("file name") << QStringLiteral("name.tbx") << QStringLiteral(".tbx");
}

void TestFileAssociation::normalizeExtension()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(TAssociate::NormalizeExtension(in), out);
}

void TestFileAssociation::execQuoting_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("plain") << QStringLiteral("/usr/bin/tunebase") << QStringLiteral("/usr/bin/tunebase");
    QTest::newRow("blank") << QStringLiteral("/a b/t") << QStringLiteral("\"/a b/t\"");
    QTest::newRow("dollar and quote") << QStringLiteral("/a$\"b") << QStringLiteral("\"/a\\$\\\"b\"");
}

void TestFileAssociation::execQuoting()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(TAssociate::QuoteExecArgument(in), out);
}

void TestFileAssociation::shippedDesktopEntryMatches()
{
    // The entry installed system-wide must declare the same type and icon.
    const QByteArray shipped =
        testsupport::readFile(QStringLiteral(TUNEBASE_SOURCE_DIR "/resources/tunebase.desktop"));
    QVERIFY(shipped.contains("\nExec=tunebase %f\n"));
    QVERIFY(shipped.contains("\nMimeType=application/x-tunebase-collection;\n"));
    QVERIFY(shipped.contains("\nIcon=tunebase\n"));
    const QByteArray mime =
        testsupport::readFile(QStringLiteral(TUNEBASE_SOURCE_DIR "/resources/tunebase-mime.xml"));
    QVERIFY(mime.contains("<glob pattern=\"*.tbx\"/>"));
    QVERIFY(mime.contains("<comment>MP3 Collection</comment>"));
}

QTEST_APPLESS_MAIN(TestFileAssociation)
#include "tst_fileassociation.moc"
