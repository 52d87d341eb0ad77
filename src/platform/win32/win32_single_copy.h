#pragma once

#include "platform/single_copy.h"

#include <QObject>
#include <QString>
#include <memory>
#include <windows.h>

class QWinEventNotifier;

namespace vx {

// The first copy in a folder holds a named mutex of the user's session, which the system destroys
// when the last handle goes (when that copy ends or dies), and waits on a named event that a
// second copy sets to bring it to the front.
class Win32SingleCopy : public QObject, public SingleCopy {
public:
    explicit Win32SingleCopy(const QString& workingDirectory, QObject* parent = nullptr);
    ~Win32SingleCopy() override;

    bool claim() override;
    void callFirstCopy() override;

private:
    QString m_mutexName;
    QString m_eventName;
    HANDLE m_mutex = nullptr;
    HANDLE m_event = nullptr;
    std::unique_ptr<QWinEventNotifier> m_notifier;
};

} // namespace vx
