// Recovery of the highest row identifier in an existing log file.
//
// Only rows begin with a digit: the digits at the start of a line are its
// identifier. Line ends (CR or LF) set the at-line-start state; digits read
// in that state accumulate into one run, joining across line ends; the
// first other byte converts the run. A run still pending at the end of the
// file is dropped.
#ifndef EXIT_MODULE_ID_SCAN_H
#define EXIT_MODULE_ID_SCAN_H

#include <stddef.h>
#include <stdint.h>

namespace kestrow {

const size_t kMaxRunDigits = 126;
const uint32_t kLargestIdentifier = 4294967295u;

struct IdentifierScan {
    uint32_t last_identifier = 0;
    bool at_line_start = true;
    size_t run_length = 0;             // digits seen, stored or not
    char run[kMaxRunDigits] = {};
};

// Feeds the next bytes of the file, in order.
void scan_bytes(IdentifierScan &scan, const char *data, size_t size);

// A decimal digit run as a number; above 4294967295 it counts as 4294967295.
uint32_t run_value(const char *digits, size_t count);

// Reads the whole file behind `descriptor` in large raw blocks and returns
// the highest identifier found, never less than `last_identifier`. A failed
// read ends the scan like the end of the file. The descriptor's position is
// left where it was.
uint32_t scan_identifiers(int descriptor, uint32_t last_identifier);

}  // namespace kestrow

#endif
