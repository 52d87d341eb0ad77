#pragma once

#include "form_rig.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace vx::e2e {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testing::fileBytes;

inline const QString ThreeAxes = QStringLiteral("三軸顯示"), LinkLost = QStringLiteral("USB無信號"),
                     OpenDialog = QStringLiteral("開啟");

// Places on the main window's client area, below the menu bar, in pixels.
namespace place {
inline const QRect CmdABS{408, 184, 57, 57}, CmdRS{480, 184, 57, 57}, ReadingX{120, 112, 257, 57},
    ReadingZ{120, 256, 257, 57};
} // namespace place

// The fastest speed of the speed menu (a test build may add one beyond the documented five).
inline int topSpeed() {
    testing::ScriptedSerial serial;
    MainForm form(serial);
    int top = 0;
    for (const MenuItem* item : form.baud.items())
        top = std::max(top, item->index().value_or(0));
    return top;
}

// Checks the condition every 50 ms until it holds or the time is up; its last result.
inline bool waitFor(const std::function<bool()>& condition, milliseconds timeout = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (; !condition(); QThread::msleep(50))
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    return true;
}

// Whether the area holds figures: a reading in the large font has hundreds of dark pixels (of a
// middle grey when it is stale), an empty place none.
inline bool showsText(const QImage& image, const QRect& area, bool grey = false) {
    int ink = 0, dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            ink += qGray(image.pixel(x, y)) >= 110 && qGray(image.pixel(x, y)) < 150 ? 1 : 0;
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    return grey ? ink >= 50 && dark < 50 : dark >= 50;
}

// vx against vx515sim in a private X server, in a temporary folder: vx runs in path("work") and
// finds its ports in path("ports"). Every process dies with the test; logs and screenshots stay in
// the build's artefacts folder under the test's name. A step that cannot go on throws, and the
// test fails with the reason.
class Session : public ::testing::Test {
protected:
    // What runs as vx, and the class of its windows; under Wine, the ports' folder is the one
    // that its registry maps COM ports into.
    struct Program {
        QString path = QStringLiteral(VX_PATH);
        QStringList args;
        QString windowClass = QStringLiteral("^vx$");
        QString portsFolder;
    };
    Program m_program;

