// Standard output and standard error, written without the C runtime's
// stream locks, so that a worker terminated in the middle of a write can
// never block the thread that replaces it.
#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

#include <stddef.h>

namespace platform {

// Process-wide preparation: on POSIX, a closed standard error or output must
// not kill the process (SIGPIPE is ignored).
void console_init();

void write_stdout(const char *data, size_t size);
void write_stderr(const char *data, size_t size);

}  // namespace platform

#endif
