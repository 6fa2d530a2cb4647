// What the sockets of both platforms share.
#include "standins/net.h"

namespace standins {

bool net_receive_all(Socket socket, void *buffer, size_t size) {
    char *at = static_cast<char *>(buffer);
    while (size > 0) {
        long received = net_receive(socket, at, size);
        if (received <= 0)
            return false;
        at += received;
        size -= static_cast<size_t>(received);
    }
    return true;
}

}  // namespace standins
