#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <unistd.h>

namespace vx {

SingleInstance::SingleInstance(const QString& workingDirectory, QObject* parent)
    : QObject(parent) {
    const QByteArray folder = QDir(workingDirectory).canonicalPath().toUtf8();
    m_key = QStringLiteral("vx-%1-%2")
                .arg(::getuid())
                .arg(QString::fromLatin1(
                    QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)));
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (m_onActivate)
                m_onActivate();
        }
    });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    m_lock = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(m_key + ".lock"));
    m_lock->setStaleLockTime(0); // a lock left by a copy that died is taken over
    if (!m_lock->tryLock(0))
        return false;
    QLocalServer::removeServer(m_key); // a socket left by a copy that died
    m_server.listen(m_key);
    return true;
}

void SingleInstance::activateOther() {
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (socket.waitForConnected(500))
        socket.disconnectFromServer();
}

} // namespace vx
