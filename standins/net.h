// TCP over the system's sockets, as much as the stand-ins need.
#ifndef STANDINS_NET_H
#define STANDINS_NET_H

#include <stddef.h>
#include <stdint.h>

namespace standins {

struct Socket {
    intptr_t handle = -1;
};

inline bool net_valid(Socket socket) { return socket.handle != -1; }

enum class ConnectStatus { ok, not_resolved, socket_error, refused, failed };

// Network start-up and clean-up, counted by the system (WSAStartup and
// WSACleanup on Windows; nothing on POSIX). Every start-up that succeeded
// is matched by one clean-up.
bool net_startup();
void net_cleanup();

// Resolves `node` (a name or a numeric address) and connects to `port` on
// the first of its addresses that accepts.
ConnectStatus net_connect(const char *node, uint16_t port, Socket *connected);

// False when the peer is gone or the system fails before all is sent.
bool net_send_all(Socket socket, const void *data, size_t size);

// Receives up to `size` bytes: the count received, 0 when the peer has
// closed, -1 on failure.
long net_receive(Socket socket, void *buffer, size_t size);

// False when the connection ends or fails before `size` bytes arrived.
bool net_receive_all(Socket socket, void *buffer, size_t size);

void net_close(Socket *socket);

// Listens on 127.0.0.1 at `port` (0: an ephemeral port); `*bound` receives
// the port in use.
bool net_listen_loopback(uint16_t port, Socket *listener, uint16_t *bound);

bool net_accept(Socket listener, Socket *accepted);

// Waits until at least one of `sockets` can be read (or accepted from) or
// `timeout_ms` has passed (-1: no limit). Sets `readable[i]`; returns the
// number of readable sockets, or -1 on failure.
int net_wait_readable(const Socket *sockets, size_t count, bool *readable, int timeout_ms);

// The system's text for the last network failure, for diagnostics.
const char *net_last_error_text();

}  // namespace standins

#endif
