// Times FindOrAdd on a lookup list: adding 50,000 distinct artists one by
// one (as a large scan does), then finding each of them again.

#include "core/data/lookuplists.h"
#include "core/data/rootitem.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

class TBenchRoot : public TRootItem {
public:
    void ReadLookupLists(TDataReader &, qint32, qint32) override {}
    void WriteLookupLists(TDataWriter &) override {}
    bool ImportFromFile(const QString &) override { return false; }
    void MergeLookupLists(TRootItem &) override {}
    TLookupList *GetLookupList(const TDataField *) const override { return nullptr; }
};

QStringList artistNames(int count)
{
    static const char *const first[] = {"Anna", "Bo", "Clara", "Dmitri", "Eve", "Farid", "Greta", "Hugo"};
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        names.append(QStringLiteral("%1 %2 %3")
                         .arg(i % 3 == 0 ? QStringLiteral("The") : QString::fromLatin1(first[i % 8]))
                         .arg(QStringLiteral("Kestrel"))
                         .arg(i, 6, 10, QLatin1Char('0')));
    }
    std::shuffle(names.begin(), names.end(), *QRandomGenerator::global());
    return names;
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main()
{
    constexpr int count = 50000;
    const QStringList names = artistNames(count);
    TBenchRoot root;
    TPersonLookupList artists(&root, false, 6);

    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names)
        artists.FindOrAdd(name);
    const double addMs = elapsedMs(timer);

    timer.restart();
    int found = 0;
    for (const QString &name : names)
        found += artists.FindOrAdd(name.toUpper()) != nullptr;
    const double findMs = elapsedMs(timer);

    timer.restart();
    artists.sortBySortName();
    const double sortMs = elapsedMs(timer);

    std::printf("lookup list FindOrAdd, %d distinct names\n", count);
    std::printf("  add all:        %8.1f ms  (%.2f us per name)\n", addMs, addMs * 1000.0 / count);
    std::printf("  find all again: %8.1f ms  (%.2f us per name, %d found)\n", findMs, findMs * 1000.0 / count,
                found);
    std::printf("  one full sort:  %8.1f ms\n", sortMs);
    std::printf("  list size:      %8d\n", artists.Count());
    return artists.Count() == count && found == count ? 0 : 1;
}
