#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include "tests/support/standinprocess.h"

// The requests that reached the stand-in, read back from its log, and an
// address on which nothing answers.

struct LoggedRequest {
    QString method;
    QString path;
    QString query;
    QByteArray body;
    QString contentType;
};

inline QList<LoggedRequest> loggedRequests(StandinProcess& standin) {
    QList<LoggedRequest> requests;
    for (const QByteArray& line : standin.log().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 5) {
            continue;
        }
        requests.append({QString::fromLatin1(fields[0]), QString::fromLatin1(fields[1]),
                         QString::fromLatin1(fields[2]), QByteArray::fromBase64(fields[3]),
                         QString::fromLatin1(fields[4])});
    }
    return requests;
}

// The paths of the logged requests, in order.
inline QStringList loggedPaths(StandinProcess& standin) {
    QStringList paths;
    for (const LoggedRequest& request : loggedRequests(standin)) {
        paths.append(request.path);
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
