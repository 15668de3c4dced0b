#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// The core's folders stand in layers, each built only on those below it,
// and the core knows nothing of the windows or the command line.  A header
// that reaches upwards would tie the layers into a knot that no window or
// command could take apart again, so the suite refuses it.
namespace {

const QStringList &coreLayers()
{
    static const QStringList layers{
        QStringLiteral("base"),  QStringLiteral("data"),     QStringLiteral("settings"),
        QStringLiteral("audio"), QStringLiteral("mp3model"), QStringLiteral("files"),
        QStringLiteral("output"),
    };
    return layers;
}

QString coreFolder() { return QStringLiteral(TUNEBASE_SOURCE_DIR "/src/core"); }

// Every quoted include of one file: "core/data/x.h", "gui/...", "x.h".
QStringList quotedIncludes(const QString &path)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    const QString text = QString::fromUtf8(file.readAll());
    QStringList result;
    for (auto it = include.globalMatch(text); it.hasNext();)
        result << it.next().captured(1);
    return result;
}

// Why an include does not belong in a file of the given layer; empty when
// it does.
QString fault(int layer, const QString &included)
{
    if (!included.startsWith(QLatin1String("core/")))
        return QStringLiteral("not a core header, or not written from src/");
    const QString folder = included.section(QLatin1Char('/'), 1, 1);
    const int target = coreLayers().indexOf(folder);
    if (target < 0)
        return QStringLiteral("folder outside the known layers");
    if (target > layer)
        return QStringLiteral("reaches up to %1").arg(folder);
    return {};
}

} // namespace

class TestLayers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCoreFolderIsALayer()
    {
        QDirIterator folders(coreFolder(), QDir::Dirs | QDir::NoDotAndDotDot);
        while (folders.hasNext()) {
            const QString name = QFileInfo(folders.next()).fileName();
            QVERIFY2(coreLayers().contains(name),
                     qPrintable(QStringLiteral("src/core/%1 has no place in the layers").arg(name)));
        }
    }

    void coreIncludesOnlyLayersBelow()
    {
        QStringList faults;
        int files = 0;
        for (int layer = 0; layer < coreLayers().size(); ++layer) {
            const QString folder = coreFolder() + QLatin1Char('/') + coreLayers().at(layer);
            QDirIterator it(folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                ++files;
                for (const QString &included : quotedIncludes(path)) {
                    const QString why = fault(layer, included);
                    if (!why.isEmpty())
                        faults << QStringLiteral("%1: \"%2\": %3")
                                      .arg(QDir(coreFolder()).relativeFilePath(path), included, why);
                }
            }
        }
        QVERIFY2(files > 50, "the core's sources were not found");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void faultsAreRecognised_data()
    {
        QTest::addColumn<int>("layer");
        QTest::addColumn<QString>("included");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("same layer") << 1 << "core/data/datalists.h" << true;
        QTest::newRow("below") << 5 << "core/base/writeall.h" << true;
        QTest::newRow("above") << 1 << "core/settings/prefs.h" << false;
        QTest::newRow("gui") << 6 << "gui/shell/mainbase.h" << false;
        QTest::newRow("cli") << 6 << "cli/clioptions.h" << false;
        QTest::newRow("relative name") << 3 << "id3tag.h" << false;
    }
    void faultsAreRecognised()
    {
        QFETCH(int, layer);
        QFETCH(QString, included);
        QFETCH(bool, allowed);
        QCOMPARE(fault(layer, included).isEmpty(), allowed);
    }
};

QTEST_APPLESS_MAIN(TestLayers)
#include "tst_layers.moc"
