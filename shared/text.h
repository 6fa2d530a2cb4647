// Small text operations that both deliverables use.
#ifndef SHARED_TEXT_H
#define SHARED_TEXT_H

namespace text {

inline bool is_line_end(char c) {
    return c == '\n' || c == '\r';
}

// The first line end (LF or CR) in [from, end), or nullptr. Fast enough to
// scan a large log file near the speed of the memory.
const char *find_line_end(const char *from, const char *end);

// Equal, whole, with each of the letters A to Z equal to its lower-case
// form; every other byte must match exactly.
bool equal_ignoring_ascii_case(const char *a, const char *b);

}  // namespace text

#endif
