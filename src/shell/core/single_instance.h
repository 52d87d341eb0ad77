#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vx {

// One copy of the program per working directory (a copy per folder may serve a counter of its own).
// The first copy holds a lock and listens for a second one, which asks it to come to the front.
class SingleInstance : public QObject {
    Q_OBJECT
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
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    std::function<void()> m_onActivate;
};

} // namespace vx
