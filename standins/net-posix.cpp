#include "standins/net.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace standins {

namespace {

int fd_of(Socket socket) { return static_cast<int>(socket.handle); }

// Releases the address list however the connection attempt ends.
struct AddressList {
    addrinfo *first = nullptr;
    ~AddressList() {
        if (first != nullptr)
            freeaddrinfo(first);
    }
};

}  // namespace

bool net_startup() { return true; }
void net_cleanup() {}

ConnectStatus net_connect(const char *node, uint16_t port, Socket *connected) {
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    char service[8];
    snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    AddressList addresses;
    if (getaddrinfo(node, service, &hints, &addresses.first) != 0 || addresses.first == nullptr)
        return ConnectStatus::not_resolved;
    ConnectStatus status = ConnectStatus::failed;
    bool any_socket = false;
    for (addrinfo *a = addresses.first; a != nullptr; a = a->ai_next) {
        int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        any_socket = true;
        int result;
        do
            result = connect(fd, a->ai_addr, a->ai_addrlen);
        while (result != 0 && errno == EINTR);
        if (result == 0) {
            connected->handle = fd;
            return ConnectStatus::ok;
        }
        if (errno == ECONNREFUSED)
            status = ConnectStatus::refused;
        close(fd);
    }
    return any_socket ? status : ConnectStatus::socket_error;
}

bool net_send_all(Socket socket, const void *data, size_t size) {
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        // A vanished peer must fail the send, not kill the host process.
        ssize_t sent = send(fd_of(socket), at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        at += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

long net_receive(Socket socket, void *buffer, size_t size) {
    for (;;) {
        ssize_t received = recv(fd_of(socket), buffer, size, 0);
        if (received < 0 && errno == EINTR)
            continue;
        return received < 0 ? -1 : static_cast<long>(received);
    }
}

void net_close(Socket *socket) {
    if (net_valid(*socket))
        close(fd_of(*socket));
    socket->handle = -1;
}

bool net_listen_loopback(uint16_t port, Socket *listener, uint16_t *bound) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return false;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(fd, SOMAXCONN) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        close(fd);
        return false;
    }
    listener->handle = fd;
    *bound = ntohs(address.sin_port);
    return true;
}

bool net_accept(Socket listener, Socket *accepted) {
    int fd;
    do
        fd = accept4(fd_of(listener), nullptr, nullptr, SOCK_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    accepted->handle = fd;
    return true;
}

int net_wait_readable(const Socket *sockets, size_t count, bool *readable, int timeout_ms) {
    std::vector<pollfd> polled(count);
    for (size_t i = 0; i < count; ++i) {
        polled[i].fd = fd_of(sockets[i]);
        polled[i].events = POLLIN;
        polled[i].revents = 0;
    }
    int ready = poll(polled.data(), polled.size(), timeout_ms);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    for (size_t i = 0; i < count; ++i)
        readable[i] = (polled[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    return ready;
}

const char *net_last_error_text() { return strerror(errno); }

}  // namespace standins
