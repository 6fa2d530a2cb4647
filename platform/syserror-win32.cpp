#include "platform/syserror.h"

#include <windows.h>

namespace platform {

namespace {
const DWORD kLanguageUsEnglish = 0x0409;
const DWORD kErrorTextRoom = 254;
}  // namespace

uint32_t last_error_code() {
    return GetLastError();
}

std::string system_error_text(uint32_t code) {
    char buffer[kErrorTextRoom + 2] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  kLanguageUsEnglish, buffer, kErrorTextRoom, nullptr);
    if (length == 0)
        return "Unknown error " + std::to_string(code);
    return std::string(buffer, length);
}

}  // namespace platform
