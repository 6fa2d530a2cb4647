#include "platform/clock.h"

#include <errno.h>
#include <time.h>

namespace platform {

int32_t now_seconds() {
    return static_cast<int32_t>(time(nullptr));
}

void pause_ms(unsigned milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

}  // namespace platform
