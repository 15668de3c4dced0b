#pragma once

#include <QStringList>

#include <functional>
#include <memory>

class QApplication;
class TfmMainBase;
class TMp3Prefs;
class TUpdateService;

using TMainWindowFactory = std::function<std::unique_ptr<TfmMainBase>(TMp3Prefs &, TUpdateService &)>;

// The program's life: checks the Qt runtime, hands over to a copy that is
// already running, loads the settings, shows the splash window while the
// main window is created, runs the event loop, and at the end frees the main
// window and saves the settings.  arguments: those after the program's
// name.  Returns the exit status.
int RunTunebase(QApplication &app, const QStringList &arguments, const TMainWindowFactory &createMainWindow);

// Application name, organisation and version, set before anything else.
void SetApplicationIdentity();
