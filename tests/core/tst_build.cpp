#include "core/audio/id3tag.h"

#include <QtTest>

// Smoke test of the build itself: the core links and its tables are whole.
class TestBuild : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void genreListIsComplete()
    {
        QCOMPARE(GenreList().size(), GenreCount);
        QCOMPARE(GenreList().at(0), QStringLiteral("Blues"));
        QCOMPARE(GenreList().at(GenreOther), QStringLiteral("Other"));
        QCOMPARE(GenreList().last(), QStringLiteral("SynthPop"));
    }
};

QTEST_APPLESS_MAIN(TestBuild)
#include "tst_build.moc"
