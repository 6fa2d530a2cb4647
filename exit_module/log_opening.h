// Locating, opening and numbering the log file, with the retry back-off.
#ifndef EXIT_MODULE_LOG_OPENING_H
#define EXIT_MODULE_LOG_OPENING_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "exit_module/kestrow_state.h"
#include "shared/event_reporter.h"

namespace kestrow {

extern const char kKestrowKey[];        // "SOFTWARE\\Brannick\\Kestrow.DLL"
extern const char kLogDirValueName[];   // "LogDir"
extern const char kLogFileName[];       // "kestrow.txt"
const uint32_t kRegistryValueRoom = 254;

// True when no attempt may be made at `call_time`: a failure has been
// counted and the retry-at time has not passed yet.
bool retry_gate_closed(const KestrowState &state, int32_t call_time);

// Counts one failure and moves the retry-at time to
// first-call time + failure count * (call time - first-call time),
// computed in 64 bits and kept within the 32-bit time range.
void schedule_retry(KestrowState &state, int32_t call_time);

// The text of a LogDir value of `size` bytes: its first size - 1 bytes,
// ending earlier at a zero byte; empty for a value of no bytes.
std::string text_from_value(const char *value, size_t size);

// One attempt to read LogDir, open the log file, make its stream and
// recover the last identifier. Reports every outcome; leaves the log
// stream set on success.
void attempt_log_open(KestrowState &state, int32_t call_time, Reporter &reporter);

// The opening sequence of one call after the first-call time has been set:
// true when the log is open and the call goes on to write its row.
bool ensure_log_open(KestrowState &state, int32_t call_time, Reporter &reporter);

}  // namespace kestrow

#endif
