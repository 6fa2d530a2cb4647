#include "platform/logfile.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <string.h>
#include <sys/stat.h>
#include <windows.h>

namespace platform {

const char kPathSeparator[] = "\\";

namespace {

// The C library's error number for a failed CreateFileA, as its own open
// would give it.
int errno_for_open_error(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EACCES;
    }
}

}  // namespace

int logfile_open(const char *path, int *error_number) {
    // Shared for reading and writing, not for deletion; opened or created.
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error_number = errno_for_open_error(GetLastError());
        return -1;
    }
    // The C runtime takes over the handle: appending, text mode (LF -> CR LF).
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_TEXT);
    if (fd < 0) {
        *error_number = EMFILE;
        CloseHandle(handle);
    }
    return fd;
}

std::string logfile_error_text(int error_number) {
    const char *text = strerror(error_number);
    if (text == nullptr || *text == '\0' || strncmp(text, "Unknown error", 13) == 0)
        return "Unknown error " + std::to_string(error_number);
    return text;
}

FILE *logfile_stream(int descriptor) {
    return _fdopen(descriptor, "a+");
}

void logfile_close(int descriptor) {
    _close(descriptor);
}

bool logfile_status_ok(int descriptor) {
    struct _stat status;
    return _fstat(descriptor, &status) == 0;
}

bool logfile_truncate(int descriptor) {
    _lseek(descriptor, 0, SEEK_SET);
    return _chsize(descriptor, 0) == 0;
}

long logfile_read_at(int descriptor, uint64_t offset, char *buffer, size_t size) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    // A positioned read moves the file pointer of a synchronous handle:
    // note it and put it back.
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(handle, zero, &position, FILE_CURRENT))
        return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    BOOL ok = ReadFile(handle, buffer, chunk, &got, &at);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
    if (!ok)
        return error == ERROR_HANDLE_EOF ? 0 : -1;
    return static_cast<long>(got);
}

}  // namespace platform
