#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace vx {

// One copy of the program per working directory (a copy per folder may serve a counter of its own).
// The first copy holds a lock and listens on a local socket for a second one, which asks it to
// come to the front. Both are the operating system's own: a lock that dies with its holder, and a
// Unix socket.
class SingleInstance : public QObject {
public:
    explicit SingleInstance(const QString& workingDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock if no other copy holds it; false when another copy runs here.
    bool claim();
    // Asks the running copy to bring its window to the front.
    void activateOther();
    // Called in the running copy when another one asks.
    void setOnActivate(std::function<void()> handler) { m_onActivate = std::move(handler); }

private:
    void listen();
    void acceptCallers();

    QString m_lockPath;
    QByteArray m_socketPath;
    int m_lock = -1;
    int m_server = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onActivate;
};

} // namespace vx
