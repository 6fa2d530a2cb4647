// The exit module's log file: one file opened for reading and appending,
// created when absent, shared with other readers and writers, written in
// the platform's text mode (LF stored as CR LF on Windows).
#ifndef PLATFORM_LOGFILE_H
#define PLATFORM_LOGFILE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

namespace platform {

// Joins a directory and a file name: "\\" on Windows, "/" on POSIX.
extern const char kPathSeparator[];

// Opens `path` for reading and appending, creating it (readable and
// writable) when absent; the descriptor is not inherited by child
// processes. Returns the descriptor, or -1 with the C library's error
// number in `*error_number`.
int logfile_open(const char *path, int *error_number);

// The C library's text for an error number; "Unknown error <n>" when it
// has none.
std::string logfile_error_text(int error_number);

// A buffered stream over the descriptor, mode "a+"; nullptr on failure.
FILE *logfile_stream(int descriptor);

void logfile_close(int descriptor);

// Whether the file's status can be obtained through the descriptor.
bool logfile_status_ok(int descriptor);

// Positions the descriptor at the start and sets the file's length to 0.
bool logfile_truncate(int descriptor);

// Reads raw bytes (no text-mode translation, no end at byte 0x1A) from
// `offset`, leaving the descriptor's position where it was. The count,
// 0 at the end of the file, -1 on failure.
long logfile_read_at(int descriptor, uint64_t offset, char *buffer, size_t size);

}  // namespace platform

#endif
