#pragma once

#include <QString>

class QObject;

// What the core asks of the desktop: opening files and addresses, choosing a
// folder, message boxes and the busy cursor.  The core is built without the
// widget toolkit, so the GUI library implements this interface and installs
// it at start-up; until then (and in command-line tools and tests) a quiet
// stand-in answers: messages go to the log, questions get the cautious
// answer, nothing is opened and no folder is chosen.
class TDesktopServices {
public:
    enum class TShowMode { Normal, Minimized, Maximized, Hidden };
    enum class TAnswer { Yes, No, Cancel };

    virtual ~TDesktopServices() = default;

    // Opens a program, document or URL with the desktop's default action;
    // true when the desktop accepted it.
    virtual bool RunProgram(const QString &file, const QString &parameters, const QString &folder,
                            TShowMode showMode) = 0;
    // Modal folder chooser; true and the chosen folder in `folder`, or false
    // when cancelled.  `owner` is the window it is modal to (may be null).
    virtual bool BrowseForFolder(const QString &title, const QString &startFolder, QString &folder,
                                 QObject *owner) = 0;

    // Message boxes captioned with the application title.
    virtual void ShowInfo(const QString &text) = 0;
    virtual void ShowError(const QString &text) = 0;
    virtual TAnswer AskYesNo(const QString &text) = 0;            // Yes or No
    virtual TAnswer AskYesNoCancel(const QString &text) = 0;      // Yes, No or Cancel

    virtual void SetBusyCursor() = 0;
    virtual void ResetCursor() = 0;
};

// Installs the desktop's implementation (not owned; null restores the quiet
// stand-in) and returns the one in use.
void SetDesktopServices(TDesktopServices *services);
TDesktopServices &DesktopServices();

// Shorthands for the installed services.
bool RunProgram(const QString &file, const QString &parameters = QString(),
                const QString &folder = QString(),
                TDesktopServices::TShowMode showMode = TDesktopServices::TShowMode::Normal);
bool BrowseForFolder(const QString &title, const QString &startFolder, QString &folder,
                     QObject *owner = nullptr);
void ShowInfo(const QString &text);
void ShowError(const QString &text);
TDesktopServices::TAnswer AskYesNo(const QString &text);
TDesktopServices::TAnswer AskYesNoCancel(const QString &text);
void SetBusyCursor();
void ResetCursor();

// Sets the busy cursor for the lifetime of the object.
class TBusyCursor {
public:
    TBusyCursor() { SetBusyCursor(); }
    ~TBusyCursor() { ResetCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};
