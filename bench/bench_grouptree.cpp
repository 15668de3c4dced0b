// Speed of the explorer's folder tree over a generated library of 100,000
// tracks, grouped Artist / Album and Genre / Artist / Album: the first
// level as the window shows it, then opening the largest folder at each
// level down to the tracks of an album, as a user clicks through.  Each
// folder is built the way the explorer builds it: the values in use are
// counted over the tracks that pass the folder's filter, the lookup list is
// put in order, and a node is added for each value in use.
//
//   bench_grouptree                 print the figures
//   bench_grouptree --tracks N      another collection size

#include "benchcollection.h"

#include "core/data/datafield.h"
#include "core/data/datatree.h"
#include "core/data/fieldlists.h"
#include "gui/explorer/folderfilter.h"
#include "core/mp3model/mp3fieldids.h"
#include "core/mp3model/mp3root.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

// A user notices a wait beyond a tenth of a second.
constexpr double targetSeconds = 0.1;

class TCountingNode : public TTreeNode {
public:
    void setHasChildren(bool) override {}
};

class TCountingTree : public TDataTree {
public:
    TTreeNode *addNode(TTreeNode *, const QString &text, TDataObject *, int, int) override
    {
        ++Nodes;
        Characters += text.size();
        return &m_node;
    }
    int Nodes = 0;
    qsizetype Characters = 0;

private:
    TCountingNode m_node;
};

struct TFolder {
    QList<TLookupItem *> Values;  // the subfolders, in tree order
    int NoneCount = 0;            // tracks without a value
};

// The subfolders of a folder grouped by field, over the tracks filter
// accepts.
TFolder subfolders(TMp3Root &root, const TDataField *field, const TItemFilter &filter, TCountingTree &tree)
{
    TFolder folder;
    root.CountUsage(field, &filter, folder.NoneCount, true);
    TLookupList *lookups = root.GetLookupList(field);
    lookups->sortBySortName();
    for (int i = 0; i < lookups->Count(); ++i) {
        TLookupItem *value = lookups->Get(i);
        if (value->UseCount > 0) {
            folder.Values << value;
            value->AddToTree(tree, nullptr);
        }
    }
    return folder;
}

// The subfolder with the most tracks.
TLookupItem *largest(const TFolder &folder)
{
    TLookupItem *found = nullptr;
    for (TLookupItem *value : folder.Values) {
        if (!found || value->UseCount > found->UseCount)
            found = value;
    }
    return found;
}

double secondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

class TBench {
public:
    explicit TBench(TMp3Root &root) : m_root(root), m_out(stdout) {}

    void grouping(const QList<qint32> &fieldIDs, const QString &name);

private:
    void report(const QString &what, double seconds, int count, const QString &unit);

    TMp3Root &m_root;
    QTextStream m_out;
};

void TBench::report(const QString &what, double seconds, int count, const QString &unit)
{
    m_out << "  " << what.leftJustified(44) << QString::number(seconds, 'f', 4) << " s (target < " << targetSeconds
          << " s) " << (seconds < targetSeconds ? "ok" : "MISSED") << ", " << count << ' ' << unit << Qt::endl;
}

void TBench::grouping(const QList<qint32> &fieldIDs, const QString &name)
{
    m_out << name << Qt::endl;
    TFolderFilter filter(nullptr);
    QString path;
    for (const qint32 id : fieldIDs) {
        const TDataField *field = m_root.Fields->FindByID(id);
        TCountingTree tree;
        QElapsedTimer timer;
        timer.start();
        const TFolder folder = subfolders(m_root, field, filter, tree);
        const double seconds = secondsSince(timer);
        report(path.isEmpty() ? QStringLiteral("first level") : QStringLiteral("open ") + path, seconds,
               tree.Nodes, QStringLiteral("folders"));
        TLookupItem *next = largest(folder);
        if (!next)
            return;
        filter.AddLevel(field, next);
        path += (path.isEmpty() ? QString() : QStringLiteral(" / ")) + next->GetDisplayName().left(20);
    }
    // The album's tracks, in track order, as the list beside the tree shows
    // them.
    QElapsedTimer timer;
    timer.start();
    TDataRefList tracks;
    for (TDataItem *track : *m_root.Items) {
        if (filter.Matches(track))
            tracks.Add(track);
    }
    tracks.SortByFields(TSortKeys{{m_root.Fields->FindByID(Mp3FieldIds::TrackIndex), 1}});
    report(QStringLiteral("open ") + path, secondsSince(timer), tracks.Count(), QStringLiteral("tracks"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int trackCount = benchTrackCount(args, 100000);

    TMp3Root root;
    const TBenchCollectionShape shape = fillBenchCollection(root, trackCount);
    QTextStream(stdout) << "collection: " << shape.Tracks << " tracks, " << shape.Artists << " artists, "
                        << shape.Albums << " albums, " << shape.Genres << " genres" << Qt::endl;
    using namespace Mp3FieldIds;
    TBench bench(root);
    bench.grouping({Artist, Album}, QStringLiteral("grouped by Artist / Album"));
    bench.grouping({Genre, Artist, Album}, QStringLiteral("grouped by Genre / Artist / Album"));
    return 0;
}
