#pragma once

#include <sys/resource.h>

#include <csignal>

// While it lives, no file can grow, as on a full disk: a write fails instead
// of ending the process, and a child process started meanwhile inherits the
// limit. Permission bits do not stop root (as CI runs); this limit stops
// every process.
class FullDisk {
public:
    FullDisk()
        : m_handler(std::signal(SIGXFSZ, SIG_IGN)),
          m_known(getrlimit(RLIMIT_FSIZE, &m_previous) == 0) {
        const rlimit noGrowth{0, m_previous.rlim_max};
        m_limited = m_known && setrlimit(RLIMIT_FSIZE, &noGrowth) == 0;
    }
    ~FullDisk() {
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_previous);
        }
        std::signal(SIGXFSZ, m_handler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool limited() const { return m_limited; }

private:
    void (*m_handler)(int);
    rlimit m_previous{};
    bool m_known;
    bool m_limited = false;
};
