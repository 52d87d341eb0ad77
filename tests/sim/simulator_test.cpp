#include "vx515sim/line_format.h"
#include "vx515sim/testing/sim_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vx::sim::testing {
namespace {

namespace fs = std::filesystem;
constexpr milliseconds Deadline{5000};

// A fresh folder for the link and the log, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vx515sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// Closes a port descriptor however the test ends.
struct Port {
    int fd = -1;
    ~Port() { reset(); }
    void reset(int newFd = -1) {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }
};

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool logShows(const fs::path& log, const std::string& text) {
    return waitUntil([&] { return fileText(log).find(text) != std::string::npos; }, Deadline);
}

bool linkPresent(const fs::path& link) {
    std::error_code ignored;
    return fs::is_symlink(fs::symlink_status(link, ignored));
}

double reading(const std::string& line, int firstColumn) {
    return std::stod(line.substr(static_cast<std::size_t>(firstColumn - 1), 10));
}

// Polls once and returns the answer, or an empty string by the deadline.
std::string poll(int fd, LineReader& reader) {
    if (::write(fd, "O", 1) != 1)
        return {};
    return reader.readLine(Deadline).value_or("");
}

struct Started {
    TempDir dir;
    fs::path log = dir.path() / "sim.log";
    fs::path link = dir.path() / "COM1";
    SimProcess sim;

