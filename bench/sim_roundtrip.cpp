// Round trip of one poll through the counter simulator: from writing "O" to receiving the line
// feed, beside the time the line itself takes on the wire. Prints figures; passes or fails nothing.
//
// sim_roundtrip [path-to-vx515sim] [polls]

#include "vx515sim/line_format.h"
#include "vx515sim/testing/sim_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace vx::sim;
using namespace vx::sim::testing;

std::string findSimulator(int argc, char** argv) {
    if (argc > 1)
        return argv[1];
    std::error_code ignored;
    const fs::path self = fs::read_symlink("/proc/self/exe", ignored);
    for (const fs::path& candidate :
         {self.parent_path() / "vx515sim", self.parent_path() / "../tools/vx515sim/vx515sim"}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.lexically_normal().string();
    }
    return VX515SIM_PATH;
}

double toMs(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string simulator = findSimulator(argc, argv);
    const int polls = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;

    std::string pattern = (fs::temp_directory_path() / "vx515sim-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = pattern;
    int status = 0;
    {
        SimProcess sim(simulator, {"--dir", dir.string(), "--port", "1", "--log", "/dev/null"});
        const std::optional<std::string> link = sim.waitReady(milliseconds(5000));
        const int fd = link ? openRawPort(*link, 9600) : -1;
        if (fd < 0) {
            std::fprintf(stderr, "sim_roundtrip: cannot start or open %s\n", simulator.c_str());
            status = 1;
        } else {
            std::printf("simulator: %s, %d polls per row\n", simulator.c_str(), polls);
            std::printf("%6s %5s %6s %10s %10s %10s\n", "baud", "axes", "chars", "limit ms",
                        "median ms", "worst ms");
            LineReader reader(fd);
            for (const int axes : {3, 2}) {
                sim.command("axes " + std::to_string(axes));
                for (const int baud : {9600, 19200}) {
                    setPortSpeed(fd, baud);
                    const int chars = (axes == 3 ? ThreeAxisLineLength : TwoAxisLineLength) + 2;
                    // One poll first so that the axes command and the speed have taken effect.
                    bool ok = ::write(fd, "O", 1) == 1 && reader.readLine(milliseconds(2000));
                    std::vector<double> times;
                    for (int i = 0; ok && i < polls; ++i) {
                        const Clock::time_point asked = Clock::now();
                        ok = ::write(fd, "O", 1) == 1;
                        const std::optional<std::string> line =
                            ok ? reader.readLine(milliseconds(2000)) : std::nullopt;
                        ok = line && static_cast<int>(line->size()) == chars;
                        times.push_back(toMs(Clock::now() - asked));
                    }
                    if (!ok) {
                        std::fprintf(stderr, "sim_roundtrip: no proper answer at %d baud\n", baud);
                        status = 1;
                        break;
                    }
                    std::sort(times.begin(), times.end());
                    std::printf("%6d %5d %6d %10.2f %10.2f %10.2f\n", baud, axes, chars,
                                toMs(characterTime(baud) * chars), times[times.size() / 2],
                                times.back());
                }
            }
            std::printf("limit: characters (with CR LF) x 11 bits / baud\n");
            ::close(fd);
            sim.command("quit");
            sim.waitExit(milliseconds(5000));
        }
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return status;
}
