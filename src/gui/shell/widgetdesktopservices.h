#pragma once

#include "core/base/desktopservices.h"
#include "core/settings/shellservices.h"

class QWidget;

// The desktop services with widgets: message boxes captioned with the
// application title, the desktop's launcher, the folder chooser and the busy
// cursor.
class TWidgetDesktopServices : public TDesktopServices {
public:
    bool RunProgram(const QString &file, const QString &parameters, const QString &folder,
                    TShowMode showMode) override;
    // Asks the desktop's own tool (xdg-mime) for the default program of the
    // file's type.
    bool HasProgramFor(const QString &file, QString *reason) override;
    bool BrowseForFolder(const QString &title, const QString &startFolder, QString &folder,
                         QObject *owner) override;
    void ShowInfo(const QString &text) override;
    void ShowError(const QString &text) override;
    TAnswer AskYesNo(const QString &text) override;
    TAnswer AskYesNoCancel(const QString &text) override;
    void SetBusyCursor() override;
    void ResetCursor() override;
};

// The question after a failed save while closing.
TSaveFailedChoice AskSaveFailed(const QString &text, QWidget *owner);
// The question before saving over a file another program has changed.
TChangedFileChoice AskFileChanged(const QString &text, QWidget *owner);

// The window message boxes belong to: the active modal dialog or window.
QWidget *MessageBoxOwner();
