#include "standin/connectionsocket.h"

#include <QDir>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

int portOf(const sockaddr_in& address) {
    return ntohs(address.sin_port);
}

bool hasPorts(int socket, int localPort, int remotePort) {
    sockaddr_in local{};
    sockaddr_in remote{};
    socklen_t localSize = sizeof local;
    socklen_t remoteSize = sizeof remote;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
        getpeername(socket, reinterpret_cast<sockaddr*>(&remote), &remoteSize) != 0) {
        return false;
    }
    return local.sin_family == AF_INET && portOf(local) == localPort &&
           portOf(remote) == remotePort;
}

}  // namespace

namespace connectionsocket {

int find(int localPort, int remotePort) {
    const QStringList descriptors =
        QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    for (const QString& name : descriptors) {
        bool ok = false;
        const int socket = name.toInt(&ok);
        if (ok && hasPorts(socket, localPort, remotePort)) {
            return socket;
        }
    }
    return -1;
}

void drop(int socket) {
    if (socket >= 0) {
        shutdown(socket, SHUT_RDWR);
    }
}

bool peerHasClosed(int socket) {
    if (socket < 0) {
        return true;
    }
    pollfd watch{socket, POLLIN | POLLRDHUP, 0};
    if (poll(&watch, 1, 0) <= 0) {
        return false;
    }
    if (watch.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) {
        return true;
    }
    char byte = 0;
    return recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

}  // namespace connectionsocket
