#include "vx515sim/commands.h"
#include "vx515sim/simulator.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

void onStopSignal(int signal) {
    vx::sim::stopSignal = signal;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vx::sim::OptionsResult parsed = vx::sim::parseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "vx515sim: %s\n\n%s", parsed.error.c_str(),
                     vx::sim::usageText().c_str());
        return 2;
    }
    const vx::sim::Options& options = *parsed.options;
    if (options.help) {
        std::fputs(vx::sim::usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("vx515sim " VX_VERSION);
        return 0;
    }
    struct stat dirStat {};
    if (::stat(options.dir.c_str(), &dirStat) != 0 || !S_ISDIR(dirStat.st_mode)) {
        std::fprintf(stderr, "vx515sim: %s is not a folder\n", options.dir.c_str());
        return 2;
    }
    std::FILE* log = stdout;
    if (!options.logFile.empty()) {
        log = std::fopen(options.logFile.c_str(), "w");
        if (log == nullptr) {
            std::perror(("vx515sim: " + options.logFile).c_str());
            return 2;
        }
    }

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    // A reader of our standard output that goes away must not end the counter.
    std::signal(SIGPIPE, SIG_IGN);

    vx::sim::Simulator simulator(options, log);
    const int status = simulator.run();
    if (log != stdout)
        std::fclose(log);
    return status;
}
