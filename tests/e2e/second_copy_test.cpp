// A second copy of vx started in the same folder while the first still looks for the counter: the
// first copy's main window stays out of sight until its scan is over. No counter, no simulator: an
// empty port folder makes the handshake fail and the scan try eight ports that are not there.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QThread::msleep(50);
    }
    return true;
}

QString xdotool(const QProcessEnvironment& env, const QStringList& args) {
    QProcess run;
    run.setProcessEnvironment(env);
    run.start(QStringLiteral("xdotool"), args);
    run.waitForFinished(5000);
    return QString::fromUtf8(run.readAllStandardOutput()).trimmed();
}

// The first visible window of the process, with the name if one is given.
QString windowOf(const QProcessEnvironment& env, const QProcess& process,
                 const QString& name = {}) {
    QStringList args{"search", "--all", "--onlyvisible", "--pid",
                     QString::number(process.processId())};
    if (!name.isEmpty())
        args << "--name" << name;
    return xdotool(env, args).section(QLatin1Char('\n'), 0, 0);
}

} // namespace

TEST(SecondCopyEndToEnd, NoMainWindowComesForwardBeforeTheFirstCopysScanIsOver) {
    QTemporaryDir work;
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("ports")));
    QProcess xvfb; // declared before the copies, so that it outlives them
    xvfb.start(QStringLiteral("Xvfb"),
               {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForReadyRead(10000)) << "Xvfb did not start";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + xvfb.readLine().trimmed());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("VX_SERIAL_PORT_DIR"), work.filePath(QStringLiteral("ports")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    QProcess first, second;
    for (QProcess* vx : {&first, &second}) {
        vx->setProcessEnvironment(env);
        vx->setWorkingDirectory(work.path());
    }

    first.start(QStringLiteral(VX_PATH), {});
    ASSERT_TRUE(waitFor([&] { return !windowOf(env, first).isEmpty(); }, 15000)) << "no splash";
    QElapsedTimer sinceSplash;
    sinceSplash.start();
    second.start(QStringLiteral(VX_PATH), {});
    QString box;
    ASSERT_TRUE(waitFor([&] { return !(box = windowOf(env, second)).isEmpty(); }, 15000));
    // OK on the second copy's message asks the first to come forward, once the scan runs: the
    // handshake ends 2.5 s after the splash, the scan 16 s later.
    waitFor([&] { return sinceSplash.hasExpired(5000); }, 6000);
    xdotool(env, {"windowfocus", box, "key", "--clearmodifiers", "Return"});
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy did not end after OK";
    ASSERT_LT(sinceSplash.elapsed(), 10000) << "too slow to ask while the scan runs";

    ASSERT_TRUE(waitFor([&] { return !windowOf(env, first, "三軸顯示").isEmpty(); }, 60000));
    EXPECT_GT(sinceSplash.elapsed(), 15000) << "the main window came during the 16 s scan";
} // each QProcess kills and reaps its process as it goes
