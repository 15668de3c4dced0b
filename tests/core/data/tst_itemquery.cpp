#include "core/data/itemfilter.h"
#include "core/data/itemquery.h"

#include "testroot.h"

#include <QtTest>

namespace {

// Passes the items whose title is not the one it rejects.
class TRejectTitle final : public TItemFilter {
public:
    TRejectTitle(QString title, bool active) : m_title(std::move(title)), m_active(active) {}
    bool IsActive() const override { return m_active; }
    bool Matches(const TDataItem *item) const override
    {
        return static_cast<const TTestItem *>(item)->Title != m_title;
    }

private:
    QString m_title;
    bool m_active;
};

} // namespace

class TestItemQuery : public QObject {
    Q_OBJECT

    TTestRoot m_root;

    QStringList titles(const TItemFilter *filter, const TSortKeys &keys) const
    {
        TDataRefList list;
        QueryItems(m_root, filter, keys, list);
        QStringList result;
        for (const TDataItem *item : list)
            result << item->GetDisplayName();
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The collection's order is not the order of the identifiers.
        const QList<QPair<const char *, qint32>> items{{"b", 30}, {"c", 10}, {"a", 20}};
        for (const auto &[title, id] : items) {
            auto *item = static_cast<TTestItem *>(m_root.Items->CreateItem());
            item->Title = QLatin1String(title);
            item->ID = id;
        }
    }

    void query_data()
    {
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("order");  // 0: no sort keys, else the title's direction
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("everything, collection order") << false << false << 0 << QStringList{"b", "c", "a"};
        QTest::newRow("inactive filter passes all") << true << false << 0 << QStringList{"b", "c", "a"};
        QTest::newRow("filtered") << true << true << 0 << QStringList{"c", "a"};
        QTest::newRow("sorted") << false << false << 1 << QStringList{"a", "b", "c"};
        QTest::newRow("filtered, sorted descending") << true << true << -1 << QStringList{"c", "a"};
    }
    void query()
    {
        QFETCH(bool, filtered);
        QFETCH(bool, active);
        QFETCH(int, order);
        QFETCH(QStringList, expected);
        const TRejectTitle filter(QStringLiteral("b"), active);
        TSortKeys keys;
        if (order != 0)
            keys.append({m_root.field(testroot::TitleField), order});
        QCOMPARE(titles(filtered ? &filter : nullptr, keys), expected);
    }

    void addsToWhatTheListHolds()
    {
        TDataRefList list;
        list.Add(m_root.Items->Get(2));
        QueryItems(m_root, nullptr, {}, list);
        QCOMPARE(list.Count(), 4);
        QCOMPARE(list.Get(0), m_root.Items->Get(2));
    }
};

QTEST_APPLESS_MAIN(TestItemQuery)
#include "tst_itemquery.moc"
