#pragma once

#include "core/settings/instancechecker.h"

#include <QObject>

class QLocalServer;
class QLocalSocket;

// The first copy listens here for second copies that hand over their file.
class TInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit TInstanceServer(QObject *parent = nullptr);
    // Listens on the given local socket path, replacing a socket left by a
    // copy that crashed (this copy holds the instance lock).
    bool Listen(const QString &serverName);

Q_SIGNALS:
    void HandoverReceived(const THandover &handover);

private:
    void accept();
    void readFrom(QLocalSocket *socket);

    QLocalServer *m_server;
};

// The second copy's half: asks the running copy to come to the front and,
// when a file is given, to open it.  False when no copy answered in time.
bool ActivatePreviousInstance(const QString &serverName, const QString &fileName, int timeoutMs = 3000);
