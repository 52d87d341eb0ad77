#include "played_counter.h"

#include "platform/posix/terminal_speeds.h"
#include "vx515sim/line_format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vx::bench {

using namespace std::chrono_literals;

PlayedCounter::~PlayedCounter() {
    stop();
    for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
    if (!m_link.empty())
        ::unlink(m_link.c_str());
}

bool PlayedCounter::plug(const std::filesystem::path& link, std::string& error) {
    termios settings{};
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD | CSTOPB;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::openpty(&m_master, &m_slave, nullptr, &settings, nullptr) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    char name[256] = {};
    if (::ttyname_r(m_slave, name, sizeof name) != 0 || ::symlink(name, link.c_str()) != 0) {
        error = "link " + link.string() + ": " + std::strerror(errno);
        return false;
    }
    m_link = link;
    return true;
}

void PlayedCounter::start() {
    m_thread = std::thread([this] { run(); });
}

void PlayedCounter::stop() {
    if (!m_thread.joinable())
        return;
    m_stop = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wake[1], &wake, 1);
    m_thread.join();
}

// On Linux the master reports the slave's settings, which are the program's.
int PlayedCounter::baud() const {
    termios settings{};
    if (::tcgetattr(m_master, &settings) != 0)
        return 9600;
    return vx::baudOf(::cfgetospeed(&settings)).value_or(9600);
}

PlayedCounter::Transmission PlayedCounter::nextLine() {
    Transmission tx;
    tx.seq = m_nextSeq++;
    tx.baud = baud();
    vx::sim::LineFields fields;
    fields.x = static_cast<double>(tx.seq);
    fields.y = 12.5;
    fields.z = -3.25;
    tx.bytes = vx::sim::formatLine(fields) + "\r\n";
    tx.start = Clock::now();
    tx.characterTime = std::chrono::duration_cast<Clock::duration>(vx::sim::characterTime(tx.baud));
    return tx;
}

void PlayedCounter::readPolls() {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const Clock::time_point now = Clock::now();
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == 'O') {
                ++m_pendingPolls;
                m_polls.push_back(now);
            }
        }
    }
}

// Writes every byte that is due; a byte the driver does not take now is tried again later.
void PlayedCounter::writeDue(Transmission& tx) {
    const Clock::time_point now = Clock::now();
    std::size_t due = tx.sent;
    while (due < tx.bytes.size() && tx.due(due) <= now)
        ++due;
    if (due == tx.sent)
        return;
    const ssize_t n = ::write(m_master, tx.bytes.data() + tx.sent, due - tx.sent);
    if (n <= 0) {
        ++m_failedWrites;
        return;
    }
    tx.sent += static_cast<std::size_t>(n);
    if (tx.sent == tx.bytes.size())
        m_sent.push_back({tx.seq, Clock::now(), tx.baud});
}

void PlayedCounter::run() {
    std::optional<Transmission> tx;
    while (!m_stop) {
        if (!tx && m_pendingPolls > 0) {
            --m_pendingPolls;
            tx = nextLine();
        }
        if (tx) {
            writeDue(*tx);
            if (tx->sent == tx->bytes.size()) {
                tx.reset();
                continue;
            }
        }
        // Until the next byte is due, or a while when nothing is on the line; a poll or the
        // stop ends the wait early.
        Clock::duration wait = 100ms;
        if (tx)
            wait = std::max(tx->due(tx->sent) - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                               static_cast<long>(ns % 1'000'000'000)};
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::ppoll(fds, 2, &timeout, nullptr) > 0 && (fds[0].revents & POLLIN) != 0)
            readPolls();
    }
}

} // namespace vx::bench
