#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <QStringList>

#include "tests/support/standinprocess.h"

// What reached the stand-in, and an address on which nothing answers.

// The paths of the logged requests, in order.
inline QStringList loggedPaths(StandinProcess& standin) {
    QStringList paths;
    for (const StandinRequest& request : standin.log()) {
        paths.append(QString::fromLatin1(request.path));
    }
    return paths;
}

// A loopback port kept bound, but not listening, while this lives:
// connections to it are refused, and no other test takes it meanwhile.
class RefusingPort {
public:
    RefusingPort() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            m_port = ntohs(address.sin_port);
        }
    }
    ~RefusingPort() { ::close(m_socket); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return m_port; }

private:
    int m_socket;
    int m_port = 0;
};

// A loopback port that was free a moment ago: connections to it are refused.
inline int unusedLoopbackPort() {
    return RefusingPort().port();
}

inline QString unusedLoopbackBase() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(unusedLoopbackPort());
}
