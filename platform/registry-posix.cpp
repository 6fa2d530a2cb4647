#include "platform/registry.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace platform {

namespace {

const char kRootVariable[] = "KESTROW_REGISTRY_ROOT";
const char kDefaultRoot[] = "/etc/registry";
const char kLocalMachine[] = "HKEY_LOCAL_MACHINE";

std::string key_directory(const char *subkey) {
    const char *root = getenv(kRootVariable);
    std::string path = (root != nullptr && *root != '\0') ? root : kDefaultRoot;
    path += '/';
    path += kLocalMachine;
    path += '/';
    for (const char *c = subkey; *c != '\0'; ++c)
        path += (*c == '\\') ? '/' : *c;
    return path;
}

}  // namespace

uint32_t registry_open_key(const char *subkey, RegistryKey *key) {
    int fd = open(key_directory(subkey).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return static_cast<uint32_t>(errno);
    key->system = fd;
    return 0;
}

uint32_t registry_query_value(RegistryKey key, const char *name, char *buffer, uint32_t *size) {
    int fd = openat(static_cast<int>(key.system), name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return static_cast<uint32_t>(errno);
    // One byte more than the room tells an over-long value from one that fits.
    const size_t room = *size;
    char probe;
    size_t count = 0;
    uint32_t result = 0;
    for (;;) {
        char *target = count < room ? buffer + count : &probe;
        size_t wanted = count < room ? room - count : 1;
        ssize_t got = read(fd, target, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result = static_cast<uint32_t>(errno);
            break;
        }
        if (got == 0)
            break;
        count += static_cast<size_t>(got);
        if (count > room) {
            result = EOVERFLOW;
            break;
        }
    }
    close(fd);
    if (result == 0)
        *size = static_cast<uint32_t>(count);
    return result;
}

void registry_close_key(RegistryKey key) {
    if (key.system >= 0)
        close(static_cast<int>(key.system));
}

}  // namespace platform
