#include "relinkscenario.h"

#include "core/mp3model/mp3track.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

const QStringList Words{QStringLiteral("Blue"),  QStringLiteral("Night"), QStringLiteral("River"),
                        QStringLiteral("Stone"), QStringLiteral("Echo"),  QStringLiteral("Silver"),
                        QStringLiteral("Moon"),  QStringLiteral("Fire"),  QStringLiteral("Glass"),
                        QStringLiteral("Paper"), QStringLiteral("Velvet"), QStringLiteral("North"),
                        QStringLiteral("Song"),  QStringLiteral("Rain"),  QStringLiteral("Garden"),
                        QStringLiteral("Light")};

QString word(QRandomGenerator &random)
{
    return Words.at(random.bounded(int(Words.size())));
}

// "Artist/Album/07 - Title.mp3": the part of a path that moves with a file.
QString tail(QRandomGenerator &random)
{
    return QStringLiteral("%1 %2/%3 %4 (%5)/%6 - %7 %8 %9.mp3")
        .arg(word(random), word(random), word(random), word(random))
        .arg(1960 + random.bounded(60))
        .arg(1 + random.bounded(20), 2, 10, QLatin1Char('0'))
        .arg(word(random), word(random), word(random));
}

qint64 fileSize(QRandomGenerator &random, TScenarioSizes sizes)
{
    switch (sizes) {
    case TScenarioSizes::Realistic:
        return 2'000'000 + random.bounded(10'000'000);
    case TScenarioSizes::FewDistinct:
        return 4'000'000 + random.bounded(10) * 150 + random.bounded(2) * 3'000'000;
    case TScenarioSizes::AllEqual:
        break;
    }
    return 4'000'000;
}

// A small edit, as a user renaming a file makes it.
QString renamed(QRandomGenerator &random, QString path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    switch (random.bounded(3)) {
    case 0:
        return path.replace(QLatin1String(" - "), QLatin1String(" "));
    case 1:
        return path.insert(slash + 1, QStringLiteral("x"));
    default:
        return path.left(slash + 1) + path.mid(slash + 1).toLower();
    }
}

} // namespace

void BuildRelinkScenario(TRelinkScenario &scenario, quint32 seed, int trackCount, int fileCount,
                         TScenarioSizes sizes)
{
    QRandomGenerator random(seed);
    QStringList tails;
    for (int i = 0; i < fileCount; ++i) {
        tails.append(tail(random));
        scenario.Found.append({QStringLiteral("/media/new/") + tails.last(), fileSize(random, sizes)});
    }
    // Copies in a second folder: two files fit one track equally.
    for (int i = 0; i < fileCount / 50; ++i) {
        const int copied = random.bounded(fileCount);
        scenario.Found.append({QStringLiteral("/media/backup/") + tails.at(copied), scenario.Found.at(copied).Size});
    }

    for (int t = 0; t < trackCount; ++t) {
        auto *track = static_cast<TMp3Track *>(scenario.Root.GetTracks()->CreateItem());
        const int kind = random.bounded(10);
        const int file = random.bounded(fileCount);
        track->FilePath = QStringLiteral("/home/user/Music/") + (kind == 9 ? tail(random) : tails.at(file));
        if (kind >= 6 && kind < 9)
            track->FilePath = renamed(random, track->FilePath);
        const qint64 size = kind == 9 ? fileSize(random, sizes) : scenario.Found.at(file).Size;
        const int change = random.bounded(10);
        track->Size = change == 0 ? 0 : qint32(change < 7 ? size : size + random.bounded(-400, 400));
        scenario.Missing.append(TFileMatch(track));
    }
}
