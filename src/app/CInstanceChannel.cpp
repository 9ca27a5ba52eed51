#include "app/CInstanceChannel.h"

#include "app/CSingleInstanceLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

namespace {

const QByteArray kHeader = QByteArrayLiteral("tesseldoc-open 1\n");
// Far more than any list of paths a desktop hands over; a peer that sends more
// is not listened to.
constexpr qint64 kMaxMessage = 4 * 1024 * 1024;
constexpr int kMaxPaths = 10000;

}  // namespace

CInstanceChannel::CInstanceChannel(QObject* parent) : QObject(parent) {}

CInstanceChannel::~CInstanceChannel() {
    if (m_server) m_server->close();
}

QString CInstanceChannel::SocketPath() {
    QString path = CSingleInstanceLock::lockFilePath();
    path.chop(int(qstrlen(".lock")));
    return path + QStringLiteral(".socket");
}

QStringList CInstanceChannel::Parse(const QByteArray& message) {
    if (!message.startsWith(kHeader)) return {};
    QStringList paths;
    for (const QByteArray& line : message.mid(kHeader.size()).split('\n')) {
        if (line.isEmpty()) continue;
        const QString path = QString::fromUtf8(line);
        // Only absolute paths that are exactly what was sent (valid UTF-8, no NUL).
        if (path.toUtf8() != line || line.contains('\0') || !QDir::isAbsolutePath(path)) continue;
        paths << QDir::cleanPath(path);
        if (paths.size() >= kMaxPaths) break;
    }
    return paths;
}

bool CInstanceChannel::Listen(Receiver receiver) {
    m_receiver = std::move(receiver);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnConnection);
    }
    const QString path = SocketPath();
    // The lock is ours: a socket file there is left by an instance that has ended.
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void CInstanceChannel::OnConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto* buffer = new QByteArray;
        connect(socket, &QObject::destroyed, this, [buffer] { delete buffer; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage) {
                buffer->clear();
                socket->abort();
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage) return;
            const QStringList paths = Parse(*buffer);
            buffer->clear();
            if (!paths.isEmpty() && m_receiver) {
                // After the socket's signal, so that a dialog the receiver opens
                // does not run inside it.
                QPointer<CInstanceChannel> self(this);
                QTimer::singleShot(0, this, [self, paths] {
                    if (self && self->m_receiver) self->m_receiver(paths);
                });
            }
        });
        // A peer that connects and says nothing is dropped.
        QTimer::singleShot(10000, socket, [socket] { socket->abort(); });
    }
}

bool CInstanceChannel::Send(const QStringList& paths, int timeoutMs) {
    // Only to a socket of this user: without $XDG_RUNTIME_DIR it lies in the
    // shared temporary folder, where another user could have made one.
    const QFileInfo socketFile(SocketPath());
    if (!socketFile.exists() || socketFile.ownerId() != ::getuid()) return false;
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray message = kHeader;
    for (const QString& path : paths)
        if (!path.contains(QLatin1Char('\n'))) message += path.toUtf8() + '\n';
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}
