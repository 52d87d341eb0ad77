#pragma once

#include "form/splash_form.h"

#include <QFrame>
#include <QTimer>

namespace vx::ui {

// The splash window on the screen: a bordered box without caption, centred, not in the taskbar.
class SplashWindow : public QFrame {
    Q_OBJECT
public:
    explicit SplashWindow(SplashForm& form);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void followTimer();

    SplashForm& m_form;
    QTimer m_timer;
    bool m_painted = false;
};

} // namespace vx::ui
