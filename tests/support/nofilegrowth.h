#pragma once

#include <sys/resource.h>
#include <csignal>

// While it lives, no file of this process can grow, as on a full disk.
// Permission bits do not stop root (as CI runs); the file-size limit stops
// every process. Past the limit a write fails instead of ending the process.
class NoFileGrowth {
public:
    NoFileGrowth() : m_formerHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        m_known = getrlimit(RLIMIT_FSIZE, &m_former) == 0;
        const rlimit noGrowth{0, m_former.rlim_max};
        m_active = m_known && setrlimit(RLIMIT_FSIZE, &noGrowth) == 0;
    }
    ~NoFileGrowth() {
        if (m_known) {
            setrlimit(RLIMIT_FSIZE, &m_former);
        }
        std::signal(SIGXFSZ, m_formerHandler);
    }
    NoFileGrowth(const NoFileGrowth&) = delete;
    NoFileGrowth& operator=(const NoFileGrowth&) = delete;

    bool isActive() const { return m_active; }

private:
    void (*m_formerHandler)(int);
    rlimit m_former{};
    bool m_known = false;
    bool m_active = false;
};
