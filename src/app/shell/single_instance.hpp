#pragma once
// One running copy per user. The first copy listens on a local socket; a later copy finds it there,
// hands it its arguments (Notify) and ends, and the first copy shows itself (activated).
//
// The socket is named by the key: a key holding a '/' is the socket's path; another key is a name in
// $XDG_RUNTIME_DIR (or Qt's temporary folder without one). The socket is reachable by the same user only.
// A socket left behind by a copy that crashed answers nobody and is replaced; a lock file beside the
// socket keeps two copies that start at the same moment from both claiming it.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace mw {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// An empty key stands for "murmelwerk-" and the user id.
    explicit SingleInstance(QString key = {});
    ~SingleInstance() override;

    /// True: this process is the first; it now listens. False: another copy runs. When the socket cannot
    /// be set up at all, the answer is true too (the program runs, without the guard).
    bool Claim();

    /// Asks the copy listening under `key` (empty: the default) to show itself, handing it `arguments`.
    /// False when no copy listens or the message could not be sent.
    static bool Notify(const QString& key, const QStringList& arguments);

    /// The socket path or name a key stands for.
    static QString ServerName(const QString& key);

Q_SIGNALS:
    /// A later copy asked this one to show itself.
    void activated(QStringList arguments);

private:
    void OnConnection();

    QString key_;
    QLocalServer* server_ = nullptr;
};

} // namespace mw
