// The big readout of the real program under Xvfb: F11 opens it while the simulated counter moves,
// it follows the readings, and F11 closes it again.
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

struct BigReadoutEndToEnd : ::testing::Test {
    ~BigReadoutEndToEnd() override {
        for (QProcess* p : {&vx, &sim, &xvfb}) { // the last started ends first
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }
    // Runs a command on the virtual display; its standard output.
    QByteArray x(const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(10000);
        return p.readAllStandardOutput().trimmed();
    }
    QByteArray window(const QString& title) {
        return x("xdotool", {"search", "--onlyvisible", "--name", title}).split('\n').value(0);
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess xvfb, sim, vx;
};

TEST_F(BigReadoutEndToEnd, F11OpensTheBigReadoutWhileTheCounterMoves) {
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    ASSERT_TRUE(waitFor([&] { return xvfb.waitForReadyRead(100) || xvfb.canReadLine(); }));
    env.insert("DISPLAY", ":" + QString::fromLatin1(xvfb.readLine().trimmed()));

    QDir(dir.path()).mkpath("ports");
    QDir(dir.path()).mkpath("work");
    sim.start(VX515SIM_PATH, {"--dir", dir.filePath("ports"), "--port", "1", "--axes", "3"});
    ASSERT_TRUE(
        waitFor([&] { return sim.waitForReadyRead(100) && sim.readAll().contains("READY"); }));
    QFile settings(dir.filePath("work/系統資料電腦")); // port 1 at 9600 baud
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QByteArray("\1\0", 2) + QByteArray(18, 0) +
                   QByteArray("\4\0"
                              "9600",
                              6) +
                   QByteArray(14, 0));
    settings.close();

    env.insert("VX_SERIAL_PORT_DIR", dir.filePath("ports"));
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    vx.setProcessEnvironment(env);
    vx.setWorkingDirectory(dir.filePath("work"));
    vx.start(VX_PATH, {});
    QByteArray main;
    ASSERT_TRUE(waitFor([&] { return !(main = window("三軸顯示")).isEmpty(); }));

    x("xdotool", {"windowfocus", "--sync", main, "key", "F11"});
    QByteArray big;
    ASSERT_TRUE(waitFor([&] { return !(big = window("大字顯示")).isEmpty(); }));
    const QByteArray before = x("import", {"-window", big, "png:-"});
    sim.write("set x 321.5\n");
    ASSERT_TRUE(waitFor([&] { return x("import", {"-window", big, "png:-"}) != before; }));
    const QString shot = QDir(VX_E2E_ARTIFACTS_DIR).filePath("big-readout.png");
    QDir().mkpath(VX_E2E_ARTIFACTS_DIR);
    x("import", {"-window", big, shot});

    x("xdotool", {"windowfocus", "--sync", main, "key", "F11"});
    EXPECT_TRUE(waitFor([&] { return window("大字顯示").isEmpty(); }));
    EXPECT_TRUE(QFile(dir.filePath("config/Vx/Vx.conf")).exists()); // its place is kept
}

} // namespace
