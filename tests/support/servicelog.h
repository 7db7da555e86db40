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

// A loopback port that was free a moment ago: connections to it are refused.
inline int unusedLoopbackPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    int port = 0;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(socket);
    return port;
}

inline QString unusedLoopbackBase() {
    return QStringLiteral("http://127.0.0.1:%1/").arg(unusedLoopbackPort());
}
