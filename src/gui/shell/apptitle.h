#pragma once

#include <QString>

// The application title ("Brimlow Tunebase 1.0"): the caption of message
// boxes and the start of the main window's title.  Kept here, not as Qt's
// application display name, which the window system would append to every
// window title ("Preferences — Brimlow Tunebase 1.0").
QString ApplicationTitle();
void SetApplicationTitle(const QString &title);
