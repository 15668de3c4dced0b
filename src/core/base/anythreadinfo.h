#pragma once

#include <QString>

// ShowInfo (desktopservices.h) for code that may run on a worker thread or
// in the middle of reading a file: with the desktop installed, the message
// box comes up once the event loop runs again; otherwise (the command
// line, tests) the message is logged at once.  Lives beside the desktop
// services, which know whether a desktop is installed.
void ShowInfoFromAnyThread(const QString &text);
