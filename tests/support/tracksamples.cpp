#include "tracksamples.h"

#include "core/data/lookuplists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "core/mp3model/trackmembers.h"

QString SetSampleValue(TMp3Track &track, const TTrackMember &row, TMp3Root &root)
{
    const QString name = QString::fromLatin1(row.Name);
    return std::visit(TOverloaded{
                          [&](QString TMp3Track::*member) {
                              track.*member = QStringLiteral("/sample/") + name;
                              return track.*member;
                          },
                          [&](qint32 TMp3Track::*member) {
                              track.*member = 1234;
                              return QStringLiteral("1234");
                          },
                          [&](quint8 TMp3Track::*member) {
                              track.*member = 2;
                              return QStringLiteral("2");
                          },
                          [&](bool TMp3Track::*member) {
                              track.*member = true;
                              return QStringLiteral("true");
                          },
                          [&](qint64 TMp3Track::*member) {
                              track.*member = 1700000000000;
                              return QStringLiteral("1700000000000");
                          },
                          [&](TTrackLookupMember lookup) {
                              TLookupItem *item = lookup.List(root)->FindOrAdd(name + QStringLiteral(" sample"));
                              lookup.Set(track, item);
                              return item->DisplayName;
                          },
                          [&](TTrackGenresMember) {
                              track.Genres->Add(root.GenreList->FindOrAdd(QStringLiteral("Sample Genre")));
                              return QStringLiteral("Sample Genre");
                          },
                      },
                      row.Value);
}
