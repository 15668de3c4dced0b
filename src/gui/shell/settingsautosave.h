#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Writes the settings shortly after the user may have changed one, so that
// a crash, a kill or a power cut costs nothing the user set: not only the
// values of the Preferences, but window places, columns, sort orders, tool
// bars and the folder the explorer shows.
//
// Watches the whole application for what changes settings (a click, a key,
// a window moved, resized or closed) and calls the save after a quiet
// moment; a save that would write what the file already holds writes
// nothing.  The save may decline (while a batch operation runs) by returning
// false; it is asked again later.
class TSettingsAutoSave : public QObject {
    Q_OBJECT
public:
    static constexpr int QuietMilliseconds = 1000;

    explicit TSettingsAutoSave(std::function<bool()> save, QObject *parent = nullptr);
    ~TSettingsAutoSave() override;

    // Starts watching the application's events.
    void Start();
    // A change the events do not show (a command run from code).
    void Schedule();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save();

    std::function<bool()> m_save;
    QTimer m_timer;
    bool m_watching = false;
};
