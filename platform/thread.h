// Worker threads as the supervisor sees them: start, poll, stop.
#ifndef PLATFORM_THREAD_H
#define PLATFORM_THREAD_H

#include <stdint.h>

namespace platform {

// The exit code that the system reports for a thread that still runs.
const uint32_t kStillActive = 259;

using ThreadEntry = void (*)(void *argument);

struct ThreadHandle {
    void *system = nullptr;
};

// Starts a thread at `entry` with default attributes, running at once.
// False when the system refuses.
bool thread_start(ThreadEntry entry, void *argument, ThreadHandle *thread);

// kStillActive while the thread runs; its exit code (0) once it has ended.
uint32_t thread_exit_code(ThreadHandle thread);

// Stops a thread that is to be replaced.
// Win32: TerminateThread with exit code 0, then waits until it is gone, so
// that whatever it held is settled before its replacement takes over.
// POSIX has no forcible end: nothing is done here; the thread has been
// retired through the input turn (platform/input.h) and ends by itself as
// soon as it gets control back.
// False, with the system's last error code set, when the system refuses.
bool thread_stop(ThreadHandle thread);

// Gives up the caller's hold on the handle; the thread itself runs on
// untouched. Every started thread's handle is released exactly once.
void thread_release(ThreadHandle thread);

}  // namespace platform

#endif
