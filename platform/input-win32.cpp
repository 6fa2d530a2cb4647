#include "platform/input.h"

#include <windows.h>

#include <atomic>

namespace platform {

const char kEndOfInputKeys[] = "Ctrl-Z and newline";
const bool kCtrlZEndsInput = true;

namespace {
std::atomic<unsigned> turn_generation{1};
// Manual-reset; set whenever the turn moves. Created before any worker runs.
HANDLE turn_moved = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}  // namespace

void stdin_wait_readable() {}

long stdin_read(char *buffer, size_t capacity) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    if (!ReadFile(input, buffer, static_cast<DWORD>(capacity), &got, nullptr)) {
        // A pipe whose writer has gone is the end of the input, like any error.
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<long>(got);
}

bool input_turn_take(unsigned generation) {
    while (turn_generation.load() < generation)
        WaitForSingleObject(turn_moved, INFINITE);
    return turn_generation.load() == generation;
}

void input_turn_release(unsigned) {}

void input_turn_pass(unsigned generation) {
    turn_generation.store(generation);
    SetEvent(turn_moved);
}

}  // namespace platform
