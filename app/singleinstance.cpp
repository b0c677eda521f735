#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
const QByteArray showAnswer = QByteArrayLiteral("shown\n");
const int waitMs = 3000;

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QDir::homePath() : user;
}

} // namespace

SingleInstance::SingleInstance(const QString &dataDir, QObject *parent)
    : QObject(parent)
{
    // The folder's path as written, not resolved: it may not exist before the
    // first start has made it.
    const QByteArray key = (userName() + QLatin1Char('\n') + QDir::cleanPath(QDir(dataDir).absolutePath())).toUtf8();
    m_serverName = QStringLiteral("tessera-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    // Two starts at the same moment take turns; a lock left by a crashed run
    // is taken over (QLockFile knows its owner is gone).
    QLockFile turn(QDir::temp().filePath(m_serverName + QStringLiteral(".lock")));
    turn.tryLock(waitMs);
    if (handOver())
        return false;
    QLocalServer::removeServer(m_serverName); // a socket nobody answers on
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    if (!m_server->listen(m_serverName))
        qWarning("tessera: cannot listen on %s: %s", qPrintable(m_serverName), qPrintable(m_server->errorString()));
    return true;
}

bool SingleInstance::handOver() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(waitMs))
        return false;
    socket.write(showRequest);
    if (!socket.waitForBytesWritten(waitMs))
        return false;
    // The running program answers once it has come forward; one that takes
    // the connection but never answers still holds the records.
    socket.waitForReadyRead(waitMs);
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == showRequest) {
                emit activationRequested();
                socket->write(showAnswer);
            }
            socket->disconnectFromServer();
        });
    }
}
