#include "platform/thread.h"

#include <windows.h>

namespace platform {

namespace {

struct Start {
    ThreadEntry entry;
    void *argument;
};

DWORD WINAPI run(LPVOID raw) {
    Start start = *static_cast<Start *>(raw);
    HeapFree(GetProcessHeap(), 0, raw);
    start.entry(start.argument);
    ExitThread(0);
}

// How long to wait for a terminated thread to be gone. Termination is
// asynchronous; the wait settles it before the replacement takes the input.
const DWORD kTerminationWaitMs = 10000;

}  // namespace

bool thread_start(ThreadEntry entry, void *argument, ThreadHandle *handle) {
    Start *start = static_cast<Start *>(HeapAlloc(GetProcessHeap(), 0, sizeof(Start)));
    if (start == nullptr)
        return false;
    start->entry = entry;
    start->argument = argument;
    HANDLE thread = CreateThread(nullptr, 0, run, start, 0, nullptr);
    if (thread == nullptr) {
        HeapFree(GetProcessHeap(), 0, start);
        return false;
    }
    handle->system = thread;
    return true;
}

uint32_t thread_exit_code(ThreadHandle handle) {
    DWORD code = kStillActive;
    if (!GetExitCodeThread(static_cast<HANDLE>(handle.system), &code))
        return kStillActive;
    return code;
}

bool thread_stop(ThreadHandle handle) {
    HANDLE thread = static_cast<HANDLE>(handle.system);
    if (!TerminateThread(thread, 0))
        return false;
    WaitForSingleObject(thread, kTerminationWaitMs);
    return true;
}

void thread_release(ThreadHandle handle) {
    CloseHandle(static_cast<HANDLE>(handle.system));
}

}  // namespace platform
