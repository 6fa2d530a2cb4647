#include "platform/console.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

namespace platform {

namespace {
void write_all(int fd, const char *data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;  // a closed or broken stream loses the text, nothing more
        data += written;
        size -= static_cast<size_t>(written);
    }
}
}  // namespace

void console_init() {
    signal(SIGPIPE, SIG_IGN);
}

void write_stdout(const char *data, size_t size) { write_all(STDOUT_FILENO, data, size); }
void write_stderr(const char *data, size_t size) { write_all(STDERR_FILENO, data, size); }

}  // namespace platform
