#include "big_readout_launcher.h"

#include <QEvent>

namespace vx::ui {

BigReadoutLauncher::BigReadoutLauncher(MainForm& form, MainWindow& window, Platform& platform,
                                       RecordKeyShortcuts& recordKey,
                                       RecordKeyShortcuts::Dispatch dispatch)
    : m_form(form)
    , m_platform(platform)
    , m_recordKey(recordKey)
    , m_dispatch(std::move(dispatch)) {
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
        m_bigReadout = std::make_unique<BigReadoutWindow>(m_form, m_platform);
        m_recordKey.listenOn(m_bigReadout.get());
        // As the menu items' own shortcuts in the main window, run by the same commands.
        for (MenuItem* item : {&m_form.mnuX軸歸零, &m_form.mnuY軸歸零, &m_form.mnu鎖住按鍵}) {
            auto* shortcut = new QShortcut(QKeySequence(item->shortcut()), m_bigReadout.get());
            connect(shortcut, &QShortcut::activated, this, [this, item] { m_dispatch(*item); });
        }
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
