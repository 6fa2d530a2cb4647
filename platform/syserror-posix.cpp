#include "platform/syserror.h"

#include <errno.h>
#include <string.h>

namespace platform {

uint32_t last_error_code() {
    return static_cast<uint32_t>(errno);
}

namespace {
// strerror_r comes in two flavours; both are handled without a lock.
[[maybe_unused]] const char *pick(int result, const char *buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char *pick(const char *result, const char *) { return result; }
}  // namespace

std::string system_error_text(uint32_t code) {
    char buffer[256] = {};
    const char *text = pick(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0')
        return "Unknown error " + std::to_string(code);
    return text;
}

}  // namespace platform
