// The reading thread: parses standard input into messages and sends them.
#ifndef SUBMITTER_WORKER_H
#define SUBMITTER_WORKER_H

#include <stdint.h>

#include <atomic>
#include <string>

// Shared by the supervisor and the workers without a lock: each writer
// stores a whole fresh clock reading, the supervisor reads it whole.
extern std::atomic<int32_t> g_last_activity;
// Set at program start; the first worker clears it and writes the banner.
extern std::atomic<bool> g_banner_pending;

// The banner, line by line as it goes to standard error.
std::string banner_text();

// Thread entry of worker `generation` (passed as the integer value of the
// argument). Returns at the end of the input, or as soon as it finds that a
// replacement has taken over.
void worker_entry(void *generation);

// Writes a diagnostic to standard error followed by one further line feed
// and reports it to the event log as a warning.
void issue_diagnostic(const std::string &text);

#endif
