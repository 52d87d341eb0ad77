#include "vx515sim/line_format.h"
#include "vx515sim/testing/sim_process.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx::sim;
using namespace vx::sim::testing;

namespace fs = std::filesystem;
constexpr milliseconds Deadline{5000};

// The simulator of a two-axis inch counter on port 1 of a fresh folder, its port opened at 9600.
struct Simulator : ::testing::Test {
    void SetUp() override {
        char folder[] = "/tmp/vx515sim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        dir = folder;
        sim.emplace(VX515SIM_PATH,
                    std::vector<std::string>{"--dir", dir, "--port", "1", "--log", dir / "sim.log",
                                             "--axes", "2", "--unit", "inch"});
        ASSERT_EQ(sim->waitReady(Deadline), (dir / "COM1").string());
        plugIn();
    }
    void plugIn() {
        ASSERT_TRUE(
            waitUntil([&] { return (fd = openRawPort(dir / "COM1", 9600)) >= 0; }, Deadline));
        reader.emplace(fd);
    }
    ~Simulator() override {
        ::close(fd);
        fs::remove_all(dir);
    }
    std::string poll() {
        return ::write(fd, "O", 1) == 1 ? reader->readLine(Deadline).value_or("") : "";
    }
    bool logShows(const std::string& text) const {
        return waitUntil(
            [&] {
                std::ifstream log(dir / "sim.log");
                return std::string(std::istreambuf_iterator<char>(log), {}).find(text) !=
                       std::string::npos;
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

TEST_F(Simulator, AnswersPollsAtTheLineSpeedTakesKeysAndCommandsAndEndsOnSignal) {
    Clock::time_point asked = Clock::now();
    EXPECT_EQ(poll(), "X    4.7244 Y   -1.7815 \r\n"); // where a counter starts, in inches
    EXPECT_GE(Clock::now() - asked, characterTime(9600) * 26) << "paced like the line";
    command("nocr on", "nocr on");
    EXPECT_EQ(poll().substr(23), " \n");
    command("nocr off\nsplit on", "split on");
    asked = Clock::now();
    EXPECT_EQ(poll().size(), 26U);
    EXPECT_GE(Clock::now() - asked, characterTime(9600) * 26 + milliseconds(50));
    command("split off\nnoise 12", "noise 12 bytes");
    const std::string noise = poll();
    EXPECT_TRUE(noise.size() == 13U && noise[0] != 'X') << noise;
    EXPECT_EQ(reader->readLine(Deadline).value_or("").size(), 26U) << "then the answer";
    // A silenced poll is not answered: the one answer shows the position set after it.
    command("silent on", "silent on");
    ASSERT_EQ(::write(fd, "O", 1), 1);
    ASSERT_TRUE(logShows("poll ignored (silent)"));
    command("set x 25.4\nsilent off", "silent off");
    EXPECT_EQ(poll().substr(1, 10), "    1.0000");

    command("pull", "STATE pulled");
    EXPECT_TRUE(::write(fd, "O", 1) == -1 && errno == EIO);
    ::close(fd);
    command("plug", "STATE plugged");
    plugIn();
    ASSERT_TRUE(setPortSpeed(fd, 19200));
    EXPECT_EQ(poll().size(), 26U);
    EXPECT_TRUE(logShows("line speed 19200"));
    sim->closeStdin();
    ASSERT_TRUE(logShows("standard input closed"));
    EXPECT_EQ(poll().size(), 26U) << "it goes on without its input";
    ASSERT_TRUE(sim->signal(SIGTERM));
    const std::optional<int> status = sim->waitExit(Deadline);
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM1")));
}
