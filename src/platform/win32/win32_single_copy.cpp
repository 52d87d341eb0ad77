#include "win32_single_copy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QWinEventNotifier>

namespace vx {

namespace {

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace

Win32SingleCopy::Win32SingleCopy(const QString& workingDirectory, QObject* parent)
    : QObject(parent) {
    // Names of the session's own namespace (Local\): another user's copies never meet these. The
    // folder's name is compared as Windows compares file names, regardless of case.
    const QByteArray folder =
        QDir::toNativeSeparators(QDir(workingDirectory).canonicalPath()).toLower().toUtf8();
    const QString key =
        QStringLiteral("Local\\vx-%1")
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)));
    m_mutexName = key + QStringLiteral("-copy");
    m_eventName = key + QStringLiteral("-call");
}

Win32SingleCopy::~Win32SingleCopy() {
    m_notifier.reset();
    if (m_event)
        ::CloseHandle(m_event);
    if (m_mutex)
        ::CloseHandle(m_mutex);
}

bool Win32SingleCopy::claim() {
    if (m_mutex)
        return true;
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, wide(m_mutexName));
    if (!mutex)
        return true; // nothing to hold a claim with: nothing says another copy runs here
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex; // held until this copy ends, or dies: the system lets go of it then
    m_event = ::CreateEventW(nullptr, FALSE, FALSE, wide(m_eventName));
    if (m_event) {
        m_notifier = std::make_unique<QWinEventNotifier>(m_event);
        connect(m_notifier.get(), &QWinEventNotifier::activated, this, [this] { called(); });
    }
    return true;
}

void Win32SingleCopy::callFirstCopy() {
    const HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, wide(m_eventName));
    if (!event)
        return; // the first copy has no event to wait on; this copy ends all the same
    // The copy the user just started may hand the foreground on to the one it calls.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::SetEvent(event);
    ::CloseHandle(event);
}

} // namespace vx
