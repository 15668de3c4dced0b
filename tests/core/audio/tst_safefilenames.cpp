// Names built by rename formats are plain, visible file names whatever the
// tags hold: no hidden or dot-only names, no characters that reorder how
// the name reads.

#include "core/audio/filenameinfo.h"

#include <QTest>

class tst_SafeFileNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void builtNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("leading dot") << ".hidden" << "_hidden.mp3";
        QTest::newRow("dot dot") << ".." << "__.mp3";
        QTest::newRow("dot only") << "." << "_.mp3";
        QTest::newRow("inner dots stay") << "a.b..c" << "a.b..c.mp3";
        QTest::newRow("right-to-left override") << QStringLiteral("song\u202Egpj") << "songgpj.mp3";
        QTest::newRow("isolates and marks") << QStringLiteral("\u2067a\u2069\u200Fb\u200E") << "ab.mp3";
        QTest::newRow("control characters") << QStringLiteral("a\x1B" "b\tc") << "a_b_c.mp3";
        QTest::newRow("emoji sequence stays") << QStringLiteral("\U0001F469\u200D\U0001F4BB") << QStringLiteral("\U0001F469\u200D\U0001F4BB.mp3");
    }
    void builtNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(BuildFileName(QStringLiteral("%t"), {}, {}, title, 0, {}, {}), expected);
    }

    // The format's own leading dot is no different.
    void formatCannotHideTheName()
    {
        QCOMPARE(BuildFileName(QStringLiteral(".%ar"), {}, QStringLiteral("Artist"), {}, 0, {}, {}),
                 QStringLiteral("_Artist.mp3"));
    }
};

QTEST_MAIN(tst_SafeFileNames)
#include "tst_safefilenames.moc"
