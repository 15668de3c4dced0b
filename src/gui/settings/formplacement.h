#pragma once

class QWidget;
class TSettingsStore;

// Windows remember where they were: each window's placement is kept in the
// settings store under its object name.  Nothing is reported: a placement
// that cannot be used, or cannot be read, gives a centred window.
class TFormPlacement {
public:
    // Called before a window is shown.  On Wayland, where programs cannot
    // place their windows, only the size and the maximised state are used.
    static void RestorePlacement(QWidget *window, const TSettingsStore &store);
    // Called when a window closes.
    static void SavePlacement(const QWidget *window, TSettingsStore &store);
    // Places a dialog over its owner within the owner's screen; without an
    // owner, centres it on the screen.
    static void CenterOnOwner(QWidget *window, const QWidget *owner);
    static void CenterOnScreen(QWidget *window);
};
