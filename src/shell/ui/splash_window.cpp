#include "splash_window.h"

#include "control_widget.h"
#include "follow.h"
#include "widget_style.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <map>

// The logo is compiled into this library; a static library's resources are registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace vx::ui {

SplashWindow::SplashWindow(SplashForm& form)
    : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_form(form) {
    setObjectName(form.window.name());
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);

    auto* client = new QWidget(this);
    const int border = frameWidth();
    client->setGeometry(border, border, pixels(SplashForm::ClientWidth),
                        pixels(SplashForm::ClientHeight));
    setFixedSize(client->width() + 2 * border, client->height() + 2 * border);

    registerResources();
    // Named a PNG, so that Qt reads it with its own decoder and loads no image plugin to ask.
    const QPixmap logo(QStringLiteral(":/vx/logo.png"), "PNG");
    std::map<const Control*, QWidget*> widgets;
    for (Control* control : form.controls()) {
        QWidget* parent = control->container() ? widgets.at(control->container()) : client;
        widgets[control] = createControlWidget(*control, parent, logo);
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
    connect(&m_timer, &QTimer::timeout, this, [this] { m_form.Timer1.fire(); });
    follow(this, form.Timer1, [this](unsigned) { followTimer(); });
}

// The half second counts from the first paint, so the splash is on the screen for all of it.
void SplashWindow::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        followTimer();
    }
}

void SplashWindow::followTimer() {
    if (m_form.Timer1.enabled() && m_painted && !m_timer.isActive())
        m_timer.start(m_form.Timer1.interval());
    else if (!m_form.Timer1.enabled())
        m_timer.stop();
}

} // namespace vx::ui
