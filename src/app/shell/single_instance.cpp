#include "app/shell/single_instance.hpp"

#include <unistd.h>

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace mw {
namespace {

constexpr quint32 kMessageMagic = 0x4D574131; // "MWA1"
constexpr int kWaitMs = 1000;
constexpr qint64 kMaxMessageBytes = 1 << 20;

bool SomeoneListens(const QString& name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool connected = probe.waitForConnected(kWaitMs);
    probe.abort();
    return connected;
}

} // namespace

SingleInstance::SingleInstance(QString key) : key_(std::move(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName(const QString& key) {
    const QString name = key.isEmpty() ? QStringLiteral("murmelwerk-%1").arg(::getuid()) : key;
    if (name.contains(QLatin1Char('/'))) return name;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith(QLatin1Char('/')) && QDir(runtime).exists())
        return runtime + QLatin1Char('/') + name;
    return name;
}

bool SingleInstance::Claim() {
    if (server_ && server_->isListening()) return true;
    const QString name = ServerName(key_);
    const QString lockPath =
        (name.contains(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name) + ".lock";
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0); // held for moments only; a dead holder's lock is stale at once
    const bool locked = lock.tryLock(2 * kWaitMs);
    if (SomeoneListens(name)) return false;
    // Nobody answers: whatever socket file is there was left by a copy that ended.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
    server_->listen(name);
    if (locked) lock.unlock();
    return true;
}

void SingleInstance::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QStringList arguments;
            in >> magic >> arguments;
            if (!in.commitTransaction()) return; // more to come
            socket->disconnectFromServer();
            if (magic == kMessageMagic) Q_EMIT activated(arguments);
        });
    }
}

bool SingleInstance::Notify(const QString& key, const QStringList& arguments) {
    QLocalSocket socket;
    socket.connectToServer(ServerName(key));
    if (!socket.waitForConnected(kWaitMs)) return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kMessageMagic << arguments;
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kWaitMs)) return false;
    socket.disconnectFromServer();
    return true;
}

} // namespace mw
