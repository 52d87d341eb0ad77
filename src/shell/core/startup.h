#pragma once

#include "form/splash_form.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <functional>

namespace vx {

// What the start-up asks of the window system.
struct StartupHooks {
    std::function<void()> showSplash;    // modeless, no owner
    std::function<void()> repaintSplash; // drawn now, not when the event loop gets to it
    std::function<void()> loadMain;      // creates the main window and runs its load
    std::function<void()> showMain;
    std::function<void()> unloadSplash;
    // Messages of the main window's load that wait for the splash to go, so none stands over it.
    std::function<void()> tellAfterSplash;
    std::function<bool()> otherCopyRunning;
    std::function<void()> activateOtherCopy;
    std::function<void()> endProgram;
    // Brings forward, when another copy asks: the main window once it is shown; before that
    // whatever the start-up shows (the splash, or a prompt over it).
    std::function<void()> bringMainForward;
    std::function<void()> bringStartupForward;
};

// The start routine and the splash window's handlers: the splash shows the version, and on its
// first tick it loads the main window (which finds the counter), shows it and unloads itself.
class Startup {
    Q_DECLARE_TR_FUNCTIONS(Startup)

public:
    Startup(SplashForm& splash, Platform& platform, AppInfo& app, StartupHooks hooks)
        : m_splash(splash)
        , m_platform(platform)
        , m_app(app)
        , m_hooks(std::move(hooks)) {}

    // Module1's start routine. Returns false when the program ended at once.
    bool Main();
    void Form_Load();
    void Timer1_Timer();
    // Ends this copy when another one runs here already, after pointing the operator to it.
    // Returns whether it ended the program.
    bool CheckExist(FormWindow& window);
    // Another copy started here and asks this one to come to the front.
    void OtherCopyStarted();

    static QString alreadyRunningMessage();

private:
    SplashForm& m_splash;
    Platform& m_platform;
    AppInfo& m_app;
    StartupHooks m_hooks;
    bool m_mainShown = false;
};

} // namespace vx
