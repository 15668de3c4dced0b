#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the crash-safety writer (or any program) as a child process.
class TChildRun {
public:
    // Runs in the child between fork and exec (limits, another user).
    using Setup = std::function<void()>;

    TChildRun(const QString &program, const QStringList &args, const Setup &setup = {});
    ~TChildRun();

    // Waits until the child has said "writing"; false when it ended or
    // did not say it within the time.
    bool waitUntilWriting(int msecs = 60000);
    // Sends SIGKILL unless it has ended already, and waits for the end.
    void kill();
    // Waits for the end; false when it did not end within the time.
    bool finish(int msecs = 120000);

    bool exitedNormally() const;
    int exitCode() const { return m_process.exitCode(); }
    QByteArray output() const { return m_output; }
    QByteArray errors() const { return m_errors; }

private:
    void collect();

    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};

// The names in a folder, hidden ones included, sorted.
QStringList folderEntries(const QString &folder);
