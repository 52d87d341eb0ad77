#include "application.h"

#include "platform/untrapped.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace vx::ui {

namespace {
void bringForward(QWidget* window, bool restore) {
    if (!window)
        return;
    if (restore)
        window->showNormal();
    window->raise();
    window->activateWindow();
}
} // namespace

Application::Application(const OperatingSystem& system)
    : m_system(system)
    , m_files(system.makeNumberedFiles())
    , m_devices(system.makeSerialDevices([this](int port) {
        // Read at each use, so a device named while the program runs is found.
        return m_settings.readSetting(m_app.title, QStringLiteral("Ports"), QString::number(port))
            .value_or(QString());
    }))
    , m_instance(system.makeSingleCopy(QDir::currentPath())) {
    m_dialogs.setApplicationTitle(m_app.title);
    QApplication::setApplicationName(m_app.title);
    QGuiApplication::setDesktopFileName(QStringLiteral(VX_APP_ID));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/vx/icon-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    // The program ends when no window is loaded any more, not when a dialog closes while the
    // splash is the only other window.
    QApplication::setQuitOnLastWindowClosed(false);
    m_instance->setOnCalled([this] { m_startup->OtherCopyStarted(); });

    StartupHooks hooks;
    hooks.showSplash = [this] {
        m_splashWindow = std::make_unique<SplashWindow>(m_splash);
        m_forms.add(m_splash.window);
        m_startup->Form_Load();
        m_splashWindow->show();
    };
    hooks.repaintSplash = [this] {
        m_splashWindow->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    hooks.loadMain = [this] { loadMain(); };
    hooks.showMain = [this] { showMain(); };
    hooks.unloadSplash = [this] { unloadSplash(); };
    hooks.tellAfterSplash = [this] {
        if (m_recordKey && m_main->window.loaded())
            m_recordKey->tellProblemOnce();
    };
    hooks.otherCopyRunning = [this] { return !m_instance->claim(); };
    hooks.activateOtherCopy = [this] { m_instance->callFirstCopy(); };
    hooks.endProgram = [this] { m_ended = true; };
    hooks.bringMainForward = [this] {
        if (m_mainWindow && m_main->window.loaded())
            bringForward(m_mainWindow.get(), true);
        bringForward(QApplication::activeModalWidget(), false);
    };
    hooks.bringStartupForward = [this] {
        QWidget* modal = QApplication::activeModalWidget();
        bringForward(modal ? modal : m_splashWindow.get(), false);
    };
    m_startup = std::make_unique<Startup>(m_splash, m_platform, m_app, std::move(hooks));
    m_splash.Timer1.setHandler([this] { m_startup->Timer1_Timer(); });
}

Application::~Application() {
    // The window goes before the form it shows; the serial port is released last.
    m_bigReadout.reset();
    m_recordKey.reset();
    m_mainWindow.reset();
    m_handlers.reset();
    m_main.reset();
    m_serial.reset();
    m_splashWindow.reset();
}

int Application::run() {
    if (!m_startup->Main() || m_ended)
        return 0;
    return QApplication::exec();
}

void Application::loadMain() {
    m_serial = m_system.makeSerial(*m_devices);
    m_main = std::make_unique<MainForm>(*m_serial);
    m_handlers = std::make_unique<MainHandlers>(*m_main, m_state, m_platform, m_forms, *m_devices,
                                                &m_splash.lblProductName);
    m_commands = mainWindowCommands(*m_main, *m_handlers);
    m_mainWindow = std::make_unique<MainWindow>(
        *m_main, [this](const Observable& source) { dispatch(source); }, [this] { unloadMain(); });
    m_recordKey = std::make_unique<RecordKeyShortcuts>(
        *m_main, m_platform, [this](const Observable& source) { dispatch(source); });
    m_recordKey->listenOn(m_mainWindow.get());
    m_bigReadout = std::make_unique<BigReadoutLauncher>(
        *m_main, *m_mainWindow, m_platform, *m_recordKey,
        [this](const Observable& source) { dispatch(source); });
    m_forms.add(m_main->window);
    m_main->MSComm1.setOnComm(
        [this] { runUntrapped(m_dialogs, [this] { m_handlers->events.MSComm1_OnComm(); }); });
    m_main->Timer1.setHandler([this] { m_handlers->poll.Timer1_Timer(); });
    m_handlers->toolTips.refresh();
    m_handlers->startup.Form_Load();
}

void Application::showMain() {
    if (m_mainWindow && m_main->window.loaded())
        m_mainWindow->show();
}

void Application::unloadSplash() {
    m_forms.remove(m_splash.window);
    m_splash.window.markUnloaded();
    m_splash.Timer1.setEnabled(false);
    if (m_splashWindow) {
        m_splashWindow->hide();
        m_splashWindow.release()->deleteLater();
    }
    if (m_forms.count() == 0)
        QCoreApplication::quit(); // the main window was closed while it loaded
}

void Application::unloadMain() {
    int16_t cancel = 0;
    m_bigReadout->mainUnloading();
    runUntrapped(m_dialogs, [&] { m_handlers->shutdown.Form_Unload(cancel); });
    m_forms.remove(m_main->window);
    if (m_forms.count() == 0)
        QCoreApplication::quit();
}

void Application::dispatch(const Observable& source) {
    const auto it = m_commands.find(&source);
    if (it == m_commands.end()) {
        // Every control and item of the window is bound; a test holds the table to that.
        qCritical("vx: a control of the main window has no command");
        return;
    }
    runUntrapped(m_dialogs, [&] { it->second(); });
}

} // namespace vx::ui
