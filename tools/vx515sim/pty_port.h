#pragma once

#include <string>
#include <utility>

namespace vx::sim {

// The counter's end of the cable: a pseudo-terminal whose slave is linked as DIR/COM<N>. Our own
// slave descriptor stays open while plugged, so the master never sees a hang-up when the program
// closes and reopens its port, and the line settings the program made survive.
class PtyPort {
public:
    explicit PtyPort(std::string linkPath)
        : m_linkPath(std::move(linkPath)) {}
    ~PtyPort() { pull(); }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens a new pseudo-terminal in raw mode at 9600 8N2 and links it, replacing an old link in
    // one step. False with the reason in error.
    bool plug(std::string& error);
    // Closes both ends and removes the link: the program's descriptor then fails with EIO.
    void pull();

    bool plugged() const { return m_master >= 0; }
    int master() const { return m_master; }
    const std::string& slaveName() const { return m_slaveName; }
    const std::string& linkPath() const { return m_linkPath; }

    // The speed the program set on its port; 9600 when it cannot be read.
    int baud() const;

private:
    std::string m_linkPath;
    std::string m_slaveName;
    int m_master = -1;
    int m_slave = -1;
};

} // namespace vx::sim