    void SetUp() override {
        static int argc = 1;
        static char name[] = "e2e_tests", *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv); // for QProcess
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_artefacts =
            QStringLiteral(VX_E2E_ARTIFACTS_DIR "/") + test->test_suite_name() + "." + test->name();
        QDir(m_artefacts).removeRecursively();
        QDir().mkpath(m_artefacts);
        for (const char* dir : {"work", "records", "ports", "config", "home", "tmp"})
            QDir(m_dir.path()).mkdir(QString::fromLatin1(dir));
        // Nothing of the caller's desktop (scaling, style, another display, its language), which
        // would move the places on the screen or change the texts looked for.
        m_env.insert("PATH", qEnvironmentVariable("PATH"));
        m_env.insert("LANG", "C.UTF-8");
        for (const auto& [variable, folder] : {std::pair{"VX_SERIAL_PORT_DIR", "ports"},
                                               {"XDG_CONFIG_HOME", "config"},
                                               {"HOME", "home"},
                                               {"TMPDIR", "tmp"}})
            m_env.insert(variable, path(folder));
        m_env.insert("QT_QPA_PLATFORM", "xcb");
        for (const char* variable : {"WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES"})
            if (qEnvironmentVariableIsSet(variable))
                m_env.insert(variable, qEnvironmentVariable(variable));
        if (m_program.portsFolder.isEmpty())
            m_program.portsFolder = path("ports");
        // A free display, named once it takes clients; no reset when the last client leaves.
        QProcess& xvfb = launch(
            "Xvfb",
            {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
            "xvfb.log", true);
        m_env.insert("DISPLAY", ":" + firstLine(xvfb, 20s, "Xvfb gave no display number"));
    }
    void TearDown() override {
        for (; !m_programs.empty(); m_programs.pop_back()) {
            m_programs.back()->kill();
            m_programs.back()->waitForFinished(5000);
        }
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // From here on vx and the simulator run as another, unprivileged user (a uid without account)
    // who owns home, config, tmp and ports; work and records are shared, as a workshop's may be.
    void runAsUser(uid_t uid) {
        m_runAs = uid;
        for (const QString& dir : {m_dir.path(), m_artefacts, path("work"), path("records")})
            QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
        for (const char* dir : {"home", "config", "tmp", "ports"})
            if (QProcess::execute("chown", {"-R", QStringLiteral("%1:%1").arg(uid), path(dir)}))
                fail(QStringLiteral("cannot give %1 to uid %2").arg(dir).arg(uid));
    }
    QString artefact(const QString& name) const { return m_artefacts + "/" + name; }

    // The simulator on port n, once it is ready (one per session), and commands on its input.
    void startSim(int port, const QStringList& extra = {}) {
        m_sim = &launch(VX515SIM_PATH,
                        QStringList{"--dir", m_program.portsFolder, "--port", QString::number(port),
                                    "--log", artefact("vx515sim.log")} +
                            extra,
                        "vx515sim.err", true);
        firstLine(*m_sim, 5s, "vx515sim was not ready");
    }
    void sim(const QByteArray& commands) {
        if (!m_sim || m_sim->write(commands + "\n") < 0 || !m_sim->waitForBytesWritten(5000))
            fail("the simulator took no command " + commands);
    }
    QByteArray simLog() const { return fileBytes(artefact("vx515sim.log")); }
    bool simLogShows(const QByteArray& text, qsizetype from, milliseconds timeout = 5s) const {
        return waitFor([&] { return simLog().indexOf(text, from) >= 0; }, timeout);
    }

    // The port-settings file in vx's working folder, as the speed and port menus write it.
    void storePortSettings(int port, int speed) {
        const QByteArray text = QByteArray::number(speed);
        QByteArray bytes(40, '\0');
        bytes[0] = static_cast<char>(port);
        bytes[20] = static_cast<char>(text.size());
        bytes.replace(22, text.size(), text);
        testing::writeFileBytes(path(QStringLiteral("work/系統資料電腦")), bytes);
    }

    // A session bus of its own for the programs started from now on, with Qt's accessibility on:
    // the bus starts the accessibility bus when a reader first asks for it.
    void startSessionBus() {
        QProcess& bus =
            launch("dbus-daemon", {"--session", "--nofork", "--print-address=1"}, "dbus.log", true);
        m_env.insert("DBUS_SESSION_BUS_ADDRESS", firstLine(bus, 10s, "no session bus"));
        m_env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    // What a screen reader finds in vx's window of that title: the names of its parts.
    QStringList spoken(const QString& title) const {
        QProcess reader;
        reader.setProcessEnvironment(m_env);
        reader.start("/usr/bin/python3", {VX_E2E_SOURCE_DIR "/read_accessible.py", title});
        if (!reader.waitForFinished(10000)) {
            reader.kill();
            reader.waitForFinished();
        }
        return QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    // The language of the programs started from now on (LANG; LANGUAGE, LC_ALL and LC_MESSAGES
    // are never set).
    void setLanguage(const QString& lang) { m_env.insert("LANG", lang); }
    // vx, with a log of its own per run; earlier runs go on running.
    QProcess& startVx() {
        return *(m_vx = &launch(m_program.path, m_program.args,
                                QStringLiteral("vx-%1.log").arg(++m_vxRuns)));
    }
    // The simulator on port 1 and vx showing a reading: the main window's id.
    QString startWithCounter(const QString& title = ThreeAxes) {
        startSim(1);
        startVx();
        QString main = window(title, 20s);
        if (main.isEmpty() || !showsX(main, "readings"))
            fail("no main window with an X reading; see readings.png");
        return main;
    }
    // Ctrl+X on the main window: whether the latest vx then ended with status 0.
    bool exitVx(const QString& main) {
        key(main, "ctrl+x");
        return m_vx->waitForFinished(10000) && m_vx->exitStatus() == QProcess::NormalExit &&
               m_vx->exitCode() == 0;
    }

    // A log file opened through 檔案 > 開啟, its path typed into the dialog; once it exists.
    // The path is typed as the program's system names it (`asTyped`, Windows' under Wine).
    QString openLog(const QString& main, const QString& name,
                    const std::function<QString(QString)>& asTyped = {}) {
        const QString log = path("records/" + name); // an empty folder: nothing to complete
        key(main, "ctrl+o");
        const QString dialog = window(OpenDialog, 10s);
        if (dialog.isEmpty())
            fail("no dialog titled " + OpenDialog);
        x({"xdotool", "windowfocus", dialog, "type", "--delay", "15",
           asTyped ? asTyped(log) : log});
        key(dialog, "Return");
        if (!gone(dialog) || !waitFor([&] { return QFile::exists(log); }))
            fail("no log file " + log);
        return log;
    }

    // An X tool (xdotool, import, ...) on the session's display: what it printed.
    QByteArray x(const QStringList& args) const {
        QProcess tool;
        tool.setProcessEnvironment(m_env);
        tool.start(args.first(), args.mid(1));
        if (!tool.waitForFinished(10000))
            fail(args.join(' ') + ": no end within 10 s");
        return tool.readAllStandardOutput();
    }
    // The shown windows of vx with exactly that title, now.
    QStringList windows(const QString& title) const {
        QStringList found;
        for (const QByteArray& id :
             x({"xdotool", "search", "--onlyvisible", "--class", m_program.windowClass})
                 .split('\n'))
            if (!id.isEmpty() && titleOf(id) == title)
                found << id;
        return found;
    }
    // One of them, or an empty text by the deadline.
    QString window(const QString& title, milliseconds timeout = 5s) const {
        QStringList found;
        waitFor([&] { return !(found = windows(title)).isEmpty(); }, timeout);
        return found.value(0);
    }
    // The shown window of that process, or an empty text by the deadline.
    QString windowOf(const QProcess& process, milliseconds timeout) const {
        QString found;
        waitFor(
            [&] {
                found = QString::fromLatin1(x({"xdotool", "search", "--onlyvisible", "--pid",
                                               QString::number(process.processId())})
                                                .trimmed());
                return !found.isEmpty();
            },
            timeout);
        return found;
    }
    QString titleOf(const QString& id) const {
        return QString::fromUtf8(x({"xdotool", "getwindowname", id}).trimmed());
    }
    bool gone(const QString& id) const {
        return waitFor([&] { return !x({"xwininfo", "-id", id}).contains("IsViewable"); });
    }
    void key(const QString& id, const QString& keys) const {
        x({"xdotool", "windowfocus", id, "key", "--clearmodifiers", keys});
    }
    void click(const QString& main, const QRect& place) {
        const QPoint at = onShot(main, place).center();
        x({"xdotool", "mousemove", "--window", main, QString::number(at.x()),
           QString::number(at.y()), "click", "1"});
    }
    // A screenshot of the window, kept as "<name>.png".
    QImage shot(const QString& id, const QString& name) const {
        x({"import", "-silent", "-window", id, artefact(name + ".png")});
        QImage image(artefact(name + ".png"));
        if (image.isNull())
            fail("no screenshot " + name);
        return image;
    }
    // Where a place of the main window is in its screenshots: below the menu bar, which ends in a
    // line of one colour across the window on a ground of another (in Windows' style, a line part
    // of the way across and then the ground), once the window is painted.
    QRect onShot(const QString& main, const QRect& place) {
        const auto oneColour = [](const QImage& image, int y) {
            for (int x = 1; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, y))
                    return false;
            return true;
        };
        // Until the window is painted and nothing lies over it (the splash goes after it shows).
        for (const auto deadline = std::chrono::steady_clock::now() + 20s;
             m_menuBar < 0 && std::chrono::steady_clock::now() < deadline;) {
            const QImage image = shot(main, "menu-bar");
            for (int y = 8, above = -1; m_menuBar < 0 && y < std::min(80, image.height()); ++y) {
                if (!oneColour(image, y))
                    continue;
                if (above >= y - 2 && image.pixel(0, above) != image.pixel(0, y))
                    m_menuBar = y + 1;
                above = y;
            }
        }
        if (m_menuBar < 0)
            fail("no line under the menu bar; see menu-bar.png");
        return place.translated(0, m_menuBar);
    }
    // Waits until the X reading shows figures, grey ones if they are stale; the last shot kept as
    // "<name>.png".
    bool showsX(const QString& main, const QString& name, bool grey = false) {
        return waitFor(
            [&] { return showsText(shot(main, name), onShot(main, place::ReadingX), grey); });
    }
    // Waits until the place looks different from the earlier screenshot.
    bool changes(const QString& main, const QImage& earlier, const QRect& place,
                 const QString& name) {
        const QRect area = onShot(main, place);
        return waitFor([&] { return shot(main, name).copy(area) != earlier.copy(area); });
    }

private:
    [[noreturn]] static void fail(const QString& why) {
        throw std::runtime_error(why.toStdString());
    }
    // Standard error, and standard output unless it is read, go to the log in the artefacts.
    QProcess& launch(QString program, QStringList args, const QString& log,
                     bool readOutput = false) {
        if (m_runAs != 0 && program != "Xvfb") { // the X server stays root's
            const QString id = QString::number(m_runAs);
            args =
                QStringList{"--reuid", id, "--regid", id, "--clear-groups", "--", program} + args;
            program = "setpriv";
        }
        QProcess& p = *m_programs.emplace_back(std::make_unique<QProcess>());
        p.setChildProcessModifier([parent = ::getpid()] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // a test that crashes leaves nothing behind
            if (::getppid() != parent)
                ::_exit(127);
        });
        p.setProcessEnvironment(m_env);
        p.setWorkingDirectory(path("work"));
        p.setStandardErrorFile(artefact(log), QIODevice::Append);
        if (!readOutput)
            p.setStandardOutputFile(artefact(log), QIODevice::Append);
        p.start(program, args);
        if (!p.waitForStarted(10000))
            fail(program + " did not start: " + p.errorString());
        return p;
    }
    // The first line the program writes; the test fails with the reason when none comes.
    static QByteArray firstLine(QProcess& p, milliseconds timeout, const QString& orElse) {
        waitFor(
            [&] {
                p.waitForReadyRead(50);
                return p.canReadLine() || p.state() == QProcess::NotRunning;
            },
            timeout);
        if (!p.canReadLine())
            fail(orElse);
        return p.readLine().trimmed();
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/vx-e2e-XXXXXX")};
    QString m_artefacts;
    QProcessEnvironment m_env;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    QProcess* m_sim = nullptr;
    QProcess* m_vx = nullptr;
    int m_vxRuns = 0;
    int m_menuBar = -1;
    uid_t m_runAs = 0; // root: nobody else
};

} // namespace vx::e2e
