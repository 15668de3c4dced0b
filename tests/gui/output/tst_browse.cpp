#include "core/data/fieldlists.h"
#include "core/data/fieldrefs.h"
#include "core/mp3model/mp3fieldids.h"
#include "gui/browse/browse.h"

#include "memorysettingsstore.h"
#include "outputfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList shownTexts(const TfmBrowseBase &window)
{
    QStringList texts;
    for (const QLineEdit *edit : window.FieldEdits())
        texts << edit->text();
    return texts;
}

struct Steps {
    bool first, prior, next, last;
};

Steps enabledSteps(const TfmBrowseBase &window)
{
    return {window.btFirst->isEnabled(), window.btPrior->isEnabled(), window.btNext->isEnabled(),
            window.btLast->isEnabled()};
}

} // namespace

class TestBrowse : public QObject {
    Q_OBJECT

    TMemorySettingsStore m_store;

private Q_SLOTS:
    void init() { m_store.clear(); }

    void walksThroughTheList()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, items);
        TfmBrowseBase window(items, 2, root, m_store);
        window.SetPosition(0);
        QCOMPARE(window.laStatus->text(), QStringLiteral("Item 1 of 3"));
        Steps steps = enabledSteps(window);
        QVERIFY(!steps.first && !steps.prior && steps.next && steps.last);
        QVERIFY(shownTexts(window).contains(QStringLiteral("Title 1")));

        window.btNext->click();
        QCOMPARE(window.laStatus->text(), QStringLiteral("Item 2 of 3"));
        QVERIFY(shownTexts(window).contains(QStringLiteral("B")));
        steps = enabledSteps(window);
        QVERIFY(steps.first && steps.prior && steps.next && steps.last);

        window.btLast->click();
        QCOMPARE(window.laStatus->text(), QStringLiteral("Item 3 of 3"));
        QVERIFY(shownTexts(window).contains(QStringLiteral("Title 3")));
        steps = enabledSteps(window);
        QVERIFY(steps.first && steps.prior && !steps.next && !steps.last);

        window.btPrior->click();
        QCOMPARE(window.Position, 1);
        window.btFirst->click();
        QCOMPARE(window.Position, 0);
        QVERIFY(shownTexts(window).contains(QStringLiteral("A")));
    }

    void oneObjectDisablesEveryStep()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmBrowseBase window(items, 2, root, m_store);
        window.SetPosition(0);
        QCOMPARE(window.laStatus->text(), QStringLiteral("Item 1 of 1"));
        const Steps steps = enabledSteps(window);
        QVERIFY(!steps.first && !steps.prior && !steps.next && !steps.last);
    }

    void fieldsAreReadOnlyAndLabelled()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        TfmBrowseBase window(items, 2, root, m_store);
        window.SetPosition(0);
        const QList<QLineEdit *> edits = window.FieldEdits();
        QCOMPARE(edits.size(), root.Fields->DefaultColumns[2].size());
        for (QLineEdit *edit : edits) {
            QVERIFY(edit->isReadOnly());
            const QString before = edit->text();
            QTest::keyClicks(edit, QStringLiteral("typed"));
            QCOMPARE(edit->text(), before);
        }
        QVERIFY(!window.findChildren<QLabel *>().isEmpty());
    }

    // Fields chosen for one list kind stay with that kind.
    void fieldsAreRememberedPerKind()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A")}, items);
        {
            TfmBrowseBase window(items, 2, root, m_store);
            window.ColumnFields->FreeAll();
            window.ColumnFields->Add(std::make_unique<TColumnField>(root.Fields->FindByID(Mp3FieldIds::Title), 100,
                                                      window.ColumnFields.get()));
            window.accept();
        }
        TfmBrowseBase again(items, 2, root, m_store);
        again.SetPosition(0);
        QCOMPARE(shownTexts(again), QStringList{QStringLiteral("Title 1")});
        TfmBrowseBase other(items, 3, root, m_store);
        QCOMPARE(other.FieldEdits().size(), root.Fields->DefaultColumns[3].size());
    }

    void outsidePositionsAreIgnored()
    {
        TMp3Root root;
        TDataRefList items;
        addTracks(root, {QStringLiteral("A"), QStringLiteral("B")}, items);
        TfmBrowseBase window(items, 2, root, m_store);
        window.SetPosition(1);
        window.SetPosition(5);
        window.SetPosition(-1);
        QCOMPARE(window.Position, 1);
        QCOMPARE(window.laStatus->text(), QStringLiteral("Item 2 of 2"));
    }
};

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