    explicit Started(std::vector<std::string> extra)
        : sim(VX515SIM_PATH, [&] {
            std::vector<std::string> args{"--dir", dir.path().string(), "--port", "1",
                                          "--log", log.string()};
            args.insert(args.end(), extra.begin(), extra.end());
            return args;
        }()) {}
};

TEST(SimulatorProgram, PollsKeysPullPlugAndQuit) {
    Started s({"--seed", "7"});
    ASSERT_TRUE(s.sim.started());
    const std::optional<std::string> ready = s.sim.waitReady(Deadline);
    ASSERT_TRUE(ready);
    EXPECT_EQ(*ready, s.link.string());
    ASSERT_TRUE(linkPresent(s.link));

    Port port;
    port.reset(openRawPort(s.link.string(), 9600));
    ASSERT_GE(port.fd, 0) << std::strerror(-port.fd);
    LineReader reader(port.fd);

    const Clock::time_point asked = Clock::now();
    const std::string first = poll(port.fd, reader);
    const Clock::duration took = Clock::now() - asked;
    ASSERT_EQ(first.size(), 40u) << first;
    EXPECT_EQ(first.substr(38), "\r\n");
    EXPECT_EQ(first[0], 'X');
    EXPECT_EQ(first.substr(11, 2), " Y");
    EXPECT_EQ(first[24], 'Z');
    EXPECT_EQ(first[37], 'M');
    EXPECT_NE(reading(first, 2), 0.0);
    // Paced: the line feed cannot arrive before forty characters' time at 9600.
    EXPECT_GE(took, characterTime(9600) * 40);

    ASSERT_EQ(::write(port.fd, "0", 1), 1);
    const std::string zeroed = poll(port.fd, reader);
    ASSERT_EQ(zeroed.size(), 40u) << zeroed;
    EXPECT_EQ(zeroed.substr(1, 10), "     0.000");
    EXPECT_TRUE(logShows(s.log, "RX \"0\" key zero-X"));
    EXPECT_TRUE(logShows(s.log, "RX \"O\" poll"));

    ASSERT_TRUE(s.sim.command("pull"));
    ASSERT_TRUE(waitUntil([&] { return !linkPresent(s.link); }, Deadline));
    errno = 0;
    EXPECT_EQ(::write(port.fd, "O", 1), -1);
    EXPECT_EQ(errno, EIO);
    port.reset();
    EXPECT_TRUE(logShows(s.log, "STATE pulled"));

    ASSERT_TRUE(s.sim.command("plug"));
    ASSERT_TRUE(waitUntil([&] { return linkPresent(s.link); }, Deadline));
    port.reset(openRawPort(s.link.string(), 9600));
    ASSERT_GE(port.fd, 0) << std::strerror(-port.fd);
    LineReader replugged(port.fd);
    EXPECT_EQ(poll(port.fd, replugged).size(), 40u);

    ASSERT_TRUE(s.sim.command("quit"));
    const std::optional<int> status = s.sim.waitExit(Deadline);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(linkPresent(s.link));
}

TEST(SimulatorProgram, FaultCommandsAndEndOfInput) {
    Started s({"--axes", "2", "--unit", "inch"});
    ASSERT_TRUE(s.sim.waitReady(Deadline));
    Port port;
    port.reset(openRawPort(s.link.string(), 9600));
    ASSERT_GE(port.fd, 0) << std::strerror(-port.fd);
    LineReader reader(port.fd);

    const std::string two = poll(port.fd, reader);
    ASSERT_EQ(two.size(), 26u) << two;
    EXPECT_EQ(two[0], 'X');
    EXPECT_EQ(two[6], '.') << "four decimals in inches";
    EXPECT_EQ(two[23], ' ');

    // Polls that arrive while a line is on the wire are each answered once, in turn.
    ASSERT_EQ(::write(port.fd, "OOO", 3), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(reader.readLine(Deadline).value_or("").size(), 26u) << i;

    ASSERT_TRUE(s.sim.command("record"));
    ASSERT_TRUE(logShows(s.log, "record requested"));
    EXPECT_EQ(poll(port.fd, reader)[23], 'T');
    EXPECT_EQ(poll(port.fd, reader)[23], ' ');

    ASSERT_TRUE(s.sim.command("nocr on"));
    ASSERT_TRUE(logShows(s.log, "nocr on"));
    const std::string bare = poll(port.fd, reader);
    EXPECT_EQ(bare.size(), 25u);
    EXPECT_EQ(bare.back(), '\n');

    // Commands are taken in order: once the last is logged, the others have been done.
    ASSERT_TRUE(s.sim.command("nocr off"));
    ASSERT_TRUE(s.sim.command("record"));
    ASSERT_TRUE(s.sim.command("axes 3"));
    ASSERT_TRUE(logShows(s.log, "axes changed 2 -> 3"));
    const std::string three = poll(port.fd, reader);
    ASSERT_EQ(three.size(), 40u) << three;
    EXPECT_EQ(three[23], 'T');
    EXPECT_EQ(three[35], 'T');
    EXPECT_EQ(three[37], 'I');

    ASSERT_TRUE(s.sim.command("split on"));
    ASSERT_TRUE(logShows(s.log, "split on"));
    const Clock::time_point asked = Clock::now();
    const std::string split = poll(port.fd, reader);
    EXPECT_EQ(split.size(), 40u) << split;
    EXPECT_GE(Clock::now() - asked, characterTime(9600) * 40 + milliseconds(50));
    ASSERT_TRUE(s.sim.command("split off"));

    ASSERT_TRUE(s.sim.command("noise 12"));
    ASSERT_TRUE(logShows(s.log, "noise 12 bytes"));
    const std::string noise = poll(port.fd, reader);
    EXPECT_EQ(noise.size(), 13u) << noise;
    EXPECT_NE(noise[0], 'X');
    EXPECT_EQ(reader.readLine(Deadline).value_or("").size(), 40u);

    // The silenced poll must not be answered: the one answer shows the position set after it.
    ASSERT_TRUE(s.sim.command("silent on"));
    ASSERT_TRUE(logShows(s.log, "silent on"));
    ASSERT_EQ(::write(port.fd, "O", 1), 1);
    ASSERT_TRUE(logShows(s.log, "poll ignored (silent)"));
    ASSERT_TRUE(s.sim.command("set x 25.4"));
    ASSERT_TRUE(s.sim.command("silent off"));
    ASSERT_TRUE(logShows(s.log, "silent off"));
    EXPECT_EQ(poll(port.fd, reader).substr(1, 10), "    1.0000");

    // The speed the port is set to is the one the answers are paced at.
    ASSERT_TRUE(setPortSpeed(port.fd, 19200));
    EXPECT_EQ(poll(port.fd, reader).size(), 40u);
    EXPECT_TRUE(logShows(s.log, "line speed 19200"));

    s.sim.closeStdin();
    ASSERT_TRUE(logShows(s.log, "standard input closed"));
    EXPECT_EQ(poll(port.fd, reader).size(), 40u);

    ASSERT_TRUE(s.sim.signal(SIGTERM));
    const std::optional<int> status = s.sim.waitExit(Deadline);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_FALSE(linkPresent(s.link));
    EXPECT_TRUE(logShows(s.log, "quit (SIGTERM)"));
}

} // namespace
} // namespace vx::sim::testing
