#include "platform/clock.h"

#include <time.h>
#include <windows.h>

namespace platform {

int32_t now_seconds() {
    return static_cast<int32_t>(time(nullptr));
}

void pause_ms(unsigned milliseconds) {
    Sleep(milliseconds);
}

}  // namespace platform
