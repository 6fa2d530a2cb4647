// Standard input, and the turn: the right to consume it, held by one
// worker at a time and handed to its replacement at a restart.
#ifndef PLATFORM_INPUT_H
#define PLATFORM_INPUT_H

#include <stddef.h>

namespace platform {

// True where the C runtime's text mode ends the input at byte 0x1A (Windows).
extern const bool kCtrlZEndsInput;

// The platform's end-of-input keys at an interactive console, as the banner
// names them: "Ctrl-Z and newline" (Windows), "Ctrl-D" (POSIX).
extern const char kEndOfInputKeys[];

// Blocks until standard input has bytes, its end or an error to deliver.
// Holds nothing while it waits. (POSIX: poll. Win32: returns at once; the
// read itself waits, and a terminated reader consumes nothing.)
void stdin_wait_readable();

// Reads up to `capacity` raw bytes: the count, 0 at the end, -1 on error.
// POSIX: call only after stdin_wait_readable, while holding the turn.
long stdin_read(char *buffer, size_t capacity);

// Workers are numbered by generation, 1 for the first; the supervisor passes
// the turn to a replacement once the old worker has been stopped.
//
// input_turn_take waits until the turn has reached `generation` and returns
// true when it is that generation's; false once a later generation holds it
// (the caller has been retired). On true the caller holds the turn until
// input_turn_release: it may then consume input and mark activity.
// POSIX: the turn is a mutex, held only for short, non-blocking work.
// Win32: no lock at all; only the current generation ever runs, because the
// old worker is terminated before the turn is passed.
bool input_turn_take(unsigned generation);
void input_turn_release(unsigned generation);
void input_turn_pass(unsigned generation);

}  // namespace platform

#endif
