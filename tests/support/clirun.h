#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What a program run by a test printed, and how it ended.  exitCode is -1
// when it crashed or hung.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    bool ok() const { return exitCode == 0; }
    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
};

// This process's environment with one variable set.
inline QProcessEnvironment environmentWith(const QString &name, const QString &value)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(name, value);
    return environment;
}

// Runs program with args and collects what it printed; a run that takes
// longer than two minutes is killed.
inline CliRun runProgram(const QString &program, const QStringList &args,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    CliRun result;
    if (!process.waitForFinished(120'000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Runs tunebase-cli (the test target's TUNEBASE_CLI_PATH).
inline CliRun runCli(const QStringList &args,
                     const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    return runProgram(QStringLiteral(TUNEBASE_CLI_PATH), args, environment);
}
