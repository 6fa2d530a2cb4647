// Calendar clock and pauses.
#ifndef PLATFORM_CLOCK_H
#define PLATFORM_CLOCK_H

#include <stdint.h>

namespace platform {

// Calendar time in whole seconds since 1970-01-01 00:00 UTC, as the system
// clock gives it, held as a signed 32-bit value.
int32_t now_seconds();

void pause_ms(unsigned milliseconds);

}  // namespace platform

#endif
