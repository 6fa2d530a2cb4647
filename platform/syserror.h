// The system's own texts for error codes.
#ifndef PLATFORM_SYSERROR_H
#define PLATFORM_SYSERROR_H

#include <stdint.h>
#include <string>

namespace platform {

// The calling thread's last error code (GetLastError, errno).
uint32_t last_error_code();

// The system's message text for an error code, as the system gives it (on
// Windows in US English, ending in CR LF; on POSIX strerror's text).
// "Unknown error <code>" when the system has none that fits 254 characters.
std::string system_error_text(uint32_t code);

}  // namespace platform

#endif
