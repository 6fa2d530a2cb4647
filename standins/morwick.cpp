// The client library stand-in. One call: resolve, connect, send the frame,
// wait for the answer, close. Nothing survives the call, and nothing of
// ours is held while waiting for the answer, so a caller's thread may be
// terminated there without leaving a lock behind.
#define MORWICK_BUILDING
#include "standins/morwick.h"

#include <stdlib.h>

#include <string>

#include "standins/net.h"
#include "standins/wire.h"

using namespace standins;

namespace {

// The port from MORWICK_PORT (decimal, 1 to 65535, nothing else), or the
// default when it is not set.
bool configured_port(uint16_t *port) {
    const char *text = getenv("MORWICK_PORT");
    if (text == nullptr) {
        *port = MORWICK_DEFAULT_PORT;
        return true;
    }
    unsigned long value = 0;
    if (*text == '\0')
        return false;
    for (const char *c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

struct NetSession {
    bool started = net_startup();
    ~NetSession() {
        if (started)
            net_cleanup();
    }
};

struct Connection {
    Socket socket;
    ~Connection() { net_close(&socket); }
};

int connect_result(ConnectStatus status) {
    switch (status) {
    case ConnectStatus::ok:
        return 0;
    case ConnectStatus::not_resolved:
        return MORWICK_E_NOT_RESOLVED;
    case ConnectStatus::socket_error:
        return MORWICK_E_SOCKET;
    case ConnectStatus::refused:
        return MORWICK_E_REFUSED;
    case ConnectStatus::failed:
        break;
    }
    return MORWICK_E_CONNECT;
}

// Sends the frame and releases it before the wait, so that a caller
// terminated while waiting loses no more than the socket.
bool send_frame(Socket socket, const char *node, const OrlEvtMessage &message, int *result) {
    std::string frame;
    if (!wire_encode(node, message, &frame)) {
        *result = MORWICK_E_ARGUMENT;
        return false;
    }
    if (!net_send_all(socket, frame.data(), frame.size())) {
        *result = MORWICK_E_SEND;
        return false;
    }
    return true;
}

}  // namespace

extern "C" int MORWICK_CALL OrlEvt_wto(const char *node, OrlEvtMessage *msg) {
    if (node == nullptr || msg == nullptr)
        return MORWICK_E_ARGUMENT;
    uint16_t port = 0;
    if (!configured_port(&port))
        return MORWICK_E_BAD_PORT;
    NetSession session;
    if (!session.started)
        return MORWICK_E_SOCKET;
    Connection connection;
    int result = connect_result(net_connect(node, port, &connection.socket));
    if (result != 0)
        return result;
    if (!send_frame(connection.socket, node, *msg, &result))
        return result;
    unsigned char answer[kAnswerSize];
    if (!net_receive_all(connection.socket, answer, sizeof answer))
        return MORWICK_E_DROPPED;
    return wire_get_answer(answer);
}
