#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class TProcess;

// What a process needs from the progress display that it owns while it runs
// with ShowWindow set: the GUI implements it with its progress window (which
// also knows the window it is placed over and re-enables), the command line
// with a terminal progress line.  Core code never sees a widget.
class TProcessWindow {
public:
    virtual ~TProcessWindow() = default;

    // Places the display over its owner and shows it, not modally.
    virtual void showProgress() = 0;
    // Re-enables the owner and hides the display.
    virtual void hideProgress() = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual void setMessage(const QString &message) = 0;
    // The percentage shown, 0 to 100.
    virtual int percent() const = 0;
    virtual void setPercent(int percent) = 0;
    // Handles pending user-interface events, so that a Cancel button and
    // repainting keep working while the operation runs.
    virtual void pumpEvents() = 0;
};

// The frame of every long operation: counts steps against Max, reports the
// percentage and a one-line message either to its progress window
// (ShowWindow) or to the callbacks, lets the user cancel between steps and
// notes the start and end of every run in Log.
//
// Callers follow one pattern: set ShowWindow, Start, set Max, SetCaption,
// SetMessage, then per step: stop when IsCancelled, do the step, StepIt;
// finally Finish.
class TProcess {
public:
    using TProgressEvent = std::function<void(TProcess *sender, int percent)>;
    using TMessageEvent = std::function<void(TProcess *sender, const QString &text)>;

    TProcess();
    // The process owns window (may be null: nothing is shown then).
    explicit TProcess(std::unique_ptr<TProcessWindow> window);
    virtual ~TProcess();
    TProcess(const TProcess &) = delete;
    TProcess &operator=(const TProcess &) = delete;

    // Set by Cancel (from any thread), cleared by Start.
    std::atomic<bool> Cancelled = false;
    // Receive the percentage and the message when ShowWindow is false.
    TProgressEvent OnProgress;
    TMessageEvent OnMessage;
    // One line per Start and per Finish; never cleared.
    QStringList Log;
    // True: progress and messages go to the window; false: to the callbacks.
    bool ShowWindow = true;
    // Steps of the current run; 0 (or less) when there is no total.
    int Max = 0;
    // The current step, kept in 0 .. Max-1 when Max is not 0.
    int Position = 0;

    TProcessWindow *Form() const { return m_window.get(); }
    void SetWindow(std::unique_ptr<TProcessWindow> window);

    void Start();
    void Finish();
    void SetCaption(const QString &text);
    void SetMessage(const QString &text);
    void SetPosition(int value);
    void StepIt();
    void Cancel();
    bool IsCancelled() const;

private:
    void addLogLine(const QString &prefix);

    std::unique_ptr<TProcessWindow> m_window;
};
