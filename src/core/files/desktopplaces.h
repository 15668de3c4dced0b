#pragma once

#include <QList>
#include <QString>

class TMountTable;

// One entry of the disk explorer's top level: the places a user starts
// from, in place of a desktop namespace.
struct TDesktopPlace {
    QString Name;       // what the explorer shows
    QString Path;       // absolute, cleaned
    int DriveKind = 0;  // TDriveKind: the picture to show
};

// Where the user's standard folders are; empty when the system has none.
struct TStandardFolders {
    QString Home;
    QString Music;
    QString Desktop;
    // The folders of the running user (XDG user directories).
    static TStandardFolders OfUser();
};

// Home, Music and Desktop (each when it exists and is not home itself),
// the file system "/", then every mounted removable, optical or network
// volume by its name.
QList<TDesktopPlace> DesktopPlaces(const TStandardFolders &folders, const TMountTable &mounts);

// Whether path is folder or lies below it, compared by whole path
// components ("/music" holds "/music/a" but not "/music2").
bool IsPathWithin(const QString &path, const QString &folder);
