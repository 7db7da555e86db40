#pragma once

// The HTTP library hides a request's socket from its handler. The test modes
// that must act on the connection itself (drop it unanswered, notice that
// the client gave up waiting) find it by its two ports.
namespace connectionsocket {

// The descriptor of the connection between these local and remote ports on
// the loopback address, -1 when there is none.
int find(int localPort, int remotePort);
// Ends the connection without a byte of reply; the library closes the
// descriptor itself later, so it is never reused under its feet.
void drop(int socket);
// True once the client has closed its side or the connection is gone.
bool peerHasClosed(int socket);

}  // namespace connectionsocket
