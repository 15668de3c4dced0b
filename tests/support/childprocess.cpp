#include "childprocess.h"

#include <QDir>

#include <csignal>

TChildRun::TChildRun(const QString &program, const QStringList &args, const Setup &setup)
{
    if (setup)
        m_process.setChildProcessModifier(setup);
    m_process.start(program, args);
    m_process.waitForStarted();
}

TChildRun::~TChildRun()
{
    kill();
}

void TChildRun::collect()
{
    m_output += m_process.readAllStandardOutput();
    m_errors += m_process.readAllStandardError();
}

bool TChildRun::waitUntilWriting(int msecs)
{
    while (!m_output.contains("writing\n")) {
        if (m_process.state() == QProcess::NotRunning || !m_process.waitForReadyRead(msecs))
            return false;
        collect();
    }
    return true;
}

void TChildRun::kill()
{
    // A child that has just ended but was not reaped yet is a zombie:
    // the signal does no harm to it or to any other process.
    if (m_process.state() != QProcess::NotRunning && m_process.processId() > 0)
        ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished(60000);
    collect();
}

bool TChildRun::finish(int msecs)
{
    const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(msecs);
    collect();
    return ended;
}

bool TChildRun::exitedNormally() const
{
    return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit;
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
