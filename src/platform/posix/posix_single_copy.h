#pragma once

#include "platform/single_copy.h"

#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace vx {

// The first copy holds a lock and listens on a local socket for a second one, which asks it to
// come to the front. Both are the operating system's own: a lock that dies with its holder, and a
// Unix socket, in a folder of the user's own ($XDG_RUNTIME_DIR/vx), removed when the copy ends.
class PosixSingleCopy : public QObject, public SingleCopy {
public:
    explicit PosixSingleCopy(const QString& workingDirectory, QObject* parent = nullptr);
    ~PosixSingleCopy() override;

    bool claim() override;
    void callFirstCopy() override;

private:
    void listen();
    void acceptCallers();

    QByteArray m_lockPath;
    QByteArray m_socketPath;
    int m_lock = -1;
    int m_server = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace vx
