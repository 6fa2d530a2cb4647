#include "standins/net.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdio.h>
#include <string.h>

#include <vector>

namespace standins {

namespace {

SOCKET sock_of(Socket socket) { return static_cast<SOCKET>(socket.handle); }

struct AddressList {
    addrinfo *first = nullptr;
    ~AddressList() {
        if (first != nullptr)
            freeaddrinfo(first);
    }
};

// Sends and receives in pieces that fit an int.
const size_t kMaxPiece = 1u << 30;

}  // namespace

bool net_startup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void net_cleanup() { WSACleanup(); }

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
        SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET)
            continue;
        any_socket = true;
        if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) {
            connected->handle = static_cast<intptr_t>(s);
            return ConnectStatus::ok;
        }
        if (WSAGetLastError() == WSAECONNREFUSED)
            status = ConnectStatus::refused;
        closesocket(s);
    }
    return any_socket ? status : ConnectStatus::socket_error;
}

bool net_send_all(Socket socket, const void *data, size_t size) {
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        int piece = static_cast<int>(size < kMaxPiece ? size : kMaxPiece);
        int sent = send(sock_of(socket), at, piece, 0);
        if (sent == SOCKET_ERROR || sent == 0)
            return false;
        at += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

long net_receive(Socket socket, void *buffer, size_t size) {
    int piece = static_cast<int>(size < kMaxPiece ? size : kMaxPiece);
    int received = recv(sock_of(socket), static_cast<char *>(buffer), piece, 0);
    return received == SOCKET_ERROR ? -1 : static_cast<long>(received);
}

void net_close(Socket *socket) {
    if (net_valid(*socket))
        closesocket(sock_of(*socket));
    socket->handle = -1;
}

bool net_listen_loopback(uint16_t port, Socket *listener, uint16_t *bound) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    // A fixed port must not be shared with another listener.
    BOOL exclusive = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&exclusive), sizeof exclusive);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(s, SOMAXCONN) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        closesocket(s);
        return false;
    }
    listener->handle = static_cast<intptr_t>(s);
    *bound = ntohs(address.sin_port);
    return true;
}

bool net_accept(Socket listener, Socket *accepted) {
    SOCKET s = accept(sock_of(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return false;
    accepted->handle = static_cast<intptr_t>(s);
    return true;
}

int net_wait_readable(const Socket *sockets, size_t count, bool *readable, int timeout_ms) {
    std::vector<WSAPOLLFD> polled(count);
    for (size_t i = 0; i < count; ++i) {
        polled[i].fd = sock_of(sockets[i]);
        polled[i].events = POLLRDNORM;
        polled[i].revents = 0;
    }
    int ready = WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), timeout_ms);
    if (ready == SOCKET_ERROR)
        return -1;
    for (size_t i = 0; i < count; ++i)
        readable[i] = (polled[i].revents & (POLLRDNORM | POLLHUP | POLLERR)) != 0;
    return ready;
}

const char *net_last_error_text() {
    static char text[64];
    snprintf(text, sizeof text, "socket error %d", WSAGetLastError());
    return text;
}

}  // namespace standins
