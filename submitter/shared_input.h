// Standard input as the workers share it: one process-wide buffer, read in
// blocks, with the text-mode translation of line ends, and handed from a
// worker to its replacement exactly where it stands.
#ifndef SUBMITTER_SHARED_INPUT_H
#define SUBMITTER_SHARED_INPUT_H

#include <stddef.h>

enum class TakeResult {
    bytes,    // some bytes, ending at the first line end or at `capacity`
    end,      // the input has ended
    retired,  // a replacement holds the input now: the caller must stop
};

// Copies bytes for worker `generation` into `destination`: at most
// `capacity`, never past the first line end. Bytes are consumed only while
// the worker holds the input turn, so a retired worker consumes nothing.
TakeResult take_input(unsigned generation, char *destination, size_t capacity, size_t *taken);

// The raw-to-text translation, exposed for tests: CR LF becomes LF (also
// across blocks: a CR at the end of a block waits for the next one), and
// where the platform's text mode says so, byte 0x1A ends the input.
class TextModeFilter {
public:
    explicit TextModeFilter(bool ctrl_z_ends_input) : ctrl_z_ends_input_(ctrl_z_ends_input) {}

    // Translates `size` raw bytes into `out` (room for size + 1 bytes).
    // Returns the count written; sets *ended when 0x1A ended the input.
    size_t translate(const char *raw, size_t size, char *out, bool *ended);
    // At the end of the raw input: the pending CR, if any (0 or 1 bytes).
    size_t finish(char *out);

private:
    bool ctrl_z_ends_input_;
    bool cr_pending_ = false;
};

#endif
