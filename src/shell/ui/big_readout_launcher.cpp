#include "big_readout_launcher.h"

#include <QEvent>

namespace vx::ui {

BigReadoutLauncher::BigReadoutLauncher(MainForm& form, MainWindow& window, Platform& platform,
                                       RecordKeyShortcuts& recordKey)
    : m_form(form)
    , m_platform(platform)
    , m_recordKey(recordKey) {
    m_f11 = new QShortcut(QKeySequence(Qt::Key_F11), &window);
    connect(m_f11, &QShortcut::activated, this, &BigReadoutLauncher::toggle);
    m_frame = window.findChild<QWidget*>(form.Frame顯示.name());
    if (m_frame)
        m_frame->installEventFilter(this);
}

BigReadoutLauncher::~BigReadoutLauncher() {
    delete m_f11.data();
    if (m_frame)
        m_frame->removeEventFilter(this);
}

BigReadoutWindow& BigReadoutLauncher::bigReadout() {
    if (!m_bigReadout) {
        m_bigReadout =
            std::make_unique<BigReadoutWindow>(m_form, m_platform.settings, m_platform.app.title);
        m_recordKey.listenOn(m_bigReadout.get());
    }
    return *m_bigReadout;
}

void BigReadoutLauncher::toggle() {
    if (m_bigReadout && m_bigReadout->isVisible())
        m_bigReadout->close();
    else
        bigReadout().open();
}

void BigReadoutLauncher::mainUnloading() {
    if (m_bigReadout && m_bigReadout->isVisible())
        m_bigReadout->close();
}

bool BigReadoutLauncher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        bigReadout().open();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vx::ui
