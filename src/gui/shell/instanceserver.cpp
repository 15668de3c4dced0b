#include "gui/shell/instanceserver.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

TInstanceServer::TInstanceServer(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &TInstanceServer::accept);
}

bool TInstanceServer::Listen(const QString &serverName)
{
    QLocalServer::removeServer(serverName);
    return m_server->listen(serverName);
}

void TInstanceServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [socket] {
            // A peer that sends more than a handover is not one of ours.
            if (socket->bytesAvailable() > THandover::MaxSize)
                socket->abort();
        });
    }
}

void TInstanceServer::readFrom(QLocalSocket *socket)
{
    const QByteArray message = socket->read(THandover::MaxSize + 1);
    socket->deleteLater();
    if (const auto handover = THandover::Decode(message))
        Q_EMIT HandoverReceived(*handover);
}

bool ActivatePreviousInstance(const QString &serverName, const QString &fileName, int timeoutMs)
{
    THandover handover;
    handover.FileName = fileName;
    const QByteArray message = handover.Encode();
    // The first copy may still be starting: try again until the deadline.
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(message);
            const bool sent = socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}
