#include "platform/logfile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/syserror.h"

namespace platform {

const char kPathSeparator[] = "/";

int logfile_open(const char *path, int *error_number) {
    const mode_t kReadWriteForAll = 0666;  // before the umask
    int fd = open(path, O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, kReadWriteForAll);
    if (fd < 0)
        *error_number = errno;
    return fd;
}

std::string logfile_error_text(int error_number) {
    return system_error_text(static_cast<uint32_t>(error_number));
}

FILE *logfile_stream(int descriptor) {
    return fdopen(descriptor, "a+");
}

void logfile_close(int descriptor) {
    close(descriptor);
}

bool logfile_status_ok(int descriptor) {
    struct stat status;
    return fstat(descriptor, &status) == 0;
}

bool logfile_truncate(int descriptor) {
    lseek(descriptor, 0, SEEK_SET);
    return ftruncate(descriptor, 0) == 0;
}

long logfile_read_at(int descriptor, uint64_t offset, char *buffer, size_t size) {
    for (;;) {
        ssize_t got = pread(descriptor, buffer, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        return static_cast<long>(got);
    }
}

}  // namespace platform
