#include "vx515sim/line_format.h"
#include "vx515sim/testing/sim_process.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx::sim;
using namespace vx::sim::testing;

namespace fs = std::filesystem;
constexpr milliseconds Deadline{5000};

// The simulator on port 1 of a fresh folder, with its port opened at 9600 once it is ready.
struct Simulator : ::testing::Test {
    void start(const std::vector<std::string>& extra) {
        char folder[] = "/tmp/vx515sim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        dir = folder;
        std::vector<std::string> args{"--dir", dir, "--port", "1", "--log", dir / "sim.log"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim.emplace(VX515SIM_PATH, args);
        ASSERT_EQ(sim->waitReady(Deadline), (dir / "COM1").string());
        plugIn();
    }
    void plugIn() {
        ASSERT_TRUE(
            waitUntil([&] { return fs::is_symlink(fs::symlink_status(dir / "COM1")); }, Deadline));
        fd = openRawPort(dir / "COM1", 9600);
        ASSERT_GE(fd, 0);
        reader.emplace(fd);
    }
    ~Simulator() override {
        ::close(fd);
        sim.reset();
        fs::remove_all(dir);
    }
    std::string poll() {
        return ::write(fd, "O", 1) == 1 ? reader->readLine(Deadline).value_or("") : "";
    }
    bool logShows(const std::string& text) const {
        return waitUntil(
            [&] {
                std::stringstream log;
                log << std::ifstream(dir / "sim.log").rdbuf();
                return log.str().find(text) != std::string::npos;
            },
            Deadline);
    }
    void command(const std::string& line, const std::string& logged) {
        ASSERT_TRUE(sim->command(line));
        ASSERT_TRUE(logShows(logged)) << line; // taken in order: the ones before are done
    }

    fs::path dir;
    std::optional<SimProcess> sim;
    int fd = -1;
    std::optional<LineReader> reader;
};

TEST_F(Simulator, AnswersPollsAtTheLineSpeedTakesKeysAndCanBePulledAndPlugged) {
    start({"--seed", "7"});
    const Clock::time_point asked = Clock::now();
    const std::string first = poll();
    EXPECT_GE(Clock::now() - asked, characterTime(9600) * 40) << "paced like the line";
    ASSERT_EQ(first.size(), 40U) << first;
    EXPECT_EQ(first.substr(0, 1) + first.substr(11, 2) + first.substr(24, 1) + first.substr(37),
              "X YZM\r\n");
    ASSERT_EQ(::write(fd, "0", 1), 1);
    EXPECT_EQ(poll().substr(1, 10), "     0.000");
    EXPECT_TRUE(logShows("RX \"0\" key zero-X"));

    command("pull", "STATE pulled");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM1")));
    EXPECT_EQ(::write(fd, "O", 1), -1);
    EXPECT_EQ(errno, EIO);
    ::close(fd);
    command("plug", "STATE plugged");
    plugIn();
    EXPECT_EQ(poll().size(), 40U);
    ASSERT_TRUE(sim->command("quit"));
    const std::optional<int> status = sim->waitExit(Deadline);
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM1")));
}

TEST_F(Simulator, FaultsOnCommandAndAnEndOnSignal) {
    start({"--axes", "2", "--unit", "inch"});
    EXPECT_EQ(poll(), "X    4.7244 Y   -1.7815 \r\n"); // where a counter starts, in inches
    ASSERT_EQ(::write(fd, "OOO", 3), 3); // polls during a line are each answered, in turn
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(reader->readLine(Deadline).value_or("").size(), 26U);
    command("record", "record requested");
    EXPECT_EQ(poll()[23], 'T');
    EXPECT_EQ(poll()[23], ' ');
    command("nocr on", "nocr on");
    EXPECT_EQ(poll().substr(23), " \n");
    sim->command("nocr off");
    sim->command("record");
    command("axes 3", "axes changed 2 -> 3");
    const std::string three = poll();
    EXPECT_EQ(three.substr(23, 1) + three.substr(35), "TT I\r\n");

    command("split on", "split on");
    const Clock::time_point asked = Clock::now();
    EXPECT_EQ(poll().size(), 40U);
    EXPECT_GE(Clock::now() - asked, characterTime(9600) * 40 + milliseconds(50));
    command("split off", "split off");
    command("noise 12", "noise 12 bytes");
    const std::string noise = poll();
    EXPECT_EQ(noise.size(), 13U);
    EXPECT_NE(noise[0], 'X');
    EXPECT_EQ(reader->readLine(Deadline).value_or("").size(), 40U) << "then the answer";
    // A silenced poll is not answered: the one answer shows the position set after it.
    command("silent on", "silent on");
    ASSERT_EQ(::write(fd, "O", 1), 1);
    ASSERT_TRUE(logShows("poll ignored (silent)"));
    sim->command("set x 25.4");
    command("silent off", "silent off");
    EXPECT_EQ(poll().substr(1, 10), "    1.0000");

    ASSERT_TRUE(setPortSpeed(fd, 19200));
    EXPECT_EQ(poll().size(), 40U);
    EXPECT_TRUE(logShows("line speed 19200"));
    sim->closeStdin();
    ASSERT_TRUE(logShows("standard input closed"));
    EXPECT_EQ(poll().size(), 40U) << "it goes on without its input";
    ASSERT_TRUE(sim->signal(SIGTERM));
    const std::optional<int> status = sim->waitExit(Deadline);
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(logShows("quit (SIGTERM)"));
}
