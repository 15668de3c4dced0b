#pragma once

#include <QString>

class QPrinter;
class QWidget;

// What the output windows ask of the desktop besides message boxes: whether
// a printer is installed, the print dialog and the save dialog.  Tests
// install their own answers.
class TOutputServices {
public:
    virtual ~TOutputServices() = default;

    virtual bool HasPrinter() = 0;
    // The system's print dialog on printer, offering pages 1 to pageCount;
    // true when confirmed (the printer then holds the choices).
    virtual bool ChoosePrinter(QPrinter &printer, int pageCount, QWidget *owner) = 0;
    // A save dialog; the chosen path, or an empty string when cancelled.
    // defaultSuffix is appended to a name typed without one.
    virtual QString ChooseSaveFile(QWidget *owner, const QString &title, const QString &startPath,
                                   const QString &filter, const QString &defaultSuffix) = 0;
};

// Installs an implementation (not owned; null restores the desktop's) and
// returns the one in use.
void SetOutputServices(TOutputServices *services);
TOutputServices &OutputServices();
