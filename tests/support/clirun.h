#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// Runs tunebase-cli (the test target's TUNEBASE_CLI_PATH) with args and
// collects what it printed.  exitCode is -1 when it crashed or hung.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TUNEBASE_CLI_PATH), args);
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
