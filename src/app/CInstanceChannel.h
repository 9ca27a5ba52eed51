#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;

// How a second start of the wizard hands the databases it was given (a file
// manager opening .nsf or .dxl files) to the instance already running: a local
// socket beside the single-instance lock, in $XDG_RUNTIME_DIR, that only this
// user can open. The running instance lists the paths in Step 1.
//
// The message is "tesseldoc-open 1\n" and one absolute path per line, UTF-8.
class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const QStringList& paths)>;

    explicit CInstanceChannel(QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Listens for later starts; call it while holding the single-instance lock
    // (a socket left by an instance that died is replaced). False when the
    // socket could not be made.
    bool Listen(Receiver receiver);

    // Sends paths to the running instance; true when it took them.
    static bool Send(const QStringList& paths, int timeoutMs = 3000);

    static QString SocketPath();
    // The paths of one message; empty when it is not one of ours.
    static QStringList Parse(const QByteArray& message);

private:
    void OnConnection();

    QLocalServer* m_server = nullptr;
    Receiver m_receiver;
};
