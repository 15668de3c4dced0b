#pragma once

// Shared by the output windows' tests: a small MP3 collection and desktop
// answers scripted for the output windows.

#include "core/data/datalists.h"
#include "core/mp3model/mp3root.h"
#include "core/mp3model/mp3track.h"
#include "gui/output/outputservices.h"

#include <QPrinter>
#include <QStringList>

// Print and save dialogs answered from a script.
class ScriptedOutputServices : public TOutputServices {
public:
    ScriptedOutputServices() { SetOutputServices(this); }
    ~ScriptedOutputServices() override { SetOutputServices(nullptr); }

    bool HasPrinter() override { return hasPrinter; }
    bool ChoosePrinter(QPrinter &, int, QWidget *) override
    {
        ++printDialogs;
        return confirmPrint;
    }
    QString ChooseSaveFile(QWidget *, const QString &title, const QString &startPath, const QString &filter,
                           const QString &defaultSuffix) override
    {
        saveDialogs << QStringList{title, startPath, filter, defaultSuffix};
        return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    }

    bool hasPrinter = false;
    bool confirmPrint = false;
    int printDialogs = 0;
    QStringList saveNames;
    QList<QStringList> saveDialogs;
};

// Tracks "Title n" by the given artists, in that order.
inline void addTracks(TMp3Root &root, const QStringList &artists, TDataRefList &list)
{
    int n = 0;
    for (const QString &artist : artists) {
        auto *track = static_cast<TMp3Track *>(root.GetTracks()->CreateItem());
        track->Title = QStringLiteral("Title %1").arg(++n);
        if (!artist.isEmpty())
            track->Artist = static_cast<TPersonLookupItem *>(root.Artists->FindOrAdd(artist));
        track->Length = 100 + n;
        track->Size = 1000 * n;
        track->Bitrate = 128;
        track->GetID();
        list.Add(track);
    }
}
