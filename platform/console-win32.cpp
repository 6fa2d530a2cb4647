#include "platform/console.h"

#include <windows.h>

namespace platform {

namespace {
bool write_raw(HANDLE handle, const char *data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Text mode, as the C runtime's streams give it: each LF goes out as CR LF.
// Translated through a buffer on the stack: no heap, no lock.
void write_all(DWORD which, const char *data, size_t size) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    char chunk[1024];
    size_t used = 0;
    for (size_t i = 0; i < size; ++i) {
        if (used + 2 > sizeof chunk) {
            if (!write_raw(handle, chunk, used))
                return;
            used = 0;
        }
        if (data[i] == '\n')
            chunk[used++] = '\r';
        chunk[used++] = data[i];
    }
    write_raw(handle, chunk, used);
}
}  // namespace

void console_init() {}

void write_stdout(const char *data, size_t size) { write_all(STD_OUTPUT_HANDLE, data, size); }
void write_stderr(const char *data, size_t size) { write_all(STD_ERROR_HANDLE, data, size); }

}  // namespace platform
